#pragma once
// Where the library and the two one-line settings files live, and reading/writing them.

#include <filesystem>
#include <string>
#include <string_view>

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
// False when the file could not be written; it then keeps its previous contents.
bool saveLibraryFolder(const Settings& settings);
bool saveLanguageSetting(const Settings& settings);
// Sets the language setting ("system" or a code) and saves it; only a saved choice is applied, so
// that `settings` always says what the next start will use. False when saving failed.
bool changeLanguageSetting(Settings& settings, std::string_view languageSetting);
