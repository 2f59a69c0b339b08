// The values a plan writes, in write order, built once a plan, and what is done with them: writing them,
// asking whether the registry already holds every one, and previewing each for /check. One rule says when
// a row does not apply: its component is not installed (NotInstalled).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "apply/machine_settings.h"
#include "platform/platform.h"
#include "registry/reg.h"
#include "registry/user_hives.h"

namespace vexa {

// The words of the values the window's card view also shows.
inline constexpr std::wstring_view kMaskLabel = L"子网掩码";
inline constexpr std::wstring_view kGatewayLabel = L"默认网关";
inline constexpr std::wstring_view kDnsLabel = L"DNS 信息";

// One registry value, in write order.
struct WriteRow {
  std::wstring path;
  std::wstring_view valueName;
  std::wstring label;             // named when the write fails
  std::wstring_view absentLabel;  // a component that may not be installed: said when its key is missing
  Reg::RegData data;
  Reg::View view = Reg::View::Own;
};

// The nine rows for settings on the card whose TCP/IP service is serviceName, in controlSet. The game key
// goes to the running user's, or with players (the start-up run, as SYSTEM) to each of their profiles'
// instead, a row each.
std::vector<WriteRow> WriteRows(TextCodec& text, const MachineSettings& settings, const std::wstring& serviceName,
                                const std::wstring& controlSet, const std::vector<UserProfile>& players = {});
// The game key's label in a player's profile: "CS 序列号 (player)".
std::wstring GameKeyLabel(const std::wstring& profileName);
// Whether path is the game's key in some user's hive (HKEY_USERS\<one name>\...): a row the start-up run
// writes for some profile.
bool IsUsersGameKey(std::wstring_view path);

// The row of a new MachineGuid (apply/machine_identity.h), in the 64-bit view from either build: written
// before the nine, saved and put back as they are.
inline constexpr std::wstring_view kMachineGuidLabel = L"机器码 (MachineGuid)";
WriteRow MachineGuidRow(TextCodec& text, const std::wstring& guid);

// A row of a component that need not be installed (IPX, the game) whose key is not there: nothing to write,
// nothing to hold, nothing to keep. A key that refuses reading is no such thing.
bool NotInstalled(const WriteRow& row, bool noKey);

struct WriteReport {
  std::vector<std::wstring> notWritten;     // labels of the values that could not be written
  std::vector<std::wstring> notApplicable;  // components that are not installed ("IPX 未安装")
  bool networkWritten = true;               // every TCP/IP and host-name value was written
};

// Writes every row but those named in leaveOut (reported as not written); a row of a component whose key
// is missing is not applicable, not a failure. Keys are never created.
WriteReport WriteMachine(Platform& platform, const std::vector<WriteRow>& rows,
                         const std::vector<std::wstring>& leaveOut = {});

// One row as /check previews it: what the registry holds now against what would be written.
struct PreviewLine {
  enum class Now { Value, Absent, NotInstalled, Unreadable };
  std::wstring label;
  Now now = Now::Value;
  std::wstring current;  // Value: the value as text
  std::wstring planned;
  bool same = false;
  // Value: both types' names when they differ (the same text in another type is still a change); "" else.
  std::wstring currentType;
  std::wstring plannedType;
};
std::vector<PreviewLine> Preview(Platform& platform, const std::vector<WriteRow>& rows);
// A value's bytes as a person reads them: a number, a string up to its NUL, a multi-string's every string
// joined by ", " (an empty one as "(空)"), anything else as hexadecimal bytes.
std::wstring ValueText(TextCodec& text, const Reg::RegData& data);
// A value type's name as regedit shows it ("REG_EXPAND_SZ").
std::wstring TypeName(std::uint32_t type);

// Every applicable row already holds exactly its type and bytes: writing would change nothing. A missing
// value, or a missing key of a row that is always applicable, is not in place.
bool InPlace(Platform& platform, const std::vector<WriteRow>& rows);

}  // namespace vexa
