#pragma once
// Helpers shared by the UI logic tests.

#include <string>
#include <utility>

#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "ui/RouteFilters.h"

// Positions of the filters in the filter bar.
inline constexpr std::size_t kStart = filterIndexOf(IDC_FILTER_START);
inline constexpr std::size_t kEnd = filterIndexOf(IDC_FILTER_END);
inline constexpr std::size_t kSport = filterIndexOf(IDC_FILTER_SPORT);
inline constexpr std::size_t kGhost = filterIndexOf(IDC_FILTER_GHOST);
inline constexpr std::size_t kType = filterIndexOf(IDC_FILTER_TYPE);
inline constexpr std::size_t kLength = filterIndexOf(IDC_FILTER_LENGTH);
inline constexpr std::size_t kYear = filterIndexOf(IDC_FILTER_YEAR);

// A successfully analysed route with the given file stem and plausible defaults.
inline RouteInfo sampleRoute(std::string stem) {
    RouteInfo route;
    route.fileStem = std::move(stem);
    route.routeName = route.fileStem;
    route.dateText = "05.07.23";
    route.distanceMeters = 10000;
    route.pointCount = 10;
    route.hasStartPlace = true;
    route.hasFinishPlace = true;
    route.startPlace = "48.137, 11.575";
    route.finishPlace = "48.140, 11.580";
    route.sportKey = "cycling";
    route.sportLabel = "Radfahren";
    route.outline = {{48.137, 11.575}, {48.140, 11.580}};
    return route;
}
