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
// points or no distance between the first and the last; a rise under 50 m is drawn as 50 m around
// the middle, so a flat profile runs through it.
ProfileGeometry projectProfile(const std::vector<std::pair<double, double>>& profile, int32_t left,
                               int32_t top, int32_t width, int32_t height);
