#pragma once
// Turns one GPX file into one RouteInfo; never throws for a bad file.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/RouteInfo.h"

struct TrackPoint {
    double lat = 0;
    double lon = 0;
    double ele = 0;
    double time = 0;
    bool hasEle = false;
    bool hasTime = false;
    int32_t segment = 0;
};

RouteInfo analyzeGpxFile(const std::filesystem::path& path);
// The analysis of bytes already in memory, as if read from `path` (used by the fuzzer and tests).
RouteInfo analyzeGpxText(const std::filesystem::path& path, std::string_view text);
double haversineMeters(const TrackPoint& a, const TrackPoint& b);
std::string coordinateText(double latitude, double longitude);
