#pragma once
// The collection at a glance: what the listed routes add up to per year (or month) and sport, the
// distance of each month of one year by sport for the chart, and the narrowing of the list to a
// cell or bar the user clicked.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/RouteInfo.h"
#include "core/SportWeather.h"
#include "i18n/Language.h"
#include "ui/RouteListLogic.h"

// The overview's sports: the sport keys in their order, then one for every other sport or none.
inline constexpr std::size_t kOverviewSportCount = sportKeys.size() + 1;
inline constexpr std::size_t kOtherSport = sportKeys.size();
// The row of routes without a date; no time stamp is read with a year 0.
inline constexpr int32_t kNoYear = 0;

// The year and month (1-12) of a route's first time stamp in the zone it was written in; kNoYear
// and 0 without a usable stamp.
struct YearMonth {
    int32_t year = kNoYear;
    int32_t month = 0;
};
YearMonth routeYearMonth(const RouteInfo& route);
std::size_t overviewSportOf(const RouteInfo& route);

enum class OverviewBy { year, month };

struct OverviewRow {
    int32_t year = kNoYear;
    int32_t month = 0;  // 0 in a table by year
    std::array<RouteTotals, kOverviewSportCount> sports;
    RouteTotals total;
};

struct OverviewTable {
    std::vector<OverviewRow> rows;  // newest first, the routes without a date last
    std::array<RouteTotals, kOverviewSportCount> sportTotals;
    RouteTotals total;
    std::vector<std::size_t> columns;  // the sports with a route, in key order, the other sports last
};

// The table of the routes at `rows` (indices into `routes`, as ListView::rows).
OverviewTable buildOverview(const std::vector<RouteInfo>& routes, const std::vector<uint64_t>& rows,
                            OverviewBy by = OverviewBy::year);

// Metres per month (January first) and sport of the routes of one year.
using MonthDistances = std::array<std::array<double, kOverviewSportCount>, 12>;
MonthDistances monthDistances(const std::vector<RouteInfo>& routes, const std::vector<uint64_t>& rows,
                              int32_t year);

// Texts of the table, shared by the window and the console tool.
std::u16string overviewSportText(std::size_t sport, const ActiveLanguage& language);
// "2024", "2024-03", or "no date".
std::u16string overviewRowText(const OverviewRow& row, const ActiveLanguage& language);
// "12 · 345.6 km · 23:45:00 · 3456 m"; empty for no routes.
std::u16string overviewCellText(const RouteTotals& totals, const ActiveLanguage& language);
// The language's short name of a month (1-12); its number where the row has none.
std::u16string monthName(int32_t month, const ActiveLanguage& language);

// The list narrowed to what the user clicked in the overview: a year (or the routes without a
// date), a month of it, a sport, or several of these together.
inline constexpr int32_t kAnyYear = -1;
struct OverviewPick {
    bool active = false;
    int32_t year = kAnyYear;
    int32_t month = 0;                        // 0: the whole year
    std::size_t sport = kOverviewSportCount;  // kOverviewSportCount: every sport
};
bool routeInPick(const RouteInfo& route, const OverviewPick& pick);
// "Year 2024 · Mar · Cycling", for the note beside the overview's toggle.
std::u16string overviewPickText(const OverviewPick& pick, const ActiveLanguage& language);
