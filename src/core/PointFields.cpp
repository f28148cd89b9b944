#include "core/PointFields.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/MarkupText.h"

namespace {

// Seconds since 1970-01-01 UTC to the stamp's minute (days-from-civil of the proleptic Gregorian
// calendar). The fields are not range-checked; with at most four year digits everything fits
// easily in 64 bits.
int64_t minuteSeconds(const TimestampMatch& match) {
    int64_t year = match.year;
    int64_t month = match.month;
    int64_t day = match.day;
    int64_t y = month <= 2 ? year - 1 : year;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = month > 2 ? (153 * (month - 3) + 2) / 5 + day - 1 : (153 * (month + 9) + 2) / 5 + day - 1;
    int64_t days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
    return days * 86400 + int64_t{match.hour} * 3600 + int64_t{match.minute} * 60;
}

// The zone written with the stamp, as minutes ahead of UTC: 0 for "Z" and for none.
int64_t zoneOffsetMinutes(std::string_view text, const TimestampMatch& match) {
    if (match.zoneLength <= 1) return 0;
    std::string_view zone = text.substr(match.zoneStart, match.zoneLength);
    int64_t hours = (zone[1] - '0') * 10 + (zone[2] - '0');
    int64_t minutes = (zone[zone.size() - 2] - '0') * 10 + (zone[zone.size() - 1] - '0');
    return zone[0] == '-' ? -(hours * 60 + minutes) : hours * 60 + minutes;
}

// The seconds within the minute, and the zone's offset taken back off.
double timestampSeconds(std::string_view text, const TimestampMatch& match, int64_t minuteStart) {
    int64_t seconds = minuteStart + match.second;
    if (match.zoneLength > 1) seconds -= zoneOffsetMinutes(text, match) * 60;  // "Z" mostly: no work
    return static_cast<double>(seconds);
}

double timestampSeconds(std::string_view text, const TimestampMatch& match) {
    return timestampSeconds(text, match, minuteSeconds(match));
}

void readTime(std::string_view time, TrackPoint& point) {
    TimestampMatch stamp;
    if (!time.empty() && findTimestamp(time, stamp)) {
        point.time = timestampSeconds(time, stamp);
        point.hasTime = true;
    }
}

// The literal `bytes` exactly at `at`: a comparison of known length, which the compiler turns into
// a load or two.
template <size_t N>
bool bytesAt(std::string_view text, size_t at, const char (&bytes)[N]) {
    constexpr size_t length = N - 1;
    return at <= text.size() && text.size() - at >= length &&
           std::memcmp(text.data() + at, bytes, length) == 0;
}

// ` lat="V" lon="W"` at `at`, V and W plain figures: the position of W's closing quote, or
// kNoPosition. Positions are in the whole text: a figure's digits are read eight bytes at a time,
// also where the attribute list would leave fewer, and cannot run past the quote behind them.
size_t readPlainCoordinates(std::string_view text, size_t at, TrackPoint& point) {
    if (!bytesAt(text, at, " lat=\"")) return kNoPosition;
    const size_t latEnd = plainNumberEnd(text, at + 6, point.lat);
    if (latEnd == kNoPosition || !bytesAt(text, latEnd, "\" lon=\"")) return kNoPosition;
    const size_t lonEnd = plainNumberEnd(text, latEnd + 7, point.lon);
    if (lonEnd == kNoPosition || !bytesAt(text, lonEnd, "\"")) return kNoPosition;
    return lonEnd;
}

// White space, `<ele>E</ele>` with E a plain figure, white space and `<time>` from `at`: the
// position behind `<time>`, or kNoPosition.
size_t readPlainElevation(std::string_view text, size_t at, TrackPoint& point) {
    at = skipSpaceBytes(text, at);
    if (!bytesAt(text, at, "<ele>")) return kNoPosition;
    const size_t eleEnd = plainNumberEnd(text, at + 5, point.ele);
    if (eleEnd == kNoPosition || !bytesAt(text, eleEnd, "</ele>")) return kNoPosition;
    point.hasEle = true;
    at = skipSpaceBytes(text, eleEnd + 6);
    return bytesAt(text, at, "<time>") ? at + 6 : kNoPosition;
}

// A time element's text that is just the stamp, "</time>" right behind it and within `text`: the
// stamp is then all of the element's text (it holds neither '<' nor '&'). The end of "</time>", or
// kNoPosition.
size_t readPlainStamp(std::string_view text, size_t timeStart, TrackPoint& point, StampCache* cache) {
    if (timeStart > text.size()) return kNoPosition;
    const std::string_view rest = text.substr(timeStart);
    TimestampMatch stamp;
    int64_t minuteStart = 0;
    if (cache && cache->known && rest.size() >= 19 && loadWord(rest.data()) == cache->bytes[0] &&
        loadWord(rest.data() + 8) == cache->bytes[1]) {
        // The date, hour and minute of the stamp before: only the rest is new.
        if (!timestampTailAt(rest, stamp)) return kNoPosition;
        minuteStart = cache->minuteStart;
    } else {
        if (!timestampAtStart(rest, stamp)) return kNoPosition;
        minuteStart = minuteSeconds(stamp);
        if (cache) *cache = StampCache{{loadWord(rest.data()), loadWord(rest.data() + 8)}, minuteStart, true};
    }
    if (!bytesAt(rest, stamp.end, "</time>")) return kNoPosition;
    point.time = timestampSeconds(rest, stamp, minuteStart);
    point.hasTime = true;
    return timeStart + stamp.end + 7;
}

// The form nearly every recording writes, read in one walk:
//   <trkpt lat="V" lon="W"> <ele>E</ele> <time>T</time> ...
// with V, W and E plain figures and only white space between the tags. Whatever the walk meets
// that this form does not allow sends the point to the general searches, so the result is always
// theirs: the attribute search finds these two values first (nothing before them can start a
// name, and a figure holds no quote), the figures need no entity decoding, and the first four '<'
// of the content are the four tags the element searches would find.
bool readPlainPoint(std::string_view text, const PointMatch& match, TrackPoint& point) {
    const size_t lonEnd = readPlainCoordinates(text, match.attributesStart, point);
    if (lonEnd == kNoPosition || lonEnd >= match.attributesEnd || !usableCoordinates(point.lat, point.lon))
        return false;
    if (!match.hasContent) return true;
    const size_t timeStart = readPlainElevation(text, match.contentStart, point);
    if (timeStart == kNoPosition) return false;
    const std::string_view content = text.substr(0, match.contentEnd);
    if (readPlainStamp(content, timeStart, point, nullptr) != kNoPosition) return true;
    const size_t timeEnd = findEitherByte(content, timeStart, '<', '&');
    if (timeEnd == kNoPosition || !bytesAt(content, timeEnd, "</time>")) return false;
    readTime(text.substr(timeStart, timeEnd - timeStart), point);
    return true;
}

}  // namespace

bool readPointFields(std::string_view text, const PointMatch& match, TrackPoint& point, std::string& buffer) {
    // Field by field rather than through a copy of the whole point: a copy read back right after
    // these stores would wait for them.
    const double ele = point.ele, time = point.time;
    const bool hasEle = point.hasEle, hasTime = point.hasTime;
    if (readPlainPoint(text, match, point)) return true;
    point.ele = ele;
    point.time = time;
    point.hasEle = hasEle;
    point.hasTime = hasTime;
    return readPointFieldsGeneral(text, match, point, buffer);
}

bool readPointFieldsGeneral(std::string_view text, const PointMatch& match, TrackPoint& point,
                            std::string& buffer) {
    std::string_view attributes =
        text.substr(match.attributesStart, match.attributesEnd - match.attributesStart);
    // A coordinate must be a place on Earth: inf, nan or 1e308 would poison every sum and text.
    bool found[2];
    AttributeMatch coordinates[2];
    findCoordinateAttributes(attributes, found, coordinates);
    if (!found[0] || !attributeValueNumber(attributes, coordinates[0], point.lat)) return false;
    if (!found[1] || !attributeValueNumber(attributes, coordinates[1], point.lon)) return false;
    if (!usableCoordinates(point.lat, point.lon)) return false;
    if (!match.hasContent) return true;
    std::string_view content = text.substr(match.contentStart, match.contentEnd - match.contentStart);
    const FirstElements elements = findFirstElements(content, "ele", "time");
    std::string_view ele =
        elements.found[0] ? elementContentView(content, elements.match[0], buffer) : std::string_view();
    if (!ele.empty()) {
        double value = 0;
        if (parseNumberPrefix(ele, value) && std::isfinite(value)) {
            point.ele = value;
            point.hasEle = true;
        }
    }
    std::string_view time =
        elements.found[1] ? elementContentView(content, elements.match[1], buffer) : std::string_view();
    readTime(time, point);
    return true;
}

bool readPointHead(std::string_view text, size_t nameEnd, PointHead& head, StampCache& stamps) {
    // The start tag's '>' right behind W's quote: no '>' comes before it, and no '/' makes it the
    // empty-element form.
    const size_t lonEnd = readPlainCoordinates(text, nameEnd, head.fields);
    if (lonEnd == kNoPosition || !bytesAt(text, lonEnd + 1, ">") ||
        !usableCoordinates(head.fields.lat, head.fields.lon)) {
        return false;
    }
    const size_t timeStart = readPlainElevation(text, lonEnd + 2, head.fields);
    if (timeStart == kNoPosition) return false;
    const size_t end = readPlainStamp(text, timeStart, head.fields, &stamps);
    if (end == kNoPosition) return false;
    head.greater = lonEnd + 1;
    head.end = end;
    return true;
}

namespace {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The instants of 0001-01-01T00:00:00 and of the second after 9999-12-31T23:59:59.
constexpr int64_t kFirstInstant = -62135596800;
constexpr int64_t kInstantsEnd = 253402300800;

}  // namespace

bool readStampInstant(std::string_view text, StampInstant& instant) {
    // A dateTime's white space is collapsed: blanks and line ends around it do not count.
    size_t begin = 0, end = text.size();
    while (begin < end && isXmlSpace(text[begin])) ++begin;
    while (end > begin && isXmlSpace(text[end - 1])) --end;
    text = text.substr(begin, end - begin);
    // The point stamps' reading: four-digit year, fraction and zone (with or without its colon);
    // anything before or behind that (a sign, a fifth year digit, a lower-case z) is no dateTime.
    TimestampMatch stamp;
    if (!timestampAtStart(text, stamp) || stamp.end != text.size()) return false;
    const int64_t offset = zoneOffsetMinutes(text, stamp);
    const bool zoneMinutesOk = stamp.zoneLength <= 1 || text[stamp.end - 2] <= '5';  // its last two digits
    // 24:00:00 is refused: it would name the next day, which the date read from the same text does
    // not. A leap second stays in its minute, as :59, for the same reason.
    if (stamp.year < 1 || stamp.month < 1 || stamp.month > 12 || stamp.day < 1 ||
        stamp.day > daysInMonth(stamp.year, stamp.month) || stamp.hour > 23 || stamp.minute > 59 ||
        stamp.second > 60 || !zoneMinutesOk || offset > 14 * 60 || offset < -14 * 60) {
        return false;
    }
    instant.seconds = minuteSeconds(stamp) + std::min(stamp.second, 59) - offset * 60;
    instant.offsetMinutes = static_cast<int32_t>(offset);
    return true;
}

bool localCivilTime(int64_t seconds, int32_t offsetMinutes, CivilTime& civil) {
    // Checked before any arithmetic: the figures may come from an index written by another build.
    if (offsetMinutes < -14 * 60 || offsetMinutes > 14 * 60 || seconds < kFirstInstant - 86400 ||
        seconds >= kInstantsEnd + 86400) {
        return false;
    }
    const int64_t local = seconds + int64_t{offsetMinutes} * 60;
    if (local < kFirstInstant || local >= kInstantsEnd) return false;
    // Civil from days (proleptic Gregorian), the inverse of minuteSeconds' rule; `local` is above
    // the start of year 1, so the divisions need no rounding toward minus infinity but the day's.
    const int64_t days = (local - kFirstInstant) / 86400 + kFirstInstant / 86400;
    const int64_t daySeconds = local - days * 86400;
    const int64_t z = days + 719468;
    const int64_t era = z / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    civil.day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
    civil.month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
    civil.year = static_cast<int32_t>(yoe + era * 400 + (civil.month <= 2 ? 1 : 0));
    civil.hour = static_cast<int32_t>(daySeconds / 3600);
    civil.minute = static_cast<int32_t>(daySeconds / 60 % 60);
    civil.second = static_cast<int32_t>(daySeconds % 60);
    return true;
}

std::string stampInstantText(int64_t seconds, int32_t offsetMinutes) {
    CivilTime civil;
    if (!localCivilTime(seconds, offsetMinutes, civil)) return {};
    char buffer[32];
    int length = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", civil.year,
                               civil.month, civil.day, civil.hour, civil.minute, civil.second);
    std::string text(buffer, static_cast<size_t>(length));
    if (offsetMinutes == 0) return text + "Z";
    const int32_t magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    std::snprintf(buffer, sizeof buffer, "%c%02d:%02d", offsetMinutes < 0 ? '-' : '+',
                  static_cast<int>(magnitude / 60), static_cast<int>(magnitude % 60));
    return text + buffer;
}
