#include "BenchData.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "core/PointFields.h"

namespace fs = std::filesystem;

namespace {

constexpr double kPi = 3.141592653589793;

// The stamp in UTC with milliseconds, as recording devices write it.
void appendTime(std::string& out, int64_t seconds) {
    const std::string stamp = stampInstantText(seconds, 0);
    out.append(stamp, 0, stamp.size() - 1).append(".000Z");
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

std::string generateActivity(uint64_t seed, uint32_t pointCount, uint32_t segmentCount) {
    Random random{seed};
    // Somewhere in the Alps and their foreland, a morning between 2015 and 2025.
    double lat = random.uniform(45.8, 48.2);
    double lon = random.uniform(6.0, 13.5);
    double ele = random.uniform(300, 1500);
    double heading = random.uniform(0, 2 * kPi);
    const double speed = random.uniform(5.0, 9.0);  // metres per second: a ride
    int64_t time = 1420070400 + static_cast<int64_t>(random.uniform(0, 3800)) * 86400 + 6 * 3600 +
                   static_cast<int64_t>(random.uniform(0, 4 * 3600));
    const char* kinds[] = {"cycling", "ride", "Run", "hiking", "mtb"};
    std::string out;
    out.reserve(static_cast<std::size_t>(pointCount) * 260 + 1024);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx creator=\"Garmin Connect\" version=\"1.1\"\n"
           "  xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
           "http://www.topografix.com/GPX/11.xsd\"\n"
           "  xmlns:ns3=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\"\n"
           "  xmlns=\"http://www.topografix.com/GPX/1/1\"\n"
           "  xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
           "  <metadata>\n    <link href=\"connect.garmin.com\">\n      <text>Garmin Connect</text>\n"
           "    </link>\n    <time>";
    appendTime(out, time);
    out += "</time>\n  </metadata>\n  <trk>\n    <name>Activity ";
    out += std::to_string(seed);
    out += "</name>\n    <type>";
    out += kinds[random.next() % 5];
    out += "</type>\n";
    const uint32_t perSegment = segmentCount == 0 ? pointCount : (pointCount + segmentCount - 1) / segmentCount;
    char buffer[400];
    for (uint32_t i = 0; i < pointCount; ++i) {
        if (i % perSegment == 0) {
            if (i > 0) out += "    </trkseg>\n";
            out += "    <trkseg>\n";
        }
        heading += random.uniform(-0.25, 0.25);
        const double step = speed * random.uniform(0.6, 1.4);
        lat += step * std::cos(heading) / 111320.0;
        lon += step * std::sin(heading) / (111320.0 * std::cos(lat * kPi / 180));
        ele += random.uniform(-1.2, 1.25);
        time += 1;
        const int hr = 110 + static_cast<int>(random.uniform(0, 60));
        const int cad = 70 + static_cast<int>(random.uniform(0, 30));
        std::snprintf(buffer, sizeof buffer,
                      "      <trkpt lat=\"%.14f\" lon=\"%.14f\">\n        <ele>%.1f</ele>\n        <time>", lat,
                      lon, ele);
        out += buffer;
        appendTime(out, time);
        std::snprintf(buffer, sizeof buffer,
                      "</time>\n        <extensions>\n          <ns3:TrackPointExtension>\n"
                      "            <ns3:hr>%d</ns3:hr>\n            <ns3:cad>%d</ns3:cad>\n"
                      "          </ns3:TrackPointExtension>\n        </extensions>\n      </trkpt>\n",
                      hr, cad);
        out += buffer;
    }
    if (pointCount > 0) out += "    </trkseg>\n";
    out += "  </trk>\n</gpx>\n";
    return out;
}

void writeLibrary(const fs::path& folder, uint32_t fileCount, uint32_t pointsPerFile) {
    fs::create_directories(folder);
    for (uint32_t i = 0; i < fileCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "activity_%04u.gpx", i);
        // A few activities have pauses that split them into segments, as recorders do.
        writeFile(folder / name, generateActivity(1000 + i, pointsPerFile, i % 7 == 0 ? 3 : 1));
    }
}

void writeLargeFile(const fs::path& file, uint64_t minimumBytes) {
    // Each point takes a little over 300 bytes; aim just above the size asked for.
    const uint32_t points = static_cast<uint32_t>(minimumBytes / 300 + 1);
    std::string text = generateActivity(42, points, 1);
    uint32_t more = points;
    while (text.size() < minimumBytes) {
        more += more / 20 + 1;
        text = generateActivity(42, more, 1);
    }
    fs::create_directories(file.parent_path());
    writeFile(file, text);
}
