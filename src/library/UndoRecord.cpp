#include "library/UndoRecord.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <utility>

#include "library/LibraryIndex.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

using PathUnit = fs::path::value_type;

constexpr std::string_view kMagic = "TIRN-UNDO 1\n";
constexpr std::string_view kRecordPrefix = "undo-";
constexpr std::string_view kRecordSuffix = ".record";

void putU64(std::string& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

void putBytes(std::string& out, std::string_view bytes) {
    putU64(out, bytes.size());
    out.append(bytes);
}

// Paths are kept in their native code units: the record is read back only by the same system.
void putPath(std::string& out, const fs::path& path) {
    const auto& native = path.native();
    putBytes(out, std::string_view(reinterpret_cast<const char*>(native.data()),
                                   native.size() * sizeof(PathUnit)));
}

struct Reader {
    std::string_view in;
    bool ok = true;

    std::uint64_t u64() {
        if (in.size() < 8) return fail();
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i) value |= std::uint64_t{static_cast<unsigned char>(in[i])} << (8 * i);
        in.remove_prefix(8);
        return value;
    }
    std::string_view bytes() {
        const std::uint64_t size = u64();
        if (!ok || size > in.size()) return fail(), std::string_view();
        const std::string_view taken = in.substr(0, size);
        in.remove_prefix(size);
        return taken;
    }
    fs::path path() {
        const std::string_view raw = bytes();
        if (raw.size() % sizeof(PathUnit) != 0) return fail(), fs::path();
        fs::path::string_type native(raw.size() / sizeof(PathUnit), PathUnit{});
        if (!raw.empty()) std::memcpy(native.data(), raw.data(), raw.size());
        return fs::path(std::move(native));
    }
    std::uint64_t fail() {
        ok = false;
        return 0;
    }
};

std::uint64_t entryBytes(const UndoEntry& entry) {
    return entry.bytes.size();
}

std::uint64_t recordBytes(const UndoRecord& record) {
    std::uint64_t total = 0;
    for (const UndoEntry& entry : record.entries) total += entryBytes(entry);
    return total;
}

// The record files in the folder, oldest first, with their sequence numbers.
std::vector<std::pair<std::uint64_t, fs::path>> recordFiles(const fs::path& folder) {
    std::vector<std::pair<std::uint64_t, fs::path>> files;
    std::vector<FolderEntry> entries;
    listFolder(folder, entries);
    for (const FolderEntry& entry : entries) {
        if (!entry.isFile) continue;
        const std::string name = pathToUtf8(entry.name);
        if (name.size() != kRecordPrefix.size() + 16 + kRecordSuffix.size() ||
            !name.starts_with(kRecordPrefix) || !name.ends_with(kRecordSuffix)) {
            continue;
        }
        const std::string digits = name.substr(kRecordPrefix.size(), 16);
        if (!std::all_of(digits.begin(), digits.end(),
                         [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
            continue;
        files.emplace_back(std::stoull(digits, nullptr, 16), folder / entry.name);
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool readFile(const fs::path& path, std::string& bytes) {
    FileBuffer buffer;
    std::size_t size = 0;
    if (!readWholeFile(path, buffer, size)) return false;
    bytes.assign(buffer.data, size);
    return true;
}

// Writes `bytes` as a new file under `path`, never replacing one: through a temporary beside it.
bool writeNewFile(const fs::path& path, std::string_view bytes) {
    const fs::path temporary = temporaryPathBeside(path, "undo");
    if (!writeFileDurably(temporary, bytes) || moveWithoutReplacing(temporary, path) != FileError::none) {
        removeFile(temporary);
        return false;
    }
    return true;
}

bool undoSport(const UndoEntry& entry) {
    // Under the rewrite's lock, so that a change between the check and the replace is refused.
    FileRewrite file;
    std::string current;
    if (file.open(entry.path, current) != RewriteError::none) return false;
    if (undoHash(current) != entry.hash) return false;
    return file.replaceWith(entry.bytes) == RewriteError::none;
}

bool undoRename(const UndoEntry& entry) {
    std::string current;
    if (fileKind(entry.path) != FileKind::file || !readFile(entry.path, current) ||
        undoHash(current) != entry.hash)
        return false;
    return moveWithoutReplacing(entry.path, entry.oldPath) == FileError::none;
}

bool undoRecycle(const UndoEntry& entry) {
    if (isNameFree(entry.path)) return writeNewFile(entry.path, entry.bytes);
    // Already back with the same bytes (put back from the Recycle Bin, say): nothing to do.
    std::string current;
    return fileKind(entry.path) == FileKind::file && readFile(entry.path, current) &&
           undoHash(current) == entry.hash;
}

}  // namespace

std::uint64_t undoHash(std::string_view bytes) {
    // FNV-1a, with the length folded in last.
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ull;
    }
    hash ^= bytes.size();
    return hash * 0x100000001B3ull;
}

std::string encodeUndoRecord(const UndoRecord& record) {
    std::string out(kMagic);
    putU64(out, static_cast<std::uint64_t>(record.kind));
    putU64(out, record.entries.size());
    for (const UndoEntry& entry : record.entries) {
        putPath(out, entry.path);
        putPath(out, entry.oldPath);
        putBytes(out, entry.bytes);
        putU64(out, entry.hash);
    }
    // A cut or damaged file is told by the hash of all that stands before it.
    putU64(out, undoHash(out));
    return out;
}

std::optional<UndoRecord> decodeUndoRecord(std::string_view bytes) {
    if (bytes.size() < kMagic.size() + 8 || !bytes.starts_with(kMagic)) return std::nullopt;
    Reader check{bytes.substr(bytes.size() - 8)};
    if (check.u64() != undoHash(bytes.substr(0, bytes.size() - 8))) return std::nullopt;
    Reader in{bytes.substr(kMagic.size(), bytes.size() - kMagic.size() - 8)};
    UndoRecord record;
    const std::uint64_t kind = in.u64();
    if (kind < 1 || kind > 3) return std::nullopt;
    record.kind = static_cast<UndoKind>(kind);
    const std::uint64_t count = in.u64();
    // Every entry takes at least 32 bytes: a count beyond that is damage, not a reason to allocate.
    if (!in.ok || count > in.in.size() / 32) return std::nullopt;
    record.entries.resize(count);
    for (UndoEntry& entry : record.entries) {
        entry.path = in.path();
        entry.oldPath = in.path();
        entry.bytes = std::string(in.bytes());
        entry.hash = in.u64();
    }
    if (!in.ok || !in.in.empty()) return std::nullopt;
    return record;
}

fs::path undoFolder() {
    const fs::path cache = libraryCacheFolder();
    return cache.empty() ? cache : cache / "undo";
}

bool saveUndoRecord(const fs::path& folder, UndoRecord record, std::uint64_t capBytes) {
    if (folder.empty() || !createFolders(folder)) return false;
    // The first entries of a record too large on its own go first.
    std::uint64_t total = recordBytes(record);
    std::size_t dropped = 0;
    while (total > capBytes && dropped < record.entries.size())
        total -= entryBytes(record.entries[dropped++]);
    record.entries.erase(record.entries.begin(),
                         record.entries.begin() + static_cast<std::ptrdiff_t>(dropped));

    const auto files = recordFiles(folder);
    // Newest first, the older records are kept while they fit beside the new one.
    bool full = false;
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
        FileStamp stamp;
        const std::uint64_t size = readFileStamp(file->second, stamp) ? stamp.size : 0;
        if (!full && total + size <= capBytes) {
            total += size;
            continue;
        }
        full = true;
        removeFile(file->second);
    }
    char name[48];
    const std::uint64_t next = files.empty() ? 1 : files.back().first + 1;
    std::snprintf(name, sizeof name, "undo-%016llx.record", static_cast<unsigned long long>(next));
    return writeNewFile(folder / name, encodeUndoRecord(record));
}

std::optional<UndoRecord> takeNewestUndoRecord(const fs::path& folder) {
    if (folder.empty()) return std::nullopt;
    auto files = recordFiles(folder);
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
        std::string bytes;
        std::optional<UndoRecord> record;
        if (readFile(file->second, bytes)) record = decodeUndoRecord(bytes);
        removeFile(file->second);
        if (record) return record;
    }
    return std::nullopt;
}

UndoOutcome undoChange(const UndoRecord& record) {
    UndoOutcome outcome;
    for (const UndoEntry& entry : record.entries) {
        bool done = false;
        switch (record.kind) {
            case UndoKind::sport:
                done = undoSport(entry);
                break;
            case UndoKind::rename:
                done = undoRename(entry);
                break;
            case UndoKind::recycle:
                done = undoRecycle(entry);
                break;
        }
        if (done) {
            ++outcome.restored;
        } else {
            outcome.leftAlone.push_back(entry.path);
        }
    }
    return outcome;
}
