#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/RouteColumns.h"
#include "ui/RouteSort.h"

namespace {

using Rows = std::vector<uint64_t>;

constexpr int kName = 0;
constexpr int kDate = 1;
constexpr int kSportColumn = 2;
constexpr int kLengthColumn = 3;
constexpr int kTime = 4;
constexpr int kAscent = 5;
constexpr int kGhostColumn = 7;

Rows sorted(const std::vector<RouteInfo>& routes, int column, bool descending) {
    Rows rows;
    for (uint64_t i = 0; i < routes.size(); ++i) rows.push_back(i);
    sortRows(rows, routes, ListSort{column, descending}, resolveLanguage("en"));
    return rows;
}

RouteInfo failedRoute(std::string stem) {
    RouteInfo route;
    route.fileStem = std::move(stem);
    route.errorText = "Datei konnte nicht gelesen werden";
    return route;
}

}  // namespace

TEST(RouteSort, DatesAreReadAsCalendarDaysAroundTheCenturyPivot) {
    EXPECT_EQ(calendarDay("01.01.00"), 20000101);
    EXPECT_EQ(calendarDay("31.12.69"), 20691231);
    EXPECT_EQ(calendarDay("01.01.70"), 19700101);
    EXPECT_EQ(calendarDay("15.06.99"), 19990615);
    for (std::string_view text :
         {"\u2013", "", "1.2.24", "01.13.24", "00.05.24", "01-05-24", "ab.cd.ef", "01.05.2024", "01.05.2"}) {
        EXPECT_EQ(calendarDay(text), -1) << text;
    }
}

TEST(RouteSort, DatesSortByCalendarWithUndatedAndFailedRecordsLast) {
    std::vector<RouteInfo> routes;
    for (const char* date : {"01.12.24", "\u2013", "31.01.25", "15.06.99", "", "02.01.00"}) {
        routes.push_back(sampleRoute("r"));
        routes.back().dateText = date;
    }
    routes.push_back(failedRoute("broken"));
    // As text "31.01.25" < "15.06.99"; as dates 1999 is the oldest.
    EXPECT_EQ(sorted(routes, kDate, true), (Rows{2, 0, 5, 3, 1, 4, 6}));
    EXPECT_EQ(sorted(routes, kDate, false), (Rows{3, 5, 0, 2, 1, 4, 6}));
}

TEST(RouteSort, NamesFoldOnlyAsciiLettersAndKeepLibraryOrderForEqualNames) {
    std::vector<RouteInfo> routes;
    for (const char* stem : {"zugspitze", "\xc3\x96schberg", "alpen", "Alpen", "Zwiesel", "alpen"})
        routes.push_back(sampleRoute(stem));
    routes.push_back(failedRoute("Aaa"));
    // "Alpen" before "alpen" (code units once folded they tie); the two "alpen" keep their order;
    // Ö is no ASCII letter and comes after z.
    EXPECT_EQ(sorted(routes, kName, false), (Rows{3, 2, 5, 0, 4, 1, 6}));
    EXPECT_EQ(sorted(routes, kName, true), (Rows{1, 4, 0, 2, 5, 3, 6}));
}

TEST(RouteSort, FiguresSortByTheirNumbersWithDashesLast) {
    std::vector<RouteInfo> routes;
    for (double meters : {9000.0, 950.0, 10000.0, 9000.0}) {
        routes.push_back(sampleRoute("r"));
        routes.back().distanceMeters = meters;
        routes.back().durationSeconds = meters / 3;
    }
    routes[1].durationSeconds = 0;  // shown as a dash
    routes.push_back(failedRoute("broken"));
    // "950 m" < "9,0 km" < "10,0 km" only as numbers; the two 9000 m keep library order.
    EXPECT_EQ(sorted(routes, kLengthColumn, true), (Rows{2, 0, 3, 1, 4}));
    EXPECT_EQ(sorted(routes, kLengthColumn, false), (Rows{1, 0, 3, 2, 4}));
    EXPECT_EQ(sorted(routes, kTime, true), (Rows{2, 0, 3, 1, 4}));
    EXPECT_EQ(sorted(routes, kTime, false), (Rows{0, 3, 2, 1, 4}));
    for (std::size_t i = 0; i < 4; ++i) routes[i].ascentMeters = 300.0 - 100.0 * static_cast<double>(i);
    EXPECT_EQ(sorted(routes, kAscent, false), (Rows{2, 1, 0, 3, 4}));  // 0 m shows a dash
}

TEST(RouteSort, AHeaderClickSortsByItsColumnAndASecondTurnsTheOrderRound) {
    const auto click = [](ListSort current, std::size_t column) {
        const ListSort after = sortAfterHeaderClick(current, column);
        return std::pair(after.column, after.descending);
    };
    // Figures start with the largest, text with A.
    EXPECT_EQ(click({kName, false}, kLengthColumn), std::pair(kLengthColumn, true));
    EXPECT_EQ(click({kTime, true}, kSportColumn), std::pair(kSportColumn, false));
    EXPECT_EQ(click({kName, false}, kName), std::pair(kName, true));
    // A column the list does not have changes nothing.
    EXPECT_EQ(click({kName, false}, kRouteColumnCount), std::pair(kName, false));
}

TEST(RouteSort, SportIgnoresTheGuessMarkAndGhostDashIsAValue) {
    std::vector<RouteInfo> routes;
    for (int i = 0; i < 4; ++i) routes.push_back(sampleRoute("r"));
    routes[0].sportKey = "running";
    routes[1].sportFromSpeed = true;  // "≈ Cycling" belongs with "Cycling"
    routes[2].sportKey = "";
    routes[2].sportLabel = "\u2013";  // no sport at all
    routes[3].hasTimestamps = true;
    EXPECT_EQ(sorted(routes, kSportColumn, false), (Rows{1, 3, 0, 2}));
    EXPECT_EQ(sorted(routes, kSportColumn, true), (Rows{0, 1, 3, 2}));
    // "–" (no timestamps) is a value below "✓", not a missing one: it turns round with the order.
    EXPECT_EQ(sorted(routes, kGhostColumn, false), (Rows{0, 1, 2, 3}));
    EXPECT_EQ(sorted(routes, kGhostColumn, true), (Rows{3, 0, 1, 2}));
}
