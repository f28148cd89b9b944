// The scan of a library of 10,000 files of which a tenth are broken (truncated, binary, empty
// documents, zero bytes, and a folder named like a route), against the same library whole: scan
// time and peak memory, each scan in a child process of its own. Prints figures only.
//
//   BrokenLibraryBench [DATA]        generate DATA when missing (default: build/bench-broken
//                                    below the current folder), then measure
//   BrokenLibraryBench scan FOLDER   scan one folder, print "records errors milliseconds peak-KiB"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "library/LibraryScan.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 10000;
constexpr int kPoints = 150;
constexpr int kRuns = 3;

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A recorded ride of kPoints points with elevation and time, different for every index.
std::string route(int index) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"bench\">\n <trk>\n"
        "  <name>Route " +
        std::to_string(index) + "</name>\n  <type>cycling</type>\n  <trkseg>\n";
    char point[200];
    for (int i = 0; i < kPoints; ++i) {
        std::snprintf(point, sizeof point,
                      "   <trkpt lat=\"%.6f\" lon=\"%.6f\"><ele>%.1f</ele>"
                      "<time>2024-%02d-%02dT08:%02d:%02dZ</time></trkpt>\n",
                      47.0 + index * 1e-4 + i * 1e-4, 8.0 + i * 1.5e-4, 400.0 + (i * 37 % 50), index % 12 + 1,
                      index % 28 + 1, i / 60, i % 60);
        text += point;
    }
    return text + "  </trkseg>\n </trk>\n</gpx>\n";
}

std::string brokenRoute(int index, const std::string& whole) {
    switch (index / 10 % 4) {
        case 0:
            return whole.substr(0, whole.size() / 2);
        case 1: {
            std::string binary(whole.size(), '\0');
            for (std::size_t i = 0; i < binary.size(); ++i)
                binary[i] = static_cast<char>((i * 7919 + index) % 256);
            return binary;
        }
        case 2:
            return "<?xml version=\"1.0\"?>\n<gpx>\n</gpx>\n";
        default:
            return std::string();
    }
}

void generate(const fs::path& data) {
    std::printf("writing %d + %d files into %s ...\n", kFiles, kFiles, data.string().c_str());
    fs::remove_all(data);
    fs::create_directories(data / "whole");
    fs::create_directories(data / "broken" / "x.gpx");
    fs::create_directories(data / "empty");
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "route_%05d.gpx", i);
        const std::string text = route(i);
        writeFile(data / "whole" / name, text);
        if (i % 10 == 0) {
            writeFile(data / "broken" / name, brokenRoute(i, text));
            continue;
        }
        // The intact files of the broken library are the very same files.
        std::error_code error;
        fs::create_hard_link(data / "whole" / name, data / "broken" / name, error);
        if (error) writeFile(data / "broken" / name, text);
    }
    writeFile(data / "complete", "");
}

struct Scan {
    long records = -1;
    long errors = 0;
    double milliseconds = 0;
    long peakKib = 0;
};

// One scan in a fresh child process, so that its peak memory is the scan's own.
Scan scanInChild(const fs::path& folder) {
    Scan scan;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return scan;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::execl("/proc/self/exe", "BrokenLibraryBench", "scan", folder.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, n);
    ::close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || status != 0) return scan;
    if (std::sscanf(output.c_str(), "%ld %ld %lf %ld", &scan.records, &scan.errors, &scan.milliseconds,
                    &scan.peakKib) != 4) {
        scan.records = -1;
    }
    return scan;
}

int scanAndReport(const fs::path& folder) {
    const auto start = std::chrono::steady_clock::now();
    // Every file analysed each time: a run taking records from the library index would say nothing.
    const std::vector<RouteInfo> routes = readLibrary(folder, {.index = LibraryIndexUse::none});
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const long errors = std::count_if(routes.begin(), routes.end(),
                                      [](const RouteInfo& route) { return !route.errorText.empty(); });
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("%zu %ld %.1f %ld\n", routes.size(), errors, ms, usage.ru_maxrss);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "scan") return scanAndReport(args[1]);
    if (args.size() > 1 || (args.size() == 1 && args[0].rfind("-", 0) == 0)) {
        std::fprintf(stderr, "usage: BrokenLibraryBench [DATA] | BrokenLibraryBench scan FOLDER\n");
        return 2;
    }
    const fs::path data = args.empty() ? fs::path("build") / "bench-broken" : fs::path(args[0]);
    if (!fs::exists(data / "complete")) generate(data);

    std::printf("%-30s %8s %8s %14s %12s\n", "library", "records", "errors", "scan ms", "peak MB");
    std::printf("%-30s %8s %8s %14s %12s\n", "", "", "", "(best of 3)", "(max of 3)");
    struct Row {
        const char* label;
        fs::path folder;
        Scan best;
    };
    std::vector<Row> rows = {{"empty folder (process only)", data / "empty", {}},
                             {"10,000 files, all whole", data / "whole", {}},
                             {"10,000 files, 10 % broken", data / "broken", {}}};
    for (int run = 0; run < kRuns; ++run) {
        for (Row& row : rows) {
            const Scan scan = scanInChild(row.folder);
            if (scan.records < 0) {
                std::printf("%s: the child process failed\n", row.label);
                return 1;
            }
            if (run == 0 || scan.milliseconds < row.best.milliseconds)
                row.best.milliseconds = scan.milliseconds;
            row.best.peakKib = std::max(row.best.peakKib, scan.peakKib);
            row.best.records = scan.records;
            row.best.errors = scan.errors;
        }
    }
    for (const Row& row : rows) {
        std::printf("%-30s %8ld %8ld %14.1f %12.1f\n", row.label, row.best.records, row.best.errors,
                    row.best.milliseconds, static_cast<double>(row.best.peakKib) * 1024 / 1e6);
    }
    const double base = static_cast<double>(rows[0].best.peakKib);
    const double whole = static_cast<double>(rows[1].best.peakKib);
    const double broken = static_cast<double>(rows[2].best.peakKib);
    std::printf("peak memory broken / whole: %.2fx (above the process alone: %.2fx); target at most 2x\n",
                broken / whole, (broken - base) / (whole - base));
    return 0;
}
