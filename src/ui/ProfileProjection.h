#pragma once
// Fits an elevation profile into a box of the panel: distance along the route across, elevation
// up, the lowest elevation on the box's bottom and the highest on its top.

#include <cstdint>
#include <utility>
#include <vector>

#include "ui/SketchProjection.h"

struct ProfileGeometry {
    std::vector<PixelPoint> line;  // left to right; empty when there is nothing to draw
    PixelPoint lowest;             // where the lowest and the highest elevation are first reached
    PixelPoint highest;
};

// `profile` holds (metres along, elevation) pairs in order. Nothing to draw with fewer than two
// points or no distance between the first and the last; a flat profile runs through the middle.
ProfileGeometry projectProfile(const std::vector<std::pair<double, double>>& profile, int32_t left,
                               int32_t top, int32_t width, int32_t height);
