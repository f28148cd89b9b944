// The scan of an unchanged library with its index, as the Windows program does it at every start
// (no window: readLibrary alone), for 10,000 generated routes of 200 points dated a day back.
// Run under Wine like gui_bench.exe; prints figures, asserts nothing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library/LibraryScan.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

int main() {
    const fs::path root = fs::temp_directory_path() / "tirn-warm-scan-bench";
    const fs::path library = root / "library";
    std::error_code ignored;
    fs::remove_all(root, ignored);
    fs::create_directories(library);
    setLocalCacheFolderOverride(root / "cache");
    constexpr int kFiles = 10000;
    for (int file = 0; file < kFiles; ++file) {
        std::string text = "<gpx><trk><name>Route " + std::to_string(file) + "</name><trkseg>\n";
        for (int i = 0; i < 200; ++i) {
            text += "<trkpt lat=\"47." + std::to_string(100000 + file * 7 + i * 37) + "\" lon=\"8." +
                    std::to_string(200000 + i * 53) + "\"><ele>" + std::to_string(400 + i % 90) +
                    "</ele><time>2024-05-0" + std::to_string(1 + file % 9) +
                    "T10:" + std::to_string(10 + i / 60) + ":" + std::to_string(10 + i % 50) +
                    "Z</time></trkpt>\n";
        }
        std::ofstream(library / ("Route " + std::to_string(file) + ".gpx"), std::ios::binary)
            << text << "</trkseg></trk></gpx>\n";
    }
    const auto dayAgo = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (const auto& entry : fs::directory_iterator(library))
        fs::last_write_time(entry.path(), dayAgo, ignored);

    const auto milliseconds = [](auto duration) {
        return std::chrono::duration<double, std::milli>(duration).count();
    };
    auto start = std::chrono::steady_clock::now();
    readLibrary(library);
    const double first = milliseconds(std::chrono::steady_clock::now() - start);
    std::vector<double> warm;
    LibraryScanCounts counts;
    for (int run = 0; run < 9; ++run) {
        start = std::chrono::steady_clock::now();
        readLibrary(library, {}, &counts);
        warm.push_back(milliseconds(std::chrono::steady_clock::now() - start));
    }
    std::sort(warm.begin(), warm.end());
    std::printf(
        "%d files: first scan %.0f ms; warm start (%zu from the index) fastest %.1f ms, median %.1f ms\n",
        kFiles, first, counts.fromIndex, warm.front(), warm[warm.size() / 2]);
    fs::remove_all(root, ignored);
    return 0;
}
