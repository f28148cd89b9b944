#pragma once
// gzip and ZIP unpacking for imports. A ZIP is read through its central directory, piece by piece,
// so that an export larger than memory (zip64 included) can be read; each unpacked file is held in
// memory whole. Failures are translation keys, empty when all went well.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Random access to an archive's bytes: `read` fills `count` bytes from `offset`, false when it
// cannot.
struct ArchiveSource {
    std::uint64_t size = 0;
    std::function<bool(std::uint64_t offset, char* out, std::size_t count)> read;
};
// Over bytes in memory, which must outlive the source.
ArchiveSource memorySource(std::string_view bytes);
// Over a file, opened once and kept open by the source; false when it cannot be opened.
bool fileSource(const std::filesystem::path& path, ArchiveSource& source);

// How many bytes may still be unpacked from one archive: a hundred times its size, at most 2 GiB
// in all, so that a small file that unpacks to gigabytes (a decompression bomb) stops early.
struct UnpackBudget {
    std::uint64_t left = 0;
};
UnpackBudget unpackBudgetFor(std::uint64_t archiveBytes);

// One or more gzip members, one after the other, into `out`.
std::string_view gunzip(std::string_view bytes, std::string& out, UnpackBudget& budget);
// Whether bytes start like gzip.
bool looksGzipped(std::string_view bytes);

struct ZipEntry {
    std::string name;  // the path inside the archive, '/' between folders, UTF-8
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t headerOffset = 0;  // of the entry's local header
    std::uint32_t crc = 0;
    std::uint16_t method = 0;  // 0 stored, 8 deflated
    bool encrypted = false;
    bool isFolder() const { return !name.empty() && name.back() == '/'; }
};
// Every entry of the central directory, in its order.
std::string_view readZipDirectory(const ArchiveSource& source, std::vector<ZipEntry>& entries);
// Unpacks one file entry, its checksum checked. Encrypted entries, names that climb out of the
// archive or start at a root or drive, unknown methods and damage are refused with their reason.
std::string_view unzipEntry(const ArchiveSource& source, const ZipEntry& entry, std::string& out,
                            UnpackBudget& budget);
