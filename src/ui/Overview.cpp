#include "ui/Overview.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string_view>

#include "core/PointFields.h"
#include "ui/Format.h"

namespace {

constexpr std::u16string_view kCellSeparator = u" \u00B7 ";

std::u16string twoDigits(int32_t value) {
    return (value < 10 ? u"0" : u"") + decimalText(value);
}

}  // namespace

YearMonth routeYearMonth(const RouteInfo& route) {
    CivilTime civil;
    if (!route.hasFirstTime || !localCivilTime(route.firstTimeSeconds, route.firstTimeOffsetMinutes, civil))
        return {};
    return {civil.year, civil.month};
}

std::size_t overviewSportOf(const RouteInfo& route) {
    const auto key = std::find(sportKeys.begin(), sportKeys.end(), route.sportKey);
    return static_cast<std::size_t>(key - sportKeys.begin());  // the other sports at the end
}

OverviewTable buildOverview(const std::vector<RouteInfo>& routes, const std::vector<uint64_t>& rows,
                            OverviewBy by) {
    OverviewTable table;
    // Keyed so that the newest comes first and the routes without a date (year 0) last.
    std::map<int64_t, OverviewRow, std::greater<>> byKey;
    for (const uint64_t index : rows) {
        if (index >= routes.size()) continue;
        const RouteInfo& route = routes[index];
        YearMonth when = routeYearMonth(route);
        if (by == OverviewBy::year) when.month = 0;
        OverviewRow& row = byKey[int64_t{when.year} * 100 + when.month];
        row.year = when.year;
        row.month = when.month;
        const std::size_t sport = overviewSportOf(route);
        addToTotals(row.sports[sport], route);
        addToTotals(row.total, route);
        addToTotals(table.sportTotals[sport], route);
        addToTotals(table.total, route);
    }
    table.rows.reserve(byKey.size());
    for (auto& entry : byKey) table.rows.push_back(std::move(entry.second));
    for (std::size_t sport = 0; sport < kOverviewSportCount; ++sport) {
        if (table.sportTotals[sport].count > 0) table.columns.push_back(sport);
    }
    return table;
}

MonthDistances monthDistances(const std::vector<RouteInfo>& routes, const std::vector<uint64_t>& rows,
                              int32_t year) {
    MonthDistances months{};
    for (const uint64_t index : rows) {
        if (index >= routes.size()) continue;
        const RouteInfo& route = routes[index];
        const YearMonth when = routeYearMonth(route);
        if (when.year != year || when.month < 1 || when.month > 12 || !(route.distanceMeters > 0) ||
            !std::isfinite(route.distanceMeters))
            continue;
        months[static_cast<std::size_t>(when.month - 1)][overviewSportOf(route)] += route.distanceMeters;
    }
    return months;
}

std::u16string overviewSportText(std::size_t sport, const ActiveLanguage& language) {
    if (sport >= sportKeys.size()) return std::u16string(translate(language, "otherSport"));
    return std::u16string(translate(language, sportKeys[sport]));
}

std::u16string overviewRowText(const OverviewRow& row, const ActiveLanguage& language) {
    if (row.year == kNoYear) return std::u16string(translate(language, "noDate"));
    std::u16string text = decimalText(row.year);
    if (row.month > 0) text += u"-" + twoDigits(row.month);
    return text;
}

std::u16string overviewCellText(const RouteTotals& totals, const ActiveLanguage& language) {
    if (totals.count == 0) return {};
    std::u16string text = decimalText(static_cast<int64_t>(totals.count));
    text += kCellSeparator;
    text += formatDistance(totals.meters, language);
    text += kCellSeparator;
    text += formatDuration(totals.seconds);
    text += kCellSeparator;
    text += formatAscent(totals.ascentMeters, language);
    return text;
}

std::u16string monthName(int32_t month, const ActiveLanguage& language) {
    // One key holds the twelve names, separated by '|'.
    std::u16string_view names = translate(language, "monthNames");
    for (int32_t at = 1; at < month; ++at) {
        const std::size_t bar = names.find(u'|');
        names = bar == std::u16string_view::npos ? std::u16string_view() : names.substr(bar + 1);
    }
    const std::u16string_view name = names.substr(0, names.find(u'|'));
    if (name.empty() || month < 1 || month > 12) return decimalText(month);
    return std::u16string(name);
}

bool routeInPick(const RouteInfo& route, const OverviewPick& pick) {
    if (!pick.active) return true;
    if (pick.sport < kOverviewSportCount && overviewSportOf(route) != pick.sport) return false;
    if (pick.year == kAnyYear) return true;
    const YearMonth when = routeYearMonth(route);
    return when.year == pick.year && (pick.month == 0 || when.month == pick.month);
}

std::u16string overviewPickText(const OverviewPick& pick, const ActiveLanguage& language) {
    std::u16string text;
    auto add = [&](std::u16string_view part) {
        if (!text.empty()) text += kCellSeparator;
        text += part;
    };
    if (pick.year == kNoYear) {
        add(translate(language, "noDate"));
    } else if (pick.year != kAnyYear) {
        add(fillIn(translate(language, "yearNote"), u"{y}", decimalText(pick.year)));
        if (pick.month > 0) add(monthName(pick.month, language));
    }
    if (pick.sport < kOverviewSportCount) add(overviewSportText(pick.sport, language));
    return text;
}
