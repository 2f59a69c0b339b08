#include "cafe/export_files.h"

#include <algorithm>
#include <map>
#include <set>

#include "common/host_address.h"
#include "common/text.h"
#include "common/utf8.h"

namespace vexa {

namespace {

// Pure ASCII text as bytes: a binding holds nothing else.
std::string Ascii(std::wstring_view text) { return std::string(text.begin(), text.end()); }

// A hardware address as each program spells it: "00:1a:2b:3c:4d:5e" (sep ':'), "00-1a-..." or "001a2b...".
std::string MacText(const MacAddress& mac, std::string_view separator) {
  constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < mac.size(); ++i) {
    if (i > 0) out += separator;
    out += kHex[mac[i] >> 4];
    out += kHex[mac[i] & 0xF];
  }
  return out;
}

std::string Ip(std::uint32_t ip) { return Ascii(DottedText(ip)); }

// Parts appended in order: a file's line without a temporary string for every '+'.
void Put(std::string& out, std::initializer_list<std::string_view> parts) {
  for (const std::string_view part : parts) out.append(part);
}

std::string Dnsmasq(const std::vector<const Binding*>& bindings) {
  std::string out;
  for (const Binding* b : bindings) {
    const bool named = !b->hostName.empty() && !LooksLikeLeaseTime(b->hostName);
    Put(out,
        {"dhcp-host=", MacText(b->mac, ":"), ",", Ip(b->ip), named ? "," : "", named ? Ascii(b->hostName) : "", "\n"});
  }
  return out;
}

// The bindings grouped by their zone's subnet, in the order of the subnets.
std::map<std::pair<std::uint32_t, std::uint32_t>, std::vector<const Binding*>> BySubnet(
    const std::vector<const Binding*>& bindings) {
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::vector<const Binding*>> subnets;  // (network, mask)
  for (const Binding* b : bindings) subnets[{b->ip & b->mask, b->mask}].push_back(b);
  return subnets;
}

// A host declaration; a host needs a name of its own: the seat's when the host name cannot be one.
void PutDhcpdHost(std::string& out, const Binding& b, std::string_view in) {
  Put(out, {in, "host ", Ascii(b.hostName.empty() ? b.fallbackName : b.hostName), " {\n", in, "  hardware ethernet ",
            MacText(b.mac, ":"), ";\n", in, "  fixed-address ", Ip(b.ip), ";\n", in, "}\n"});
}

// A declaration per subnet with its routers, the hosts inside it.
std::string Dhcpd(const std::vector<const Binding*>& bindings) {
  std::string out;
  for (const auto& [subnet, hosts] : BySubnet(bindings)) {
    Put(out, {"subnet ", Ip(subnet.first), " netmask ", Ip(subnet.second), " {\n"});
    if (hosts.front()->gateway != 0) Put(out, {"  option routers ", Ip(hosts.front()->gateway), ";\n"});
    for (const Binding* b : hosts) PutDhcpdHost(out, *b, "  ");
    out += "}\n";
  }
  return out;
}

// The hosts alone, for a dhcpd.conf that declares the subnets: dhcpd finds each host's subnet by its address.
std::string DhcpdHosts(const std::vector<const Binding*>& bindings) {
  std::string out;
  for (const Binding* b : bindings) PutDhcpdHost(out, *b, "");
  return out;
}

// A subnet's "reservations" list, its lines indented by in.
void PutKeaList(std::string& out, const std::vector<const Binding*>& hosts, std::string_view in) {
  out += "\"reservations\": [";
  for (std::size_t i = 0; i < hosts.size(); ++i) {
    const Binding& b = *hosts[i];
    const bool named = !b.hostName.empty();
    Put(out,
        {i > 0 ? "," : "", "\n", in, "  { \"hw-address\": \"", MacText(b.mac, ":"), "\", \"ip-address\": \"", Ip(b.ip),
         "\"", named ? ", \"hostname\": \"" : "", named ? Ascii(b.hostName) : "", named ? "\"" : "", " }"});
  }
  Put(out, {"\n", in, "]"});
}

// One subnet4 a subnet, its id the subnet's own address: the same whatever else the log holds, so that a
// re-import keeps Kea's leases (Kea keys them to the id).
std::string Kea(const std::vector<const Binding*>& bindings) {
  std::string out = "{\n  \"Dhcp4\": {\n    \"subnet4\": [";
  bool first = true;
  for (const auto& [subnet, hosts] : BySubnet(bindings)) {
    Put(out, {first ? "" : ",", "\n      {\n        \"id\": ", std::to_string(subnet.first),
              ",\n        \"subnet\": \"", Ascii(SubnetText(subnet.first, subnet.second)), "\",\n        "});
    PutKeaList(out, hosts, "        ");
    out += "\n      }";
    first = false;
  }
  Put(out, {first ? "" : "\n    ", "]\n  }\n}\n"});
  return out;
}

// Each subnet's reservations alone, under a comment naming the subnet4 they go into.
std::string KeaReservations(const std::vector<const Binding*>& bindings) {
  std::string out;
  for (const auto& [subnet, hosts] : BySubnet(bindings)) {
    Put(out, {"\n# subnet4 \"", Ascii(SubnetText(subnet.first, subnet.second)), "\"\n"});
    PutKeaList(out, hosts, "");
    out += "\n";
  }
  return out;
}

std::string Netsh(const std::vector<const Binding*>& bindings) {
  std::string out;
  for (const Binding* b : bindings) {
    const bool named = !b->hostName.empty();
    Put(out, {"netsh dhcp server scope ", Ip(b->ip & b->mask), " add reservedip ", Ip(b->ip), " ", MacText(b->mac, ""),
              named ? " " : "", named ? Ascii(b->hostName) : "", "\r\n"});
  }
  return out;
}

// Static neighbours on a Windows server: the interface's name is the batch file's first parameter; an
// entry already there is removed first, so the file can be run again.
std::string ArpBatch(const std::vector<const Binding*>& bindings) {
  std::string out = "if \"%~1\"==\"\" (\r\n  echo Usage: %~nx0 \"interface name\"\r\n  exit /b 1\r\n)\r\n";
  for (const Binding* b : bindings) {
    const std::string ip = Ip(b->ip);
    Put(out, {"netsh interface ipv4 delete neighbors \"%~1\" ", ip, " >nul 2>&1\r\n",
              "netsh interface ipv4 add neighbors \"%~1\" ", ip, " ", MacText(b->mac, "-"), "\r\n"});
  }
  return out;
}

std::string ArpScript(const std::vector<const Binding*>& bindings) {
  std::string out = "set -e\nif [ -z \"$1\" ]; then echo \"usage: $0 DEVICE\" >&2; exit 1; fi\n";
  for (const Binding* b : bindings) {
    Put(out, {"ip neigh replace ", Ip(b->ip), " lladdr ", MacText(b->mac, ":"), " dev \"$1\" nud permanent\n"});
  }
  return out;
}

// A CSV field: quoted when it holds a comma, a quote or a line end; one that Excel would take as a formula
// (= + - @ first) is kept as text by a leading apostrophe.
std::wstring CsvField(std::wstring_view text) {
  std::wstring field(text);
  if (!field.empty() && std::wstring_view(L"=+-@").find(field.front()) != std::wstring_view::npos) {
    field.insert(0, 1, L'\'');
  }
  if (field.find_first_of(L",\"\r\n") == std::wstring::npos) return field;
  std::wstring quoted = L"\"";
  for (wchar_t c : field) quoted += c == L'"' ? std::wstring(L"\"\"") : std::wstring(1, c);
  return quoted + L"\"";
}

std::string Csv(const CafeView& view) {
  std::wstring out = L"number,ip,mac,hostname,last_run,state\r\n";
  for (const int n : SeatNumbers(view)) {
    const Seat& seat = view.seats[n];
    if (seat.state == SeatState::Unseen) continue;
    const RunRecord* r = seat.last != nullptr ? &seat.last->record : nullptr;
    const std::wstring mac = !seat.claimants.empty() ? JoinWith(seat.claimants, L" ")
                             : r != nullptr          ? r->address
                                                     : seat.listed;
    const std::wstring fields[] = {IntText(n),
                                   r != nullptr ? r->ipAddress : L"",
                                   mac,
                                   r != nullptr ? r->hostName : L"",
                                   r != nullptr ? LogStamp(seat.last->time) : L"",
                                   std::wstring(StateWord(seat.state))};
    std::vector<std::wstring> cells;
    for (const std::wstring& f : fields) cells.push_back(CsvField(f));
    out += JoinWith(cells, L",") + L"\r\n";
  }
  return std::string(kUtf8Mark) + ToUtf8(out);
}

// How a format's file is used, for its head: lines parted by '\n'.
std::wstring_view HowUsed(ExportFormat format) {
  switch (format) {
    case ExportFormat::Dnsmasq:
      return L"用法: 放进 dnsmasq 读的配置目录(如 /etc/dnsmasq.d/),或在 dnsmasq.conf 中写\n"
             L"conf-file=这个文件的路径;用 dnsmasq --test 检查后重启 dnsmasq。";
    case ExportFormat::Dhcpd:
      return L"用法: 完整的子网声明(含 option routers),给还没有声明这些子网的 dhcpd.conf:\n"
             L"在其中写 include \"这个文件的路径\"; 已声明这些子网时请改用 /export dhcpd-hosts。";
    case ExportFormat::DhcpdHosts:
      return L"用法: 只有 host 声明,没有 subnet:在已声明这些子网的 dhcpd.conf 中写\n"
             L"include \"这个文件的路径\"; dhcpd 按 fixed-address 把每台主机放进它的子网;用 dhcpd -t 检查。";
    case ExportFormat::Kea:
      return L"用法: 完整的 kea-dhcp4 配置(只有子网和保留地址),给新装的 Kea;\n"
             L"已有配置时请改用 /export kea-reservations,把保留地址粘贴进已有的 subnet4。";
    case ExportFormat::KeaReservations:
      return L"用法: 每个子网一段 \"reservations\",粘贴进 kea-dhcp4.conf 中同一子网的 subnet4 条目\n"
             L"(已有 \"reservations\" 时替换它,与前后的键之间加逗号);用 kea-dhcp4 -t 检查。";
    case ExportFormat::Netsh: return L"用法: 在 Windows DHCP 服务器上以管理员身份运行;作用域须已建好。";
    case ExportFormat::Arp:
      return L"用法: 以管理员(root)身份运行,参数是接口名,例如 VexaIpSet-arp.bat \"本地连接\" 或\n"
             L"sh VexaIpSet-arp.sh eth0;可以重复运行。";
    case ExportFormat::Csv: break;
  }
  return L"";
}

// The head's lines: what made the file, how it is used, the seats left out.
std::vector<std::wstring> HeadLines(ExportFormat format, const std::wstring& note,
                                    const std::vector<LeftOutSeat>& left) {
  std::vector<std::wstring> lines = {note};
  const std::wstring_view how = HowUsed(format);
  for (std::size_t at = 0; at < how.size();) {
    const std::size_t end = std::min(how.find(L'\n', at), how.size());
    lines.emplace_back(how.substr(at, end - at));
    at = end + 1;
  }
  if (!left.empty()) lines.push_back(L"没有导出的 " + IntText(left.size()) + L" 个机位:");
  for (const LeftOutSeat& seat : left) lines.push_back(L"  机号 " + IntText(seat.number) + L": " + seat.reason);
  return lines;
}

// A head of '#' comments in UTF-8, for the programs of Linux servers.
std::string HashHead(const std::vector<std::wstring>& lines) {
  std::string out;
  for (const std::wstring& line : lines) out += "# " + ToUtf8(line) + "\n";
  return out;
}

// A batch file's head: rem lines in the console's code page, a '%' doubled so that it expands to nothing.
std::string RemHead(const std::vector<std::wstring>& lines, TextCodec& text) {
  std::string out = "@echo off\r\n";
  for (const std::wstring& line : lines) {
    std::wstring safe;
    for (const wchar_t c : line) safe += c == L'%' ? std::wstring(L"%%") : std::wstring(1, c);
    out += "rem " + text.ToAnsi(safe) + "\r\n";
  }
  return out;
}

}  // namespace

std::vector<ExportFile> ExportFiles(ExportFormat format, const ExportPlan& plan, const CafeView& view,
                                    const std::wstring& note, const std::vector<LeftOutSeat>& left, TextCodec& text) {
  const std::set<int> later(plan.sameNameSeats.begin(), plan.sameNameSeats.end());
  std::vector<const Binding*> bindings;
  for (const Binding& b : plan.bindings) {
    if (!NamesMustBeUnique(format) || later.count(b.number) == 0) bindings.push_back(&b);
  }
  const std::vector<std::wstring> head = HeadLines(format, note, left);
  const std::string hash = HashHead(head);
  std::string name;
  std::string bytes;
  switch (format) {
    case ExportFormat::Dnsmasq: name = "dnsmasq.conf", bytes = hash + Dnsmasq(bindings); break;
    case ExportFormat::Dhcpd: name = "dhcpd.conf", bytes = hash + Dhcpd(bindings); break;
    case ExportFormat::DhcpdHosts: name = "dhcpd-hosts.conf", bytes = hash + DhcpdHosts(bindings); break;
    case ExportFormat::Kea: name = "kea.json", bytes = hash + Kea(bindings); break;
    case ExportFormat::KeaReservations: name = "kea-reservations.json", bytes = hash + KeaReservations(bindings); break;
    case ExportFormat::Netsh: name = "netsh.bat", bytes = RemHead(head, text) + Netsh(bindings); break;
    case ExportFormat::Arp: name = "arp.bat", bytes = RemHead(head, text) + ArpBatch(bindings); break;
    case ExportFormat::Csv: name = "csv.csv", bytes = Csv(view); break;
  }
  std::vector<ExportFile> files = {{"VexaIpSet-" + name, std::move(bytes)}};
  // The same bindings for a Linux router.
  if (format == ExportFormat::Arp) files.push_back({"VexaIpSet-arp.sh", "#!/bin/sh\n" + hash + ArpScript(bindings)});
  return files;
}

}  // namespace vexa
