#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "LibraryTestSupport.h"
#include "library/Import.h"
#include "library/LibraryScan.h"

namespace fs = std::filesystem;

class ImportTest : public ScratchSettings {
protected:
    void SetUp() override {
        ScratchSettings::SetUp();
        settings.libraryFolder = temp.path / "library";
        fs::create_directories(settings.libraryFolder);
        fs::create_directories(temp.path / "outside" / "one");
        fs::create_directories(temp.path / "outside" / "two");
    }
    fs::path outside(const char* relative, std::string_view bytes) {
        const fs::path path = temp.path / "outside" / relative;
        writeBytes(path, bytes);
        return path;
    }
};

TEST_F(ImportTest, FreeNamesCountUpWithALowerCaseExtension) {
    const fs::path& library = settings.libraryFolder;
    const auto target = [&](const char* name) {
        return freeTargetPath(library, temp.path / "outside" / name);
    };
    EXPECT_EQ(target("Tour.gpx"), library / "Tour.gpx");
    writeBytes(library / "Tour.gpx", "1");
    writeBytes(library / "Tour 2.gpx", "2");
    EXPECT_EQ(target("Tour.gpx"), library / "Tour 3.gpx");
    writeBytes(library / "Run.GPX", "r");
    EXPECT_EQ(target("Run.GPX"), library / "Run 2.gpx");
    fs::create_directory(library / "Hike.gpx");
    EXPECT_EQ(target("Hike.gpx"), library / "Hike 2.gpx");
    // Only the last dot starts the extension.
    writeBytes(library / "a.b.gpx", "x");
    EXPECT_EQ(target("a.b.gpx"), library / "a.b 2.gpx");
}

#ifndef _WIN32
TEST_F(ImportTest, ADanglingLinkCountsAsTaken) {
    fs::create_symlink(temp.path / "nowhere.gpx", settings.libraryFolder / "Tour.gpx");
    const fs::path source = outside("Tour.gpx", "route");
    const std::vector<ImportResult> results = importIntoLibrary(settings.libraryFolder, {source});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].target, settings.libraryFolder / "Tour 2.gpx");
    EXPECT_FALSE(fs::exists(temp.path / "nowhere.gpx"));
    EXPECT_EQ(readBytes(settings.libraryFolder / "Tour 2.gpx"), "route");
}
#endif

TEST_F(ImportTest, CopiesEverySourceInOrderAndNeverOverwrites) {
    writeBytes(settings.libraryFolder / "Name.gpx", "already here");
    const std::vector<fs::path> sources = {
        outside("one/Name.gpx", "first"),      outside("two/Name.gpx", "second"),
        temp.path / "outside" / "missing.gpx", outside("Other.gpx", "other"),
        temp.path / "outside" / "one",        // a folder is skipped
        settings.libraryFolder / "Name.gpx",  // a file of the library itself is not copied again
        outside("Copy.gpx", "second"),        // nor are the bytes of an earlier copy
    };
    const std::vector<ImportResult> results = importIntoLibrary(settings.libraryFolder, sources);
    ASSERT_EQ(results.size(), 7u);
    EXPECT_EQ(results[0].target, settings.libraryFolder / "Name 2.gpx");
    EXPECT_EQ(results[1].target, settings.libraryFolder / "Name 3.gpx");
    EXPECT_TRUE(results[2].target.empty());
    EXPECT_EQ(results[2].failure, ImportFailure::missingSource);
    EXPECT_EQ(results[3].target, settings.libraryFolder / "Other.gpx");
    EXPECT_EQ(readBytes(settings.libraryFolder / "Name.gpx"), "already here");
    EXPECT_EQ(readBytes(settings.libraryFolder / "Name 2.gpx"), "first");
    EXPECT_EQ(readBytes(settings.libraryFolder / "Name 3.gpx"), "second");
    EXPECT_EQ(readBytes(settings.libraryFolder / "Other.gpx"), "other");
    EXPECT_EQ(readBytes(sources[0]), "first");
    EXPECT_TRUE(results[4].target.empty());
    EXPECT_EQ(results[4].failure, ImportFailure::other);
    EXPECT_TRUE(results[5].target.empty());
    EXPECT_EQ(results[5].failure, ImportFailure::none);
    EXPECT_EQ(results[5].existing, longPathForm(settings.libraryFolder / "Name.gpx"));
    EXPECT_EQ(results[6].existing, settings.libraryFolder / "Name 3.gpx");
    EXPECT_EQ(readLibrary(settings.libraryFolder).size(), 4u);
}

// With the library's hashes in the index: a file of the same size but other bytes still arrives.
TEST_F(ImportTest, TheSameBytesAreFoundThroughTheIndex) {
    const fs::path& library = settings.libraryFolder;
    writeBytes(library / "Tour.gpx", "<gpx>one</gpx>");
    fs::last_write_time(library / "Tour.gpx", fs::file_time_type::clock::now() - std::chrono::hours(1));
    readLibrary(library);
    const std::vector<ImportResult> results = importIntoLibrary(
        library, {outside("one/Tour.gpx", "<gpx>two</gpx>"), outside("Tour.gpx", "<gpx>one</gpx>")});
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].target, library / "Tour 2.gpx");
    EXPECT_EQ(results[1].existing, longPathForm(library / "Tour.gpx"));
}

TEST_F(ImportTest, ANameAtTheSystemsLimitImportsTwice) {
    // 254 units (bytes here, UTF-16 units on Windows), ending in characters of several units where
    // the host allows them, so that the shortening for " 2.gpx" falls inside the last one.
#ifdef _WIN32
    const std::u16string character = u"n";  // Wine keeps the names as UTF-8 on a 255-byte system
#else
    const std::u16string character = u"\U0001F6B4";
#endif
    const std::size_t units = widePath(character).native().size();
    const std::size_t count = (kLongestName - 5) / units;
    const std::u16string pad(kLongestName - 5 - count * units, u'a');
    std::u16string stem = pad;
    for (std::size_t i = 0; i < count; ++i) stem += character;
    const fs::path source = temp.path / "outside" / widePath(stem + u".gpx");
    writeBytes(source, "route");
    ASSERT_EQ(source.filename().native().size(), kLongestName - 1);
    const fs::path other = temp.path / "outside" / "one" / source.filename();
    writeBytes(other, "route 2");

    const std::vector<ImportResult> results = importIntoLibrary(settings.libraryFolder, {source, other});
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].target, settings.libraryFolder / source.filename());
    std::u16string shortened = pad;
    for (std::size_t i = 0; i + 1 < count; ++i) shortened += character;
    EXPECT_EQ(pathToWide(results[1].target.filename()), shortened + u" 2.gpx");
    EXPECT_LE(results[1].target.filename().native().size(), kLongestName);
    EXPECT_EQ(readBytes(results[1].target), "route 2");
}

TEST_F(ImportTest, LeftoversAreNeverListedAndGoAtTheNextScanOnceOld) {
    const fs::path& library = settings.libraryFolder;
    const fs::path killed = temporaryPathBeside(library / "Tour.gpx", "import");
    const fs::path busy = temporaryPathBeside(library / "Tour.gpx", "rewrite");
    const fs::path users = library / ".notes.tmp";
    for (const fs::path& path : {killed, busy, users}) writeBytes(path, "<trk><trkseg></trkseg></trk>");
    for (const fs::path& path : {killed, users}) {
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::minutes(61));
    }
    EXPECT_TRUE(readLibrary(library).empty());
    EXPECT_FALSE(fs::exists(killed));
    EXPECT_TRUE(fs::exists(busy));
    EXPECT_TRUE(fs::exists(users));
}
