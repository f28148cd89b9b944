#pragma once
// A fast 64-bit hash of a file's bytes: for telling the same file again (the library's duplicates,
// an import of a file already there) and for the library index's checksum. Not a cryptographic
// hash: equal hashes are confirmed by comparing the bytes where it matters.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// One full 64 x 64-bit multiplication per sixteen bytes, in four independent lanes so that the
// processor runs them side by side, and a file is hashed at over ten GB/s. Fed in pieces of any
// size; the total size is given up front.
struct ContentHasher {
    static constexpr std::size_t kBlock = 64;
    std::uint64_t lanes[4];
    unsigned char carry[kBlock] = {};
    std::size_t carried = 0;

    explicit ContentHasher(std::uint64_t totalSize);
    void add(const unsigned char* bytes, std::size_t size);
    std::uint64_t finish();
};

std::uint64_t contentHash(std::string_view bytes);

// Eight bytes read as a little-endian number, whatever the processor's order: the hash's word and
// the library index's numbers.
inline std::uint64_t loadLittle64(const unsigned char* bytes) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t value;
        std::memcpy(&value, bytes, 8);
        return value;
    }
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value |= std::uint64_t(bytes[i]) << (8 * i);
    return value;
}
