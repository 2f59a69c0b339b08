// One machine's settings from a typed number and a card: checked and derived without a word to the
// operator (a plan), then written value by value. The window's OK action and the unattended run share it.
#pragma once

#include <string>
#include <vector>

#include "apply/machine_settings.h"
#include "apply/run_log.h"
#include "config/config_file.h"
#include "inventory/card_inventory.h"
#include "platform/platform.h"

namespace vexa {

// Why a plan cannot be written.
enum class Refusal { None, Empty, OutOfRange, NoCard, BadIpAddress, BadHostName };

struct MachinePlan {
  Refusal refusal = Refusal::None;
  MachineSettings settings;    // every field but GameKey, when nothing is refused
  std::wstring serviceName;    // the chosen card's, as read
  std::wstring controlSet;     // where the TCP/IP and IPX values go
  IniFile::ConfigFile config;  // what config.ini is read through, until the plan is written
};

// Checks the number, finds the card, reads config.ini and checks what it gives, in that order; nothing is
// written and nothing shown.
MachinePlan PlanMachine(Platform& platform, const CardInventory& inventory, const std::wstring& typedText,
                        const std::wstring& shownCardText);

// The hint that no card is chosen: the window's hint label shows it, and an OK without a card is refused
// with it.
Notice NoCardNotice();

// The message that tells the operator why the plan was refused.
Notice RefusalNotice(const MachinePlan& plan);

// Writes the eight network values, then reads this machine's game key and writes it; the labels of the
// values that could not be written, in write order. plan.settings.GameKey is filled in.
std::vector<std::wstring> WriteMachine(Platform& platform, MachinePlan& plan);

// True when every value the plan writes whose key exists already holds exactly the bytes it would get
// (and at least one key exists): writing would change nothing. plan.settings.GameKey is filled in.
bool AlreadyInPlace(Platform& platform, MachinePlan& plan);

// The derived values as the summary shows them, one line each: host name, IP address, mask, gateway, DNS
// servers, game key.
std::vector<std::wstring> SettingsLines(const MachineSettings& s);

// The log's record of a plan: the number, the settings, the card shown and its hardware address; the
// caller adds the outcome.
RunRecord RecordOf(Platform& platform, RunMode mode, const MachinePlan& plan, const std::wstring& shownCardText);

// The first line of a message, for the log.
std::wstring FirstLine(const std::wstring& text);

}  // namespace vexa
