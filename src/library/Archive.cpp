#include "library/Archive.h"

#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "platform/Platform.h"

namespace {

constexpr std::string_view kDamaged = "reasonDamagedArchive";
constexpr std::string_view kTooLarge = "reasonArchiveTooLarge";
constexpr std::uint64_t kMostUnpacked = std::uint64_t{2} << 30;
constexpr std::size_t kChunk = 64 * 1024;
// A central directory larger than this is no export's: refused before any memory is taken.
constexpr std::uint64_t kMostDirectoryBytes = std::uint64_t{256} << 20;

std::uint64_t littleEndian(const char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

bool readAt(const ArchiveSource& source, std::uint64_t offset, std::string& out, std::uint64_t count) {
    if (offset > source.size || count > source.size - offset) return false;
    out.resize(static_cast<std::size_t>(count));
    return count == 0 || source.read(offset, out.data(), out.size());
}

// Appends zlib's output to `out` until the stream ends or the input runs out; `budget` is spent
// as it grows.
int inflateInto(z_stream& stream, std::string& out, UnpackBudget& budget, bool& overBudget) {
    char buffer[kChunk];
    int status = Z_OK;
    do {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        // No progress without more input: the caller feeds more or finds the stream cut.
        if (status == Z_BUF_ERROR) return Z_OK;
        if (status != Z_OK && status != Z_STREAM_END) return status;
        const std::size_t produced = sizeof buffer - stream.avail_out;
        if (produced > budget.left) {
            overBudget = true;
            return Z_MEM_ERROR;
        }
        budget.left -= produced;
        out.append(buffer, produced);
    } while (status == Z_OK && (stream.avail_in > 0 || stream.avail_out == 0));
    return status;
}

// A name that stays inside the folder it is unpacked to: relative, no "..", no drive.
bool isSafeEntryName(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\') return false;
    if (name.find(':') != std::string_view::npos) return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = name.size();
        if (name.substr(start, end - start) == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

ArchiveSource memorySource(std::string_view bytes) {
    return {bytes.size(), [bytes](std::uint64_t offset, char* out, std::size_t count) {
                if (offset > bytes.size() || count > bytes.size() - offset) return false;
                std::copy_n(bytes.data() + offset, count, out);
                return true;
            }};
}

bool fileSource(const std::filesystem::path& path, ArchiveSource& source) {
    auto file = std::make_shared<std::ifstream>(longPathForm(path), std::ios::binary);
    if (!*file) return false;
    file->seekg(0, std::ios::end);
    const std::streamoff size = file->tellg();
    if (size < 0) return false;
    source.size = static_cast<std::uint64_t>(size);
    source.read = [file](std::uint64_t offset, char* out, std::size_t count) {
        file->clear();
        file->seekg(static_cast<std::streamoff>(offset));
        file->read(out, static_cast<std::streamsize>(count));
        return static_cast<std::size_t>(file->gcount()) == count;
    };
    return true;
}

UnpackBudget unpackBudgetFor(std::uint64_t archiveBytes) {
    return {std::min(kMostUnpacked, archiveBytes > kMostUnpacked / 100 ? kMostUnpacked : archiveBytes * 100)};
}

bool looksGzipped(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
           static_cast<unsigned char>(bytes[1]) == 0x8b;
}

std::string_view gunzip(std::string_view bytes, std::string& out, UnpackBudget& budget) {
    out.clear();
    if (!looksGzipped(bytes)) return kDamaged;
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return kDamaged;
    std::string_view failure;
    while (!bytes.empty()) {
        // zlib counts in 32 bits; a larger input is fed in pieces.
        const std::size_t piece = std::min<std::size_t>(bytes.size(), std::size_t{1} << 30);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        stream.avail_in = static_cast<uInt>(piece);
        bool overBudget = false;
        const int status = inflateInto(stream, out, budget, overBudget);
        bytes.remove_prefix(piece - stream.avail_in);
        if (overBudget) {
            failure = kTooLarge;
            break;
        }
        if (status == Z_STREAM_END) {
            // Another member may follow; anything else after the first is padding.
            if (!looksGzipped(bytes)) break;
            inflateReset(&stream);
        } else if (status != Z_OK || bytes.empty()) {
            failure = kDamaged;
            break;
        }
    }
    inflateEnd(&stream);
    if (!failure.empty()) out.clear();
    return failure;
}

std::string_view readZipDirectory(const ArchiveSource& source, std::vector<ZipEntry>& entries) {
    entries.clear();
    // The end record sits in the last 22 bytes plus a comment of at most 65535.
    const std::uint64_t tailSize = std::min<std::uint64_t>(source.size, 22 + 65535);
    std::string tail;
    if (tailSize < 22 || !readAt(source, source.size - tailSize, tail, tailSize)) return kDamaged;
    // The last signature whose comment fits in what follows it; a comment may hold the bytes too.
    std::size_t end = tail.size() - 22;
    while ((end = tail.rfind("PK\x05\x06", end)) != std::string::npos &&
           littleEndian(&tail[end + 20], 2) > tail.size() - end - 22) {
        if (end-- == 0) return kDamaged;
    }
    if (end == std::string::npos) return kDamaged;
    const std::uint64_t endOffset = source.size - tailSize + end;
    std::uint64_t count = littleEndian(&tail[end + 10], 2);
    std::uint64_t directorySize = littleEndian(&tail[end + 12], 4);
    std::uint64_t directoryOffset = littleEndian(&tail[end + 16], 4);
    // A zip64 locator right before the end record points to the larger figures.
    std::string record;
    if (endOffset >= 20 && readAt(source, endOffset - 20, record, 20) && record.starts_with("PK\x06\x07")) {
        if (!readAt(source, littleEndian(&record[8], 8), record, 56) || !record.starts_with("PK\x06\x06"))
            return kDamaged;
        count = littleEndian(&record[32], 8);
        directorySize = littleEndian(&record[40], 8);
        directoryOffset = littleEndian(&record[48], 8);
    }
    std::string directory;
    if (directorySize > kMostDirectoryBytes || count > directorySize / 46 + 1 ||
        !readAt(source, directoryOffset, directory, directorySize))
        return kDamaged;
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (directory.size() - at < 46 || directory.compare(at, 4, "PK\x01\x02") != 0) return kDamaged;
        const char* header = directory.data() + at;
        const std::size_t nameSize = littleEndian(header + 28, 2);
        const std::size_t extraSize = littleEndian(header + 30, 2);
        const std::size_t commentSize = littleEndian(header + 32, 2);
        if (directory.size() - at - 46 < nameSize + extraSize + commentSize) return kDamaged;
        ZipEntry entry;
        const std::uint16_t flags = static_cast<std::uint16_t>(littleEndian(header + 8, 2));
        entry.encrypted = (flags & 1) != 0;
        entry.method = static_cast<std::uint16_t>(littleEndian(header + 10, 2));
        entry.crc = static_cast<std::uint32_t>(littleEndian(header + 16, 4));
        entry.compressedSize = littleEndian(header + 20, 4);
        entry.size = littleEndian(header + 24, 4);
        entry.headerOffset = littleEndian(header + 42, 4);
        entry.name.assign(header + 46, nameSize);
        // Names not marked as UTF-8 are in an old DOS code page; their other letters become '_'.
        if ((flags & 0x800) == 0) {
            for (char& c : entry.name)
                if (static_cast<unsigned char>(c) >= 0x80) c = '_';
        }
        std::replace(entry.name.begin(), entry.name.end(), '\\', '/');
        // The zip64 field holds, in this order, the figures that did not fit in 32 bits.
        std::string_view extra(header + 46 + nameSize, extraSize);
        while (extra.size() >= 4) {
            const std::size_t fieldSize = littleEndian(extra.data() + 2, 2);
            if (extra.size() - 4 < fieldSize) break;
            if (littleEndian(extra.data(), 2) == 1) {
                std::string_view field = extra.substr(4, fieldSize);
                for (std::uint64_t* value : {&entry.size, &entry.compressedSize, &entry.headerOffset}) {
                    if (*value != 0xFFFFFFFF || field.size() < 8) continue;
                    *value = littleEndian(field.data(), 8);
                    field.remove_prefix(8);
                }
            }
            extra.remove_prefix(4 + fieldSize);
        }
        entries.push_back(std::move(entry));
        at += 46 + nameSize + extraSize + commentSize;
    }
    return {};
}

std::string_view unzipEntry(const ArchiveSource& source, const ZipEntry& entry, std::string& out,
                            UnpackBudget& budget) {
    out.clear();
    if (entry.encrypted) return "reasonEncryptedEntry";
    if (!isSafeEntryName(entry.name)) return "reasonUnsafePath";
    if (entry.method != 0 && entry.method != 8) return kDamaged;
    if (entry.size > budget.left || (entry.method == 0 && entry.compressedSize > budget.left))
        return kTooLarge;
    std::string header;
    if (!readAt(source, entry.headerOffset, header, 30) || !header.starts_with("PK\x03\x04")) return kDamaged;
    std::uint64_t at = entry.headerOffset + 30 + littleEndian(&header[26], 2) + littleEndian(&header[28], 2);
    if (at > source.size || entry.compressedSize > source.size - at) return kDamaged;
    std::uint64_t left = entry.compressedSize;
    std::string piece;
    if (entry.method == 0) {
        if (!readAt(source, at, out, left)) return kDamaged;
        budget.left -= std::min(budget.left, left);
    } else {
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return kDamaged;
        int status = Z_OK;
        bool overBudget = false;
        while (status == Z_OK && left > 0) {
            const std::uint64_t size = std::min<std::uint64_t>(left, kChunk);
            if (!readAt(source, at, piece, size)) break;
            at += size;
            left -= size;
            stream.next_in = reinterpret_cast<Bytef*>(piece.data());
            stream.avail_in = static_cast<uInt>(piece.size());
            status = inflateInto(stream, out, budget, overBudget);
        }
        inflateEnd(&stream);
        if (overBudget) {
            out.clear();
            return kTooLarge;
        }
        if (status != Z_STREAM_END) {
            out.clear();
            return kDamaged;
        }
    }
    const uLong crc = crc32_z(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(out.data()), out.size());
    if (crc != entry.crc) {
        out.clear();
        return kDamaged;
    }
    return {};
}
