#pragma once
// Helpers shared by the UI logic tests.

#include <string>
#include <utility>

#include "core/RouteInfo.h"
#include "library/Settings.h"

// Sets the interface language for one test and restores the previous setting afterwards.
struct LanguageScope {
    explicit LanguageScope(std::string code) : saved(std::exchange(languageSetting, std::move(code))) {}
    ~LanguageScope() { languageSetting = saved; }
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;
    std::string saved;
};

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
