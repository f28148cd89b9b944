#pragma once
// Fits a route outline into the sketch view: north up, one scale for both axes, half the margin
// (40 px at 96 DPI) free on each side.

#include <cstdint>
#include <utility>
#include <vector>

struct PixelPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// Empty when the outline has fewer than two points.
std::vector<PixelPoint> projectOutline(const std::vector<std::pair<double, double>>& outline, int32_t width,
                                       int32_t height, int32_t margin = 40);
