// FIT files of many devices decode to what the official FIT SDK decodes from them, broken ones give
// a reason, and the GPX written from them analyses to the same track.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "core/FitDecoder.h"
#include "core/GpxWriter.h"
#include "core/RouteScan.h"
#include "core/TrackAnalysis.h"

namespace {

namespace fs = std::filesystem;

fs::path fitCorpus() {
    return projectPath("../shared/corpus/fit");
}

#ifndef _WIN32  // the reference decoder runs beside the native tests
std::vector<fs::path> fitFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fitCorpus())) {
        std::string extension = entry.path().extension().string();
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension == ".fit") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The number after "key": in a JSON line of the reference, NaN for null.
double jsonNumber(const std::string& line, const std::string& key) {
    const size_t at = line.find("\"" + key + "\":");
    if (at == std::string::npos) return std::nan("");
    const char* start = line.c_str() + at + key.size() + 3;
    return std::strncmp(start, "null", 4) == 0 ? std::nan("") : std::strtod(start, nullptr);
}

template <typename T>
double orNan(const std::optional<T>& value) {
    return value ? static_cast<double>(*value) : std::nan("");
}

bool sameRecord(const ActivityPoint& mine, const std::string& reference) {
    auto same = [&](const char* key, double value, double tolerance) {
        const double expected = jsonNumber(reference, key);
        return std::isnan(expected) ? std::isnan(value) : std::fabs(expected - value) <= tolerance;
    };
    const double semicircles = 2147483648.0 / 180.0;
    return same("t", orNan(mine.timeMillis), 0) && same("lat", std::round(mine.lat * semicircles), 0) &&
           same("lon", std::round(mine.lon * semicircles), 0) &&
           same("alt", orNan(mine.elevationMeters), 1e-6) && same("hr", orNan(mine.heartRate), 0) &&
           same("cad", orNan(mine.cadence), 0) && same("temp", orNan(mine.temperatureC), 0) &&
           same("power", orNan(mine.powerWatts), 0);
}

// Records the reference cannot decode (compressed time stamps): "Timestamp" in FIT seconds, heart
// rate and cadence, "null" where absent; from the record of the first row's time on.
void expectCsvRecords(const std::vector<ActivityPoint>& records, const fs::path& csv) {
    std::istringstream lines(readBytes(csv));
    std::string line;
    std::getline(lines, line);
    ASSERT_EQ(line.rfind("Timestamp, Heart Rate", 0), 0u) << line;
    size_t index = 0;
    const double firstTime = std::strtod(readBytes(csv).c_str() + line.size() + 1, nullptr);
    while (index < records.size() && orNan(records[index].timeMillis) != (firstTime + 631065600) * 1000)
        ++index;
    for (; std::getline(lines, line); ++index) {
        ASSERT_LT(index, records.size());
        double time = 0, heartRate = 0, cadence = 0;
        std::sscanf(line.c_str(), "%lf,%lf,%*[^,],%*[^,],%lf", &time, &heartRate, &cadence);
        if (line.substr(line.rfind(',') + 1) == "null") cadence = std::nan("");
        EXPECT_EQ(orNan(records[index].timeMillis), (time + 631065600) * 1000) << line;
        EXPECT_EQ(orNan(records[index].heartRate), heartRate) << line;
        EXPECT_TRUE(std::isnan(cadence) ? !records[index].cadence : orNan(records[index].cadence) == cadence);
    }
    EXPECT_EQ(index, records.size());
}

TEST(FitDecoder, EveryCorpusFileDecodesAsTheReferenceOrGivesAReason) {
    const fs::path script = projectPath("tests/tools/fit-oracle/fit2json.mjs");
    std::string missing;
    if (!fs::is_directory(fitCorpus()))
        missing = "no FIT corpus at " + fitCorpus().string();
    else if (!fs::is_directory(script.parent_path() / "node_modules/@garmin/fitsdk"))
        missing = "the reference decoder is not installed (npm ci in tests/tools/fit-oracle)";
    else if (std::system("node --version >/dev/null 2>&1") != 0)
        missing = "node is not installed";
    if (!missing.empty()) {
        if (corpusRequired()) FAIL() << missing << " (required because CI is set)";
        GTEST_SKIP() << missing;
    }
    TempFolder scratch;
    const fs::path output = scratch.path / "reference.jsonl";
    std::string command = "node '" + script.string() + "'";
    const std::vector<fs::path> files = fitFiles();
    for (const fs::path& file : files) command += " '" + file.string() + "'";
    ASSERT_EQ(std::system((command + " >'" + output.string() + "'").c_str()), 0);

    std::ifstream reference(output);
    std::string line;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        ASSERT_TRUE(std::getline(reference, line) &&
                    line.find(file.filename().string()) != std::string::npos);
        std::vector<ActivityPoint> records;
        const FitDecoding decoded = decodeFit(readBytes(file), &records);
        size_t index = 0;
        while (std::getline(reference, line) && line.rfind("{\"t\"", 0) == 0) {
            if (index < records.size()) {
                EXPECT_TRUE(sameRecord(records[index], line))
                    << "record " << index << ": " << line << " against lat " << records[index].lat << " lon "
                    << records[index].lon << " alt " << orNan(records[index].elevationMeters);
            }
            ++index;
        }
        const fs::path csv = fs::path(file).replace_extension().string() + "-records.csv";
        if (line.rfind("{\"end\"", 0) == 0) {
            EXPECT_EQ(records.size(), index);
            EXPECT_TRUE(decoded.problem == FitProblem::none ||
                        (decoded.problem == FitProblem::noActivity && index == 0));
        } else if (line.find("compressed timestamp") != std::string::npos ||
                   line.find("Cannot read properties") != std::string::npos) {
            // The reference's own limits: the file is sound.
            EXPECT_EQ(decoded.problem, FitProblem::none) << line;
            if (fs::exists(csv)) expectCsvRecords(records, csv);
        } else {
            EXPECT_NE(decoded.problem, FitProblem::none) << line;
            EXPECT_GE(records.size(), index);
            EXPECT_EQ(decoded.partial, !decoded.activities.empty());
        }
    }
}

#endif

TEST(FitDecoder, WrittenGpxAnalysesToTheSameTrack) {
    const fs::path file = fitCorpus() / "python-fitparse__garmin-edge-500-activity.fit";
    if (!fs::exists(file)) {
        if (corpusRequired()) FAIL() << "missing " << file;
        GTEST_SKIP() << "no FIT corpus at " << fitCorpus();
    }
    const FitDecoding decoded = decodeFit(readBytes(file));
    ASSERT_EQ(decoded.activities.size(), 1u);
    const Activity& activity = decoded.activities[0];
    ASSERT_GT(activity.segments.size(), 1u);
    const std::string gpx = gpxFromActivity(activity, "Fallback & <name>");

    std::vector<TrackPoint> source;
    double distance = 0;
    for (size_t s = 0; s < activity.segments.size(); ++s)
        for (const ActivityPoint& p : activity.segments[s].points) {
            TrackPoint point{p.lat, p.lon, 0, 0, false, false, static_cast<int32_t>(s)};
            if (!source.empty() && source.back().segment == point.segment)
                distance += haversineMeters(source.back(), point);
            source.push_back(point);
        }
    const RouteInfo route = analyzeGpxText("written.gpx", gpx);
    EXPECT_EQ(route.errorText, "");
    EXPECT_EQ(route.routeName, "Fallback & <name>");
    EXPECT_EQ(route.pointCount, source.size());
    EXPECT_NEAR(route.distanceMeters, distance, 1e-6 * distance);
    const auto times = [&](const ActivitySegment& segment, bool last) {
        return *(last ? segment.points.back() : segment.points.front()).timeMillis / 1000.0;
    };
    EXPECT_DOUBLE_EQ(route.durationSeconds,
                     times(activity.segments.back(), true) - times(activity.segments[0], false));

    struct Read {
        std::string_view text;
        std::vector<TrackPoint> points;
        std::string buffer;
    } read{gpx, {}, {}};
    RouteScanSink sink;
    sink.context = &read;
    sink.segmentBegins = [](void*) {};
    sink.segmentEnds = [](void*, bool) {};
    sink.routePoint = [](void*, const PointMatch&) {};
    sink.weather = [](void*, const OpenTagMatch&) {};
    sink.trackPoint = [](void* c, const PointMatch& m) {
        Read& r = *static_cast<Read*>(c);
        TrackPoint point;
        if (readPointFields(r.text, m, point, r.buffer)) r.points.push_back(point);
    };
    scanRoute(gpx, sink);
    ASSERT_EQ(read.points.size(), source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        ASSERT_NEAR(read.points[i].lat, source[i].lat, 1e-7) << i;
        ASSERT_NEAR(read.points[i].lon, source[i].lon, 1e-7) << i;
    }
}

}  // namespace

TEST(GpxWriter, NamesTheFileByTheLocalDayAndWritesTimesInUtc) {
    Activity activity;
    activity.sportKey = "cycling";
    activity.startMillis = 1714519800000;  // 2024-04-30 23:30 UTC, already 1 May at +02:00
    activity.utcOffsetMinutes = 120;
    ActivityPoint point{47.5, 8.25, 1714519800250, 412.4, 140, 90, std::nullopt, 250};
    activity.segments = {{{point}}, {{point}}};
    activity.segments[1].points[0].timeMillis = 1714519801000;
    EXPECT_EQ(activityFileStem(activity, "Rad"), "2024-05-01 Rad");
    activity.name = "Morning Ride";
    EXPECT_EQ(activityFileStem(activity, "Rad"), "2024-05-01 Morning Ride");

    const std::string gpx = gpxFromActivity(activity, "unused");
    for (const char* part : {"<time>2024-04-30T23:30:00.250Z</time>", "<time>2024-04-30T23:30:01Z</time>",
                             "<gpxtpx:hr>140</gpxtpx:hr>", "<power>250</power>", "<type>cycling</type>"})
        EXPECT_NE(gpx.find(part), std::string::npos) << part;
    const RouteInfo route = analyzeGpxText("written.gpx", gpx);
    EXPECT_EQ(route.routeName, "Morning Ride");
    EXPECT_EQ(route.sportKey, "cycling");
    EXPECT_EQ(route.pointCount, 2u);
    EXPECT_EQ(route.distanceMeters, 0);  // two segments of one point each
}
