// /report: one page of the whole cafe, VexaIpSet.html beside the log. Self-contained (inline CSS, no
// script, nothing fetched), UTF-8 with its charset declared, readable on a phone, the grid on one A4 page
// when printed; every state has a word and a mark besides its colour.
#pragma once

#include <string>
#include <vector>

#include "cafe/seats.h"
#include "platform/platform.h"

namespace vexa {

inline constexpr std::string_view kPageName = "VexaIpSet.html";

// What the header shows besides the counts: when the page was made and the [NetWork] values in use.
struct PageHeader {
  LocalTime made;
  std::vector<std::pair<std::wstring, std::wstring>> network;  // key, value
};

std::string CafePage(const PageHeader& header, const CafeView& view);

// How many seats are in each state, in SeatState's order: of zone, or of every zone (nullptr).
std::vector<int> CountsOf(const CafeView& view, const IniFile::ZonePlan* zone = nullptr);

}  // namespace vexa
