#pragma once
// The filters of the filter bar, as data: the window creates, places, fills and reads one
// combo box per entry, and the list keeps the routes every entry lets pass. A new filter is one
// entry here, its control identifier and its header's translation key.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/PointFields.h"
#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "platform/Platform.h"
#include "ui/ControlIds.h"

// How a filter on a text of the route orders its distinct items.
enum class ItemOrder {
    none,    // a filter on fixed choices
    places,  // by the latitude, then the longitude, that the text shows
    sports,  // the program's sports by name in the language's alphabet, then the file's own types
};

struct RouteFilter {
    int controlId = 0;
    std::string_view nameKey;  // the box's name for screen readers
    int width = 0;             // combo box width in pixels at 96 DPI: its widest "all" text or item
    std::u16string (*firstItem)(const ActiveLanguage& language) = nullptr;  // the "all" entry
    // A filter on a text of the route offers the library's distinct texts and keeps the routes
    // whose text equals the chosen one.
    std::u16string (*routeText)(const RouteInfo& route, const ActiveLanguage& language) = nullptr;
    bool (*offersItem)(const RouteInfo& route) = nullptr;
    // A filter on fixed choices offers these items after the first and keeps the routes that pass
    // the chosen one (1 for the first of them).
    std::vector<std::u16string> (*choiceItems)(const ActiveLanguage& language) = nullptr;
    bool (*passesChoice)(const RouteInfo& route, int choice, const ActiveLanguage& language) = nullptr;
    ItemOrder itemOrder = ItemOrder::none;
    // An order of the filter's own for its route texts (true: `a` is listed before `b`); it
    // replaces the code-unit order where ItemOrder says nothing more.
    bool (*itemBefore)(const std::u16string& a, const std::u16string& b) = nullptr;
};

// The year of the route's first time stamp in the zone it was written with ("2025"); empty
// without a stamp or for a year the calendar does not reach.
inline std::u16string routeYearText(const RouteInfo& route) {
    CivilTime civil;
    if (!route.hasFirstTime || !localCivilTime(route.firstTimeSeconds, route.firstTimeOffsetMinutes, civil))
        return {};
    const std::string digits = std::to_string(civil.year);
    return std::u16string(digits.begin(), digits.end());
}

// Newest year first; texts that are no year (the "no date" item) last.
inline bool newerYearFirst(const std::u16string& a, const std::u16string& b) {
    const auto year = [](const std::u16string& text) {
        int value = 0;
        for (char16_t c : text) {
            if (c < u'0' || c > u'9' || value > 99999) return -1;
            value = value * 10 + (c - u'0');
        }
        return text.empty() ? -1 : value;
    };
    const int left = year(a), right = year(b);
    return left != right ? left > right : a < b;
}

// clang-format off
inline constexpr auto routeFilters = std::to_array<RouteFilter>({
    {IDC_FILTER_START, "startFilterName", 146,
     [](const ActiveLanguage& l) { return std::u16string(translate(l, "startAll")); },
     [](const RouteInfo& r, const ActiveLanguage&) { return utf8ToWide(r.startPlace); },
     [](const RouteInfo& r) { return r.hasStartPlace; },
     nullptr, nullptr, ItemOrder::places},
    {IDC_FILTER_END, "endFilterName", 142,
     [](const ActiveLanguage& l) { return std::u16string(translate(l, "endAll")); },
     [](const RouteInfo& r, const ActiveLanguage&) { return utf8ToWide(r.finishPlace); },
     [](const RouteInfo& r) { return r.hasFinishPlace; },
     nullptr, nullptr, ItemOrder::places},
    {IDC_FILTER_SPORT, "sportFilterName", 134,
     [](const ActiveLanguage& l) { return std::u16string(translate(l, "sportAll")); },
     [](const RouteInfo& r, const ActiveLanguage& l) { return sportDisplayText(l, r); },
     [](const RouteInfo& r) { return r.sportLabel != "\u2013"; },  // the dash: no sport
     nullptr, nullptr, ItemOrder::sports},
    {IDC_FILTER_GHOST, "ghostFilterName", 160,
     [](const ActiveLanguage& l) { return std::u16string(translate(l, "ghostAll")); },
     nullptr, nullptr,
     [](const ActiveLanguage& l) {
         return std::vector<std::u16string>{std::u16string(translate(l, "ghostReady")),
                                            std::u16string(translate(l, "noTimestamps"))};
     },
     [](const RouteInfo& r, int choice, const ActiveLanguage&) { return choice == 1 ? r.hasTimestamps : choice == 2 ? !r.hasTimestamps : true; }},
    {IDC_FILTER_TYPE, "typeFilterName", 130,
     [](const ActiveLanguage& l) { return std::u16string(translate(l, "typeAll")); },
     nullptr, nullptr,
     [](const ActiveLanguage& l) {
         return std::vector<std::u16string>{std::u16string(translate(l, "roundTrip")),
                                            std::u16string(translate(l, "oneWay"))};
     },
     [](const RouteInfo& r, int choice, const ActiveLanguage&) { return choice == 1 ? r.isRoundTrip : choice == 2 ? !r.isRoundTrip : true; }},
    {IDC_FILTER_LENGTH, "lengthFilterName", 152,
     [](const ActiveLanguage& l) { return std::u16string(translate(l, "lengthAll")); },
     nullptr, nullptr,
     [](const ActiveLanguage& l) {
         if (l.units == Units::imperial) return std::vector<std::u16string>{u"< 3 mi", u"3\u201312 mi", u"> 12 mi"};
         return std::vector<std::u16string>{u"< 5 km", u"5\u201320 km", u"> 20 km"};
     },
     [](const RouteInfo& r, int choice, const ActiveLanguage& l) {
         // On the unrounded length: 4999.96 m is short although its column shows 5,0 km. Round
         // miles near the kilometre bounds: 3 mi = 4828.032 m, 12 mi = 19312.128 m.
         const double shortest = l.units == Units::imperial ? 4828.032 : 5000;
         const double longest = l.units == Units::imperial ? 19312.128 : 20000;
         const double d = r.distanceMeters;
         return choice == 1 ? d < shortest : choice == 2 ? (d >= shortest && d <= longest) : choice == 3 ? d > longest : true;
     }},
    {IDC_FILTER_YEAR, "yearFilterName", 136,
     [](const ActiveLanguage& l) { return std::u16string(translate(l, "yearAll")); },
     [](const RouteInfo& r, const ActiveLanguage& l) {
         std::u16string year = routeYearText(r);
         return year.empty() ? std::u16string(translate(l, "noDate")) : year;
     },
     [](const RouteInfo&) { return true; },
     nullptr, nullptr, ItemOrder::none, newerYearFirst},
});
// clang-format on
inline constexpr std::size_t kFilterCount = routeFilters.size();

// The position of a filter in routeFilters (and so in the filter bar); kFilterCount for none.
constexpr std::size_t filterIndexOf(int controlId) {
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        if (routeFilters[box].controlId == controlId) return box;
    }
    return kFilterCount;
}

// What one filter box has chosen: its item index (0 or -1: all) and that item's text.
struct FilterChoice {
    int index = 0;
    std::u16string text;
};

bool isFilterControl(int controlId);
// The items of each box in order, item 0 (the "all" entry) first, the others in the box's ItemOrder.
std::array<std::vector<std::u16string>, kFilterCount> filterBarItems(const std::vector<RouteInfo>& routes,
                                                                     const ActiveLanguage& language);
bool filterPasses(const RouteFilter& filter, const FilterChoice& choice, const RouteInfo& route,
                  const ActiveLanguage& language);
bool filterActive(const RouteFilter& filter, const FilterChoice& choice);
