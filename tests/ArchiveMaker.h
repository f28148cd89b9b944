#pragma once
// gzip and ZIP bytes made in memory for the import tests (zlib's deflate, raw or gzip-wrapped).

#include <zlib.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline std::string deflated(std::string_view bytes, int windowBits) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

inline std::string gzipped(std::string_view bytes) {
    return deflated(bytes, 16 + MAX_WBITS);
}

struct MadeEntry {
    std::string name, content;
    bool deflate = true;
    std::uint16_t flags = 0x800;  // UTF-8 name; bit 0 marks encryption
};

inline void putLittle(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i, value >>= 8) out += static_cast<char>(value & 0xFF);
}

// A ZIP of the entries; `zip64` writes the directory's figures in zip64 records only.
inline std::string zipped(const std::vector<MadeEntry>& entries, bool zip64 = false) {
    std::string out, directory;
    for (const MadeEntry& entry : entries) {
        const std::string data = entry.deflate ? deflated(entry.content, -MAX_WBITS) : entry.content;
        const auto crc = crc32(0, reinterpret_cast<const Bytef*>(entry.content.data()),
                               static_cast<uInt>(entry.content.size()));
        std::string common;
        putLittle(common, entry.flags, 2);
        putLittle(common, entry.deflate ? 8 : 0, 2);
        putLittle(common, 0, 4);
        putLittle(common, crc, 4);
        putLittle(common, zip64 ? 0xFFFFFFFF : data.size(), 4);
        putLittle(common, zip64 ? 0xFFFFFFFF : entry.content.size(), 4);
        putLittle(common, entry.name.size(), 2);
        std::string extra;
        if (zip64) {
            putLittle(extra, 1, 2);
            putLittle(extra, 24, 2);
            putLittle(extra, entry.content.size(), 8);
            putLittle(extra, data.size(), 8);
            putLittle(extra, out.size(), 8);
        }
        directory += std::string("PK\x01\x02\x2d\x00\x2d\x00", 8) + common;
        putLittle(directory, extra.size(), 2);
        putLittle(directory, 0, 10);  // comment, disk, attributes
        putLittle(directory, zip64 ? 0xFFFFFFFF : out.size(), 4);
        directory += entry.name + extra;
        out += std::string("PK\x03\x04\x2d\x00", 6) + common;
        putLittle(out, 0, 2);
        out += entry.name + data;
    }
    const std::size_t directoryOffset = out.size();
    out += directory;
    if (zip64) {
        const std::size_t recordOffset = out.size();
        out += std::string("PK\x06\x06", 4);
        putLittle(out, 44, 8);
        putLittle(out, 0x2d2d, 4);
        putLittle(out, 0, 8);
        putLittle(out, entries.size(), 8);
        putLittle(out, entries.size(), 8);
        putLittle(out, directory.size(), 8);
        putLittle(out, directoryOffset, 8);
        out += std::string("PK\x06\x07", 4);
        putLittle(out, 0, 4);
        putLittle(out, recordOffset, 8);
        putLittle(out, 1, 4);
    }
    out += std::string("PK\x05\x06", 4);
    putLittle(out, 0, 4);
    putLittle(out, zip64 ? 0xFFFF : entries.size(), 2);
    putLittle(out, zip64 ? 0xFFFF : entries.size(), 2);
    putLittle(out, zip64 ? 0xFFFFFFFF : directory.size(), 4);
    putLittle(out, zip64 ? 0xFFFFFFFF : directoryOffset, 4);
    putLittle(out, 0, 2);
    return out;
}
