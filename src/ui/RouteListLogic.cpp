#include "ui/RouteListLogic.h"

#include "platform/Platform.h"
#include "ui/Format.h"

namespace {

// The search box is read into 512 units with a count of 511, which leaves 510 characters.
constexpr std::size_t kSearchTextLimit = 510;

}  // namespace

std::u16string searchTextFromBox(std::u16string_view boxText) {
    return lowerText(boxText.substr(0, kSearchTextLimit));
}

std::u16string routeSearchText(const RouteInfo& route, const ActiveLanguage& language) {
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
    text += sportDisplayText(language, route);
    return lowerText(text);
}

bool routePassesFilters(const RouteInfo& route, const ListFilters& filters, const ActiveLanguage& language) {
    if (!filters.search.empty() &&
        routeSearchText(route, language).find(filters.search) == std::u16string::npos) {
        return false;
    }
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        if (!filterPasses(routeFilters[box], filters.choices[box], route, language)) return false;
    }
    return true;
}

std::vector<uint64_t> filterRoutes(const std::vector<RouteInfo>& routes, const ListFilters& filters,
                                   const ActiveLanguage& language) {
    std::vector<uint64_t> rows;
    rows.reserve(routes.size());
    for (std::size_t i = 0; i < routes.size(); ++i) {
        if (routePassesFilters(routes[i], filters, language)) rows.push_back(i);
    }
    return rows;
}

bool resetButtonVisible(const ListFilters& filters) {
    if (!filters.search.empty()) return true;
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        if (filterActive(routeFilters[box], filters.choices[box])) return true;
    }
    return false;
}

std::array<std::u16string, kRouteColumnCount> routeRowTexts(const RouteInfo& route,
                                                            const ActiveLanguage& language) {
    std::array<std::u16string, kRouteColumnCount> texts;
    for (std::size_t column = 0; column < kRouteColumnCount; ++column) {
        texts[column] = routeColumns[column].cellText(route, language);
    }
    return texts;
}

void addToTotals(RouteTotals& totals, const RouteInfo& route) {
    ++totals.count;
    // A damaged record's NaN must not spoil the whole sum.
    if (route.distanceMeters > 0) totals.meters += route.distanceMeters;
    if (route.durationSeconds > 0) totals.seconds += route.durationSeconds;
    if (route.ascentMeters > 0) totals.ascentMeters += route.ascentMeters;
    totals.points += route.pointCount;
}

std::u16string totalsText(const RouteTotals& totals, const ActiveLanguage& language) {
    std::u16string text = formatDistance(totals.meters, language);
    text += kStatusSeparator;
    text += formatDuration(totals.seconds);
    text += kStatusSeparator;
    text += formatAscent(totals.ascentMeters, language);
    return text;
}

std::u16string statusLineText(const RouteTotals& listed, const RouteTotals& selected,
                              const std::filesystem::path& folder, const ActiveLanguage& language) {
    std::u16string text = decimalText(static_cast<int64_t>(listed.count));
    text += u' ';
    text += countWord(language, listed.count);
    text += kStatusSeparator;
    if (selected.count > 1) {
        text += fillIn(translate(language, "selectedCount"), u"{n}",
                       decimalText(static_cast<int64_t>(selected.count)));
        text += kStatusSeparator;
    }
    // An empty list adds up to nothing worth a word.
    if (listed.count > 0) {
        text += totalsText(selected.count > 1 ? selected : listed, language);
        text += kStatusSeparator;
    }
    text += pathToWide(folder);
    return text;
}

std::u16string importNoteText(const std::vector<std::filesystem::path>& sources,
                              const std::vector<ImportResult>& results, const ActiveLanguage& language) {
    constexpr std::size_t kNamedRenames = 3;
    std::size_t arrived = 0;
    std::size_t renamed = 0;
    std::u16string renames;
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i].target.empty()) continue;
        ++arrived;
        if (i >= sources.size() || results[i].target.filename() == sources[i].filename()) continue;
        if (renamed++ >= kNamedRenames) continue;
        if (!renames.empty()) renames += u", ";
        renames += pathToWide(sources[i].filename()) + u" \u2192 " + pathToWide(results[i].target.filename());
    }
    if (arrived == 0) return {};
    std::u16string text =
        fillIn(translate(language, "importedCount"), u"{n}", decimalText(static_cast<int64_t>(arrived)));
    if (renamed == 0) return text;
    text += kStatusSeparator;
    text += translate(language, "renamedList");
    text += u' ';
    text += renames;
    if (renamed > kNamedRenames) {
        text += u' ';
        text += fillIn(translate(language, "andMore"), u"{n}",
                       decimalText(static_cast<int64_t>(renamed - kNamedRenames)));
    }
    return text;
}
