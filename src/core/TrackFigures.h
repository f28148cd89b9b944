#pragma once
// Figures that need the points in order after the pass: moving time, maximum speed and the
// elevation profile.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// One accepted point: its distance along the route (segments joined without the gaps between
// them) and its elevation and time when it has them.
struct PointSample {
    double along = 0;
    double ele = 0;
    double time = 0;
    int32_t segment = 0;
    bool hasEle = false;
    bool hasTime = false;
};

struct MotionFigures {
    // Moving time: the time between consecutive timed points of a segment whose average speed
    // between them is above 1 km/h. Known once a segment has two timed points.
    bool hasMovingTime = false;
    double movingSeconds = 0;
    // The highest average speed over a window of at least 10 s: for each timed point, the shortest
    // run of points of its segment that ends there and lasts 10 s or more. Between sparse points
    // the window is simply longer (one 60 s step is a 60 s window); a segment that lasts less than
    // 10 s in all gives none. A lone point that jumps away and back (the detour through it at
    // more than 72 km/h beyond the direct way) is left out, so one GPS jump sets no record.
    bool hasMaxSpeed = false;
    double maxSpeedKmh = 0;
};
// A timed point of a segment with its metres along it, jumps taken out: the speed windows' scratch,
// kept by the caller from file to file.
struct Timed {
    double time;
    double path;
};
// `coordinates` (lat, lon) belong to the samples one by one.
MotionFigures motionFigures(const std::vector<PointSample>& samples,
                            const std::vector<std::pair<double, double>>& coordinates,
                            std::vector<Timed>& run);

inline constexpr size_t kProfilePoints = 300;

// Elevation over distance, at most kProfilePoints (along, elevation) pairs in order: all points
// with an elevation when there are no more; otherwise the first and the last, and of each of
// equal stretches of distance its lowest and its highest point, so peaks and dips survive.
// Empty without elevations; `lowest` and `highest` are then 0.
struct ElevationProfile {
    std::vector<std::pair<double, double>> points;
    double lowest = 0;
    double highest = 0;
};
// The samples with an elevation, summed up as they are added, so that the profile walks them once.
struct ElevationSpan {
    size_t count = 0;
    double firstAlong = 0;
    double lastAlong = 0;
    double lowest = 0;
    double highest = 0;
};
inline void addToSpan(ElevationSpan& span, const PointSample& sample) {
    if (!sample.hasEle) return;
    if (span.count == 0) {
        span.firstAlong = sample.along;
        span.lowest = span.highest = sample.ele;
    }
    span.lastAlong = sample.along;
    span.lowest = std::min(span.lowest, sample.ele);
    span.highest = std::max(span.highest, sample.ele);
    ++span.count;
}
// `span` is that of all `samples`.
ElevationProfile elevationProfile(const std::vector<PointSample>& samples, const ElevationSpan& span);
