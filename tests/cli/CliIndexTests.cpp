#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/CliJson.h"
#include "core/SportRewrite.h"
#include "library/LibraryIndex.h"
#include "library/LibraryScan.h"
#include "library/LibraryTestSupport.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

// The configured library (the Documents folder's) and the cache in scratch folders.
struct CliIndex : ScratchSettings {
    fs::path library;
    void SetUp() override {
        ScratchSettings::SetUp();
        library = temp.path / "documents" / "Tirn GPX Library";
        fs::create_directories(library);
    }
    std::string summary(bool noIndex) {
        std::vector<CliArgument> arguments{cliArgumentFromUtf8("summary"), cliArgumentFromUtf8("--json")};
        if (noIndex) arguments.push_back(cliArgumentFromUtf8("--no-index"));
        CliOutput output;
        EXPECT_EQ(runCli(arguments, output), 0) << output.err;
        return output.out;
    }
    // The summary taken through the index is the one read from the files, twice in a row.
    void expectSameAsWithoutIndex(const char* step) {
        const std::string plain = summary(true);
        EXPECT_EQ(summary(false), plain) << step;
        EXPECT_EQ(summary(false), plain) << step;
    }
};

void makeOld(const fs::path& file, int seconds = 3600) {
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::seconds(seconds));
}

// Every field of every record, and its path.
std::string everything(const std::vector<RouteInfo>& routes) {
    std::string text;
    for (const RouteInfo& route : routes) text += pathToUtf8(route.filePath) + " " + routeJson(route) + "\n";
    return text;
}

std::string generatedTrack(int seed) {
    std::string text = "<gpx><trk><name>G" + std::to_string(seed % 4) + "</name><trkseg>";
    const int points = seed % 9 == 0 ? 0 : 2 + seed * 37 % 700;
    for (int i = 0; i < points; ++i) {
        text += "<trkpt lat=\"46." + std::to_string(1000 + (seed * 131 + i * 17) % 9000) + "\" lon=\"7." +
                std::to_string(1000 + i * 23 % 9000) + "\"><ele>" + std::to_string(500 + (i * seed) % 300) +
                "</ele><time>2023-0" + std::to_string(1 + seed % 2) + "-0" + std::to_string(1 + seed % 3) +
                "T10:" + std::to_string(10 + i / 60 % 50) + ":" + std::to_string(10 + i % 50) +
                "Z</time></trkpt>";
    }
    return text + "</trkseg></trk></gpx>";
}

}  // namespace

TEST_F(CliIndex, TheIndexNeverChangesWhatTheSummaryShows) {
    for (const char* name : {"Englischer Garten Lauf", "Greifensee-Runde", "Pilatus-Aufstieg",
                             "Bodanrueck-Route", "Rastplaetze"}) {
        const std::string bytes = readBytes(projectPath("examples") / (std::string(name) + ".gpx"));
        writeBytes(library / (std::string(name) + ".gpx"), bytes);
        writeBytes(library / fs::path(utf8ToWide(std::string("\xC3\x96 ") + name + ".gpx")), bytes);
    }
    writeBytes(library / "broken.gpx", "<gpx><trk><trkseg><trkpt lat=\"1\"");
    for (const auto& entry : fs::directory_iterator(library)) makeOld(entry.path());
    expectSameAsWithoutIndex("first");
    EXPECT_TRUE(fs::is_regular_file(libraryIndexPath(library)));

    // Edits, renames and deletions: tests/library/LibraryIndexTests.cpp.
    // The sport rewritten in place, as the window does: the same size when the keys are as long.
    RouteInfo route;
    route.filePath = library / "Englischer Garten Lauf.gpx";
    std::string message;
    ASSERT_TRUE(rewriteSport(route, "hiking", message)) << message;
    expectSameAsWithoutIndex("rewritten");
    ASSERT_TRUE(rewriteSport(route, "skiing", message)) << message;
    makeOld(route.filePath, 1800);
    expectSameAsWithoutIndex("rewritten, same size, older time");

    // --no-index renews the index with what it read: the next summary takes every record from it.
    fs::remove(libraryIndexPath(library));
    const std::string plain = summary(true);
    LibraryScanCounts counts;
    readLibrary(library, {}, &counts);
    EXPECT_EQ(counts.fromIndex, counts.files);
    EXPECT_EQ(summary(false), plain);
}

TEST(ParallelScan, RecordsAreThoseOfOneThread) {
    TempFolder generated;
    for (int seed = 0; seed < 60; ++seed) {
        writeBytes(generated.path / ("t" + std::to_string(seed % 20) + "-" + std::to_string(seed) + ".gpx"),
                   generatedTrack(seed));
    }
#ifndef _WIN32
    // Names that differ only in case share a stem: the file name decides, not the thread.
    writeBytes(generated.path / "same.gpx", generatedTrack(1));
    writeBytes(generated.path / "same.GPX", generatedTrack(1));
#endif
    std::vector<fs::path> folders{generated.path};
    if (fs::is_directory(corpusFolder())) folders.push_back(corpusFolder());
    for (const fs::path& folder : folders) {
        LibraryScanOptions options;
        options.index = LibraryIndexUse::none;
        options.threads = 1;
        const std::string oneThread = everything(readLibrary(folder, options));
        options.threads = 5;
        const int runs = folder == generated.path ? 3 : 1;
        for (int run = 0; run < runs; ++run) EXPECT_EQ(everything(readLibrary(folder, options)), oneThread);
    }
}
