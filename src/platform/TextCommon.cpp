#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <random>
#include <type_traits>

#include "platform/Platform.h"

namespace fs = std::filesystem;

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

namespace {

constexpr std::u16string_view kTemporaryStart = u".tirn-";
constexpr std::u16string_view kTemporaryEnd = u".tmp";
constexpr std::size_t kTemporaryDigits = 16;

}  // namespace

fs::path temporaryPathBeside(const fs::path& target, std::string_view tag) {
    std::uint64_t value = 0;
    try {
        std::random_device random;
        value = (std::uint64_t{random()} << 32) ^ random();
    } catch (const std::exception&) {
        // No entropy source: the clock and a counter still keep two names of one process apart.
        static std::atomic<std::uint64_t> counter{0};
        value = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) * 31 +
                counter++;
    }
    char digits[kTemporaryDigits + 1];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(value));
    const std::u16string name = std::u16string(kTemporaryStart) + utf8ToWide(tag) + u"-" +
                                utf8ToWide(digits) + std::u16string(kTemporaryEnd);
    return target.parent_path() / widePath(name);
}

bool isOwnTemporaryName(const fs::path& name) {
    const std::u16string text = pathToWide(name.filename());
    // ".tirn-" tag "-" digits ".tmp", the tag at least one character.
    const std::size_t least = kTemporaryStart.size() + 2 + kTemporaryDigits + kTemporaryEnd.size();
    if (text.size() < least || !text.starts_with(kTemporaryStart) || !text.ends_with(kTemporaryEnd)) {
        return false;
    }
    const std::size_t digits = text.size() - kTemporaryEnd.size() - kTemporaryDigits;
    if (text[digits - 1] != u'-') return false;
    for (std::size_t i = digits; i < digits + kTemporaryDigits; ++i) {
        const char16_t c = text[i];
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return false;
    }
    return true;
}

bool removeIfAbandonedTemporary(const fs::path& path) {
    if (!isOwnTemporaryName(path)) return false;
    FileStamp stamp;
    const std::int64_t hourAgo = currentFileTime() - 3600 * fileTimeUnitsPerSecond();
    return readFileStamp(path, stamp) && stamp.lastWrite < hourAgo && removeFile(path);
}

fs::path nameCutTo(const fs::path& name, std::size_t units) {
    fs::path::string_type text = name.native();
    if (text.size() <= units) return name;
    const auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<fs::path::value_type>>(text[i]));
    };
    std::size_t cut = units;
    if (sizeof(fs::path::value_type) == 1) {
        // Back to the lead byte of the sequence the cut falls into.
        while (cut > 0 && (unit(cut) & 0xC0) == 0x80) --cut;
    } else if (cut > 0 && unit(cut - 1) >= 0xD800 && unit(cut - 1) <= 0xDBFF) {
        --cut;
    }
    text.resize(cut);
    return fs::path(text);
}
