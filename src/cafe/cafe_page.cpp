#include "cafe/cafe_page.h"

#include "cafe/cafe_export.h"
#include "common/exit_codes.h"
#include "common/host_address.h"
#include "common/machine_number.h"
#include "common/text.h"
#include "common/utf8.h"
#include "common/version.h"
#include "log/machine_twins.h"

namespace vexa {

namespace {

// A state's colour (its CSS class) and mark; its word is the seats' own (StateWord).
struct StateLook {
  SeatState state;
  const wchar_t* css;
  const wchar_t* mark;
};
// In SeatState's order.
constexpr StateLook kLooks[] = {
    {SeatState::Unseen, L"no", L""},     {SeatState::Listed, L"li", L"○"},   {SeatState::InEffect, L"ok", L"✓"},
    {SeatState::Pending, L"wa", L"↻"},   {SeatState::Refused, L"no2", L"✗"}, {SeatState::Undone, L"un", L"↺"},
    {SeatState::Conflict, L"two", L"⚠"},
};

const StateLook& LookOf(SeatState state) { return kLooks[static_cast<int>(state)]; }

constexpr std::wstring_view kStyle =
    L"body{font-family:\"Microsoft YaHei\",\"WenQuanYi Micro Hei\",sans-serif;margin:12px;color:#222}"
    L"h1{font-size:20px;margin:0 0 6px}h2.bad{color:#c0392b}h2{font-size:16px;margin:14px 0 4px}h2 "
    L"small{font-weight:normal;color:#555}"
    L".hd{font-size:13px;color:#333;margin:2px 0}.hd span{margin-right:14px;display:inline-block;max-width:100%;"
    L"overflow-wrap:anywhere}"
    L".g{display:grid;grid-template-columns:repeat(auto-fill,minmax(78px,1fr));gap:3px;margin-top:8px}"
    L".c{border:1px solid #bbb;border-radius:3px;padding:2px 3px;font-size:11px;line-height:1.3;min-height:42px;"
    L"overflow:hidden}.c b{font-size:13px}.c i{font-style:normal;float:right;font-weight:bold}"
    L".c u{display:block;text-decoration:none;white-space:nowrap;overflow:hidden;text-overflow:ellipsis}"
    L".ok{background:#c9efc9;border-color:#2e8b2e}.wa{background:#ffe2a0;border-color:#c98400}"
    L".no2{background:#f8c4c4;border-color:#c0392b}.two{background:#dcc6f5;border-color:#6a2fb0}"
    L".un{background:#dde6f0;border-color:#4a6f96}.li{background:#fff;border:2px dashed "
    L"#444}.no{background:#fff;color:#999}"
    L".two u{white-space:normal;word-break:break-all;font-size:10px}"
    L"em{font-style:normal;font-size:9px;background:#b03060;color:#fff;padding:0 2px;border-radius:2px;margin-left:3px}"
    L".lg{display:flex;flex-wrap:wrap;gap:4px;font-size:12px;margin:6px 0}.lg .c{min-height:0}"
    L"table{border-collapse:collapse;font-size:12px;width:100%}td,th{border:1px solid #ccc;padding:2px 4px;"
    L"text-align:left;vertical-align:top;overflow-wrap:anywhere}pre{font-size:12px;background:#f4f4f4;padding:4px;"
    L"white-space:pre-wrap;overflow-wrap:anywhere}"
    L"td.n{white-space:nowrap;overflow-wrap:normal}.w{overflow-x:auto}.w table{min-width:720px}"  // whole on a phone
    L"@media(max-width:600px){td:nth-child(9),th:nth-child(9){display:none}}"  // a phone: the version column goes
    L"@media print{@page{size:A4;margin:8mm}body{margin:0}.g{grid-template-columns:repeat(16,1fr);gap:1px}"
    L".c{min-height:0;font-size:7px;padding:1px}.c b{font-size:8px}h2{break-before:page}"
    L"*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}";

// Text from the log or config.ini, safe inside an element or an attribute.
std::wstring Escaped(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    switch (c) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'"': out += L"&quot;"; break;
      case L'\'': out += L"&#39;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

// "12-01 10:00": short enough for a cell.
std::wstring ShortTime(const LocalTime& t) {
  return ZeroPadded(static_cast<unsigned>(t.month), 2) + L"-" + ZeroPadded(static_cast<unsigned>(t.day), 2) + L" " +
         ZeroPadded(static_cast<unsigned>(t.hour), 2) + L":" + ZeroPadded(static_cast<unsigned>(t.minute), 2);
}

// A look at the seat since its run, in its own words (never a refusal): "; 已检查 12-01 10:00: 已生效".
std::wstring CheckedText(const Seat& seat) {
  if (seat.lastCheck == nullptr) return L"";
  const int code = ExitCodeOfLine(seat.lastCheck->record);
  const std::wstring found = code == exit_code::kDone              ? L"已生效"
                             : code == exit_code::kRegistryDiffers ? L"注册表与计划不同"
                             : code == exit_code::kNotInEffect     ? L"注册表已是计划,尚未生效"
                                                                   : L"没能检查";
  return L"; 已检查 " + ShortTime(seat.lastCheck->time) + L": " + found;
}

// What the hover and the table say of a seat: the reason of a refusal, the cards of a conflict.
std::wstring Detail(const Seat& seat) {
  if (seat.state == SeatState::Conflict) return L"机号冲突: " + JoinWith(seat.claimants, L", ");
  if (seat.last != nullptr) return seat.last->record.outcome + CheckedText(seat);
  return seat.state == SeatState::Listed ? L"机器表: " + seat.listed : L"";
}

std::wstring Cell(int number, const Seat& seat) {
  const StateLook& look = LookOf(seat.state);
  const std::wstring shared =
      seat.sidShared.empty() ? L"" : L"; 与机号 " + NumbersText(seat.sidShared) + L" 共用机器 SID";
  std::wstring cell = L"<div class=\"c " + std::wstring(look.css) + L"\" title=\"" +
                      Escaped(std::wstring(StateWord(look.state)) + L": " + Detail(seat) + shared) + L"\"><b>" +
                      IntText(number) + L"</b>" + (shared.empty() ? L"" : L"<em>SID</em>") + L"<i>" + look.mark +
                      L"</i>";
  if (seat.state == SeatState::Conflict) {
    for (const std::wstring& address : seat.claimants) cell += L"<u>" + Escaped(address) + L"</u>";
  } else if (seat.last != nullptr) {
    cell += L"<u>" + Escaped(seat.last->record.hostName) + L"</u><u>" + ShortTime(seat.last->time) + L"</u>";
  }
  return cell + L"</div>\n";
}

std::wstring Row(int number, const Seat& seat) {
  const LogEntry* last = seat.last;
  const std::wstring cells[] = {
      IntText(number),
      std::wstring(LookOf(seat.state).mark) + L" " + std::wstring(StateWord(seat.state)),
      seat.state == SeatState::Conflict ? JoinWith(seat.claimants, L", ")
                                        : (last != nullptr ? last->record.address : seat.listed),
      last != nullptr ? last->record.ipAddress : L"",
      last != nullptr ? last->record.hostName : L"",
      last != nullptr ? LogStamp(last->time) : L"",
      Detail(seat),
      IntText(seat.runs),
      last != nullptr ? last->record.version : L"",
  };
  std::wstring row = L"<tr>";
  for (std::size_t i = 0; i < std::size(cells); ++i) {
    const bool whole = i == 2 || i == 3 || i == 5;  // an address or a time: never broken inside
    row += (whole ? L"<td class=\"n\">" : L"<td>") + Escaped(cells[i]) + L"</td>";
  }
  return row + L"</tr>\n";
}

// The counts of each state, with its mark and word.
std::wstring Legend(const std::vector<int>& counts) {
  std::wstring legend = L"<div class=\"lg\">";
  for (const StateLook& look : kLooks) {
    legend += L" <span class=\"c " + std::wstring(look.css) + L"\">" + look.mark + (*look.mark != 0 ? L" " : L"") +
              std::wstring(StateWord(look.state)) + L": " + IntText(counts[static_cast<int>(look.state)]) + L"</span>";
  }
  return legend + L"</div>\n";
}

// A zone's heading above its grid: its name, numbers, subnet and gateway; index is the anchor the page's
// list of zones links to.
std::wstring ZoneHeading(const IniFile::ZonePlan& zone, std::size_t index) {
  const Ipv4 first = ParseIpv4(zone.AddressOf(zone.first));
  const Ipv4 mask = ParseMask(zone.mask);
  const std::wstring subnet = first.ok() && mask.ok() ? SubnetText(first.bits, mask.bits) : L"(" + zone.mask + L")";
  return L"<h2 id=\"z" + IntText(index + 1) + L"\">" + Escaped(zone.name) + L" <small>" + IntText(zone.first) + L"-" +
         IntText(zone.last) + L" · " + Escaped(subnet) + L" · 网关 " +
         Escaped(zone.gateway.empty() ? L"(无)" : zone.gateway) + L"</small></h2>\n";
}

std::wstring Lines(const std::vector<std::wstring>& lines, const wchar_t* none) {
  if (lines.empty()) return L"<p>" + std::wstring(none) + L"</p>\n";
  std::wstring text;
  for (const std::wstring& line : lines) text += Escaped(line) + L"\n";
  return L"<pre>" + text + L"</pre>\n";
}

// The machines that could not set themselves at start-up: no seat shows them, so they stand apart, above
// the grids, with the reason and the time; nothing when there are none.
std::wstring UnsetSection(const std::vector<const LogEntry*>& unset) {
  if (unset.empty()) return L"";
  std::wstring html =
      L"<h2 id=\"unset\" class=\"bad\">没能自动设置的机器</h2>\n<table><tr><th>计算机名</th><th>机器码</th>"
      L"<th>时间</th><th>原因</th></tr>\n";
  for (const LogEntry* entry : unset) {
    const RunRecord& r = entry->record;
    html += L"<tr><td>" + Escaped(r.hostName) + L"</td><td>" + Escaped(r.machineGuid) + L"</td><td>" +
            Escaped(LogStamp(entry->time)) + L"</td><td>" + Escaped(UnsetReason(r)) + L"</td></tr>\n";
  }
  return html + L"</table>\n";
}

}  // namespace

std::vector<int> CountsOf(const CafeView& view, const IniFile::ZonePlan* zone) {
  std::vector<int> counts(std::size(kLooks), 0);
  for (const IniFile::ZonePlan& z : view.zones) {
    if (zone != nullptr && &z != zone) continue;
    for (int number = z.first; number <= z.last; ++number) ++counts[static_cast<int>(view.seats[number].state)];
  }
  return counts;
}

std::string CafePage(const PageHeader& header, const CafeView& view) {
  constexpr std::wstring_view kTitle = L"VexaIpSet 机位一览";
  std::wstring page =
      L"<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">\n"
      L"<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">\n"
      L"<meta http-equiv=\"refresh\" content=\"30\">\n"  // each run rewrites it: the counter's screen follows
      L"<title>" +
      std::wstring(kTitle) + L"</title>\n<style>" + std::wstring(kStyle) + L"</style></head>\n<body>\n<h1>" +
      std::wstring(kTitle) + L"</h1>\n";
  page += L"<p class=\"hd\"><span>生成时间: " + LogStamp(header.made) + L"(每 30 秒自动刷新)</span> <span>版本: " +
          Escaped(std::wstring(kProductVersion)) + L"</span> <span>导出给 DHCP 服务器或路由器: VexaIpSet.exe /export " +
          ExportFormatNames(L"|<wbr>", L"|<wbr>") + L"</span>";
  // A blank between the parts: a narrow screen breaks the line there (and a part longer than the line,
  // between the formats).
  for (const auto& [key, value] : header.network) {
    page += L" <span>" + Escaped(JoinWith({key, value}, L"=")) + L"</span>";
  }
  page += L"</p>\n" + Legend(CountsOf(view, nullptr));
  page += UnsetSection(view.unset);  // no seat shows them: first, where the counter sees it
  // One grid for a cafe; a venue's zones each under a heading of their own, with their counts.
  const bool zoned = view.zones.size() > 1 || !view.zones.front().name.empty();
  if (zoned) {
    // A venue's page is long: the zones' names link to their grids.
    page += L"<p class=\"hd\">";
    for (std::size_t i = 0; i < view.zones.size(); ++i) {
      page += L"<span><a href=\"#z" + IntText(i + 1) + L"\">" + Escaped(view.zones[i].name) + L"</a></span> ";
    }
    page += L"<span><a href=\"#seats\">各机位</a></span></p>\n";
  }
  for (std::size_t i = 0; i < view.zones.size(); ++i) {
    const IniFile::ZonePlan& zone = view.zones[i];
    if (zoned) page += ZoneHeading(zone, i) + Legend(CountsOf(view, &zone));
    page += L"<div class=\"g\">\n";
    for (int number = zone.first; number <= zone.last; ++number) page += Cell(number, view.seats[number]);
    page += L"</div>\n";
  }
  for (const std::vector<int>& group : view.sidShared) {
    page += L"<p class=\"hd sid\"><em>SID</em> 这些机位共用一个机器 SID: " + Escaped(NumbersText(group)) + L"。" +
            std::wstring(kSharedSidMeaning) + L"</p>\n";
  }
  if (!view.outside.empty()) {
    page +=
        L"<p class=\"hd\">日志中这些机号不在 config.ini 的任何区里: " + Escaped(NumbersText(view.outside)) + L"</p>\n";
  }
  page +=
      L"<h2 id=\"seats\">各机位</h2>\n<div class=\"w\"><table><tr><th>机号</th><th>状态</th><th>网卡地址</th><th>IP "
      L"地址</th>"
      L"<th>计算机名</th><th>最后一次</th><th>结果</th><th>次数</th><th>版本</th></tr>\n";
  for (const int number : SeatNumbers(view)) {
    if (view.seats[number].state != SeatState::Unseen) page += Row(number, view.seats[number]);
  }
  page += L"</table></div>\n<h2>日志中有、[Machines] 中没有的网卡(可直接加入 [Machines])</h2>\n" +
          Lines(view.unlisted, L"没有。") + L"<h2>[Machines] 中还没有运行过的行</h2>\n" +
          Lines(view.unused, L"没有。") + L"</body></html>\n";
  return ToUtf8(page);
}

}  // namespace vexa
