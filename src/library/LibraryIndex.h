#pragma once
// The library index: the records of a library folder kept on disk between scans, so that a scan
// analyses only new and changed files. It is a cache, never a source of truth: an index that cannot
// be read back exactly (missing, cut short, damaged, from another version or machine) is ignored and
// written anew, and a file is taken from it only while its whole stamp (size, write and change time,
// file ID) is unchanged. A stored index is checked whole before anything in it is decoded.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/RouteInfo.h"
#include "platform/Platform.h"

// One file of the index: its name in the library folder (native form), the stamp it had when it
// was analysed, and its record (filePath left empty: the scan joins the folder it was given).
struct IndexEntry {
    std::filesystem::path::string_type fileName;
    FileStamp stamp;
    RouteInfo route;
};

struct LibraryIndex {
    // The system clock (units of FileStamp::lastWrite) before the scan that wrote the index stamped
    // any file.
    std::int64_t takenAt = 0;
    std::vector<IndexEntry> entries;
};

// What the encoder reads: the same as IndexEntry, without owning anything.
struct IndexEntryView {
    const std::filesystem::path::string_type* fileName = nullptr;
    FileStamp stamp;
    const RouteInfo* route = nullptr;
};

// "Tirn GPX Library" in the user's cache folder; empty when the system names no cache folder.
std::filesystem::path libraryCacheFolder();
// The index file of a library folder, named by a hash of its absolute path; empty without a cache
// folder.
std::filesystem::path libraryIndexPath(const std::filesystem::path& folder);

// True when an entry may stand for a file that has `current` as its stamp now: the stamp is the
// same, and the file was last written clearly before the index was taken. A file written in the
// same clock tick as the scan read it could have changed again without changing its stamp.
bool indexEntryStillValid(const LibraryIndex& index, const IndexEntry& entry, const FileStamp& current);
// Records that must be analysed again at the next scan rather than kept: a file that could not be
// read may be readable next time without any change to its stamp (permissions, a lock).
bool worthIndexing(const RouteInfo& route);

// The file format: a header (magic, byte order, version, sizes, when taken, the folder), the
// entries, and a checksum over everything before it. Integers are little-endian.
std::string encodeLibraryIndex(const std::filesystem::path& folder, std::int64_t takenAt,
                               const std::vector<IndexEntryView>& entries);
// False (and `index` unspecified) unless `bytes` is a complete index of this version for `folder`.
bool decodeLibraryIndex(std::string_view bytes, const std::filesystem::path& folder, LibraryIndex& index);
// The checksum stored in the last eight bytes of an index, over the bytes before them.
std::uint64_t libraryIndexChecksum(std::string_view bytes);

// The stored index of `folder`, or nothing when there is none that can be used.
std::optional<LibraryIndex> loadLibraryIndex(const std::filesystem::path& folder);
// Writes the index through a temporary file of its own and replaces the old one in one step, so that
// readers and other writers only ever see a whole index. False when it could not be stored.
bool storeLibraryIndex(const std::filesystem::path& folder, std::string_view bytes);

// After the window rewrote one file (its sport) and analysed it again: puts that record into the
// stored index in place of the old one. `route` must be the analysis of the file as it is now.
// False when there is no usable index to update (the next scan then writes one).
bool updateIndexEntry(const std::filesystem::path& folder, const RouteInfo& route);
