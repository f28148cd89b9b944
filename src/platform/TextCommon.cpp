#include <cstdint>

#include "platform/Platform.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

void appendCodePoint(std::u16string& out, std::uint32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

// Both builds decode with this code rather than MultiByteToWideChar: Wine's version merges invalid
// sequences differently and can even swallow a valid byte behind a truncated sequence. Each maximal
// invalid subpart (Unicode's recommended practice) becomes one U+FFFD.
std::u16string utf8ToWide(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        // Length and the allowed range of the second byte (Unicode table 3-7); anything outside is
        // the end of a maximal subpart, which becomes a single replacement character.
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        std::uint32_t cp = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            cp = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            cp = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        std::size_t j = 1;
        bool complete = true;
        for (; j < length; ++j) {
            if (i + j >= size) {
                complete = false;
                break;
            }
            const unsigned char next = bytes[i + j];
            const unsigned char lo = j == 1 ? low : 0x80;
            const unsigned char hi = j == 1 ? high : 0xBF;
            if (next < lo || next > hi) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (next & 0x3F);
        }
        if (complete) {
            appendCodePoint(out, cp);
            i += length;
        } else {
            out.push_back(kReplacement);
            i += j;
        }
    }
    return out;
}

std::string wideToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                const std::uint32_t cp = 0x10000 + ((static_cast<std::uint32_t>(unit) - 0xD800) << 10) +
                                         (static_cast<std::uint32_t>(text[i + 1]) - 0xDC00);
                appendUtf8(out, cp);
                ++i;
            } else {
                appendUtf8(out, kReplacement);
            }
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string lowerText(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& unit : out) {
        if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit - u'A' + u'a');
    }
    return out;
}
