#include "core/ContentHash.h"

#include <bit>
#include <cstring>

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;

std::uint64_t step(std::uint64_t hash, std::uint64_t value) {
    return std::rotl(hash ^ (value * kPrime2), 31) * kPrime1;
}

// The two halves of the full product folded: one multiplication takes in sixteen bytes.
std::uint64_t mix(std::uint64_t a, std::uint64_t b) {
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

void block(std::uint64_t (&lanes)[4], const unsigned char* bytes) {
    for (int lane = 0; lane < 4; ++lane) {
        const unsigned char* at = bytes + 16 * lane;
        lanes[lane] = mix(loadLittle64(at) ^ kPrime1, loadLittle64(at + 8) ^ lanes[lane]);
    }
}

}  // namespace

ContentHasher::ContentHasher(std::uint64_t totalSize)
    : lanes{kPrime1 ^ totalSize, kPrime2 ^ totalSize, std::rotl(kPrime1, 17) ^ totalSize,
            std::rotl(kPrime2, 29) ^ totalSize} {}

void ContentHasher::add(const unsigned char* bytes, std::size_t size) {
    if (carried > 0) {
        const std::size_t taken = size < kBlock - carried ? size : kBlock - carried;
        std::memcpy(carry + carried, bytes, taken);
        carried += taken;
        bytes += taken;
        size -= taken;
        if (carried < kBlock) return;
        block(lanes, carry);
        carried = 0;
    }
    for (; size >= kBlock; bytes += kBlock, size -= kBlock) block(lanes, bytes);
    if (size > 0) std::memcpy(carry, bytes, size);
    carried = size;
}

std::uint64_t ContentHasher::finish() {
    std::uint64_t hash = lanes[0];
    for (int lane = 1; lane < 4; ++lane) hash = step(hash, lanes[lane]);
    // The last bytes as words, the missing ones zero (the size is in the seed).
    std::memset(carry + carried, 0, kBlock - carried);
    for (std::size_t at = 0; at < carried; at += 8) hash = step(hash, loadLittle64(carry + at));
    hash ^= hash >> 33;
    hash *= kPrime2;
    hash ^= hash >> 29;
    hash *= kPrime1;
    hash ^= hash >> 32;
    return hash;
}

std::uint64_t contentHash(std::string_view bytes) {
    ContentHasher hasher(bytes.size());
    hasher.add(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return hasher.finish();
}
