// Which card and which number are this machine's, by the [Machines] table of config.ini and the hardware
// addresses of the listed cards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "apply/machine_settings.h"
#include "common/mac_address.h"
#include "common/machine_number.h"
#include "config/venue.h"
#include "inventory/card_inventory.h"
#include "platform/platform.h"

namespace vexa {

struct MachineLookup {
  enum class Result {
    NoTable,         // config.ini has no [Machines] section
    EmptyTable,      // the section has no line at all
    NotListed,       // no listed card's address is in the table
    SeveralCards,    // more than one is
    NumberConflict,  // the number is given to another address too, or the address two numbers
    Found,
  };
  Result result = Result::NoTable;
  std::int32_t cardIndex = -1;  // Found, NumberConflict
  MachineInput number;          // Found: its entry's number, checked against the zones
  // NotListed: the cards' addresses; SeveralCards: the listed cards'; NumberConflict: the addresses that
  // share the number (this card's first).
  std::vector<MacAddress> addresses;
  // Lines of the table that were left out: no hardware address, or no number 1-254 written in digits.
  std::vector<std::wstring> unreadable;
  std::vector<std::wstring> duplicates;     // lines that name an address again
  int sections = 0;                         // [Machines] sections in the file; the reader reads the first
  std::uint32_t waited = 0;                 // seconds the start-up run waited for a card the table names
  std::wstring range = MachineRangeText();  // the numbers config.ini allows, as the texts say them
};

// Reads the table from config.ini as the run read it, its numbers those the zones allow; asks for the
// adapters only when the table has entries.
MachineLookup LookUpMachine(Platform& platform, const CardInventory& inventory, const IniFile::Venue& venue);

// The start-up run's lookup: while no card the table names is listed, the cards are listed again every
// second, up to the venue's [Startup] WaitSeconds= (the network driver lists them some seconds into the
// boot); inventory is refilled each time.
MachineLookup WaitForMachine(Platform& platform, CardInventory& inventory, const IniFile::Venue& venue);

// The message an unattended run gives for a lookup that found no single machine, with what is wrong with
// the table: its unreadable lines (the first ten, then their count), its duplicates, a second section.
std::wstring LookupRefusal(const MachineLookup& lookup);

// What the table says beside a lookup that found the machine: a second [Machines] section; or nothing.
std::wstring LookupNote(const MachineLookup& lookup);

}  // namespace vexa
