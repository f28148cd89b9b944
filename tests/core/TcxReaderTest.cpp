#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "core/TcxReader.h"

namespace {

std::size_t pointCount(const Activity& activity) {
    std::size_t count = 0;
    for (const ActivitySegment& segment : activity.segments) count += segment.points.size();
    return count;
}

}  // namespace

// Real files from several devices and services: every positioned point arrives, in its activity,
// with times running from the activity's start; a file with a missing end tag is refused.
TEST(TcxReader, RealFiles) {
    const std::filesystem::path folder = projectPath("../shared/corpus/tcx");
    if (!std::filesystem::is_directory(folder)) {
        if (corpusRequired()) FAIL() << "no TCX corpus at " << folder << " (required because CI is set)";
        GTEST_SKIP() << "no TCX corpus at " << folder;
    }
    const struct {
        const char* file;
        std::size_t activities, points;
    } expected[] = {
        {"Whiskey24__tcx-parser__1_activity_1_track_1_lap_1_trackpoint.tcx", 1, 1},
        {"Whiskey24__tcx-parser__2_activities_2_tracks_many_laps_trackpoints.tcx", 2, 419},
        {"Whiskey24__tcx-parser__Suunto-1.tcx", 1, 2522},
        {"Whiskey24__tcx-parser__fitbit-1.tcx", 1, 4880},
        {"Whiskey24__tcx-parser__m.tcx", 1, 2256},
        {"alenrajsp__tcxreader__mapmyride_biking.tcx", 1, 3105},
        {"ddboline__garmin_rust__test.tcx", 1, 182},
        {"vkurup__python-tcxparser__no_hr.tcx", 1, 383},
        {"Whiskey24__tcx-parser__error_xml.tcx", 0, 0},
    };
    for (const auto& file : expected) {
        SCOPED_TRACE(file.file);
        const TcxRead read = readTcx(readBytes(folder / file.file));
        EXPECT_EQ(read.failureKey.empty(), file.activities > 0);
        ASSERT_EQ(read.activities.size(), file.activities);
        std::size_t points = 0;
        for (const Activity& activity : read.activities) {
            points += pointCount(activity);
            ASSERT_TRUE(activity.startMillis && !activity.segments.empty());
            const ActivityPoint& first = activity.segments.front().points.front();
            const ActivityPoint& last = activity.segments.back().points.back();
            ASSERT_TRUE(first.timeMillis && last.timeMillis);
            EXPECT_GE(*first.timeMillis, *activity.startMillis);
            EXPECT_LT(*first.timeMillis - *activity.startMillis, 3600 * 1000);
            EXPECT_GE(*last.timeMillis, *first.timeMillis);
        }
        EXPECT_EQ(points, file.points);
    }
}

TEST(TcxReader, FieldsSegmentsAndDamage) {
    const std::string text = R"(<?xml version="1.0"?><!-- a <Track> in a comment -->
<TrainingCenterDatabase xmlns:x="urn:tpx"><Activities>
<Activity Sport="Biking"><Id>2024-05-01T06:00:00+02:00</Id><Lap StartTime="2024-05-01T04:00:00Z">
<Track><Trackpoint><Time>2024-05-01T04:00:01Z</Time><Position><LatitudeDegrees>48.1</LatitudeDegrees>
<LongitudeDegrees>11.5</LongitudeDegrees></Position><AltitudeMeters>520.5</AltitudeMeters>
<HeartRateBpm><Value>120</Value></HeartRateBpm><Cadence>85</Cadence>
<Extensions><x:TPX><x:Watts>210</x:Watts></x:TPX></Extensions></Trackpoint></Track>
<Track><Trackpoint><Time>2024-05-01T04:00:05Z</Time><HeartRateBpm><Value>121</Value></HeartRateBpm></Trackpoint>
<Trackpoint><Position><LatitudeDegrees>48.2</LatitudeDegrees><LongitudeDegrees>11.6</LongitudeDegrees></Position>
<Extensions><x:TPX><x:RunCadence>80</x:RunCadence></x:TPX></Extensions></Trackpoint></Track></Lap></Activity>
<Activity Sport="Other"><Id>2024-05-02T08:00:00Z</Id></Activity></Activities></TrainingCenterDatabase>)";
    const TcxRead read = readTcx(text);
    ASSERT_TRUE(read.failureKey.empty());
    ASSERT_EQ(read.activities.size(), 2u);
    const Activity& ride = read.activities[0];
    EXPECT_EQ(ride.sportKey, "cycling");
    EXPECT_EQ(ride.startMillis, int64_t{1714536000} * 1000);
    EXPECT_EQ(ride.utcOffsetMinutes, 120);
    EXPECT_TRUE(ride.hadPointsWithoutPosition);
    ASSERT_EQ(ride.segments.size(), 2u);
    const ActivityPoint& a = ride.segments[0].points.at(0);
    EXPECT_EQ(a.lat, 48.1);
    EXPECT_EQ(a.elevationMeters, 520.5);
    EXPECT_EQ(a.heartRate, 120);
    EXPECT_EQ(a.cadence, 85);
    EXPECT_EQ(a.powerWatts, 210);
    EXPECT_EQ(ride.segments[1].points.at(0).cadence, 80);
    EXPECT_TRUE(read.activities[1].sportKey.empty() && read.activities[1].segments.empty());
    // An activity inside another's track leaves the outer one no empty segment.
    const TcxRead nested = readTcx(
        "<TrainingCenterDatabase><Activity><Track><Activity></Activity></Track></Activity></"
        "TrainingCenterDatabase>");
    ASSERT_EQ(nested.activities.size(), 2u);
    EXPECT_TRUE(nested.activities[0].segments.empty());

    for (const std::string& damaged :
         {text.substr(0, text.size() - 10), std::string("<gpx></gpx>"), std::string(100000, '<'),
          std::string("<TrainingCenterDatabase><a></b>")}) {
        EXPECT_EQ(readTcx(damaged).failureKey, "reasonDamagedTcx");
    }
    // Deep nesting costs memory in proportion, never the call stack.
    std::string deep = "<TrainingCenterDatabase>";
    for (int i = 0; i < 200000; ++i) deep += "<a>";
    EXPECT_FALSE(readTcx(deep).failureKey.empty());
}
