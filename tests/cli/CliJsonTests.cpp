#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliJson.h"
#include "cli/CoordinateText.h"
#include "core/RouteInfo.h"
#include "core/TrackAnalysis.h"

namespace {

constexpr std::string_view fffd = "\xEF\xBF\xBD";

// The JSON literal of the pieces joined; built by appending, which keeps GCC's -O3 -Wrestrict quiet.
std::string quoted(std::initializer_list<std::string_view> pieces) {
    std::string text = "\"";
    for (std::string_view piece : pieces) text.append(piece);
    text += '"';
    return text;
}

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(jsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(jsonString("\n\r\t\b\f"), "\"\\n\\r\\t\\b\\f\"");
    EXPECT_EQ(jsonString(std::string("\x00\x01\x1f\x7f", 4)), "\"\\u0000\\u0001\\u001f\\u007f\"");
    EXPECT_EQ(jsonString(""), "\"\"");
    // A slash needs no escape; leaving it alone keeps paths readable.
    EXPECT_EQ(jsonString("C:/Touren/a.gpx"), "\"C:/Touren/a.gpx\"");
}

TEST(JsonString, KeepsValidUtf8Unchanged) {
    const std::string text = "Z\xC3\xBCrich \xE2\x80\x93 \xE4\xB8\xAD \xF0\x9F\x9A\xB4";  // Zürich – 中 🚴
    EXPECT_EQ(jsonString(text), quoted({text}));
    EXPECT_EQ(jsonString("\xC2\x80\xDF\xBF"), quoted({"\xC2\x80\xDF\xBF"}));  // two-byte edges
    // The smallest three-byte sequence after E0 and the first code point behind F4.
    EXPECT_EQ(jsonString("\xE0\xA0\x80\xF4\x80\x80\x80"), quoted({"\xE0\xA0\x80\xF4\x80\x80\x80"}));
}

TEST(JsonString, ReplacesEachInvalidSequenceWithOneReplacementCharacter) {
    // Latin-1 byte, lone continuation byte, bytes that never occur in UTF-8.
    EXPECT_EQ(jsonString("Z\xFCrich"), quoted({"Z", fffd, "rich"}));
    EXPECT_EQ(jsonString("\x80"), quoted({fffd}));
    EXPECT_EQ(jsonString("\xC0\xAF"), quoted({fffd, fffd}));  // overlong "/"
    EXPECT_EQ(jsonString("\xFF\xFE"), quoted({fffd, fffd}));
    // A truncated sequence is one replacement, and the byte after it is kept.
    EXPECT_EQ(jsonString("\xE2\x80"
                         "a"),
              quoted({fffd, "a"}));
    EXPECT_EQ(jsonString("ab\xF0\x9F\x9A"), quoted({"ab", fffd}));
    // UTF-16 surrogates and code points above U+10FFFF are not UTF-8.
    EXPECT_EQ(jsonString("\xED\xA0\x80"), quoted({fffd, fffd, fffd}));
    EXPECT_EQ(jsonString("\xF4\x90\x80\x80"), quoted({fffd, fffd, fffd, fffd}));
    // A quote right after a broken lead byte is still escaped, not swallowed.
    EXPECT_EQ(jsonString("\xC3\""), quoted({fffd, "\\\""}));
}

TEST(JsonNumber, ShortestTextThatReadsBackExactly) {
    EXPECT_EQ(jsonNumber(0.0), "0");
    EXPECT_EQ(jsonNumber(1.0), "1");
    EXPECT_EQ(jsonNumber(0.1), "0.1");
    EXPECT_EQ(jsonNumber(48.137), "48.137");
    EXPECT_EQ(jsonNumber(-11.5), "-11.5");
    for (double value : {0.1 + 0.2, 1.0 / 3.0, 6371000.123456789, 1e-300, 1.7976931348623157e308,
                         std::numeric_limits<double>::denorm_min()}) {
        const std::string text = jsonNumber(value);
        double back = 0;
        auto result = std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(result.ec, std::errc()) << text;
        EXPECT_EQ(back, value) << text;
    }
}

TEST(JsonNumber, NonFiniteValuesBecomeNull) {
    EXPECT_EQ(jsonNumber(std::numeric_limits<double>::quiet_NaN()), "null");
    EXPECT_EQ(jsonNumber(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(jsonNumber(-std::numeric_limits<double>::infinity()), "null");
}

// What a reader of one line needs: one object per line, texts as valid UTF-8, null where JSON has no
// number, and the first stamp both as figures and as a dateTime in its own zone.
TEST(RouteJson, WritesOneObjectALineAReaderCanTake) {
    RouteInfo route;
    // The record's fields, each under its own name, the first stamp as text, and the sensor and
    // motion figures, null without them.
    const std::string plain = routeJson(route);
    const std::regex key("\"(\\w+)\":");
    std::set<std::string> names;
    for (std::sregex_iterator it(plain.begin(), plain.end(), key), end; it != end; ++it)
        names.insert((*it)[1]);
    EXPECT_EQ(names.size(), 44u) << plain;
    EXPECT_NE(plain.find("\"outline\":[],"), std::string::npos);
    EXPECT_NE(plain.find("\"firstTime\":null,"), std::string::npos);
    EXPECT_NE(plain.find("\"heartRateAvg\":null,\"heartRateMax\":null,"), std::string::npos);
    EXPECT_NE(plain.find("\"maxSpeedKmh\":null}"), std::string::npos);
    route.hasHeartRate = true;
    route.heartRateAvg = 131.5;
    route.heartRateMax = 170;
    route.hasMovingTime = true;
    route.filePath = "Touren/Runde.gpx";
    route.routeName = "Feierabend \"Runde\"";
    route.pointCount = 4000000000u;
    route.hasTimestamps = true;
    route.temperatureCount = -1;
    route.distanceMeters = std::numeric_limits<double>::infinity();
    route.startLat = -0.0;
    route.outline = {{47.5, 8.25}, {47.75, std::numeric_limits<double>::quiet_NaN()}};
    route.errorText = "Unvollst\xE4ndig";  // a Latin-1 byte must not break the line's UTF-8
    route.hasFirstTime = true;
    route.firstTimeSeconds = 1483227000;  // 2016-12-31T23:30:00Z
    route.firstTimeOffsetMinutes = 120;
    const std::string json = routeJson(route);
    EXPECT_EQ(json.front(), '{');
    EXPECT_EQ(json.back(), '}');
    EXPECT_EQ(json.find('\n'), std::string::npos);
    for (const char* field :
         {"\"filePath\":\"Touren/Runde.gpx\"", "\"routeName\":\"Feierabend \\\"Runde\\\"\"",
          "\"pointCount\":4000000000,", "\"hasTimestamps\":true,", "\"isRoundTrip\":false,",
          "\"temperatureCount\":-1,", "\"distanceMeters\":null,", "\"startLat\":-0,",
          "\"outline\":[[47.5,8.25],[47.75,null]]", "\"errorText\":\"Unvollst\xEF\xBF\xBDndig\",",
          "\"firstTimeSeconds\":1483227000,\"firstTimeOffsetMinutes\":120,"
          "\"firstTime\":\"2017-01-01T01:30:00+02:00\",",
          "\"heartRateAvg\":131.5,\"heartRateMax\":170,\"cadenceAvg\":null,", "\"movingSeconds\":0,"}) {
        EXPECT_NE(json.find(field), std::string::npos) << field << " in " << json;
    }
    route.firstTimeSeconds = INT64_MAX;  // no instant of the years 1 to 9999: null, still valid JSON
    EXPECT_NE(routeJson(route).find("\"firstTime\":null,"), std::string::npos);
}

// Sorting moves the records about: each must keep all it holds, texts, figures and outline alike.
TEST(RouteJson, SortedRecordsKeepEverything) {
    // Cut files, one with weather, one a round trip whose sport comes from its speed, and a failed file.
    const std::string texts[] = {
        "<gpx><wetter temp='12' feuchte='80' wind='4' windrichtung='NW' lage='sonnig'/><trk><name>A</name>"
        "<type>run</type><trkseg><trkpt lat='1' lon='2'><ele>5</ele><time>2024-05-01T08:00:00+02:00</time>"
        "</trkpt><trkpt lat='1.01' lon='2'><ele>9</ele><time>2024-05-01T09:00:00+02:00</time></trkpt>"
        "</trkseg></trk>",
        "<gpx><trk><trkseg><trkpt lat='3' lon='4'><time>2024-06-01T08:00:00Z</time></trkpt><trkpt "
        "lat='3.01' lon='4'/><trkpt lat='3' lon='4'><time>2024-06-01T09:00:00Z</time></trkpt></trkseg></trk>",
        "<gpx/>"};
    std::vector<RouteInfo> routes;
    std::vector<std::string> before;  // of the records as the analysis made them, before any move
    for (const std::string& text : texts) {
        RouteInfo route = analyzeGpxText("r" + std::to_string(routes.size()) + ".gpx", text);
        before.push_back(routeJson(route));
        routes.push_back(std::move(route));
    }
    ASSERT_TRUE(routes[0].hasWeather && !routes[0].warningText.empty() && routes[1].isRoundTrip);
    ASSERT_TRUE(routes[1].sportFromSpeed && !routes[2].errorText.empty());
    sortLibraryOrder(routes);
    std::vector<std::string> after;
    for (const RouteInfo& route : routes) after.push_back(routeJson(route));
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}

}  // namespace

namespace {

constexpr uint64_t kTens[4] = {1, 10, 100, 1000};

// The quick outline figures against std::to_chars: every text it writes must be to_chars' own.
TEST(CoordinateText, WritesWhatToCharsWrites) {
    std::mt19937_64 random(20261209u);
    std::vector<double> values;
    // Any bits in the range it takes, and figures with one to seventeen digits as files write them.
    for (int i = 0; i < 200000; ++i) {
        const double scale = std::ldexp(1.0, static_cast<int>(random() % 14));
        values.push_back(scale * (1 + static_cast<double>(random() >> 11) / 9007199254740992.0));
    }
    for (int i = 0; i < 200000; ++i) {
        std::string text = std::to_string(1 + random() % 9999) + ".";
        const int decimals = static_cast<int>(random() % 14);
        for (int d = 0; d < decimals; ++d) text += static_cast<char>('0' + random() % 10);
        values.push_back(std::strtod(text.c_str(), nullptr));
    }
    for (int i = 1; i < 10000; ++i) values.push_back(i);
    // Exact ties: seventeen significant digits ending in 5 (an odd multiple of 2^-(17 - integer
    // digits)), where two sixteen-digit texts read back and to_chars takes the even one.
    for (int digits = 1; digits <= 4; ++digits) {
        for (int i = 0; i < 20000; ++i) {
            const double whole = static_cast<double>(kTens[digits - 1] + random() % (9 * kTens[digits - 1]));
            const auto odd = static_cast<double>(2 * (random() % (1u << (16 - digits))) + 1);
            values.push_back(whole + std::ldexp(odd, -(17 - digits)));
        }
    }
    // Carries into another digit: nines that round up to the next power of ten, or nearly.
    for (std::string nines = "9."; nines.size() < 22; nines += '9') {
        for (const char* lead : {"", "9", "99", "999"}) {
            values.push_back(std::strtod((lead + nines).c_str(), nullptr));
        }
    }
    for (double edge : {1.0, 10.0, 100.0, 1000.0, 10000.0, 2.0, 4096.0, 0.5, 9999.999999999998}) {
        values.push_back(std::nextafter(edge, 0.0));
        values.push_back(std::nextafter(edge, 1e9));
        values.push_back(edge + 0.5);
    }
    int written = 0;
    for (const double value : values) {
        for (const double signedValue : {value, -value}) {
            char quick[32], general[32];
            char* end = shortestCoordinateText(quick, signedValue);
            if (!end) continue;
            ++written;
            char* generalEnd = std::to_chars(general, general + sizeof general, signedValue).ptr;
            ASSERT_EQ(std::string(general, generalEnd), std::string(quick, end))
                << std::hexfloat << signedValue;
        }
    }
    EXPECT_GT(written, static_cast<int>(values.size()));  // most of them, with both signs
}

}  // namespace
