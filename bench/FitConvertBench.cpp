// FIT import speed: every FIT file of the real-world corpus (or of the folder given) decoded and
// written as GPX, from memory, best of several rounds; prints MB/s of FIT read and of GPX written,
// by processor time (which scatters far less than the wall time on a shared machine).
// Usage: FitConvertBench [FOLDER]   (default ../shared/corpus/fit beside the project)

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/FitDecoder.h"
#include "core/GpxWriter.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::path(TIRN_SOURCE_DIR) / "../shared/corpus/fit";
    std::vector<std::string> files;
    size_t fitBytes = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        if (extension != ".fit") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        fitBytes += files.back().size();
    }
    if (files.empty()) {
        std::fprintf(stderr, "no FIT files in %s\n", folder.string().c_str());
        return 1;
    }
    auto seconds = [](std::clock_t since) { return double(std::clock() - since) / CLOCKS_PER_SEC; };
    double best = 1e30, bestDecode = 1e30;
    size_t gpxBytes = 0, points = 0;
    for (int round = 0; round < 7; ++round) {
        std::clock_t start = std::clock();
        for (const std::string& file : files) points += decodeFit(file).activities.size();
        bestDecode = std::min(bestDecode, seconds(start));

        gpxBytes = points = 0;
        start = std::clock();
        for (const std::string& file : files) {
            for (const Activity& activity : decodeFit(file).activities) {
                for (const ActivitySegment& segment : activity.segments) points += segment.points.size();
                gpxBytes += gpxFromActivity(activity, activityFileStem(activity, "Sport")).size();
            }
        }
        best = std::min(best, seconds(start));
    }
    const double mb = fitBytes / 1e6;
    std::printf("%zu FIT files, %.1f MB, %zu points with a position, %.1f MB of GPX written\n", files.size(),
                mb, points, gpxBytes / 1e6);
    std::printf("decode only:      %8.1f MB/s of FIT\n", mb / bestDecode);
    std::printf("decode + write:   %8.1f MB/s of FIT (%.1f MB/s of GPX written)\n", mb / best,
                gpxBytes / 1e6 / best);
    return 0;
}
