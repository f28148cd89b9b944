#include "ui/Format.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr char16_t kEnDash[] = u"\u2013";

// The km figure is written by to_chars so that the rounding follows the exact binary value
// of the quotient (ties to even) and never depends on the process locale.
std::u16string asciiToWide(const char* first, const char* last) {
    std::u16string text;
    text.reserve(static_cast<std::size_t>(last - first));
    for (const char* c = first; c != last; ++c) text.push_back(static_cast<char16_t>(*c));
    return text;
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

std::u16string formatDistance(double meters) {
    if (std::isnan(meters)) meters = 0;
    if (meters < 1000) return decimalText(roundedFigure(meters)) + u" m";
    double kilometers = meters / 1000;
    if (kilometers >= 9223372036854775808.0) {
        return decimalText(std::numeric_limits<int64_t>::max()) + u",0 km";
    }
    char buffer[32];  // below 2^63 the fixed form has at most 19 digits, a point and one decimal
    auto result = std::to_chars(buffer, buffer + sizeof buffer, kilometers, std::chars_format::fixed, 1);
    if (result.ec != std::errc{}) return u"0,0 km";  // cannot happen below 2^63
    std::u16string text = asciiToWide(buffer, result.ptr);
    for (char16_t& c : text) {
        if (c == u'.') c = u',';
    }
    return text + u" km";
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

std::u16string formatAscent(double meters) {
    if (std::isnan(meters) || !(meters > 0)) return kEnDash;
    return decimalText(roundedFigure(meters)) + u" m";
}
