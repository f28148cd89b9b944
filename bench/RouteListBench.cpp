// Cost of one list rebuild for a large library: filtering (with and without a search text), the
// row texts of every listed route, and the filter bar items. Prints the median of several runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/SportWeather.h"
#include "ui/RouteListLogic.h"
#include "ui/RouteSort.h"

namespace {

std::vector<RouteInfo> syntheticLibrary(std::size_t count) {
    std::vector<RouteInfo> routes;
    routes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        RouteInfo route;
        route.fileStem = "Tour " + std::to_string(i) + " Über den Höhenweg";
        route.routeName = "Strecke Nummer " + std::to_string(i * 7);
        char date[16];  // dd.mm.yy over four decades, so that sorting by date has work to do
        std::snprintf(date, sizeof date, "%02zu.%02zu.%02zu", 1 + i % 28, 1 + i / 28 % 12,
                      (i / 336 % 40 + 70) % 100);
        route.dateText = date;
        route.distanceMeters = static_cast<double>(i % 40000);
        route.durationSeconds = static_cast<double>(i % 20000);
        route.ascentMeters = static_cast<double>(i % 1500) + 0.4;
        route.pointCount = static_cast<uint32_t>(i * 13 % 100000);
        route.hasTimestamps = i % 3 != 0;
        route.isRoundTrip = i % 5 == 0;
        route.hasStartPlace = route.hasFinishPlace = true;
        route.startPlace = std::to_string(40 + i % 10) + "." + std::to_string(100 + i % 900) + ", 11.575";
        route.finishPlace = std::to_string(45 + i % 7) + "." + std::to_string(100 + i % 899) + ", 10.250";
        route.sportKey = std::string(sportKeys[i % sportKeys.size()]);
        route.sportLabel = route.sportKey;
        route.sportFromSpeed = i % 4 == 0;
        routes.push_back(std::move(route));
    }
    return routes;
}

template <typename Work>
double medianMilliseconds(Work work) {
    std::vector<double> runs;
    for (int run = 0; run < 9; ++run) {
        auto start = std::chrono::steady_clock::now();
        work();
        runs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

// One rebuild as the window does it: filter, then the texts of every row.
std::size_t rebuild(const std::vector<RouteInfo>& routes, const ListFilters& filters,
                    const ActiveLanguage& language) {
    std::vector<uint64_t> rows = filterRoutes(routes, filters, language);
    std::size_t characters = 0;
    for (uint64_t row : rows) {
        for (const std::u16string& text : routeRowTexts(routes[row], language)) characters += text.size();
    }
    return characters + rows.size();
}

}  // namespace

int main() {
    const std::vector<RouteInfo> routes = syntheticLibrary(10000);
    ListFilters none;
    ListFilters search;
    search.search = searchTextFromBox(u"Höhenweg");  // every route matches
    ListFilters miss;
    miss.search = searchTextFromBox(u"zzz");  // no route matches
    ListFilters combined = search;
    combined.choices[filterIndexOf(IDC_FILTER_LENGTH)].index = 2;
    combined.choices[filterIndexOf(IDC_FILTER_GHOST)].index = 1;

    for (const char* language : {"de", "system"}) {
        const ActiveLanguage active = resolveLanguage(language);
        volatile std::size_t sink = 0;
        std::printf("language %s, %zu routes\n", language, routes.size());
        std::printf("  rebuild, no filter:            %8.2f ms\n",
                    medianMilliseconds([&] { sink = sink + rebuild(routes, none, active); }));
        std::printf("  rebuild, search matches all:   %8.2f ms\n",
                    medianMilliseconds([&] { sink = sink + rebuild(routes, search, active); }));
        std::printf("  rebuild, search matches none:  %8.2f ms\n",
                    medianMilliseconds([&] { sink = sink + rebuild(routes, miss, active); }));
        std::printf("  rebuild, search and filters:   %8.2f ms\n",
                    medianMilliseconds([&] { sink = sink + rebuild(routes, combined, active); }));
        std::printf("  filter bar items:              %8.2f ms\n", medianMilliseconds([&] {
                        sink = sink + filterBarItems(routes, active)[filterIndexOf(IDC_FILTER_SPORT)].size();
                    }));
        // A header click re-sorts every listed row (here all of them), from library order.
        const std::vector<uint64_t> listed = filterRoutes(routes, none, active);
        for (std::size_t column = 0; column < kRouteColumnCount; ++column) {
            const ListSort sort{static_cast<int>(column), routeColumns[column].descendingFirst};
            std::printf("  sort by column %zu:              %8.2f ms\n", column, medianMilliseconds([&] {
                            std::vector<uint64_t> rows = listed;
                            sortRows(rows, routes, sort, active);
                            sink = sink + rows.front();
                        }));
        }
    }
    return 0;
}
