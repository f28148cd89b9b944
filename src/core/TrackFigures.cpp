#include "core/TrackFigures.h"

#include <algorithm>
#include <cmath>

#include "core/TrackAnalysis.h"

namespace {

constexpr double kMovingMetresPerSecond = 1.0 / 3.6;
constexpr double kWindowSeconds = 10;
constexpr double kJumpMetresPerSecond = 20;

double directMeters(const std::pair<double, double>& a, const std::pair<double, double>& b) {
    TrackPoint from, to;
    from.lat = a.first;
    from.lon = a.second;
    to.lat = b.first;
    to.lon = b.second;
    return haversineMeters(from, to);
}

// The fastest window of one run of timed points, times never decreasing: a two-pointer sweep.
void sweepRun(const std::vector<Timed>& run, MotionFigures& figures) {
    size_t begin = 0;
    for (size_t end = 1; end < run.size(); ++end) {
        while (begin + 1 < end && run[end].time - run[begin + 1].time >= kWindowSeconds) ++begin;
        const double seconds = run[end].time - run[begin].time;
        if (seconds < kWindowSeconds) continue;
        const double kmh = (run[end].path - run[begin].path) / seconds * 3.6;
        if (!figures.hasMaxSpeed || kmh > figures.maxSpeedKmh) figures.maxSpeedKmh = kmh;
        figures.hasMaxSpeed = true;
    }
}

}  // namespace

MotionFigures motionFigures(const std::vector<PointSample>& samples,
                            const std::vector<std::pair<double, double>>& coordinates,
                            std::vector<Timed>& run) {
    MotionFigures figures;
    // The timed point after `i` within [i, end), or `end`.
    auto nextTimed = [&](size_t i, size_t end) {
        do ++i;
        while (i < end && !samples[i].hasTime);
        return i;
    };
    auto segment = [&](size_t begin, size_t end) {
        size_t first = samples[begin].hasTime ? begin : nextTimed(begin, end);
        if (first == end) return;
        // One walk over the timed points: moving time over every step between them, and the runs
        // for the speed windows, where a point out of time order starts a new run and a lone jump
        // is joined over.
        run.clear();
        run.push_back({samples[first].time, 0});
        size_t kept = first;  // the last point kept
        bool joined = false;  // a jump left out since
        for (size_t before = first, k = nextTimed(first, end), next = end; k < end; before = k, k = next) {
            next = nextTimed(k, end);
            const PointSample& point = samples[k];
            figures.hasMovingTime = true;
            const double seconds = point.time - samples[before].time;
            if (seconds > 0 && (point.along - samples[before].along) / seconds > kMovingMetresPerSecond)
                figures.movingSeconds += seconds;
            const PointSample& previous = samples[kept];
            if (point.time < previous.time) {
                sweepRun(run, figures);
                run.clear();
                run.push_back({point.time, 0});
                kept = k;
                joined = false;
                continue;
            }
            const double step =
                joined ? directMeters(coordinates[kept], coordinates[k]) : point.along - previous.along;
            if (next < end) {
                const PointSample& following = samples[next];
                const double span = following.time - previous.time;
                const double onward = following.along - point.along;
                // The direct way is at least the difference of the two legs, so the detour is at
                // most twice the shorter one: only then is the direct way worth working out.
                if (span > 0 && following.time >= point.time &&
                    2 * std::min(step, onward) > kJumpMetresPerSecond * span &&
                    step + onward - directMeters(coordinates[kept], coordinates[next]) >
                        kJumpMetresPerSecond * span) {
                    joined = true;
                    continue;
                }
            }
            run.push_back({point.time, run.back().path + step});
            kept = k;
            joined = false;
        }
        sweepRun(run, figures);
    };
    size_t begin = 0;
    for (size_t i = 1; i <= samples.size(); ++i) {
        if (i == samples.size() || samples[i].segment != samples[begin].segment) {
            segment(begin, i);
            begin = i;
        }
    }
    return figures;
}

ElevationProfile elevationProfile(const std::vector<PointSample>& samples, const ElevationSpan& span) {
    ElevationProfile profile;
    const size_t count = span.count;
    const double firstAlong = span.firstAlong, lastAlong = span.lastAlong;
    if (count == 0) return profile;
    profile.lowest = span.lowest;
    profile.highest = span.highest;
    profile.points.reserve(std::min(count, kProfilePoints));
    if (count <= kProfilePoints) {
        for (const PointSample& sample : samples)
            if (sample.hasEle) profile.points.emplace_back(sample.along, sample.ele);
        return profile;
    }
    // The stretches' lowest and highest points in the order they come; the first and last point
    // besides, so the line spans the whole route.
    constexpr size_t kBuckets = (kProfilePoints - 2) / 2;
    const double length = lastAlong - firstAlong;
    size_t bucket = 0;
    const PointSample* low = nullptr;
    const PointSample* high = nullptr;
    const PointSample* last = nullptr;
    auto flush = [&] {
        if (low == nullptr) return;
        const PointSample* first = low <= high ? low : high;  // in the samples' order
        const PointSample* second = first == low ? high : low;
        profile.points.emplace_back(first->along, first->ele);
        if (second != first) profile.points.emplace_back(second->along, second->ele);
        low = high = nullptr;
    };
    for (const PointSample& sample : samples) {
        if (!sample.hasEle) continue;
        if (last == nullptr) {
            profile.points.emplace_back(sample.along, sample.ele);
            last = &sample;
            continue;
        }
        last = &sample;
        const double share = length > 0 ? (sample.along - firstAlong) / length : 0;
        const size_t at = std::min(kBuckets - 1, static_cast<size_t>(share * kBuckets));
        if (at != bucket) {
            flush();
            bucket = at;
        }
        if (low == nullptr || sample.ele < low->ele) low = &sample;
        if (high == nullptr || sample.ele > high->ele) high = &sample;
    }
    // The last point closes the line; it may already be its stretch's lowest or highest.
    if (low == last) low = high == last ? nullptr : high;
    if (high == last) high = low;
    flush();
    profile.points.emplace_back(last->along, last->ele);
    return profile;
}
