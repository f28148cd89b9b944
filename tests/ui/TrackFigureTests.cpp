// The panel's lower part: the lines of the points' figures and the profile's geometry.

#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/ProfileProjection.h"
#include "ui/TrackFigureText.h"

TEST(TrackFigureText, PiecesOnlyForWhatTheRouteHasJoinedWhileTheyFit) {
    RouteInfo route = sampleRoute("Runde");
    const ActiveLanguage german = resolveLanguage("de");
    EXPECT_TRUE(trackFigurePieces(route, german).empty());
    route.hasMaxSpeed = true;
    route.maxSpeedKmh = 42.26;
    route.hasHeartRate = true;
    route.heartRateAvg = 131.6;
    route.heartRateMax = 171;
    route.hasPower = true;
    route.powerAvg = 212.4;
    const auto pieces = trackFigurePieces(route, german);
    EXPECT_EQ(pieces, (std::vector<std::u16string>{u"Höchsttempo 42,3 km/h", u"Puls Ø 132 / max. 171 S/min",
                                                   u"Leistung 212 W"}));
    const auto shortLines = [](const std::u16string& line) { return line.size() <= 50; };
    EXPECT_EQ(joinFigurePieces(pieces, shortLines),
              (std::vector<std::u16string>{u"Höchsttempo 42,3 km/h",
                                           u"Puls Ø 132 / max. 171 S/min  ·  Leistung 212 W"}));
    // A piece too long for any line still shows, alone.
    EXPECT_EQ(joinFigurePieces(pieces, [](const std::u16string&) { return false; }), pieces);
}

TEST(ProfileProjection, SpansTheBoxLowestAtTheBottomHighestAtTheTop) {
    const ProfileGeometry hill = projectProfile({{0, 400}, {500, 600}, {1000, 500}}, 10, 20, 100, 50);
    EXPECT_EQ(hill.line, (std::vector<PixelPoint>{{10, 70}, {60, 20}, {110, 45}}));
    EXPECT_EQ(hill.lowest, (PixelPoint{10, 70}));
    EXPECT_EQ(hill.highest, (PixelPoint{60, 20}));
    // A flat route runs through the middle, and GPS noise of a few metres stays small; a single
    // point or no distance draws nothing.
    EXPECT_EQ(projectProfile({{0, 300}, {1000, 300}}, 0, 0, 100, 50).line,
              (std::vector<PixelPoint>{{0, 25}, {100, 25}}));
    EXPECT_EQ(projectProfile({{0, 300}, {1000, 304}}, 0, 0, 100, 50).line,
              (std::vector<PixelPoint>{{0, 27}, {100, 23}}));
    EXPECT_TRUE(projectProfile({{0, 300}}, 0, 0, 100, 50).line.empty());
    EXPECT_TRUE(projectProfile({{5, 300}, {5, 310}}, 0, 0, 100, 50).line.empty());
}
