#include "core/GpxWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "core/PointFields.h"

namespace {

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                // Control characters other than tab and line breaks are not allowed in XML at all.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
        }
    }
}

// Nine decimals: about 0.1 mm, finer than the 1e-7 degree a recording's semicircles resolve.
void appendCoordinate(std::string& out, double degrees) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, degrees, std::chars_format::fixed, 9);
    out.append(buffer, result.ptr);
}

// To the millimetre or millidegree, which is finer than any recording, in its shortest form: 730.6,
// not the 730.5999999999999 a recording's scaled integer gives.
void appendRounded(std::string& out, double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::round(value * 1000) / 1000);
    out.append(buffer, result.ptr);
}

std::optional<int64_t> firstTime(const Activity& activity) {
    if (activity.startMillis) return activity.startMillis;
    for (const ActivitySegment& segment : activity.segments)
        for (const ActivityPoint& point : segment.points)
            if (point.timeMillis) return point.timeMillis;
    return std::nullopt;
}

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

void appendDigits(std::string& out, int value, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i, value /= 10) digits[i] = static_cast<char>('0' + value % 10);
    out.append(digits, static_cast<size_t>(width));
}

// "2024-05-01T06:00:22Z", with ".250" before the Z only when the instant has a fraction.
bool appendTime(std::string& out, int64_t millis) {
    CivilTime civil;
    const int64_t seconds = floorDiv(millis, 1000);
    if (!localCivilTime(seconds, 0, civil)) return false;
    appendDigits(out, civil.year, 4);
    out += '-';
    appendDigits(out, civil.month, 2);
    out += '-';
    appendDigits(out, civil.day, 2);
    out += 'T';
    appendDigits(out, civil.hour, 2);
    out += ':';
    appendDigits(out, civil.minute, 2);
    out += ':';
    appendDigits(out, civil.second, 2);
    if (const int fraction = static_cast<int>(millis - seconds * 1000); fraction != 0) {
        out += '.';
        appendDigits(out, fraction, 3);
    }
    out += 'Z';
    return true;
}

void appendInteger(std::string& out, int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendPoint(std::string& out, const ActivityPoint& point) {
    out += "      <trkpt lat=\"";
    appendCoordinate(out, point.lat);
    out += "\" lon=\"";
    appendCoordinate(out, point.lon);
    out += "\">";
    if (point.elevationMeters) {
        out += "<ele>";
        appendRounded(out, *point.elevationMeters);
        out += "</ele>";
    }
    if (point.timeMillis) {
        const size_t mark = out.size();
        out += "<time>";
        if (appendTime(out, *point.timeMillis))
            out += "</time>";
        else
            out.resize(mark);
    }
    const bool extension = point.temperatureC || point.heartRate || point.cadence;
    if (extension || point.powerWatts) {
        out += "<extensions>";
        if (point.powerWatts) {
            out += "<power>";
            appendInteger(out, *point.powerWatts);
            out += "</power>";
        }
        if (extension) {
            out += "<gpxtpx:TrackPointExtension>";
            if (point.temperatureC) {
                out += "<gpxtpx:atemp>";
                appendRounded(out, *point.temperatureC);
                out += "</gpxtpx:atemp>";
            }
            if (point.heartRate) {
                out += "<gpxtpx:hr>";
                appendInteger(out, *point.heartRate);
                out += "</gpxtpx:hr>";
            }
            if (point.cadence) {
                out += "<gpxtpx:cad>";
                appendInteger(out, *point.cadence);
                out += "</gpxtpx:cad>";
            }
            out += "</gpxtpx:TrackPointExtension>";
        }
        out += "</extensions>";
    }
    out += "</trkpt>\n";
}

}  // namespace

std::string gpxFromActivity(const Activity& activity, std::string_view fallbackName) {
    std::string out;
    size_t points = 0;
    for (const ActivitySegment& segment : activity.segments) points += segment.points.size();
    out.reserve(512 + points * 160);
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"Tirn GPX Library\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\" "
        "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd "
        "http://www.garmin.com/xmlschemas/TrackPointExtension/v1 "
        "http://www.garmin.com/xmlschemas/TrackPointExtensionv1.xsd\">\n";
    std::string time;
    if (const auto start = firstTime(activity); start && appendTime(time, *start))
        out += "  <metadata><time>" + time + "</time></metadata>\n";
    out += "  <trk>\n    <name>";
    appendEscaped(out, activity.name.empty() ? fallbackName : std::string_view(activity.name));
    out += "</name>\n";
    if (!activity.sportKey.empty()) {
        out += "    <type>";
        appendEscaped(out, activity.sportKey);
        out += "</type>\n";
    }
    for (const ActivitySegment& segment : activity.segments) {
        out += "    <trkseg>\n";
        for (const ActivityPoint& point : segment.points) appendPoint(out, point);
        out += "    </trkseg>\n";
    }
    out += "  </trk>\n</gpx>\n";
    return out;
}

std::string activityLocalDate(const Activity& activity) {
    const auto start = firstTime(activity);
    CivilTime civil;
    if (!start || !localCivilTime(floorDiv(*start, 1000), activity.utcOffsetMinutes.value_or(0), civil))
        return {};
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", civil.year, civil.month, civil.day);
    return buffer;
}

std::string activityFileStem(const Activity& activity, std::string_view sportName) {
    std::string stem = activityLocalDate(activity);
    const std::string_view name = activity.name.empty() ? sportName : std::string_view(activity.name);
    if (!stem.empty() && !name.empty()) stem += ' ';
    stem += name;
    return stem;
}
