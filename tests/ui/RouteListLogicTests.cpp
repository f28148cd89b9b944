#include <gtest/gtest.h>

#include <cmath>

#include "UiTestSupport.h"
#include "platform/Platform.h"
#include "ui/RouteListLogic.h"

namespace {

ListFilters searchFor(std::u16string_view boxText) {
    ListFilters filters;
    filters.search = searchTextFromBox(boxText);
    return filters;
}

std::vector<RouteInfo> lengthLibrary() {
    std::vector<RouteInfo> routes;
    for (double meters : {0.0, 4999.96, 5000.0, 12000.0, 20000.0, 20000.04, 1e9}) {
        routes.push_back(sampleRoute("r"));
        routes.back().distanceMeters = meters;
    }
    return routes;
}

TEST(ListFilters, LengthClassesUseTheUnroundedDistanceWithInclusiveMiddle) {
    const auto routes = lengthLibrary();
    ListFilters filters;
    filters.choices[kLength].index = 1;
    EXPECT_EQ(filterRoutes(routes, filters, resolveLanguage("en")), (std::vector<uint64_t>{0, 1}));
    filters.choices[kLength].index = 2;
    EXPECT_EQ(filterRoutes(routes, filters, resolveLanguage("en")), (std::vector<uint64_t>{2, 3, 4}));
    filters.choices[kLength].index = 3;
    EXPECT_EQ(filterRoutes(routes, filters, resolveLanguage("en")), (std::vector<uint64_t>{5, 6}));
    filters.choices[kLength].index = 0;
    EXPECT_EQ(filterRoutes(routes, filters, resolveLanguage("en")).size(), routes.size());
    filters.choices[kLength].index = 4;  // an index the box does not have filters nothing
    EXPECT_EQ(filterRoutes(routes, filters, resolveLanguage("en")).size(), routes.size());
    // In miles the bounds are 3 and 12 miles, still matched on the metres.
    std::vector<RouteInfo> miles = lengthLibrary();
    for (double meters : {4828.03, 4828.032, 19312.128, 19312.13}) {
        miles.push_back(sampleRoute("m"));
        miles.back().distanceMeters = meters;
    }
    const ActiveLanguage imperial = resolveLanguage("en", Units::imperial);
    filters.choices[kLength].index = 1;
    EXPECT_EQ(filterRoutes(miles, filters, imperial), (std::vector<uint64_t>{0, 7}));
    filters.choices[kLength].index = 3;
    EXPECT_EQ(filterRoutes(miles, filters, imperial), (std::vector<uint64_t>{4, 5, 6, 10}));
    EXPECT_EQ(filterBarItems({}, imperial)[kLength],
              (std::vector<std::u16string>{u"Length: all", u"< 3 mi", u"3\u201312 mi", u"> 12 mi"}));
}

TEST(ListFilters, GhostTypeAndTextFiltersCombine) {
    std::vector<RouteInfo> routes;
    for (int i = 0; i < 4; ++i) routes.push_back(sampleRoute("r" + std::to_string(i)));
    routes[0].hasTimestamps = true;
    routes[0].isRoundTrip = true;
    routes[1].hasTimestamps = true;
    routes[2].isRoundTrip = true;
    routes[3].startPlace = "48.138, 11.575";
    routes[3].sportKey = "running";
    routes[3].sportFromSpeed = true;

    const ActiveLanguage english = resolveLanguage("en");
    ListFilters filters;
    filters.choices[kGhost].index = 1;
    EXPECT_EQ(filterRoutes(routes, filters, english), (std::vector<uint64_t>{0, 1}));
    filters.choices[kType].index = 2;
    EXPECT_EQ(filterRoutes(routes, filters, english), (std::vector<uint64_t>{1}));
    filters = {};
    filters.choices[kGhost].index = 2;
    filters.choices[kType].index = 1;
    EXPECT_EQ(filterRoutes(routes, filters, english), (std::vector<uint64_t>{2}));

    // Places compare whole texts; the sport filter ignores the speed-guess prefix.
    filters = {};
    filters.choices[kStart].text = u"48.137, 11.575";
    EXPECT_EQ(filterRoutes(routes, filters, english), (std::vector<uint64_t>{0, 1, 2}));
    filters.choices[kStart].text = u"48.137";
    EXPECT_TRUE(filterRoutes(routes, filters, english).empty());
    filters = {};
    filters.choices[kSport].text = u"Running";
    EXPECT_EQ(filterRoutes(routes, filters, english), (std::vector<uint64_t>{3}));
    filters.choices[kEnd].text = u"48.140, 11.580";
    filters.search = searchTextFromBox(u"R3");
    EXPECT_EQ(filterRoutes(routes, filters, english), (std::vector<uint64_t>{3}));
    filters.choices[kEnd].text = u"48.140, 11.58";
    EXPECT_TRUE(filterRoutes(routes, filters, english).empty());
}

TEST(ListSearch, MatchesStemNameCoordinatesAndSportButNotTheDate) {
    std::vector<RouteInfo> routes;
    routes.push_back(sampleRoute("Tour am See"));
    routes.push_back(sampleRoute("other"));
    routes.back().routeName = "Über den Berg";
    routes.back().startPlace = "47.000, 10.000";
    routes.back().finishPlace = "47.100, 10.100";
    routes.back().sportKey = "hiking";

    const ActiveLanguage german = resolveLanguage("de");
    EXPECT_EQ(filterRoutes(routes, searchFor(u"tour"), german), (std::vector<uint64_t>{0}));
    EXPECT_EQ(filterRoutes(routes, searchFor(u"TOUR AM"), german), (std::vector<uint64_t>{0}));
    EXPECT_EQ(filterRoutes(routes, searchFor(u"48.13"), german), (std::vector<uint64_t>{0}));
    EXPECT_EQ(filterRoutes(routes, searchFor(u"10.100 wandern"), german), (std::vector<uint64_t>{1}));
    EXPECT_TRUE(filterRoutes(routes, searchFor(u"05.07"), german).empty());
    // Only A-Z are folded: "ü" does not find "Über", "Ü" does.
    EXPECT_TRUE(filterRoutes(routes, searchFor(u"über"), german).empty());
    EXPECT_EQ(filterRoutes(routes, searchFor(u"Über"), german), (std::vector<uint64_t>{1}));
    // The parts are joined by blanks, so a single blank finds every route.
    EXPECT_EQ(filterRoutes(routes, searchFor(u" "), german).size(), 2u);
    EXPECT_EQ(filterRoutes(routes, searchFor(u"see 48.137"), german), (std::vector<uint64_t>{0}));

    const ActiveLanguage english = resolveLanguage("en");
    EXPECT_EQ(filterRoutes(routes, searchFor(u"hiking"), english), (std::vector<uint64_t>{1}));
    EXPECT_TRUE(filterRoutes(routes, searchFor(u"wandern"), english).empty());
    // Broken UTF-8 in a file name must not hide the rest of the route.
    routes[1].fileStem = "x\xC3";
    EXPECT_EQ(filterRoutes(routes, searchFor(u"hiking"), english), (std::vector<uint64_t>{1}));
}

TEST(ListSearch, BoxTextIsCutAfter510UnitsAndLowered) {
    std::u16string typed(510, u'A');
    typed += u"ZZZ";
    const std::u16string search = searchTextFromBox(typed);
    EXPECT_EQ(search, std::u16string(510, u'a'));

    std::vector<RouteInfo> routes;
    routes.push_back(sampleRoute(std::string(510, 'a')));
    // Whatever was typed beyond the limit does not narrow the list.
    EXPECT_EQ(filterRoutes(routes, searchFor(typed), resolveLanguage("en")).size(), 1u);
    EXPECT_EQ(searchTextFromBox(u""), u"");
}

TEST(ResetButton, ShownForAnyActiveFilterOrSearchText) {
    ListFilters filters;
    filters.choices[kGhost].index = filters.choices[kType].index = -1;  // "all" is no filter
    EXPECT_FALSE(resetButtonVisible(filters));
    ListFilters search, sport, length;
    search.search = u" ";
    sport.choices[kSport].text = u"Rad";
    length.choices[kLength].index = 3;
    for (const ListFilters& active : {search, sport, length}) EXPECT_TRUE(resetButtonVisible(active));
}

TEST(RowTexts, AnalysedRouteInEnglish) {
    const ActiveLanguage english = resolveLanguage("en");
    RouteInfo route = sampleRoute("Tour");
    route.routeName = "Not shown in the list";
    route.sportKey = "hiking";
    route.sportFromSpeed = true;
    route.distanceMeters = 4999.96;
    route.durationSeconds = 754;
    route.ascentMeters = 0.3;
    route.pointCount = 2500;
    route.hasTimestamps = true;
    route.isRoundTrip = true;
    const auto texts = routeRowTexts(route, english);
    const std::array<std::u16string, kRouteColumnCount> expected = {
        u"Tour", u"05.07.23", u"\u2248 Hiking", u"5.0 km", u"12:34", u"0 m", u"2500", u"\u2713", u"Loop"};
    EXPECT_EQ(texts, expected);
}

TEST(RowTexts, FailedRecordInGerman) {
    const ActiveLanguage german = resolveLanguage("de");
    RouteInfo failed;
    failed.fileStem = "kaputt";
    failed.errorText = "Keine Track- oder Routenpunkte gefunden";
    const std::array<std::u16string, kRouteColumnCount> expected = {
        u"kaputt", u"", u"", u"0 m", u"\u2013", u"\u2013", u"0", u"\u2013", u"Strecke"};
    EXPECT_EQ(routeRowTexts(failed, german), expected);

    RouteInfo raw = sampleRoute("raw");
    raw.sportKey = "Kanu-Polo";
    raw.sportLabel = "Kanu-Polo";
    raw.pointCount = 3000000000u;
    const auto texts = routeRowTexts(raw, german);
    EXPECT_EQ(texts[2], u"Kanu-Polo");
    EXPECT_EQ(texts[6], u"3000000000");
}

TEST(StatusLine, CountsListedRowsAddsThemUpAndShowsTheFolder) {
    const ActiveLanguage english = resolveLanguage("en");
    const std::filesystem::path folder = widePath(u"Routen/Alpen");
    const std::u16string dot = u"   \u00B7   ";
    RouteTotals listed;
    RouteInfo route = sampleRoute("a");
    route.distanceMeters = 1500000;
    route.durationSeconds = 400000;  // beyond a day, and beyond 100 hours
    route.ascentMeters = 20000;
    addToTotals(listed, route);
    route.durationSeconds = std::nan("");  // no time: adds nothing
    route.distanceMeters = 845600;
    route.ascentMeters = 14560;
    addToTotals(listed, route);
    EXPECT_EQ(
        statusLineText(listed, {}, folder, english),
        u"2 Files" + dot + u"2345.6 km" + dot + u"111:06:40" + dot + u"34560 m" + dot + pathToWide(folder));
    RouteTotals selected;
    addToTotals(selected, sampleRoute("b"));
    addToTotals(selected, sampleRoute("c"));
    const ActiveLanguage german = resolveLanguage("de");
    EXPECT_EQ(statusLineText(listed, selected, folder, german), u"2 Dateien" + dot + u"Ausgewählt: 2" + dot +
                                                                    u"20,0 km" + dot + u"\u2013" + dot +
                                                                    u"\u2013" + dot + pathToWide(folder));
    EXPECT_EQ(statusLineText({}, {}, folder, german), u"0 Dateien" + dot + pathToWide(folder));
}

}  // namespace
