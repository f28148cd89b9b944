#pragma once
// The summary of one GPX file: everything the list, filters, panel and sketch know about a route.

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

struct RouteInfo {
    std::filesystem::path filePath;  // exactly as passed to analyzeGpxFile
    std::string fileStem;            // UTF-8
    std::string routeName;           // UTF-8, texts below too
    std::string dateText;            // DD.MM.YY, "–" or empty (failed record)
    double distanceMeters = 0;
    double durationSeconds = 0;
    double ascentMeters = 0;
    uint32_t pointCount = 0;
    bool hasTimestamps = false;
    bool isRoundTrip = false;
    bool hasStartPlace = false;
    bool hasFinishPlace = false;
    double startLat = 0;
    double startLon = 0;
    double finishLat = 0;
    double finishLon = 0;
    std::string startPlace;
    std::string finishPlace;
    std::string sportKey;
    std::string sportLabel;
    bool sportFromSpeed = false;
    bool hasWeather = false;
    double temperatureC = 0;
    double humidityPercent = 0;
    double windKmh = 0;
    int32_t temperatureCount = 0;
    int32_t humidityCount = 0;
    int32_t windCount = 0;
    std::string windDirection;
    std::string weatherCondition;
    std::vector<std::pair<double, double>> outline;  // (lat, lon)
    std::string errorText;
    // Why the figures may be short of the file's intent (it was cut); empty when nothing is amiss.
    std::string warningText;
    // The first time stamp, the one dateText is read from: seconds since 1970 (UTC) and the zone
    // offset it was written with, in minutes (0 for "Z" and for a stamp without zone, which is read
    // as UTC). Both are 0 when hasFirstTime is clear.
    bool hasFirstTime = false;
    int64_t firstTimeSeconds = 0;
    int32_t firstTimeOffsetMinutes = 0;
    // A hash of the file's bytes as read (contentHash), by which the same file is found again under
    // another name; clear when the file could not be read.
    bool hasContentHash = false;
    uint64_t contentHash = 0;
    // The sensor figures of the track points' extensions, each averaged over the points that carry
    // it; the has-flags are clear when no point does.
    bool hasHeartRate = false;
    double heartRateAvg = 0;  // beats per minute
    double heartRateMax = 0;
    bool hasCadence = false;
    double cadenceAvg = 0;  // per minute
    bool hasPower = false;
    double powerAvg = 0;  // watts
    bool hasAirTemperature = false;
    double airTemperatureAvg = 0;  // °C
    // From the points' times (core/TrackFigures.h says how).
    bool hasMovingTime = false;
    double movingSeconds = 0;
    bool hasMaxSpeed = false;
    double maxSpeedKmh = 0;
    // Elevation over distance, simplified: (metres along the route, elevation), at most 300 pairs;
    // empty when no point has an elevation. The lowest and highest elevation of all points.
    std::vector<std::pair<double, double>> elevationProfile;
    double elevationLowest = 0;
    double elevationHighest = 0;

    RouteInfo() = default;
    // A record is moved, never shared; the moved-from record keeps empty texts, outline and profile.
    RouteInfo(RouteInfo&& other) noexcept;
    RouteInfo& operator=(RouteInfo&& other) noexcept;
    RouteInfo(const RouteInfo&) = delete;
    RouteInfo& operator=(const RouteInfo&) = delete;
};

// Library order: dateText descending (byte-wise), then fileStem ascending (byte-wise).
bool libraryOrderLess(const RouteInfo& a, const RouteInfo& b);
void sortLibraryOrder(std::vector<RouteInfo>& routes);
