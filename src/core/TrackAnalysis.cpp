#include "core/TrackAnalysis.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "core/ContentHash.h"
#include "core/Failure.h"
#include "core/MarkupText.h"
#include "core/PointExtensions.h"
#include "core/PointFields.h"
#include "core/RouteScan.h"
#include "core/ScanMarkup.h"
#include "core/SportWeather.h"
#include "platform/Platform.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr const char* kEnDash = "\xE2\x80\x93";

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

// Running figures over the accepted points of one kind (track or route), in file order: all the
// analysis needs besides the coordinates, which are kept for the outline.
struct PointSums {
    size_t count = 0;
    TrackPoint first;
    TrackPoint last;
    double lastCosLat = 0;  // cos of the last point's latitude, for the next distance
    double distance = 0;
    double ascent = 0;
    size_t timedCount = 0;
    double firstTime = 0;
    double lastTime = 0;
    // The extensions' figures (PointExtraId): sums and counts of the points that carry each.
    double extraSum[kPointExtraCount] = {};
    size_t extraCount[kPointExtraCount] = {};
    double heartRateMax = 0;
    ElevationSpan elevation;
};

// haversineMeters with the cos of both latitudes from the caller: along a track each point's is
// needed twice.
double haversineWithCos(const TrackPoint& a, const TrackPoint& b, double cosA, double cosB) {
    double s1 = std::sin(radiansBetween(a.lat, b.lat) * 0.5);
    double s2 = std::sin(radiansBetween(a.lon, b.lon) * 0.5);
    double h = std::sqrt(s1 * s1 + cosA * cosB * s2 * s2);
    if (!(h <= 1)) h = 1;
    return std::asin(h) * 12742000;
}

// Where the accepted points of one kind go besides their sums.
struct PointStore {
    std::vector<std::pair<double, double>>& coordinates;
    std::vector<PointSample>& samples;
};

void addPoint(PointSums& sums, PointStore store, const TrackPoint& point) {
    const double cosLat = std::cos(toRadians(point.lat));
    if (sums.count == 0) {
        sums.first = point;
    } else if (sums.last.segment == point.segment) {
        sums.distance += haversineWithCos(sums.last, point, sums.lastCosLat, cosLat);
        if (sums.last.hasEle && point.hasEle && point.ele > sums.last.ele)
            sums.ascent += point.ele - sums.last.ele;
    }
    if (point.hasTime) {
        if (sums.timedCount == 0) sums.firstTime = point.time;
        sums.lastTime = point.time;
        ++sums.timedCount;
    }
    sums.last = point;
    sums.lastCosLat = cosLat;
    ++sums.count;
    store.coordinates.emplace_back(point.lat, point.lon);
    store.samples.push_back(
        {sums.distance, point.ele, point.time, point.segment, point.hasEle, point.hasTime});
    addToSpan(sums.elevation, store.samples.back());
}

void addExtras(PointSums& sums, std::string_view text, const PointMatch& match, std::string& buffer) {
    if (!match.hasContent) return;
    PointExtras extras;
    readPointExtras(text.substr(match.contentStart, match.contentEnd - match.contentStart), extras, buffer);
    for (size_t id = 0; id < kPointExtraCount; ++id) {
        if (!extras.has[id]) continue;
        sums.extraSum[id] += extras.value[id];
        ++sums.extraCount[id];
    }
    if (extras.has[kHeartRateExtra])
        sums.heartRateMax = std::max(sums.heartRateMax, extras.value[kHeartRateExtra]);
}

void addTrackFigures(RouteInfo& route, const PointSums& sums, const std::vector<PointSample>& samples,
                     const std::vector<std::pair<double, double>>& coordinates, std::vector<Timed>& run) {
    auto average = [&](PointExtraId id, bool& has, double& value) {
        has = sums.extraCount[id] > 0;
        if (has) value = sums.extraSum[id] / static_cast<double>(sums.extraCount[id]);
    };
    average(kHeartRateExtra, route.hasHeartRate, route.heartRateAvg);
    if (route.hasHeartRate) route.heartRateMax = sums.heartRateMax;
    average(kCadenceExtra, route.hasCadence, route.cadenceAvg);
    average(kPowerExtra, route.hasPower, route.powerAvg);
    average(kAirTemperatureExtra, route.hasAirTemperature, route.airTemperatureAvg);
    const MotionFigures motion = motionFigures(samples, coordinates, run);
    route.hasMovingTime = motion.hasMovingTime;
    route.movingSeconds = motion.movingSeconds;
    route.hasMaxSpeed = motion.hasMaxSpeed;
    route.maxSpeedKmh = motion.maxSpeedKmh;
    ElevationProfile profile = elevationProfile(samples, sums.elevation);
    route.elevationProfile = std::move(profile.points);
    route.elevationLowest = profile.lowest;
    route.elevationHighest = profile.highest;
}

constexpr size_t kKeptFileBytes = size_t{16} << 20;
constexpr size_t kKeptCoordinates = size_t{1} << 20;

void trimScratch(AnalysisMemory& scratch) {
    trimFileBuffer(scratch.file, kKeptFileBytes);
    for (auto* coordinates : {&scratch.trackCoordinates, &scratch.routeCoordinates}) {
        coordinates->clear();
        if (coordinates->capacity() > kKeptCoordinates)
            std::vector<std::pair<double, double>>().swap(*coordinates);
    }
    for (auto* samples : {&scratch.trackSamples, &scratch.routeSamples}) {
        samples->clear();
        if (samples->capacity() > kKeptCoordinates) std::vector<PointSample>().swap(*samples);
    }
    scratch.speedRun.clear();
    if (scratch.speedRun.capacity() > kKeptCoordinates) std::vector<Timed>().swap(scratch.speedRun);
}

// What the single pass hands over, turned into points and weather notes as it comes.
struct Collector {
    std::string_view text;
    std::vector<std::pair<double, double>>& trackCoordinates;
    std::vector<std::pair<double, double>>& routeCoordinates;
    std::vector<PointSample>& trackSamples;
    std::vector<PointSample>& routeSamples;
    std::string buffer{};
    PointSums track{};
    PointSums route{};
    PointSums segmentStart{};  // the track's sums when the current segment began
    size_t segmentStartSize = 0;
    int32_t segment = 0;  // index of the current segment
    WeatherNotes weather{};
};

const RouteScanSink kCollectorSink = {
    nullptr,
    [](void* context) {
        auto& c = *static_cast<Collector*>(context);
        c.segmentStart = c.track;
        c.segmentStartSize = c.trackCoordinates.size();
    },
    [](void* context, bool kept) {
        auto& c = *static_cast<Collector*>(context);
        if (kept) {
            if (c.segment < std::numeric_limits<int32_t>::max()) ++c.segment;
        } else {
            c.track = c.segmentStart;
            c.trackCoordinates.resize(c.segmentStartSize);
            c.trackSamples.resize(c.segmentStartSize);
        }
    },
    [](void* context, const PointMatch& match) {
        auto& c = *static_cast<Collector*>(context);
        TrackPoint point;
        if (!readPointFields(c.text, match, point, c.buffer)) return;
        point.segment = c.segment;
        addPoint(c.track, {c.trackCoordinates, c.trackSamples}, point);
        addExtras(c.track, c.text, match, c.buffer);
    },
    [](void* context, const PointMatch& match, const TrackPoint& fields) {
        auto& c = *static_cast<Collector*>(context);
        TrackPoint point = fields;
        point.segment = c.segment;
        addPoint(c.track, {c.trackCoordinates, c.trackSamples}, point);
        addExtras(c.track, c.text, match, c.buffer);
    },
    [](void* context, const PointMatch& match) {
        auto& c = *static_cast<Collector*>(context);
        TrackPoint point;
        if (readPointFields(c.text, match, point, c.buffer))
            addPoint(c.route, {c.routeCoordinates, c.routeSamples}, point);
    },
    [](void* context, const OpenTagMatch& match) {
        auto& c = *static_cast<Collector*>(context);
        addWeatherNote(c.text.substr(match.attributesStart, match.attributesEnd - match.attributesStart),
                       c.weather);
    },
};

void analyzeInto(RouteInfo& route, std::string_view text, AnalysisMemory& scratch) {
    Collector collector{.text = text,
                        .trackCoordinates = scratch.trackCoordinates,
                        .routeCoordinates = scratch.routeCoordinates,
                        .trackSamples = scratch.trackSamples,
                        .routeSamples = scratch.routeSamples};
    RouteScanSink sink = kCollectorSink;
    sink.context = &collector;
    const RouteScan scan = scanRoute(text, sink);

    // Segments, or the whole text as the one segment of a route.
    const PointSums& sums = scan.hasSegments ? collector.track : collector.route;
    const std::vector<std::pair<double, double>>& coordinates =
        scan.hasSegments ? collector.trackCoordinates : collector.routeCoordinates;
    const std::vector<PointSample>& samples =
        scan.hasSegments ? collector.trackSamples : collector.routeSamples;
    // A cut file keeps the figures of what is there, but says that it is cut; cut before its first
    // point, that is the reason it has none.
    if (sums.count == 0) {
        route.errorText = scan.endsEarly ? kMessageEndsEarly : kMessageNoPoints;
        return;
    }
    if (scan.endsEarly) route.warningText = kMessageEndsEarly;
    route.pointCount = sums.count <= std::numeric_limits<uint32_t>::max()
                           ? static_cast<uint32_t>(sums.count)
                           : std::numeric_limits<uint32_t>::max();

    const TrackPoint& first = sums.first;
    const TrackPoint& last = sums.last;
    route.hasStartPlace = true;
    route.hasFinishPlace = true;
    route.startLat = first.lat;
    route.startLon = first.lon;
    route.finishLat = last.lat;
    route.finishLon = last.lon;
    route.startPlace = coordinateText(route.startLat, route.startLon);
    route.finishPlace = coordinateText(route.finishLat, route.finishLon);
    route.distanceMeters = sums.distance;
    route.ascentMeters = sums.ascent;
    route.hasTimestamps = sums.timedCount > 0;
    if (sums.timedCount >= 2 && sums.lastTime > sums.firstTime)
        route.durationSeconds = sums.lastTime - sums.firstTime;
    route.isRoundTrip = route.distanceMeters >= 1000 && haversineMeters(first, last) < 200;

    // Texts the record keeps come out as UTF-8 whatever single-byte encoding the file declares.
    const TextEncoding encoding = declaredEncoding(text);
    std::string buffer;
    if (scan.hasName) route.routeName = textToUtf8(elementContentView(text, scan.name, buffer), encoding);
    if (route.routeName.empty()) route.routeName = route.fileStem;

    classifySport(
        scan.hasType ? textToUtf8(elementContentView(text, scan.type, buffer), encoding) : std::string(),
        route);

    {
        std::string_view time =
            scan.hasTime ? elementContentView(text, scan.time, buffer) : std::string_view();
        DateMatch date;
        if (findDate(time, date)) {
            route.dateText.reserve(8);
            route.dateText.append(date.day)
                .append(".")
                .append(date.month)
                .append(".")
                .append(date.year.substr(2));
            // The same element as a number, for what needs the instant rather than the text.
            StampInstant instant;
            if (readStampInstant(time, instant)) {
                route.hasFirstTime = true;
                route.firstTimeSeconds = instant.seconds;
                route.firstTimeOffsetMinutes = instant.offsetMinutes;
            }
        }
        if (route.dateText.empty()) route.dateText = kEnDash;
    }

    const size_t count = coordinates.size();
    size_t step = count < 500 ? 1 : count / 250;
    route.outline.reserve(count / step + 2);
    for (size_t i = 0; i < count; i += step) route.outline.push_back(coordinates[i]);
    if (route.outline.back() != std::make_pair(last.lat, last.lon))
        route.outline.emplace_back(last.lat, last.lon);

    addTrackFigures(route, sums, samples, coordinates, scratch.speedRun);
    summarizeWeather(collector.weather, route);
    if (encoding != TextEncoding::utf8) {
        route.windDirection = textToUtf8(route.windDirection, encoding);
        route.weatherCondition = textToUtf8(route.weatherCondition, encoding);
    }
}

void guardedAnalysis(RouteInfo& route, std::string_view text, AnalysisMemory& scratch) {
    try {
        if (startsWithUtf16Mark(text)) {
            analyzeInto(route, utf16BytesToUtf8(text), scratch);
            return;
        }
        analyzeInto(route, text, scratch);
    } catch (const GpxFailure& failure) {
        route.errorText = failure.what();
    } catch (const std::exception&) {
        // Out of memory and the like say nothing about the file: it reads as unreadable, which the
        // user is told in their language and which the index does not keep, so it is read again.
        route.errorText = kMessageCannotRead;
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

RouteInfo analyzeGpxFile(const std::filesystem::path& path, AnalysisMemory& scratch) {
    RouteInfo route;
    startRecord(route, path);
    size_t size = 0;
    bool tooLarge = false;
    if (!readWholeFile(path, scratch.file, size, &tooLarge)) {
        route.errorText = tooLarge ? kMessageTooLarge : kMessageCannotRead;
    } else {
        const std::string_view bytes(scratch.file.data, size);
        // Hashed while the bytes are in memory anyway; a second read of every file would cost more.
        route.hasContentHash = true;
        route.contentHash = contentHash(bytes);
        guardedAnalysis(route, bytes, scratch);
    }
    trimScratch(scratch);
    return route;
}

RouteInfo analyzeGpxFile(const std::filesystem::path& path) {
    AnalysisMemory memory;
    return analyzeGpxFile(path, memory);
}

RouteInfo analyzeGpxText(const std::filesystem::path& path, std::string_view text) {
    RouteInfo route;
    startRecord(route, path);
    AnalysisMemory scratch;
    route.hasContentHash = true;
    route.contentHash = contentHash(text);
    guardedAnalysis(route, text, scratch);
    return route;
}

double haversineMeters(const TrackPoint& a, const TrackPoint& b) {
    return haversineWithCos(a, b, std::cos(toRadians(a.lat)), std::cos(toRadians(b.lat)));
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
