#pragma once
// The columns of the route list, as data: the window's list, its captions, its sorting and the
// console table all read this one table. A new column, sortable or not, is one entry here plus its
// header's translation key.

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "platform/Platform.h"
#include "ui/Format.h"
#include "ui/RouteSort.h"

struct RouteColumn {
    std::string_view headerKey{};       // translation key of the header; empty: fixedHeader
    std::u16string_view fixedHeader{};  // the same in every language
    int width = 0;                      // first width at 96 DPI, until the list measures its texts
    bool figure = false;                // a number: right-aligned in the console table
    std::u16string (*cellText)(const RouteInfo& route, const ActiveLanguage& language) = nullptr;
    // What a click on the header sorts by (none: the header does not sort), and whether the first
    // click sorts descending. Missing values (SortValue::missing) come last in either direction.
    SortValue (*sortValue)(const RouteInfo& route, const ActiveLanguage& language) = nullptr;
    bool descendingFirst = false;
};

// "✓" for a route with timestamps (ready for a ghost race), else the dash, which is a value here.
inline std::u16string ghostCellText(const RouteInfo& route) {
    return route.hasTimestamps ? u"\u2713" : u"\u2013";
}

// Texts sort from A on the first click; dates and figures newest and largest first.
// clang-format off
inline constexpr auto routeColumns = std::to_array<RouteColumn>({
    {.headerKey = "name", .width = 300,
     .cellText = [](const RouteInfo& r, const ActiveLanguage&) { return utf8ToWide(r.fileStem); },
     .sortValue = [](const RouteInfo& r, const ActiveLanguage&) { return nameValue(r.fileStem); }},
    {.headerKey = "date", .width = 90,
     .cellText = [](const RouteInfo& r, const ActiveLanguage& language) { return formatDate(r, language); },
     .sortValue = [](const RouteInfo& r, const ActiveLanguage&) {
         const int32_t day = calendarDay(r.dateText);
         return numberValue(day, day < 0);
     },
     .descendingFirst = true},
    {.headerKey = "sport", .width = 140,
     .cellText = [](const RouteInfo& r, const ActiveLanguage& language) {
         // "≈" marks a sport guessed from the speed.
         return r.sportFromSpeed ? u"\u2248 " + sportDisplayText(language, r) : sportDisplayText(language, r);
     },
     // Without the mark: a guessed sport sorts with the same sport read from the file.
     .sortValue = [](const RouteInfo& r, const ActiveLanguage& language) {
         return textValue(sportDisplayText(language, r), true);
     }},
    {.headerKey = "length", .width = 95, .figure = true,
     .cellText = [](const RouteInfo& r, const ActiveLanguage& language) { return formatDistance(r.distanceMeters, language); },
     // The column shows an unreadable length as 0 m.
     .sortValue = [](const RouteInfo& r, const ActiveLanguage&) {
         return numberValue(std::isnan(r.distanceMeters) ? 0 : r.distanceMeters);
     },
     .descendingFirst = true},
    {.headerKey = "time", .width = 90, .figure = true,
     .cellText = [](const RouteInfo& r, const ActiveLanguage&) { return formatDuration(r.durationSeconds); },
     // Missing exactly where the column shows a dash.
     .sortValue = [](const RouteInfo& r, const ActiveLanguage&) {
         return numberValue(r.durationSeconds, !(r.durationSeconds > 0));
     },
     .descendingFirst = true},
    {.headerKey = "ascent", .width = 85, .figure = true,
     .cellText = [](const RouteInfo& r, const ActiveLanguage& language) { return formatAscent(r.ascentMeters, language); },
     .sortValue = [](const RouteInfo& r, const ActiveLanguage&) {
         return numberValue(r.ascentMeters, !(r.ascentMeters > 0));
     },
     .descendingFirst = true},
    {.headerKey = "points", .width = 75, .figure = true,
     .cellText = [](const RouteInfo& r, const ActiveLanguage&) { return decimalText(static_cast<int64_t>(r.pointCount)); },
     .sortValue = [](const RouteInfo& r, const ActiveLanguage&) { return numberValue(static_cast<double>(r.pointCount)); },
     .descendingFirst = true},
    {.fixedHeader = u"Ghost", .width = 65,
     .cellText = [](const RouteInfo& r, const ActiveLanguage&) { return ghostCellText(r); },
     .sortValue = [](const RouteInfo& r, const ActiveLanguage&) { return textValue(ghostCellText(r)); }},
    {.headerKey = "type", .width = 100,
     .cellText = [](const RouteInfo& r, const ActiveLanguage& language) {
         return std::u16string(translate(language, r.isRoundTrip ? "roundTrip" : "oneWay"));
     },
     .sortValue = [](const RouteInfo& r, const ActiveLanguage& language) {
         return textValue(std::u16string(translate(language, r.isRoundTrip ? "roundTrip" : "oneWay")));
     }},
});
// clang-format on
inline constexpr std::size_t kRouteColumnCount = routeColumns.size();

std::u16string columnHeaderText(const RouteColumn& column, const ActiveLanguage& language);
