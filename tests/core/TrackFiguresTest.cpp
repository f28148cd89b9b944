// The sensor figures of the points' extensions, moving time, maximum speed and the elevation profile.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ScanTiers.h"
#include "core/TrackAnalysis.h"

namespace {

constexpr double kDegreesPerMeter = 180.0 / (3.141592653589793 * 6371000.0);  // along a meridian

// A point `metres` north of 47°N at `second` seconds past 08:00, with `inner` after its time.
std::string pointAt(double metres, int second, const std::string& inner = "", const std::string& ele = "") {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer,
                  "<trkpt lat=\"%.10f\" lon=\"8\">%s<time>2024-05-01T%02d:%02d:%02dZ</time>",
                  47 + metres * kDegreesPerMeter, ele.empty() ? "" : ("<ele>" + ele + "</ele>").c_str(),
                  8 + second / 3600, second / 60 % 60, second % 60);
    return buffer + inner + "</trkpt>";
}

RouteInfo analyzed(const std::string& segments) {
    return analyzeGpxText("t.gpx", "<gpx><trk>" + segments + "</trk></gpx>");
}

}  // namespace

TEST(TrackFigures, ExtensionsInAnyPrefixAveragedOverThePointsThatHaveThem) {
    const std::string text =
        "<trkseg>" +
        pointAt(
            0, 0,
            "<extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>100</gpxtpx:hr><gpxtpx:cad>80</gpxtpx:cad>"
            "<gpxtpx:atemp>20.5</gpxtpx:atemp></gpxtpx:TrackPointExtension></extensions>") +
        pointAt(10, 5,
                "<extensions><ns3:TrackPointExtension><ns3:hr>140</ns3:hr></ns3:TrackPointExtension>"
                "<power> 250 </power></extensions>") +
        // No heart rate here: a comment's and one outside the extensions are none, 0 is no reading.
        pointAt(20, 10,
                "<hr>200</hr><extensions><!-- <hr>190</hr> --><HR>0</HR><Power>150</Power>"
                "<cad>90</cad></extensions>") +
        pointAt(30, 15) + "</trkseg>";
    inEveryScanTier([&] {
        const RouteInfo route = analyzed(text);
        ASSERT_TRUE(route.hasHeartRate);
        EXPECT_DOUBLE_EQ(route.heartRateAvg, 120);
        EXPECT_DOUBLE_EQ(route.heartRateMax, 140);
        EXPECT_TRUE(route.hasCadence);
        EXPECT_DOUBLE_EQ(route.cadenceAvg, 85);
        EXPECT_TRUE(route.hasPower);
        EXPECT_DOUBLE_EQ(route.powerAvg, 200);
        EXPECT_TRUE(route.hasAirTemperature);
        EXPECT_DOUBLE_EQ(route.airTemperatureAvg, 20.5);
    });
    const RouteInfo plain = analyzed("<trkseg>" + pointAt(0, 0) + pointAt(10, 5) + "</trkseg>");
    EXPECT_FALSE(plain.hasHeartRate || plain.hasCadence || plain.hasPower || plain.hasAirTemperature);
}

TEST(TrackFigures, ExtensionsReadTheFirstOfEachFigureAndOnlyOnceTheirElementEnds) {
    const std::string text =
        "<trkseg>" +
        pointAt(0, 0,
                "<extensions><p:TrackPointExtension><p:hr>150</p:hr><p:hr>90</p:hr><p:cad>070</q:cad>"
                "<p:atemp>-2.5</p:atemp></p:TrackPointExtension></extensions>") +
        pointAt(10, 5,
                "<extensions>\n <p:TrackPointExtension>\n  <p:hr unit=\"bpm\">130</p:hr>\n"
                " </p:TrackPointExtension>\n</extensions>") +
        // Never closed: none of its figures counts.
        pointAt(20, 10, "<extensions><p:TrackPointExtension><p:hr>170</p:hr></p:TrackPointExtension>") +
        "</trkseg>";
    inEveryScanTier([&] {
        const RouteInfo route = analyzed(text);
        ASSERT_TRUE(route.hasHeartRate);
        EXPECT_DOUBLE_EQ(route.heartRateAvg, 140);
        EXPECT_DOUBLE_EQ(route.heartRateMax, 150);
        EXPECT_TRUE(route.hasCadence);
        EXPECT_DOUBLE_EQ(route.cadenceAvg, 70);
        EXPECT_TRUE(route.hasAirTemperature);
        EXPECT_DOUBLE_EQ(route.airTemperatureAvg, -2.5);
        EXPECT_FALSE(route.hasPower);
    });
}

TEST(TrackFigures, MovingTimeLeavesOutPausesAndSegmentGaps) {
    // 100 s at 5 m/s, a 300 s pause in place, 50 s on; the next segment starts an hour later.
    const RouteInfo route =
        analyzed("<trkseg>" + pointAt(0, 0) + pointAt(500, 100) + pointAt(500, 400) + pointAt(750, 450) +
                 "</trkseg><trkseg>" + pointAt(800, 4000) + pointAt(900, 4020) + "</trkseg>");
    ASSERT_TRUE(route.hasMovingTime);
    EXPECT_DOUBLE_EQ(route.movingSeconds, 170);
    const RouteInfo untimed = analyzeGpxText("u.gpx",
                                             "<gpx><trk><trkseg><trkpt lat=\"47\" lon=\"8\"/><trkpt "
                                             "lat=\"47.1\" lon=\"8\"/></trkseg></trk></gpx>");
    EXPECT_FALSE(untimed.hasMovingTime || untimed.hasMaxSpeed);
}

TEST(TrackFigures, MaxSpeedIsTheFastestTenSecondsAndNoJumpSetsIt) {
    // 5 m/s each second for a minute, but for 10 s at 10 m/s; one point 2 km off the way.
    std::string points;
    double metres = 0;
    for (int second = 0; second <= 60; ++second) {
        points += pointAt(second == 45 ? metres + 2000 : metres, second);
        metres += second >= 20 && second < 30 ? 10 : 5;
    }
    const RouteInfo route = analyzed("<trkseg>" + points + "</trkseg>");
    ASSERT_TRUE(route.hasMaxSpeed);
    EXPECT_NEAR(route.maxSpeedKmh, 36, 0.1);
    // Sparse points: the window is the one step that lasts 10 s or more.
    EXPECT_NEAR(
        analyzed("<trkseg>" + pointAt(0, 0) + pointAt(600, 60) + pointAt(900, 120) + "</trkseg>").maxSpeedKmh,
        36, 0.1);
    // A segment shorter than 10 s has no window at all.
    EXPECT_FALSE(analyzed("<trkseg>" + pointAt(0, 0) + pointAt(50, 5) + "</trkseg>").hasMaxSpeed);
}

TEST(TrackFigures, ElevationProfileKeepsPeaksDipsAndEndsWithinItsBound) {
    std::string points;
    for (int i = 0; i < 5000; ++i) {
        const int ele = i == 1234 ? 900 : i == 3000 ? 100 : 400 + i % 7;
        points += pointAt(i * 2.0, i, "", std::to_string(ele));
    }
    const RouteInfo route = analyzed("<trkseg>" + points + "</trkseg>");
    ASSERT_LE(route.elevationProfile.size(), 300u);
    ASSERT_GE(route.elevationProfile.size(), 200u);
    EXPECT_EQ(route.elevationLowest, 100);
    EXPECT_EQ(route.elevationHighest, 900);
    bool peak = false, dip = false;
    for (size_t i = 0; i < route.elevationProfile.size(); ++i) {
        const auto [along, ele] = route.elevationProfile[i];
        if (i > 0) {
            EXPECT_GE(along, route.elevationProfile[i - 1].first);
        }
        peak = peak || ele == 900;
        dip = dip || ele == 100;
    }
    EXPECT_TRUE(peak && dip);
    EXPECT_EQ(route.elevationProfile.front().first, 0);
    EXPECT_NEAR(route.elevationProfile.back().first, route.distanceMeters, 1);
    EXPECT_TRUE(analyzed("<trkseg>" + pointAt(0, 0) + pointAt(10, 5) + "</trkseg>").elevationProfile.empty());
}
