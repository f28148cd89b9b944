// Every real-world file of the corpus: no crash, one of the three record shapes, and the features
// its catalogue notes (no points, loop, sport from speed, thinned outline) agree with the analysis.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "TestSupport.h"
#include "core/Failure.h"
#include "core/TrackAnalysis.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

// File name -> the words of the catalogue's last column (the features).
std::map<std::string, std::set<std::string>> catalogueFeatures() {
    std::map<std::string, std::set<std::string>> features;
    std::istringstream lines(readBytes(corpusFolder() / "SOURCES.md"));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("| `", 0) != 0) continue;
        std::string name = line.substr(3, line.find('`', 3) - 3);
        size_t closingBar = line.find_last_of('|');
        size_t featureBar = line.find_last_of('|', closingBar - 1);
        std::istringstream words(line.substr(featureBar + 1, closingBar - featureBar - 1));
        std::string word;
        while (words >> word) features[name].insert(word);
    }
    return features;
}

void expectConsistentShape(const RouteInfo& r, const std::string& name) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(r.fileStem.empty());
    EXPECT_EQ(r.hasStartPlace, r.hasFinishPlace);
    EXPECT_EQ(r.hasStartPlace, r.pointCount > 0);
    if (r.pointCount == 0) {
        EXPECT_FALSE(r.errorText.empty());
        EXPECT_TRUE(r.outline.empty());
        EXPECT_EQ(r.dateText, "");
        EXPECT_EQ(r.sportLabel, "");
        EXPECT_EQ(r.routeName, "");
        return;
    }
    EXPECT_EQ(r.errorText, "");
    EXPECT_FALSE(r.routeName.empty());
    EXPECT_TRUE(r.dateText == "\xE2\x80\x93" || r.dateText.size() == 8) << r.dateText;
    EXPECT_FALSE(r.sportLabel.empty());
    ASSERT_FALSE(r.outline.empty());
    EXPECT_EQ(r.outline.back(), std::make_pair(r.finishLat, r.finishLon));
    EXPECT_EQ(r.outline.front(), std::make_pair(r.startLat, r.startLon));
    size_t step = r.pointCount < 500 ? 1 : r.pointCount / 250;
    EXPECT_LE(r.outline.size(), (r.pointCount + step - 1) / step + 1);
    EXPECT_GE(r.outline.size(), (r.pointCount + step - 1) / step);
    EXPECT_TRUE(std::isfinite(r.distanceMeters) && r.distanceMeters >= 0);
    EXPECT_TRUE(std::isfinite(r.ascentMeters) && r.ascentMeters >= 0);
    EXPECT_GE(r.durationSeconds, 0);
    if (!r.hasTimestamps) {
        EXPECT_EQ(r.durationSeconds, 0);
    }
    if (r.sportFromSpeed) {
        EXPECT_TRUE(r.sportKey == "hiking" || r.sportKey == "running" || r.sportKey == "cycling" ||
                    r.sportKey == "driving");
    }
    EXPECT_EQ(r.isRoundTrip, r.isRoundTrip && r.distanceMeters >= 1000);
}

TEST(Corpus, EveryFileAnalysesIntoOneShapeAndMatchesItsCatalogue) {
    REQUIRE_CORPUS();
    auto features = catalogueFeatures();
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(corpusFolder())) {
        if (!entry.is_regular_file() || entry.path().filename() == "SOURCES.md") continue;
        ++files;
        RouteInfo r = analyzeGpxFile(entry.path());
        std::string name = pathToUtf8(entry.path().filename());
        expectConsistentShape(r, name);
        ASSERT_TRUE(features.count(name)) << name;
        const auto& f = features[name];
        SCOPED_TRACE(name);
        // The catalogue was written when a cut file counted as one without points, and when a
        // CDATA section read as empty (this file's type is one).
        EXPECT_EQ(f.count("no-points") > 0,
                  r.errorText == kMessageNoPoints || r.errorText == kMessageEndsEarly);
        EXPECT_EQ(f.count("loop") > 0, r.isRoundTrip);
        if (name == "OpenTracksApp__OpenTracks__legacy_gpx_trackpointextensions_incorrect.gpx") {
            EXPECT_EQ(r.sportKey, "mountain_biking");
        } else {
            EXPECT_EQ(f.count("sport-from-speed") > 0, r.sportFromSpeed);
        }
        EXPECT_EQ(f.count("outline-thinned") > 0, r.pointCount >= 500);
        // Analysing the same bytes from memory gives the same record.
        RouteInfo again = analyzeGpxText(entry.path(), readBytes(entry.path()));
        EXPECT_EQ(again.distanceMeters, r.distanceMeters);
        EXPECT_EQ(again.outline, r.outline);
        EXPECT_EQ(again.routeName, r.routeName);
    }
    EXPECT_EQ(files, 79u);
}

TEST(Corpus, SpotChecks) {
    REQUIRE_CORPUS();
    RouteInfo sub = analyzeGpxFile(corpusFolder() / "GPSBabel__gpsbabel__gpx_subsecond-sample.gpx");
    EXPECT_EQ(sub.pointCount, 5u);
    EXPECT_EQ(sub.dateText, "30.10.11");  // the file's own time stands before the track
    EXPECT_EQ(sub.durationSeconds, 1);    // 17:47:25.2 to 17:47:26, fractions ignored
    EXPECT_NEAR(sub.ascentMeters, 0.3, 1e-9);
    EXPECT_EQ(sub.startPlace, "49.795, 9.834");
    EXPECT_EQ(sub.sportKey, "T");
    EXPECT_EQ(sub.sportLabel, "T");
    EXPECT_EQ(sub.routeName, "trkpt-2011-07-02T17:47:25.000Z");  // the track's first name is a point's
    EXPECT_TRUE(sub.hasTimestamps);
    EXPECT_FALSE(sub.isRoundTrip);
}

}  // namespace
