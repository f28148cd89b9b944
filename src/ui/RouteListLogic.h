#pragma once
// Which routes the list shows, and the texts of its rows and status line.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "library/Import.h"
#include "ui/RouteColumns.h"
#include "ui/RouteFilters.h"

struct ListFilters {
    std::u16string search;                           // already limited and lowered (searchTextFromBox)
    std::array<FilterChoice, kFilterCount> choices;  // in the order of routeFilters
};

// The search box text as the list uses it: at most the first 510 units, lowered.
std::u16string searchTextFromBox(std::u16string_view boxText);
std::u16string routeSearchText(const RouteInfo& route, const ActiveLanguage& language);
bool routePassesFilters(const RouteInfo& route, const ListFilters& filters, const ActiveLanguage& language);
// Indices into `routes` of the routes that pass, in their order.
std::vector<uint64_t> filterRoutes(const std::vector<RouteInfo>& routes, const ListFilters& filters,
                                   const ActiveLanguage& language);
bool resetButtonVisible(const ListFilters& filters);
std::array<std::u16string, kRouteColumnCount> routeRowTexts(const RouteInfo& route,
                                                            const ActiveLanguage& language);
// What a number of routes add up to. Routes without an elapsed time add nothing to the time.
// Between the parts of the status line.
inline constexpr std::u16string_view kStatusSeparator = u"   \u00B7   ";

struct RouteTotals {
    std::size_t count = 0;
    double meters = 0;
    double seconds = 0;
    double ascentMeters = 0;
    uint64_t points = 0;
};
void addToTotals(RouteTotals& totals, const RouteInfo& route);
// "2345.6 km   ·   123:45:00   ·   34560 m" in the language's forms and units.
std::u16string totalsText(const RouteTotals& totals, const ActiveLanguage& language);
// "124 Files   ·   <totals>   ·   D:\Routes"; with several rows selected the count of the
// selection follows the file count, and the totals are the selection's.
std::u16string statusLineText(const RouteTotals& listed, const RouteTotals& selected,
                              const std::filesystem::path& folder, const ActiveLanguage& language);
// What an import brought, for the status line: "Imported: 2   ·   Renamed: Tour.gpx → Tour 2.gpx",
// the first three renamed files and then how many more; empty when nothing arrived.
std::u16string importNoteText(const std::vector<std::filesystem::path>& sources,
                              const std::vector<ImportResult>& results, const ActiveLanguage& language);
