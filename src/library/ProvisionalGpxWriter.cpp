#include "library/ProvisionalGpxWriter.h"

#include <cstdio>

#include "core/PointFields.h"

namespace {

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string utcStamp(int64_t millis) {
    const int64_t seconds = millis >= 0 ? millis / 1000 : (millis - 999) / 1000;
    return stampInstantText(seconds, 0);
}

}  // namespace

std::string provisionalGpxText(const Activity& activity) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"Tirn GPX Library\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    if (activity.startMillis)
        out += " <metadata><time>" + utcStamp(*activity.startMillis) + "</time></metadata>\n";
    out += " <trk>\n";
    if (!activity.name.empty()) out += "  <name>" + escaped(activity.name) + "</name>\n";
    if (!activity.sportKey.empty()) out += "  <type>" + escaped(activity.sportKey) + "</type>\n";
    char number[64];
    for (const ActivitySegment& segment : activity.segments) {
        out += "  <trkseg>\n";
        for (const ActivityPoint& point : segment.points) {
            std::snprintf(number, sizeof number, "   <trkpt lat=\"%.7f\" lon=\"%.7f\">", point.lat,
                          point.lon);
            out += number;
            if (point.elevationMeters) {
                std::snprintf(number, sizeof number, "<ele>%.1f</ele>", *point.elevationMeters);
                out += number;
            }
            if (point.timeMillis) out += "<time>" + utcStamp(*point.timeMillis) + "</time>";
            out += "</trkpt>\n";
        }
        out += "  </trkseg>\n";
    }
    out += " </trk>\n</gpx>\n";
    return out;
}

std::string provisionalFileName(const Activity& activity) {
    std::string stem;
    CivilTime civil;
    if (activity.startMillis &&
        localCivilTime(*activity.startMillis / 1000, activity.utcOffsetMinutes.value_or(0), civil)) {
        char date[32];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", civil.year, civil.month, civil.day);
        stem = date;
        if (activity.name.empty()) {
            std::snprintf(date, sizeof date, " %02d.%02d", civil.hour, civil.minute);
            stem += date;
        }
    }
    std::string name;
    for (const char c : activity.name.substr(0, 100)) {
        const bool refused = static_cast<unsigned char>(c) < 0x20 ||
                             std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
        name += refused ? ' ' : c;
    }
    // A long name is cut at a character boundary; trailing dots and blanks Windows drops.
    if (activity.name.size() > name.size()) {
        while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80) name.pop_back();
        if (!name.empty() && static_cast<unsigned char>(name.back()) >= 0xC0) name.pop_back();
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (!name.empty()) stem += (stem.empty() ? "" : " ") + name;
    if (stem.empty()) stem = "Activity";
    return stem + ".gpx";
}
