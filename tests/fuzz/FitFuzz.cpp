// libFuzzer target: any bytes decode as FIT without crashing, and every activity the decoder gives
// is written as GPX that the library's own analysis reads back with the same points and start.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/FitDecoder.h"
#include "core/GpxWriter.h"
#include "core/TrackAnalysis.h"

namespace {

void check(bool condition, const char* invariant) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", invariant);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<ActivityPoint> records;
    const FitDecoding decoded = decodeFit(bytes, &records);
    check(decoded.partial == (decoded.problem != FitProblem::none && !decoded.activities.empty()), "partial");
    check(decoded.activities.empty() == records.empty(), "activities come with records");
    size_t positioned = 0;
    for (const Activity& activity : decoded.activities) {
        uint32_t points = 0;
        for (const ActivitySegment& segment : activity.segments) {
            check(!segment.points.empty(), "no empty segment");
            points += static_cast<uint32_t>(segment.points.size());
        }
        positioned += points;
        const std::string gpx = gpxFromActivity(activity, "Fuzz & <name>");
        const RouteInfo route = analyzeGpxText("fuzz.gpx", gpx);
        check(route.pointCount == points, "written points read back");
        check(points == 0 || route.routeName == "Fuzz & <name>", "name read back");
        if (points > 0) {
            const ActivityPoint& first = activity.segments.front().points.front();
            check(std::fabs(route.startLat - first.lat) <= 1e-7 &&
                      std::fabs(route.startLon - first.lon) <= 1e-7,
                  "start read back");
        }
        (void)activityFileStem(activity, "Sport");
    }
    size_t usable = 0;
    for (const ActivityPoint& record : records)
        usable += std::fabs(record.lat) <= 90 && std::fabs(record.lon) <= 180;
    check(usable == positioned, "every usable record is a point");
    return 0;
}
