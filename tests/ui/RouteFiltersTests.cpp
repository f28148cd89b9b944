#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/RouteFilters.h"
#include "ui/RouteListLogic.h"

namespace {

TEST(FilterBarItems, EmptyLibraryStillOffersTheFixedChoices) {
    const ActiveLanguage english = resolveLanguage("en");
    const auto items = filterBarItems({}, english);
    EXPECT_EQ(items[kStart], (std::vector<std::u16string>{u"Start: all"}));
    EXPECT_EQ(items[kEnd], (std::vector<std::u16string>{u"Finish: all"}));
    EXPECT_EQ(items[kSport], (std::vector<std::u16string>{u"Sport: all"}));
    EXPECT_EQ(items[kGhost],
              (std::vector<std::u16string>{u"Ghost: all", u"Ghost-ready", u"without timestamps"}));
    EXPECT_EQ(items[kType], (std::vector<std::u16string>{u"Type: all", u"Loop", u"One-way"}));
    EXPECT_EQ(items[kLength],
              (std::vector<std::u16string>{u"Length: all", u"< 5 km", u"5\u201320 km", u"> 20 km"}));
}

TEST(FilterBarItems, PlacesByNumberAndKnownSportsBeforeTheFilesOwnTypes) {
    std::vector<RouteInfo> routes;
    const auto add = [&](std::string start, std::string sportKey, std::string sportLabel) {
        routes.push_back(sampleRoute(start));
        routes.back().startPlace = std::move(start);
        routes.back().sportKey = std::move(sportKey);
        routes.back().sportLabel = std::move(sportLabel);
    };
    add("48.137, 11.575", "hiking", "Wandern");
    add("10.100, 2.000", "cycling", "Radfahren");
    add("3.000, 10.000", "walking", "Gehen");
    add("3.000, 9.000", "jkljkl", "jkljkl");
    add("-33.868, 151.209", "NC", "NC");
    add("48.137, 11.575", "4", "4");
    add("9.500, 1.000", "Rad", "Rad");  // a file's type that reads like a known sport: listed once
    add("9.500, 1.000", "", "\u2013");  // no sport: no item
    routes.back().finishPlace = "9.500, 1.000";
    routes.push_back(RouteInfo{});  // a failed record: no places, and no blank sport item
    routes.back().fileStem = "broken";

    const ActiveLanguage german = resolveLanguage("de");
    const auto items = filterBarItems(routes, german);
    // South to north, then west to east, as numbers: 9 before 10, a minus sign first.
    EXPECT_EQ(items[kStart], (std::vector<std::u16string>{u"Start: alle", u"-33.868, 151.209",
                                                          u"3.000, 9.000", u"3.000, 10.000", u"9.500, 1.000",
                                                          u"10.100, 2.000", u"48.137, 11.575"}));
    EXPECT_EQ(items[kEnd], (std::vector<std::u16string>{u"Ziel: alle", u"9.500, 1.000", u"48.140, 11.580"}));
    // The program's sports (in an order every alphabet agrees on), then the rest by code units.
    EXPECT_EQ(items[kSport], (std::vector<std::u16string>{u"Sport: alle", u"Gehen", u"Rad", u"Wandern", u"4",
                                                          u"NC", u"jkljkl"}));
    EXPECT_EQ(items[kLength][2], u"5\u201320 km");  // never translated
}

TEST(FilterBarItems, YearsInTheStampsOwnZoneNewestFirstThenNoDate) {
    std::vector<RouteInfo> routes;
    const auto add = [&](bool stamped, int64_t seconds, int32_t offset) {
        routes.push_back(sampleRoute("r" + std::to_string(routes.size())));
        routes.back().hasFirstTime = stamped;
        routes.back().firstTimeSeconds = seconds;
        routes.back().firstTimeOffsetMinutes = offset;
    };
    add(true, 1735691400, -60);  // 2025-01-01 00:30 UTC, still New Year's Eve 2024 where written
    add(false, 0, 0);
    add(true, 1735684200, 120);  // 2024-12-31 22:30 UTC, already 2025 where written
    add(true, 1239408000, 0);    // 2009
    add(true, 1735691400, 0);

    const ActiveLanguage english = resolveLanguage("en");
    EXPECT_EQ(filterBarItems(routes, english)[kYear],
              (std::vector<std::u16string>{u"Year: all", u"2025", u"2024", u"2009", u"no date"}));
    ListFilters filters;
    filters.choices[kYear].text = u"2024";
    EXPECT_EQ(filterRoutes(routes, filters, english), (std::vector<uint64_t>{0}));
    filters.choices[kYear].text = u"no date";
    EXPECT_EQ(filterRoutes(routes, filters, english), (std::vector<uint64_t>{1}));
    // Without undated routes there is no "no date" to choose.
    routes.erase(routes.begin() + 1);
    EXPECT_EQ(filterBarItems(routes, english)[kYear].back(), u"2009");
}

}  // namespace
