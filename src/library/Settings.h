#pragma once
// Where the library and the two one-line settings files live, and reading/writing them.

#include <filesystem>
#include <string>

struct Settings {
    std::filesystem::path libraryFolder;     // the library folder, as chosen
    std::string languageSetting = "system";  // "system" or a language code of the table
};

std::filesystem::path settingsFolder();  // created at every call
std::filesystem::path settingsFilePath();
std::filesystem::path languageFilePath();
std::filesystem::path defaultLibraryFolder();
// The saved settings, defaults where a file is missing or names nothing usable; creates the
// library folder.
Settings loadSettings();
// False when the file could not be written.
bool saveLibraryFolder(const Settings& settings);
bool saveLanguageSetting(const Settings& settings);
