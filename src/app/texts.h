// The help and about boxes and the two web addresses.
#pragma once

#include <string>
#include <string_view>

namespace vexa::frm {

inline constexpr std::wstring_view kHelpTitle = L"Quorlis Vexa IP自动修改  配置文件的使用方法!";
inline constexpr std::wstring_view kAboutTitle = L"关于 Quorlis Vexa IP 地址自动修改程序";
inline constexpr std::wstring_view kForumAddress = L"http://forum.vexaipset.example/";
inline constexpr std::wstring_view kHomeAddress = L"http://www.vexaipset.example/";

std::wstring HelpText();
std::wstring AboutText();

}  // namespace vexa::frm
