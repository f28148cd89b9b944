#include "ui/ProfileProjection.h"

#include <algorithm>
#include <cmath>

ProfileGeometry projectProfile(const std::vector<std::pair<double, double>>& profile, int32_t left,
                               int32_t top, int32_t width, int32_t height) {
    ProfileGeometry geometry;
    if (profile.size() < 2 || width <= 0 || height <= 0) return geometry;
    const double first = profile.front().first;
    const double length = profile.back().first - first;
    if (!(length > 0) || !std::isfinite(length)) return geometry;
    double lowest = profile.front().second, highest = lowest;
    for (const auto& [along, ele] : profile) {
        lowest = std::min(lowest, ele);
        highest = std::max(highest, ele);
    }
    const double rise = highest - lowest;
    if (!std::isfinite(rise)) return geometry;
    // A few metres of GPS noise on a flat route would otherwise fill the box like a mountain: less
    // than kLeastRise is drawn as that much, around the middle.
    constexpr double kLeastRise = 50;
    const double shownRise = std::max(rise, kLeastRise);
    const double base = lowest - (shownRise - rise) / 2;
    const int32_t bottom = top + height;
    auto place = [&](double along, double ele) {
        const double x = left + (along - first) / length * width;
        const double y = bottom - (ele - base) / shownRise * height;
        return PixelPoint{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
    };
    geometry.line.reserve(profile.size());
    bool lowSeen = false, highSeen = false;
    for (const auto& [along, ele] : profile) {
        const PixelPoint point = place(along, ele);
        geometry.line.push_back(point);
        if (!lowSeen && ele == lowest) {
            geometry.lowest = point;
            lowSeen = true;
        }
        if (!highSeen && ele == highest) {
            geometry.highest = point;
            highSeen = true;
        }
    }
    return geometry;
}
