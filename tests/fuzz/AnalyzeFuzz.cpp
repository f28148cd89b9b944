// libFuzzer target: any bytes analyse into a record without crashing, and the record keeps the
// invariants every later reader relies on.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/MarkupText.h"
#include "core/TrackAnalysis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    RouteInfo route = analyzeGpxText("fuzz.gpx", text);
    bool analysed = route.errorText.empty();
    if (route.hasStartPlace != route.hasFinishPlace || route.hasStartPlace != (route.pointCount > 0))
        std::abort();
    if (analysed && (route.outline.empty() || route.sportLabel.empty() || route.dateText.empty()))
        std::abort();
    if (analysed && route.outline.back() != std::make_pair(route.finishLat, route.finishLon)) std::abort();
    if (!std::isfinite(route.distanceMeters) || !std::isfinite(route.durationSeconds)) std::abort();
    if (!std::isfinite(route.temperatureC) || !std::isfinite(route.humidityPercent) ||
        !std::isfinite(route.windKmh)) {
        std::abort();
    }
    for (const auto& [lat, lon] : route.outline) {
        if (!std::isfinite(lat) || !std::isfinite(lon)) std::abort();
    }
    // The helpers on their own, with names the analysis uses.
    (void)elementText(text, "name");
    (void)attributeNumber(text, "lat");
    (void)decodeEntities(text);
    return 0;
}
