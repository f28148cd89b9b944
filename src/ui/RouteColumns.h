#pragma once
// The columns of the route list, as data: the window's list, its captions and the console table
// all read this one table. A new column is one entry here plus its header's translation key.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "platform/Platform.h"
#include "ui/Format.h"
#include "ui/RouteSort.h"

struct RouteColumn {
    std::string_view headerKey;       // translation key of the header; empty: fixedHeader
    std::u16string_view fixedHeader;  // the same in every language
    int width = 0;                    // first width at 96 DPI, until the list measures its texts
    bool figure = false;              // a number: right-aligned in the console table
    SortKey sortKey = SortKey::text;  // what a click on the header sorts by
    std::u16string (*cellText)(const RouteInfo& route, const ActiveLanguage& language) = nullptr;
};

// clang-format off
inline constexpr auto routeColumns = std::to_array<RouteColumn>({
    {"name", {}, 300, false, SortKey::name, [](const RouteInfo& r, const ActiveLanguage&) { return utf8ToWide(r.fileStem); }},
    {"date", {}, 90, false, SortKey::date, [](const RouteInfo& r, const ActiveLanguage&) { return utf8ToWide(r.dateText); }},
    {"sport", {}, 140, false, SortKey::sport, [](const RouteInfo& r, const ActiveLanguage& language) {
         // "≈" marks a sport guessed from the speed.
         return r.sportFromSpeed ? u"\u2248 " + sportDisplayText(language, r) : sportDisplayText(language, r);
     }},
    {"length", {}, 95, true, SortKey::distance, [](const RouteInfo& r, const ActiveLanguage&) { return formatDistance(r.distanceMeters); }},
    {"time", {}, 90, true, SortKey::duration, [](const RouteInfo& r, const ActiveLanguage&) { return formatDuration(r.durationSeconds); }},
    {"ascent", {}, 85, true, SortKey::ascent, [](const RouteInfo& r, const ActiveLanguage&) { return formatAscent(r.ascentMeters); }},
    {"points", {}, 75, true, SortKey::points, [](const RouteInfo& r, const ActiveLanguage&) {
         return decimalText(static_cast<int64_t>(r.pointCount));
     }},
    {{}, u"Ghost", 65, false, SortKey::text, [](const RouteInfo& r, const ActiveLanguage&) {
         return std::u16string(r.hasTimestamps ? u"\u2713" : u"\u2013");
     }},
    {"type", {}, 100, false, SortKey::text, [](const RouteInfo& r, const ActiveLanguage& language) {
         return std::u16string(translate(language, r.isRoundTrip ? "roundTrip" : "route"));
     }},
});
// clang-format on
inline constexpr std::size_t kRouteColumnCount = routeColumns.size();

std::u16string columnHeaderText(const RouteColumn& column, const ActiveLanguage& language);
