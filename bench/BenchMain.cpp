// tirn-bench: how fast the route analysis is compared with merely reading the bytes, and how much
// memory one large file takes. Prints figures only; nothing here passes or fails.
//
//   tirn-bench [DATA]           generate DATA when missing (default build/bench-data), then measure
//   tirn-bench generate DATA    (re)write the generated data
//   tirn-bench peak FILE|-      analyse one file and exit (run as a child for its peak memory)
//   tirn-bench summary [DATA [TIRN-GPX]]
//                               only `tirn-gpx summary --json` of the 3,000-file library against cat
//                               and the read floor, with this build's tirn-gpx or the one given

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
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
// The library that `tirn-gpx summary` reads: many files of a typical recording's size.
constexpr uint32_t kSummaryFiles = 3000;
constexpr uint32_t kSummaryPoints = 1500;

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

// Processor time of this process. On a shared machine the wall time also counts the waits for a
// core; the processor time mostly does not, so both are shown.
double processorSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The best (least) wall and processor time of several runs, each taken on its own.
struct Best {
    double wall = 1e300;
    double cpu = 1e300;
    void add(double wallSeconds, double cpuSeconds) {
        wall = std::min(wall, wallSeconds);
        cpu = std::min(cpu, cpuSeconds);
    }
};

template <typename Work>
void timeRun(Best& best, Work&& work) {
    const auto start = Clock::now();
    const double cpuStart = processorSeconds();
    work();
    best.add(secondsSince(start), processorSeconds() - cpuStart);
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
    // Memory kept from file to file, as each scan worker keeps it.
    AnalysisMemory memory;
    for (const fs::path& file : corpus.files) points += analyzeGpxFile(file, memory).pointCount;
    return points;
}

void measureSpeed(const Corpus& corpus) {
    if (corpus.files.empty()) {
        std::printf("%-22s (no files)\n", corpus.name.c_str());
        return;
    }
    std::vector<char> buffer(1 << 20);
    readAll(corpus, buffer);  // into the page cache
    Best read, analysis;
    uint64_t points = 0;
    for (int i = 0; i < corpus.repetitions; ++i) {
        timeRun(read, [&] { readAll(corpus, buffer); });
        timeRun(analysis, [&] { points = analyzeAll(corpus); });
    }
    const double megabytes = static_cast<double>(corpus.bytes) / 1e6;
    std::printf(
        "%-22s %6zu files %9.1f MB %9llu points | read %8.1f MB/s | analysis %7.1f MB/s (%6.3f s) | "
        "analysis/read %5.1fx | cpu: read %6.3f s, analysis %6.3f s = %7.1f MB/s, %5.1fx\n",
        corpus.name.c_str(), corpus.files.size(), megabytes, static_cast<unsigned long long>(points),
        megabytes / read.wall, megabytes / analysis.wall, analysis.wall, analysis.wall / read.wall, read.cpu,
        analysis.cpu, megabytes / analysis.cpu, analysis.cpu / read.cpu);
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
    if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
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
    std::printf(
        "peak memory, %s (%.1f MB) analysed in one piece: %.1f MB = %.2fx the file "
        "(process baseline %.1f MB; above it %.2fx)\n",
        file.filename().string().c_str(), megabytes, peakMb, peakMb / megabytes, baselineMb,
        (peakMb - baselineMb) / megabytes);
}

// One run of a program with its output thrown away: wall time, and the child's processor time in
// `cpu`. False when it failed.
bool runProgram(const std::vector<std::string>& command, double& wall, double& cpu) {
    std::vector<char*> argv;
    for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t child = 0;
    const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return false;
    int status = 0;
    struct rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    wall = secondsSince(start);
    cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
          static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    return true;
}

// `tirn-gpx summary --json` of a whole library folder against cat of the same files and the read
// floor, best of three each, files in the page cache.
void measureSummary(const Corpus& corpus, const fs::path& folder, const std::string& tirnGpx) {
    if (corpus.files.empty()) {
        std::printf("%-22s (no files)\n", corpus.name.c_str());
        return;
    }
    std::vector<std::string> cat = {"cat"};
    for (const fs::path& file : corpus.files) cat.push_back(file.string());
    const std::vector<std::string> summary = {tirnGpx, "summary", "--json", folder.string()};
    std::vector<char> buffer(1 << 20);
    readAll(corpus, buffer);  // into the page cache
    Best catRuns, summaryRuns, read;
    for (int i = 0; i < 3; ++i) {
        double wall = 0, cpu = 0;
        if (!runProgram(cat, wall, cpu)) {
            std::printf("%-22s cat failed\n", corpus.name.c_str());
            return;
        }
        catRuns.add(wall, cpu);
        if (!runProgram(summary, wall, cpu)) {
            std::printf("%-22s %s failed\n", corpus.name.c_str(), tirnGpx.c_str());
            return;
        }
        summaryRuns.add(wall, cpu);
        timeRun(read, [&] { readAll(corpus, buffer); });
    }
    const double files = static_cast<double>(corpus.files.size());
    std::printf(
        "%-22s %6zu files %9.1f MB | summary --json %6.3f s (%.0f us a file) | cat %6.3f s | read %6.3f s | "
        "summary/cat %5.2fx | summary/read %5.2fx\n",
        corpus.name.c_str(), corpus.files.size(), static_cast<double>(corpus.bytes) / 1e6, summaryRuns.wall,
        summaryRuns.wall / files * 1e6, catRuns.wall, read.wall, summaryRuns.wall / catRuns.wall,
        summaryRuns.wall / read.wall);
    std::printf(
        "%-22s processor time: summary --json %6.3f s (%.0f us a file) | cat %6.3f s | read %6.3f s | "
        "summary/cat %5.2fx | summary/read %5.2fx\n",
        "", summaryRuns.cpu, summaryRuns.cpu / files * 1e6, catRuns.cpu, read.cpu,
        summaryRuns.cpu / catRuns.cpu, summaryRuns.cpu / read.cpu);
}

void generate(const fs::path& data) {
    std::printf("generating %u files x %u points, a %.0f MB file and %u files x %u points into %s ...\n",
                kLibraryFiles, kLibraryPoints, kLargeFileBytes / 1e6, kSummaryFiles, kSummaryPoints,
                data.string().c_str());
    std::fflush(stdout);
    const auto start = Clock::now();
    fs::remove_all(data / "library");
    writeLibrary(data / "library", kLibraryFiles, kLibraryPoints);
    writeLargeFile(data / "large" / "one-segment.gpx", kLargeFileBytes);
    fs::remove_all(data / "summary");
    writeLibrary(data / "summary", kSummaryFiles, kSummaryPoints);
    std::printf("generated in %.1f s\n", secondsSince(start));
}

size_t fileCount(const fs::path& folder) {
    std::error_code error;
    size_t count = 0;
    for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        ++count;
    }
    return count;
}

bool dataComplete(const fs::path& data) {
    std::error_code error;
    return fs::exists(data / "large" / "one-segment.gpx", error) &&
           fileCount(data / "library") == kLibraryFiles && fileCount(data / "summary") == kSummaryFiles;
}

// tirn-gpx beside this program's folder, as the build puts it.
std::string defaultTirnGpx() {
    std::error_code error;
    return (fs::read_symlink("/proc/self/exe", error).parent_path().parent_path() / "tirn-gpx").string();
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
    const fs::path root = TIRN_SOURCE_DIR;
    if (!args.empty() && args[0] == "summary" && args.size() <= 3) {
        const fs::path data = args.size() > 1 ? fs::path(args[1]) : root / "build" / "bench-data";
        if (!dataComplete(data)) generate(data);
        const std::string tirnGpx = args.size() > 2 ? args[2] : defaultTirnGpx();
        measureSummary(corpusOf("summary 3000 x 1500", data / "summary", 1), data / "summary", tirnGpx);
        return 0;
    }
    if (args.size() > 1 || (args.size() == 1 && args[0].rfind("-", 0) == 0)) {
        std::fprintf(stderr,
                     "usage: tirn-bench [DATA] | tirn-bench generate DATA | tirn-bench peak FILE | "
                     "tirn-bench summary [DATA [TIRN-GPX]]\n");
        return 2;
    }
    const fs::path data = args.empty() ? root / "build" / "bench-data" : fs::path(args[0]);
    if (!dataComplete(data)) generate(data);

    std::printf("speed (best of several runs, files in the page cache):\n");
    measureSpeed(corpusOf("library 1000 x 2000", data / "library", 5));
    measureSpeed(corpusOf("one 50 MB segment", data / "large" / "one-segment.gpx", 5));
    measureSpeed(corpusOf("summary 3000 x 1500", data / "summary", 3));
    measureSpeed(corpusOf("real-world corpus", root / ".." / "shared" / "corpus" / "real", 5));
    measureSpeed(corpusOf("examples", root / "examples", 20));
    measurePeak(data / "large" / "one-segment.gpx");
    std::printf("the console tool on a library (best of three, files in the page cache):\n");
    measureSummary(corpusOf("summary 3000 x 1500", data / "summary", 1), data / "summary", defaultTirnGpx());
    return 0;
}
