#include "cli/CliJson.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "cli/CoordinateText.h"
#include "core/PointFields.h"
#include "platform/Platform.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// What a lead byte promises: the sequence length (0 when it cannot start one) and the range of
// the byte after it, which rules out overlong forms, surrogates and code points above U+10FFFF.
struct LeadByte {
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
};

LeadByte leadByte(unsigned char lead) {
    if (lead < 0x80) return {1, 0x80, 0xBF};
    if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
    if (lead == 0xE0) return {3, 0xA0, 0xBF};
    if (lead == 0xED) return {3, 0x80, 0x9F};
    if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
    if (lead == 0xF0) return {4, 0x90, 0xBF};
    if (lead == 0xF4) return {4, 0x80, 0x8F};
    if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
    return {};
}

// How many bytes from `pos` form a valid sequence (`valid` true), or else how many bytes one
// U+FFFD replaces: the lead byte and the continuation bytes that could still have belonged to it
// (the "maximal subpart" rule), at least one.
std::size_t sequenceLength(std::string_view text, std::size_t pos, bool& valid) {
    const LeadByte lead = leadByte(static_cast<unsigned char>(text[pos]));
    std::size_t end = pos + 1;
    for (std::size_t i = 1; i < lead.length; ++i, ++end) {
        if (end >= text.size()) break;
        const unsigned char next = static_cast<unsigned char>(text[end]);
        if (next < (i == 1 ? lead.low : 0x80) || next > (i == 1 ? lead.high : 0xBF)) break;
    }
    valid = lead.length != 0 && end - pos == lead.length;
    return end - pos;
}

// A number's text at `at` (room for 24 characters), its end returned: the shortest text that reads
// back as the same double, outline figures by the quicker way; null for NaN and the infinities,
// which JSON has no number for (a reader must get a document it can parse).
char* writeNumber(char* at, double value) {
    if (!std::isfinite(value)) {
        constexpr std::string_view kNull = "null";
        return std::copy(kNull.begin(), kNull.end(), at);
    }
    if (char* end = shortestCoordinateText(at, value)) return end;
    return std::to_chars(at, at + 24, value).ptr;
}

// The outline makes most of a line: its numbers go straight into the line, without a text of their
// own.
void appendNumber(std::string& out, double value) {
    char buffer[24];
    out.append(buffer, writeNumber(buffer, value));
}

template <typename Integer>
void appendInteger(std::string& out, Integer value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// Every key but the object's first follows a value, and no value ends with '{'.
void appendKey(std::string& out, std::string_view key) {
    if (out.back() != '{') out += ',';
    out += '"';
    out += key;
    out += "\":";
}

}  // namespace

std::string jsonString(std::string_view bytes) {
    std::string out;
    appendJsonString(out, bytes);
    return out;
}

void appendJsonString(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        bool valid = false;
        const std::size_t length = sequenceLength(bytes, pos, valid);
        if (!valid) {
            out += kReplacement;
            pos += length;
            continue;
        }
        if (length > 1) {
            out.append(bytes.substr(pos, length));
            pos += length;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(bytes[pos++]);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out += "\\u00";
                    out += kHex[c >> 4];
                    out += kHex[c & 0xF];
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
}

std::string jsonNumber(double value) {
    char buffer[24];
    return std::string(buffer, writeNumber(buffer, value));
}

std::string routeJson(const RouteInfo& route) {
    std::string out;
    out.reserve(1024 + 48 * route.outline.size());
    appendRouteJson(out, route);
    return out;
}

void appendRouteJson(std::string& out, const RouteInfo& route) {
    out += '{';
    auto text = [&](std::string_view key, std::string_view value) {
        appendKey(out, key);
        appendJsonString(out, value);
    };
    auto number = [&](std::string_view key, double value) {
        appendKey(out, key);
        appendNumber(out, value);
    };
    auto flag = [&](std::string_view key, bool value) {
        appendKey(out, key);
        out += value ? "true" : "false";
    };
    auto integer = [&](std::string_view key, auto value) {
        appendKey(out, key);
        appendInteger(out, value);
    };
    text("filePath", pathToUtf8(route.filePath));
    text("fileStem", route.fileStem);
    text("routeName", route.routeName);
    text("dateText", route.dateText);
    number("distanceMeters", route.distanceMeters);
    number("durationSeconds", route.durationSeconds);
    number("ascentMeters", route.ascentMeters);
    integer("pointCount", route.pointCount);
    flag("hasTimestamps", route.hasTimestamps);
    flag("isRoundTrip", route.isRoundTrip);
    flag("hasStartPlace", route.hasStartPlace);
    flag("hasFinishPlace", route.hasFinishPlace);
    number("startLat", route.startLat);
    number("startLon", route.startLon);
    number("finishLat", route.finishLat);
    number("finishLon", route.finishLon);
    text("startPlace", route.startPlace);
    text("finishPlace", route.finishPlace);
    text("sportKey", route.sportKey);
    text("sportLabel", route.sportLabel);
    flag("sportFromSpeed", route.sportFromSpeed);
    flag("hasWeather", route.hasWeather);
    number("temperatureC", route.temperatureC);
    number("humidityPercent", route.humidityPercent);
    number("windKmh", route.windKmh);
    integer("temperatureCount", route.temperatureCount);
    integer("humidityCount", route.humidityCount);
    integer("windCount", route.windCount);
    text("windDirection", route.windDirection);
    text("weatherCondition", route.weatherCondition);
    appendKey(out, "outline");
    out += '[';
    bool first = true;
    for (const auto& [lat, lon] : route.outline) {
        // A pair is most of a line: made on the stack and appended once.
        char pair[64];
        char* at = pair;
        if (!first) *at++ = ',';
        *at++ = '[';
        at = writeNumber(at, lat);
        *at++ = ',';
        at = writeNumber(at, lon);
        *at++ = ']';
        out.append(pair, at);
        first = false;
    }
    out += ']';
    text("errorText", route.errorText);
    text("warningText", route.warningText);
    flag("hasFirstTime", route.hasFirstTime);
    integer("firstTimeSeconds", route.firstTimeSeconds);
    integer("firstTimeOffsetMinutes", route.firstTimeOffsetMinutes);
    // The instant as the file wrote it, for a reader that wants no arithmetic.
    const std::string firstTime =
        route.hasFirstTime ? stampInstantText(route.firstTimeSeconds, route.firstTimeOffsetMinutes) : "";
    appendKey(out, "firstTime");
    if (firstTime.empty()) {
        out += "null";
    } else {
        appendJsonString(out, firstTime);
    }
    // The points' sensor figures and the figures from their times: null where the file has none.
    auto optional = [&](std::string_view key, bool has, double value) {
        appendKey(out, key);
        if (has) {
            appendNumber(out, value);
        } else {
            out += "null";
        }
    };
    optional("heartRateAvg", route.hasHeartRate, route.heartRateAvg);
    optional("heartRateMax", route.hasHeartRate, route.heartRateMax);
    optional("cadenceAvg", route.hasCadence, route.cadenceAvg);
    optional("powerAvg", route.hasPower, route.powerAvg);
    optional("airTemperatureAvg", route.hasAirTemperature, route.airTemperatureAvg);
    optional("movingSeconds", route.hasMovingTime, route.movingSeconds);
    optional("maxSpeedKmh", route.hasMaxSpeed, route.maxSpeedKmh);
    out += '}';
}
