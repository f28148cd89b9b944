#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliJson.h"
#include "cli/CoordinateText.h"

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
    EXPECT_EQ(jsonString("\xE2\x80" "a"), quoted({fffd, "a"}));
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

TEST(RouteJson, DefaultRecordHasEveryFieldInOrder) {
    RouteInfo route;
    const std::string json = routeJson(route);
    const char* names[] = {"filePath",       "fileStem",         "routeName",        "dateText",
                           "distanceMeters", "durationSeconds",  "ascentMeters",     "pointCount",
                           "hasTimestamps",  "isRoundTrip",      "hasStartPlace",    "hasFinishPlace",
                           "startLat",       "startLon",         "finishLat",        "finishLon",
                           "startPlace",     "finishPlace",      "sportKey",         "sportLabel",
                           "sportFromSpeed", "hasWeather",       "temperatureC",     "humidityPercent",
                           "windKmh",        "temperatureCount", "humidityCount",    "windCount",
                           "windDirection",  "weatherCondition", "outline",          "errorText",
                           "warningText",    "hasFirstTime",     "firstTimeSeconds", "firstTimeOffsetMinutes",
                           "firstTime"};
    std::size_t position = 0;
    for (const char* name : names) {
        const std::size_t found = json.find(quoted({name}) + ":", position);
        ASSERT_NE(found, std::string::npos) << name << " missing or out of order in " << json;
        position = found;
    }
    EXPECT_EQ(json.front(), '{');
    EXPECT_EQ(json.back(), '}');
    EXPECT_EQ(json.find('\n'), std::string::npos);
    EXPECT_NE(json.find("\"outline\":[]"), std::string::npos);
    EXPECT_NE(json.find("\"pointCount\":0,"), std::string::npos);
    EXPECT_NE(json.find("\"firstTime\":null}"), std::string::npos);
}

TEST(RouteJson, WritesValuesOfAFilledRecord) {
    RouteInfo route;
    route.filePath = "Touren/Runde.gpx";
    route.fileStem = "Runde";
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
    EXPECT_NE(json.find("\"filePath\":\"Touren/Runde.gpx\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"routeName\":\"Feierabend \\\"Runde\\\"\""), std::string::npos);
    EXPECT_NE(json.find("\"pointCount\":4000000000,"), std::string::npos);
    EXPECT_NE(json.find("\"hasTimestamps\":true,"), std::string::npos);
    EXPECT_NE(json.find("\"isRoundTrip\":false,"), std::string::npos);
    EXPECT_NE(json.find("\"temperatureCount\":-1,"), std::string::npos);
    EXPECT_NE(json.find("\"distanceMeters\":null,"), std::string::npos);
    EXPECT_NE(json.find("\"startLat\":-0,"), std::string::npos);
    EXPECT_NE(json.find("\"outline\":[[47.5,8.25],[47.75,null]]"), std::string::npos);
    EXPECT_NE(json.find("\"errorText\":\"Unvollst\xEF\xBF\xBDndig\","), std::string::npos);
    EXPECT_NE(json.find("\"firstTimeSeconds\":1483227000,\"firstTimeOffsetMinutes\":120,"
                        "\"firstTime\":\"2017-01-01T01:30:00+02:00\"}"),
              std::string::npos)
        << json;
    route.firstTimeSeconds = INT64_MAX;  // no instant of the years 1 to 9999: null, still valid JSON
    EXPECT_NE(routeJson(route).find("\"firstTime\":null}"), std::string::npos);
}

// The record is moved by hand, field by field: one forgotten field shows in its JSON line.
TEST(RouteJson, MovedRecordKeepsEveryField) {
    RouteInfo route;
    route.filePath = "a.gpx";
    route.fileStem = "a";
    route.routeName = "b";
    route.dateText = "c";
    route.startPlace = "d";
    route.finishPlace = "e";
    route.sportKey = "f";
    route.sportLabel = "g";
    route.windDirection = "h";
    route.weatherCondition = "i";
    route.errorText = "j";
    route.warningText = "k";
    double* figures[] = {&route.distanceMeters, &route.durationSeconds, &route.ascentMeters,
                         &route.startLat,       &route.startLon,        &route.finishLat,
                         &route.finishLon,      &route.temperatureC,    &route.humidityPercent,
                         &route.windKmh};
    double next = 1.5;
    for (double* figure : figures) *figure = next++;
    route.pointCount = 7;
    route.temperatureCount = 8;
    route.humidityCount = 9;
    route.windCount = 10;
    route.hasTimestamps = route.isRoundTrip = route.hasStartPlace = route.hasFinishPlace = true;
    route.sportFromSpeed = route.hasWeather = route.hasFirstTime = true;
    route.firstTimeSeconds = 11;
    route.firstTimeOffsetMinutes = 12;
    route.outline = {{1, 2}};
    const std::string json = routeJson(route);

    RouteInfo moved(std::move(route));
    EXPECT_EQ(routeJson(moved), json);
    RouteInfo assigned;
    assigned = std::move(moved);
    EXPECT_EQ(routeJson(assigned), json);
    EXPECT_TRUE(moved.fileStem.empty() && moved.errorText.empty() && moved.outline.empty());
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
            ASSERT_EQ(std::string(general, generalEnd), std::string(quick, end)) << std::hexfloat << signedValue;
        }
    }
    EXPECT_GT(written, static_cast<int>(values.size()));  // most of them, with both signs
}

}  // namespace
