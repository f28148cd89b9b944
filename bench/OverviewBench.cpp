// Cost of recomputing the overview for a large library: the year-by-sport table and one year's
// months, as the window does after each change of the list. Prints the median of several runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/Overview.h"

namespace {

// Routes spread over 15 years and every sport, a few without a date or with a sport of their own.
std::vector<RouteInfo> syntheticLibrary(std::size_t count) {
    std::vector<RouteInfo> routes(count);
    for (std::size_t i = 0; i < count; ++i) {
        RouteInfo& route = routes[i];
        route.distanceMeters = static_cast<double>(i % 40000);
        route.durationSeconds = static_cast<double>(i % 20000);
        route.ascentMeters = static_cast<double>(i % 1500);
        route.sportKey = i % 50 == 0 ? "paragliding" : std::string(sportKeys[i % sportKeys.size()]);
        route.hasFirstTime = i % 97 != 0;
        route.firstTimeSeconds = 1262304000 + static_cast<int64_t>(i) * 13 * 3600;  // 2010 to 2024
        route.firstTimeOffsetMinutes = static_cast<int32_t>(i % 5) * 60;
    }
    return routes;
}

}  // namespace

int main() {
    const std::vector<RouteInfo> routes = syntheticLibrary(10000);
    std::vector<uint64_t> rows(routes.size());
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = i;

    std::vector<double> runs;
    std::size_t years = 0;
    double january = 0;  // read, so that the months are not optimised away
    for (int run = 0; run < 15; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const OverviewTable table = buildOverview(routes, rows);
        const MonthDistances months = monthDistances(routes, rows, table.rows.front().year);
        runs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        years = table.rows.size();
        january += months[0][0];
    }
    std::sort(runs.begin(), runs.end());
    std::printf("overview of %zu routes (%zu year rows): median %.2f ms, best %.2f ms (target < 50 ms)%s\n",
                routes.size(), years, runs[runs.size() / 2], runs.front(), january < 0 ? "?" : "");
    return 0;
}
