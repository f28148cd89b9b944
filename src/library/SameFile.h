#pragma once
// Finding a library file with exactly the bytes of a file about to be imported, so that the same
// file is not copied in a second time under another name. Candidates are the library's files of the
// same size; the index's content hash rules most of them out, and the bytes decide.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "library/LibraryIndex.h"

struct KnownLibraryFile {
    std::filesystem::path path;
    std::uint64_t size = 0;
    bool hashed = false;  // the index's hash of the file as it is now
    std::uint64_t hash = 0;
};

// The library's files as one import batch sees them; copies the batch makes are added.
struct KnownLibraryFiles {
    std::filesystem::path folder;
    std::vector<KnownLibraryFile> files;
    bool hashesLooked = false;  // the index is read only when some file's size matches
};

KnownLibraryFiles listKnownLibraryFiles(const std::filesystem::path& folder);
// The library file with the same bytes as `source`; empty when there is none (or when reading
// fails: then the import goes on as for any new file).
std::filesystem::path fileWithSameBytes(KnownLibraryFiles& known, const std::filesystem::path& source);
// The same for bytes in memory (a file made from an archive or another format).
std::filesystem::path fileWithSameBytes(KnownLibraryFiles& known, std::string_view bytes);
// A copy the batch made: a later source of the batch may have the same bytes.
void addKnownFile(KnownLibraryFiles& known, const std::filesystem::path& file);
