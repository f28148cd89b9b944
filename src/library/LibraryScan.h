#pragma once
// Reads every .gpx file directly inside a folder into records in library order.

#include <filesystem>
#include <vector>

#include "core/RouteInfo.h"

// True for a regular-file name whose extension is ".gpx" in any letter case.
bool isLibraryFileName(const std::filesystem::path& fileName);
// Analyses the folder's GPX files (creating the folder when missing) in library order.
std::vector<RouteInfo> readLibrary(const std::filesystem::path& folder);