#include "ui/RouteListLogic.h"

#include "i18n/Language.h"
#include "platform/Platform.h"
#include "ui/ActiveTexts.h"
#include "ui/Format.h"

std::vector<uint64_t> visibleRows;
int32_t selectedRow = -1;

namespace {

// The search box is read into 512 units with a count of 511, which leaves 510 characters.
constexpr std::size_t kSearchTextLimit = 510;

std::u16string searchTextOf(const ActiveTexts& active, const RouteInfo& route) {
    std::string joined;
    joined.reserve(route.fileStem.size() + route.routeName.size() + route.startPlace.size() +
                   route.finishPlace.size() + 3);
    joined += route.fileStem;
    joined += ' ';
    joined += route.routeName;
    joined += ' ';
    joined += route.startPlace;
    joined += ' ';
    joined += route.finishPlace;
    std::u16string text = utf8ToWide(joined);
    text += u' ';
    text += activeSportText(active, route);
    return lowerText(text);
}

bool passes(const ActiveTexts& active, const RouteInfo& route, const ListFilters& filters) {
    if (!filters.search.empty()) {
        if (searchTextOf(active, route).find(filters.search) == std::u16string::npos) return false;
    }
    if (!filters.start.empty() && utf8ToWide(route.startPlace) != filters.start) return false;
    if (!filters.finish.empty() && utf8ToWide(route.finishPlace) != filters.finish) return false;
    if (!filters.sport.empty() && activeSportText(active, route) != filters.sport) return false;
    if (filters.ghost == 1 && !route.hasTimestamps) return false;
    if (filters.ghost == 2 && route.hasTimestamps) return false;
    if (filters.type == 1 && !route.isRoundTrip) return false;
    if (filters.type == 2 && route.isRoundTrip) return false;
    // On the unrounded length: 4999.96 m is short although its column shows 5,0 km.
    const double d = route.distanceMeters;
    if (filters.length == 1 && !(d < 5000)) return false;
    if (filters.length == 2 && !(d >= 5000 && d <= 20000)) return false;
    if (filters.length == 3 && !(d > 20000)) return false;
    return true;
}

}  // namespace

std::u16string searchTextFromBox(std::u16string_view boxText) {
    return lowerText(boxText.substr(0, kSearchTextLimit));
}

std::u16string routeSearchText(const RouteInfo& route) {
    return searchTextOf(resolveActiveTexts(), route);
}

bool routePassesFilters(const RouteInfo& route, const ListFilters& filters) {
    return passes(resolveActiveTexts(), route, filters);
}

std::vector<uint64_t> filterRoutes(const std::vector<RouteInfo>& routes, const ListFilters& filters) {
    // One language lookup for the whole list: this runs on every keystroke in the search box.
    const ActiveTexts active = resolveActiveTexts();
    std::vector<uint64_t> rows;
    rows.reserve(routes.size());
    for (std::size_t i = 0; i < routes.size(); ++i) {
        if (passes(active, routes[i], filters)) rows.push_back(i);
    }
    return rows;
}

bool resetButtonVisible(const ListFilters& filters) {
    return !filters.search.empty() || !filters.start.empty() || !filters.finish.empty() ||
           !filters.sport.empty() || filters.ghost > 0 || filters.type > 0 || filters.length > 0;
}

std::array<std::u16string, kRouteListColumnCount> routeRowTexts(const RouteInfo& route) {
    return routeRowTexts(route, resolveActiveTexts());
}

std::array<std::u16string, kRouteListColumnCount> routeRowTexts(const RouteInfo& route,
                                                                const ActiveTexts& active) {
    std::array<std::u16string, kRouteListColumnCount> texts;
    texts[0] = utf8ToWide(route.fileStem);
    texts[1] = utf8ToWide(route.dateText);
    texts[2] =
        route.sportFromSpeed ? u"\u2248 " + activeSportText(active, route) : activeSportText(active, route);
    texts[3] = formatDistance(route.distanceMeters);
    texts[4] = formatDuration(route.durationSeconds);
    texts[5] = formatAscent(route.ascentMeters);
    texts[6] = decimalText(static_cast<int64_t>(route.pointCount));
    texts[7] = route.hasTimestamps ? u"\u2713" : u"\u2013";
    texts[8] = std::u16string(activeText(active, route.isRoundTrip ? "roundTrip" : "route"));
    return texts;
}

std::u16string statusLineText(std::size_t rowCount, const std::filesystem::path& folder) {
    std::u16string text = decimalText(static_cast<int64_t>(rowCount));
    text += u' ';
    text += translate("files");
    text += u"   \u00B7   ";
    text += pathToWide(folder);
    return text;
}
