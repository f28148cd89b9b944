#pragma once
// Import of chosen files into the library under free names, and the change of library folder.
// The dialogs only supply paths; everything else happens here.

#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "library/Settings.h"

struct KnownLibraryFiles;  // the library's files as one import batch sees them (SameFile)

// Why a file did not arrive in the library; the window and the console tool word it.
enum class ImportFailure { none, missingSource, diskFull, accessDenied, other };

struct ImportResult {
    // Most results name only the copy and the failure.
    ImportResult(std::filesystem::path copy = {}, ImportFailure why = ImportFailure::none,
                 std::filesystem::path same = {})
        : target(std::move(copy)), failure(why), existing(std::move(same)) {}

    std::filesystem::path target;                 // the copy in the library; empty when it failed
    ImportFailure failure = ImportFailure::none;  // none exactly when `target` or `existing` is set
    // The library file that already has the source's bytes; the source was not copied then.
    std::filesystem::path existing;
};

// Path in `folder` for a copy of `source` under a free name (Tour.gpx, Tour 2.gpx, ...).
std::filesystem::path freeTargetPath(const std::filesystem::path& folder,
                                     const std::filesystem::path& source);
// Copies each source into `folder` under a free name, in the order of `sources`, one result each;
// a source whose bytes a file of the folder (or an earlier copy) already has is not copied.
// A copy appears under its name only when complete: it is written to a hidden temporary file
// first, and a failure leaves nothing behind in the folder.
std::vector<ImportResult> importIntoLibrary(const std::filesystem::path& folder,
                                            const std::vector<std::filesystem::path>& sources);
// One source of a batch, as above; `known` is listKnownLibraryFiles of the (existing) folder.
ImportResult importFileIntoLibrary(KnownLibraryFiles& known, const std::filesystem::path& folder,
                                   const std::filesystem::path& source);
// Writes `bytes` into `folder` as a new file under the first free name from `name` on, through a
// hidden temporary as above: for files made from archives and other formats. Bytes a file of the
// folder (or an earlier copy of the batch, `known`) already has are not written again.
ImportResult importBytesIntoLibrary(KnownLibraryFiles& known, const std::filesystem::path& folder,
                                    const std::filesystem::path& name, std::string_view bytes);
// Sets the library folder and saves it to settings.txt (the caller rescans). False when the
// file could not be written; `settings` then stays as it was.
bool changeLibraryFolder(Settings& settings, const std::filesystem::path& folder);
