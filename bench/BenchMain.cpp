// tirn-bench: how fast the route analysis is compared with merely reading the bytes, and how much
// memory one large file takes. Prints figures only; nothing here passes or fails.
//
//   tirn-bench [DATA]           generate DATA when missing (default build/bench-data), then measure
//   tirn-bench generate DATA    (re)write the generated data
//   tirn-bench peak FILE|-      analyse one file and exit (run as a child for its peak memory)

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "BenchData.h"
#include "core/TrackAnalysis.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kLibraryFiles = 1000;
constexpr uint32_t kLibraryPoints = 2000;
constexpr uint64_t kLargeFileBytes = 50'000'000;

struct Corpus {
    std::string name;
    std::vector<fs::path> files;
    uint64_t bytes = 0;
    int repetitions = 3;
};

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

Corpus corpusOf(std::string name, const fs::path& path, int repetitions) {
    Corpus corpus{std::move(name), {}, 0, repetitions};
    std::error_code error;
    if (fs::is_directory(path, error)) {
        for (const auto& entry : fs::directory_iterator(path, error)) {
            const std::string extension = entry.path().extension().string();
            if (entry.is_regular_file(error) && (extension == ".gpx" || extension == ".GPX")) {
                corpus.files.push_back(entry.path());
            }
        }
    } else if (fs::is_regular_file(path, error)) {
        corpus.files.push_back(path);
    }
    std::sort(corpus.files.begin(), corpus.files.end());
    for (const fs::path& file : corpus.files) corpus.bytes += fs::file_size(file, error);
    return corpus;
}

// Reads every file with read(2) into one reused buffer: the floor any analysis stands on.
uint64_t readAll(const Corpus& corpus, std::vector<char>& buffer) {
    uint64_t total = 0;
    for (const fs::path& file : corpus.files) {
        const int fd = ::open(file.c_str(), O_RDONLY);
        if (fd < 0) continue;
        for (;;) {
            const ssize_t got = ::read(fd, buffer.data(), buffer.size());
            if (got <= 0) break;
            total += static_cast<uint64_t>(got);
        }
        ::close(fd);
    }
    return total;
}

uint64_t analyzeAll(const Corpus& corpus) {
    uint64_t points = 0;
    for (const fs::path& file : corpus.files) points += analyzeGpxFile(file).pointCount;
    return points;
}

void measureSpeed(const Corpus& corpus) {
    if (corpus.files.empty()) {
        std::printf("%-22s (no files)\n", corpus.name.c_str());
        return;
    }
    std::vector<char> buffer(1 << 20);
    readAll(corpus, buffer);  // into the page cache
    double bestRead = 1e300;
    double bestAnalysis = 1e300;
    uint64_t points = 0;
    for (int i = 0; i < corpus.repetitions; ++i) {
        auto start = Clock::now();
        readAll(corpus, buffer);
        bestRead = std::min(bestRead, secondsSince(start));
        start = Clock::now();
        points = analyzeAll(corpus);
        bestAnalysis = std::min(bestAnalysis, secondsSince(start));
    }
    const double megabytes = static_cast<double>(corpus.bytes) / 1e6;
    std::printf("%-22s %6zu files %9.1f MB %9llu points | read %8.1f MB/s | analysis %7.1f MB/s (%6.3f s) | "
                "analysis/read %5.1fx\n",
                corpus.name.c_str(), corpus.files.size(), megabytes, static_cast<unsigned long long>(points),
                megabytes / bestRead, megabytes / bestAnalysis, bestAnalysis, bestAnalysis / bestRead);
}

// Peak resident memory (KiB) of a child that analyses `file` ("-" analyses nothing).
long childPeakKib(const std::string& file) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl("/proc/self/exe", "tirn-bench", "peak", file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child < 0) return -1;
    int status = 0;
    struct rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return usage.ru_maxrss;
}

void measurePeak(const fs::path& file) {
    std::error_code error;
    const double megabytes = static_cast<double>(fs::file_size(file, error)) / 1e6;
    const long baseline = childPeakKib("-");
    const long peak = childPeakKib(file.string());
    if (baseline < 0 || peak < 0) {
        std::printf("peak memory: the child process failed\n");
        return;
    }
    const double peakMb = static_cast<double>(peak) * 1024 / 1e6;
    const double baselineMb = static_cast<double>(baseline) * 1024 / 1e6;
    std::printf("peak memory, %s (%.1f MB) analysed in one piece: %.1f MB = %.2fx the file "
                "(process baseline %.1f MB; above it %.2fx)\n",
                file.filename().string().c_str(), megabytes, peakMb, peakMb / megabytes, baselineMb,
                (peakMb - baselineMb) / megabytes);
}

void generate(const fs::path& data) {
    std::printf("generating %u files x %u points and a %.0f MB file into %s ...\n", kLibraryFiles, kLibraryPoints,
                kLargeFileBytes / 1e6, data.string().c_str());
    std::fflush(stdout);
    const auto start = Clock::now();
    fs::remove_all(data / "library");
    writeLibrary(data / "library", kLibraryFiles, kLibraryPoints);
    writeLargeFile(data / "large" / "one-segment.gpx", kLargeFileBytes);
    std::printf("generated in %.1f s\n", secondsSince(start));
}

bool dataComplete(const fs::path& data) {
    std::error_code error;
    if (!fs::exists(data / "large" / "one-segment.gpx", error)) return false;
    std::size_t count = 0;
    for (auto it = fs::directory_iterator(data / "library", error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        ++count;
    }
    return count == kLibraryFiles;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "peak") {
        if (args[1] != "-") {
            volatile uint32_t points = analyzeGpxFile(args[1]).pointCount;
            (void)points;
        }
        return 0;
    }
    if (args.size() == 2 && args[0] == "generate") {
        generate(args[1]);
        return 0;
    }
    if (args.size() > 1 || (args.size() == 1 && args[0].rfind("-", 0) == 0)) {
        std::fprintf(stderr, "usage: tirn-bench [DATA] | tirn-bench generate DATA | tirn-bench peak FILE\n");
        return 2;
    }
    const fs::path root = TIRN_SOURCE_DIR;
    const fs::path data = args.empty() ? root / "build" / "bench-data" : fs::path(args[0]);
    if (!dataComplete(data)) generate(data);

    std::printf("speed (best of several runs, files in the page cache):\n");
    measureSpeed(corpusOf("library 1000 x 2000", data / "library", 5));
    measureSpeed(corpusOf("one 50 MB segment", data / "large" / "one-segment.gpx", 5));
    measureSpeed(corpusOf("real-world corpus", root / ".." / "shared" / "corpus" / "real", 5));
    measureSpeed(corpusOf("examples", root / "examples", 20));
    measurePeak(data / "large" / "one-segment.gpx");
    return 0;
}
