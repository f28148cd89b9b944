#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "LibraryTestSupport.h"
#include "core/Failure.h"
#include "library/LibraryScan.h"

namespace fs = std::filesystem;

namespace {

std::string gpxWithTime(const std::string& time) {
    std::string text =
        "<?xml version=\"1.0\"?>\n<gpx><trk><name>x</name><trkseg>"
        "<trkpt lat=\"47.0\" lon=\"8.0\">";
    if (!time.empty()) text += "<time>" + time + "</time>";
    text += "</trkpt><trkpt lat=\"47.01\" lon=\"8.0\"></trkpt></trkseg></trk></gpx>\n";
    return text;
}

std::vector<std::string> stems(const std::vector<RouteInfo>& routes) {
    std::vector<std::string> result;
    for (const RouteInfo& route : routes) result.push_back(route.fileStem);
    return result;
}

}  // namespace

using LibraryScanTest = ScratchSettings;

TEST_F(LibraryScanTest, ReadsOnlyGpxFilesDirectlyInTheFolder) {
    const fs::path folder = temp.path / "lib";
    fs::create_directories(folder / "f.gpx");
    for (const char* name : {"a.gpx", "B.GPX", "c.Gpx", "x.y.gpx", "..gpx", "d.xml", "e.gpx.bak", ".gpx",
                             "gpx", "g.gpxx", "h.", "f.gpx/g.gpx"}) {
        writeBytes(folder / name, gpxWithTime("2024-01-31T10:00:00Z"));
    }
    const std::vector<RouteInfo> routes = readLibrary(folder);
    EXPECT_EQ(stems(routes), (std::vector<std::string>{".", "B", "a", "c", "x.y"}));
    for (const RouteInfo& route : routes) {
        EXPECT_EQ(route.errorText, "");
        EXPECT_EQ(route.filePath.parent_path(), folder);
    }
}

TEST_F(LibraryScanTest, MissingFolderIsCreatedAndEmpty) {
    const fs::path folder = temp.path / "not" / "yet";
    LibraryScanCounts counts;
    EXPECT_TRUE(readLibrary(folder, {}, &counts).empty());
    EXPECT_FALSE(counts.folderNotListed);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(readLibrary(folder).empty());
}

// A folder that cannot be listed must not pass for an empty library.
TEST_F(LibraryScanTest, AFolderThatCannotBeListedIsTold) {
    writeBytes(temp.path / "occupied", "not a folder");
    std::vector<fs::path> unlisted = {temp.path / "occupied", temp.path / "occupied" / "below"};
#ifndef _WIN32
    // Permissions do not bind root (as on CI): then only the cases above run.
    const fs::path locked = temp.path / "locked";
    fs::create_directories(locked);
    writeBytes(locked / "a.gpx", gpxWithTime("2024-01-31T10:00:00Z"));
    fs::permissions(locked, fs::perms::none);
    if (::geteuid() != 0) unlisted.push_back(locked);
#endif
    for (const fs::path& folder : unlisted) {
        LibraryScanCounts counts;
        EXPECT_TRUE(readLibrary(folder, {}, &counts).empty()) << folder;
        EXPECT_TRUE(counts.folderNotListed) << folder;
        EXPECT_FALSE(counts.indexStored) << folder;
    }
    EXPECT_EQ(readBytes(temp.path / "occupied"), "not a folder");
#ifndef _WIN32
    fs::permissions(locked, fs::perms::owner_all);
#endif
}

// By the date text, the undated at the top, equal dates by the stems' bytes, failed records last.
TEST_F(LibraryScanTest, LibraryOrderKeepsFailedRecordsLast) {
    const fs::path folder = temp.path / "lib";
    fs::create_directories(folder);
    writeBytes(folder / "december.gpx", gpxWithTime("2024-12-01T08:00:00Z"));
    for (const char* name : {"\xC3\x96schberg.gpx", "alpen.gpx", "Zugspitze.gpx"}) {
        writeBytes(folder / fs::path(std::u8string(reinterpret_cast<const char8_t*>(name))),
                   gpxWithTime("2024-01-31T08:00:00Z"));
    }
    writeBytes(folder / "undated.gpx", gpxWithTime(""));
    writeBytes(folder / "empty.gpx", "<gpx></gpx>");
    writeBytes(folder / "noise.gpx", std::string("\0\xFF\x01<trk", 7));
    const std::vector<RouteInfo> routes = readLibrary(folder);
    EXPECT_EQ(stems(routes), (std::vector<std::string>{"undated", "Zugspitze", "alpen", "\xC3\x96schberg",
                                                       "december", "empty", "noise"}));
    ASSERT_EQ(routes.size(), 7u);
    EXPECT_EQ(routes[0].dateText + routes[1].dateText + routes[4].dateText,
              "\xE2\x80\x93"
              "31.01.2401.12.24");
    EXPECT_EQ(routes[5].errorText, kMessageNoPoints);
    EXPECT_EQ(routes[6].errorText, kMessageNoPoints);
}

#ifndef _WIN32
TEST_F(LibraryScanTest, LinksCountByWhatTheyPointTo) {
    const fs::path folder = temp.path / "lib";
    fs::create_directories(folder);
    writeBytes(temp.path / "real.gpx", gpxWithTime("2024-01-31T08:00:00Z"));
    fs::create_symlink(temp.path / "real.gpx", folder / "linked.gpx");
    fs::create_symlink(temp.path / "gone.gpx", folder / "dangling.gpx");
    fs::create_directory_symlink(temp.path, folder / "folder.gpx");
    EXPECT_EQ(stems(readLibrary(folder)), (std::vector<std::string>{"linked"}));
}
#endif

TEST_F(LibraryScanTest, FileTextHeldAtOnceHasABoundAndReadsStopAtTheCap) {
    const fs::path folder = temp.path / "lib";
    fs::create_directories(folder);
    std::string points;
    for (int i = 0; i < 500; ++i)
        points += "<trkpt lat=\"47." + std::to_string(1000 + i) + "\" lon=\"8.5\"/>";
    const std::string small = "<gpx><trk><trkseg>" + points + "</trkseg></trk></gpx>";
    for (int i = 0; i < 24; ++i) writeBytes(folder / ("small " + std::to_string(i) + ".gpx"), small);

    // Three small files fit the budget at once; a file over it is read alone.
    setScanMemoryBudgetForTests(3 * small.size() + 100);
    LibraryScanCounts counts;
    const LibraryScanOptions options{.index = LibraryIndexUse::none, .threads = 8};
    EXPECT_EQ(readLibrary(folder, options, &counts).size(), 24u);
    EXPECT_LE(counts.peakHeldBytes, 3 * small.size());
    EXPECT_GE(counts.peakHeldBytes, small.size());
    std::string large = "<gpx><trk><trkseg>";
    for (int i = 0; i < 6; ++i) large += points;
    large += "</trkseg></trk></gpx>";
    writeBytes(folder / "large.gpx", large);
    std::vector<RouteInfo> routes = readLibrary(folder, options, &counts);
    setScanMemoryBudgetForTests(0);
    EXPECT_EQ(routes.size(), 25u);
    EXPECT_EQ(counts.peakHeldBytes, large.size());

    // Over the cap: listed as too large.
    setFileReadCapForTests(large.size() - 1);
    routes = readLibrary(folder, {.index = LibraryIndexUse::none});
    setFileReadCapForTests(0);
    for (const RouteInfo& route : routes) {
        EXPECT_EQ(route.errorText == kMessageTooLarge, route.fileStem == "large") << route.fileStem;
    }
}

TEST(LibraryScanCorpus, EveryRealFileGivesOneRecordInLibraryOrder) {
    REQUIRE_CORPUS();
    std::size_t gpxFiles = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpusFolder())) {
        if (entry.is_regular_file() && isLibraryFileName(entry.path().filename())) ++gpxFiles;
    }
    ASSERT_GT(gpxFiles, 0u);
    const std::vector<RouteInfo> routes = readLibrary(corpusFolder(), {.index = LibraryIndexUse::none});
    ASSERT_EQ(routes.size(), gpxFiles);
    for (std::size_t i = 1; i < routes.size(); ++i) {
        EXPECT_FALSE(libraryOrderLess(routes[i], routes[i - 1])) << routes[i].fileStem;
    }
    for (const RouteInfo& route : routes) {
        EXPECT_EQ(route.filePath.parent_path(), corpusFolder());
        EXPECT_FALSE(route.fileStem.empty());
    }
}
