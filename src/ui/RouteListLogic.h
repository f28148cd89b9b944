#pragma once
// Which routes the list shows, and the texts of its rows and status line.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/RouteInfo.h"
#include "ui/ActiveTexts.h"

extern std::vector<uint64_t> visibleRows;  // row -> index into libraryRoutes
extern int32_t selectedRow;                // -1 for none

inline constexpr std::size_t kRouteListColumnCount = 9;

struct ListFilters {
    std::u16string search;  // already limited and lowered (searchTextFromBox)
    std::u16string start;   // empty: no filter
    std::u16string finish;
    std::u16string sport;
    int ghost = -1;  // combo indices; 1 and 2 filter, anything else keeps all
    int type = -1;
    int length = -1;
};

// The search box text as the list uses it: at most the first 510 units, lowered.
std::u16string searchTextFromBox(std::u16string_view boxText);
std::u16string routeSearchText(const RouteInfo& route);
bool routePassesFilters(const RouteInfo& route, const ListFilters& filters);
std::vector<uint64_t> filterRoutes(const std::vector<RouteInfo>& routes, const ListFilters& filters);
bool resetButtonVisible(const ListFilters& filters);
std::array<std::u16string, kRouteListColumnCount> routeRowTexts(const RouteInfo& route);
// The same with the language resolved once by the caller, for filling many rows.
std::array<std::u16string, kRouteListColumnCount> routeRowTexts(const RouteInfo& route,
                                                                const ActiveTexts& active);
std::u16string statusLineText(std::size_t rowCount, const std::filesystem::path& folder);
