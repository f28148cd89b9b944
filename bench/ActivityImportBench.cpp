// ActivityImportBench: importing 1,000 activity files (about 100 MB) against analysing the GPX
// files they become. Generates TCX files (the FIT decoder's files join once it is part of the
// program) into a scratch folder, imports them into an empty library with importSources, then
// analyses every GPX file of the library as the scan does. Also the conversion alone (read, parse,
// GPX text), without the durable writes, to show what the disk's flushes cost.
//   ActivityImportBench [FOLDER]   (default build/import-bench; removed and written afresh)

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/TrackAnalysis.h"
#include "library/ActivityImport.h"
#include "library/ConvertToGpx.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string tcxFile(int index, int points) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TrainingCenterDatabase>\n<Activities>\n"
        "<Activity Sport=\"Biking\">\n<Id>2024-05-01T06:00:00Z</Id>\n<Lap StartTime=\"2024-05-01T06:00:00Z\">"
        "\n<Track>\n";
    char line[512];
    for (int i = 0; i < points; ++i) {
        const double lat = 47.0 + index * 0.001 + 0.0001 * i;
        const double lon = 8.0 + 0.0001 * i + 0.00005 * std::sin(i * 0.1);
        std::snprintf(
            line, sizeof line,
            "<Trackpoint><Time>2024-05-01T%02d:%02d:%02dZ</Time><Position><LatitudeDegrees>%.7f"
            "</LatitudeDegrees><LongitudeDegrees>%.7f</LongitudeDegrees></Position><AltitudeMeters>%.1f"
            "</AltitudeMeters><DistanceMeters>%.1f</DistanceMeters><HeartRateBpm><Value>%d</Value>"
            "</HeartRateBpm><Cadence>%d</Cadence></Trackpoint>\n",
            6 + i / 3600, i / 60 % 60, i % 60, lat, lon, 400 + 20 * std::sin(i * 0.01), i * 8.5, 120 + i % 30,
            80 + i % 10);
        text += line;
    }
    return text + "</Track>\n</Lap>\n</Activity>\n</Activities>\n</TrainingCenterDatabase>\n";
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path root = argc > 1 ? fs::path(argv[1]) : fs::path("build") / "import-bench";
    fs::remove_all(root);
    const fs::path sources = root / "sources", library = root / "library";
    fs::create_directories(sources);
    std::vector<fs::path> files;
    std::uintmax_t bytes = 0;
    for (int i = 0; i < 1000; ++i) {
        files.push_back(sources / ("activity-" + std::to_string(i) + ".tcx"));
        const std::string text = tcxFile(i, 340);
        bytes += text.size();
        writeFileDurably(files.back(), text);
    }
    std::printf("sources: %zu TCX files, %.1f MB\n", files.size(), bytes / 1e6);

    auto start = std::chrono::steady_clock::now();
    FileBuffer buffer;
    std::size_t converted = 0;
    for (const fs::path& file : files) {
        std::size_t size = 0;
        if (!readWholeFile(file, buffer, size)) continue;
        converted += convertToGpx(std::string_view(buffer.data, size), SourceKind::tcx, "a.tcx").size();
    }
    const double convertSeconds = secondsSince(start);

    start = std::chrono::steady_clock::now();
    std::size_t arrived = 0;
    for (const ImportItem& item : importSources(library, files)) arrived += !item.result.target.empty();
    const double importSeconds = secondsSince(start);

    double best = 1e9;
    std::uintmax_t gpxBytes = 0;
    for (int run = 0; run < 3; ++run) {
        start = std::chrono::steady_clock::now();
        AnalysisMemory memory;
        std::size_t analysed = 0;
        gpxBytes = 0;
        for (const auto& entry : fs::directory_iterator(library)) {
            analysed += analyzeGpxFile(entry.path(), memory).pointCount > 0;
            gpxBytes += entry.file_size();
        }
        best = std::min(best, secondsSince(start));
        if (analysed != arrived) std::printf("only %zu of %zu files analysed\n", analysed, arrived);
    }
    std::printf("import:       %zu files in %.2f s (%.1f MB of GPX written durably)\n", arrived,
                importSeconds, gpxBytes / 1e6);
    std::printf("conversion:   %zu activities in %.2f s (read, parse, GPX text; no writes)\n", converted,
                convertSeconds);
    std::printf("analysis:     %.2f s (best of 3) of the %zu GPX files\n", best, arrived);
    std::printf("import/analysis %.1fx, conversion/analysis %.1fx\n", importSeconds / best,
                convertSeconds / best);
    fs::remove_all(root);
    return 0;
}
