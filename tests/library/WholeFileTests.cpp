// Imports and settings are written whole or not at all: failures injected into the writes leave
// the library and the settings files exactly as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "LibraryTestSupport.h"
#include "library/Import.h"
#include "library/LibraryScan.h"
#include "platform/Platform.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

std::vector<std::string> entryNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(pathToUtf8(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

class WholeFileTest : public ScratchSettings {
protected:
    void SetUp() override {
        ScratchSettings::SetUp();
        library = temp.path / "library";
        fs::create_directories(library);
        fs::create_directories(temp.path / "outside");
    }
    void TearDown() override {
        setWriteFailureOverride(0, FileError::none);
        ScratchSettings::TearDown();
    }
    fs::path library;
};

}  // namespace

TEST_F(WholeFileTest, AFailedImportLeavesNothingInTheLibrary) {
    // Four writes of at most 64 KB each: the failure hits the first, a middle and the last one.
    std::string route = "<gpx><trk><trkseg><trkpt lat=\"47\" lon=\"8\"/>";
    route.resize(200000, ' ');
    route += "</trkseg></trk></gpx>";
    const fs::path source = temp.path / "outside" / "Tour.gpx";
    writeBytes(source, route);
    writeBytes(library / "Old.gpx", "old");
    struct Case {
        unsigned write;
        FileError error;
        ImportFailure failure;
    };
    for (const Case& c : {Case{1, FileError::diskFull, ImportFailure::diskFull},
                          Case{3, FileError::accessDenied, ImportFailure::accessDenied},
                          Case{4, FileError::other, ImportFailure::other}}) {
        setWriteFailureOverride(c.write, c.error);
        const std::vector<ImportResult> results = importIntoLibrary(library, {source});
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].failure, c.failure) << c.write;
        EXPECT_TRUE(results[0].target.empty());
        EXPECT_EQ(entryNames(library), std::vector<std::string>{"Old.gpx"}) << c.write;
    }
    // With room on the disk again the same file arrives whole under its own name.
    setWriteFailureOverride(0, FileError::none);
    const std::vector<ImportResult> results = importIntoLibrary(library, {source});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].failure, ImportFailure::none);
    EXPECT_EQ(results[0].target, library / "Tour.gpx");
    EXPECT_EQ(readBytes(library / "Tour.gpx"), route);
    EXPECT_EQ(entryNames(library), (std::vector<std::string>{"Old.gpx", "Tour.gpx"}));
    EXPECT_EQ(readLibrary(library).size(), 2u);
}

#ifdef _WIN32
TEST_F(WholeFileTest, ASourceLockedByAnotherProgramIsReportedAsAccessDenied) {
    const fs::path source = temp.path / "outside" / "Tour.gpx";
    writeBytes(source, "route");
    HANDLE lock = CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const std::vector<ImportResult> results = importIntoLibrary(library, {source});
    CloseHandle(lock);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].failure, ImportFailure::accessDenied);
    EXPECT_TRUE(fs::is_empty(library));
}
#endif

TEST_F(WholeFileTest, CopiesAndMovesNeverReplaceAFile) {
    const fs::path source = temp.path / "outside" / "new.gpx";
    writeBytes(source, "new");
    writeBytes(library / "taken.gpx", "taken");
    EXPECT_EQ(copyToNewFile(source, library / "taken.gpx"), FileError::exists);
    EXPECT_EQ(moveWithoutReplacing(source, library / "taken.gpx"), FileError::exists);
    EXPECT_EQ(readBytes(library / "taken.gpx"), "taken");
    EXPECT_EQ(readBytes(source), "new");
    EXPECT_EQ(copyToNewFile(temp.path / "outside" / "gone.gpx", library / "x.gpx"), FileError::notFound);
    EXPECT_EQ(copyToNewFile(temp.path / "outside", library / "x.gpx"), FileError::other);
    EXPECT_TRUE(isNameFree(library / "x.gpx"));

    EXPECT_EQ(moveWithoutReplacing(source, library / "free.gpx"), FileError::none);
    EXPECT_EQ(readBytes(library / "free.gpx"), "new");
    EXPECT_FALSE(fs::exists(source));
}

TEST_F(WholeFileTest, TemporaryNamesAreShortFreshAndRecognised) {
    const fs::path first = temporaryPathBeside(library / "Tour.gpx", "import");
    EXPECT_EQ(first.parent_path(), library);
    EXPECT_NE(first, temporaryPathBeside(library / "Tour.gpx", "import"));
    EXPECT_TRUE(isOwnTemporaryName(first.filename()));
    EXPECT_FALSE(isLibraryFileName(first.filename()));
    // Short, whatever the target's name: a name at the system's limit still has room beside it.
    EXPECT_EQ(
        temporaryPathBeside(library / (std::string(250, 'x') + ".gpx"), "import").filename().native().size(),
        first.filename().native().size());
    EXPECT_LT(first.filename().native().size(), 40u);
    // A user's file that only looks similar is never taken for one.
    for (const char* other : {"Tour.gpx", ".tirn-import-0123456789abcdef.gpx",
                              ".tirn-import-0123456789ABCDEF.tmp", ".tirn--0123456789abcdef.tmp",
                              "x.tirn-import-0123456789abcdef.tmp", ".tirn-import-0123456789abcde.tmp"}) {
        EXPECT_FALSE(isOwnTemporaryName(other)) << other;
    }
}

TEST_F(WholeFileTest, AFailedSaveKeepsTheFileAndTheSettings) {
    ASSERT_TRUE(changeLibraryFolder(settings, temp.path / "first"));
    ASSERT_TRUE(changeLanguageSetting(settings, "de"));
    const std::string savedFolder = readBytes(settingsFilePath());

    setWriteFailureOverride(1, FileError::diskFull);
    EXPECT_FALSE(changeLibraryFolder(settings, temp.path / "second"));
    EXPECT_EQ(settings.libraryFolder, temp.path / "first");
    setWriteFailureOverride(1, FileError::diskFull);
    EXPECT_FALSE(changeLanguageSetting(settings, "fr"));
    EXPECT_EQ(settings.languageSetting, "de");

    EXPECT_EQ(readBytes(settingsFilePath()), savedFolder);
    EXPECT_EQ(readBytes(languageFilePath()), "de");
    EXPECT_EQ(entryNames(settingsDir()), (std::vector<std::string>{"language.txt", "settings.txt"}));
    const Settings loaded = loadSettings();
    EXPECT_EQ(loaded.libraryFolder, settings.libraryFolder);
    EXPECT_EQ(loaded.languageSetting, "de");
}

TEST_F(WholeFileTest, OnlyTheFirst64KBOfASettingsFileAreRead) {
    const std::string folder = pathToUtf8(temp.path / "lib");
    // What follows the first line end is never looked at, however much it is.
    writeBytes(settingsFilePath(), folder + "\r\n" + std::string(std::size_t{1} << 22, 'x'));
    writeBytes(languageFilePath(), "de\n" + std::string(std::size_t{1} << 22, '\n'));
    settings = loadSettings();
    EXPECT_EQ(pathToUtf8(settings.libraryFolder), folder);
    EXPECT_EQ(settings.languageSetting, "de");

    // A first line of 64 KB is still a value; one byte more makes the file unreadable.
    const std::string longest = folder + "/" + std::string(65535 - folder.size(), 'x');
    writeBytes(settingsFilePath(), longest + "\r\n");
    EXPECT_EQ(pathToUtf8(loadSettings().libraryFolder), longest);
    for (const std::string& bytes : {longest + "x", longest + "x\nshort"}) {
        writeBytes(settingsFilePath(), bytes);
        EXPECT_EQ(loadSettings().libraryFolder, defaultLibrary());
    }
}
