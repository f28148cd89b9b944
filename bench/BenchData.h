#pragma once
// Deterministic, realistic GPX for the benchmarks: Garmin-style track points with lat/lon
// attributes, elevation, time and heart-rate/cadence extensions.

#include <cstdint>
#include <filesystem>
#include <string>

// The text of one activity: `pointCount` points in `segmentCount` segments, the same for the
// same seed on every machine.
std::string generateActivity(uint64_t seed, uint32_t pointCount, uint32_t segmentCount);

// Writes `fileCount` files of `pointsPerFile` points into `folder` (created when missing).
void writeLibrary(const std::filesystem::path& folder, uint32_t fileCount, uint32_t pointsPerFile);
// Writes one single-segment file of at least `minimumBytes` bytes.
void writeLargeFile(const std::filesystem::path& file, uint64_t minimumBytes);
