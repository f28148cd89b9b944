#pragma once
// Deterministic, realistic GPX for the benchmarks: Garmin-style track points with lat/lon
// attributes, elevation, time and heart-rate/cadence extensions.

#include <cstdint>
#include <filesystem>
#include <string>

// splitmix64: tiny, fast and identical everywhere (the standard distributions are not).
struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high).
    double uniform(double low, double high) {
        return low + (high - low) * static_cast<double>(next() >> 11) * 0x1.0p-53;
    }
};

// The text of one activity: `pointCount` points in `segmentCount` segments, the same for the
// same seed on every machine.
std::string generateActivity(uint64_t seed, uint32_t pointCount, uint32_t segmentCount);

// Writes `fileCount` files of `pointsPerFile` points into `folder` (created when missing).
void writeLibrary(const std::filesystem::path& folder, uint32_t fileCount, uint32_t pointsPerFile);
// Writes one single-segment file of at least `minimumBytes` bytes.
void writeLargeFile(const std::filesystem::path& file, uint64_t minimumBytes);
