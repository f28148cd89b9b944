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

TEST(Sport, FromTheTypeTextOrTheSpeed) {
    const struct {
        std::string type;
        double meters, seconds;
        std::string key, label;
        bool fromSpeed;
    } cases[] = {
        // Aliases fold only ASCII letters; a type that is no alias stands as it is.
        {"Ride", 0, 0, "cycling", "Rad", false},
        {"RIDE", 0, 0, "cycling", "Rad", false},
        {"bike", 0, 0, "cycling", "Rad", false},
        {"Cycling", 0, 0, "cycling", "Rad", false},
        {" ride", 10000, 3600, " ride", " ride", false},
        {"MTB", 0, 0, "mountain_biking", "MTB", false},
        {"car", 0, 0, "driving", "Auto", false},
        {"E_Bike", 0, 0, "e_bike", "E-Bike", false},
        {"\xC3\x84RA", 0, 0, "\xC3\x84RA", "\xC3\x84RA", false},
        {"Paragliding", 0, 0, "Paragliding", "Paragliding", false},
        // Without a type (an empty element is none) the average speed decides.
        {"", 10000, 7200, "hiking", "Wandern", true},
        {"", 0, 3600, "hiking", "Wandern", true},
        {"", 6500, 3600, "running", "Laufen", true},
        {"", 10000, 1800, "cycling", "Rad", true},
        {"", 14000, 3600, "cycling", "Rad", true},
        {"", 45000, 3600, "driving", "Auto", true},
        {"", 160000, 3600, "", kEnDash, false},
        {"", 5000, 0, "", kEnDash, false},
    };
    for (const auto& c : cases) {
        const RouteInfo r = sportOf(c.type, c.meters, c.seconds);
        EXPECT_EQ(r.sportKey, c.key) << c.type << " " << c.meters;
        EXPECT_EQ(r.sportLabel, c.label) << c.type << " " << c.meters;
        EXPECT_EQ(r.sportFromSpeed, c.fromSpeed) << c.type << " " << c.meters;
    }
    for (std::string_view key : sportKeys) {
        EXPECT_NE(sportLabelFor(key), std::string(key)) << key;  // every key has a label of its own
        EXPECT_EQ(sportOf(std::string(key)).sportKey, key);
    }
}

// Other programs' words in their usual spellings; a miss would show them as raw sports.
TEST(Sport, OtherProgramsWords) {
    const struct {
        std::string key;
        std::vector<std::string> words;
    } groups[] = {
        {"cycling", {"biking", "road_biking", "VirtualRide", "Road Cycling", "1"}},
        {"running", {"Run", "virtual-run", "9"}},
        {"mountain_biking", {"MountainBikeRide", "Mountain Biking"}},
        {"gravel_cycling", {"GravelRide"}},
        {"e_bike", {"EBikeRide", "e_biking", "E-Bike"}},
        {"trail_running", {"TrailRun", "trail-running"}},
        {"walking", {"Walk"}},
        {"hiking", {"Hike"}},
        {"swimming", {"Swim", "open_water_swimming"}},
        {"skiing", {"AlpineSki", "NordicSki", "BackcountrySki", "cross country skiing"}},
        {"inline_skating", {"InlineSkate"}},
        {"rowing", {"Rowing"}},
        {"kayaking", {"Kayaking", "Canoeing"}},
        // Numbers the table does not know stay raw rather than being guessed.
        {"4", {"4"}},
    };
    for (const auto& group : groups) {
        for (const std::string& word : group.words) EXPECT_EQ(sportOf(word).sportKey, group.key) << word;
    }
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
