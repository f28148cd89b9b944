#include "ui/Format.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/PointFields.h"
#include "platform/Platform.h"

namespace {

constexpr char16_t kEnDash[] = u"\u2013";
constexpr double kMetersPerMile = 1609.344;
constexpr double kMetersPerFoot = 0.3048;

bool imperial(const ActiveLanguage& language) {
    return language.units == Units::imperial;
}

// One decimal written by to_chars, so that the rounding follows the exact binary value (ties to
// even) and never depends on the process locale; the language's decimal sign in place of the point.
std::u16string oneDecimal(double value, char16_t decimal) {
    if (value >= 9223372036854775808.0) {
        return decimalText(std::numeric_limits<int64_t>::max()) + decimal + u'0';
    }
    char buffer[32];  // below 2^63 the fixed form has at most 19 digits, a point and one decimal
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    if (result.ec != std::errc{}) return std::u16string(u"0") + decimal + u'0';  // cannot happen below 2^63
    std::u16string text;
    for (const char* c = buffer; c != result.ptr; ++c)
        text.push_back(*c == '.' ? decimal : static_cast<char16_t>(*c));
    return text;
}

std::u16string padded(int32_t value, bool twoDigits) {
    std::u16string text = decimalText(value);
    return twoDigits && value < 10 ? u"0" + text : text;
}

std::u16string datePart(const CivilTime& civil, std::u16string_view pattern) {
    std::u16string text;
    for (std::size_t at = 0; at < pattern.size();) {
        const char16_t letter = pattern[at];
        std::size_t run = 1;
        while (at + run < pattern.size() && pattern[at + run] == letter) ++run;
        if (letter == u'y') {
            text += padded(civil.year, false);  // the table's years have four digits
        } else if (letter == u'M') {
            text += padded(civil.month, run > 1);
        } else if (letter == u'd') {
            text += padded(civil.day, run > 1);
        } else {
            text.append(run, letter);
        }
        at += run;
    }
    return text;
}

// The first time stamp's local date and time; false without a usable stamp.
bool firstStampTime(const RouteInfo& route, CivilTime& civil) {
    return route.hasFirstTime && localCivilTime(route.firstTimeSeconds, route.firstTimeOffsetMinutes, civil);
}

}  // namespace

std::u16string decimalText(int64_t value) {
    // Work on the unsigned magnitude so that the smallest int64 has a text too.
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char16_t digits[24];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::u16string text;
    text.reserve(count + 1);
    if (value < 0) text.push_back(u'-');
    while (count > 0) text.push_back(digits[--count]);
    return text;
}

int64_t roundedFigure(double value) {
    if (std::isnan(value)) return 0;
    // 2^63 is exactly representable; everything at or beyond it saturates.
    constexpr double kLimit = 9223372036854775808.0;
    if (value >= kLimit) return std::numeric_limits<int64_t>::max();
    if (value < -kLimit) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(std::round(value));
}

std::u16string formatDistance(double meters, const ActiveLanguage& language) {
    if (std::isnan(meters)) meters = 0;
    const char16_t decimal = language.forms.decimal;
    if (imperial(language)) {
        // Feet below a tenth of a mile, where "0.0 mi" would say nothing.
        if (meters < kMetersPerMile / 10) return decimalText(roundedFigure(meters / kMetersPerFoot)) + u" ft";
        return oneDecimal(meters / kMetersPerMile, decimal) + u" mi";
    }
    if (meters < 1000) return decimalText(roundedFigure(meters)) + u" m";
    return oneDecimal(meters / 1000, decimal) + u" km";
}

std::u16string formatDuration(double seconds) {
    if (std::isnan(seconds) || seconds <= 0) return kEnDash;
    int64_t total = roundedFigure(seconds);
    int64_t hours = total / 3600;
    int64_t minutes = total % 3600 / 60;
    int64_t rest = total % 60;
    auto twoDigits = [](int64_t value) {
        std::u16string text = decimalText(value);
        return value < 10 ? u"0" + text : text;
    };
    if (hours != 0) return decimalText(hours) + u":" + twoDigits(minutes) + u":" + twoDigits(rest);
    return decimalText(minutes) + u":" + twoDigits(rest);
}

std::u16string formatAscent(double meters, const ActiveLanguage& language) {
    if (std::isnan(meters) || !(meters > 0)) return kEnDash;
    if (imperial(language)) return decimalText(roundedFigure(meters / kMetersPerFoot)) + u" ft";
    return decimalText(roundedFigure(meters)) + u" m";
}

std::u16string formatSpeed(double meters, double seconds, const ActiveLanguage& language) {
    if (!(seconds > 0) || !std::isfinite(meters) || !std::isfinite(seconds)) return kEnDash;
    const double perHour =
        imperial(language) ? meters / kMetersPerMile * 3600 / seconds : meters / seconds * 3.6;
    if (!(perHour >= 0) || perHour >= 1e15) return kEnDash;
    return oneDecimal(perHour, language.forms.decimal) + (imperial(language) ? u" mph" : u" km/h");
}

std::u16string formatElevation(double meters, const ActiveLanguage& language) {
    if (!std::isfinite(meters)) return kEnDash;
    if (imperial(language)) return decimalText(roundedFigure(meters / kMetersPerFoot)) + u" ft";
    return decimalText(roundedFigure(meters)) + u" m";
}

std::u16string formatTemperature(double celsius, const ActiveLanguage& language) {
    if (imperial(language)) return decimalText(roundedFigure(celsius * 9 / 5 + 32)) + u" \u00B0F";
    return decimalText(roundedFigure(celsius)) + u" \u00B0C";
}

std::u16string formatWindSpeed(double kmh, const ActiveLanguage& language) {
    if (imperial(language)) return decimalText(roundedFigure(kmh * 1000 / kMetersPerMile)) + u" mph";
    return decimalText(roundedFigure(kmh)) + u" km/h";
}

std::u16string formatDate(const RouteInfo& route, const ActiveLanguage& language) {
    CivilTime civil;
    if (!firstStampTime(route, civil)) return utf8ToWide(route.dateText);
    return datePart(civil, language.forms.datePattern);
}

std::u16string formatDateTime(const RouteInfo& route, const ActiveLanguage& language) {
    CivilTime civil;
    if (!firstStampTime(route, civil)) return utf8ToWide(route.dateText);
    std::u16string text = datePart(civil, language.forms.datePattern) + u' ';
    if (!language.forms.twelveHour)
        return text + padded(civil.hour, true) + u':' + padded(civil.minute, true);
    const int32_t hour = civil.hour % 12 == 0 ? 12 : civil.hour % 12;
    return text + decimalText(hour) + u':' + padded(civil.minute, true) + (civil.hour < 12 ? u" AM" : u" PM");
}
