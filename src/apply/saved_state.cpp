#include "apply/saved_state.h"

#include <algorithm>

#include "common/text.h"
#include "log/log_line.h"
#include "registry/control_set.h"
#include "registry/locations.h"

namespace vexa {

namespace {

using locations::kSavedCard, locations::kSavedTime, locations::kSavedValues, locations::kSavedVersion;
// Every saved value in one REG_BINARY (kSavedValues), in the order saved: a format byte, then per value its
// state (one byte), type (four bytes), and its card's service name (format 2 only: format 1, an earlier
// version's, gives every value to kSavedCard), key path, value name, label (ANSI) and data, each as four
// bytes of length and the bytes. Lengths and numbers little-endian.
constexpr char kFormatOneCard = 1;
constexpr char kFormat = 2;

void PutNumber(std::string& out, std::uint32_t n) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
}

std::string Packed(TextCodec& text, const std::vector<SavedValue>& values) {
  std::string out(1, kFormat);
  for (const SavedValue& v : values) {
    out.push_back(static_cast<char>(v.was));
    PutNumber(out, v.data.type);
    for (const std::wstring* part : {&v.card, &v.path, &v.name, &v.label}) {
      const std::string bytes = text.ToAnsi(*part);
      PutNumber(out, static_cast<std::uint32_t>(bytes.size()));
      out += bytes;
    }
    PutNumber(out, static_cast<std::uint32_t>(v.data.bytes.size()));
    out += v.data.bytes;
  }
  return out;
}

// Packed's bytes read back, either format (card: every value's in format 1); false when they are not what
// the tool writes.
bool Unpacked(TextCodec& text, std::string_view in, const std::wstring& card, std::vector<SavedValue>& values) {
  std::size_t at = 1;
  const auto number = [&](std::uint32_t& n) {
    if (in.size() - at < 4) return false;
    n = 0;
    for (int i = 0; i < 4; ++i) n |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(in[at + i])) << (8 * i);
    at += 4;
    return true;
  };
  const auto bytes = [&](std::string& out) {
    std::uint32_t size = 0;
    if (!number(size) || in.size() - at < size) return false;
    out.assign(in.substr(at, size));
    at += size;
    return true;
  };
  if (in.empty() || (in[0] != kFormat && in[0] != kFormatOneCard)) return false;
  const bool cards = in[0] == kFormat;
  while (at < in.size()) {
    SavedValue v;
    const auto was = static_cast<std::uint8_t>(in[at++]);
    std::string parts[4];
    if (was > static_cast<std::uint8_t>(SavedValue::Was::NoKey) || !number(v.data.type) ||
        (cards && !bytes(parts[0])) || !bytes(parts[1]) || !bytes(parts[2]) || !bytes(parts[3]) ||
        !bytes(v.data.bytes)) {
      return false;
    }
    v.was = static_cast<SavedValue::Was>(was);
    v.card = cards ? text.FromAnsi(parts[0]) : card;
    v.path = text.FromAnsi(parts[1]);
    v.name = text.FromAnsi(parts[2]);
    v.label = text.FromAnsi(parts[3]);
    values.push_back(std::move(v));
  }
  return true;
}

bool SameRow(const SavedValue& saved, const WriteRow& row) {
  return SameName(CutAtNul(saved.path), CutAtNul(row.path)) && SameName(saved.name, row.valueName);
}

std::wstring Named(std::wstring_view value) {
  return std::wstring(locations::kSavedState) + L"\\" + std::wstring(value);
}

// The first value that is not one of the write table's rows for its card in controlSet, nor MachineGuid's,
// nor the game key in a player's profile:
// the state names a key or value the tool never writes. Nothing when every one is; each then takes its
// row's view.
const SavedValue* Foreign(TextCodec& text, std::vector<SavedValue>& values, const std::wstring& controlSet) {
  for (SavedValue& value : values) {
    if (IsUsersGameKey(CutAtNul(value.path)) && SameName(value.name, locations::kGameKeyValue)) continue;  // a player's
    std::vector<WriteRow> rows = WriteRows(text, MachineSettings{}, value.card, controlSet);
    rows.push_back(MachineGuidRow(text, L""));
    const auto row = std::find_if(rows.begin(), rows.end(), [&value](const WriteRow& r) { return SameRow(value, r); });
    if (row == rows.end()) return &value;
    value.view = row->view;
  }
  return nullptr;
}

// The saved values, read and checked: what every write asks before it changes anything.
SavedState ReadSavedValues(Platform& platform) {
  SavedState state;
  const std::wstring key(locations::kSavedState);
  const Reg::RegRead values = Reg::ReadRegData(platform, key, kSavedValues);
  if (values.noKey || values.absent) return state;  // none, or a save cut short before any write
  const Reg::RegRead card = Reg::ReadRegData(platform, key, kSavedCard);
  const std::wstring named = card.value ? ValueText(platform.text, *card.value) : L"";
  if (!values.value || values.value->type != kRegBinary ||
      !Unpacked(platform.text, values.value->bytes, named, state.values)) {
    state.found = SavedState::Found::Unreadable;
    state.why = L"无法读取 " + Named(kSavedValues);
    return state;
  }
  if (const SavedValue* foreign = Foreign(platform.text, state.values, BootControlSet(platform))) {
    state.found = SavedState::Found::Untrusted;
    state.why = L"其中有本程序从不写入的值 " + CutAtNul(foreign->path) + L"\\" + foreign->name;
    return state;
  }
  state.found = SavedState::Found::Complete;
  return state;
}

// The command that removes the state, in the registry view this build reads it in.
std::wstring RemoveCommand() {
  constexpr bool k32Bit = sizeof(void*) == 4;
  return std::wstring(L"reg delete \"HKLM\\SOFTWARE\\VexaIpSet\" /f") + (k32Bit ? L" /reg:32" : L" /reg:64");
}

}  // namespace

std::vector<std::wstring> SavedState::Cards() const {
  std::vector<std::wstring> cards;
  for (const SavedValue& value : values) {
    if (std::none_of(cards.begin(), cards.end(), [&value](const std::wstring& c) { return SameName(c, value.card); }))
      cards.push_back(value.card);
  }
  return cards;
}

SavedState ReadSavedState(Platform& platform) { return ReadSavedValues(platform); }

std::wstring UnusableStateText(const SavedState& state) {
  constexpr bool k32Bit = sizeof(void*) == 4;
  return L"本机保存的原来设置 " + std::wstring(locations::kSavedState) +
         (k32Bit ? L"(64 位 Windows 上是 HKLM\\SOFTWARE\\WOW6432Node\\VexaIpSet)" : L"") + L" 不能用(" + state.why +
         L"),什么也没有写入或删除。不需要恢复它时,用这个命令删除后再运行: " + RemoveCommand();
}

SaveResult SaveBefore(Platform& platform, const std::vector<WriteRow>& rows, const std::wstring& card) {
  SaveResult result;
  SavedState saved = ReadSavedValues(platform);
  if (saved.found == SavedState::Found::Unreadable || saved.found == SavedState::Found::Untrusted) {
    result.failed = UnusableStateText(saved);
    return result;
  }
  const bool before = saved.found == SavedState::Found::Complete;
  const std::size_t had = saved.values.size();
  for (const WriteRow& row : rows) {
    if (std::any_of(saved.values.begin(), saved.values.end(), [&row](const SavedValue& v) { return SameRow(v, row); }))
      continue;
    Reg::RegRead read = Reg::ReadRegData(platform, row.path, row.valueName, row.view);
    SavedValue value{CutAtNul(card), row.path, std::wstring(row.valueName), std::wstring(row.label)};
    value.view = row.view;
    if (read.value) {
      value.data = std::move(*read.value);
    } else if (read.absent) {
      value.was = SavedValue::Was::Absent;
    } else if (read.noKey) {
      value.was = SavedValue::Was::NoKey;
    } else {
      result.unsaved.emplace_back(row.label);
      continue;
    }
    saved.values.push_back(std::move(value));
  }
  if (saved.values.size() == had) return result;

  const std::wstring key(locations::kSavedState);
  bool ok = Reg::CreateRegKey(platform, key);
  const auto put = [&](std::wstring_view name, const Reg::RegData& data) {
    ok = ok && Reg::WriteRegData(platform, key, name, data) == Reg::Written::Yes;
  };
  if (!before) {
    put(kSavedVersion, Reg::SzData(platform.text, std::wstring(kProductVersion)));
    put(kSavedCard, Reg::SzData(platform.text, CutAtNul(card)));
    put(kSavedTime, Reg::SzData(platform.text, LogStamp(platform.system.Now())));
  }
  put(kSavedValues, Reg::RegData{kRegBinary, Packed(platform.text, saved.values)});  // last, and whole
  if (!ok) result.failed = L"无法在本机注册表 " + key + L" 保存原来的设置,没有写入任何设置。";
  return result;
}

bool RestoreReport::AllBack() const {
  return std::all_of(cards.begin(), cards.end(), [](const CardRestore& c) { return c.notRestored.empty(); });
}

namespace {

// The players' profiles some saved value lies in: their hives are mounted for the restore.
std::vector<UserProfile> ProfilesOf(Platform& platform, const SavedState& state) {
  std::vector<UserProfile> profiles = UserProfiles(platform);
  std::erase_if(profiles, [&state](const UserProfile& profile) {
    return std::none_of(state.values.begin(), state.values.end(),
                        [&profile](const SavedValue& v) { return InHive(CutAtNul(v.path), profile.hiveKey); });
  });
  return profiles;
}

// Puts one value back into restore's lists: a value whose key is gone has nowhere to go and nothing to put
// back; one in a hive that could not be mounted is not back, and why is said.
void RestoreValue(Platform& platform, const SavedValue& value, const MountedHives& hives, CardRestore& restore) {
  for (const MountedHives::Failure& failure : hives.failed()) {
    if (!InHive(CutAtNul(value.path), failure.profile.hiveKey)) continue;
    restore.notRestored.push_back(value.label + L" (" + failure.why + L")");
    return;
  }
  if (value.was == SavedValue::Was::Absent) {
    (Reg::DeleteRegValue(platform, value.path, value.name, value.view) ? restore.restored : restore.notRestored)
        .push_back(value.label);
    return;
  }
  const Reg::Written written = Reg::WriteRegData(platform, value.path, value.name, value.data, value.view);
  if (written == Reg::Written::Yes) {
    restore.restored.push_back(value.label);
  } else if (written == Reg::Written::NoKey) {
    restore.keyGone.push_back(value.label);
  } else {
    restore.notRestored.push_back(value.label);
  }
}

}  // namespace

RestoreReport RestoreSaved(Platform& platform, const SavedState& state, const std::vector<std::wstring>& presentCards) {
  RestoreReport report;
  const std::wstring controlSet = BootControlSet(platform);
  const MountedHives hives(platform, ProfilesOf(platform, state));
  for (const std::wstring& card : state.Cards()) {
    CardRestore& restore = report.cards.emplace_back();
    restore.card = card;
    restore.gone = std::none_of(presentCards.begin(), presentCards.end(),
                                [&card](const std::wstring& present) { return SameName(CutAtNul(present), card); });
    const std::wstring cardKey = locations::TcpipInterface(controlSet, card);
    for (const SavedValue& value : state.values) {
      if (!SameName(value.card, card) || value.was == SavedValue::Was::NoKey) continue;
      // A card that left the machine took its interface key with it: nothing there to put back.
      if (restore.gone && SameName(CutAtNul(value.path), cardKey)) continue;
      RestoreValue(platform, value, hives, restore);
    }
  }
  if (report.AllBack()) report.stateRemoved = Reg::DeleteRegKey(platform, std::wstring(locations::kSavedState));
  return report;
}

}  // namespace vexa
