#pragma once
// The items of the six filter combo boxes.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/RouteInfo.h"

enum FilterBox : std::size_t { filterStart, filterEnd, filterSport, filterGhost, filterType, filterLength, filterBoxCount };

std::u16string filterHeaderText(std::string_view key);
// Sorts by UTF-16 code units and removes duplicates.
void sortDistinct(std::vector<std::u16string>& texts);
// The items of each box in order, item 0 (the "all" entry) first.
std::array<std::vector<std::u16string>, filterBoxCount> filterBarItems(const std::vector<RouteInfo>& routes);
