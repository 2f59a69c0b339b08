// The network adapters and the console, for the run without a window.
// winsock2.h before windows.h, and both before iphlpapi.h.
#include <winsock2.h>

#include <windows.h>

#include <iphlpapi.h>

#include <string>

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

void Win32Console::Write(std::string_view bytes) {
  if (out_ == nullptr) return;
  DWORD written = 0;
  if (::GetFileType(out_) == FILE_TYPE_CHAR) {
    ::WriteConsoleA(out_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  } else {
    ::WriteFile(out_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
}

}  // namespace vexa::win32
