// A sport written into many selected files, as the window's worker does it: the rewrite loop with
// its undo record, saving the record, and undoing it again. Prints the times; asserts nothing.
//
//   BulkSportBench [FILES [POINTS [FOLDER]]]    default 1,000 files of 2,000 points in
//                                               build/bench-data/bulk-sport

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "library/BulkSport.h"
#include "library/UndoRecord.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string routeText(int file, int points) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\">\n<trk><name>Route " +
        std::to_string(file) + "</name><type>hiking</type><trkseg>\n";
    char line[160];
    for (int i = 0; i < points; ++i) {
        std::snprintf(line, sizeof line,
                      "<trkpt lat=\"%.6f\" "
                      "lon=\"%.6f\"><ele>%.1f</ele><time>2024-05-01T%02d:%02d:%02dZ</time></trkpt>\n",
                      47.0 + i * 0.0001, 8.0 + file * 0.001, 400.0 + i % 50, 6 + i / 3600, i / 60 % 60,
                      i % 60);
        text += line;
    }
    return text + "</trkseg></trk>\n</gpx>\n";
}

}  // namespace

int main(int argc, char** argv) {
    const int fileCount = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int points = argc > 2 ? std::atoi(argv[2]) : 2000;
    const fs::path folder = argc > 3 ? fs::path(argv[3]) : fs::path("build/bench-data/bulk-sport");
    fs::create_directories(folder / "files");
    std::vector<fs::path> files;
    std::uint64_t bytes = 0;
    for (int i = 0; i < fileCount; ++i) {
        files.push_back(folder / "files" / ("route-" + std::to_string(i) + ".gpx"));
        const std::string text = routeText(i, points);
        writeFileDurably(files.back(), text);
        bytes += text.size();
    }
    std::printf("%d files, %.1f MB in all\n", fileCount, static_cast<double>(bytes) / 1e6);

    auto start = Clock::now();
    std::size_t changed = 0;
    UndoRecord record = changeSportOfFiles(
        files, "cycling", nullptr, [&](const SportChangeResult& result) { changed += result.changed; });
    const double rewrite = secondsSince(start);
    std::printf("sport change: %zu of %d files in %.2f s (%.2f ms a file)\n", changed, fileCount, rewrite,
                1000.0 * rewrite / fileCount);

    const fs::path undo = folder / "undo";
    fs::remove_all(undo);
    start = Clock::now();
    const bool saved = saveUndoRecord(undo, std::move(record));
    std::printf("undo record saved: %s in %.2f s\n", saved ? "yes" : "no", secondsSince(start));

    start = Clock::now();
    const std::optional<UndoRecord> taken = takeNewestUndoRecord(undo);
    const UndoOutcome outcome = taken ? undoChange(*taken) : UndoOutcome{};
    std::printf("undo: %zu files restored, %zu left alone in %.2f s\n", outcome.restored,
                outcome.leftAlone.size(), secondsSince(start));
    return 0;
}
