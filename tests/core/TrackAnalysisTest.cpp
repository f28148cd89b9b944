// The analysis of one file: failure shapes, points, figures, name, date and outline.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/Failure.h"
#include "core/MarkupText.h"
#include "core/TrackAnalysis.h"
#include "platform/Platform.h"

namespace {

constexpr double kDegreesPerMeter = 180.0 / (3.141592653589793 * 6371000.0);  // along a meridian
const std::string kEnDash = "\xE2\x80\x93";

std::string point(double lat, double lon, const std::string& inner = "") {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "<trkpt lat=\"%.10f\" lon=\"%.10f\">", lat, lon);
    return buffer + inner + "</trkpt>";
}

std::string segment(const std::vector<std::string>& points) {
    std::string text = "<trkseg>";
    for (const auto& p : points) text += p;
    return text + "</trkseg>";
}

std::string track(const std::string& segments, const std::string& head = "") {
    return "<?xml version=\"1.0\"?><gpx>" + head + "<trk>" + segments + "</trk></gpx>";
}

std::string timed(const std::string& stamp) {
    return "<time>" + stamp + "</time>";
}

RouteInfo analyze(const std::string& text) {
    return analyzeGpxText("/routes/Tour.gpx", text);
}

// Duration of a two-point track whose points carry these time texts.
double durationBetween(const std::string& first, const std::string& second) {
    RouteInfo r = analyze(track(segment({point(0, 0, timed(first)), point(0.001, 0, timed(second))})));
    return r.durationSeconds;
}

// A failed record keeps only its path, stem and message: the list shows nothing else of it.
void expectFailedRecord(const RouteInfo& r, const char* message, const std::string& stem) {
    EXPECT_EQ(r.errorText, message);
    EXPECT_EQ(r.fileStem, stem);
    EXPECT_EQ(r.routeName + r.dateText + r.sportLabel, "");
    EXPECT_FALSE(r.hasStartPlace || r.pointCount > 0 || !r.outline.empty());
}

TEST(AnalysisShapes, FailedNoPointsAndAnalysed) {
    TempFolder folder;
    RouteInfo gone = analyzeGpxFile(folder.path / "Gone.gpx");
    expectFailedRecord(gone, kMessageCannotRead, "Gone");
    EXPECT_EQ(gone.filePath, folder.path / "Gone.gpx");
    expectFailedRecord(analyze("<gpx><trk><name>x</name><time>2024-01-02T00:00:00Z</time></trk></gpx>"),
                       kMessageNoPoints, "Tour");

    RouteInfo one = analyze(track(segment({point(48.1374, 11.5756)})));
    EXPECT_EQ(one.errorText, "");
    EXPECT_EQ(one.pointCount, 1u);
    EXPECT_TRUE(one.hasStartPlace && one.hasFinishPlace);
    EXPECT_EQ(one.startPlace, "48.137, 11.576");
    EXPECT_EQ(one.finishPlace, one.startPlace);
    EXPECT_EQ(one.routeName, "Tour");
    EXPECT_EQ(one.dateText, kEnDash);
    EXPECT_EQ(one.sportLabel, kEnDash);
    EXPECT_EQ(one.sportKey, "");
    ASSERT_EQ(one.outline.size(), 1u);

    writeBytes(folder.path / "On Disk.v2.gpx", track(segment({point(1, 2)})));
    RouteInfo disk = analyzeGpxFile(folder.path / "On Disk.v2.gpx");
    EXPECT_EQ(disk.fileStem, "On Disk.v2");
    EXPECT_EQ(disk.pointCount, 1u);
}

TEST(AnalysisShapes, NameThatIsNoValidTextStillAnalyses) {
    TempFolder folder;
#ifdef _WIN32
    std::filesystem::path path = folder.path / std::wstring(L"Tour\xD800x.gpx");  // unpaired surrogate
#else
    std::filesystem::path path = folder.path / std::string("Tour\xFFx.gpx");  // not UTF-8
#endif
    RouteInfo fromText = analyzeGpxText(path, track(segment({point(1, 2)})));
    EXPECT_EQ(fromText.fileStem, "Tour\xEF\xBF\xBDx");
    EXPECT_EQ(fromText.routeName, fromText.fileStem);
    EXPECT_EQ(fromText.filePath, path);
    EXPECT_EQ(analyzeGpxFile(path).errorText, kMessageCannotRead);
    bool written = true;
    try {
        writeBytes(path, track(segment({point(1, 2)})));
    } catch (const std::exception&) {
        written = false;  // a file system that refuses such names cannot hold such a file either
    }
    if (written) {
        RouteInfo fromFile = analyzeGpxFile(path);
        EXPECT_EQ(fromFile.errorText, "");
        EXPECT_EQ(fromFile.pointCount, 1u);
        EXPECT_EQ(fromFile.fileStem, "Tour\xEF\xBF\xBDx");
    }
}

TEST(AnalysisPoints, SegmentsRoutesAndRejectedPoints) {
    std::string route =
        "<gpx><rte><name>R</name><rtept lat='1' lon='2'/><rtept lat='1.001' lon='2'/></rte></gpx>";
    RouteInfo r = analyze(route);
    EXPECT_EQ(r.pointCount, 2u);
    EXPECT_GT(r.distanceMeters, 100);
    EXPECT_EQ(r.routeName, "R");

    // Route points do not count once there is any track segment; track points outside one never do.
    RouteInfo mixed = analyze("<gpx><rte><rtept lat='1' lon='2'/></rte><trk><trkseg>" + point(5, 6) +
                              "</trkseg></trk><trkpt lat='7' lon='8'/></gpx>");
    EXPECT_EQ(mixed.pointCount, 1u);
    EXPECT_EQ(mixed.startLat, 5);
    EXPECT_EQ(analyze("<gpx><trk><trkpt lat='1' lon='2'/></trk></gpx>").errorText, kMessageNoPoints);

    RouteInfo picky = analyze(track(segment({
        "<trkpt lat='1'></trkpt>",
        "<trkpt lat='abc' lon='1'/>",
        "<gpx:TRKPT LON=\"3\" Lat='4' />",
        "<trkpt lat='inf' lon='1'/>",
        "<trkpt lat='1' lon='nan'/>",
        "<trkpt lat='-Infinity' lon='1'/>",
        point(4.001, 3, "<ele>nan</ele><time>bad</time>"),
        point(4.002, 3, "<ele>12m</ele>"),
    })));
    EXPECT_EQ(picky.pointCount, 3u);
    EXPECT_EQ(picky.startLat, 4);
    EXPECT_EQ(picky.startLon, 3);
    EXPECT_FALSE(picky.hasTimestamps);
    EXPECT_EQ(picky.ascentMeters, 0);  // "nan" is no elevation, so 12 has no partner
    EXPECT_TRUE(std::isfinite(picky.distanceMeters));
}

TEST(AnalysisFigures, DistanceAndAscentStayInsideSegments) {
    double km = 1000 * kDegreesPerMeter;
    RouteInfo r =
        analyze(track(segment({point(0, 0), point(km, 0)}) + segment({point(6 * km, 0), point(7 * km, 0)})));
    EXPECT_NEAR(r.distanceMeters, 2000, 1e-3);

    auto ascent = [](std::vector<std::string> elevations) {
        std::vector<std::string> points;
        for (size_t i = 0; i < elevations.size(); ++i) {
            std::string inner = elevations[i].empty() ? "" : "<ele>" + elevations[i] + "</ele>";
            points.push_back(point(0.001 * static_cast<double>(i), 0, inner));
        }
        return analyze(track(segment(points))).ascentMeters;
    };
    EXPECT_DOUBLE_EQ(ascent({"100", "105", "103", "110"}), 12);
    EXPECT_DOUBLE_EQ(ascent({"100", "", "110"}), 0);
    EXPECT_DOUBLE_EQ(ascent({" 100.5 ", "<!--x-->101", "1e999", "99"}), 0.5);
    EXPECT_DOUBLE_EQ(
        analyze(track(segment({point(0, 0, "<ele>1</ele>")}) + segment({point(0, 0, "<ele>9</ele>")})))
            .ascentMeters,
        0);
}

TEST(AnalysisFigures, PointsOffTheEarthAreNoPoints) {
    // Read quickly (the common form) or by the general searches alike.
    RouteInfo r = analyze(
        track(segment({point(0, 0), "<trkpt lat='1e308' lon='-1e308'/>", "<trkpt lat='91' lon='0'/>",
                       "<trkpt lat=\"0\" lon=\"180.5\"><ele>1</ele><time>2024-01-01T00:00:00Z</time></trkpt>",
                       "<trkpt lat='nan' lon='0'/>", "<trkpt lat='-90' lon='-180'/>"})));
    EXPECT_EQ(r.pointCount, 2u);
    EXPECT_NEAR(r.distanceMeters, 10007543.4, 1);  // a quarter of the way round
    EXPECT_EQ(r.finishPlace, "-90.000, -180.000");
}

TEST(AnalysisTime, TimestampsZonesAndFractions) {
    const std::string epoch = "1970-01-01T00:00:00Z";
    EXPECT_EQ(durationBetween(epoch, "2024-03-10T08:15:30+01:00"), 1710054930);
    EXPECT_EQ(durationBetween(epoch, "2024-03-10T07:15:30Z"), 1710054930);
    EXPECT_EQ(durationBetween(epoch, "2024-03-10T08:15:30.123+0100"), 1710054930);
    EXPECT_EQ(durationBetween(epoch, "2024-03-10T05:15:30-02:00"), 1710054930);
    EXPECT_EQ(durationBetween(epoch, "2024-03-10T07:15:30z"), 1710054930);      // 'z' is not read: UTC
    EXPECT_EQ(durationBetween(epoch, "2024-03-10T07:15:30+01:0"), 1710054930);  // no zone
    EXPECT_EQ(durationBetween(epoch, "x 2024-03-10T07:15:30 y"), 1710054930);
    EXPECT_EQ(durationBetween(epoch, "2024-03-10t07:15:30Z"), 0);
    EXPECT_EQ(durationBetween(epoch, "20x4-03-10T07:15:30Z"), 0);
    EXPECT_EQ(durationBetween("0000-01-01T00:00:00Z", "1970-01-01T00:00:00Z"), 62167219200.0);
    // Fields are not range-checked; absurd ones still give plain 64-bit arithmetic.
    EXPECT_EQ(durationBetween("0000-00-00T00:00:00Z", "9999-99-99T99:99:99+99:99"), 315808156899.0);
}

// The first time element as an instant: what the parse accepts, the UTC instant it gives (written
// back in UTC) and the zone it keeps.
TEST(AnalysisTime, FirstStampAsAnInstant) {
    struct Case {
        const char* text;
        const char* utc;
        int32_t offsetMinutes;
    };
    const Case cases[] = {
        {"2017-07-29T08:15:30Z", "2017-07-29T08:15:30Z", 0},
        {"2017-07-29T08:15:30+02:00", "2017-07-29T06:15:30Z", 120},
        {"2017-07-29T08:15:30-05:30", "2017-07-29T13:45:30Z", -330},
        {"2017-07-29T08:15:30+0530", "2017-07-29T02:45:30Z", 330},
        {"2017-07-29T08:15:30.987654Z", "2017-07-29T08:15:30Z", 0},
        {"2017-07-29T08:15:30", "2017-07-29T08:15:30Z", 0},
        {" \n 2017-07-29T08:15:30-00:00\t", "2017-07-29T08:15:30Z", 0},
        {"2016-12-31T23:59:60Z", "2016-12-31T23:59:59Z", 0},
        {"2017-01-01T00:30:00+02:00", "2016-12-31T22:30:00Z", 120},
        {"2016-12-31T22:00:00-03:00", "2017-01-01T01:00:00Z", -180},
        {"2024-02-29T23:59:59+14:00", "2024-02-29T09:59:59Z", 840},
        {"2000-02-29T00:00:00Z", "2000-02-29T00:00:00Z", 0},
        {"0001-01-01T00:00:00Z", "0001-01-01T00:00:00Z", 0},
        {"9999-12-31T23:59:59Z", "9999-12-31T23:59:59Z", 0},
    };
    StampInstant instant;
    for (const Case& c : cases) {
        ASSERT_TRUE(readStampInstant(c.text, instant)) << c.text;
        EXPECT_EQ(stampInstantText(instant.seconds, 0), c.utc) << c.text;
        EXPECT_EQ(instant.offsetMinutes, c.offsetMinutes) << c.text;
    }
    // No dateTime: a year out of range, lower-case letters, text around it, a missing part, a day,
    // hour or zone out of range.
    const char* const rejected[] = {"-2017-07-29T08:15:30Z",     "12017-07-29T08:15:30Z",
                                    "0000-01-01T00:00:00Z",      "2017-07-29T08:15:30z",
                                    "2017-07-29t08:15:30Z",      "at 2017-07-29T08:15:30Z",
                                    "2017-07-29T08:15:30Z x",    "2017-07-29T08:15:30.Z",
                                    "2017-07-29T08:15Z",         "2017-07-29",
                                    "2017-13-01T00:00:00Z",      "2017-00-01T00:00:00Z",
                                    "2017-04-31T00:00:00Z",      "2017-02-29T00:00:00Z",
                                    "1900-02-29T00:00:00Z",      "2017-07-00T00:00:00Z",
                                    "2017-07-29T24:00:00Z",      "2017-07-29T08:60:00Z",
                                    "2017-07-29T08:15:61Z",      "2017-07-29T08:15:30+14:01",
                                    "2017-07-29T08:15:30-15:00", "2017-07-29T08:15:30+02:60",
                                    "2017-07-29T08:15:30+02"};
    for (const char* text : rejected) EXPECT_FALSE(readStampInstant(text, instant)) << text;
    EXPECT_FALSE(readStampInstant("", instant));
    ASSERT_TRUE(readStampInstant("2024-03-10T08:15:30+01:00", instant));
    EXPECT_EQ(instant.seconds, 1710054930);  // the point stamps' figure for the same text
    EXPECT_EQ(stampInstantText(instant.seconds, instant.offsetMinutes), "2024-03-10T08:15:30+01:00");
    EXPECT_EQ(stampInstantText(instant.seconds, -570), "2024-03-09T21:45:30-09:30");
    EXPECT_EQ(stampInstantText(-62135596800 - 1, 0), "");  // before the year 1
    EXPECT_EQ(stampInstantText(INT64_MAX, 0), "");
}

TEST(AnalysisTime, DurationUsesFirstAndLastInFileOrder) {
    RouteInfo backwards = analyze(track(segment(
        {point(0, 0, timed("2024-01-01T10:00:00Z")), point(0.01, 0, timed("2024-01-01T09:00:00Z"))})));
    EXPECT_TRUE(backwards.hasTimestamps);
    EXPECT_EQ(backwards.durationSeconds, 0);

    RouteInfo single = analyze(track(segment({point(0, 0, timed("2024-01-01T10:00:00Z")), point(0.01, 0)})));
    EXPECT_TRUE(single.hasTimestamps);
    EXPECT_EQ(single.durationSeconds, 0);

    RouteInfo pause = analyze(track(segment({point(0, 0, timed("2024-01-01T10:00:00Z")), point(0.01, 0)}) +
                                    segment({point(0.02, 0, timed("2024-01-01T08:00:00Z")),
                                             point(0.03, 0, timed("2024-01-01T12:30:00Z"))})));
    EXPECT_EQ(pause.durationSeconds, 9000);
}

TEST(AnalysisLoop, Thresholds) {
    auto outAndBack = [](double outMeters, double gapMeters) {
        double d = kDegreesPerMeter;
        return analyze(track(segment({point(0, 0), point(outMeters * d, 0), point(gapMeters * d, 0)})));
    };
    RouteInfo shortLoop = outAndBack(499.95, 0);
    EXPECT_NEAR(shortLoop.distanceMeters, 999.9, 1e-3);
    EXPECT_FALSE(shortLoop.isRoundTrip);
    EXPECT_TRUE(outAndBack(500.05, 0).isRoundTrip);
    EXPECT_TRUE(outAndBack(800, 199.9).isRoundTrip);
    EXPECT_FALSE(outAndBack(800, 200.001).isRoundTrip);
}

TEST(AnalysisOutline, SizesAndLastPoint) {
    auto outline = [](size_t count, bool repeatLast = false) {
        std::vector<std::string> points;
        for (size_t i = 0; i < count; ++i) {
            double lat = repeatLast && i + 1 == count ? 0.0001 * static_cast<double>(i - 1)
                                                      : 0.0001 * static_cast<double>(i);
            points.push_back("<trkpt lat='" + std::to_string(lat) + "' lon='1'/>");
        }
        return analyze(track(segment(points))).outline;
    };
    EXPECT_EQ(outline(499).size(), 499u);
    auto fiveHundred = outline(500);
    ASSERT_EQ(fiveHundred.size(), 251u);
    EXPECT_EQ(fiveHundred[250].first, std::stod(std::to_string(0.0001 * 499)));
    EXPECT_EQ(fiveHundred[249].first, std::stod(std::to_string(0.0001 * 498)));
    EXPECT_EQ(outline(1000).size(), 251u);
    EXPECT_EQ(outline(501).size(), 251u);        // index 500 is already the last point
    EXPECT_EQ(outline(500, true).size(), 250u);  // the last sample has the last point's coordinates
}

TEST(AnalysisScope, NameDateAndType) {
    std::string metadata = "<metadata><name>Meta</name><time>2023-07-05T10:00:00+02:00</time></metadata>";
    std::string points = segment({point(0, 0, timed("2024-12-31T10:00:00Z"))});
    RouteInfo r = analyze(track(points, metadata + "<wpt lat='1' lon='1'><name>Hut</name></wpt>"));
    EXPECT_EQ(r.dateText, "05.07.23");
    EXPECT_TRUE(r.hasFirstTime);  // the metadata's time, as the date
    EXPECT_EQ(stampInstantText(r.firstTimeSeconds, r.firstTimeOffsetMinutes), "2023-07-05T10:00:00+02:00");
    EXPECT_EQ(r.routeName, "Tour");  // the track has no name of its own

    RouteInfo plain =
        analyze("<gpx><name>Anywhere</name><rtept lat='1' lon='1'><time>10.01.2024</time></rtept></gpx>");
    EXPECT_EQ(plain.routeName, "Anywhere");
    EXPECT_EQ(plain.dateText, kEnDash);
    EXPECT_FALSE(plain.hasFirstTime);
    EXPECT_FALSE(plain.hasTimestamps);

    RouteInfo named = analyze("<gpx><trk><name>B &amp; C</name><type>Ride</type>" + points +
                              "</trk><trk><name>Second</name><type>run</type></trk></gpx>");
    EXPECT_EQ(named.routeName, "B & C");
    EXPECT_EQ(named.dateText, "31.12.24");
    EXPECT_EQ(named.sportKey, "cycling");
    EXPECT_EQ(named.sportLabel, "Rad");
    // The type is read as any element text: prefix, letter case and entities.
    EXPECT_EQ(analyze("<gpx:trk><gpx:Type>run &amp; bike</gpx:Type>" + points + "</gpx:trk>").sportKey,
              "run & bike");
}

TEST(AnalysisRobustness, LargeAndHostileTexts) {
    // One segment of many megabytes: no recursion, no quadratic rescanning.
    std::string big = "<gpx><trk><trkseg>";
    const std::string body =
        "><ele>512.4</ele><time>2024-05-01T06:00:00Z</time><extensions><gpxtpx:TrackPointExtension>"
        "<gpxtpx:hr>120</gpxtpx:hr></gpxtpx:TrackPointExtension></extensions></trkpt>\n";
    size_t count = 0;
    while (big.size() < 10'000'000) {
        big += "<trkpt lat=\"47." + std::to_string(100000 + count % 9000) + "\" lon=\"8.5\"" + body;
        ++count;
    }
    big += "</trkseg></trk></gpx>";
    RouteInfo r = analyze(big);
    EXPECT_EQ(r.pointCount, count);
    size_t step = count / 250;
    EXPECT_EQ(r.outline.size(), (count + step - 1) / step + ((count - 1) % step == 0 ? 0 : 1));
    EXPECT_EQ(r.outline.back().first, r.finishLat);

    for (std::string unit :
         {"<trkpt ", "<trkseg>", "<name>", "<trkpt>", "<wetter ", "<", "</trkpt", "lat='"}) {
        std::string hostile;
        while (hostile.size() < 4'000'000) hostile += unit;
        RouteInfo h = analyze(hostile);
        EXPECT_EQ(h.errorText, kMessageNoPoints) << unit;
        EXPECT_EQ(elementText(hostile, "name"), "");
    }
    // Many opening tags sharing one far '>' after a long run of white space.
    std::string shared;
    for (int i = 0; i < 20000; ++i) shared += "<rtept lat='1' lon='2'";
    shared += std::string(1'000'000, ' ') + "></trkseg>";
    EXPECT_EQ(analyze(shared).errorText, kMessageNoPoints);
    EXPECT_EQ(analyze(shared.substr(0, shared.size() - 10) + "/>").pointCount, 1u);
}

}  // namespace

TEST(AnalysisMarkup, CommentsInstructionsDoctypeAndCdataAreNoMarkup) {
    const double km = 1000 * kDegreesPerMeter;
    const std::string commented = "<!-- " + point(37, 0) + "<type>running</type> -->";
    RouteInfo r = analyze(
        "<?xml version=\"1.0\"?><!DOCTYPE gpx [<!ENTITY p \"<trkpt lat='5' lon='5'/>\"> ]>\n<gpx>"
        "<?note <trkpt lat='6' lon='6'/> ?>" +
        commented +
        "<trk><name><![CDATA[Rund & <um>]]> den &amp; See</name><type><![CDATA[biking]]></type><trkseg>" +
        point(0, 0) + commented + point(1.1 * km, 0) + "</trkseg></trk></gpx>");
    EXPECT_EQ(r.pointCount, 2u);
    EXPECT_NEAR(r.distanceMeters, 1100, 1e-3);
    EXPECT_EQ(r.routeName, "Rund & <um> den & See");
    EXPECT_EQ(r.sportKey, "cycling");
    EXPECT_FALSE(r.sportFromSpeed);
    EXPECT_EQ(r.warningText, "");
    // An unclosed comment runs to the end: the segment, the track and the file end inside it.
    EXPECT_EQ(analyze(track(segment({point(0, 0), "<!-- " + point(km, 0)}))).errorText, kMessageEndsEarly);
}

TEST(AnalysisShapes, CutFilesKeepTheirFiguresAndSaySo) {
    const double km = 1000 * kDegreesPerMeter;
    const std::string whole = track(segment({point(0, 0), point(10 * km, 0)}) + segment({point(20 * km, 0)}));
    const std::string cut = whole.substr(0, whole.find("</trkseg>") + 9) + "<trkseg>" + point(20 * km, 0);
    RouteInfo r = analyze(cut);
    EXPECT_EQ(r.errorText, "");
    EXPECT_EQ(r.warningText, kMessageEndsEarly);
    EXPECT_EQ(r.pointCount, 2u);
    EXPECT_NEAR(r.distanceMeters, 10000, 1e-3);
    EXPECT_EQ(analyze(whole).warningText, "");
    EXPECT_EQ(analyze("<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"><time>2024").errorText,
              kMessageEndsEarly);
    // Without a gpx start tag a file is never cut; an empty gpx element has no end tag to miss.
    EXPECT_EQ(analyze("<trk><trkseg><trkpt lat=\"1\" lon=\"2\"/></trkseg>").warningText, "");
    EXPECT_EQ(analyze("<trkpt lat=\"1\" lon=\"2\"><time>2024").errorText, kMessageNoPoints);
    EXPECT_EQ(analyze("<?xml version=\"1.0\"?><gpx />").errorText, kMessageNoPoints);
}

TEST(AnalysisEncodings, Utf16AndSingleByteFilesGiveUtf8Texts) {
    const std::string named =
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?><gpx><trk><name>Z\xC3\xBCrich</name>" +
        segment({point(47.37, 8.54), point(47.38, 8.54)}) + "</trk></gpx>";
    const std::u16string wide = utf8ToWide(named);
    std::string little = "\xFF\xFE", big = "\xFE\xFF";
    for (char16_t unit : wide) {
        little += static_cast<char>(unit & 0xFF);
        little += static_cast<char>(unit >> 8);
        big += static_cast<char>(unit >> 8);
        big += static_cast<char>(unit & 0xFF);
    }
    for (const std::string& bytes : {little, big}) {
        RouteInfo r = analyze(bytes);
        EXPECT_EQ(r.pointCount, 2u);
        EXPECT_EQ(r.routeName, "Z\xC3\xBCrich");
    }
    const std::string latin1 =
        "<?xml version='1.0' encoding='iso-8859-1'?><gpx><trk><name>Z\xFCrich</name>"
        "<type>V\xE9lo</type>" +
        segment({point(47.37, 8.54)}) + "</trk></gpx>";
    RouteInfo r = analyze(latin1);
    EXPECT_EQ(r.routeName, "Z\xC3\xBCrich");
    EXPECT_EQ(r.sportLabel, "V\xC3\xA9lo");
    std::string windows = latin1;
    windows.replace(windows.find("iso-8859-1"), 10, "Windows-1252");
    windows.replace(windows.find("\xFC"), 1, "\x80");
    EXPECT_EQ(analyze(windows).routeName,
              "Z\xE2\x82\xAC"
              "rich");
}
