#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "ui/Export.h"

namespace {

// RFC 4180 records as a spreadsheet reads them: quoted fields hold commas, doubled quotes, breaks.
std::vector<std::vector<std::string>> readCsv(std::string_view text) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"')
            records.back().back() += text[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            records.back().emplace_back();
        else if (!quoted && text.substr(i, 2) == "\r\n")
            records.resize(records.size() + (++i + 1 < text.size()), std::vector<std::string>(1));
        else
            records.back().back() += c;
    }
    return records;
}

// Just enough of a JSON reader for the export: objects, arrays, strings, numbers, null. It throws
// at anything malformed (a raw control character in a string, a missing comma, trailing text).
struct Json {
    std::string text;  // a string's value, or "null"
    double number = 0;
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;
    const Json& operator[](std::string_view key) const {
        for (const auto& [name, value] : members)
            if (name == key) return value;
        throw std::runtime_error("no member " + std::string(key));
    }
};

struct JsonReader {
    std::string_view s;
    std::size_t at = 0;
    char peek() {
        at = s.find_first_not_of(" \r\n\t", at);
        if (at == std::string_view::npos) throw std::runtime_error("cut short");
        return s[at];
    }
    void expect(char c) {
        if (peek() != c) throw std::runtime_error(std::string("expected ") + c + " at " + std::to_string(at));
        ++at;
    }
    std::string string() {
        expect('"');
        std::string out;
        for (char c; (c = s.at(at++)) != '"';) {
            if (static_cast<unsigned char>(c) < 0x20) throw std::runtime_error("raw control character");
            if (c == '\\' && s.at(at) == 'u') {
                out += static_cast<char>(std::stoi(std::string(s.substr(at + 1, 4)), nullptr, 16));
                at += 5;
            } else if (c == '\\') {
                const char e = s.at(at++);
                out += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
            } else {
                out += c;
            }
        }
        return out;
    }
    Json value() {
        Json v;
        const char open = peek();
        if (open == '{' || open == '[') {
            for (++at; peek() != (open == '{' ? '}' : ']');) {
                if (!v.items.empty() || !v.members.empty()) expect(',');
                if (open == '[') v.items.push_back(value());
                if (open == '{') {
                    std::string name = string();
                    expect(':');
                    v.members.emplace_back(std::move(name), value());
                }
            }
            ++at;
        } else if (open == '"') {
            v.text = string();
        } else if (s.substr(at, 4) == "null") {
            v.text = "null", at += 4;
        } else {
            const std::string rest(s.substr(at, 32));
            char* end = nullptr;
            v.number = std::strtod(rest.c_str(), &end);
            if (end == rest.c_str()) throw std::runtime_error("no value at " + std::to_string(at));
            at += static_cast<std::size_t>(end - rest.c_str());
        }
        return v;
    }
};

Json readJson(std::string_view text) {
    JsonReader reader{text};
    Json document = reader.value();
    if (text.find_first_not_of(" \r\n\t", reader.at) != std::string_view::npos)
        throw std::runtime_error("trailing");
    return document;
}

std::vector<RouteInfo> exportSamples() {
    std::vector<RouteInfo> routes;
    routes.push_back(sampleRoute("Berg, \"Tal\"\nRunde"));
    routes.back().filePath = "/lib/Berg, \"Tal\"\nRunde.gpx";
    routes.back().routeName = "Berg \"Tal\"\tRunde";
    routes.back().durationSeconds = 3725.5;
    routes.back().startLat = 48.137, routes.back().startLon = 11.575;
    routes.back().finishLat = 48.14, routes.back().finishLon = 11.58;
    routes.back().hasFirstTime = true;
    routes.back().firstTimeSeconds = 1751700000;  // 2025-07-05 07:20 UTC
    routes.back().firstTimeOffsetMinutes = 120;
    routes.push_back(sampleRoute("single"));
    routes.back().outline = {{-33.868, 151.209}};
    routes.push_back(RouteInfo{});  // a failed record: no points, no figures
    routes.back().fileStem = "broken";
    routes.back().errorText = "Die Datei kann nicht gelesen werden.";
    return routes;
}

TEST(Export, CsvReadsBackWithItsQuotedNamesAndPlainNumbers) {
    const std::vector<RouteInfo> routes = exportSamples();
    const std::string csv = routesCsv({&routes[0], &routes[1], &routes[2]}, resolveLanguage("de"));
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const auto records = readCsv(csv.substr(3));
    ASSERT_EQ(records.size(), 4u);
    for (const auto& record : records) EXPECT_EQ(record.size(), kRouteColumnCount + 7);
    EXPECT_EQ(records[0][0], "Name");  // the list's headers in the interface language
    EXPECT_EQ(records[0].back(), "distance_m");
    EXPECT_EQ(records[1][0], "Berg, \"Tal\"\nRunde");
    EXPECT_EQ(records[1][3], "10,0 km");  // the list's own text, comma and all
    EXPECT_EQ(records[1][kRouteColumnCount], "Berg, \"Tal\"\nRunde.gpx");
    EXPECT_EQ(std::vector<std::string>(records[1].end() - 6, records[1].end()),
              (std::vector<std::string>{"48.137", "11.575", "48.14", "11.58", "3725.5", "10000"}));
    EXPECT_EQ(records[2].end()[-2], "");  // no elapsed time
    EXPECT_EQ(std::vector<std::string>(records[3].end() - 6, records[3].end()), std::vector<std::string>(6));
}

TEST(Export, GeoJsonHasLongitudeFirstAPointForOnePointAndLeavesOutRoutesWithoutPoints) {
    const std::vector<RouteInfo> routes = exportSamples();
    const GeoJsonExport exported = routesGeoJson({&routes[0], &routes[1], &routes[2]});
    EXPECT_EQ(exported.written, 2u);
    EXPECT_EQ(exported.leftOut, 1u);
    const Json document = readJson(exported.text);
    EXPECT_EQ(document["type"].text, "FeatureCollection");
    const auto& features = document["features"].items;
    ASSERT_EQ(features.size(), 2u);
    const Json& line = features[0]["geometry"];
    EXPECT_EQ(line["type"].text, "LineString");
    ASSERT_EQ(line["coordinates"].items.size(), 2u);
    EXPECT_EQ(line["coordinates"].items[1].items[0].number, 11.580);
    EXPECT_EQ(line["coordinates"].items[1].items[1].number, 48.140);
    const Json& properties = features[0]["properties"];
    EXPECT_EQ(properties["name"].text, "Berg \"Tal\"\tRunde");
    EXPECT_EQ(properties["file"].text, "Berg, \"Tal\"\nRunde.gpx");
    EXPECT_EQ(properties["date"].text, "2025-07-05T09:20:00+02:00");
    EXPECT_EQ(properties["sport"].text, "cycling");
    EXPECT_EQ(properties["distance_m"].number, 10000);
    EXPECT_EQ(properties["duration_s"].number, 3725.5);
    const Json& point = features[1]["geometry"];
    EXPECT_EQ(point["type"].text, "Point");
    EXPECT_EQ(point["coordinates"].items[0].number, 151.209);
    EXPECT_EQ(point["coordinates"].items[1].number, -33.868);
    EXPECT_EQ(features[1]["properties"]["date"].text, "null");
    // Nothing to show is still a collection a map program opens.
    EXPECT_TRUE(readJson(routesGeoJson({&routes[2]}).text)["features"].items.empty());
}

}  // namespace
