#pragma once
// Where the library and the two one-line settings files live, and reading/writing them.

#include <filesystem>
#include <string>

extern std::filesystem::path libraryFolder;  // the library folder, as chosen
extern std::string languageSetting;          // "system" or a language code of the table

std::filesystem::path settingsFolder();  // created at every call
std::filesystem::path settingsFilePath();
std::filesystem::path languageFilePath();
std::filesystem::path defaultLibraryFolder();
void loadSettings();
void saveLibraryFolder();
void saveLanguageSetting();
