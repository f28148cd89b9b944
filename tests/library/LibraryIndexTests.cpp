#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "LibraryTestSupport.h"
#include "core/Failure.h"
#include "core/SportRewrite.h"
#include "core/TrackAnalysis.h"
#include "library/LibraryIndex.h"
#include "library/LibraryScan.h"

namespace fs = std::filesystem;

namespace {

// Every byte this program asks of operator new, to see what loading an index allocates.
std::atomic<std::size_t> allocatedBytes{0};
// While set, memory runs out for every thread but `sparedThread`, which waits in its first large
// request until another thread was refused.
std::atomic<bool> refuseOtherThreads{false}, otherThreadRefused{false}, spareWaits{false};
std::thread::id sparedThread;

}  // namespace

// Not inlined: the compiler would see malloc paired with a delete expression and warn.
[[gnu::noinline]] void* operator new(std::size_t size) {
    allocatedBytes.fetch_add(size, std::memory_order_relaxed);
    if (refuseOtherThreads && std::this_thread::get_id() != sparedThread) {
        otherThreadRefused = true;
        throw std::bad_alloc();
    }
    if (refuseOtherThreads && size >= (std::size_t{1} << 16) && spareWaits.exchange(false)) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!otherThreadRefused && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* memory) noexcept {
    std::free(memory);
}
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

// A small track whose figures depend on `seed`.
std::string trackText(int seed) {
    std::string text = "<gpx><trk><name>Route " + std::to_string(seed) + "</name><type>hiking</type><trkseg>";
    for (int i = 0; i < 3 + seed % 5; ++i) {
        text += "<trkpt lat=\"47." + std::to_string(100 + seed * 7 + i * 13) + "\" lon=\"8." +
                std::to_string(200 + i * 29) + "\"><ele>" + std::to_string(400 + i * seed % 37) +
                "</ele><time>2024-0" + std::to_string(1 + seed % 3) + "-1" + std::to_string(i % 10) +
                "T08:00:00" + (seed % 2 ? "-05:30" : "Z") + "</time>" +
                (seed % 2 ? "" : "<extensions><hr>" + std::to_string(90 + seed + i) + "</hr></extensions>") +
                "</trkpt>";
    }
    return text + "</trkseg></trk></gpx>";
}

// Last written an hour ago or earlier: old enough for the index to stand for the file.
void makeOld(const fs::path& file, int extraSeconds = 0) {
    fs::last_write_time(
        file, fs::file_time_type::clock::now() - std::chrono::hours(1) - std::chrono::seconds(extraSeconds));
}

std::vector<std::string> describe(const std::vector<RouteInfo>& routes) {
    std::vector<std::string> lines;
    for (const RouteInfo& route : routes) {
        lines.push_back(
            pathToUtf8(route.filePath) + "|" + route.fileStem + "|" + route.routeName + "|" + route.dateText +
            "|" + std::to_string(route.distanceMeters) + "|" + std::to_string(route.pointCount) + "|" +
            route.sportKey + "|" + std::to_string(route.outline.size()) + "|" + route.errorText + "|" +
            std::to_string(route.hasFirstTime) + "|" + std::to_string(route.firstTimeSeconds) + "|" +
            std::to_string(route.firstTimeOffsetMinutes) + "|" + std::to_string(route.hasContentHash) +
            std::to_string(route.contentHash) + "|" + std::to_string(route.hasHeartRate) + "|" +
            std::to_string(route.heartRateAvg) + "|" + std::to_string(route.heartRateMax) + "|" +
            std::to_string(route.movingSeconds) + "|" + std::to_string(route.maxSpeedKmh) + "|" +
            std::to_string(route.elevationProfile.size()) + "|" + std::to_string(route.elevationHighest));
    }
    return lines;
}

// The index bytes with their closing checksum made to match, so that the structure is what is read.
std::string withMatchingChecksum(std::string bytes) {
    const std::uint64_t sum = libraryIndexChecksum(std::string_view(bytes).substr(0, bytes.size() - 8));
    for (int i = 0; i < 8; ++i) bytes[bytes.size() - 8 + i] = static_cast<char>(sum >> (8 * i));
    return bytes;
}

struct LibraryIndexTest : ScratchSettings {
    fs::path folder;
    void SetUp() override {
        ScratchSettings::SetUp();
        folder = temp.path / "lib";
        fs::create_directories(folder);
        for (int i = 0; i < 6; ++i)
            writeBytes(folder / ("route " + std::to_string(i) + ".gpx"), trackText(i));
        writeBytes(folder / "broken.gpx", "<gpx><trk><trkseg><trkpt lat=\"1\"");
        for (const auto& entry : fs::directory_iterator(folder)) makeOld(entry.path());
    }
    std::vector<RouteInfo> scan(LibraryScanCounts& counts,
                                LibraryIndexUse use = LibraryIndexUse::readAndWrite) {
        LibraryScanOptions options;
        options.index = use;
        return readLibrary(folder, options, &counts);
    }
    std::vector<std::string> plain() {
        return describe(readLibrary(folder, {.index = LibraryIndexUse::none}));
    }
};

}  // namespace

TEST_F(LibraryIndexTest, UnchangedFilesComeFromTheIndexAndChangesAreSeen) {
    LibraryScanCounts counts;
    const auto first = describe(scan(counts));
    EXPECT_EQ(counts.analysed, 7u);
    EXPECT_TRUE(counts.indexStored);
    EXPECT_EQ(describe(scan(counts)), first);
    EXPECT_EQ(counts.fromIndex, 7u);
    EXPECT_EQ(counts.analysed, 0u);
    EXPECT_FALSE(counts.indexStored);  // nothing changed, nothing written

    writeBytes(folder / "route 1.gpx", trackText(11));  // other size
    makeOld(folder / "route 1.gpx");
    writeBytes(folder / "route 2.gpx", trackText(2));  // the same bytes, only touched
    makeOld(folder / "route 2.gpx", 60);
    fs::rename(folder / "route 3.gpx", folder / "renamed.gpx");
    fs::remove(folder / "route 4.gpx");
    EXPECT_EQ(describe(scan(counts)), plain());
    EXPECT_EQ(counts.files, 6u);
    EXPECT_EQ(counts.analysed, 3u);
    EXPECT_EQ(describe(scan(counts)), plain());
    EXPECT_EQ(counts.fromIndex, 6u);

    // Reload with Shift reads every file and writes the index anew.
    EXPECT_EQ(describe(scan(counts, LibraryIndexUse::rewrite)), plain());
    EXPECT_EQ(counts.analysed, 6u);
    EXPECT_TRUE(counts.indexStored);
    // The same folder written another way shares the index.
    LibraryScanOptions options;
    readLibrary(folder / "." / "", options, &counts);
    EXPECT_EQ(counts.fromIndex, 6u);
}

// Size and write time alone do not stand for a file: an edit in the clock tick of the scan (route
// 0, written just now), an edit put back to the old time and another file of the same size and time
// moved into the place of one are all read again.
TEST_F(LibraryIndexTest, AnEditThatKeepsSizeAndWriteTimeIsSeen) {
    const fs::path fresh = folder / "route 0.gpx", edited = folder / "route 1.gpx",
                   replaced = folder / "route 2.gpx";
    writeBytes(fresh, trackText(20));
    LibraryScanCounts counts;
    scan(counts);
    const auto freshTime = fs::last_write_time(fresh);
    const auto editedTime = fs::last_write_time(edited);
    const auto replacedTime = fs::last_write_time(replaced);
    // The change time moves on in the kernel clock's ticks, which may be coarse.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto change = [&](const fs::path& file, const char* from, const char* to, const fs::path& into) {
        std::string text = readBytes(file);
        text.replace(text.find(from), 7, to);
        writeBytes(into, text);
    };
    change(fresh, "Route 2", "Route X", fresh);
    fs::last_write_time(fresh, freshTime);
    change(edited, "Route 1", "Route X", edited);
    fs::last_write_time(edited, editedTime);
    change(replaced, "Route 2", "Route Y", temp.path / "other.gpx");
    fs::last_write_time(temp.path / "other.gpx", replacedTime);
    fs::rename(temp.path / "other.gpx", replaced);
    EXPECT_EQ(describe(scan(counts)), plain());
    EXPECT_EQ(counts.analysed, 3u);
}

TEST_F(LibraryIndexTest, EveryDamagedIndexIsIgnoredAndWrittenAgain) {
    LibraryScanCounts counts;
    const auto expected = describe(scan(counts));
    const fs::path indexFile = libraryIndexPath(folder);
    const std::string good = readBytes(indexFile);
    ASSERT_GT(good.size(), 200u);
    // The checksum sees every byte: one bit changed anywhere in the body changes it.
    const std::string body = good.substr(0, good.size() - 8);
    for (std::size_t at = 0; at < body.size(); ++at) {
        std::string changed = body;
        changed[at] = static_cast<char>(changed[at] ^ 1);
        EXPECT_NE(libraryIndexChecksum(changed), libraryIndexChecksum(body)) << at;
    }

    // The header with a value changed and the checksum made to match: the checksum alone is no guard.
    const auto withField = [&](std::size_t offset, std::string_view value) {
        std::string bytes = good;
        bytes.replace(offset, value.size(), value);
        return withMatchingChecksum(bytes);
    };
    std::vector<std::string> damaged = {"", std::string(good.size(), '\0'), withField(12, "\x09"),
                                        withField(8, "\x01\x02\x03\x04"), withField(16, "\x03")};
    for (std::size_t cut :
         {std::size_t(1), std::size_t(20), std::size_t(56), good.size() / 2, good.size() - 1}) {
        damaged.push_back(good.substr(0, cut));
    }
    for (std::size_t at :
         {std::size_t(0), std::size_t(30), std::size_t(100), good.size() / 2, good.size() - 3}) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x10);
        damaged.push_back(flipped);
    }
    damaged.push_back(good + "x");
    for (const std::string& bytes : damaged) {
        writeBytes(indexFile, bytes);
        EXPECT_EQ(describe(scan(counts)), expected) << bytes.size();
        EXPECT_EQ(counts.fromIndex, 0u) << bytes.size();
        EXPECT_TRUE(counts.indexStored);
        scan(counts);
        EXPECT_EQ(counts.fromIndex, 7u) << bytes.size();
    }

    // A folder in the index's place: nothing can be stored, the library reads as ever.
    fs::remove(indexFile);
    fs::create_directories(indexFile / "inside");
    EXPECT_EQ(describe(scan(counts)), expected);
    EXPECT_FALSE(counts.indexStored);
    EXPECT_TRUE(fs::is_directory(indexFile / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(indexFile.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(LibraryIndexTest, ADamagedIndexIsRejectedBeforeAnythingIsDecoded) {
    // 16 MB of outlines: decoding would allocate about as much again.
    std::vector<RouteInfo> routes(1000);
    std::vector<fs::path::string_type> names(routes.size());
    std::vector<IndexEntryView> views;
    for (std::size_t i = 0; i < routes.size(); ++i) {
        routes[i].outline.assign(1000, {47.0 + static_cast<double>(i) / 1000, 8.0});
        names[i] = fs::path("r" + std::to_string(i) + ".gpx").native();
        views.push_back({&names[i], {}, &routes[i]});
    }
    const std::string whole = encodeLibraryIndex(folder, currentFileTime(), views);
    std::string damaged = whole;
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x40);
    const fs::path indexFile = libraryIndexPath(folder);
    fs::create_directories(indexFile.parent_path());
    for (const std::string* bytes : {&std::as_const(damaged), &whole}) {
        writeBytes(indexFile, *bytes);
        const std::size_t before = allocatedBytes.load();
        const bool loaded = loadLibraryIndex(folder).has_value();
        const std::size_t allocated = allocatedBytes.load() - before;
        EXPECT_EQ(loaded, bytes == &whole);
        if (bytes == &damaged) {
            EXPECT_LT(allocated, whole.size() / 16);
        } else {
            EXPECT_GT(allocated, whole.size() / 2);  // what the count sees of a decode
        }
    }
}

TEST_F(LibraryIndexTest, DecodingNeverReadsOutsideTheIndex) {
    LibraryScanCounts counts;
    scan(counts);
    const std::string good = readBytes(libraryIndexPath(folder));
    LibraryIndex index;
    ASSERT_TRUE(decodeLibraryIndex(good, folder, index));
    EXPECT_EQ(index.entries.size(), 7u);
    EXPECT_FALSE(decodeLibraryIndex(good, temp.path, index));  // another folder's index
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        ASSERT_FALSE(decodeLibraryIndex(std::string_view(good).substr(0, cut), folder, index)) << cut;
    }
    // Every byte changed, with a matching checksum, so that the structure itself is what is read:
    // lengths and counts beyond the end must be caught (the sanitizers watch every read).
    for (std::size_t at = 0; at + 8 < good.size(); ++at) {
        std::string bytes = good;
        bytes[at] = static_cast<char>(~bytes[at]);
        decodeLibraryIndex(withMatchingChecksum(bytes), folder, index);
    }
}

TEST_F(LibraryIndexTest, AnIndexLargerThanItsReadBufferReadsBackWhole) {
    // Long tracks give full outlines (about 4 KB per file); one name is longer than the buffer.
    for (int i = 0; i < 40; ++i) {
        std::string text = "<gpx><trk><name>";
        text += i == 7 ? std::string(100000, 'n') : "Long " + std::to_string(i);
        text += "</name><trkseg>";
        for (int k = 0; k < 600; ++k) {
            text += "<trkpt lat=\"47." + std::to_string(100000 + k * 37 + i) + "\" lon=\"8." +
                    std::to_string(100000 + k * 53) + "\"/>";
        }
        writeBytes(folder / ("long " + std::to_string(i) + ".gpx"), text + "</trkseg></trk></gpx>");
        makeOld(folder / ("long " + std::to_string(i) + ".gpx"));
    }
    LibraryScanCounts counts;
    const auto expected = describe(scan(counts));
    EXPECT_GT(fs::file_size(libraryIndexPath(folder)), 200000u);
    EXPECT_EQ(describe(scan(counts)), expected);
    EXPECT_EQ(counts.fromIndex, 47u);
}

TEST_F(LibraryIndexTest, ScansAtTheSameTimeLeaveAValidIndex) {
    for (int i = 6; i < 40; ++i) writeBytes(folder / ("more " + std::to_string(i) + ".gpx"), trackText(i));
    for (const auto& entry : fs::directory_iterator(folder)) makeOld(entry.path());
    const auto expected = plain();
    // What a killed writer left: removed once it is old, kept while another writer may be busy.
    const fs::path abandoned = temporaryPathBeside(libraryIndexPath(folder), "index");
    const fs::path busy = temporaryPathBeside(libraryIndexPath(folder), "index");
    fs::create_directories(abandoned.parent_path());
    writeBytes(abandoned, "partial");
    makeOld(abandoned);
    writeBytes(busy, "partial");
    std::vector<std::thread> scans;
    std::vector<std::vector<std::string>> results(4);
    for (std::size_t t = 0; t < results.size(); ++t) {
        scans.emplace_back([&, t] {
            for (int round = 0; round < 5; ++round) {
                LibraryScanOptions options;
                options.index = round % 2 == 0 ? LibraryIndexUse::rewrite : LibraryIndexUse::readAndWrite;
                options.threads = 2;
                results[t] = describe(readLibrary(folder, options));
                if (results[t] != expected) return;
            }
        });
    }
    for (std::thread& scan : scans) scan.join();
    for (const auto& result : results) EXPECT_EQ(result, expected);
    const auto index = loadLibraryIndex(folder);
    ASSERT_TRUE(index.has_value());
    EXPECT_EQ(index->entries.size(), 41u);
    // No temporary file of these scans is left behind.
    EXPECT_FALSE(fs::exists(abandoned));
    EXPECT_TRUE(fs::exists(busy));
    EXPECT_EQ(std::distance(fs::directory_iterator(libraryCacheFolder()), fs::directory_iterator()), 2);
}

TEST_F(LibraryIndexTest, ARewrittenSportReplacesItsEntry) {
    const fs::path file = folder / "route 3.gpx";
    RouteInfo route;
    route.filePath = file;
    std::string message;
    EXPECT_FALSE(updateIndexEntry(folder, analyzeGpxFile(file)));  // no index yet

    LibraryScanCounts counts;
    scan(counts);
    ASSERT_TRUE(rewriteSport(route, "skiing", message)) << message;
    makeOld(file);
    ASSERT_TRUE(updateIndexEntry(folder, analyzeGpxFile(file)));
    const auto index = loadLibraryIndex(folder);
    ASSERT_TRUE(index.has_value());
    ASSERT_EQ(index->entries.size(), 7u);
    for (const IndexEntry& entry : index->entries) {
        EXPECT_EQ(entry.route.sportKey == "skiing", entry.fileName == file.filename().native());
    }
    // The entry's stamp, read from the file, is the one the scan lists: no file is read again.
    EXPECT_EQ(describe(scan(counts)), plain());
    EXPECT_EQ(counts.fromIndex, 7u);
}

TEST_F(LibraryIndexTest, ProgressIsToldOnTheCallingThreadUpToTheTotal) {
    for (int i = 6; i < 30; ++i) writeBytes(folder / ("more " + std::to_string(i) + ".gpx"), trackText(i));
    fs::remove(folder / "route 0.gpx");
    writeBytes(folder / "new.gpx", trackText(3));
    for (const auto& entry : fs::directory_iterator(folder)) makeOld(entry.path());
    LibraryScanCounts counts;
    scan(counts);  // stores the index; the next scan takes all but the newer file from it
    writeBytes(folder / "newer.gpx", trackText(4));

    std::vector<std::pair<std::size_t, std::size_t>> calls;
    LibraryScanOptions options;
    options.threads = 4;
    const auto caller = std::this_thread::get_id();
    options.progress = [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        calls.emplace_back(done, total);
    };
    readLibrary(folder, options);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front(), std::make_pair(std::size_t(31), std::size_t(32)));
    EXPECT_EQ(calls.back(), std::make_pair(std::size_t(32), std::size_t(32)));

    // Every file analysed: from 0 of 32, never backwards, up to 32.
    calls.clear();
    options.index = LibraryIndexUse::none;
    readLibrary(folder, options);
    EXPECT_EQ(calls.front().first, 0u);
    for (std::size_t i = 1; i < calls.size(); ++i) EXPECT_LE(calls[i - 1].first, calls[i].first);
    EXPECT_EQ(calls.back().first, 32u);
}

#ifndef _WIN32
// A file that could not be read at one scan (locked, or here behind a link that pointed nowhere
// then) is never kept in the index: the next scan reads it again, though its stamp is the same.
TEST_F(LibraryIndexTest, AFileThatCouldNotBeReadIsReadAgainNextTime) {
    const fs::path link = folder / "linked.gpx", target = temp.path / "target.gpx";
    writeBytes(target, trackText(3));
    makeOld(target);
    fs::create_symlink(target, link);
    LibraryScanOptions options;
    options.progress = [&](std::size_t done, std::size_t) {
        if (done > 0) return;
        fs::remove(link);
        fs::create_symlink(temp.path / "nowhere.gpx", link);
    };
    const auto linked = [](const std::vector<RouteInfo>& routes) {
        for (const RouteInfo& route : routes) {
            if (route.fileStem == "linked") return route.errorText;
        }
        return std::string("missing");
    };
    ASSERT_EQ(linked(readLibrary(folder, options)), kMessageCannotRead);
    fs::remove(link);
    fs::create_symlink(target, link);
    EXPECT_EQ(linked(readLibrary(folder)), "");
}
#endif

// A thread that cannot even make the failed record of its file stops the scan with its failure.
TEST_F(LibraryIndexTest, AWorkerOutOfMemoryFailsTheScan) {
    for (int i = 0; i < 4; ++i) {
        std::string text = "<gpx><trk><trkseg>";
        for (int k = 0; k < 20000; ++k) text += "<trkpt lat=\"47\" lon=\"8." + std::to_string(k) + "\"/>";
        writeBytes(folder / ("long " + std::to_string(i) + ".gpx"), text + "</trkseg></trk></gpx>");
    }
    sparedThread = std::this_thread::get_id();
    otherThreadRefused = false;
    spareWaits = true;
    refuseOtherThreads = true;
    EXPECT_THROW(readLibrary(folder, {.index = LibraryIndexUse::none, .threads = 2}), std::bad_alloc);
    refuseOtherThreads = false;
    EXPECT_TRUE(otherThreadRefused);
}

// The index is read in windows of 64 KB: every size around a window's end reads back whole.
TEST_F(LibraryIndexTest, AnIndexEndingAtAnyPlaceOfItsReadWindowLoads) {
    RouteInfo route;
    const fs::path::string_type name = fs::path("a.gpx").native();
    const auto encoded = [&](std::size_t length) {
        route.routeName.assign(length, 'n');
        return encodeLibraryIndex(folder, currentFileTime(), {{&name, {}, &route}});
    };
    const std::size_t base = encoded(0).size();
    const fs::path indexFile = libraryIndexPath(folder);
    fs::create_directories(indexFile.parent_path());
    // The checksum (8 bytes) stands behind the body the windows read.
    for (std::size_t bodyEnd : {65535u, 65536u, 65537u, 131073u}) {
        const std::string bytes = encoded(bodyEnd + 8 - base);
        ASSERT_EQ(bytes.size(), bodyEnd + 8);
        writeBytes(indexFile, bytes);
        EXPECT_TRUE(loadLibraryIndex(folder).has_value()) << bodyEnd;
    }
}
