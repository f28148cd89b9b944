// Peak memory of a scan of very large files: four GPX files of 1 GB each (generated once into a
// folder by repeating a block of recorded points), analysed by readLibrary on every processor.
// Prints the peak resident memory of the process (getrusage), the most file text the workers held
// at once by the files' sizes, and the time; asserts nothing.
//
//   ScanMemoryBench [FOLDER [FILES [MB [BUDGET_MB]]]]
//                          default: $TMPDIR/tirn-scan-memory, 4 files of 1,024 MB, the scan's own
//                          budget (BUDGET_MB sets another, e.g. a huge one to see the scan without)
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "library/LibraryScan.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

// About 1 MB of points as a device records them: time, elevation and sensor extensions.
std::string pointBlock() {
    std::string block;
    char point[400];
    for (int i = 0; block.size() < (std::size_t{1} << 20); ++i) {
        std::snprintf(point, sizeof point,
                      "      <trkpt lat=\"47.%06d\" lon=\"8.%06d\">\n        <ele>%d.4</ele>\n"
                      "        <time>2024-05-01T%02d:%02d:%02dZ</time>\n        <extensions>\n"
                      "          <ns3:TrackPointExtension><ns3:hr>%d</ns3:hr><ns3:cad>%d</ns3:cad>"
                      "</ns3:TrackPointExtension>\n        </extensions>\n      </trkpt>\n",
                      100000 + i % 900000, 200000 + i * 7 % 700000, 400 + i % 300, 6 + i / 3600 % 12,
                      i / 60 % 60, i % 60, 100 + i % 60, 70 + i % 30);
        block += point;
    }
    return block;
}

void writeLargeFile(const fs::path& path, std::uint64_t megabytes, const std::string& block) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (!error && size >= megabytes << 20) return;  // made by an earlier run
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" "
           "xmlns:ns3=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\">\n"
           "  <trk>\n    <name>Large</name>\n    <type>cycling</type>\n    <trkseg>\n";
    for (std::uint64_t written = 0; written < megabytes << 20; written += block.size()) out << block;
    out << "    </trkseg>\n  </trk>\n</gpx>\n";
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "tirn-scan-memory";
    const int files = argc > 2 ? std::stoi(argv[2]) : 4;
    const std::uint64_t megabytes = argc > 3 ? std::stoull(argv[3]) : 1024;
    if (argc > 4) setScanMemoryBudgetForTests(std::stoull(argv[4]) << 20);
    fs::create_directories(folder);
    const std::string block = pointBlock();
    const auto generating = std::chrono::steady_clock::now();
    for (int i = 0; i < files; ++i) {
        writeLargeFile(folder / ("large " + std::to_string(i) + ".gpx"), megabytes, block);
    }
    std::printf("%d files of %llu MB in %s (%.1f s to make)\n", files,
                static_cast<unsigned long long>(megabytes), folder.string().c_str(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - generating).count());
    std::fflush(stdout);

    LibraryScanCounts counts;
    const auto start = std::chrono::steady_clock::now();
    const auto routes = readLibrary(folder, {.index = LibraryIndexUse::none}, &counts);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::uint64_t points = 0;
    for (const RouteInfo& route : routes) points += route.pointCount;
    std::printf("%u usable processors; scan %.1f s (%.0f MB/s), %llu points, %zu records%s\n",
                usableProcessorCount(), seconds, static_cast<double>(files * megabytes) / seconds,
                static_cast<unsigned long long>(points), routes.size(),
                routes.empty() || !routes[0].errorText.empty() ? " (errors!)" : "");
    std::printf("peak resident %.0f MB; file text held at once at most %.0f MB; physical memory %.0f MB\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0,
                static_cast<double>(counts.peakHeldBytes) / 1048576.0,
                static_cast<double>(physicalMemoryBytes()) / 1048576.0);
    return 0;
}
