#pragma once
// Import of everything the library can take in: GPX files as they are, TCX and FIT files converted
// to GPX, each of them also gzipped, ZIP archives holding any of them, and folders (a service's
// bulk export, whose activities.csv names the activities).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "library/Import.h"

// One file that should have arrived in the library.
struct ImportItem {
    std::filesystem::path origin;  // the chosen file or folder
    std::string entry;             // the path inside an archive or export folder, UTF-8; else empty
    std::filesystem::path wanted;  // the name asked for in the library; empty when it failed before
    ImportResult result;
    std::string_view reasonKey;  // translation key when the content was the cause of the failure
    bool partial = false;        // arrived, but made of what could be read of a damaged file
};

// .gpx, .tcx, .fit, each also with .gz after it, and .zip; letter case ignored.
bool isImportableName(const std::filesystem::path& name);
// Imports each source in order, a folder's files (directly inside it, or those its activities.csv
// lists) and an archive's files by name. Plain GPX files go through importIntoLibrary unchanged.
std::vector<ImportItem> importSources(const std::filesystem::path& folder,
                                      const std::vector<std::filesystem::path>& sources);
// How a failed item is shown: "export.zip/activities/1.fit.gz" or the file's name.
std::u16string shownOrigin(const ImportItem& item);
