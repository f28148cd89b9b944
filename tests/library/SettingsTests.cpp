#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "LibraryTestSupport.h"
#include "library/Import.h"
#include "library/WindowPlacementFile.h"

namespace fs = std::filesystem;

using SettingsTest = ScratchSettings;

TEST_F(SettingsTest, FirstRunUsesTheDocumentsFolderAndFollowsTheSystem) {
    settings = loadSettings();
    EXPECT_EQ(settings.libraryFolder, defaultLibrary());
    EXPECT_TRUE(fs::is_directory(settings.libraryFolder));
    EXPECT_EQ(settings.languageSetting, "system");
    EXPECT_TRUE(fs::is_directory(settingsDir()));
    EXPECT_FALSE(fs::exists(settingsDir() / "settings.txt"));
    EXPECT_FALSE(fs::exists(settingsDir() / "language.txt"));
}

TEST_F(SettingsTest, LibraryPathIsStoredOneBytePerCharacter) {
    settings.libraryFolder = widePath(pathToWide(temp.path) + u"/Caf\u00E9 Touren");
    saveLibraryFolder(settings);
    const std::string expected = pathToUtf8(temp.path) + "/Caf\xE9 Touren";
    EXPECT_EQ(readBytes(settingsFilePath()), expected);

    const fs::path saved = settings.libraryFolder;
    settings.libraryFolder.clear();
    settings = loadSettings();
    EXPECT_EQ(pathToWide(settings.libraryFolder), pathToWide(saved));
    EXPECT_TRUE(fs::is_directory(saved));
}

TEST_F(SettingsTest, ReadingTakesTheFirstLineAsTextModeSeesIt) {
    const std::string base = pathToUtf8(temp.path);
    struct Case {
        std::string bytes;
        std::string folder;
    };
    const Case cases[] = {
        {base + "/lib\nsecond line\n", base + "/lib"},
        {base + "/lib\r\nsecond", base + "/lib"},
        {base + "/lib ", base + "/lib "},  // nothing trimmed
    };
    for (const Case& c : cases) {
        writeBytes(settingsFolder() / "settings.txt", c.bytes);
        settings = loadSettings();
        EXPECT_EQ(pathToUtf8(settings.libraryFolder), c.folder) << c.bytes;
        EXPECT_FALSE(settings.libraryFolderIgnored) << c.bytes;
    }
    // An empty first line means the default library.
    for (const char* bytes : {"", "\n/elsewhere", "\r\n/elsewhere"}) {
        writeBytes(settingsFolder() / "settings.txt", bytes);
        settings = loadSettings();
        EXPECT_EQ(settings.libraryFolder, defaultLibrary()) << bytes;
    }
}

TEST_F(SettingsTest, PathBeyondLatin1SurvivesARestartAsUtf8WithAMark) {
    const std::u16string folder = pathToWide(temp.path) + u"/\u0141\u00F3d\u017A \u65E5\u672C \U0001F6B4";
    settings.libraryFolder = widePath(folder);
    saveLibraryFolder(settings);
    EXPECT_EQ(readBytes(settingsFilePath()), "\xEF\xBB\xBF" + wideToUtf8(folder));
    settings.libraryFolder.clear();
    settings = loadSettings();
    EXPECT_EQ(pathToWide(settings.libraryFolder), folder);

    // A one-byte path that happens to start like the mark must not be misread as UTF-8 later.
    const std::u16string lookalike = u"\u00EF\u00BB\u00BFlib";
    settings.libraryFolder = widePath(lookalike);
    saveLibraryFolder(settings);
    EXPECT_EQ(readBytes(settingsFilePath()), "\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBFlib");
}

// A line that is no absolute path, or holds control bytes, would create folders wherever the
// program was started: the default library is used and the user told.
TEST_F(SettingsTest, AnUnusableLibraryLineGivesTheDefaultWithANote) {
    const std::string base = pathToUtf8(temp.path);
    const fs::path current = fs::current_path();
    fs::create_directories(temp.path / "cwd");
    fs::current_path(temp.path / "cwd");
    for (const std::string& bytes :
         {std::string("\x01\x02garbage\x7f"), std::string("relative/lib"), std::string("lib\r\n"),
          base + "/lib\r\r\n", base + "/l\rib", base + "/a\tb", base + std::string("/nul\0", 5)}) {
        writeBytes(settingsFolder() / "settings.txt", bytes);
        settings = loadSettings();
        EXPECT_EQ(settings.libraryFolder, defaultLibrary()) << bytes;
        EXPECT_TRUE(settings.libraryFolderIgnored) << bytes;
    }
    fs::current_path(current);
    EXPECT_TRUE(fs::is_empty(temp.path / "cwd"));
    // Choosing a folder again clears the note.
    ASSERT_TRUE(changeLibraryFolder(settings, temp.path / "chosen"));
    EXPECT_FALSE(settings.libraryFolderIgnored);
    EXPECT_FALSE(loadSettings().libraryFolderIgnored);
}

#ifndef _WIN32
// A FIFO in the place of a settings file used to hang every start in the open.
TEST_F(SettingsTest, FifosInThePlaceOfTheSettingsFilesAreNotRead) {
    const fs::path folder = settingsFolder();
    const fs::path fifos[] = {folder / "settings.txt", folder / "language.txt", folder / "window.txt"};
    for (const fs::path& fifo : fifos) ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Frees a reader that blocked in its open, so that the fault fails the test instead of hanging it.
    std::atomic<bool> done{false};
    std::atomic<int> freed{0};
    std::thread guard([&] {
        while (!done) {
            for (const fs::path& fifo : fifos) {
                const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ++freed;
                    ::close(fd);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    settings = loadSettings();
    const bool placement = loadWindowPlacement().has_value();
    done = true;
    guard.join();
    EXPECT_EQ(freed, 0);
    EXPECT_EQ(settings.libraryFolder, defaultLibrary());
    EXPECT_EQ(settings.languageSetting, "system");
    EXPECT_FALSE(placement);
}
#endif

TEST_F(SettingsTest, LanguageFileNeedsAnExactCodeAndIsSavedWithoutLineEnd) {
    const auto setting = [&](const std::string& bytes) {
        writeBytes(settingsFolder() / "language.txt", bytes);
        return loadSettings().languageSetting;
    };
    for (const char* bytes : {"de", "de\n", "de\r\n"}) EXPECT_EQ(setting(bytes), "de") << bytes;
    EXPECT_EQ(setting("zh-Hant\nfr"), "zh-Hant");
    // Letter case, a space, a lone CR or a mark in front make the code unknown: the system's language.
    for (const char* bytes : {"system", "DE", "de ", "xx", "", "de\r", "\357\273\277de"}) {
        EXPECT_EQ(setting(bytes), "system") << bytes;
    }
    settings.languageSetting = "zh-Hant";
    saveLanguageSetting(settings);
    EXPECT_EQ(readBytes(settingsDir() / "language.txt"), "zh-Hant");
    settings.languageSetting = "system";
    EXPECT_EQ(loadSettings().languageSetting, "zh-Hant");
}

TEST_F(SettingsTest, UnitsFileOrElseTheRegionsMeasurementSystem) {
    setLocaleNameOverride(true, u"en-US");
    EXPECT_EQ(loadSettings().units, Units::imperial);  // no file yet
    const std::pair<std::string, Units> cases[] = {{"metric", Units::metric},
                                                   {"imperial\r\n", Units::imperial},
                                                   {"Metric", Units::imperial},
                                                   {"", Units::imperial}};
    for (const auto& [bytes, units] : cases) {
        writeBytes(settingsFolder() / "units.txt", bytes);
        EXPECT_EQ(loadSettings().units, units) << bytes;
    }
    setLocaleNameOverride(true, u"en-GB");
    settings = loadSettings();
    EXPECT_EQ(settings.units, Units::metric);  // "" names neither
    ASSERT_TRUE(changeUnitsSetting(settings, Units::imperial));
    EXPECT_EQ(readBytes(settingsDir() / "units.txt"), "imperial");
    EXPECT_EQ(loadSettings().units, Units::imperial);
    setLocaleNameOverride(false, u"");
}
