// libFuzzer target: any bytes analyse into a record without crashing, and the record keeps the
// invariants every later reader relies on. The single pass of the analysis must also find exactly
// what the separate searches it stands for find (each of them checked against std::regex in the
// unit tests) - here on inputs far larger and stranger than those tests generate.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/MarkupText.h"
#include "core/RouteScan.h"
#include "core/ScanMarkup.h"
#include "core/TrackAnalysis.h"

namespace {

struct Span {
    size_t start, end, attributesStart, attributesEnd, contentStart, contentEnd;
    bool operator==(const Span&) const = default;
};

struct Found {
    std::vector<Span> track, route, weather;
    size_t segmentStart = 0;
};

Found& found(void* context) {
    return *static_cast<Found*>(context);
}

Span pointSpan(const PointMatch& m, size_t offset = 0) {
    const size_t none = SIZE_MAX;
    return {m.start + offset,
            m.end + offset,
            m.attributesStart + offset,
            m.attributesEnd + offset,
            m.hasContent ? m.contentStart + offset : none,
            m.hasContent ? m.contentEnd + offset : none};
}

void check(bool condition, const char* invariant) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", invariant);
    std::abort();
}

// Every match of a point pattern over `text`, shifted by `offset`.
void allPoints(std::string_view text, std::string_view name, size_t offset, std::vector<Span>& out) {
    TagScanner scanner = makeTagScanner(text, {name});
    PointMatch m;
    for (size_t from = 0; findPoint(scanner, from, m); from = m.end) out.push_back(pointSpan(m, offset));
}

bool firstElement(std::string_view text, std::initializer_list<std::string_view> names, ElementMatch& m) {
    TagScanner scanner = makeTagScanner(text, names);
    return findElement(scanner, 0, m);
}

void checkSinglePass(std::string_view text) {
    Found collected;
    RouteScanSink sink;
    sink.context = &collected;
    sink.segmentBegins = [](void* c) { found(c).segmentStart = found(c).track.size(); };
    sink.segmentEnds = [](void* c, bool kept) {
        if (!kept) found(c).track.resize(found(c).segmentStart);
    };
    sink.trackPoint = [](void* c, const PointMatch& m) { found(c).track.push_back(pointSpan(m)); };
    sink.routePoint = [](void* c, const PointMatch& m) { found(c).route.push_back(pointSpan(m)); };
    sink.weather = [](void* c, const OpenTagMatch& m) {
        found(c).weather.push_back({m.start, m.end, m.attributesStart, m.attributesEnd, 0, 0});
    };
    const RouteScan scan = scanRoute(text, sink);

    std::vector<Span> points;
    TagScanner segments = makeTagScanner(text, {"trkseg"});
    ElementMatch segment;
    bool anySegment = false;
    for (size_t from = 0; findElement(segments, from, segment); from = segment.end) {
        anySegment = true;
        allPoints(text.substr(segment.contentStart, segment.contentEnd - segment.contentStart), "trkpt",
                  segment.contentStart, points);
    }
    if (!anySegment) allPoints(text, "rtept", 0, points);
    check(scan.hasSegments == anySegment, "segments");
    check(points == (anySegment ? collected.track : collected.route), "points");

    ElementMatch scope;
    const bool hasScope = firstElement(text, {"trk", "rte"}, scope);
    check(hasScope == scan.hasScope &&
              (!hasScope || (scope.start == scan.scope.start && scope.end == scan.scope.end)),
          "scope");
    const size_t scopeStart = hasScope ? scope.contentStart : 0;
    const std::string_view scoped = hasScope ? text.substr(scopeStart, scope.contentEnd - scopeStart) : text;
    ElementMatch m;
    bool has = firstElement(scoped, {"name"}, m);
    check(has == scan.hasName &&
              (!has || (m.start + scopeStart == scan.name.start && m.end + scopeStart == scan.name.end)),
          "name");
    has = firstElement(scoped, {"type"}, m);
    check(has == scan.hasType &&
              (!has || (m.start + scopeStart == scan.type.start && m.end + scopeStart == scan.type.end)),
          "type");
    has = firstElement(text, {"time"}, m);
    check(has == scan.hasTime && (!has || (m.start == scan.time.start && m.end == scan.time.end)), "time");

    std::vector<Span> weather;
    TagScanner wetter = makeTagScanner(text, {"wetter"});
    for (TagHit open = findOpeningTag(wetter, 0); open.at != kNoPosition;) {
        const size_t gt = findGreater(wetter, open.nameEnd);
        if (gt == kNoPosition) break;
        weather.push_back({open.at, gt + 1, open.nameEnd, gt, 0, 0});
        open = findOpeningTag(wetter, gt + 1);
    }
    check(weather == collected.weather, "weather tags");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    RouteInfo route = analyzeGpxText("fuzz.gpx", text);
    const bool analysed = route.errorText.empty();
    check(route.hasStartPlace == route.hasFinishPlace && route.hasStartPlace == (route.pointCount > 0),
          "places");
    check(!analysed || (!route.outline.empty() && !route.sportLabel.empty() && !route.dateText.empty()),
          "an analysed record is complete");
    check(!analysed || route.outline.back() == std::make_pair(route.finishLat, route.finishLon),
          "outline end");
    check(std::isfinite(route.distanceMeters) && std::isfinite(route.durationSeconds) &&
              std::isfinite(route.temperatureC) && std::isfinite(route.humidityPercent) &&
              std::isfinite(route.windKmh),
          "finite figures");
    for (const auto& [lat, lon] : route.outline)
        check(std::isfinite(lat) && std::isfinite(lon), "finite outline");
    // The profile stays within its bound and in distance order.
    check(route.elevationProfile.size() <= kProfilePoints, "profile bound");
    for (size_t i = 1; i < route.elevationProfile.size(); ++i)
        check(route.elevationProfile[i - 1].first <= route.elevationProfile[i].first, "profile in order");
    check(!route.hasMaxSpeed || route.maxSpeedKmh >= 0, "max speed");
    // The first stamp is read from the element the date comes from: written back in its own zone it
    // names the same day.
    if (route.hasFirstTime) {
        const std::string stamp = stampInstantText(route.firstTimeSeconds, route.firstTimeOffsetMinutes);
        check(stamp.size() >= 10 &&
                  stamp.substr(8, 2) + "." + stamp.substr(5, 2) + "." + stamp.substr(2, 2) == route.dateText,
              "first stamp names the date");
    }
    checkSinglePass(text);
    // The helpers on their own, with names the analysis uses.
    (void)elementText(text, "name");
    (void)attributeNumber(text, "lat");
    (void)decodeEntities(text);
    return 0;
}
