#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/RouteFilters.h"

namespace {

TEST(FilterHeader, BorrowsTheColonPartOfTheSportBox) {
    struct Case {
        const char* language;
        const char16_t* start;
        const char16_t* finish;
        const char16_t* length;
    };
    const Case cases[] = {
        {"en", u"Start: all", u"Finish: all", u"Length: all"},
        {"de", u"Start: alle", u"Ziel: alle", u"Länge: alle"},
        // French writes "Sport : tous"; only the part from the colon on is carried over.
        {"fr", u"Départ: tous", u"Arrivée: tous", u"Dist.: tous"},
        {"ja", u"スタート：全て", u"ゴール：全て", u"距離：全て"},
        {"zh-Hans", u"起点：全部", u"终点：全部", u"长度：全部"},
    };
    for (const Case& c : cases) {
        const ActiveLanguage language = resolveLanguage(c.language);
        EXPECT_EQ(filterHeaderText(language, "start"), c.start) << c.language;
        EXPECT_EQ(filterHeaderText(language, "end"), c.finish) << c.language;
        EXPECT_EQ(filterHeaderText(language, "length"), c.length) << c.language;
    }
}

TEST(FilterHeader, UnknownKeyKeepsTheSuffix) {
    const ActiveLanguage english = resolveLanguage("en");
    EXPECT_EQ(filterHeaderText(english, "noSuchKey"), u": all");
}

TEST(SortDistinct, OrdersByCodeUnitsAndDropsRepeats) {
    std::vector<std::u16string> texts = {
        u"9.5, 1.000", u"10.1, 2.000", u"b", u"B",      u"-33.9, 151.2", u"10.1, 2.000",
        u"",           u"ab",          u"a", u"\uFF21", u"\U0001F6B2",   u"b"};
    sortDistinct(texts);
    // Latin capitals before small letters; a prefix first; a surrogate pair (D83D) sorts before
    // U+FF21 because code units, not code points, are compared.
    const std::vector<std::u16string> expected = {
        u"",  u"-33.9, 151.2", u"10.1, 2.000", u"9.5, 1.000", u"B",
        u"a", u"ab",           u"b",           u"\U0001F6B2", u"\uFF21"};
    EXPECT_EQ(texts, expected);

    std::vector<std::u16string> empty;
    sortDistinct(empty);
    EXPECT_TRUE(empty.empty());
}

TEST(FilterBarItems, EmptyLibraryStillOffersTheFixedChoices) {
    const ActiveLanguage english = resolveLanguage("en");
    const auto items = filterBarItems({}, english);
    EXPECT_EQ(items[kStart], (std::vector<std::u16string>{u"Start: all"}));
    EXPECT_EQ(items[kEnd], (std::vector<std::u16string>{u"Finish: all"}));
    EXPECT_EQ(items[kSport], (std::vector<std::u16string>{u"Sport: all"}));
    EXPECT_EQ(items[kGhost],
              (std::vector<std::u16string>{u"Ghost: all", u"Ghost-ready", u"without timestamps"}));
    EXPECT_EQ(items[kType], (std::vector<std::u16string>{u"Type: all", u"Loop", u"Route"}));
    EXPECT_EQ(items[kLength],
              (std::vector<std::u16string>{u"Length: all", u"< 5 km", u"5\u201320 km", u"> 20 km"}));
}

TEST(FilterBarItems, PlacesAndSportsAreDistinctAndSorted) {
    std::vector<RouteInfo> routes;
    routes.push_back(sampleRoute("a"));  // cycling, start 48.137, 11.575
    routes.push_back(sampleRoute("b"));
    routes.back().startPlace = "-33.868, 151.209";
    routes.back().sportKey = "cycling";
    routes.back().sportFromSpeed = true;  // same text as a named sport: listed once
    routes.push_back(sampleRoute("c"));
    routes.back().sportKey = "Kanu-Polo";
    routes.back().sportLabel = "Kanu-Polo";
    routes.push_back(sampleRoute("d"));
    routes.back().sportKey.clear();
    routes.back().sportLabel = "\u2013";  // no sport: no item
    routes.push_back(RouteInfo{});        // failed record: no places, an empty sport item
    routes.back().fileStem = "broken";

    const ActiveLanguage german = resolveLanguage("de");
    const auto items = filterBarItems(routes, german);
    EXPECT_EQ(items[kStart],
              (std::vector<std::u16string>{u"Start: alle", u"-33.868, 151.209", u"48.137, 11.575"}));
    EXPECT_EQ(items[kEnd], (std::vector<std::u16string>{u"Ziel: alle", u"48.140, 11.580"}));
    EXPECT_EQ(items[kSport], (std::vector<std::u16string>{u"Sport: alle", u"", u"Kanu-Polo", u"Rad"}));
    EXPECT_EQ(items[kLength][2], u"5\u201320 km");  // never translated

    const ActiveLanguage english = resolveLanguage("en");
    EXPECT_EQ(filterBarItems(routes, english)[kSport],
              (std::vector<std::u16string>{u"Sport: all", u"", u"Cycling", u"Kanu-Polo"}));
}

}  // namespace
