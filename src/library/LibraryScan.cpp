#include "library/LibraryScan.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "core/Failure.h"
#include "core/TrackAnalysis.h"
#include "library/LibraryIndex.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

// One library file; its record is kept beside it at the same position.
struct ScanFile {
    fs::path path;
    fs::path::string_type fileName;
    FileStamp stamp;
    bool stamped = false;
};

// analyzeGpxFile does not throw for a bad file; this only guards against running out of memory
// and the like, so that one file can never end the scan.
RouteInfo analyzeSafely(const fs::path& path, AnalysisMemory& memory) {
    try {
        return analyzeGpxFile(path, memory);
    } catch (const std::exception& failure) {
        trimFileBuffer(memory.file, 0);  // the analysis did not get to giving it back
        RouteInfo route;
        route.filePath = path;
        route.fileStem = pathToUtf8(path.stem());
        const auto* gpxFailure = dynamic_cast<const GpxFailure*>(&failure);
        route.errorText = gpxFailure ? gpxFailure->what() : kMessageCannotRead;
        return route;
    }
}

// What the listing keeps: the routes, and the program's own temporaries, so that old ones go.
bool libraryOrTemporaryName(const fs::path& name) {
    return isLibraryFileName(name) || isOwnTemporaryName(name);
}

std::vector<StampedFile> listLibraryFiles(const fs::path& folder, bool& listed) {
    std::vector<StampedFile> files;
    createFolders(folder);
    // The platform lists folders of any path length, with each file's stamp; an error midway (the
    // folder vanished mid-scan) ends the listing, and the files listed so far are kept.
    listed = listStampedFiles(folder, libraryOrTemporaryName, files);
    std::erase_if(files, [&](const StampedFile& file) {
        if (!isOwnTemporaryName(file.name)) return false;
        // Never a route; an old one is what a killed import or rewrite left behind.
        removeIfAbandonedTemporary(longPathForm(folder / file.name));
        return true;
    });
    return files;
}

std::atomic<std::uint64_t> budgetForTests{0};

// Bytes of file text the workers may hold at once: a quarter of the memory, at most 512 MB.
std::uint64_t scanMemoryBudget() {
    if (const std::uint64_t forTests = budgetForTests.load()) return forTests;
    constexpr std::uint64_t kMostBudget = std::uint64_t{512} << 20;
    const std::uint64_t physical = physicalMemoryBytes();
    return physical == 0 ? kMostBudget : std::clamp(physical / 4, std::uint64_t{64} << 20, kMostBudget);
}

// The file text held by all workers. A worker takes a file's size before reading it and gives it
// back after the analysis; a file larger than the whole budget is read while no other is held.
// Taking and giving are atomic steps; only a worker that must wait locks anything (thread
// primitives cost a system call each under some runtimes, and a scan takes thousands of files).
struct MemoryBudget {
    std::uint64_t limit = 0;
    std::atomic<std::uint64_t> held{0};
    std::atomic<std::uint64_t> peak{0};
    std::atomic<unsigned> waiting{0};
    std::mutex mutex;
    std::condition_variable freed;

    bool tryTake(std::uint64_t bytes) {
        std::uint64_t now = held.load();
        while (now == 0 || (bytes <= limit && now + bytes <= limit)) {
            if (held.compare_exchange_weak(now, now + bytes)) {
                std::uint64_t most = peak.load();
                while (most < now + bytes && !peak.compare_exchange_weak(most, now + bytes)) {
                }
                return true;
            }
        }
        return false;
    }
    void take(std::uint64_t bytes) {
        if (tryTake(bytes)) return;
        ++waiting;
        std::unique_lock lock(mutex);
        freed.wait(lock, [&] { return tryTake(bytes); });
        --waiting;
    }
    void give(std::uint64_t bytes) {
        held -= bytes;
        if (waiting.load() == 0) return;
        // Through the lock: a waiter between its check and its sleep cannot miss the wake-up.
        { std::lock_guard lock(mutex); }
        freed.notify_all();
    }
};

// A file analysed within the budget; the share is given back however the analysis ends.
RouteInfo analyzeWithin(MemoryBudget& budget, const ScanFile& file, AnalysisMemory& memory) {
    const std::uint64_t bytes = file.stamped ? file.stamp.size : 0;
    budget.take(bytes);
    struct Share {
        MemoryBudget& budget;
        std::uint64_t bytes;
        ~Share() { budget.give(bytes); }
    } share{budget, bytes};
    return analyzeSafely(file.path, memory);
}

// Analyses the files named by `jobs` into `routes` on up to `threadCount` threads. Each thread
// takes the next file when it is done with one, so no more files are in memory than there are
// threads. With a progress report the calling thread only waits and reports; without one it
// takes files as well.
void analyzeFiles(const std::vector<ScanFile>& files, std::vector<RouteInfo>& routes,
                  const std::vector<std::size_t>& jobs, unsigned threadCount, std::size_t doneBefore,
                  const LibraryScanOptions& options, MemoryBudget& budget) {
    const auto report = [&](std::size_t done) {
        if (options.progress) options.progress(doneBefore + done, files.size());
    };
    report(0);
    if (jobs.empty()) return;

    std::atomic<std::size_t> nextJob{0};
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t finished = 0;
    std::exception_ptr failure;  // what stopped a thread (no memory left even for a failed record)
    const auto work = [&] {
        AnalysisMemory memory;
        for (std::size_t job; (job = nextJob.fetch_add(1)) < jobs.size();) {
            const std::size_t file = jobs[job];
            try {
                routes[file] = analyzeWithin(budget, files[file], memory);
            } catch (...) {
                std::lock_guard lock(mutex);
                if (!failure) failure = std::current_exception();
                nextJob = jobs.size();
                changed.notify_one();
                return;
            }
            std::lock_guard lock(mutex);
            ++finished;
            changed.notify_one();
        }
    };

    // Joins the threads however the caller leaves, also when the progress callback throws.
    struct Workers {
        std::atomic<std::size_t>& nextJob;
        std::size_t jobCount;
        std::vector<std::thread> threads;
        ~Workers() {
            nextJob = jobCount;
            for (std::thread& thread : threads) thread.join();
        }
    } workers{nextJob, jobs.size(), {}};
    const std::size_t wanted = std::min<std::size_t>(threadCount, jobs.size());
    // Nobody to tell how far the scan is: this thread takes files like the others instead of
    // waking for each finished one.
    const bool quiet = !options.progress;
    if (wanted > 1) {
        workers.threads.reserve(wanted);
        for (std::size_t i = quiet ? 1 : 0; i < wanted; ++i) {
            try {
                workers.threads.emplace_back(work);
            } catch (const std::system_error&) {
                break;  // the system has no more threads to give: the ones running do it all
            }
        }
    }
    if (quiet && !workers.threads.empty()) {
        work();
        for (std::thread& thread : workers.threads) thread.join();
        workers.threads.clear();
        if (failure) std::rethrow_exception(failure);
        return;
    }
    if (workers.threads.empty()) {
        AnalysisMemory memory;
        for (std::size_t job = 0; job < jobs.size(); ++job) {
            routes[jobs[job]] = analyzeWithin(budget, files[jobs[job]], memory);
            report(job + 1);
        }
        return;
    }
    std::size_t reported = 0;
    while (reported < jobs.size()) {
        std::size_t done;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return finished != reported || failure; });
            // Handed on to the caller as a single-threaded scan would, once the threads are joined.
            if (failure) std::rethrow_exception(failure);
            done = finished;
        }
        reported = done;
        report(done);
    }
}

unsigned threadsFor(const LibraryScanOptions& options) {
    // More threads than that would only hold more files in memory at once.
    constexpr unsigned kMostThreads = 64;
    const unsigned wanted = options.threads != 0 ? options.threads : usableProcessorCount();
    return std::clamp(wanted, 1u, kMostThreads);
}

bool libraryFileLess(const RouteInfo& a, const RouteInfo& b) {
    if (libraryOrderLess(a, b)) return true;
    if (libraryOrderLess(b, a)) return false;
    const int byName = a.filePath.filename().native().compare(b.filePath.filename().native());
    if (byName != 0) return byName < 0;
    return a.filePath.native() < b.filePath.native();
}

}  // namespace

void setScanMemoryBudgetForTests(std::uint64_t bytes) {
    budgetForTests = bytes;
}

bool isLibraryFileName(const fs::path& fileName) {
    return lowerText(pathToWide(fileName.extension())) == u".gpx";
}

void sortLibraryFiles(std::vector<RouteInfo>& routes) {
    // Mostly a library already sorted by readLibrary: one look instead of moving every record.
    if (std::is_sorted(routes.begin(), routes.end(), libraryFileLess)) return;
    std::sort(routes.begin(), routes.end(), libraryFileLess);
}

std::vector<RouteInfo> readLibrary(const fs::path& folder, const LibraryScanOptions& options,
                                   LibraryScanCounts* counts) {
    // Before any file is stamped: a file written after this moment is not trusted from the index.
    const std::int64_t startedAt = currentFileTime();
    std::vector<ScanFile> files;
    bool listed = true;
    for (StampedFile& listedFile : listLibraryFiles(folder, listed)) {
        ScanFile& file = files.emplace_back();
        // A record keeps the path in the form that opens at any length, so that a later sport
        // rewrite of it works as well.
        file.path = longPathForm(folder / listedFile.name);
        file.fileName = listedFile.name.native();
        file.stamp = listedFile.stamp;
        file.stamped = listedFile.stamped;
    }
    std::vector<RouteInfo> routes(files.size());

    std::optional<LibraryIndex> stored;
    if (options.index == LibraryIndexUse::readAndWrite) stored = loadLibraryIndex(folder);
    std::unordered_map<fs::path::string_type, IndexEntry*> storedByName;
    if (stored) {
        for (IndexEntry& entry : stored->entries) storedByName.emplace(entry.fileName, &entry);
    }
    std::vector<std::size_t> jobs;
    std::size_t fromIndex = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        ScanFile& file = files[i];
        if (file.stamped && stored) {
            auto found = storedByName.find(file.fileName);
            if (found != storedByName.end() && indexEntryStillValid(*stored, *found->second, file.stamp)) {
                routes[i] = std::move(found->second->route);
                routes[i].filePath = file.path;
                ++fromIndex;
                continue;
            }
        }
        jobs.push_back(i);
    }
    MemoryBudget budget;
    budget.limit = scanMemoryBudget();
    analyzeFiles(files, routes, jobs, threadsFor(options), fromIndex, options, budget);

    // Nothing new to store when every file came from the index and none has gone.
    bool indexStored = false;
    const bool unchanged = stored && jobs.empty() && fromIndex == stored->entries.size();
    // A listing that failed says nothing about the files: the index keeps what it knew.
    if (options.index != LibraryIndexUse::none && !unchanged && listed) {
        std::vector<IndexEntryView> entries;
        entries.reserve(files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (files[i].stamped && worthIndexing(routes[i])) {
                entries.push_back({&files[i].fileName, files[i].stamp, &routes[i]});
            }
        }
        indexStored = storeLibraryIndex(folder, encodeLibraryIndex(folder, startedAt, entries));
    }
    sortLibraryFiles(routes);
    if (counts) {
        *counts = {files.size(), fromIndex, jobs.size(), indexStored};
        counts->folderNotListed = !listed;
        counts->peakHeldBytes = budget.peak.load();
    }
    return routes;
}
