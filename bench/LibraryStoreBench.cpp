// Cost of the data-layer operations on large input: the sport rewrite of a big track file (read,
// three tag searches, durable temporary file, replace) in its ordinary and its worst shapes, and a
// scan of the real-world corpus. Prints the median of several runs; asserts nothing about time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/SportRewrite.h"
#include "library/LibraryScan.h"

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

}  // namespace

// Usage: LibraryStoreBench [folder of GPX files to scan]
int main(int argc, char** argv) {
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
        const double ms = medianMilliseconds(3, [&] { count = readLibrary(corpus).size(); });
        std::printf("%-58s %8zu files %6.1f ms\n", "scan: folder of GPX files", count, ms);
    }
    fs::remove_all(folder, ignored);
    return 0;
}
