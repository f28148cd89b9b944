#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/ListView.h"
#include "ui/Overview.h"

namespace {

const ActiveLanguage english = resolveLanguage("en");

// 2023-12-31T23:30:00Z: already 2024 where it was written an hour ahead of UTC.
constexpr int64_t kNewYearsEve = 1704065400;

RouteInfo routeAt(const std::string& stem, const std::string& sport, double km, int64_t seconds,
                  int32_t offsetMinutes = 0, bool dated = true) {
    RouteInfo route = sampleRoute(stem);
    route.filePath = stem + ".gpx";
    route.sportKey = sport;
    route.distanceMeters = km * 1000;
    route.hasFirstTime = dated;
    route.firstTimeSeconds = seconds;
    route.firstTimeOffsetMinutes = offsetMinutes;
    return route;
}

std::vector<RouteInfo> library() {
    std::vector<RouteInfo> routes;
    routes.push_back(routeAt("Eve", "running", 5, kNewYearsEve));          // 2023, December
    routes.push_back(routeAt("NewYear", "running", 7, kNewYearsEve, 60));  // 2024, January
    routes.push_back(routeAt("Ride", "cycling", 40, kNewYearsEve + 86400 * 40));
    routes.push_back(routeAt("Fly", "paragliding", 12, kNewYearsEve + 86400 * 40));
    routes.push_back(routeAt("Undated", "cycling", 20, 0, 0, false));
    return routes;
}

std::vector<uint64_t> allRows(std::size_t count) {
    std::vector<uint64_t> rows(count);
    for (std::size_t i = 0; i < count; ++i) rows[i] = i;
    return rows;
}

}  // namespace

TEST(Overview, AddsUpYearsAndSportsInTheRoutesOwnZoneWithUndatedRoutesLast) {
    const std::vector<RouteInfo> routes = library();
    const OverviewTable table = buildOverview(routes, allRows(routes.size()));
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(overviewRowText(table.rows[0], english), u"2024");
    EXPECT_EQ(table.rows[1].year, 2023);
    EXPECT_EQ(overviewRowText(table.rows[2], english), u"no date");
    EXPECT_EQ(table.rows[0].sports[1].count, 1u);  // running: only the one written at UTC+1
    EXPECT_EQ(table.rows[0].sports[kOtherSport].meters, 12000);
    EXPECT_EQ(table.rows[0].total.meters, 59000);
    EXPECT_EQ(table.sportTotals[0].meters, 60000);  // cycling, with the undated ride
    EXPECT_EQ(table.total.count, 5u);
    EXPECT_EQ(table.columns, (std::vector<std::size_t>{0, 1, kOtherSport}));
    EXPECT_EQ(overviewCellText(table.rows[1].total, english), u"1 \u00B7 5.0 km \u00B7 \u2013 \u00B7 \u2013");

    const OverviewTable months = buildOverview(routes, allRows(routes.size()), OverviewBy::month);
    EXPECT_EQ(overviewRowText(months.rows[0], english), u"2024-02");
    OverviewRow october;
    october.year = 2024;
    october.month = 10;
    EXPECT_EQ(overviewRowText(october, english), u"2024-10");
    const MonthDistances chart = monthDistances(routes, allRows(routes.size()), 2024);
    EXPECT_EQ(chart[0][1], 7000);
    EXPECT_EQ(chart[1][0], 40000);
    EXPECT_EQ(chart[11][1], 0);

    const OverviewTable empty = buildOverview(routes, {});
    EXPECT_TRUE(empty.rows.empty());
    EXPECT_TRUE(empty.columns.empty());
    EXPECT_EQ(empty.total.count, 0u);
}

TEST(Overview, APickNarrowsTheListUntilTheResetAndNeverTheOverviewItself) {
    ListView view;
    applyScan(view, library(), {}, FilterChoices::reset, english);
    setOverviewPick(view, {.active = true, .year = 2024, .month = 1, .sport = 1}, english);
    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(routeAtRow(view, 0)->fileStem, "NewYear");
    EXPECT_EQ(overviewRows(view, english).size(), 5u);
    EXPECT_EQ(overviewPickText(view.pick, resolveLanguage("de")), u"Jahr 2024 \u00B7 Jan \u00B7 Laufen");
    EXPECT_EQ(overviewPickText({.active = true, .year = 2024}, english), u"Year 2024");
    EXPECT_EQ(overviewPickText({.active = true, .year = 2024, .month = 12}, english),
              u"Year 2024 \u00B7 Dec");

    setOverviewPick(view, {.active = true, .year = kNoYear}, english);
    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(routeAtRow(view, 0)->fileStem, "Undated");
    resetListFilters(view, english);
    EXPECT_EQ(view.rows.size(), 5u);
}
