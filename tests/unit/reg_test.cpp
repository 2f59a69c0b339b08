// Module Reg over the simulated registry: path checks, the read's buffer rules and the writes' bytes.
#include <gtest/gtest.h>

#include "registry/reg.h"
#include "row.h"
#include "sim_machine.h"

namespace vexa {
namespace {

class RegTest : public ::testing::Test {
 protected:
  static constexpr const char* kKey = "Software\\Test";
  static constexpr const wchar_t* kPath = L"HKEY_CURRENT_USER\\Software\\Test";

  void Put(const std::string& name, std::uint32_t type, const std::string& bytes) {
    sim.registry.SetValue(kHkeyCurrentUser, kKey, name, type, bytes);
  }
  // The text, or why there is none.
  std::wstring Read(const std::wstring& name, const std::wstring& path = kPath) {
    const Reg::RegText read = Reg::ReadRegString(platform, path, name);
    switch (read.status) {
      case Reg::RegText::Status::Read: return read.text;
      case Reg::RegText::Status::NoRoot: return L"<no root>";
      case Reg::RegText::Status::Malformed: return L"<malformed " + read.path + L">";
      case Reg::RegText::Status::Unreadable: break;
    }
    return L"<unreadable>";
  }
  std::string Stored(const std::string& name) {
    auto v = sim.registry.GetValue(kHkeyCurrentUser, kKey, name);
    return v ? v->data : "<missing>";
  }

  sim::SimPlatform sim;
  Platform platform = sim.platform();
};

struct SplitCase {
  int line;
  const wchar_t* path;
  std::uint32_t root;
  const wchar_t* subKey;  // nullptr: malformed
};

TEST_F(RegTest, SplitRegPathChecksFormAndRoot) {
  const SplitCase cases[] = {
      ROW(L"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters", 0x80000002,
          L"SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters"),
      ROW(L"HKEY_CURRENT_USER\\Software\\Valve\\CounterStrike\\Settings", 0x80000001,
          L"Software\\Valve\\CounterStrike\\Settings"),
      ROW(L"HKEY_LOCAL_MACHINE", 0x80000002, L""),
      ROW(L"HKEY_DYN_DATA\\x", 0x80000006, L"x"),
      ROW(L"HKEY_USERS\\\\x", 0x80000003, L"\\x"),
      ROW(L"HKEY_Local_Machine\\SOFTWARE", 0, L"SOFTWARE"),
      ROW(L"HKEY_", 0, L""),
      ROW(L"HKLM\\SOFTWARE", 0, nullptr),
      ROW(L"hkey_local_machine\\SOFTWARE", 0, nullptr),
      ROW(L"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters\\Interfaces\\", 0, nullptr),
      ROW(L"", 0, nullptr),
      ROW(L"HKEY", 0, nullptr),
  };
  for (const auto& c : cases) {
    TRACE_ROW(c);
    const Reg::SplitPath split = Reg::SplitRegPath(c.path);
    EXPECT_EQ(split.root, c.root);
    EXPECT_EQ(split.malformed, c.subKey == nullptr);
    if (c.subKey != nullptr) {
      EXPECT_EQ(split.subKey, c.subKey);
    }
  }
  EXPECT_TRUE(sim.messages.Shown().empty());  // the window says a malformed path, never the registry
}

TEST_F(RegTest, RootNamesAreExact) {
  EXPECT_EQ(Reg::RootKeyByName(L"HKEY_CLASSES_ROOT"), 0x80000000u);
  EXPECT_EQ(Reg::RootKeyByName(L"HKEY_PERFORMANCE_DATA"), 0x80000004u);
  EXPECT_EQ(Reg::RootKeyByName(L"HKEY_CURRENT_CONFIG"), 0x80000005u);
  EXPECT_EQ(Reg::RootKeyByName(L"HKEY_LOCAL_MACHINE "), 0u);
  EXPECT_EQ(Reg::RootKeyByName(L"HKLM"), 0u);
}

TEST_F(RegTest, ReadTrimsTheBufferAndDropsTheTerminator) {
  Put("plain", kRegSz, std::string("abc\0", 4));
  Put("junk", kRegSz, std::string("abc\0xyz\0", 8));
  Put("unterminated", kRegSz, "abc");
  Put("empty", kRegSz, std::string("\0", 1));
  Put("emptyJunk", kRegSz, std::string("\0\0\0", 3));
  Put("blanks", kRegSz, std::string("  ab  \0", 7));
  Put("nothing", kRegBinary, "");
  Put("multi", kRegMultiSz,
      std::string("10.0.0.1\0"
                  "10.0.0.2\0\0",
                  19));
  Put("chinese", kRegSz, std::string("\xCD\xF8\xB0\xC9\0", 5));
  EXPECT_EQ(Read(L"plain"), L"abc");
  EXPECT_EQ(Read(L"junk"), std::wstring(L"abc\0xyz", 7));
  EXPECT_EQ(Read(L"unterminated"), L"abc");
  EXPECT_EQ(Read(L"empty"), L"");
  EXPECT_EQ(Read(L"emptyJunk"), std::wstring(L"\0\0", 2));
  EXPECT_EQ(Read(L"blanks"), L"ab  ");
  EXPECT_EQ(Read(L"nothing"), L"");
  EXPECT_EQ(Read(L"multi"), std::wstring(L"10.0.0.1\0"
                                         L"10.0.0.2\0",
                                         18));
  EXPECT_EQ(Read(L"chinese"), L"网吧");
  EXPECT_EQ(sim.registry.OpenHandles(), 0u);
}

TEST_F(RegTest, ReadOf254BytesFitsAnd255DoNot) {
  Put("fits", kRegSz, std::string(254, 'x') + '\0');
  Put("long", kRegSz, std::string(255, 'x') + '\0');
  Put("dbcs", kRegSz, [] {
    std::string s;
    for (int i = 0; i < 127; ++i) s += "\xCD\xF8";
    return s + '\0';
  }());
  EXPECT_EQ(Read(L"fits"), std::wstring(254, L'x'));
  EXPECT_EQ(Read(L"long"), L"<unreadable>");
  EXPECT_EQ(Read(L"dbcs"), std::wstring(127, L'网'));
}

TEST_F(RegTest, ReadFailuresAndTheKeyIsClosedOnEveryPath) {
  sim.registry.CreateKey(kHkeyCurrentUser, kKey);
  EXPECT_EQ(Read(L"missing"), L"<unreadable>");
  EXPECT_EQ(Read(L"x", L"HKEY_CURRENT_USER\\Software\\Nope"), L"<unreadable>");
  sim.registry.DenyOpen(kHkeyCurrentUser, "Software\\Denied");
  EXPECT_EQ(Read(L"x", L"HKEY_CURRENT_USER\\Software\\Denied"), L"<unreadable>");
  EXPECT_EQ(Read(L"x", L"HKEY_Current_User\\Software\\Test"), L"<no root>");
  EXPECT_EQ(Read(L"x", L"HKEY_CURRENT_USER\\Software\\Test\\"), L"<malformed HKEY_CURRENT_USER\\Software\\Test\\>");
  EXPECT_TRUE(sim.messages.Shown().empty());
  EXPECT_EQ(sim.registry.OpenHandles(), 0u);
}

TEST_F(RegTest, SubKeyWithANulAddressesTheKeyBeforeIt) {
  Put("v", kRegSz, std::string("ok\0", 3));
  EXPECT_EQ(Read(L"v", std::wstring(L"HKEY_CURRENT_USER\\Software\\Test\0junk", 37)), L"ok");
}

TEST_F(RegTest, WritesStoreTheExactBytesAndTypes) {
  sim.registry.CreateKey(kHkeyCurrentUser, kKey);
  for (const auto& [name, data] : std::initializer_list<std::pair<std::wstring, Reg::RegData>>{
           {L"d", Reg::DwordData(15)},
           {L"neg", Reg::DwordData(-2)},
           {L"order", Reg::DwordData(0x12345678)},
           {L"sz", Reg::SzData(platform.text, L"网吧15")},
           {L"empty", Reg::SzData(platform.text, L"")},
           {L"multi", Reg::MultiSzData(platform.text, std::wstring(L"192.168.0.15\0\0", 14))}}) {
    EXPECT_EQ(Reg::WriteRegData(platform, kPath, name, data), Reg::Written::Yes) << name;
  }
  EXPECT_EQ(Stored("d"), std::string("\x0F\0\0\0", 4));
  EXPECT_EQ(Stored("neg"), "\xFE\xFF\xFF\xFF");
  EXPECT_EQ(Stored("order"), "\x78\x56\x34\x12");
  EXPECT_EQ(Stored("sz"), std::string("\xCD\xF8\xB0\xC9"
                                      "15\0",
                                      7));
  EXPECT_EQ(Stored("empty"), std::string("\0", 1));
  EXPECT_EQ(Stored("multi"), std::string("192.168.0.15\0\0", 14));
  EXPECT_EQ(sim.registry.GetValue(kHkeyCurrentUser, kKey, "d")->type, kRegDword);
  EXPECT_EQ(sim.registry.GetValue(kHkeyCurrentUser, kKey, "sz")->type, kRegSz);
  EXPECT_EQ(sim.registry.GetValue(kHkeyCurrentUser, kKey, "multi")->type, kRegMultiSz);
  EXPECT_EQ(sim.registry.OpenHandles(), 0u);
}

// A DWORD is read only as four bytes of its own type, lowest byte first.
TEST_F(RegTest, ADwordIsFourBytesOfItsType) {
  Put("d", kRegDword, "\x78\x56\x34\x12");
  Put("sz", kRegSz, "\x78\x56\x34\x12");
  Put("short", kRegDword, "\x78\x56\x34");
  EXPECT_EQ(Reg::ReadRegDword(platform, kPath, L"d"), 0x12345678u);
  for (const wchar_t* name : {L"sz", L"short", L"missing"})
    EXPECT_FALSE(Reg::ReadRegDword(platform, kPath, name)) << name;
  EXPECT_EQ(sim.registry.OpenHandles(), 0u);
}

TEST_F(RegTest, WritesNeverCreateKeysAndReportFailure) {
  const std::size_t keys = sim.registry.KeyCount();
  const Reg::RegData x = Reg::SzData(platform.text, L"x");
  EXPECT_EQ(Reg::WriteRegData(platform, L"HKEY_CURRENT_USER\\Software\\Missing", L"v", x), Reg::Written::NoKey);
  EXPECT_EQ(sim.registry.KeyCount(), keys);
  EXPECT_TRUE(sim.messages.Shown().empty());

  sim.registry.RefuseSet(kHkeyCurrentUser, kKey);
  EXPECT_EQ(Reg::WriteRegData(platform, kPath, L"v", x), Reg::Written::Failed);
  EXPECT_EQ(Stored("v"), "<missing>");
  // A key that exists but does not open, and a path without a root, are failures, not a missing key.
  sim.registry.CreateKey(kHkeyCurrentUser, "Software\\Locked");
  sim.registry.DenyOpen(kHkeyCurrentUser, "Software\\Locked");
  EXPECT_EQ(Reg::WriteRegData(platform, L"HKEY_CURRENT_USER\\Software\\Locked", L"v", x), Reg::Written::Failed);
  EXPECT_EQ(Reg::WriteRegData(platform, L"HKEY_CURRENT_USER\\Software\\Test\\", L"v", x), Reg::Written::Failed);
  EXPECT_EQ(Reg::WriteRegData(platform, L"HKEY_NOWHERE\\Software", L"v", x), Reg::Written::Failed);
  EXPECT_EQ(sim.registry.OpenHandles(), 0u);
}

}  // namespace
}  // namespace vexa
