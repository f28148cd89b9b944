#include "library/LibraryIndex.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>
#include <unordered_map>

#include "core/ContentHash.h"
#include "core/Failure.h"

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[8] = {'T', 'I', 'R', 'N', 'L', 'I', 'D', 'X'};
constexpr std::uint32_t kByteOrderMark = 0x01020304;
constexpr std::uint32_t kVersion = 5;
// magic, byte order, version, name unit size, reserved, total size, taken at, entry count
constexpr std::size_t kHeaderSize = 8 + 4 + 4 + 4 + 4 + 8 + 8 + 8;
constexpr std::size_t kChecksumSize = 8;
// The smallest entry: an empty name, the stamp (size, write and change time, file ID), and a
// record of empty texts, no outline and no profile.
constexpr std::size_t kMinimumEntrySize =
    4 + 4 * 8 + 10 * 4 + 10 * 8 + 4 + 6 + 3 * 4 + 4 + 1 + 8 + 6 + 9 * 8 + 4;
// A bigger file is not an index of ours (about 4 KB per file at most: a thousandfold of any library).
constexpr std::uint64_t kLargestIndex = std::uint64_t(1) << 30;
// Longer than any file system's time granularity (FAT: 2 s) and the lag of a coarse kernel clock.
constexpr std::int64_t kClockMarginSeconds = 3;
constexpr const char* kTemporaryTag = "index";

using NameString = fs::path::string_type;

// The outline is most of an index: its doubles are copied whole where memory holds them in the
// file's order.
void storeDouble(char* out, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &bits, 8);
    } else {
        for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(bits >> (8 * i));
    }
}

double loadDouble(const unsigned char* in) {
    return std::bit_cast<double>(loadLittle64(in));
}

// Every field of a record but filePath, in the order stored. A field added to RouteInfo must be
// added here; the size check below is the reminder.
template <typename Route, typename Visit>
void eachStoredField(Route& route, Visit&& visit) {
    visit(route.fileStem);
    visit(route.routeName);
    visit(route.dateText);
    visit(route.distanceMeters);
    visit(route.durationSeconds);
    visit(route.ascentMeters);
    visit(route.pointCount);
    visit(route.hasTimestamps);
    visit(route.isRoundTrip);
    visit(route.hasStartPlace);
    visit(route.hasFinishPlace);
    visit(route.startLat);
    visit(route.startLon);
    visit(route.finishLat);
    visit(route.finishLon);
    visit(route.startPlace);
    visit(route.finishPlace);
    visit(route.sportKey);
    visit(route.sportLabel);
    visit(route.sportFromSpeed);
    visit(route.hasWeather);
    visit(route.temperatureC);
    visit(route.humidityPercent);
    visit(route.windKmh);
    visit(route.temperatureCount);
    visit(route.humidityCount);
    visit(route.windCount);
    visit(route.windDirection);
    visit(route.weatherCondition);
    visit(route.outline);
    visit(route.errorText);
    visit(route.warningText);
    visit(route.hasFirstTime);
    visit(route.firstTimeSeconds);
    visit(route.firstTimeOffsetMinutes);
    visit(route.hasContentHash);
    visit(route.contentHash);
    visit(route.hasHeartRate);
    visit(route.heartRateAvg);
    visit(route.heartRateMax);
    visit(route.hasCadence);
    visit(route.cadenceAvg);
    visit(route.hasPower);
    visit(route.powerAvg);
    visit(route.hasAirTemperature);
    visit(route.airTemperatureAvg);
    visit(route.hasMovingTime);
    visit(route.movingSeconds);
    visit(route.hasMaxSpeed);
    visit(route.maxSpeedKmh);
    visit(route.elevationProfile);
    visit(route.elevationLowest);
    visit(route.elevationHighest);
}

#if defined(__x86_64__) && defined(__GLIBCXX__)
static_assert(sizeof(RouteInfo) == 704, "RouteInfo changed: store the new field in the library index");
#endif

struct Writer {
    std::string bytes;

    void little(std::uint64_t value, std::size_t count) {
        char buffer[8];
        for (std::size_t i = 0; i < count; ++i) buffer[i] = static_cast<char>(value >> (8 * i));
        bytes.append(buffer, count);
    }
    void u8(std::uint8_t value) { bytes.push_back(static_cast<char>(value)); }
    void u32(std::uint32_t value) { little(value, 4); }
    void u64(std::uint64_t value) { little(value, 8); }
    void name(const NameString& text) {
        u32(static_cast<std::uint32_t>(text.size()));
        for (auto unit : text) {
            little(static_cast<std::make_unsigned_t<NameString::value_type>>(unit), sizeof(unit));
        }
    }
    // The field overloads for eachStoredField.
    void operator()(const std::string& text) {
        u32(static_cast<std::uint32_t>(text.size()));
        bytes.append(text);
    }
    void operator()(double value) { u64(std::bit_cast<std::uint64_t>(value)); }
    void operator()(std::uint32_t value) { u32(value); }
    void operator()(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
    void operator()(std::int64_t value) { u64(static_cast<std::uint64_t>(value)); }
    void operator()(std::uint64_t value) { u64(value); }
    void operator()(bool value) { u8(value ? 1 : 0); }
    void operator()(const std::vector<std::pair<double, double>>& points) {
        u32(static_cast<std::uint32_t>(points.size()));
        const std::size_t at = bytes.size();
        bytes.resize(at + points.size() * 16);
        char* out = bytes.data() + at;
        for (const auto& [lat, lon] : points) {
            storeDouble(out, lat);
            storeDouble(out + 8, lon);
            out += 16;
        }
    }
};

struct Reader;

// The index file read a piece at a time into one buffer, so that a large index never sits in memory
// whole (a fresh 40 MB buffer alone cost a tenth of a scan of an unchanged library).
struct FileWindow {
    std::ifstream file;
    std::vector<unsigned char> buffer;
    std::uint64_t bodyLeft = 0;  // bytes before the checksum not read yet

    bool fill(Reader& reader, std::size_t count);
};

// Every read checks the bytes left first; after the first failure everything reads as zero.
struct Reader {
    const unsigned char* next;
    std::size_t left;  // in memory now
    bool ok = true;
    FileWindow* window = nullptr;  // where more comes from, if anywhere

    std::uint64_t remaining() const { return left + (window ? window->bodyLeft : 0); }
    bool take(std::size_t count) {
        if (ok && count > left && window) ok = window->fill(*this, count);
        if (!ok || count > left) {
            ok = false;
            return false;
        }
        return true;
    }
    template <std::size_t count>
    std::uint64_t little() {
        if (!take(count)) return 0;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < count; ++i) value |= std::uint64_t(next[i]) << (8 * i);
        next += count;
        left -= count;
        return value;
    }
    std::uint8_t u8() { return static_cast<std::uint8_t>(little<1>()); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(little<4>()); }
    std::uint64_t u64() { return little<8>(); }
    void name(NameString& text) {
        const std::uint32_t size = u32();
        constexpr std::size_t unitSize = sizeof(NameString::value_type);
        if (!take(std::size_t(size) * unitSize)) return;
        text.resize(size);
        for (auto& unit : text) unit = static_cast<NameString::value_type>(little<unitSize>());
    }
    void operator()(std::string& text) {
        const std::uint32_t size = u32();
        if (!take(size)) return;
        text.assign(reinterpret_cast<const char*>(next), size);
        next += size;
        left -= size;
    }
    void operator()(double& value) { value = std::bit_cast<double>(u64()); }
    void operator()(std::uint32_t& value) { value = u32(); }
    void operator()(std::int32_t& value) { value = static_cast<std::int32_t>(u32()); }
    void operator()(std::int64_t& value) { value = static_cast<std::int64_t>(u64()); }
    void operator()(std::uint64_t& value) { value = u64(); }
    void operator()(bool& value) {
        const std::uint8_t byte = u8();
        if (byte > 1) ok = false;
        value = byte == 1;
    }
    void operator()(std::vector<std::pair<double, double>>& points) {
        const std::uint32_t count = u32();
        if (!take(std::size_t(count) * 16)) return;
        points.resize(count);
        for (auto& [lat, lon] : points) {
            lat = loadDouble(next);
            lon = loadDouble(next + 8);
            next += 16;
        }
        left -= std::size_t(count) * 16;
    }
};

bool FileWindow::fill(Reader& reader, std::size_t count) {
    if (count > reader.remaining()) return false;
    const std::size_t kept = reader.left;
    std::memmove(buffer.data(), reader.next, kept);
    if (buffer.size() < count) buffer.resize(count);
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size() - kept, bodyLeft));
    file.read(reinterpret_cast<char*>(buffer.data() + kept), static_cast<std::streamsize>(wanted));
    if (static_cast<std::size_t>(file.gcount()) != wanted) return false;
    bodyLeft -= wanted;
    reader.next = buffer.data();
    reader.left = kept + wanted;
    return true;
}

// The folder as an absolute, normal path without a trailing separator: the same library gives the
// same index however its path was written.
fs::path folderKey(const fs::path& folder) {
    std::error_code error;
    fs::path key = fs::absolute(folder, error);
    if (error) key = folder;
    key = key.lexically_normal();
    if (!key.has_filename() && key.has_relative_path()) key = key.parent_path();
    return key;
}

// Temporary files that a writer left when it was killed. One still being written by another scan
// is young: only those an hour old are removed.
void removeAbandonedTemporaries(const fs::path& indexPath) {
    std::vector<FolderEntry> entries;
    if (!listFolder(indexPath.parent_path(), entries)) return;
    for (const FolderEntry& entry : entries) removeIfAbandonedTemporary(indexPath.parent_path() / entry.name);
}

// Everything before the checksum; the caller checks the checksum.
bool decodeBody(Reader& in, std::uint64_t totalSize, const fs::path& folder, LibraryIndex& index) {
    if (!in.take(sizeof kMagic) || std::memcmp(in.next, kMagic, sizeof kMagic) != 0) return false;
    in.next += sizeof kMagic;
    in.left -= sizeof kMagic;
    // An index written with the other byte order shows the mark reversed.
    if (in.u32() != kByteOrderMark || in.u32() != kVersion) return false;
    if (in.u32() != sizeof(NameString::value_type) || in.u32() != 0) return false;
    if (in.u64() != totalSize) return false;
    index.takenAt = static_cast<std::int64_t>(in.u64());
    const std::uint64_t count = in.u64();
    NameString storedFolder;
    in.name(storedFolder);
    // A hash collision or a moved cache: the index belongs to another folder.
    if (!in.ok || storedFolder != folderKey(folder).native()) return false;
    if (count > in.remaining() / kMinimumEntrySize) return false;
    index.entries.clear();
    index.entries.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count && in.ok; ++i) {
        IndexEntry& entry = index.entries.emplace_back();
        in.name(entry.fileName);
        entry.stamp.size = in.u64();
        entry.stamp.lastWrite = static_cast<std::int64_t>(in.u64());
        entry.stamp.changeTime = static_cast<std::int64_t>(in.u64());
        entry.stamp.fileId = in.u64();
        eachStoredField(entry.route, in);
    }
    return in.ok && in.remaining() == 0;
}

}  // namespace

fs::path libraryCacheFolder() {
    const fs::path base = localCacheFolderPath();
    if (base.empty()) return base;
    return base / "Tirn GPX Library";
}

fs::path libraryIndexPath(const fs::path& folder) {
    const fs::path cache = libraryCacheFolder();
    if (cache.empty()) return cache;
    // FNV-1a over the code units of the path.
    std::uint64_t hash = 0xCBF29CE484222325ull;
    const fs::path key = folderKey(folder);
    for (auto unit : key.native()) {
        const auto code = static_cast<std::make_unsigned_t<NameString::value_type>>(unit);
        for (std::size_t i = 0; i < sizeof(unit); ++i) {
            hash ^= static_cast<std::uint8_t>(code >> (8 * i));
            hash *= 0x100000001B3ull;
        }
    }
    char name[40];
    std::snprintf(name, sizeof name, "library-%016llx.index", static_cast<unsigned long long>(hash));
    return cache / name;
}

bool indexEntryStillValid(const LibraryIndex& index, const IndexEntry& entry, const FileStamp& current) {
    return entry.stamp == current &&
           current.lastWrite < index.takenAt - kClockMarginSeconds * fileTimeUnitsPerSecond();
}

bool worthIndexing(const RouteInfo& route) {
    return route.errorText != kMessageCannotRead;
}

std::uint64_t libraryIndexChecksum(std::string_view text) {
    ContentHasher sum(text.size());
    sum.add(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    return sum.finish();
}

std::string encodeLibraryIndex(const fs::path& folder, std::int64_t takenAt,
                               const std::vector<IndexEntryView>& entries) {
    Writer out;
    out.bytes.append(kMagic, sizeof kMagic);
    out.u32(kByteOrderMark);
    out.u32(kVersion);
    out.u32(sizeof(NameString::value_type));
    out.u32(0);
    const std::size_t totalSizeAt = out.bytes.size();
    out.u64(0);  // the total size, filled in below
    out.u64(static_cast<std::uint64_t>(takenAt));
    out.u64(entries.size());
    out.name(folderKey(folder).native());
    for (const IndexEntryView& entry : entries) {
        out.name(*entry.fileName);
        out.u64(entry.stamp.size);
        out.u64(static_cast<std::uint64_t>(entry.stamp.lastWrite));
        out.u64(static_cast<std::uint64_t>(entry.stamp.changeTime));
        out.u64(entry.stamp.fileId);
        eachStoredField(*entry.route, out);
    }
    Writer size;
    size.u64(out.bytes.size() + kChecksumSize);
    out.bytes.replace(totalSizeAt, 8, size.bytes);
    out.u64(libraryIndexChecksum(out.bytes));
    return std::move(out.bytes);
}

bool decodeLibraryIndex(std::string_view bytes, const fs::path& folder, LibraryIndex& index) {
    if (bytes.size() < kHeaderSize + kChecksumSize) return false;
    const std::string_view body = bytes.substr(0, bytes.size() - kChecksumSize);
    Reader trailer{reinterpret_cast<const unsigned char*>(bytes.data() + body.size()), kChecksumSize};
    if (trailer.u64() != libraryIndexChecksum(body)) return false;
    Reader in{reinterpret_cast<const unsigned char*>(body.data()), body.size()};
    return decodeBody(in, bytes.size(), folder, index);
}

std::optional<LibraryIndex> loadLibraryIndex(const fs::path& folder) {
    const fs::path path = libraryIndexPath(folder);
    if (path.empty()) return std::nullopt;
    FileStamp stamp;
    if (!readFileStamp(path, stamp) || stamp.size > kLargestIndex ||
        stamp.size < kHeaderSize + kChecksumSize) {
        return std::nullopt;
    }
    constexpr std::size_t kWindowBytes = 64 * 1024;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    // First the checksum over the whole file, a window at a time: nothing is decoded, and nothing
    // allocated on the word of a count, before the index is known to be whole.
    const std::uint64_t bodySize = stamp.size - kChecksumSize;
    std::vector<unsigned char> buffer(kWindowBytes);
    ContentHasher sum(bodySize);
    for (std::uint64_t left = bodySize; left > 0;) {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
        file.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(wanted));
        if (static_cast<std::size_t>(file.gcount()) != wanted) return std::nullopt;
        sum.add(buffer.data(), wanted);
        left -= wanted;
    }
    unsigned char trailer[kChecksumSize];
    file.read(reinterpret_cast<char*>(trailer), kChecksumSize);
    // The file may have been replaced while it was read: what was read must be all there is.
    if (file.gcount() != kChecksumSize || file.peek() != std::char_traits<char>::eof() ||
        loadLittle64(trailer) != sum.finish()) {
        return std::nullopt;
    }
    // Then decoded from the same open file: a writer replaces the index by another file, it never
    // writes into this one.
    file.clear();
    if (!file.seekg(0)) return std::nullopt;
    FileWindow window{std::move(file), std::move(buffer), bodySize};
    Reader in{window.buffer.data(), 0, true, &window};
    LibraryIndex index;
    if (!decodeBody(in, stamp.size, folder, index)) return std::nullopt;
    return index;
}

bool storeLibraryIndex(const fs::path& folder, std::string_view bytes) {
    const fs::path path = libraryIndexPath(folder);
    if (path.empty()) return false;
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    // A fresh random name: two scans of the same library never write into each other's file.
    const fs::path temporary = temporaryPathBeside(path, kTemporaryTag);
    if (!writeFileDurably(temporary, bytes) || !replaceFile(temporary, path)) {
        fs::remove(temporary, error);
        return false;
    }
    removeAbandonedTemporaries(path);
    return true;
}

bool updateIndexEntry(const fs::path& folder, const RouteInfo& route) {
    const NameString fileName = route.filePath.filename().native();
    FileStamp stamp;
    const bool stamped = readFileStamp(route.filePath, stamp);
    std::optional<LibraryIndex> index = loadLibraryIndex(folder);
    if (!index) return false;
    std::vector<IndexEntryView> views;
    views.reserve(index->entries.size() + 1);
    for (const IndexEntry& entry : index->entries) {
        if (entry.fileName != fileName) views.push_back({&entry.fileName, entry.stamp, &entry.route});
    }
    // The record is judged at the next scan like every other: by its stamp and the index's time.
    if (stamped && worthIndexing(route)) views.push_back({&fileName, stamp, &route});
    return storeLibraryIndex(folder, encodeLibraryIndex(folder, index->takenAt, views));
}
