// Where Wine 8 gives another result than Windows, each with its evidence. The simulated Windows gives
// Windows' result; under Wine the suite expects Wine's and prints the difference, so the suite stays green
// and every known difference stands here, in one place.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>

#include "contract/fixture.h"

namespace vexa::contract {

struct KnownWineDifference {
  const char* name;
  const char* windows;  // with its evidence
  const char* wine;
};

inline constexpr KnownWineDifference kUtf8Mark{
    "UTF-8 byte-order mark", "not decoded, the first line is lost (INI tests run on Windows 10, UTF8_Tests)",
    "decoded (kernel32/profile.c)"};
inline constexpr KnownWineDifference kUtf16BeMark{
    "UTF-16BE byte-order mark", "not understood, defaults (INI tests run on Windows 10, UTF16BE_Tests)",
    "decoded (kernel32/profile.c)"};
inline constexpr KnownWineDifference kHeaderWithoutBracket{
    "section header without ']'", "a section named to the end of the line (SquareBracket_Tests)",
    "no section (kernel32/profile.c)"};
inline constexpr KnownWineDifference kSecondBracket{
    "second ']' in a header", "the name ends at the first ']' (SquareBracket_Tests)", "at the last ']'"};
inline constexpr KnownWineDifference kHugeValue{"value of 65,536 characters or more",
                                                "its length wraps modulo 65,536 (Limits_Tests)",
                                                "cut to the buffer like any long value"};
inline constexpr KnownWineDifference kTrimSet{"form feed and ^Z around a value",
                                              "trimmed: blank, TAB, VT (WhiteSpace_Tests); FF and ^Z not shown trimmed",
                                              "0x09-0x0D, 0x1A and blank trimmed (kernel32/profile.c)"};
inline constexpr KnownWineDifference kBufferAfterMoreData{
    "buffer after ERROR_MORE_DATA", "undefined (RegQueryValueExA documentation); the sim fills it",
    "left untouched (kernelbase/registry.c)"};
inline constexpr KnownWineDifference kSubKeyOrder{"order of enumerated sub-keys",
                                                  "sorted on upper-case names (the registry's own order)",
                                                  "sorted on lower-case names (server/unicode.c)"};

inline constexpr KnownWineDifference kCutKeyList{"key list cut to the buffer",
                                                 "ends in two NULs (GetPrivateProfileString documentation)",
                                                 "the A call's last name fills the buffer without a NUL"};

inline constexpr KnownWineDifference kReadUnderLock{
    "a read through another handle of a range that LockFileEx locked",
    "fails with ERROR_LOCK_VIOLATION (LockFileEx documentation: locks are mandatory)",
    "succeeds: Wine keeps byte-range locks for other lockers only (ntdll/unix/file.c reads without them)"};

// No row shows this one: nothing in the suite can make another machine hold an address. /check's "conflict"
// is therefore tested over the simulated Windows only.
inline constexpr KnownWineDifference kDuplicateAddress{
    "an address another machine on the network holds",
    "IpDadStateDuplicate on the unicast address (IP_ADAPTER_UNICAST_ADDRESS_LH documentation)",
    "IpDadStatePreferred for every address (nsiproxy.sys/ip.c)"};

// No row shows these two: they are of services.exe and of a service process, which the suite is not. The
// end-to-end boot (tests/e2e/boot.sh) starts the tool's service as Windows orders it, once Wine's TCP/IP
// driver runs, and shows the run that finds no card with one look at the cards.
inline constexpr KnownWineDifference kServiceOrder{
    "a service that depends on Tcpip", "started after the TCP/IP driver (CreateService documentation, lpDependencies)",
    "started in services.exe's own order, before nsiproxy.sys: Tcpip has no service type there and the "
    "dependency is skipped (programs/services/services.c, scmdatabase_autostart_services)"};
inline constexpr KnownWineDifference kServiceAdapters{
    "GetAdaptersAddresses asked once a second by a service", "answers each time (the start-up run's wait for its card)",
    "after one or two answers a call never returns: DeviceIoControl of nsi.dll on the nsi device waits for "
    "good (winedbg's backtrace); the same calls from a process that is no service all return"};

inline constexpr KnownWineDifference kUnmountedHive{
    "a hive's file after RegUnLoadKeyA",
    "holds what was written while it was mounted (RegLoadKey documentation: "
    "the changes are saved to the file)",
    "as it was loaded: the server drops the mounted keys (server/registry.c, unload_registry) and writes a "
    "loaded file back only at its own shutdown, if at all"};

// Expects Windows' result, or under Wine Wine's known one.
template <typename Actual, typename Expected>
void ExpectWindows(const Fixture& fixture, const KnownWineDifference& difference, const Actual& actual,
                   const Expected& windows, const Expected& wine) {
  if (!fixture.UnderWine()) {
    EXPECT_EQ(actual, windows) << difference.name << " on Windows: " << difference.windows;
    return;
  }
  EXPECT_EQ(actual, wine) << "Wine's known difference changed: " << difference.name;
  std::printf("[ KNOWN    ] Wine differs from Windows: %s. Windows: %s. Wine: %s.\n", difference.name,
              difference.windows, difference.wine);
}

}  // namespace vexa::contract
