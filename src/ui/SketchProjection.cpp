#include "ui/SketchProjection.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kSmallestSpan = 1e-9;

// Truncation toward zero; what no int32 can hold (also NaN from broken coordinates) is clamped.
int32_t pixelCoordinate(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace

std::vector<PixelPoint> projectOutline(const std::vector<std::pair<double, double>>& outline, int32_t width,
                                       int32_t height, int32_t margin) {
    std::vector<PixelPoint> pixels;
    if (outline.size() < 2) return pixels;

    // NaN coordinates never win a comparison, so they stay out of the bounds.
    double minLat = std::numeric_limits<double>::infinity();
    double maxLat = -minLat;
    double minLon = minLat;
    double maxLon = -minLat;
    for (const auto& [lat, lon] : outline) {
        if (lat < minLat) minLat = lat;
        if (lat > maxLat) maxLat = lat;
        if (lon < minLon) minLon = lon;
        if (lon > maxLon) maxLon = lon;
    }
    double spanLon = maxLon - minLon;
    double spanLat = maxLat - minLat;
    if (!(spanLon >= kSmallestSpan)) spanLon = kSmallestSpan;
    if (!(spanLat >= kSmallestSpan)) spanLat = kSmallestSpan;

    // The box sizes are integers first; 64 bits so that no client size can overflow them.
    const double boxHeight = static_cast<double>(static_cast<int64_t>(height) - margin);
    const double boxWidth = static_cast<double>(static_cast<int64_t>(width) - margin);
    const double scaleLat = boxHeight / spanLat;
    const double scaleLon = boxWidth / spanLon;
    const double scale = scaleLat < scaleLon ? scaleLat : scaleLon;
    const double offsetX = (width - spanLon * scale) * 0.5;
    const double offsetY = (height - spanLat * scale) * 0.5;

    pixels.reserve(outline.size());
    for (const auto& [lat, lon] : outline) {
        pixels.push_back({pixelCoordinate((lon - minLon) * scale + offsetX),
                          pixelCoordinate((maxLat - lat) * scale + offsetY)});
    }
    return pixels;
}
