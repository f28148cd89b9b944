#include "core/ScanMarkup.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Classic "C" locale classes; bytes from 0x80 up belong to none of them. Looked up in a table
// because every '<' of a file passes through these tests several times.
enum : unsigned char { kWord = 1, kPrefix = 2, kSpace = 4, kDigit = 8 };

struct CharTables {
    unsigned char classes[256] = {};
    char lower[256] = {};
    constexpr CharTables() {
        for (int c = 0; c < 256; ++c) {
            bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            bool digit = c >= '0' && c <= '9';
            unsigned char k = 0;
            if (letter || digit || c == '_') k |= kWord | kPrefix;
            if (c == '.' || c == '-') k |= kPrefix;
            if (c == ' ' || (c >= '\t' && c <= '\r')) k |= kSpace;
            if (digit) k |= kDigit;
            classes[c] = k;
            lower[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
    }
};
constexpr CharTables kTables;

inline unsigned char classOf(char c) {
    return kTables.classes[static_cast<unsigned char>(c)];
}
inline bool isWordChar(char c) {
    return classOf(c) & kWord;
}
inline bool isPrefixChar(char c) {
    return classOf(c) & kPrefix;
}
inline bool isSpaceChar(char c) {
    return classOf(c) & kSpace;
}
inline bool isDigitChar(char c) {
    return classOf(c) & kDigit;
}
inline char lowerAscii(char c) {
    return kTables.lower[static_cast<unsigned char>(c)];
}

std::string lowerName(std::string_view name) {
    std::string lowered(name);
    for (char& c : lowered) c = lowerAscii(c);
    return lowered;
}

// Tags are mostly a few bytes apart, so a library call per hop costs more than it saves: eight
// bytes at a time, with the classic "has a zero byte" bit trick (the lowest flagged byte is
// always a true hit; both targets are little-endian).
inline size_t findByte(std::string_view text, size_t from, char byte) {
    static_assert(std::endian::native == std::endian::little);
    const size_t size = text.size();
    const char* data = text.data();
    const uint64_t ones = 0x0101010101010101ull;
    const uint64_t highs = 0x8080808080808080ull;
    const uint64_t pattern = ones * static_cast<unsigned char>(byte);
    size_t i = from;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, data + i, 8);
        uint64_t x = word ^ pattern;
        uint64_t hits = (x - ones) & ~x & highs;
        if (hits) return i + (static_cast<size_t>(std::countr_zero(hits)) >> 3);
    }
    for (; i < size; ++i) {
        if (data[i] == byte) return i;
    }
    return kNoPosition;
}

// 0x80 in every byte of `x` that is zero and nowhere else (exact, unlike the quick trick above).
inline uint64_t zeroBytes(uint64_t x) {
    const uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
    return ~(((x & low7) + low7) | x) & ~low7;
}

inline uint64_t loadWord(const char* at) {
    uint64_t word;
    std::memcpy(&word, at, 8);
    return word;
}

// `name` (lower case) at `pos`, ignoring ASCII letter case.
inline bool nameAt(std::string_view text, size_t pos, std::string_view name) {
    if (pos > text.size() || text.size() - pos < name.size()) return false;
    const char* at = text.data() + pos;
    for (size_t i = 0; i < name.size(); ++i) {
        if (lowerAscii(at[i]) != name[i]) return false;
    }
    return true;
}

// End of the "[\w.-]*" run that starts at `pos`.
inline size_t prefixRunEnd(std::string_view text, size_t pos) {
    while (pos < text.size() && isPrefixChar(text[pos])) ++pos;
    return pos;
}

// End of "(?:[\w.-]+:)?NAME\b" of the opening tag whose '<' is at `lt`, prefix tried first.
// Both alternatives live inside the run of [\w.-] after '<': the prefix ends the run with ':',
// the bare name is the run's beginning (names are word characters, so \b needs a non-word byte).
size_t openingNameEnd(const TagScanner& scanner, size_t lt) {
    std::string_view text = scanner.text;
    size_t start = lt + 1;
    size_t run = prefixRunEnd(text, start);
    if (run == start) return kNoPosition;
    if (run < text.size() && text[run] == ':') {
        for (size_t i = 0; i < scanner.nameCount; ++i) {
            const std::string& name = scanner.names[i];
            if (!nameAt(text, run + 1, name)) continue;
            size_t end = run + 1 + name.size();
            if (end == text.size() || !isWordChar(text[end])) return end;
        }
    }
    for (size_t i = 0; i < scanner.nameCount; ++i) {
        const std::string& name = scanner.names[i];
        if (name.size() > run - start || !nameAt(text, start, name)) continue;
        size_t end = start + name.size();
        if (end == text.size() || !isWordChar(text[end])) return end;
    }
    return kNoPosition;
}

// End of "</(?:[\w.-]+:)?NAME\s*>" when it starts at `lt` (whose next byte is '/'), or kNoPosition.
size_t closingEndAt(const TagScanner& scanner, size_t lt) {
    std::string_view text = scanner.text;
    size_t start = lt + 2;
    size_t run = prefixRunEnd(text, start);
    size_t starts[2] = {run > start && run < text.size() && text[run] == ':' ? run + 1 : kNoPosition, start};
    for (size_t nameStart : starts) {
        if (nameStart == kNoPosition) continue;
        for (size_t i = 0; i < scanner.nameCount; ++i) {
            const std::string& name = scanner.names[i];
            if (!nameAt(text, nameStart, name)) continue;
            size_t end = nameStart + name.size();
            while (end < text.size() && isSpaceChar(text[end])) ++end;
            if (end < text.size() && text[end] == '>') return end + 1;
        }
    }
    return kNoPosition;
}

#if defined(__SSE2__)
inline __m128i foldedBytes(const char* at) {
    return _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), _mm_set1_epi8(0x20));
}

// Where the Width filter bytes of one name stand among sixteen positions (a byte mask).
template <size_t Width>
inline __m128i namesAt(const __m128i (&wanted)[4], const __m128i (&bytes)[4]) {
    __m128i hits = _mm_cmpeq_epi8(bytes[0], wanted[0]);
    if constexpr (Width > 1) hits = _mm_and_si128(hits, _mm_cmpeq_epi8(bytes[1], wanted[1]));
    if constexpr (Width > 2) hits = _mm_and_si128(hits, _mm_cmpeq_epi8(bytes[2], wanted[2]));
    return hits;
}

// Sixteen bytes at a time where the processor has it (every x86-64 does), unrolled for the few
// name counts and widths there are. True with `i` at the first hit; false with `i` where fewer
// than sixteen bytes are left for the plainer loops.
template <size_t Count, size_t Width>
bool wideCandidate(const TagScanner& scanner, size_t& i) {
    const size_t size = scanner.text.size();
    const char* data = scanner.text.data();
    __m128i wanted[2][4] = {};
    for (size_t n = 0; n < Count; ++n) {
        for (size_t j = 0; j < Width; ++j) {
            wanted[n][j] = _mm_load_si128(reinterpret_cast<const __m128i*>(scanner.filter[n][j]));
        }
    }
    const size_t* offset = scanner.filterOffset;
    for (; i + 16 + scanner.filterReach - 1 <= size; i += 16) {
        __m128i bytes[4] = {};
        bytes[0] = foldedBytes(data + i + offset[0]);
        if constexpr (Width > 1) bytes[1] = foldedBytes(data + i + offset[1]);
        if constexpr (Width > 2) bytes[2] = foldedBytes(data + i + offset[2]);
        __m128i hits = namesAt<Width>(wanted[0], bytes);
        if constexpr (Count > 1) hits = _mm_or_si128(hits, namesAt<Width>(wanted[1], bytes));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (mask != 0) {
            i += static_cast<size_t>(std::countr_zero(mask));
            return true;
        }
    }
    return false;
}

bool findNameCandidateWide(const TagScanner& scanner, size_t& i) {
    switch (scanner.nameCount * 4 + scanner.filterWidth) {
        case 4 + 1:
            return wideCandidate<1, 1>(scanner, i);
        case 4 + 2:
            return wideCandidate<1, 2>(scanner, i);
        case 4 + 3:
            return wideCandidate<1, 3>(scanner, i);
        case 8 + 1:
            return wideCandidate<2, 1>(scanner, i);
        case 8 + 2:
            return wideCandidate<2, 2>(scanner, i);
        case 8 + 3:
            return wideCandidate<2, 3>(scanner, i);
        default:
            return false;
    }
}
#endif

// First position at or after `from` where the first filterWidth bytes of one of the names stand,
// letter case folded (a superset of the real occurrences: every hit is checked exactly later).
size_t findNameCandidate(const TagScanner& scanner, size_t from) {
    const size_t size = scanner.text.size();
    const char* data = scanner.text.data();
    const size_t width = scanner.filterWidth;
    const uint64_t fold = 0x2020202020202020ull;
    size_t i = from;
    if (width == 0) return kNoPosition;
#if defined(__SSE2__)
    if (findNameCandidateWide(scanner, i)) return i;
#endif
    const size_t* offset = scanner.filterOffset;
    for (; i + 8 + scanner.filterReach - 1 <= size; i += 8) {
        uint64_t any = 0;
        for (size_t n = 0; n < scanner.nameCount; ++n) {
            uint64_t hits = zeroBytes((loadWord(data + i + offset[0]) | fold) ^
                                      loadWord(reinterpret_cast<const char*>(scanner.filter[n][0])));
            for (size_t j = 1; j < width && hits; ++j) {
                hits &= zeroBytes((loadWord(data + i + offset[j]) | fold) ^
                                  loadWord(reinterpret_cast<const char*>(scanner.filter[n][j])));
            }
            any |= hits;
        }
        if (any) return i + (static_cast<size_t>(std::countr_zero(any)) >> 3);
    }
    for (; i + scanner.filterReach <= size; ++i) {
        for (size_t n = 0; n < scanner.nameCount; ++n) {
            size_t j = 0;
            while (j < width &&
                   static_cast<unsigned char>(data[i + offset[j]] | 0x20) == scanner.filter[n][j][0]) {
                ++j;
            }
            if (j == width) return i;
        }
    }
    return kNoPosition;
}

// The start of the "[\w.-]+:" prefix whose ':' stands just before `at`, or kNoPosition.
size_t prefixStartBefore(std::string_view text, size_t at) {
    if (at == 0 || text[at - 1] != ':') return kNoPosition;
    size_t run = at - 1;
    while (run > 0 && isPrefixChar(text[run - 1])) --run;
    return run < at - 1 ? run : kNoPosition;
}

// The '<' of an opening tag whose name (or, after a prefix, whose name proper) starts at `at`.
size_t openingBefore(std::string_view text, size_t at) {
    if (at == 0) return kNoPosition;
    if (text[at - 1] == '<') return at - 1;
    size_t run = prefixStartBefore(text, at);
    if (run == kNoPosition || run == 0 || text[run - 1] != '<') return kNoPosition;
    return run - 1;
}

// The same for a closing tag "</".
size_t closingBefore(std::string_view text, size_t at) {
    if (at >= 2 && text[at - 1] == '/' && text[at - 2] == '<') return at - 2;
    size_t run = prefixStartBefore(text, at);
    if (run == kNoPosition || run < 2 || text[run - 1] != '/' || text[run - 2] != '<') return kNoPosition;
    return run - 2;
}

// Next opening tag with a matching name at or after `from`: its '<' and its name's end. Tags come
// out in text order, because a tag's name lies between its '<' and the next '<'.
size_t nextOpening(TagScanner& scanner, size_t from, size_t& nameEnd) {
    for (size_t at = findNameCandidate(scanner, from + 1); at != kNoPosition;
         at = findNameCandidate(scanner, at + 1)) {
        size_t lt = openingBefore(scanner.text, at);
        if (lt == kNoPosition || lt < from) continue;
        nameEnd = openingNameEnd(scanner, lt);
        if (nameEnd != kNoPosition) return lt;
    }
    return kNoPosition;
}

// First '>' at or after `from`.
size_t nextGreater(TagScanner& scanner, size_t from) {
    if (scanner.gtFrom != kNoPosition && from >= scanner.gtFrom &&
        (scanner.gtAt == kNoPosition || from <= scanner.gtAt)) {
        return scanner.gtAt;
    }
    scanner.gtFrom = from;
    scanner.gtAt = findByte(scanner.text, from, '>');
    return scanner.gtAt;
}

// First closing tag starting at or after `from`; its end goes to `end`.
size_t nextClosing(TagScanner& scanner, size_t from, size_t& end) {
    if (scanner.closeFrom != kNoPosition && from >= scanner.closeFrom &&
        (scanner.closeAt == kNoPosition || from <= scanner.closeAt)) {
        end = scanner.closeEnd;
        return scanner.closeAt;
    }
    scanner.closeFrom = from;
    scanner.closeAt = kNoPosition;
    scanner.closeEnd = kNoPosition;
    std::string_view text = scanner.text;
    for (size_t at = findNameCandidate(scanner, from + 2); at != kNoPosition;
         at = findNameCandidate(scanner, at + 1)) {
        size_t lt = closingBefore(text, at);
        if (lt == kNoPosition || lt < from) continue;
        size_t closeEnd = closingEndAt(scanner, lt);
        if (closeEnd != kNoPosition) {
            scanner.closeAt = lt;
            scanner.closeEnd = closeEnd;
            break;
        }
    }
    end = scanner.closeEnd;
    return scanner.closeAt;
}

}  // namespace

TagScanner makeTagScanner(std::string_view text, std::string_view name, std::string_view otherName) {
    TagScanner scanner;
    scanner.text = text;
    auto setName = [&](std::string& target, std::string_view source) {
        target.assign(source);
        for (char& c : target) c = lowerAscii(c);
    };
    setName(scanner.names[0], name);
    scanner.nameCount = 1;
    if (!otherName.empty()) {
        setName(scanner.names[1], otherName);
        scanner.nameCount = 2;
    }
    size_t shortest = scanner.names[0].size();
    for (size_t i = 0; i < scanner.nameCount; ++i) shortest = std::min(shortest, scanner.names[i].size());
    size_t width = std::min<size_t>(3, shortest);
    scanner.filterWidth = width;
    for (size_t j = 0; j < width; ++j) scanner.filterOffset[j] = j;
    if (width == 3) scanner.filterOffset[2] = shortest - 1;
    scanner.filterReach = width > 0 ? scanner.filterOffset[width - 1] + 1 : 0;
    for (size_t i = 0; i < scanner.nameCount; ++i) {
        for (size_t j = 0; j < width; ++j) {
            unsigned char byte = static_cast<unsigned char>(scanner.names[i][scanner.filterOffset[j]] | 0x20);
            std::memset(scanner.filter[i][j], byte, 16);
        }
    }
    return scanner;
}

void retargetTagScanner(TagScanner& scanner, std::string_view text) {
    scanner.text = text;
    scanner.gtFrom = scanner.gtAt = kNoPosition;
    scanner.closeFrom = scanner.closeAt = scanner.closeEnd = kNoPosition;
    scanner.slashGt = scanner.slashAt = kNoPosition;
}

bool findElement(TagScanner& scanner, size_t from, ElementMatch& match) {
    size_t nameEnd = kNoPosition;
    size_t lt = nextOpening(scanner, from, nameEnd);
    if (lt == kNoPosition) return false;
    // Every later opening tag ends at this '>' or a later one and so would look for its closing
    // tag further on: if either is missing here, there is no match at all.
    size_t gt = nextGreater(scanner, nameEnd);
    if (gt == kNoPosition) return false;
    size_t closeEnd = kNoPosition;
    size_t close = nextClosing(scanner, gt + 1, closeEnd);
    if (close == kNoPosition) return false;
    match.start = lt;
    match.end = closeEnd;
    match.contentStart = gt + 1;
    match.contentEnd = close;
    return true;
}

bool findPoint(TagScanner& scanner, size_t from, PointMatch& match) {
    std::string_view text = scanner.text;
    size_t nameEnd = kNoPosition;
    for (size_t lt = nextOpening(scanner, from, nameEnd); lt != kNoPosition;
         lt = nextOpening(scanner, lt + 1, nameEnd)) {
        size_t gt = nextGreater(scanner, nameEnd);
        if (gt == kNoPosition) return false;
        // The lazy attribute list first reaches a '/' that only white space separates from the
        // '>': that is the empty-element form. Otherwise it stops at the '>' itself.
        // Many opening tags may share one '>': the white space before it is measured once.
        if (scanner.slashGt != gt) {
            size_t start = gt;
            while (start > 0 && isSpaceChar(text[start - 1])) --start;
            scanner.slashGt = gt;
            scanner.slashAt = start;
        }
        size_t slash = std::max(scanner.slashAt, nameEnd);
        if (slash > nameEnd && text[slash - 1] == '/') {
            match.start = lt;
            match.end = gt + 1;
            match.attributesStart = nameEnd;
            match.attributesEnd = slash - 1;
            match.hasContent = false;
            match.contentStart = match.contentEnd = 0;
            return true;
        }
        size_t closeEnd = kNoPosition;
        size_t close = nextClosing(scanner, gt + 1, closeEnd);
        if (close == kNoPosition) continue;  // a later empty-element point may still match
        match.start = lt;
        match.end = closeEnd;
        match.attributesStart = nameEnd;
        match.attributesEnd = gt;
        match.hasContent = true;
        match.contentStart = gt + 1;
        match.contentEnd = close;
        return true;
    }
    return false;
}

bool findOpenTag(TagScanner& scanner, size_t from, OpenTagMatch& match) {
    size_t nameEnd = kNoPosition;
    size_t lt = nextOpening(scanner, from, nameEnd);
    if (lt == kNoPosition) return false;
    size_t gt = nextGreater(scanner, nameEnd);
    if (gt == kNoPosition) return false;  // no '>' is left for any later tag either
    match.start = lt;
    match.end = gt + 1;
    match.attributesStart = nameEnd;
    match.attributesEnd = gt;
    return true;
}

namespace {

// First '"' or '\'' at or after `from`, eight bytes at a time.
size_t findQuote(std::string_view text, size_t from) {
    const size_t size = text.size();
    const char* data = text.data();
    const uint64_t ones = 0x0101010101010101ull;
    size_t i = from;
    for (; i + 8 <= size; i += 8) {
        uint64_t word = loadWord(data + i);
        uint64_t hits = zeroBytes(word ^ (ones * '"')) | zeroBytes(word ^ (ones * '\''));
        if (hits) return i + (static_cast<size_t>(std::countr_zero(hits)) >> 3);
    }
    for (; i < size; ++i) {
        if (data[i] == '"' || data[i] == '\'') return i;
    }
    return kNoPosition;
}

// First byte at or after `from` that is the lower-case letter `letter` in either case.
size_t findLetter(std::string_view text, size_t from, char letter) {
    const size_t size = text.size();
    const char* data = text.data();
    const uint64_t ones = 0x0101010101010101ull;
    const uint64_t wanted = ones * static_cast<unsigned char>(letter);
    size_t i = from;
    for (; i + 8 <= size; i += 8) {
        uint64_t hits = zeroBytes((loadWord(data + i) | (ones * 0x20)) ^ wanted);
        if (hits) return i + (static_cast<size_t>(std::countr_zero(hits)) >> 3);
    }
    for (; i < size; ++i) {
        if ((data[i] | 0x20) == letter) return i;
    }
    return kNoPosition;
}

}  // namespace

bool findAttribute(std::string_view attributes, std::string_view name, AttributeMatch& match) {
    if (name.empty()) return false;
    // Lower-cased on the stack: this runs twice for every point of a track.
    char loweredBytes[32];
    std::string loweredLong;
    std::string_view lowered;
    if (name.size() <= sizeof loweredBytes) {
        for (size_t i = 0; i < name.size(); ++i) loweredBytes[i] = lowerAscii(name[i]);
        lowered = std::string_view(loweredBytes, name.size());
    } else {
        loweredLong = lowerName(name);
        lowered = loweredLong;
    }
    std::string_view text = attributes;
    // Searched lazily and remembered: the first quote at or after quoteFrom is at quoteAt.
    size_t quoteFrom = kNoPosition, quoteAt = kNoPosition;
    auto nextQuote = [&](size_t from) {
        if (quoteFrom != kNoPosition && from >= quoteFrom && (quoteAt == kNoPosition || from <= quoteAt)) {
            return quoteAt;
        }
        quoteFrom = from;
        quoteAt = findQuote(text, from);
        return quoteAt;
    };
    const char first = lowered[0];
    const bool letter = first >= 'a' && first <= 'z';
    for (size_t pos = 0; pos < text.size(); ++pos) {
        if (letter) {
            pos = findLetter(text, pos, first);
            if (pos == kNoPosition) break;
        } else if (lowerAscii(text[pos]) != first) {
            continue;
        }
        if (pos > 0 && isWordChar(text[pos - 1])) continue;
        if (!nameAt(text, pos, lowered)) continue;
        size_t at = pos + lowered.size();
        while (at < text.size() && isSpaceChar(text[at])) ++at;
        if (at >= text.size() || text[at] != '=') continue;
        ++at;
        while (at < text.size() && isSpaceChar(text[at])) ++at;
        if (at >= text.size() || (text[at] != '"' && text[at] != '\'')) continue;
        size_t valueStart = at + 1;
        size_t close = nextQuote(valueStart);
        if (close == kNoPosition) return false;  // no quote left: no later match either
        if (close == valueStart) continue;       // the value must not be empty
        match.start = pos;
        match.end = close + 1;
        match.valueStart = valueStart;
        match.valueEnd = close;
        return true;
    }
    return false;
}

namespace {

bool digitsAt(std::string_view text, size_t pos, size_t count) {
    if (pos > text.size() || text.size() - pos < count) return false;
    for (size_t i = 0; i < count; ++i) {
        if (!isDigitChar(text[pos + i])) return false;
    }
    return true;
}

int digitValue(std::string_view text, size_t pos, size_t count) {
    int value = 0;
    for (size_t i = 0; i < count; ++i) value = value * 10 + (text[pos + i] - '0');
    return value;
}

// "dddd-dd-dd" at `pos`.
bool dateAt(std::string_view text, size_t pos) {
    return text.size() - pos >= 10 && digitsAt(text, pos, 4) && text[pos + 4] == '-' &&
           digitsAt(text, pos + 5, 2) && text[pos + 7] == '-' && digitsAt(text, pos + 8, 2);
}

}  // namespace

bool findTimestamp(std::string_view text, TimestampMatch& match) {
    if (text.size() < 19) return false;
    for (size_t pos = 0; pos + 19 <= text.size(); ++pos) {
        if (!isDigitChar(text[pos]) || !dateAt(text, pos)) continue;
        if (text[pos + 10] != 'T' || !digitsAt(text, pos + 11, 2) || text[pos + 13] != ':' ||
            !digitsAt(text, pos + 14, 2) || text[pos + 16] != ':' || !digitsAt(text, pos + 17, 2)) {
            continue;
        }
        match.start = pos;
        match.year = digitValue(text, pos, 4);
        match.month = digitValue(text, pos + 5, 2);
        match.day = digitValue(text, pos + 8, 2);
        match.hour = digitValue(text, pos + 11, 2);
        match.minute = digitValue(text, pos + 14, 2);
        match.second = digitValue(text, pos + 17, 2);
        size_t at = pos + 19;
        // The fraction is greedy and nothing after it can fail, so it takes every digit.
        if (at + 1 < text.size() && text[at] == '.' && isDigitChar(text[at + 1])) {
            at += 2;
            while (at < text.size() && isDigitChar(text[at])) ++at;
        }
        match.zoneStart = at;
        match.zoneLength = 0;
        if (at < text.size()) {
            if (text[at] == 'Z') {
                match.zoneLength = 1;
            } else if ((text[at] == '+' || text[at] == '-') && digitsAt(text, at + 1, 2)) {
                if (at + 3 < text.size() && text[at + 3] == ':' && digitsAt(text, at + 4, 2)) {
                    match.zoneLength = 6;
                } else if (digitsAt(text, at + 3, 2)) {
                    match.zoneLength = 5;
                }
            }
        }
        match.end = at + match.zoneLength;
        return true;
    }
    return false;
}

bool findDate(std::string_view text, DateMatch& match) {
    for (size_t pos = 0; pos + 10 <= text.size(); ++pos) {
        if (!isDigitChar(text[pos]) || !dateAt(text, pos)) continue;
        match.start = pos;
        match.year = text.substr(pos, 4);
        match.month = text.substr(pos + 5, 2);
        match.day = text.substr(pos + 8, 2);
        return true;
    }
    return false;
}

std::string stripTags(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    size_t copied = 0;
    size_t lt = findByte(text, 0, '<');
    while (lt != kNoPosition) {
        if (lt + 1 < text.size() && text[lt + 1] == '>') {  // "<>" holds nothing to remove
            lt = findByte(text, lt + 1, '<');
            continue;
        }
        size_t gt = findByte(text, lt + 1, '>');
        if (gt == kNoPosition) break;  // no '>' left: nothing further can match
        result.append(text.substr(copied, lt - copied));
        copied = gt + 1;
        lt = findByte(text, copied, '<');
    }
    result.append(text.substr(copied));
    return result;
}
