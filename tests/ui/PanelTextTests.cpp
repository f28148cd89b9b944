#include <gtest/gtest.h>

#include <limits>

#include "UiTestSupport.h"
#include "ui/Format.h"
#include "ui/PanelText.h"

namespace {

std::u16string caption(const ActiveLanguage& language, std::string_view key) {
    return std::u16string(translate(language, key)) + u"\r\n";
}

RouteInfo weatherRoute() {
    RouteInfo route = sampleRoute("Wetter");
    route.hasWeather = true;
    return route;
}

TEST(PanelText, PromptStateWithoutARoute) {
    const ActiveLanguage german = resolveLanguage("de");
    const PanelTexts panel = panelTextsFor(nullptr, german);
    EXPECT_EQ(panel.title, u"Eine Route wählen");
    EXPECT_EQ(panel.subtitle, u"");
    EXPECT_EQ(panel.distance, caption(german, "distance") + u"\u2013");
    EXPECT_EQ(panel.time, u"Zeit\r\n\u2013");
    EXPECT_EQ(panel.ascent, u"Anstieg\r\n\u2013");
    EXPECT_EQ(panel.points, u"Punkte\r\n\u2013");
    EXPECT_EQ(panel.start, u"Start\r\n\u2013");
    EXPECT_EQ(panel.fileName, u"");
    EXPECT_EQ(panel.weather, u"");
    EXPECT_EQ(panel.weatherVisibility, WeatherVisibility::keep);
    EXPECT_FALSE(panel.sportEnabled);
    EXPECT_EQ(panel.sportSelection, -1);
    ASSERT_EQ(panel.sportItems.size(), 15u);
    EXPECT_EQ(panel.sportItems.front(), u"Rad");
    EXPECT_EQ(panel.sportItems[6], u"MTB");
    EXPECT_EQ(panel.sportItems.back(), u"Kajak");
}

TEST(PanelText, FiguresOfARouteInGerman) {
    const ActiveLanguage german = resolveLanguage("de");
    RouteInfo route = sampleRoute("Tour");
    route.routeName = "Isar-Runde";
    route.distanceMeters = 12345.6;
    route.durationSeconds = 3661;
    route.ascentMeters = 412.49;
    route.pointCount = 2500;
    const PanelTexts panel = panelTextsFor(&route, german);
    EXPECT_EQ(panel.title, u"Isar-Runde");
    EXPECT_EQ(panel.fileName, u"Tour");
    EXPECT_EQ(panel.subtitle, u"05.07.23");
    EXPECT_EQ(panel.distance, caption(german, "distance") + u"12,3 km");
    EXPECT_EQ(panel.time, u"Zeit\r\n1:01:01");
    EXPECT_EQ(panel.ascent, u"Anstieg\r\n412 m");
    EXPECT_EQ(panel.points, u"Punkte\r\n2500");
    EXPECT_EQ(panel.weatherVisibility, WeatherVisibility::hide);
    EXPECT_EQ(panel.weather, u"");
    EXPECT_TRUE(panel.sportEnabled);
    EXPECT_EQ(panel.sportSelection, 0);  // cycling
}

TEST(PanelText, FailedRecordAndHugePointCount) {
    const ActiveLanguage english = resolveLanguage("en");
    RouteInfo failed;
    failed.fileStem = "broken";
    failed.errorText = "Keine Track- oder Routenpunkte gefunden";
    const PanelTexts panel = panelTextsFor(&failed, english);
    // The stem names the file, and the weather line says why it shows no route.
    EXPECT_EQ(panel.title, u"broken");
    EXPECT_EQ(panel.weather, u"No track or route points found.");
    EXPECT_EQ(panel.weatherVisibility, WeatherVisibility::show);
    EXPECT_EQ(panel.subtitle, u"");
    EXPECT_EQ(panel.fileName, u"");
    EXPECT_EQ(panel.distance, caption(english, "distance") + u"0 m");
    EXPECT_EQ(panel.speed, u"Average speed\r\n\u2013");
    EXPECT_EQ(panel.start, u"Start\r\n\u2013");
    EXPECT_EQ(panel.time, u"Time\r\n\u2013");
    EXPECT_EQ(panel.ascent, u"Ascent\r\n\u2013");
    EXPECT_EQ(panel.points, u"Points\r\n0");
    // Neither an empty nor a raw sport text selects an entry, but the box stays usable.
    EXPECT_EQ(panel.sportSelection, -1);
    EXPECT_TRUE(panel.sportEnabled);
    failed.errorText = "Datei kann nicht gelesen werden";
    EXPECT_EQ(panelTextsFor(&failed, resolveLanguage("de")).weather, u"Die Datei kann nicht gelesen werden.");
    failed.errorText = "Unvollständiges GPX-XML";
    EXPECT_EQ(panelTextsFor(&failed, english).weather, u"The GPX file is incomplete.");
    failed.errorText = "std::bad_alloc";  // no raw system text, in no one's language
    EXPECT_EQ(panelTextsFor(&failed, english).weather, u"The file could not be processed.");

    RouteInfo many = sampleRoute("many");
    many.pointCount = 4294967295u;
    many.sportKey = "Kanu-Polo";
    EXPECT_EQ(panelTextsFor(&many, english).points, u"Points\r\n4294967295");
    EXPECT_EQ(panelTextsFor(&many, english).sportSelection, -1);
    many.sportKey = "kayaking";
    EXPECT_EQ(panelTextsFor(&many, english).sportSelection, 14);
}

TEST(PanelText, NameFileDatePlacesTypeAndSpeed) {
    const ActiveLanguage english = resolveLanguage("en");
    RouteInfo route = sampleRoute("Isar");
    route.filePath = std::filesystem::path("lib") / "Isar.gpx";
    route.routeName = "Along the Isar";
    route.distanceMeters = 12345.6;
    route.durationSeconds = 3600;
    route.isRoundTrip = true;
    PanelTexts panel = panelTextsFor(&route, english);
    EXPECT_EQ(panel.title, u"Along the Isar");
    EXPECT_EQ(panel.fileName, u"Isar.gpx");
    EXPECT_EQ(panel.subtitle, u"05.07.23");  // no time stamp: the short date
    EXPECT_EQ(panel.speed, u"Average speed\r\n12.3 km/h");
    EXPECT_EQ(panel.type, u"Type\r\nLoop");
    EXPECT_EQ(panel.start, u"Start\r\n48.137, 11.575");
    EXPECT_EQ(panel.finish, u"Finish\r\n48.140, 11.580");

    // No name of its own: the file names it, once. No time: no speed.
    route.routeName.clear();
    route.durationSeconds = 0;
    route.isRoundTrip = false;
    route.hasFinishPlace = false;
    panel = panelTextsFor(&route, english);
    EXPECT_EQ(panel.title, u"Isar.gpx");
    EXPECT_EQ(panel.fileName, u"");
    EXPECT_EQ(panel.speed, u"Average speed\r\n\u2013");
    EXPECT_EQ(panel.type, u"Type\r\nOne-way");
    EXPECT_EQ(panel.finish, u"Finish\r\n\u2013");

    const ActiveLanguage german = resolveLanguage("de");
    // The time stamp shows in the zone it was written in, across day, month and year ends.
    route.hasFirstTime = true;
    route.firstTimeSeconds = 1501316100;  // 2017-07-29 08:15 UTC
    EXPECT_EQ(formatDateTime(route, german), u"29.07.2017 08:15");
    route.firstTimeOffsetMinutes = -510;  // 23:45 the day before, 8 h 30 min west
    EXPECT_EQ(formatDateTime(route, german), u"28.07.2017 23:45");
    route.firstTimeSeconds = 1704065400;  // 2023-12-31 23:30 UTC
    route.firstTimeOffsetMinutes = 60;
    EXPECT_EQ(formatDateTime(route, german), u"01.01.2024 00:30");
    route.firstTimeSeconds = -1;  // before 1970
    route.firstTimeOffsetMinutes = 0;
    EXPECT_EQ(formatDateTime(route, german), u"31.12.1969 23:59");
    route.firstTimeSeconds = 951782400;  // 2000-02-29, a leap day of a century year
    EXPECT_EQ(formatDateTime(route, german), u"29.02.2000 00:00");
    route.firstTimeSeconds = std::numeric_limits<int64_t>::min();  // nonsense: the short date
    EXPECT_EQ(formatDateTime(route, german), u"05.07.23");

    EXPECT_EQ(formatSpeed(1e300, 1e-300, german), u"\u2013");
    EXPECT_EQ(formatSpeed(std::numeric_limits<double>::quiet_NaN(), 10, german), u"\u2013");
}

TEST(PanelText, WeatherLineJoinsOnlyThePiecesThatExist) {
    const ActiveLanguage german = resolveLanguage("de");
    RouteInfo full = weatherRoute();
    full.temperatureC = 21.5;
    full.temperatureCount = 1;
    full.weatherCondition = "sonnig";
    full.humidityPercent = 40.4;
    full.humidityCount = 1;
    full.windKmh = 12.5;
    full.windCount = 1;
    full.windDirection = "NW";
    const PanelTexts panel = panelTextsFor(&full, german);
    EXPECT_EQ(panel.weather, u"WETTER\r\n22 \u00B0C  sonnig  \u00B7  40 %  \u00B7  13 km/h NW");
    EXPECT_EQ(panel.weatherVisibility, WeatherVisibility::show);

    RouteInfo windOnly = weatherRoute();
    windOnly.windKmh = 5;
    windOnly.windCount = 1;
    EXPECT_EQ(weatherLineText(windOnly, german), u"WETTER\r\n  \u00B7  5 km/h ");

    // A weather element without any usable value still shows its caption.
    const RouteInfo bare = weatherRoute();
    EXPECT_EQ(panelTextsFor(&bare, german).weather, u"WETTER\r\n");
    // A cut file tells so first, and its weather still follows.
    RouteInfo cut = weatherRoute();
    cut.warningText = "x";
    const PanelTexts cutPanel = panelTextsFor(&cut, german);
    EXPECT_TRUE(cutPanel.weather.ends_with(u"\r\nWETTER\r\n"));
    EXPECT_EQ(cutPanel.weatherVisibility, WeatherVisibility::show);
}

TEST(PanelText, WeatherNumbersRoundHalvesAwayFromZero) {
    const ActiveLanguage english = resolveLanguage("en");
    RouteInfo route = weatherRoute();
    route.temperatureCount = 3;
    route.temperatureC = -0.4;
    EXPECT_EQ(weatherLineText(route, english), u"WEATHER\r\n0 \u00B0C");
    route.temperatureC = -2.5;
    EXPECT_EQ(weatherLineText(route, english), u"WEATHER\r\n-3 \u00B0C");
    // A mean far outside any real climate must still give a text, not undefined behaviour.
    route.temperatureC = 1e12;
    EXPECT_EQ(weatherLineText(route, english), u"WEATHER\r\n1000000000000 \u00B0C");
    route.temperatureC = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(weatherLineText(route, english), u"WEATHER\r\n0 \u00B0C");
}

}  // namespace
