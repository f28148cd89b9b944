#pragma once
// A track or route point's own figures (coordinates, elevation, time) from its attribute list and
// content, the way the analysis counts them.

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/ScanMarkup.h"

struct TrackPoint {
    double lat = 0;
    double lon = 0;
    double ele = 0;
    double time = 0;
    bool hasEle = false;
    bool hasTime = false;
    int32_t segment = 0;
};

// A latitude within ±90 and a longitude within ±180 (neither NaN): anything else is no place on
// Earth, and a point with it is no point.
inline bool usableCoordinates(double lat, double lon) {
    return std::fabs(lat) <= 90 && std::fabs(lon) <= 180;  // false for NaN too
}

// False when the point lacks a usable coordinate: it is then left out. `buffer` holds decoded
// text for the moment (it is reused from point to point).
bool readPointFields(std::string_view text, const PointMatch& match, TrackPoint& point, std::string& buffer);
// The same by the general searches alone, without the quick reading of the common form that
// readPointFields tries first; both must always agree.
bool readPointFieldsGeneral(std::string_view text, const PointMatch& match, TrackPoint& point,
                            std::string& buffer);

// A point's start tag and the first part of its content in the common form, read from where the
// point's name ends: ` lat="V" lon="W">`, white space, `<ele>E</ele>`, white space, and
// `<time>T</time>` with T just the stamp. Its fields, the start tag's '>' and the end of "</time>";
// false for anything else. Whatever content follows, readPointFields reads the same fields of the
// whole point, so the route pass can read them before it has found the point's end tag.
struct PointHead {
    TrackPoint fields;
    size_t greater = 0;
    size_t end = 0;
};
// The first sixteen bytes of the last stamp read (its date, hour and minute) and its seconds since
// 1970 to that minute: along a track these change seldom, so the next stamp mostly needs only its
// seconds read. Kept by the caller from point to point of one text.
struct StampCache {
    uint64_t bytes[2] = {};
    int64_t minuteStart = 0;
    bool known = false;
};
bool readPointHead(std::string_view text, size_t nameEnd, PointHead& head, StampCache& stamps);

// A time element's whole text as an XML Schema dateTime (surrounding white space aside):
// YYYY-MM-DDThh:mm:ss, an optional fraction (dropped), and "Z", "+hh:mm", "-hh:mm" (also without
// the colon) or no zone, which is read as UTC. Years 0001 to 9999; dates and times checked against
// the calendar; a leap second :60 counts as :59. False for anything else: a negative or longer
// year, text around the stamp, a field out of range.
struct StampInstant {
    int64_t seconds = 0;        // since 1970, UTC
    int32_t offsetMinutes = 0;  // the zone written with it; local time = seconds + offset * 60
};
bool readStampInstant(std::string_view text, StampInstant& instant);
// The instant's date and time of day in the zone `offsetMinutes` ahead of UTC. False where the
// offset lies beyond ±14 hours or the local time outside the years 0001 to 9999.
struct CivilTime {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
};
bool localCivilTime(int64_t seconds, int32_t offsetMinutes, CivilTime& civil);
// The instant as written in its own zone, without fraction: "2017-07-29T08:15:30+02:00", "Z" for
// an offset of 0. Empty when its local time lies outside the years 0001 to 9999.
std::string stampInstantText(int64_t seconds, int32_t offsetMinutes);
