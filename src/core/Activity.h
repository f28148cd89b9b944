#pragma once
// One recorded activity as a FIT or TCX file holds it: what the readers produce and the GPX writer
// turns into a library file. Every value a file may lack is optional, so that "absent" never reads
// as zero.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ActivityPoint {
    double lat = 0;  // degrees, WGS84
    double lon = 0;
    std::optional<int64_t> timeMillis;  // milliseconds since 1970-01-01 UTC
    std::optional<double> elevationMeters;
    std::optional<int> heartRate;  // beats per minute
    std::optional<int> cadence;    // revolutions or steps per minute, as recorded
    std::optional<double> temperatureC;
    std::optional<int> powerWatts;
};

// Points recorded without a pause between them; a pause (timer stop, then start) ends a segment.
struct ActivitySegment {
    std::vector<ActivityPoint> points;
};

struct Activity {
    std::string name;      // UTF-8, from the file; empty when it has none
    std::string sportKey;  // one of the program's sport keys, or empty when the sport is not known
    std::optional<int64_t> startMillis;       // UTC
    std::optional<int32_t> utcOffsetMinutes;  // of the local time the activity was recorded in
    std::vector<ActivitySegment> segments;    // only points with a position
    bool hadPointsWithoutPosition = false;    // an indoor ride: records, but no position
};
