// Two sport rewrites of one large file at the same moment, round after round, as two windows (or a
// window and the console tool) would start them. Prints how many rewrites got through, how many
// were refused (busy, or changed meanwhile), whether any round left a file that is not one whole
// result or reported a success that is not in the file, and the time. Asserts nothing about time.
//
//   RewriteRaceBench [ROUNDS [MEGABYTES [FOLDER]]]      default 200 rounds of a 20 MB file in
//                                                       build/bench-data/rewrite-race

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "core/Failure.h"
#include "core/SportRewrite.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::size_t megabytes = argc > 2 ? static_cast<std::size_t>(std::atoi(argv[2])) : 20;
    const fs::path folder = argc > 3 ? fs::path(argv[3]) : fs::path("build/bench-data/rewrite-race");
    fs::create_directories(folder);
    const fs::path file = folder / "Race.gpx";

    std::string base = "<?xml version=\"1.0\"?>\n<gpx><trk><name>Race</name><type>running</type><trkseg>\n";
    for (int i = 0; base.size() < (megabytes << 20); ++i) {
        base += "  <trkpt lat=\"47." + std::to_string(100000 + i % 900000) + "\" lon=\"8.5\"><ele>" +
                std::to_string(400 + i % 500) + "</ele><time>2024-05-01T10:00:00Z</time></trkpt>\n";
    }
    base += "</trkseg></trk></gpx>\n";
    const std::string sports[2] = {"cycling", "hiking"};
    const std::string results[2] = {rewriteSportText(base, sports[0]), rewriteSportText(base, sports[1])};

    int successes = 0;
    int busy = 0;
    int changed = 0;
    int otherFailures = 0;
    int damaged = 0;
    int lostSuccesses = 0;
    double racing = 0;
    const auto started = std::chrono::steady_clock::now();
    for (int round = 0; round < rounds; ++round) {
        writeAll(file, base);
        RouteInfo route;
        route.filePath = file;
        std::atomic<int> ready{0};
        bool ok[2] = {};
        std::string messages[2];
        const auto roundStart = std::chrono::steady_clock::now();
        std::vector<std::thread> threads;
        for (int t = 0; t < 2; ++t) {
            threads.emplace_back([&, t] {
                ready.fetch_add(1);
                while (ready.load() < 2) std::this_thread::yield();
                ok[t] = rewriteSport(route, sports[t], messages[t]);
            });
        }
        for (std::thread& thread : threads) thread.join();
        racing += std::chrono::duration<double>(std::chrono::steady_clock::now() - roundStart).count();
        const std::string now = readAll(file);
        if (now != results[0] && now != results[1]) ++damaged;
        for (int t = 0; t < 2; ++t) {
            if (ok[t]) {
                ++successes;
                if (!ok[1 - t] && now != results[t]) ++lostSuccesses;
            } else if (messages[t] == kMessageFileBusy) {
                ++busy;
            } else if (messages[t] == kMessageChangedMeanwhile) {
                ++changed;
            } else {
                ++otherFailures;
                std::fprintf(stderr, "round %d: %s\n", round, messages[t].c_str());
            }
        }
    }
    const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    int leftovers = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        leftovers += isOwnTemporaryName(entry.path().filename()) ? 1 : 0;
    }
    fs::remove(file);
    std::printf("rewrite race: %d rounds of two rewrites of a %.1f MB file\n", rounds,
                static_cast<double>(base.size()) / (1 << 20));
    std::printf("  succeeded %d, refused %d (busy %d, changed meanwhile %d), other failures %d\n", successes,
                busy + changed, busy, changed, otherFailures);
    std::printf("  damaged files %d, reported successes not in the file %d, temporaries left %d\n", damaged,
                lostSuccesses, leftovers);
    std::printf("  time %.1f s in all, %.1f ms per round racing (%.1f ms per successful rewrite)\n", total,
                racing * 1000 / rounds, successes > 0 ? racing * 1000 / successes : 0.0);
    return damaged + lostSuccesses + otherFailures + leftovers > 0 ? 1 : 0;
}
