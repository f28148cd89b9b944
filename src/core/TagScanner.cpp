#include "core/TagScanner.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// The name filter takes thirty-two bytes at a time where the processor has AVX2 (asked once at run
// time, core/ScanTier; the build itself targets every x86-64) and the wanted names allow its table
// lookup.
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define TIRN_AVX2_FILTER 1
#endif

// Tags are mostly a few bytes apart, so a library call per hop costs more than it saves: sixteen
// bytes at a time, then eight with the classic "has a zero byte" bit trick (the lowest flagged
// byte is always a true hit; both targets are little-endian), each as far as the tier in use
// allows (core/ScanTier); each tier is one instance of these templates. A start at or past the end
// finds nothing, and below the end `i + 16` cannot wrap around.
namespace {

template <ScanTier Tier>
size_t findByteIn(std::string_view text, size_t from, char byte) {
    static_assert(std::endian::native == std::endian::little);
    const size_t size = text.size();
    if (from >= size) return kNoPosition;
    const char* data = text.data();
    size_t i = from;
#if defined(__SSE2__)
    if constexpr (Tier >= ScanTier::sse2) {
        const __m128i wanted = _mm_set1_epi8(byte);
        for (; i + 16 <= size; i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)));
            if (mask != 0) return i + static_cast<size_t>(std::countr_zero(mask));
        }
    }
#endif
    if constexpr (Tier >= ScanTier::word) {
        const uint64_t ones = 0x0101010101010101ull;
        const uint64_t highs = 0x8080808080808080ull;
        const uint64_t pattern = ones * static_cast<unsigned char>(byte);
        for (; i + 8 <= size; i += 8) {
            const uint64_t x = loadWord(data + i) ^ pattern;
            const uint64_t hits = (x - ones) & ~x & highs;
            if (hits) return i + (static_cast<size_t>(std::countr_zero(hits)) >> 3);
        }
    }
    for (; i < size; ++i) {
        if (data[i] == byte) return i;
    }
    return kNoPosition;
}

template <ScanTier Tier>
size_t findEitherByteIn(std::string_view text, size_t from, char one, char other) {
    const size_t size = text.size();
    if (from >= size) return kNoPosition;
    const char* data = text.data();
    size_t i = from;
#if defined(__SSE2__)
    if constexpr (Tier >= ScanTier::sse2) {
        const __m128i wantedOne = _mm_set1_epi8(one), wantedOther = _mm_set1_epi8(other);
        for (; i + 16 <= size; i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            const __m128i hits =
                _mm_or_si128(_mm_cmpeq_epi8(bytes, wantedOne), _mm_cmpeq_epi8(bytes, wantedOther));
            const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
            if (mask != 0) return i + static_cast<size_t>(std::countr_zero(mask));
        }
    }
#endif
    if constexpr (Tier >= ScanTier::word) {
        const uint64_t ones = 0x0101010101010101ull;
        const uint64_t first = ones * static_cast<unsigned char>(one);
        const uint64_t second = ones * static_cast<unsigned char>(other);
        for (; i + 8 <= size; i += 8) {
            const uint64_t word = loadWord(data + i);
            const uint64_t hits = zeroBytes(word ^ first) | zeroBytes(word ^ second);
            if (hits) return i + (static_cast<size_t>(std::countr_zero(hits)) >> 3);
        }
    }
    for (; i < size; ++i) {
        if (data[i] == one || data[i] == other) return i;
    }
    return kNoPosition;
}

template <ScanTier Tier>
size_t findLetterIn(std::string_view text, size_t from, char letter) {
    const size_t size = text.size();
    if (from >= size) return kNoPosition;
    const char* data = text.data();
    size_t i = from;
#if defined(__SSE2__)
    // A point's content is searched for its extensions' 'x' whether it has them or not.
    if constexpr (Tier >= ScanTier::sse2) {
        const __m128i wanted = _mm_set1_epi8(letter), fold = _mm_set1_epi8(0x20);
        for (; i + 16 <= size; i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            const __m128i hits = _mm_cmpeq_epi8(_mm_or_si128(bytes, fold), wanted);
            const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
            if (mask != 0) return i + static_cast<size_t>(std::countr_zero(mask));
        }
    }
#endif
    if constexpr (Tier >= ScanTier::word) {
        const uint64_t ones = 0x0101010101010101ull;
        const uint64_t wanted = ones * static_cast<unsigned char>(letter);
        for (; i + 8 <= size; i += 8) {
            uint64_t hits = zeroBytes((loadWord(data + i) | (ones * 0x20)) ^ wanted);
            if (hits) return i + (static_cast<size_t>(std::countr_zero(hits)) >> 3);
        }
    }
    for (; i < size; ++i) {
        if ((data[i] | 0x20) == letter) return i;
    }
    return kNoPosition;
}

// The rounds test `at <= size` themselves (at a point's tags the first round mostly ends the search).
template <ScanTier Tier>
size_t skipSpaceBytesIn(std::string_view text, size_t at) {
    const size_t size = text.size();
#if defined(__SSE2__)
    if constexpr (Tier >= ScanTier::sse2) {
        // Sixteen bytes a round: ' ', or \t..\r, which become 0..4 with 9 taken off (the others
        // wrap around or stay above).
        for (; at <= size && size - at >= 16; at += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
            const __m128i fromTab = _mm_sub_epi8(bytes, _mm_set1_epi8(9));
            const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(fromTab, _mm_set1_epi8(4)), fromTab);
            const __m128i space = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')), control);
            const auto others = ~static_cast<unsigned>(_mm_movemask_epi8(space)) & 0xFFFFu;
            if (others != 0) return at + static_cast<size_t>(std::countr_zero(others));
        }
    }
#endif
    if constexpr (Tier >= ScanTier::word) {
        for (; at <= size && size - at >= 8; at += 8) {
            const uint64_t word = loadWord(text.data() + at);
            // ' ' is a zero byte of the first, \t..\r below 5 in the second.
            const uint64_t fromTab = word - 0x0909090909090909;
            const uint64_t below5 = ~((fromTab + 0x7B7B7B7B7B7B7B7B) | fromTab) & 0x8080808080808080;
            const uint64_t others = ~(zeroBytes(word ^ 0x2020202020202020) | below5) & 0x8080808080808080;
            if (others != 0) return at + (static_cast<size_t>(std::countr_zero(others)) >> 3);
        }
    }
    while (at < size && isSpaceByte(text[at])) ++at;
    return std::min(at, size);
}

}  // namespace

bool gapAt(std::string_view text, size_t lt, Gap& gap) {
    if (lt + 1 >= text.size() || text[lt] != '<') return false;
    const std::string_view rest = text.substr(lt);
    const auto endOf = [&](std::string_view terminator, size_t from) {
        const size_t found = text.find(terminator, from);
        return found == std::string_view::npos ? text.size() : found + terminator.size();
    };
    gap = Gap{};
    if (rest[1] == '?') {
        gap.end = endOf("?>", lt + 2);
    } else if (rest.starts_with("<!--")) {
        gap.end = endOf("-->", lt + 4);
    } else if (rest.starts_with("<![CDATA[")) {
        const size_t close = text.find("]]>", lt + 9);
        gap.cdata = true;
        gap.innerStart = lt + 9;
        gap.innerEnd = close == std::string_view::npos ? text.size() : close;
        gap.end = close == std::string_view::npos ? text.size() : close + 3;
    } else if (rest.starts_with("<!DOCTYPE")) {
        // The '>' that ends it stands outside the internal subset, behind its ']'.
        const size_t open = text.find_first_of("[>", lt + 9);
        gap.end = text.size();
        if (open != std::string_view::npos && text[open] == '>') {
            gap.end = open + 1;
        } else if (open != std::string_view::npos) {
            for (size_t close = text.find(']', open); close != std::string_view::npos;
                 close = text.find(']', close + 1)) {
                size_t at = close + 1;
                while (at < text.size() && isSpaceByte(text[at])) ++at;
                if (at < text.size() && text[at] == '>') {
                    gap.end = at + 1;
                    break;
                }
            }
        }
    } else {
        return false;
    }
    return true;
}

namespace {

// Gaps are looked for this far ahead at least: one byte search per stretch of a text without any.
constexpr size_t kGapStretch = 16384;

// The first gap whose '<' lies in [from, limit), by the '!' or '?' behind it.
size_t nextGapStart(std::string_view text, size_t from, size_t limit, Gap& gap) {
    const std::string_view window = text.substr(0, std::min(text.size(), limit + 1));
    for (size_t mark = findEitherByte(window, from + 1, '!', '?'); mark != kNoPosition;
         mark = findEitherByte(window, mark + 1, '!', '?')) {
        if (text[mark - 1] == '<' && gapAt(text, mark - 1, gap)) return mark - 1;
    }
    return kNoPosition;
}

}  // namespace

size_t gapEndAtSlow(GapCursor& gaps, std::string_view text, size_t at) {
    if (at < gaps.clearFrom) gaps = GapCursor{};
    for (;;) {
        if (at >= gaps.clearFrom && at < gaps.clearUntil) return kNoPosition;
        if (gaps.gapStart != kNoPosition) {
            if (at < gaps.gapEnd) return gaps.gapEnd;
            gaps = gapCursorFrom(gaps.gapEnd);
            continue;
        }
        if (gaps.clearUntil >= text.size()) {
            gaps.clearUntil = kNoPosition;  // nothing is left to hold a gap
            continue;
        }
        const size_t limit = std::min(text.size(), std::max(at + 1, gaps.clearUntil + kGapStretch));
        Gap gap;
        const size_t start = nextGapStart(text, gaps.clearUntil, limit, gap);
        if (start == kNoPosition) {
            gaps.clearUntil = limit;
        } else {
            gaps.clearUntil = start;
            gaps.gapStart = start;
            gaps.gapEnd = gap.end;
        }
    }
}

size_t findGreaterOutsideGaps(std::string_view text, size_t from) {
    for (size_t at = findEitherByte(text, from, '>', '<'); at != kNoPosition;
         at = findEitherByte(text, at + 1, '>', '<')) {
        if (text[at] == '>') return at;
        Gap gap;
        if (gapAt(text, at, gap)) at = gap.end - 1;
    }
    return kNoPosition;
}

size_t closingTailEnd(std::string_view text, size_t pos) {
    while (pos < text.size() && isSpaceByte(text[pos])) ++pos;
    return pos < text.size() && text[pos] == '>' ? pos + 1 : kNoPosition;
}

size_t nameEndAt(std::string_view text, size_t pos, std::string_view name) {
    if (!nameAt(text, pos, name)) return kNoPosition;
    const size_t end = pos + name.size();
    return end == text.size() || !isWordByte(text[end]) ? end : kNoPosition;
}

std::array<size_t, 2> tagNameStarts(std::string_view text, size_t start) {
    size_t run = start;
    while (run < text.size() && isPrefixByte(text[run])) ++run;
    const bool prefixed = run > start && run < text.size() && text[run] == ':';
    return {prefixed ? run + 1 : kNoPosition, start};
}

namespace {

// "NAME\b" of one of the names at `pos`: its end, with the name's index in `which`.
inline size_t namesEndAt(const TagScanner& scanner, size_t pos, size_t& which) {
    for (size_t i = 0; i < scanner.nameCount; ++i) {
        const size_t end = nameEndAt(scanner.text, pos, scanner.names[i]);
        if (end != kNoPosition) {
            which = i;
            return end;
        }
    }
    return kNoPosition;
}

// End of "(?:[\w.-]+:)?NAME\b" of the opening tag whose '<' is at `lt`, for a choice of names:
// every name behind the prefix first, then every name bare.
size_t openingNamesEnd(const TagScanner& scanner, size_t lt, size_t& which) {
    for (size_t start : tagNameStarts(scanner.text, lt + 1)) {
        if (start == kNoPosition) continue;
        const size_t end = namesEndAt(scanner, start, which);
        if (end != kNoPosition) return end;
    }
    return kNoPosition;
}

// End of "</(?:[\w.-]+:)?NAME\s*>" when it starts at `lt`, for a choice of names.
size_t closingNamesEnd(const TagScanner& scanner, size_t lt, size_t& nameEnd, size_t& which) {
    std::string_view text = scanner.text;
    for (size_t start : tagNameStarts(text, lt + 2)) {
        if (start == kNoPosition) continue;
        for (size_t i = 0; i < scanner.nameCount; ++i) {
            const std::string& name = scanner.names[i];
            if (!nameAt(text, start, name)) continue;
            const size_t end = closingTailEnd(text, start + name.size());
            if (end != kNoPosition) {
                nameEnd = start + name.size();
                which = i;
                return end;
            }
        }
    }
    return kNoPosition;
}

#if defined(__SSE2__)
inline __m128i foldedBytes(const char* at) {
    return _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), _mm_set1_epi8(0x20));
}

// Where the Width filter bytes of one pattern stand among sixteen positions (a byte mask).
template <size_t Width>
inline __m128i patternAt(const __m128i (&wanted)[3], const __m128i (&bytes)[3]) {
    __m128i hits = _mm_cmpeq_epi8(bytes[0], wanted[0]);
    if constexpr (Width > 1) hits = _mm_and_si128(hits, _mm_cmpeq_epi8(bytes[1], wanted[1]));
    if constexpr (Width > 2) hits = _mm_and_si128(hits, _mm_cmpeq_epi8(bytes[2], wanted[2]));
    return hits;
}

// Sixteen bytes at a time where the processor has it (every x86-64 does), unrolled for the few
// pattern counts and widths there are. True with `i` at the first hit; false with `i` where fewer
// than sixteen bytes are left for the plainer loops.
template <size_t Count, size_t Width, bool Marks>
bool wideCandidate(const NameFilter& filter, std::string_view text, size_t& i) {
    const size_t size = text.size();
    const char* data = text.data();
    __m128i wanted[Count][3] = {};
    for (size_t n = 0; n < Count; ++n) {
        for (size_t j = 0; j < Width; ++j) {
            wanted[n][j] = _mm_load_si128(reinterpret_cast<const __m128i*>(filter.bytes[n][j]));
        }
    }
    const size_t* offset = filter.offset;
    for (; i + 16 + filter.reach - 1 <= size; i += 16) {
        __m128i bytes[3] = {};
        bytes[0] = foldedBytes(data + i + offset[0]);
        if constexpr (Width > 1) bytes[1] = foldedBytes(data + i + offset[1]);
        if constexpr (Width > 2) bytes[2] = foldedBytes(data + i + offset[2]);
        __m128i hits = patternAt<Width>(wanted[0], bytes);
        for (size_t n = 1; n < Count; ++n) hits = _mm_or_si128(hits, patternAt<Width>(wanted[n], bytes));
        if constexpr (Marks) {
            hits = _mm_or_si128(hits, _mm_or_si128(_mm_cmpeq_epi8(bytes[0], _mm_set1_epi8('!')),
                                                   _mm_cmpeq_epi8(bytes[0], _mm_set1_epi8('?'))));
        }
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (mask != 0) {
            i += static_cast<size_t>(std::countr_zero(mask));
            return true;
        }
    }
    return false;
}

#if defined(TIRN_AVX2_FILTER)
// The filter by the second byte's low four bits (NameFilter::byNibble): a position is a hit when
// each of its bytes is the one the table gives for its second byte, which only a pattern's own
// bytes are.
template <size_t Width, bool Marks>
__attribute__((target("avx2"))) bool nibbleCandidate32(const NameFilter& filter, std::string_view text,
                                                       size_t& i) {
    const size_t size = text.size();
    const char* data = text.data();
    const __m256i fold = _mm256_set1_epi8(0x20);
    __m256i expected[Width];
    for (size_t j = 0; j < Width; ++j) {
        expected[j] = _mm256_load_si256(reinterpret_cast<const __m256i*>(filter.expected[j]));
    }
    const size_t* offset = filter.offset;
    for (; i + 32 + filter.reach - 1 <= size; i += 32) {
        __m256i bytes[Width];
        for (size_t j = 0; j < Width; ++j) {
            bytes[j] = _mm256_or_si256(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i + offset[j])), fold);
        }
        // A byte with the top bit set looks up 0, which matches nothing.
        __m256i hits = _mm256_cmpeq_epi8(bytes[0], _mm256_shuffle_epi8(expected[0], bytes[1]));
        for (size_t j = 1; j < Width; ++j) {
            hits = _mm256_and_si256(hits,
                                    _mm256_cmpeq_epi8(bytes[j], _mm256_shuffle_epi8(expected[j], bytes[1])));
        }
        if constexpr (Marks) {
            hits = _mm256_or_si256(hits, _mm256_or_si256(_mm256_cmpeq_epi8(bytes[0], _mm256_set1_epi8('!')),
                                                         _mm256_cmpeq_epi8(bytes[0], _mm256_set1_epi8('?'))));
        }
        const auto mask = static_cast<uint32_t>(_mm256_movemask_epi8(hits));
        if (mask != 0) {
            i += static_cast<size_t>(std::countr_zero(mask));
            return true;
        }
    }
    return false;
}

#endif

template <size_t Count, bool Marks>
bool wideCandidateOfWidth(const NameFilter& filter, std::string_view text, size_t& i) {
    switch (filter.width) {
        case 1:
            return wideCandidate<Count, 1, Marks>(filter, text, i);
        case 2:
            return wideCandidate<Count, 2, Marks>(filter, text, i);
        case 3:
            return wideCandidate<Count, 3, Marks>(filter, text, i);
        default:
            return false;
    }
}

template <size_t Count>
bool wideCandidateOfWidth(const NameFilter& filter, std::string_view text, size_t& i) {
    return filter.stopAtMarks ? wideCandidateOfWidth<Count, true>(filter, text, i)
                              : wideCandidateOfWidth<Count, false>(filter, text, i);
}

bool findNameCandidateWide(const NameFilter& filter, std::string_view text, size_t& i) {
    switch (filter.count) {
        case 1:
            return wideCandidateOfWidth<1>(filter, text, i);
        case 2:
            return wideCandidateOfWidth<2>(filter, text, i);
        case 3:
            return wideCandidateOfWidth<3>(filter, text, i);
        case 4:
            return wideCandidateOfWidth<4>(filter, text, i);
        case 5:
            return wideCandidateOfWidth<5>(filter, text, i);
        case 6:
            return wideCandidateOfWidth<6>(filter, text, i);
        default:
            return false;
    }
}
#endif

// The start of the "[\w.-]+:" prefix whose ':' stands just before `at`, or kNoPosition.
size_t prefixStartBefore(std::string_view text, size_t at) {
    if (at == 0 || text[at - 1] != ':') return kNoPosition;
    size_t run = at - 1;
    while (run > 0 && isPrefixByte(text[run - 1])) --run;
    return run < at - 1 ? run : kNoPosition;
}

// The '<' of an opening tag whose name (or, after a prefix, whose name proper) starts at `at`.
size_t openingBefore(std::string_view text, size_t at) {
    if (at == 0) return kNoPosition;
    if (text[at - 1] == '<') return at - 1;
    const size_t run = prefixStartBefore(text, at);
    if (run == kNoPosition || run == 0 || text[run - 1] != '<') return kNoPosition;
    return run - 1;
}

// The same for a closing tag "</".
size_t closingBefore(std::string_view text, size_t at) {
    if (at >= 2 && text[at - 1] == '/' && text[at - 2] == '<') return at - 2;
    const size_t run = prefixStartBefore(text, at);
    if (run == kNoPosition || run < 2 || text[run - 1] != '/' || text[run - 2] != '<') return kNoPosition;
    return run - 2;
}

}  // namespace

NameFilter makeNameFilter(const std::string_view* names, size_t count) {
    if (count == 0) return NameFilter{};
    size_t shortest = names[0].size();
    for (size_t i = 0; i < count; ++i) shortest = std::min(shortest, names[i].size());
    // Fewer filter bytes when the names would need more patterns than there are: a coarser filter
    // stops more often, but never misses a name.
    for (size_t width = std::min<size_t>(3, shortest); width > 0; --width) {
        NameFilter filter;
        filter.width = width;
        for (size_t j = 0; j < width; ++j) filter.offset[j] = j;
        if (width == 3) filter.offset[2] = shortest - 1;
        filter.reach = filter.offset[width - 1] + 1;
        bool fits = true;
        for (size_t i = 0; i < count && fits; ++i) {
            unsigned char pattern[3] = {};
            for (size_t j = 0; j < width; ++j) {
                pattern[j] = static_cast<unsigned char>(names[i][filter.offset[j]] | 0x20);
            }
            bool known = false;
            for (size_t n = 0; n < filter.count && !known; ++n) {
                known = filter.bytes[n][0][0] == pattern[0] && filter.bytes[n][1][0] == pattern[1] &&
                        filter.bytes[n][2][0] == pattern[2];
            }
            if (known) continue;
            fits = filter.count < NameFilter::kMaxPatterns;
            if (!fits) break;
            for (size_t j = 0; j < width; ++j) std::memset(filter.bytes[filter.count][j], pattern[j], 16);
            ++filter.count;
        }
        if (!fits) continue;
        filter.byNibble = width >= 2;
        for (size_t n = 0; n < filter.count && filter.byNibble; ++n) {
            const size_t key = filter.bytes[n][1][0] & 0x0F;
            filter.byNibble = filter.expected[1][key] == 0;
            for (size_t j = 0; j < width; ++j) {
                filter.expected[j][key] = filter.expected[j][key + 16] = filter.bytes[n][j][0];
            }
        }
        return filter;
    }
    return NameFilter{};
}

namespace {

template <ScanTier Tier>
size_t findNameCandidateIn(const NameFilter& filter, std::string_view text, size_t from) {
    const size_t size = text.size();
    const char* data = text.data();
    const size_t width = filter.width;
    const uint64_t fold = 0x2020202020202020ull;
    // Below the end the rounds' bounds (`i + 32 + reach`) cannot wrap around.
    if (width == 0 || from >= size) return kNoPosition;
    size_t i = from;
#if defined(TIRN_AVX2_FILTER)
    if constexpr (Tier == ScanTier::avx2) {
        if (filter.byNibble) {
            const bool hit = filter.stopAtMarks
                                 ? (filter.width == 3 ? nibbleCandidate32<3, true>(filter, text, i)
                                                      : nibbleCandidate32<2, true>(filter, text, i))
                                 : (filter.width == 3 ? nibbleCandidate32<3, false>(filter, text, i)
                                                      : nibbleCandidate32<2, false>(filter, text, i));
            if (hit) return i;
        }
    }
#endif
#if defined(__SSE2__)
    if constexpr (Tier >= ScanTier::sse2) {
        if (findNameCandidateWide(filter, text, i)) return i;
    }
#endif
    const size_t* offset = filter.offset;
    if constexpr (Tier >= ScanTier::word) {
        for (; i + 8 + filter.reach - 1 <= size; i += 8) {
            uint64_t any = 0;
            for (size_t n = 0; n < filter.count; ++n) {
                uint64_t hits = zeroBytes((loadWord(data + i + offset[0]) | fold) ^
                                          loadWord(reinterpret_cast<const char*>(filter.bytes[n][0])));
                for (size_t j = 1; j < width && hits; ++j) {
                    hits &= zeroBytes((loadWord(data + i + offset[j]) | fold) ^
                                      loadWord(reinterpret_cast<const char*>(filter.bytes[n][j])));
                }
                any |= hits;
            }
            if (filter.stopAtMarks) {
                const uint64_t word = loadWord(data + i) | fold;
                any |= zeroBytes(word ^ 0x2121212121212121ull) | zeroBytes(word ^ 0x3F3F3F3F3F3F3F3Full);
            }
            if (any) return i + (static_cast<size_t>(std::countr_zero(any)) >> 3);
        }
    }
    for (; i + filter.reach <= size; ++i) {
        // Folded like the wider rounds, so that every tier stops at the same bytes.
        if (filter.stopAtMarks && ((data[i] | 0x20) == '!' || (data[i] | 0x20) == '?')) return i;
        for (size_t n = 0; n < filter.count; ++n) {
            size_t j = 0;
            while (j < width &&
                   static_cast<unsigned char>(data[i + offset[j]] | 0x20) == filter.bytes[n][j][0]) {
                ++j;
            }
            if (j == width) return i;
        }
    }
    return kNoPosition;
}

template <ScanTier Tier>
constexpr ByteSearches byteSearchesOf() {
    return {Tier,
            &findByteIn<Tier>,
            &findEitherByteIn<Tier>,
            &findLetterIn<Tier>,
            &skipSpaceBytesIn<Tier>,
            &findNameCandidateIn<Tier>};
}

ByteSearches byteSearchesOf(ScanTier tier) {
    switch (tier) {
        case ScanTier::plain:
            break;
        case ScanTier::word:
            return byteSearchesOf<ScanTier::word>();
        case ScanTier::sse2:
            return byteSearchesOf<ScanTier::sse2>();
        case ScanTier::avx2:
            return byteSearchesOf<ScanTier::avx2>();
    }
    return byteSearchesOf<ScanTier::plain>();
}

}  // namespace

// Plain until the program's start has asked the processor: a search run by another static
// initializer before then is slower, never wrong.
constinit ByteSearches byteSearchesInUse = byteSearchesOf<ScanTier::plain>();
namespace {
[[maybe_unused]] const bool kBestTierChosen = (byteSearchesInUse = byteSearchesOf(bestScanTier()), true);
}

ScanTier activeScanTier() {
    return byteSearchesInUse.tier;
}

bool forceScanTierForTests(ScanTier tier) {
    if (!scanTierAvailable(tier)) return false;
    byteSearchesInUse = byteSearchesOf(tier);
    return true;
}

size_t tagStartBefore(std::string_view text, size_t at, bool& closing) {
    size_t lt = openingBefore(text, at);
    closing = lt == kNoPosition;
    if (closing) lt = closingBefore(text, at);
    return lt;
}

TagScanner makeTagScanner(std::string_view text, std::initializer_list<std::string_view> names) {
    TagScanner scanner;
    scanner.text = text;
    scanner.greater.text = text;
    std::string_view lowered[TagScanner::kMaxNames];
    for (std::string_view name : names) {
        if (name.empty() || scanner.nameCount == TagScanner::kMaxNames) continue;
        std::string& target = scanner.names[scanner.nameCount];
        target.assign(name);
        for (char& c : target) c = lowerByte(c);
        lowered[scanner.nameCount++] = target;
    }
    scanner.filter = makeNameFilter(lowered, scanner.nameCount);
    return scanner;
}

void retargetTagScanner(TagScanner& scanner, std::string_view text) {
    scanner.text = text;
    scanner.greater = GreaterFinder{text};
    scanner.closeFrom = kNoPosition;
    scanner.closeHit = TagHit{};
    scanner.spaceBeforeGt = {};
    scanner.openGaps = scanner.closeGaps = GapCursor{};
}

TagHit findOpeningTag(TagScanner& scanner, size_t from) {
    for (size_t at = findNameCandidate(scanner.filter, scanner.text, from + 1); at != kNoPosition;
         at = findNameCandidate(scanner.filter, scanner.text, at + 1)) {
        const size_t lt = openingBefore(scanner.text, at);
        if (lt == kNoPosition || lt < from) continue;
        TagHit hit;
        hit.nameEnd = openingNamesEnd(scanner, lt, hit.name);
        if (hit.nameEnd == kNoPosition || gapEndAt(scanner.openGaps, scanner.text, lt) != kNoPosition)
            continue;
        hit.at = lt;
        return hit;
    }
    return TagHit{};
}

TagHit searchClosingTag(TagScanner& scanner, size_t from) {
    std::string_view text = scanner.text;
    for (size_t at = findNameCandidate(scanner.filter, text, from + 2); at != kNoPosition;
         at = findNameCandidate(scanner.filter, text, at + 1)) {
        const size_t lt = closingBefore(text, at);
        if (lt == kNoPosition || lt < from) continue;
        TagHit hit;
        hit.end = closingNamesEnd(scanner, lt, hit.nameEnd, hit.name);
        if (hit.end != kNoPosition && gapEndAt(scanner.closeGaps, text, lt) == kNoPosition) {
            hit.at = lt;
            return hit;
        }
    }
    return TagHit{};
}

namespace {

// `lead` at `pos`, '.' as the wildcard.
bool writtenAt(std::string_view text, size_t pos, std::string_view lead) {
    if (pos > text.size() || text.size() - pos < lead.size()) return false;
    for (size_t i = 0; i < lead.size(); ++i) {
        const char c = text[pos + i];
        if (lead[i] == '.') {
            if (c == '\n' || c == '\r') return false;
        } else if (lowerByte(c) != lowerByte(lead[i])) {
            return false;
        }
    }
    return true;
}

// The rest of a written tag whose lead ends at `leadEnd`: "\b[^>]*>" for an opening tag, "\s*>"
// for a closing one. Its end, or kNoPosition.
size_t writtenTail(const WrittenTag& tag, std::string_view text, size_t leadEnd, GreaterFinder& greater) {
    if (tag.closing) return closingTailEnd(text, leadEnd);
    // \b between the lead's last byte and the next (the last may be a wildcard's byte).
    const bool wordBefore = leadEnd > 0 && isWordByte(text[leadEnd - 1]);
    const bool wordAfter = leadEnd < text.size() && isWordByte(text[leadEnd]);
    if (wordBefore == wordAfter) return kNoPosition;
    const size_t gt = findGreater(greater, leadEnd);
    return gt == kNoPosition ? kNoPosition : gt + 1;
}

}  // namespace

WrittenTag makeWrittenTag(std::string_view name, bool closing) {
    WrittenTag tag;
    tag.lead = std::string(closing ? "</" : "<").append(name);
    tag.closing = closing;
    // The tables grow with the lead; a name of more than 64 KB is left to the plain loop.
    const size_t length = tag.lead.size();
    if (tag.lead.find('.') == std::string::npos || length > 65536) return tag;
    tag.words = (length + 63) / 64;
    tag.masks.assign(256 * tag.words, 0);
    for (size_t j = 0; j < length; ++j) {
        for (int c = 0; c < 256; ++c) {
            const char byte = static_cast<char>(c);
            const bool matches =
                tag.lead[j] == '.' ? byte != '\n' && byte != '\r' : lowerByte(byte) == lowerByte(tag.lead[j]);
            if (matches) tag.masks[static_cast<size_t>(c) * tag.words + j / 64] |= uint64_t{1} << (j % 64);
        }
    }
    return tag;
}

size_t findWrittenTag(const WrittenTag& tag, std::string_view text, size_t from, GreaterFinder& greater,
                      size_t& end) {
    const size_t length = tag.lead.size();
    GapCursor gaps = gapCursorFrom(from);
    if (tag.words == 0) {
        // Without wildcards a comparison cannot run past the next '<', so trying each '<' is linear.
        for (size_t lt = findByte(text, from, '<'); lt != kNoPosition; lt = findByte(text, lt + 1, '<')) {
            if (!writtenAt(text, lt, tag.lead) || gapEndAt(gaps, text, lt) != kNoPosition) continue;
            end = writtenTail(tag, text, lt + length, greater);
            if (end != kNoPosition) return lt;
        }
        return kNoPosition;
    }
    // Shift-and: bit j of the state says the lead's first j+1 bytes end here. Match ends come in
    // ascending order, and so do their starts.
    const size_t lastWord = (length - 1) / 64;
    const uint64_t lastBit = uint64_t{1} << ((length - 1) % 64);
    std::vector<uint64_t> state(tag.words, 0);
    for (size_t i = from; i < text.size(); ++i) {
        const uint64_t* mask =
            &tag.masks[static_cast<size_t>(static_cast<unsigned char>(text[i])) * tag.words];
        uint64_t carry = 1;
        for (size_t w = 0; w < tag.words; ++w) {
            const uint64_t next = state[w] >> 63;
            state[w] = ((state[w] << 1) | carry) & mask[w];
            carry = next;
        }
        if ((state[lastWord] & lastBit) == 0 || gapEndAt(gaps, text, i + 1 - length) != kNoPosition) continue;
        end = writtenTail(tag, text, i + 1, greater);
        if (end != kNoPosition) return i + 1 - length;
    }
    return kNoPosition;
}
