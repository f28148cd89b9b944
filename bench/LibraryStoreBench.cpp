// Cost of the data-layer operations on large input: the sport rewrite of a big track file (read,
// three tag searches, durable temporary file, replace) in its ordinary and its worst shapes, and a
// scan of the real-world corpus. Prints the median of several runs; asserts nothing about time.
//
//   LibraryStoreBench [FOLDER]         the rewrites, then a scan of FOLDER when given
//   LibraryStoreBench library [DATA [MOST]]
//                                      library scans of 1,000, 3,000 and 10,000 Garmin-style files
//                                      of 1,500 points (generated into DATA, default
//                                      build/bench-data/library-scan, 5 GB): one thread against
//                                      two, the read floor, first and second scan with the index
//   LibraryStoreBench warm [DATA]      only the warm start of the 10,000 files: every record from
//                                      the index (fastest and median of 9 scans)
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchData.h"
#include "core/SportRewrite.h"
#include "library/LibraryIndex.h"
#include "library/LibraryScan.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

template <typename Work>
double medianMilliseconds(int runs, Work work) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string points(int count) {
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * 120);
    for (int i = 0; i < count; ++i) {
        text += "   <trkpt lat=\"47.";
        text += std::to_string(100000 + i);
        text +=
            "\" lon=\"8.5\"><ele>512.4</ele><time>2024-05-01T10:00:00Z</time>"
            "<extensions><type>sensor</type></extensions></trkpt>\n";
    }
    return text;
}

void measureRewrite(const char* label, const fs::path& file, const std::string& bytes) {
    writeFile(file, bytes);
    RouteInfo route;
    route.filePath = file;
    std::string message;
    bool ok = true;
    const double ms = medianMilliseconds(5, [&] { ok = rewriteSport(route, "cycling", message) && ok; });
    std::printf("%-58s %8.1f MB %9.1f ms %s\n", label, static_cast<double>(bytes.size()) / 1e6, ms,
                ok ? "" : message.c_str());
}

// ---- Library scans ----

constexpr uint32_t kPointsPerFile = 1500;
constexpr uint32_t kLibrarySizes[] = {1000, 3000, 10000};

// A recorded ride as a Garmin device exports it: lat/lon attributes, elevation, time with
// milliseconds, heart rate and cadence extensions; one point per second.
std::string garminActivity(uint64_t seed, uint32_t pointCount) {
    Random random{seed};
    double lat = random.uniform(45.8, 48.2);
    double lon = random.uniform(6.0, 13.5);
    double ele = random.uniform(300, 1500);
    double heading = random.uniform(0, 6.283);
    const int year = 2015 + static_cast<int>(seed % 10);
    const int month = 1 + static_cast<int>(seed / 10 % 12);
    const int day = 1 + static_cast<int>(seed / 120 % 28);
    const uint32_t startSecond = 6 * 3600 + static_cast<uint32_t>(random.next() % 7200);
    char buffer[400];
    const auto appendTime = [&](std::string& out, uint32_t second) {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02u:%02u:%02u.000Z", year, month, day,
                      second / 3600, second / 60 % 60, second % 60);
        out += buffer;
    };
    std::string out;
    out.reserve(static_cast<std::size_t>(pointCount) * 330 + 1024);
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx creator=\"Garmin Connect\" version=\"1.1\"\n"
        "  xmlns:ns3=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\"\n"
        "  xmlns=\"http://www.topografix.com/GPX/1/1\">\n  <metadata>\n    <time>";
    appendTime(out, startSecond);
    out += "</time>\n  </metadata>\n  <trk>\n    <name>Ride " + std::to_string(seed) +
           "</name>\n    <type>cycling</type>\n    <trkseg>\n";
    for (uint32_t i = 0; i < pointCount; ++i) {
        heading += random.uniform(-0.25, 0.25);
        const double step = random.uniform(4.0, 10.0) / 111320.0;
        lat += step * std::cos(heading);
        lon += step * std::sin(heading) / std::cos(lat * 0.01745);
        ele += random.uniform(-1.2, 1.25);
        std::snprintf(buffer, sizeof buffer,
                      "      <trkpt lat=\"%.14f\" lon=\"%.14f\">\n        <ele>%.1f</ele>\n        <time>",
                      lat, lon, ele);
        out += buffer;
        appendTime(out, startSecond + i);
        std::snprintf(buffer, sizeof buffer,
                      "</time>\n        <extensions>\n          <ns3:TrackPointExtension>\n"
                      "            <ns3:hr>%d</ns3:hr>\n            <ns3:cad>%d</ns3:cad>\n"
                      "          </ns3:TrackPointExtension>\n        </extensions>\n      </trkpt>\n",
                      110 + static_cast<int>(random.next() % 60), 70 + static_cast<int>(random.next() % 30));
        out += buffer;
    }
    out += "    </trkseg>\n  </trk>\n</gpx>\n";
    return out;
}

fs::path sizeFolder(const fs::path& data, uint32_t files) {
    return data / ("library-" + std::to_string(files));
}

// 10,000 files once; the smaller libraries are hard links to the first of them. Every file is dated
// a day back, as in a library that has been there for a while.
void generateLibraries(const fs::path& data) {
    const fs::path all = sizeFolder(data, kLibrarySizes[2]);
    if (fs::exists(data / "complete")) return;
    std::printf("generating %u files of %u points into %s ...\n", kLibrarySizes[2], kPointsPerFile,
                data.string().c_str());
    std::fflush(stdout);
    fs::remove_all(data);
    fs::create_directories(all);
    const auto dayAgo = fs::file_time_type::clock::now() - std::chrono::hours(24);
    for (uint32_t i = 0; i < kLibrarySizes[2]; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "ride_%05u.gpx", i);
        writeFile(all / name, garminActivity(5000 + i, kPointsPerFile));
        fs::last_write_time(all / name, dayAgo);
        for (uint32_t size : kLibrarySizes) {
            if (size == kLibrarySizes[2] || i >= size) continue;
            fs::create_directories(sizeFolder(data, size));
            fs::create_hard_link(all / name, sizeFolder(data, size) / name);
        }
    }
    writeFile(data / "complete", "");
}

// Every field of every record and its path, to compare scans byte for byte.
std::string recordBytes(const std::vector<RouteInfo>& routes) {
    std::vector<IndexEntryView> views;
    for (const RouteInfo& route : routes) views.push_back({&route.filePath.native(), {}, &route});
    return encodeLibraryIndex(fs::path("/"), 0, views);
}

// Wall and processor time (all threads) of the fastest of several runs: the shared machine only
// ever makes a run slower.
struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
};

double cpuMilliseconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

template <typename Work>
Timing fastest(int runs, Work work) {
    Timing best{1e300, 1e300};
    for (int run = 0; run < runs; ++run) {
        const double cpuStart = cpuMilliseconds();
        const auto start = std::chrono::steady_clock::now();
        work();
        const double wall =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (wall < best.wallMs) best = {wall, cpuMilliseconds() - cpuStart};
    }
    return best;
}

void measureLibraries(const fs::path& data, uint32_t mostFiles) {
    generateLibraries(data);
    setLocalCacheFolderOverride(data / "cache");
    std::printf(
        "%u usable processors; %u points per file; wall ms (processor ms), fastest of 3 runs (1 for the "
        "first scan with index)\n",
        usableProcessorCount(), kPointsPerFile);
    std::printf("%6s %7s %8s %17s %17s %7s %17s %15s %7s %s\n", "files", "MB", "read", "1 thread",
                "2 threads", "1/2", "1st, index", "2nd, index", "1st/2nd", "records");
    for (uint32_t size : kLibrarySizes) {
        if (size > mostFiles) break;
        const fs::path folder = sizeFolder(data, size);
        constexpr int kRuns = 3;
        uint64_t bytes = 0;
        std::vector<char> buffer(1 << 20);
        const Timing read = fastest(kRuns, [&] {
            bytes = 0;
            for (const auto& entry : fs::directory_iterator(folder)) {
                const int fd = ::open(entry.path().c_str(), O_RDONLY);
                if (fd < 0) continue;
                for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;) {
                    bytes += static_cast<uint64_t>(got);
                }
                ::close(fd);
            }
        });
        std::vector<RouteInfo> routes;
        LibraryScanOptions options;
        options.index = LibraryIndexUse::none;
        options.threads = 1;
        const Timing one = fastest(kRuns, [&] { routes = readLibrary(folder, options); });
        const std::string oneThread = recordBytes(routes);
        options.threads = 2;
        const Timing two = fastest(kRuns, [&] { routes = readLibrary(folder, options); });
        const std::string twoThreads = recordBytes(routes);
        // The first scan finds no index and writes it; the second takes every record from it.
        options.index = LibraryIndexUse::readAndWrite;
        options.threads = 0;
        std::error_code ignored;
        fs::remove(libraryIndexPath(folder), ignored);
        const Timing first = fastest(1, [&] { readLibrary(folder, options); });
        LibraryScanCounts counts;
        const Timing second = fastest(kRuns, [&] { routes = readLibrary(folder, options, &counts); });
        const std::string indexed = recordBytes(routes);
        const bool same = oneThread == twoThreads && oneThread == indexed && counts.fromIndex == size;
        std::printf(
            "%6u %7.0f %8.0f %8.0f (%6.0f) %8.0f (%6.0f) %6.2fx %8.0f (%6.0f) %6.0f (%6.0f) %6.1fx %s\n",
            size, static_cast<double>(bytes) / 1e6, read.wallMs, one.wallMs, one.cpuMs, two.wallMs, two.cpuMs,
            one.wallMs / two.wallMs, first.wallMs, first.cpuMs, second.wallMs, second.cpuMs,
            first.wallMs / second.wallMs, same ? "identical" : "DIFFERENT");
        std::fflush(stdout);
    }
}

// The scan of an unchanged library, which is what every start of the window pays.
void measureWarmStart(const fs::path& data) {
    generateLibraries(data);
    setLocalCacheFolderOverride(data / "cache");
    const fs::path folder = sizeFolder(data, kLibrarySizes[2]);
    std::error_code ignored;
    fs::remove(libraryIndexPath(folder), ignored);
    readLibrary(folder);
    LibraryScanCounts counts;
    std::vector<double> times;
    for (int run = 0; run < 9; ++run) {
        const auto start = std::chrono::steady_clock::now();
        readLibrary(folder, {}, &counts);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("warm start of %zu files: %zu from the index, fastest %.1f ms, median %.1f ms, index %.1f MB\n",
                counts.files, counts.fromIndex, times.front(), times[times.size() / 2],
                static_cast<double>(fs::file_size(libraryIndexPath(folder), ignored)) / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "library") {
        measureLibraries(argc > 2 ? fs::path(argv[2]) : fs::path("build/bench-data/library-scan"),
                         argc > 3 ? static_cast<uint32_t>(std::stoul(argv[3])) : kLibrarySizes[2]);
        return 0;
    }
    if (argc >= 2 && std::string(argv[1]) == "warm") {
        measureWarmStart(argc > 2 ? fs::path(argv[2]) : fs::path("build/bench-data/library-scan"));
        return 0;
    }
    const fs::path folder = fs::temp_directory_path() / "tirn-library-bench";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    const fs::path file = folder / "Big.gpx";
    const std::string body = points(400000);

    measureRewrite(
        "rewrite: track with a type before its segment", file,
        "<gpx><trk><name>Big</name><type>running</type><trkseg>\n" + body + "</trkseg></trk></gpx>\n");
    measureRewrite("rewrite: track without a type (types only in points)", file,
                   "<gpx><trk><name>Big</name><trkseg>\n" + body + "</trkseg></trk></gpx>\n");
    measureRewrite("rewrite: unclosed type start tag before the body", file,
                   "<gpx><trk><type><trkseg>\n" + body + "</trkseg></trk></gpx>\n");
    std::string opens;
    for (int i = 0; i < 5000000; ++i) opens += "<trk";
    measureRewrite("rewrite: five million '<trk' without a '>'", file, opens);
    std::string dotted = "<" + std::string(200, '.') + ":trk>";
    for (int i = 0; i < 5000000; ++i) dotted += "</";
    measureRewrite("rewrite: 200-wildcard prefix, ten million bytes of '</'", file, dotted);

    std::string links = "<a.b:trk>";
    for (int i = 0; i < 1000000; ++i) links += "<link href=\"x\"/><a.b:type>";
    links += "</a.b:trk>";
    measureRewrite("rewrite: wildcard prefix, a million links and open types", file, links);

    const fs::path corpus = argc > 1 ? fs::path(argv[1]) : fs::path();
    if (!corpus.empty() && fs::is_directory(corpus)) {
        std::size_t count = 0;
        const double ms = medianMilliseconds(3, [&] { count = readLibrary(corpus, {.index = LibraryIndexUse::none}).size(); });
        std::printf("%-58s %8zu files %6.1f ms\n", "scan: folder of GPX files", count, ms);
    }
    fs::remove_all(folder, ignored);
    return 0;
}
