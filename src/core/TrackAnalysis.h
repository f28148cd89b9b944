#pragma once
// Turns one GPX file into one RouteInfo; never throws for a bad file.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/PointFields.h"
#include "core/RouteInfo.h"
#include "core/TrackFigures.h"
#include "platform/Platform.h"

// Memory that an analysing thread keeps from file to file: touching fresh pages costs more than
// reading a file into pages already there. Large leftovers are given back after each file. Each
// worker owns one; it is not thread_local because with mingw's static runtime the destructors of
// thread_local objects run after the thread's storage is gone, which corrupts the heap.
struct AnalysisMemory {
    FileBuffer file;
    std::vector<std::pair<double, double>> trackCoordinates;
    std::vector<std::pair<double, double>> routeCoordinates;
    std::vector<PointSample> trackSamples;  // one for each coordinate pair
    std::vector<PointSample> routeSamples;
    std::vector<Timed> speedRun;
};

RouteInfo analyzeGpxFile(const std::filesystem::path& path, AnalysisMemory& memory);
// The same with memory of its own, for a single file.
RouteInfo analyzeGpxFile(const std::filesystem::path& path);
// The analysis of bytes already in memory, as if read from `path` (used by the fuzzer and tests).
RouteInfo analyzeGpxText(const std::filesystem::path& path, std::string_view text);
double haversineMeters(const TrackPoint& a, const TrackPoint& b);
std::string coordinateText(double latitude, double longitude);
