// Sport from the type text or the average speed, and the summary of weather notes.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/SportWeather.h"
#include "core/TrackAnalysis.h"

namespace {

const std::string kEnDash = "\xE2\x80\x93";

RouteInfo sportOf(const std::string& typeText, double meters = 0, double seconds = 0) {
    RouteInfo route;
    route.distanceMeters = meters;
    route.durationSeconds = seconds;
    classifySport(typeText, route);
    return route;
}

TEST(Sport, AliasesFoldOnlyAsciiLetters) {
    for (std::string type : {"Ride", "RIDE", "ride", "bike", "Cycling"}) {
        RouteInfo r = sportOf(type);
        EXPECT_EQ(r.sportKey, "cycling") << type;
        EXPECT_EQ(r.sportLabel, "Rad") << type;
        EXPECT_FALSE(r.sportFromSpeed);
    }
    RouteInfo spaced = sportOf(" ride", 10000, 3600);
    EXPECT_EQ(spaced.sportKey, " ride");
    EXPECT_EQ(spaced.sportLabel, " ride");
    EXPECT_FALSE(spaced.sportFromSpeed);
    EXPECT_EQ(sportOf("MTB").sportKey, "mountain_biking");
    EXPECT_EQ(sportOf("MTB").sportLabel, "MTB");
    EXPECT_EQ(sportOf("Motorrad").sportLabel, "Motorrad");
    EXPECT_EQ(sportOf("car").sportLabel, "Auto");
    EXPECT_EQ(sportOf("E_Bike").sportLabel, "E-Bike");
    EXPECT_EQ(sportOf("\xC3\x84RA").sportKey, "\xC3\x84RA");  // non-ASCII stays as it is
    EXPECT_EQ(sportOf("Paragliding").sportLabel, "Paragliding");
}

TEST(Sport, SpeedClassesWithoutType) {
    auto bySpeed = [](double meters, double seconds) { return sportOf("", meters, seconds); };
    EXPECT_EQ(bySpeed(10000, 7200).sportKey, "hiking");
    EXPECT_TRUE(bySpeed(10000, 7200).sportFromSpeed);
    EXPECT_EQ(bySpeed(10000, 7200).sportLabel, "Wandern");
    EXPECT_EQ(bySpeed(10000, 1800).sportKey, "cycling");
    EXPECT_EQ(bySpeed(6500, 3600).sportKey, "running");
    EXPECT_EQ(bySpeed(14000, 3600).sportKey, "cycling");
    EXPECT_EQ(bySpeed(45000, 3600).sportKey, "driving");
    EXPECT_EQ(bySpeed(0, 3600).sportKey, "hiking");
    RouteInfo fast = bySpeed(200000, 3600);
    EXPECT_EQ(fast.sportKey, "");
    EXPECT_EQ(fast.sportLabel, kEnDash);
    EXPECT_FALSE(fast.sportFromSpeed);
    RouteInfo still = bySpeed(5000, 0);
    EXPECT_EQ(still.sportKey, "");
    EXPECT_EQ(still.sportLabel, kEnDash);
    EXPECT_FALSE(still.sportFromSpeed);
    // An empty type element is no type: the speed decides.
    EXPECT_EQ(sportOf("", 10000, 7200).sportKey, "hiking");
}

TEST(Sport, LabelsAndKeysTable) {
    for (std::string_view key : sportKeys) {
        EXPECT_NE(sportLabelFor(key), std::string(key)) << key;  // every key has a label of its own
        EXPECT_EQ(sportOf(std::string(key)).sportKey, key);
    }
    EXPECT_EQ(sportLabelFor("Paragliding"), "Paragliding");
    EXPECT_EQ(sportLabelFor("trail_running"), "Trailrunning");
}

TEST(MostFrequentText, TiesGoToSmallestBytes) {
    EXPECT_EQ(mostFrequentText({"NW", "SW", "SW", "NW"}), "NW");
    EXPECT_EQ(mostFrequentText({"SW", "NW", "SW"}), "SW");
    EXPECT_EQ(mostFrequentText({"", "", "b", "a"}), "a");
    EXPECT_EQ(mostFrequentText({"nw", "NW"}), "NW");
    EXPECT_EQ(mostFrequentText({"\xC3\xBC", "z"}), "z");
    EXPECT_EQ(mostFrequentText({"", ""}), "");
    EXPECT_EQ(mostFrequentText({}), "");
}

// The notes may stand anywhere in the file; a file needs a point for its figures to be taken.
RouteInfo weatherOf(const std::string& text) {
    return analyzeGpxText("w.gpx", text + "<rte><rtept lat='1' lon='2'/></rte>");
}

TEST(Weather, MeansCountsAndTexts) {
    RouteInfo r = weatherOf(
        "<gpx><wetter temp=\"10\" feuchte='80' windrichtung='NW' lage=\"sonnig\"/>"
        "<trk><x:WETTER temp='13' wind=\"4.5\" windrichtung=\"SW\"></x:WETTER></trk>"
        "<wetter temp='warm' windrichtung='SW' lage=''>ignored <wetter/></wetter>"
        "<wetterdaten temp='99'/></gpx>");
    EXPECT_TRUE(r.hasWeather);
    EXPECT_DOUBLE_EQ(r.temperatureC, 11.5);
    EXPECT_EQ(r.temperatureCount, 2);
    EXPECT_DOUBLE_EQ(r.humidityPercent, 80);
    EXPECT_EQ(r.humidityCount, 1);
    EXPECT_DOUBLE_EQ(r.windKmh, 4.5);
    EXPECT_EQ(r.windCount, 1);
    EXPECT_EQ(r.windDirection, "SW");
    EXPECT_EQ(r.weatherCondition, "sonnig");

    RouteInfo onlyLage = weatherOf("<wetter lage='Regen'>");
    EXPECT_TRUE(onlyLage.hasWeather);
    EXPECT_EQ(onlyLage.weatherCondition, "Regen");
    EXPECT_EQ(onlyLage.temperatureCount + onlyLage.humidityCount + onlyLage.windCount, 0);
    EXPECT_EQ(onlyLage.temperatureC, 0);

    EXPECT_FALSE(analyzeGpxText("w.gpx", "<rtept lat='1' lon='2'/><wetterdaten temp='1'/><wetter temp='2'")
                     .hasWeather);
    EXPECT_TRUE(weatherOf("<wetter>").hasWeather);
}

TEST(Weather, UnusableAndHugeValuesStayFinite) {
    RouteInfo r = weatherOf(
        "<wetter temp='inf' feuchte='nan' wind='1e300'/><wetter temp='5' wind='1.7e308'/>"
        "<wetter wind='1.7e308'/>");
    EXPECT_EQ(r.temperatureCount, 1);
    EXPECT_DOUBLE_EQ(r.temperatureC, 5);
    EXPECT_EQ(r.humidityCount, 0);
    EXPECT_EQ(r.humidityPercent, 0);
    EXPECT_EQ(r.windCount, 3);
    EXPECT_TRUE(std::isfinite(r.windKmh));
    EXPECT_NEAR(r.windKmh / 1.1333e308, 1, 1e-3);
}

}  // namespace
