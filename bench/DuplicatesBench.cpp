// Cost of finding the duplicate groups of a large library from its records, as the window does for
// Find duplicates and at each rebuild of the narrowed list, and as `tirn-gpx duplicates` does.
// Prints the median of several runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "library/Duplicates.h"

namespace {

// Records as the index gives them: an outline of up to 250 points each, every hundredth route a
// copy of the one before it (same bytes), every hundredth another recording of the same activity,
// every hundredth the same track saved again.
std::vector<RouteInfo> syntheticLibrary(std::size_t count) {
    std::vector<RouteInfo> routes;
    routes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        RouteInfo route;
        const std::size_t like = i % 100 < 3 && i > 0 ? i - 1 : i;
        route.hasContentHash = true;
        route.contentHash = (i % 100 == 0 ? like : i) * 0x9E3779B97F4A7C15ull;
        route.hasFirstTime = route.hasTimestamps = true;
        route.firstTimeSeconds = 1500000000 + static_cast<std::int64_t>(i % 100 == 1 ? like : i) * 3600;
        route.durationSeconds = 3600.0 + static_cast<double>(i % 7);
        route.pointCount = static_cast<std::uint32_t>(500 + (i % 100 == 2 ? like : i) % 2000);
        route.distanceMeters = 1000.0 + static_cast<double>(i % 100 == 2 ? like : i) * 1.5;
        const std::size_t points = std::min<std::size_t>(250, route.pointCount);
        for (std::size_t p = 0; p < points; ++p)
            route.outline.emplace_back(
                47.0 + static_cast<double>(like % 97) * 1e-3 + static_cast<double>(p) * 1e-5,
                8.0 + static_cast<double>(p) * 1e-5);
        routes.push_back(std::move(route));
    }
    return routes;
}

}  // namespace

int main() {
    constexpr std::size_t kRoutes = 10000;
    const std::vector<RouteInfo> routes = syntheticLibrary(kRoutes);
    std::vector<double> times;
    std::size_t groups = 0;
    for (int run = 0; run < 9; ++run) {
        const auto start = std::chrono::steady_clock::now();
        groups = findDuplicates(routes).groupCount;
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "duplicate groups of %zu routes: %zu groups in %.2f ms (median of %zu runs, fastest %.2f ms)\n",
        kRoutes, groups, times[times.size() / 2], times.size(), times.front());
    return 0;
}
