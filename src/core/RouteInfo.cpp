#include "core/RouteInfo.h"

#include <algorithm>

namespace {

// Moves every field and leaves `from` as a valid record with empty texts and outline.
void moveFields(RouteInfo& to, RouteInfo& from) noexcept {
    to.filePath = std::move(from.filePath);
    from.filePath.clear();
    auto takeText = [](std::string& target, std::string& source) {
        target = std::move(source);
        source.clear();
    };
    takeText(to.fileStem, from.fileStem);
    takeText(to.routeName, from.routeName);
    takeText(to.dateText, from.dateText);
    to.distanceMeters = from.distanceMeters;
    to.durationSeconds = from.durationSeconds;
    to.ascentMeters = from.ascentMeters;
    to.pointCount = from.pointCount;
    to.hasTimestamps = from.hasTimestamps;
    to.isRoundTrip = from.isRoundTrip;
    to.hasStartPlace = from.hasStartPlace;
    to.hasFinishPlace = from.hasFinishPlace;
    to.startLat = from.startLat;
    to.startLon = from.startLon;
    to.finishLat = from.finishLat;
    to.finishLon = from.finishLon;
    takeText(to.startPlace, from.startPlace);
    takeText(to.finishPlace, from.finishPlace);
    takeText(to.sportKey, from.sportKey);
    takeText(to.sportLabel, from.sportLabel);
    to.sportFromSpeed = from.sportFromSpeed;
    to.hasWeather = from.hasWeather;
    to.temperatureC = from.temperatureC;
    to.humidityPercent = from.humidityPercent;
    to.windKmh = from.windKmh;
    to.temperatureCount = from.temperatureCount;
    to.humidityCount = from.humidityCount;
    to.windCount = from.windCount;
    takeText(to.windDirection, from.windDirection);
    takeText(to.weatherCondition, from.weatherCondition);
    to.outline = std::move(from.outline);
    from.outline.clear();
    takeText(to.errorText, from.errorText);
    takeText(to.warningText, from.warningText);
    to.hasFirstTime = from.hasFirstTime;
    to.firstTimeSeconds = from.firstTimeSeconds;
    to.firstTimeOffsetMinutes = from.firstTimeOffsetMinutes;
}

}  // namespace

RouteInfo::RouteInfo(RouteInfo&& other) noexcept { moveFields(*this, other); }

RouteInfo& RouteInfo::operator=(RouteInfo&& other) noexcept {
    if (this != &other) moveFields(*this, other);
    return *this;
}

bool libraryOrderLess(const RouteInfo& a, const RouteInfo& b) {
    // std::string compares as unsigned bytes (char_traits<char>::compare uses memcmp).
    int byDate = a.dateText.compare(b.dateText);
    if (byDate != 0) return byDate > 0;
    return a.fileStem.compare(b.fileStem) < 0;
}

void sortLibraryOrder(std::vector<RouteInfo>& routes) {
    std::sort(routes.begin(), routes.end(), libraryOrderLess);
}
