#include "core/TrackAnalysis.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "core/Failure.h"
#include "core/MarkupText.h"
#include "core/ScanMarkup.h"
#include "core/SportWeather.h"
#include "platform/Platform.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr const char* kEnDash = "\xE2\x80\x93";

// Seconds since 1970-01-01 UTC (days-from-civil of the proleptic Gregorian calendar). The fields
// are not range-checked; with at most four year digits everything fits easily in 64 bits.
double timestampSeconds(std::string_view text, const TimestampMatch& match) {
    int64_t year = match.year;
    int64_t month = match.month;
    int64_t day = match.day;
    int64_t y = month <= 2 ? year - 1 : year;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = month > 2 ? (153 * (month - 3) + 2) / 5 + day - 1 : (153 * (month + 9) + 2) / 5 + day - 1;
    int64_t days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
    int64_t seconds = days * 86400 + int64_t{match.hour} * 3600 + int64_t{match.minute} * 60 + match.second;
    if (match.zoneLength > 1) {
        std::string_view zone = text.substr(match.zoneStart, match.zoneLength);
        int64_t hours = (zone[1] - '0') * 10 + (zone[2] - '0');
        int64_t minutes = (zone[zone.size() - 2] - '0') * 10 + (zone[zone.size() - 1] - '0');
        int64_t offset = hours * 3600 + minutes * 60;
        seconds += zone[0] == '+' ? -offset : offset;
    }
    return static_cast<double>(seconds);
}

// Degrees to radians as degrees * pi / 180; huge finite coordinates must not overflow into inf
// (and then NaN), so those take the other order of operations.
double toRadians(double degrees) {
    double radians = degrees * kPi / 180;
    return std::isfinite(radians) ? radians : degrees * (kPi / 180);
}

double radiansBetween(double from, double to) {
    double difference = to - from;
    if (std::isfinite(difference)) return toRadians(difference);
    return to * (kPi / 180) - from * (kPi / 180);
}

void collectPoints(std::string_view segment, std::string_view pointName, int32_t segmentIndex,
                   std::vector<TrackPoint>& points) {
    TagScanner scanner = makeTagScanner(segment, {pointName});
    PointMatch match;
    std::string buffer;
    TagScanner eleScanner = makeTagScanner({}, {"ele"});
    TagScanner timeScanner = makeTagScanner({}, {"time"});
    size_t from = 0;
    while (findPoint(scanner, from, match)) {
        from = match.end;
        std::string_view attributes =
            segment.substr(match.attributesStart, match.attributesEnd - match.attributesStart);
        TrackPoint point;
        // A coordinate must be a finite number: inf or nan would poison every sum and text.
        if (!attributeNumberView(attributes, "lat", point.lat) || !std::isfinite(point.lat)) continue;
        if (!attributeNumberView(attributes, "lon", point.lon) || !std::isfinite(point.lon)) continue;
        point.segment = segmentIndex;
        if (match.hasContent) {
            std::string_view content =
                segment.substr(match.contentStart, match.contentEnd - match.contentStart);
            std::string_view ele = elementTextView(eleScanner, content, buffer);
            if (!ele.empty()) {
                double value = 0;
                if (parseNumberPrefix(ele, value) && std::isfinite(value)) {
                    point.ele = value;
                    point.hasEle = true;
                }
            }
            std::string_view time = elementTextView(timeScanner, content, buffer);
            TimestampMatch stamp;
            if (!time.empty() && findTimestamp(time, stamp)) {
                point.time = timestampSeconds(time, stamp);
                point.hasTime = true;
            }
        }
        points.push_back(point);
    }
}

void analyzeInto(RouteInfo& route, std::string_view text) {
    // Segments, or the whole text as the one segment of a route.
    std::vector<std::string_view> segments;
    {
        TagScanner scanner = makeTagScanner(text, {"trkseg"});
        ElementMatch match;
        size_t from = 0;
        while (findElement(scanner, from, match)) {
            segments.push_back(text.substr(match.contentStart, match.contentEnd - match.contentStart));
            from = match.end;
        }
    }
    std::string_view pointName = "trkpt";
    if (segments.empty()) {
        segments.push_back(text);
        pointName = "rtept";
    }
    std::vector<TrackPoint> points;
    for (size_t i = 0; i < segments.size(); ++i) {
        int32_t index = i <= static_cast<size_t>(std::numeric_limits<int32_t>::max())
                            ? static_cast<int32_t>(i)
                            : std::numeric_limits<int32_t>::max();
        collectPoints(segments[i], pointName, index, points);
    }

    if (points.empty()) {
        route.errorText = kMessageNoPoints;
        return;
    }
    route.pointCount = points.size() <= std::numeric_limits<uint32_t>::max()
                           ? static_cast<uint32_t>(points.size())
                           : std::numeric_limits<uint32_t>::max();

    const TrackPoint& first = points.front();
    const TrackPoint& last = points.back();
    route.hasStartPlace = true;
    route.hasFinishPlace = true;
    route.startLat = first.lat;
    route.startLon = first.lon;
    route.finishLat = last.lat;
    route.finishLon = last.lon;
    route.startPlace = coordinateText(route.startLat, route.startLon);
    route.finishPlace = coordinateText(route.finishLat, route.finishLon);

    for (size_t i = 1; i < points.size(); ++i) {
        const TrackPoint& a = points[i - 1];
        const TrackPoint& b = points[i];
        if (a.segment != b.segment) continue;
        route.distanceMeters += haversineMeters(a, b);
        if (a.hasEle && b.hasEle && b.ele > a.ele) route.ascentMeters += b.ele - a.ele;
    }

    const TrackPoint* firstTimed = nullptr;
    const TrackPoint* lastTimed = nullptr;
    size_t timedCount = 0;
    for (const TrackPoint& point : points) {
        if (!point.hasTime) continue;
        if (!firstTimed) firstTimed = &point;
        lastTimed = &point;
        ++timedCount;
    }
    route.hasTimestamps = timedCount > 0;
    if (timedCount >= 2 && lastTimed->time > firstTimed->time) {
        route.durationSeconds = lastTimed->time - firstTimed->time;
    }

    route.isRoundTrip = route.distanceMeters >= 1000 && haversineMeters(first, last) < 200;

    std::string_view scope = text;
    {
        TagScanner scanner = makeTagScanner(text, {"trk", "rte"});
        ElementMatch match;
        if (findElement(scanner, 0, match)) {
            scope = text.substr(match.contentStart, match.contentEnd - match.contentStart);
        }
    }
    route.routeName = elementText(scope, "name");
    if (route.routeName.empty()) route.routeName = route.fileStem;

    classifySport(scope, route);

    {
        std::string buffer;
        std::string_view time = elementTextView(text, "time", buffer);
        DateMatch date;
        if (findDate(time, date)) {
            route.dateText.reserve(8);
            route.dateText.append(date.day)
                .append(".")
                .append(date.month)
                .append(".")
                .append(date.year.substr(2));
        }
        if (route.dateText.empty()) route.dateText = kEnDash;
    }

    size_t step = points.size() < 500 ? 1 : points.size() / 250;
    route.outline.reserve(points.size() / step + 2);
    for (size_t i = 0; i < points.size(); i += step) route.outline.emplace_back(points[i].lat, points[i].lon);
    if (route.outline.back() != std::make_pair(last.lat, last.lon))
        route.outline.emplace_back(last.lat, last.lon);

    summarizeWeather(text, route);
}

void guardedAnalysis(RouteInfo& route, std::string_view text) {
    try {
        analyzeInto(route, text);
    } catch (const std::exception& failure) {
        route.errorText = failure.what();
    }
}

void startRecord(RouteInfo& route, const std::filesystem::path& path) {
    route.filePath = path;
    try {
        route.fileStem = pathToUtf8(path.stem());
    } catch (...) {
        // The stem only names the route; the file is still read through its exact path.
        route.fileStem = "\xEF\xBF\xBD";
    }
}

}  // namespace

RouteInfo analyzeGpxFile(const std::filesystem::path& path) {
    RouteInfo route;
    startRecord(route, path);
    std::string text;
    try {
        text = readFileText(path);
    } catch (const std::exception& failure) {
        route.errorText = failure.what();
        return route;
    }
    guardedAnalysis(route, text);
    return route;
}

RouteInfo analyzeGpxText(const std::filesystem::path& path, std::string_view text) {
    RouteInfo route;
    startRecord(route, path);
    guardedAnalysis(route, text);
    return route;
}

double haversineMeters(const TrackPoint& a, const TrackPoint& b) {
    double s1 = std::sin(radiansBetween(a.lat, b.lat) * 0.5);
    double s2 = std::sin(radiansBetween(a.lon, b.lon) * 0.5);
    double h = std::sqrt(s1 * s1 + std::cos(toRadians(a.lat)) * std::cos(toRadians(b.lat)) * s2 * s2);
    if (!(h <= 1)) h = 1;
    return std::asin(h) * 12742000;
}

std::string coordinateText(double latitude, double longitude) {
    // to_chars is the classic fixed notation whatever the C locale says.
    std::string text;
    char buffer[400];
    auto fixed = [&](double value) {
        auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
        if (result.ec == std::errc()) text.append(buffer, result.ptr);
    };
    fixed(latitude);
    text.append(", ");
    fixed(longitude);
    return text;
}
