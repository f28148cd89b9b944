#pragma once
// Reads every .gpx file directly inside a folder into records in library order: unchanged files
// from the library index, the others analysed on one thread per processor.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "core/RouteInfo.h"

enum class LibraryIndexUse {
    readAndWrite,  // unchanged files from the index, then the index brought up to date
    rewrite,       // every file analysed, then the index written anew (Reload with Shift, --no-index)
    none,          // every file analysed, the index neither read nor written
};

struct LibraryScanOptions {
    LibraryIndexUse index = LibraryIndexUse::readAndWrite;
    // Threads that analyse files; 0 is one per processor the process may run on.
    unsigned threads = 0;
    // "done of total files", called on the calling thread only: once before the analysis (done then
    // counts the files taken from the index) and after each analysed file. The window pumps its
    // paint messages from here.
    std::function<void(std::size_t done, std::size_t total)> progress = nullptr;
};

// What a scan did: for the callers whether the folder could be listed, for tests and benchmarks
// the rest.
struct LibraryScanCounts {
    std::size_t files = 0;
    std::size_t fromIndex = 0;
    std::size_t analysed = 0;
    bool indexStored = false;
    // The folder could not be listed (no access, not a folder, a read error): the records are
    // those of the files listed before it failed, if any, and the caller should say so.
    bool folderNotListed = false;
    // The most bytes of file text (by the files' sizes) that the workers held at once.
    std::uint64_t peakHeldBytes = 0;
};

// True for a regular-file name whose extension is ".gpx" in any letter case.
bool isLibraryFileName(const std::filesystem::path& fileName);
// Tests set the budget of file text the workers may hold at once; 0 restores the default
// (a quarter of the memory, at most 512 MB).
void setScanMemoryBudgetForTests(std::uint64_t bytes);
// Analyses the folder's GPX files (creating the folder when missing) in library order.
std::vector<RouteInfo> readLibrary(const std::filesystem::path& folder,
                                   const LibraryScanOptions& options = {},
                                   LibraryScanCounts* counts = nullptr);
// Library order, and records that tie there (a.gpx and a.GPX) by file name and then by path, so
// that the order never depends on the listing or on which thread finished first.
void sortLibraryFiles(std::vector<RouteInfo>& routes);
