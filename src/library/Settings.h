#pragma once
// Where the library and the one-line settings files live, and reading/writing them.

#include <filesystem>
#include <string>
#include <string_view>

#include "i18n/Language.h"

struct Settings {
    std::filesystem::path libraryFolder;     // the library folder, as chosen
    std::string languageSetting = "system";  // "system" or a language code of the table
    Units units = Units::metric;             // units.txt, else the region's measurement system
    // settings.txt named a folder that is not an absolute path or holds control characters: the
    // default folder is used instead, and the user is told.
    bool libraryFolderIgnored = false;
};

std::filesystem::path settingsFolder();  // created at every call
std::filesystem::path settingsFilePath();
std::filesystem::path languageFilePath();
std::filesystem::path unitsFilePath();  // "metric" or "imperial"
std::filesystem::path defaultLibraryFolder();
// The saved settings, defaults where a file is missing, is no regular file or names nothing usable;
// creates the library folder.
Settings loadSettings();
// The saved language setting alone ("system" where none is saved or it names no row).
std::string loadLanguageSetting();
// False when the file could not be written; it then keeps its previous contents.
// Whole or not at all: the new contents go to a temporary file beside the old one, which is
// replaced only once they are on the disk. Every side file is saved this way.
bool saveThroughTemporary(const std::filesystem::path& target, std::string_view bytes);
bool saveLibraryFolder(const Settings& settings);
bool saveLanguageSetting(const Settings& settings);
// Sets the language setting ("system" or a code) and saves it; only a saved choice is applied, so
// that `settings` always says what the next start will use. False when saving failed.
bool changeLanguageSetting(Settings& settings, std::string_view languageSetting);
// Saves the units and, once saved, applies them; false when saving failed.
bool changeUnitsSetting(Settings& settings, Units units);
