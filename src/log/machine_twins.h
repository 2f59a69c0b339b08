// Machines that share an identifier with this one, as the shared log shows it: each card's last vouching
// line carries its machine's fingerprints, so a card of another machine whose line carries this machine's
// is a clone of the same image. The run asks it under the log's lock (a clone gets a new MachineGuid);
// /check names the seats that share its machine SID.
#pragma once

#include <string>
#include <vector>

#include "log/log_text.h"

namespace vexa {

// What machines that share one machine SID are, what it costs and what to do: /table, /report and /check
// say it. The tool never changes a SID (only Sysprep makes a new one whole).
inline constexpr std::wstring_view kSharedSidMeaning =
    L"它们是同一个镜像克隆的,没有用 Sysprep 封装:Windows 11 24H2 及以后(和 Windows Server 2025)拒绝这些机器之间"
    L"的 NTLM 和 Kerberos 登录(共享文件夹、远程桌面等)。请用 Sysprep 重新封装镜像(sysprep /generalize)。";

// Which of a line's fingerprints.
enum class PrintOf { MachineGuid, MachineSid };

// The last vouching line of every card whose line carries print in that column, latest first; a card in
// own (this machine's cards' addresses) is this machine, and a card whose /undo ended its claim holds
// nothing. An unknown print ("") is shared with nobody.
std::vector<LogEntry> CardsSharing(const LogText& log, PrintOf column, const std::wstring& print,
                                   const std::vector<std::wstring>& own);

}  // namespace vexa
