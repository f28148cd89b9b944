#pragma once
// Import of chosen files into the library under free names, and the change of library folder.
// The dialogs only supply paths; everything else happens here.

#include <filesystem>
#include <vector>

#include "library/Settings.h"

// Path in `folder` for a copy of `source` under a free name (Tour.gpx, Tour 2.gpx, ...).
std::filesystem::path freeTargetPath(const std::filesystem::path& folder,
                                     const std::filesystem::path& source);
// Copies each source into `folder` under a free name; returns the targets written (an empty path
// for a source whose copy failed), in the order of `sources`.
std::vector<std::filesystem::path> importIntoLibrary(const std::filesystem::path& folder,
                                                     const std::vector<std::filesystem::path>& sources);
// Sets the library folder and saves it to settings.txt (the caller rescans). False when the
// file could not be written.
bool changeLibraryFolder(Settings& settings, const std::filesystem::path& folder);
