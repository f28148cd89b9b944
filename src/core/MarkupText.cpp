#include "core/MarkupText.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/Failure.h"
#include "core/ScanMarkup.h"
#include "platform/Platform.h"

std::string readFileText(const std::filesystem::path& path) {
    FileBuffer buffer;
    size_t size = 0;
    bool tooLarge = false;
    if (!readWholeFile(path, buffer, size, &tooLarge)) {
        throw GpxFailure(tooLarge ? kMessageTooLarge : kMessageCannotRead);
    }
    return std::string(buffer.data, size);
}

std::string decodeEntities(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    size_t copied = 0;
    for (size_t amp = text.find('&'); amp != std::string_view::npos; amp = text.find('&', amp + 1)) {
        std::string_view rest = text.substr(amp);
        char replacement = 0;
        size_t length = 0;
        if (rest.starts_with("&amp;")) {
            replacement = '&', length = 5;
        } else if (rest.starts_with("&lt;")) {
            replacement = '<', length = 4;
        } else if (rest.starts_with("&gt;")) {
            replacement = '>', length = 4;
        } else if (rest.starts_with("&quot;")) {
            replacement = '"', length = 6;
        } else if (rest.starts_with("&apos;")) {
            replacement = '\'', length = 6;
        }
        if (length == 0) continue;
        result.append(text.substr(copied, amp - copied));
        result.push_back(replacement);
        copied = amp + length;
        amp = copied - 1;  // the replacement itself is never looked at again
    }
    result.append(text.substr(copied));
    return result;
}

std::string_view elementTextView(std::string_view text, std::string_view name, std::string& buffer) {
    TagScanner scanner = makeTagScanner(text, {name});
    return elementTextView(scanner, text, buffer);
}

std::string_view elementTextView(TagScanner& scanner, std::string_view text, std::string& buffer) {
    retargetTagScanner(scanner, text);
    ElementMatch match;
    if (!findElement(scanner, 0, match)) return {};
    return elementContentView(text, match, buffer);
}

namespace {

// Text outside gaps: nested tags removed, entities decoded.
void appendPlainText(std::string& out, std::string_view piece) {
    std::string stripped = stripTags(piece);
    if (stripped.find('&') == std::string::npos) {
        out += stripped;
    } else {
        out += decodeEntities(stripped);
    }
}

}  // namespace

std::string markupContentText(std::string_view content) {
    std::string out;
    size_t copied = 0;
    for (size_t lt = findByte(content, 0, '<'); lt != kNoPosition; lt = findByte(content, lt + 1, '<')) {
        Gap gap;
        if (!gapAt(content, lt, gap)) continue;
        appendPlainText(out, content.substr(copied, lt - copied));
        // A CDATA section is text as it stands; comments and the like are no text at all.
        if (gap.cdata) out.append(content.substr(gap.innerStart, gap.innerEnd - gap.innerStart));
        copied = gap.end;
        lt = gap.end - 1;
    }
    appendPlainText(out, content.substr(copied));
    return out;
}

std::string_view elementContentView(std::string_view text, const ElementMatch& match, std::string& buffer) {
    std::string_view content = text.substr(match.contentStart, match.contentEnd - match.contentStart);
    // Mostly a short figure with neither: one look for both is cheaper than two.
    const size_t special = findEitherByte(content, 0, '<', '&');
    if (special == kNoPosition) return content;
    if (content.find('<', special) != std::string_view::npos) {
        buffer = markupContentText(content);
    } else {
        buffer = decodeEntities(content);
    }
    return buffer;
}

std::string elementText(std::string_view text, std::string_view name) {
    std::string buffer;
    std::string_view result = elementTextView(text, name, buffer);
    if (result.data() == buffer.data()) return buffer;
    return std::string(result);
}

std::string attributeText(std::string_view attributes, std::string_view name) {
    AttributeMatch match;
    if (!findAttribute(attributes, name, match)) return {};
    return decodeEntities(attributes.substr(match.valueStart, match.valueEnd - match.valueStart));
}

bool attributeNumberView(std::string_view attributes, std::string_view name, double& value) {
    AttributeMatch match;
    return findAttribute(attributes, name, match) && attributeValueNumber(attributes, match, value);
}

bool attributeValueNumber(std::string_view attributes, const AttributeMatch& match, double& value) {
    std::string_view raw = attributes.substr(match.valueStart, match.valueEnd - match.valueStart);
    if (raw.find('&') == std::string_view::npos) return parseNumberPrefix(raw, value);
    return parseNumberPrefix(decodeEntities(raw), value);
}

std::pair<double, bool> attributeNumber(std::string_view attributes, std::string_view name) {
    double value = 0;
    try {
        if (attributeNumberView(attributes, name, value)) return {value, true};
    } catch (...) {
        // Running out of memory while decoding is no reason to fail the caller: no number.
    }
    return {0.0, false};
}

namespace {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Eight digit values (0..9, one a byte, the first byte the most significant) as one integer, in a
// few word operations instead of a multiplication per digit.
uint32_t eightDigitValue(uint64_t word) {
    word = word * 10 + (word >> 8);  // pairs of digits in the low byte of each 16-bit lane
    word = ((word & 0x000000FF000000FF) * (100 + (uint64_t{1000000} << 32)) +
            ((word >> 16) & 0x000000FF000000FF) * (1 + (uint64_t{10000} << 32))) >>
           32;
    return static_cast<uint32_t>(word);
}

// 0x80 in each byte that is not an ASCII digit, given the bytes with '0' taken off each
// (`values`): a digit is now 0..9 and stays below 0x80 with 0x76 added. Exact up to the first such
// byte; behind it borrows and carries may spill over, but nothing looks there.
uint64_t nonDigitBytes(uint64_t values) {
    return ((values + 0x7676767676767676) | values) & 0x8080808080808080;
}

// A run of digits: where it ends, and the digits so far as one integer (which wraps around beyond
// 19 digits: callers refuse those) with their count.
struct DigitRun {
    const char* end;
    uint64_t digits;
    int count;
};

// The run at `at` appended to `run`. Eight bytes at a time while eight are left, so a figure costs
// a few word operations and no branch per digit.
inline DigitRun appendDigitRun(const char* at, const char* last, DigitRun run) {
    static_assert(std::endian::native == std::endian::little);
    static constexpr uint64_t kScale[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    while (last - at >= 8) {
        uint64_t word;
        std::memcpy(&word, at, 8);
        const uint64_t values = word - 0x3030303030303030;
        const uint64_t stops = nonDigitBytes(values);
        const int length = stops == 0 ? 8 : std::countr_zero(stops) >> 3;
        if (length == 0) break;
        // The run's digits to the top of the word, zeros in front: what the bytes behind the run
        // hold is shifted out with them.
        run.digits = run.digits * kScale[length] + eightDigitValue(values << (8 * (8 - length)));
        run.count += length;
        at += length;
        if (length < 8) {
            run.end = at;
            return run;
        }
    }
    for (; at < last && *at >= '0' && *at <= '9'; ++at, ++run.count) {
        run.digits = run.digits * 10 + static_cast<uint64_t>(*at - '0');
    }
    run.end = at;
    return run;
}

// The common figure in one go: one to seven digits, then a point with one to sixteen digits behind
// it or no point at all, read as at most three words without a loop. False for any other shape, or
// with fewer than 24 bytes left, which appendDigitRun then reads; where this reads a figure, that
// reads the same.
inline bool shortFigure(const char* first, const char* last, DigitRun& run, int& fraction) {
    static constexpr uint64_t kScale[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    constexpr uint64_t kZeros = 0x3030303030303030;
    if (last - first < 24) return false;
    const auto valuesAt = [](const char* at) {
        uint64_t word;
        std::memcpy(&word, at, 8);
        return word - kZeros;
    };
    const uint64_t whole = valuesAt(first);
    const uint64_t wholeStops = nonDigitBytes(whole);
    const int wholeCount = std::countr_zero(wholeStops) >> 3;  // 8 when there is no stop
    if (wholeCount == 0 || wholeCount == 8) return false;
    const uint64_t wholeValue = eightDigitValue(whole << (8 * (8 - wholeCount)));
    const char* point = first + wholeCount;
    if (*point != '.') {
        run = DigitRun{point, wholeValue, wholeCount};
        fraction = 0;
        return true;
    }
    const uint64_t high = valuesAt(point + 1), low = valuesAt(point + 9);
    const uint64_t highStops = nonDigitBytes(high);
    int highCount = 8, lowCount = 0;
    if (highStops != 0) {
        highCount = std::countr_zero(highStops) >> 3;
        if (highCount == 0) return false;
    } else {
        lowCount = std::countr_zero(nonDigitBytes(low)) >> 3;
        if (lowCount == 8) return false;
    }
    uint64_t digits = wholeValue * kScale[highCount] + eightDigitValue(high << (8 * (8 - highCount)));
    if (lowCount != 0) digits = digits * kScale[lowCount] + eightDigitValue(low << (8 * (8 - lowCount)));
    fraction = highCount + lowCount;
    run = DigitRun{point + 1 + fraction, digits, wholeCount + fraction};
    return true;
}

// The common coordinate or elevation such as 47.579730894805 without the general machinery: when
// all digits form an integer of at most 2^53 and at most 22 follow the point, one division of two
// exact doubles is the correctly rounded value. Anything else (exponent, more digits) is left to
// from_chars. `end` is set behind the figure.
bool plainDecimal(const char* first, const char* last, double& value, const char*& end) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    DigitRun run;
    int fraction = 0;
    if (!shortFigure(first, last, run, fraction)) {
        run = appendDigitRun(first, last, DigitRun{first, 0, 0});
        if (run.end < last && *run.end == '.') {
            const int integer = run.count;
            run = appendDigitRun(run.end + 1, last, run);
            fraction = run.count - integer;
        }
    }
    const uint64_t digits = run.digits;
    const int count = run.count;
    const char* at = run.end;
    if (count == 0 || count > 19 || digits > (uint64_t{1} << 53) || fraction > 22) return false;
    if (at < last && (*at == 'e' || *at == 'E' || *at == 'x' || *at == 'X')) return false;
    // A whole number (a heart rate, a cadence) needs no division, which would only wait for itself.
    value = fraction == 0 ? static_cast<double>(digits) : static_cast<double>(digits) / kPowers[fraction];
    end = at;
    return true;
}

}  // namespace

bool parseNumberPrefix(std::string_view text, double& value) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size()) return false;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    double parsed = 0;
    if (first[0] == '0' && last - first >= 2 && (first[1] == 'x' || first[1] == 'X')) {
        // Hexadecimal needs a digit after "0x" (before or after the point); otherwise only the
        // leading "0" forms the number.
        const char* digits = first + 2;
        bool hexNumber = digits < last && (isHexDigit(digits[0]) ||
                                           (digits[0] == '.' && last - digits >= 2 && isHexDigit(digits[1])));
        if (hexNumber) {
            auto result = std::from_chars(digits, last, parsed, std::chars_format::hex);
            if (result.ec != std::errc()) return false;
        } else {
            parsed = 0;
        }
    } else {
        if (first[0] == '+' || first[0] == '-') return false;  // one sign only
        const char* end = nullptr;
        if (!plainDecimal(first, last, parsed, end)) {
            auto result = std::from_chars(first, last, parsed, std::chars_format::general);
            if (result.ec != std::errc()) return false;
        }
    }
    // Like an underflow of strtod: a subnormal result has lost digits and counts as out of range.
    if (parsed != 0 && std::fabs(parsed) < std::numeric_limits<double>::min()) return false;
    value = negative ? -parsed : parsed;
    return true;
}

size_t plainNumberEnd(std::string_view text, size_t from, double& value) {
    if (from >= text.size()) return kNoPosition;
    const char* first = text.data() + from;
    const char* last = text.data() + text.size();
    const bool negative = *first == '-';
    if (negative) ++first;
    if (first == last || *first < '0' || *first > '9') return kNoPosition;
    double parsed = 0;
    const char* end = nullptr;
    if (!plainDecimal(first, last, parsed, end)) return kNoPosition;
    value = negative ? -parsed : parsed;
    return static_cast<size_t>(end - text.data());
}

bool startsWithUtf16Mark(std::string_view bytes) {
    return bytes.size() >= 2 &&
           ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}

std::string utf16BytesToUtf8(std::string_view bytes) {
    const bool bigEndian = bytes[0] == '\xFE';
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]),
                   second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    return wideToUtf8(units);
}

TextEncoding declaredEncoding(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    if (!text.starts_with("<?xml")) return TextEncoding::utf8;
    const size_t end = text.find("?>");
    if (end == std::string_view::npos) return TextEncoding::utf8;
    const std::string label = attributeText(text.substr(5, end - 5), "encoding");
    std::string lowered;
    for (char c : label) lowered.push_back(lowerByte(c));
    for (std::string_view latin1 : {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin-1", "latin1"}) {
        if (lowered == latin1) return TextEncoding::latin1;
    }
    if (lowered == "windows-1252" || lowered == "cp1252") return TextEncoding::windows1252;
    return TextEncoding::utf8;
}

std::string textToUtf8(std::string_view text, TextEncoding encoding) {
    if (encoding == TextEncoding::utf8) return std::string(text);
    // windows-1252 where it differs from Latin-1; its five unassigned bytes stay control characters.
    static constexpr char16_t kWindows1252[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::u16string units;
    units.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool replaced = encoding == TextEncoding::windows1252 && byte >= 0x80 && byte < 0xA0;
        units.push_back(replaced ? kWindows1252[byte - 0x80] : static_cast<char16_t>(byte));
    }
    return wideToUtf8(units);
}
