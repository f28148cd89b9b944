#include "library/SameFile.h"

#include <array>
#include <cstring>
#include <fstream>
#include <unordered_map>

#include "core/ContentHash.h"
#include "library/LibraryScan.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;

bool readPiece(std::ifstream& file, std::array<char, kPieceBytes>& piece, std::size_t wanted) {
    file.read(piece.data(), static_cast<std::streamsize>(wanted));
    return static_cast<std::size_t>(file.gcount()) == wanted;
}

// Hashed a piece at a time, so that a large source is never held whole.
std::optional<std::uint64_t> hashOfFile(const fs::path& path, std::uint64_t size) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::array<char, kPieceBytes> piece;
    ContentHasher hasher(size);
    for (std::uint64_t left = size; left > 0;) {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(left, piece.size()));
        if (!readPiece(file, piece, wanted)) return std::nullopt;
        hasher.add(reinterpret_cast<const unsigned char*>(piece.data()), wanted);
        left -= wanted;
    }
    return hasher.finish();
}

bool sameBytes(const fs::path& a, const fs::path& b, std::uint64_t size) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second) return false;
    std::array<char, kPieceBytes> pieceA;
    std::array<char, kPieceBytes> pieceB;
    for (std::uint64_t left = size; left > 0;) {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(left, pieceA.size()));
        if (!readPiece(first, pieceA, wanted) || !readPiece(second, pieceB, wanted) ||
            std::memcmp(pieceA.data(), pieceB.data(), wanted) != 0)
            return false;
        left -= wanted;
    }
    // Both still end there: neither grew while it was read.
    return first.peek() == std::ifstream::traits_type::eof() &&
           second.peek() == std::ifstream::traits_type::eof();
}

// Whether the file holds exactly `bytes`, compared a piece at a time.
bool fileHoldsBytes(const fs::path& path, std::string_view bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::array<char, kPieceBytes> piece;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t wanted = std::min(bytes.size() - at, piece.size());
        if (!readPiece(file, piece, wanted) || std::memcmp(piece.data(), bytes.data() + at, wanted) != 0)
            return false;
        at += wanted;
    }
    return file.peek() == std::ifstream::traits_type::eof();
}

// The hashes of the index, for the files it still stands for.
void lookUpHashes(KnownLibraryFiles& known) {
    known.hashesLooked = true;
    const std::optional<LibraryIndex> index = loadLibraryIndex(known.folder);
    if (!index) return;
    std::unordered_map<fs::path::string_type, const IndexEntry*> byName;
    for (const IndexEntry& entry : index->entries) byName.emplace(entry.fileName, &entry);
    for (KnownLibraryFile& file : known.files) {
        const auto found = byName.find(file.path.filename().native());
        FileStamp stamp;
        if (found == byName.end() || !found->second->route.hasContentHash ||
            !readFileStamp(file.path, stamp) || !indexEntryStillValid(*index, *found->second, stamp))
            continue;
        file.hashed = true;
        file.hash = found->second->route.contentHash;
    }
}

}  // namespace

KnownLibraryFiles listKnownLibraryFiles(const fs::path& folder) {
    KnownLibraryFiles known;
    known.folder = folder;
    std::vector<StampedFile> listed;
    listStampedFiles(folder, isLibraryFileName, listed);
    for (const StampedFile& file : listed) {
        if (file.stamped) known.files.push_back({longPathForm(folder / file.name), file.stamp.size});
    }
    return known;
}

fs::path fileWithSameBytes(KnownLibraryFiles& known, const fs::path& source) {
    FileStamp sourceStamp;
    if (!readFileStamp(source, sourceStamp)) return {};
    const std::uint64_t size = sourceStamp.size;
    std::optional<std::uint64_t> sourceHash;
    bool hashTried = false;
    for (KnownLibraryFile& file : known.files) {
        if (file.size != size) continue;
        if (!known.hashesLooked) lookUpHashes(known);
        if (file.hashed) {
            if (!hashTried) sourceHash = hashOfFile(source, size);
            hashTried = true;
            if (sourceHash && *sourceHash != file.hash) continue;
        }
        if (sameBytes(source, file.path, size)) return file.path;
    }
    return {};
}

fs::path fileWithSameBytes(KnownLibraryFiles& known, std::string_view bytes) {
    std::optional<std::uint64_t> hash;
    for (KnownLibraryFile& file : known.files) {
        if (file.size != bytes.size()) continue;
        if (!known.hashesLooked) lookUpHashes(known);
        if (file.hashed) {
            if (!hash) hash = contentHash(bytes);
            if (*hash != file.hash) continue;
        }
        if (fileHoldsBytes(file.path, bytes)) return file.path;
    }
    return {};
}

void addKnownFile(KnownLibraryFiles& known, const fs::path& file) {
    FileStamp stamp;
    if (readFileStamp(file, stamp)) known.files.push_back({file, stamp.size});
}
