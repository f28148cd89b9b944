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
        // Moving time over every step between timed points.
        for (size_t a = first, b = nextTimed(a, end); b < end; a = b, b = nextTimed(b, end)) {
            figures.hasMovingTime = true;
            const double seconds = samples[b].time - samples[a].time;
            if (seconds > 0 && (samples[b].along - samples[a].along) / seconds > kMovingMetresPerSecond)
                figures.movingSeconds += seconds;
        }
        // The runs for the speed windows: a point out of time order starts a new run, and a lone
        // jump is joined over.
        run.clear();
        run.push_back({samples[first].time, 0});
        size_t kept = first;  // the last point kept
        bool joined = false;  // a jump left out since
        for (size_t k = nextTimed(first, end); k < end; k = nextTimed(k, end)) {
            const PointSample& point = samples[k];
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
            const size_t next = nextTimed(k, end);
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

ElevationProfile elevationProfile(const std::vector<PointSample>& samples) {
    ElevationProfile profile;
    size_t count = 0;
    double firstAlong = 0, lastAlong = 0;
    for (const PointSample& sample : samples) {
        if (!sample.hasEle) continue;
        if (count == 0) {
            firstAlong = sample.along;
            profile.lowest = profile.highest = sample.ele;
        }
        lastAlong = sample.along;
        profile.lowest = std::min(profile.lowest, sample.ele);
        profile.highest = std::max(profile.highest, sample.ele);
        ++count;
    }
    if (count == 0) return profile;
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
