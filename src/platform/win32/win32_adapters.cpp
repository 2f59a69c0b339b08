// The network adapters, UDP and the console, for the run without a window.
// winsock2.h before windows.h, and both before iphlpapi.h.
#include <winsock2.h>

#include <windows.h>

#include <iphlpapi.h>

#include <atomic>
#include <optional>
#include <string>

#include "common/host_address.h"

#include "platform/win32/win32_platform.h"

namespace vexa::win32 {

std::optional<std::vector<AdapterAddress>> Win32Adapters::GetAdaptersAddresses(AdapterDetail detail) {
  auto get = functions_.Get<fn::GetAdaptersAddresses>();
  if (get == nullptr) return std::nullopt;
  const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER |
                      GAA_FLAG_SKIP_FRIENDLY_NAME | (detail == AdapterDetail::Hardware ? GAA_FLAG_SKIP_UNICAST : 0);
  std::vector<unsigned char> buffer(std::size_t{16} * 1024);
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    auto size = static_cast<ULONG>(buffer.size());
    result = get(AF_UNSPEC, flags, nullptr, reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer.data()), &size);
    if (result == ERROR_BUFFER_OVERFLOW) buffer.resize(size);
  }
  std::vector<AdapterAddress> adapters;
  if (result == ERROR_NO_DATA) return adapters;
  if (result != ERROR_SUCCESS) return std::nullopt;
  for (auto* a = reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer.data()); a != nullptr; a = a->Next) {
    AdapterAddress adapter{a->AdapterName != nullptr ? a->AdapterName : "",
                           std::string(reinterpret_cast<const char*>(a->PhysicalAddress), a->PhysicalAddressLength),
                           a->OperStatus == IfOperStatusUp,
                           {}};
    for (auto* u = a->FirstUnicastAddress; u != nullptr; u = u->Next) {
      const SOCKADDR* at = u->Address.lpSockaddr;
      if (at == nullptr || at->sa_family != AF_INET) continue;
      const auto* bytes = reinterpret_cast<const unsigned char*>(&reinterpret_cast<const sockaddr_in*>(at)->sin_addr);
      const std::string dotted = std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." +
                                 std::to_string(bytes[2]) + "." + std::to_string(bytes[3]);
      const UnicastAddress::Dad dad = u->DadState == IpDadStatePreferred   ? UnicastAddress::Dad::Preferred
                                      : u->DadState == IpDadStateDuplicate ? UnicastAddress::Dad::Duplicate
                                                                           : UnicastAddress::Dad::Other;
      adapter.ipv4.push_back(UnicastAddress{dotted, dad});
    }
    adapters.push_back(std::move(adapter));
  }
  return adapters;
}

bool Win32Console::Attach() {
  // Handed over by a batch file's redirection or a pipe: write there.
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (KernelHandle::IsValid(out) && ::GetFileType(out) != FILE_TYPE_UNKNOWN) {
    out_ = out;
    return true;
  }
  if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  ownedOut_.reset(::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  if (!ownedOut_) return false;
  out_ = ownedOut_.get();
  return true;
}

namespace {

// Windows calls a console's control handler on a thread of its own, with no context to hand it: the one
// flag it sets lives here, for the process.
std::atomic<bool>& CtrlCPressed() {
  static std::atomic<bool> pressed{false};
  return pressed;
}

BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;  // closing, log-off: Windows' way
  CtrlCPressed() = true;
  return TRUE;
}

}  // namespace

void Win32Console::StopOnCtrlC() { ::SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

bool Win32Console::Interrupted() { return CtrlCPressed(); }

void Win32Console::Write(std::string_view bytes) {
  if (out_ == nullptr) return;
  DWORD written = 0;
  if (::GetFileType(out_) == FILE_TYPE_CHAR) {
    ::WriteConsoleA(out_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  } else {
    ::WriteFile(out_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
}

namespace {

// A dotted IPv4 address as Winsock takes it; nothing for text that is none.
std::optional<sockaddr_in> SocketAddress(std::string_view dotted, std::uint16_t port) {
  const Ipv4 ip = ParseIpv4(std::wstring(dotted.begin(), dotted.end()));
  if (!ip.ok()) return std::nullopt;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = static_cast<u_short>((port >> 8) | ((port & 0xFF) << 8));  // network byte order
  const std::uint32_t bits = ip.bits;
  address.sin_addr.s_addr = ((bits >> 24) & 0xFF) | ((bits >> 8) & 0xFF00) | ((bits << 8) & 0xFF0000) | (bits << 24);
  return address;
}

}  // namespace

bool Win32Network::SendUdp(std::string_view from, std::string_view to, std::uint16_t port, std::string_view bytes) {
  auto startup = functions_.Get<fn::WSAStartup>();
  auto open = functions_.Get<fn::socket>();
  auto option = functions_.Get<fn::setsockopt>();
  auto bindTo = functions_.Get<fn::bind>();
  auto send = functions_.Get<fn::sendto>();
  auto close = functions_.Get<fn::closesocket>();
  if (!startup || !open || !option || !bindTo || !send || !close) return false;
  if (!started_) {
    WSADATA data{};
    if (startup(MAKEWORD(2, 2), &data) != 0) return false;
    started_ = true;  // Winsock stays started while the process lives
  }
  const std::optional<sockaddr_in> target = SocketAddress(to, port);
  if (!target) return false;
  const SOCKET s = open(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) return false;
  const BOOL yes = TRUE;
  bool sent = option(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&yes), sizeof yes) == 0;
  if (sent && !from.empty()) {
    const std::optional<sockaddr_in> local = SocketAddress(from, 0);
    sent = local && bindTo(s, reinterpret_cast<const sockaddr*>(&*local), sizeof *local) == 0;
  }
  if (sent) {
    sent = send(s, bytes.data(), static_cast<int>(bytes.size()), 0, reinterpret_cast<const sockaddr*>(&*target),
                sizeof *target) == static_cast<int>(bytes.size());
  }
  close(s);
  return sent;
}

}  // namespace vexa::win32
