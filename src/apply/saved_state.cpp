#include "apply/saved_state.h"

#include <algorithm>

#include "common/text.h"
#include "log/log_line.h"
#include "registry/locations.h"

namespace vexa {

namespace {

using locations::kSavedCard, locations::kSavedTime, locations::kSavedValues, locations::kSavedVersion;
// Every saved value in one REG_BINARY (kSavedValues), in write order: a format byte, then per value its state
// (one byte), type (four bytes), and key path, value name, label (ANSI) and data, each as four bytes of
// length and the bytes. Lengths and numbers little-endian.
constexpr char kFormat = 1;

void PutNumber(std::string& out, std::uint32_t n) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
}

std::string Packed(TextCodec& text, const std::vector<SavedValue>& values) {
  std::string out(1, kFormat);
  for (const SavedValue& v : values) {
    out.push_back(static_cast<char>(v.was));
    PutNumber(out, v.data.type);
    for (const std::wstring* part : {&v.path, &v.name, &v.label}) {
      const std::string bytes = text.ToAnsi(*part);
      PutNumber(out, static_cast<std::uint32_t>(bytes.size()));
      out += bytes;
    }
    PutNumber(out, static_cast<std::uint32_t>(v.data.bytes.size()));
    out += v.data.bytes;
  }
  return out;
}

// Packed's bytes read back; false when they are not what it writes.
bool Unpacked(TextCodec& text, std::string_view in, std::vector<SavedValue>& values) {
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
  if (in.empty() || in[0] != kFormat) return false;
  while (at < in.size()) {
    SavedValue v;
    const auto was = static_cast<std::uint8_t>(in[at++]);
    std::string parts[3];
    if (was > static_cast<std::uint8_t>(SavedValue::Was::NoKey) || !number(v.data.type) || !bytes(parts[0]) ||
        !bytes(parts[1]) || !bytes(parts[2]) || !bytes(v.data.bytes)) {
      return false;
    }
    v.was = static_cast<SavedValue::Was>(was);
    v.path = text.FromAnsi(parts[0]);
    v.name = text.FromAnsi(parts[1]);
    v.label = text.FromAnsi(parts[2]);
    values.push_back(std::move(v));
  }
  return true;
}

bool SameRow(const SavedValue& saved, const WriteRow& row) {
  return SameName(saved.path, row.path) && SameName(saved.name, row.valueName);
}

std::wstring Named(std::wstring_view value) {
  return std::wstring(locations::kSavedState) + L"\\" + std::wstring(value);
}

}  // namespace

namespace {

// The saved values alone: what every write asks before it changes anything.
SavedState ReadSavedValues(Platform& platform) {
  SavedState state;
  const std::wstring key(locations::kSavedState);
  const Reg::RegRead values = Reg::ReadRegData(platform, key, kSavedValues);
  if (values.noKey || values.absent) return state;  // none, or a save cut short before any write
  if (!values.value || values.value->type != kRegBinary ||
      !Unpacked(platform.text, values.value->bytes, state.values)) {
    state.found = SavedState::Found::Unreadable;
    state.unreadable = Named(kSavedValues);
    return state;
  }
  state.found = SavedState::Found::Complete;
  return state;
}

}  // namespace

SavedState ReadSavedState(Platform& platform) {
  SavedState state = ReadSavedValues(platform);
  if (state.found != SavedState::Found::Complete) return state;
  const std::wstring key(locations::kSavedState);
  // The version and the time are for a person looking at the key; /undo needs the card.
  const Reg::RegRead card = Reg::ReadRegData(platform, key, kSavedCard);
  if (card.value) state.card = ValueText(platform.text, *card.value);
  return state;
}

SaveResult SaveBefore(Platform& platform, const std::vector<WriteRow>& rows, const std::wstring& card) {
  SaveResult result;
  SavedState saved = ReadSavedValues(platform);
  if (saved.found == SavedState::Found::Unreadable) {
    result.failed = L"保存过的原来设置无法读取(" + saved.unreadable + L")";
    return result;
  }
  const bool before = saved.found == SavedState::Found::Complete;
  const std::size_t had = saved.values.size();
  for (const WriteRow& row : rows) {
    if (std::any_of(saved.values.begin(), saved.values.end(), [&row](const SavedValue& v) { return SameRow(v, row); }))
      continue;
    Reg::RegRead read = Reg::ReadRegData(platform, row.path, row.valueName);
    SavedValue value{row.path, std::wstring(row.valueName), std::wstring(row.label)};
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
  if (!ok) result.failed = L"无法在本机注册表 " + key + L" 保存原来的设置";
  return result;
}

RestoreReport RestoreSaved(Platform& platform, const SavedState& state) {
  RestoreReport report;
  for (const SavedValue& value : state.values) {
    bool back = true;
    switch (value.was) {
      case SavedValue::Was::Value:
        back = Reg::WriteRegData(platform, value.path, value.name, value.data) == Reg::Written::Yes;
        break;
      case SavedValue::Was::Absent: back = Reg::DeleteRegValue(platform, value.path, value.name); break;
      case SavedValue::Was::NoKey: continue;  // never written: the tool creates no key
    }
    (back ? report.restored : report.notRestored).push_back(value.label);
  }
  if (report.notRestored.empty())
    report.stateRemoved = Reg::DeleteRegKey(platform, std::wstring(locations::kSavedState));
  return report;
}

}  // namespace vexa
