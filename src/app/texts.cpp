#include "app/texts.h"

#include "common/text.h"

namespace vexa::frm {

std::wstring HelpText() {
  const std::wstring rule(41, L'┄');
  return JoinLines({
      L"总体格式为[NetWork]换行 IP= 换行 IPOffset= 换行 Mask= 换行  GateWay=    换行    DNS= 换行 ",
      L"NetPrefix= 换行[CSCDK]换行输入每台机器号＝CS序列号和本软件放到同一个目录下即可使用!!",
      rule,
      L"IP=“网关的前三位              例如:192.168.0”",
      L"IPOffset=0到100的数字建议为0 主机名和IP相同！例如为3则IP地址的最后一位要比主机名大3",
      L"Mask=子网掩码                   例如:255.255.255.0",
      L"GateWay=默认网关 例如 192.168.0.1",
      L"DNS=DNS格式“主DNS,备用DNS” 例如:202.102.224.68,202.102.227.68",
      L"NetPrefix=主机名前缀,为空则主机名就为你输入的数字!例如前缀WB-输入 5 则主机名为WB-15",
      rule,
  });
}

std::wstring AboutText() {
  const std::wstring rule(26, L'━');
  return JoinLines({
      L"用配置文件和用户手动输入将自动修改主机名,IP,网关,DNS",
      L"CS游戏序列号！",
      rule,
      L"本程序适应于 第一次 大规模网络克隆系统网吧的 主机名 ,IP",
      L"DNS的自动修改。如果是重装系统的请联系作者索要根据MAC",
      L"地址全自动修改IP的程序,正真实现无人操作来修改机器的网",
      L"络信息!但这个程序需要提前收集所有机器的MAC地址生成配",
      L"置文件。建议用本程序请用批处理编写运行一次到开机启动!",
      rule,
      L"     作者:林小舟 QQ:000000 Email:author@vexaipset.example",
  });
}

}  // namespace vexa::frm
