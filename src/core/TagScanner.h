#pragma once
// The tag scanner core that the analysis and the sport rewrite share: byte classes, name matching,
// and the searches for opening tags, '>' and closing tags of the one tag grammar GPX is read with,
//   opening:  <(?:[\w.-]+:)?NAME\b          (a choice of up to four names, tried in order)
//   closing:  </(?:[\w.-]+:)?NAME\s*>
// and for tag names written in a file, which a pattern takes as they stand ('.' is then a wildcard):
//   <WRITTEN\b[^>]*>   and   </WRITTEN\s*>
// Every search gives the leftmost match that an ECMAScript regular expression with case-insensitive
// ASCII names would give over the text with each '<' and '>' inside a comment, processing
// instruction, document type declaration or CDATA section (a gap, below) taken out, in time linear
// in the text and without recursion. Positions are byte
// offsets into the scanned text; nothing is copied.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/ScanTier.h"

inline constexpr size_t kNoPosition = std::string_view::npos;

// Byte classes of the classic "C" locale; bytes from 0x80 up belong to none of them. Looked up in
// a table because every '<' of a file passes through these tests several times.
struct ByteTables {
    enum : unsigned char { kWord = 1, kPrefix = 2, kSpace = 4, kDigit = 8 };
    unsigned char classes[256] = {};
    char lower[256] = {};
    constexpr ByteTables() {
        for (int c = 0; c < 256; ++c) {
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            const bool digit = c >= '0' && c <= '9';
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
inline constexpr ByteTables kByteTables;

inline unsigned char byteClass(char c) {
    return kByteTables.classes[static_cast<unsigned char>(c)];
}
inline bool isWordByte(char c) {  // \w
    return byteClass(c) & ByteTables::kWord;
}
inline bool isPrefixByte(char c) {  // [\w.-]
    return byteClass(c) & ByteTables::kPrefix;
}
inline bool isSpaceByte(char c) {  // \s
    return byteClass(c) & ByteTables::kSpace;
}
inline bool isDigitByte(char c) {  // \d
    return byteClass(c) & ByteTables::kDigit;
}
inline char lowerByte(char c) {
    return kByteTables.lower[static_cast<unsigned char>(c)];
}

// Where the white space before the '>' at `gt` starts: the point searches tell the empty-element
// form by a '/' there. Many opening tags may share one '>', so it is measured once per '>'.
struct SpaceBeforeGreater {
    size_t gt = kNoPosition;
    size_t start = kNoPosition;
    size_t startFor(std::string_view text, size_t at) {
        if (gt != at) {
            size_t from = at;
            while (from > 0 && isSpaceByte(text[from - 1])) --from;
            gt = at;
            start = from;
        }
        return start;
    }
};

// Eight bytes at a time: a word loaded from any address, and 0x80 in every byte of `x` that is zero
// and nowhere else.
inline uint64_t loadWord(const char* at) {
    uint64_t word;
    std::memcpy(&word, at, 8);
    return word;
}
inline uint64_t zeroBytes(uint64_t x) {
    const uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
    return ~(((x & low7) + low7) | x) & ~low7;
}

struct NameFilter;

// The byte searches of one tier (core/ScanTier): the searches below call through the table of the
// tier in use, one indirect call and no test of the tier per call. It holds the plain tier from
// the program's first instruction and the best one once the program has started.
struct ByteSearches {
    ScanTier tier;
    size_t (*findByte)(std::string_view text, size_t from, char byte);
    size_t (*findEitherByte)(std::string_view text, size_t from, char one, char other);
    size_t (*findLetter)(std::string_view text, size_t from, char letter);
    size_t (*skipSpaceBytes)(std::string_view text, size_t at);
    size_t (*findNameCandidate)(const NameFilter& filter, std::string_view text, size_t from);
};
extern ByteSearches byteSearchesInUse;

// Every search below finds nothing from a start at or past the end (skipSpaceBytes: the size).
// First `byte` at or after `from`.
inline size_t findByte(std::string_view text, size_t from, char byte) {
    return byteSearchesInUse.findByte(text, from, byte);
}
// First `one` or `other` at or after `from`.
inline size_t findEitherByte(std::string_view text, size_t from, char one, char other) {
    return byteSearchesInUse.findEitherByte(text, from, one, other);
}
// First byte at or after `from` that is the lower-case letter `letter` in either case.
inline size_t findLetter(std::string_view text, size_t from, char letter) {
    return byteSearchesInUse.findLetter(text, from, letter);
}
// `name` (lower case) at `pos` in any ASCII letter case.
inline bool nameAt(std::string_view text, size_t pos, std::string_view name) {
    if (pos > text.size() || text.size() - pos < name.size()) return false;
    const char* at = text.data() + pos;
    for (size_t i = 0; i < name.size(); ++i) {
        if (lowerByte(at[i]) != name[i]) return false;
    }
    return true;
}
// The first byte at or after `at` that is not white space (\s), or the text's size; many bytes a
// round, as tags are mostly indented by a line break and a run of spaces.
inline size_t skipSpaceBytes(std::string_view text, size_t at) {
    return byteSearchesInUse.skipSpaceBytes(text, at);
}
// End of "\s*>" from `pos`, or kNoPosition.
size_t closingTailEnd(std::string_view text, size_t pos);

// Comments "<!--...-->", processing instructions "<?...?>", the document type declaration
// "<!DOCTYPE...>" (with an internal subset "[...]") and CDATA sections "<![CDATA[...]]>" hold no
// markup: a '<' or '>' inside one starts or ends no tag. They are found from left to right, as a
// reader meets them, and one without its end runs to the end of the text.
struct Gap {
    size_t end = 0;  // just behind it
    bool cdata = false;
    size_t innerStart = 0, innerEnd = 0;  // a CDATA section's text
};
// The gap whose '<' is at `lt`; false when none starts there.
bool gapAt(std::string_view text, size_t lt, Gap& gap);

// Tells whether a position lies in a gap, for positions asked in ascending order. Gaps are looked
// for a stretch at a time just ahead of the positions asked (by their rare '!' and '?'), so a text
// without them costs one byte search per stretch, and a position in a known clear range two
// comparisons. A position asked behind the known range starts the walk over.
struct GapCursor {
    size_t clearFrom = 0;  // no gap covers [clearFrom, clearUntil); kNoPosition: to the end
    size_t clearUntil = 0;
    size_t gapStart = kNoPosition;  // the gap found at clearUntil, once found
    size_t gapEnd = kNoPosition;
};
// A cursor for a text whose position `from` is known to lie outside every gap: behind a tag's '>',
// say, for a search that starts there.
inline GapCursor gapCursorFrom(size_t from) {
    return GapCursor{from, from, kNoPosition, kNoPosition};
}
size_t gapEndAtSlow(GapCursor& gaps, std::string_view text, size_t at);
// The end of the gap that holds `at`, or kNoPosition when none does.
inline size_t gapEndAt(GapCursor& gaps, std::string_view text, size_t at) {
    if (at >= gaps.clearFrom && at < gaps.clearUntil) return kNoPosition;
    return gapEndAtSlow(gaps, text, at);
}

// The first '>' at or after a position that is not inside a gap; the positions asked lie outside
// gaps (behind a tag's name, say). A gap can start only at a '<', which an attribute list mostly
// lacks, so the search stops at '<' as well and steps over a gap that starts there. Successive
// questions come with growing positions, so the last answer is remembered: a whole search stays
// linear even when many tags share one far '>'.
struct GreaterFinder {
    std::string_view text;
    size_t askedFrom = kNoPosition;
    size_t foundAt = kNoPosition;
};
size_t findGreaterOutsideGaps(std::string_view text, size_t from);
inline size_t findGreater(GreaterFinder& finder, size_t from) {
    if (finder.askedFrom != kNoPosition && from >= finder.askedFrom &&
        (finder.foundAt == kNoPosition || from <= finder.foundAt)) {
        return finder.foundAt;
    }
    finder.askedFrom = from;
    finder.foundAt = findGreaterOutsideGaps(finder.text, from);
    return finder.foundAt;
}

struct TagHit {
    size_t at = kNoPosition;       // the '<'
    size_t nameEnd = kNoPosition;  // just behind the name
    size_t end = kNoPosition;      // closing tags: just behind the '>'
    size_t name = 0;               // index into the scanner's names
};

// Tags are found through a few bytes of their names (letter case folded), which occur far less
// often than '<': `width` bytes of each name, at `offset` from the name's start (the first two and
// the last of the shortest name, so that trkseg is not held up at every trkpt), as repeated byte
// patterns; `reach` is one past the last offset. Names that share their filter bytes share a
// pattern.
struct NameFilter {
    static constexpr size_t kMaxPatterns = 6;
    size_t count = 0;
    size_t width = 0;
    size_t offset[3] = {0, 1, 2};
    size_t reach = 0;
    alignas(16) unsigned char bytes[kMaxPatterns][3][16] = {};
    // With two or three filter bytes whose second bytes differ in their low four bits, the
    // expected bytes looked up by those bits (twice, one table for each half of a 32-byte round;
    // 0 where no pattern is, which no folded byte equals): one comparison per filter byte for all
    // patterns together.
    bool byNibble = false;
    alignas(32) unsigned char expected[3][32] = {};
    // Also stop at every '!' and '?' (and the control bytes 0x01 and 0x1F, which fold to them): a
    // walk that meets every gap's start in order this way needs no search of its own for them.
    bool stopAtMarks = false;
};
// Names are lower case and not empty, with at most kMaxPatterns different first letters; the
// shortest decides the offsets.
NameFilter makeNameFilter(const std::string_view* names, size_t count);
// First position at or after `from` where the filter bytes of one of the names stand, letter case
// folded (or, with stopAtMarks, a mark): a superset of the positions where a name starts, every hit
// to be checked exactly.
inline size_t findNameCandidate(const NameFilter& filter, std::string_view text, size_t from) {
    return byteSearchesInUse.findNameCandidate(filter, text, from);
}

// The '<' of the tag whose name (or, after a prefix, whose name proper) starts at `at`, with
// `closing` telling "</" from "<"; kNoPosition when `at` is not where a tag's name starts.
size_t tagStartBefore(std::string_view text, size_t at, bool& closing);
// Where the name proper of a tag may begin when its "<" or "</" ends at `start`: behind a prefix
// "[\w.-]+:" (kNoPosition without one), and at `start` itself. The prefix comes first, as the
// greedy '?' of "(?:[\w.-]+:)?" tries it first.
std::array<size_t, 2> tagNameStarts(std::string_view text, size_t start);
// "NAME\b" at `pos` (`name` lower case, word characters): its end, or kNoPosition.
size_t nameEndAt(std::string_view text, size_t pos, std::string_view name);

// One scan over one text for a choice of tag names. It remembers where the next '>' and the next
// closing tag were found, so a left-to-right iteration stays linear even when many opening tags
// share one far-away '>' or closing tag.
struct TagScanner {
    static constexpr size_t kMaxNames = 4;
    std::string_view text;
    std::array<std::string, kMaxNames> names;  // lower case, ASCII word characters
    size_t nameCount = 0;
    NameFilter filter;
    GreaterFinder greater;
    size_t closeFrom = kNoPosition;  // closing-tag search cache: searched from closeFrom, found closeHit
    TagHit closeHit;
    SpaceBeforeGreater spaceBeforeGt;  // point search
    GapCursor openGaps, closeGaps;     // the two searches ask in ascending order each
};

// Names are ASCII word characters in any letter case; empty ones are left out, and names beyond
// kMaxNames too.
TagScanner makeTagScanner(std::string_view text, std::initializer_list<std::string_view> names);
// The same names over another text (cheaper than a new scanner for every point).
void retargetTagScanner(TagScanner& scanner, std::string_view text);

// The first opening tag whose '<' is at or after `from`. Tags come out in text order.
TagHit findOpeningTag(TagScanner& scanner, size_t from);
// The first '>' at or after `from`.
inline size_t findGreater(TagScanner& scanner, size_t from) {
    return findGreater(scanner.greater, from);
}
// The first closing tag whose '<' is at or after `from` (searchClosingTag: without the
// remembered answer).
TagHit searchClosingTag(TagScanner& scanner, size_t from);
inline const TagHit& findClosingTag(TagScanner& scanner, size_t from) {
    if (scanner.closeFrom != kNoPosition && from >= scanner.closeFrom &&
        (scanner.closeHit.at == kNoPosition || from <= scanner.closeHit.at)) {
        return scanner.closeHit;
    }
    scanner.closeHit = searchClosingTag(scanner, from);
    scanner.closeFrom = from;
    return scanner.closeHit;
}

// A tag name as a file writes it, taken into a pattern as it stands: letters match in either case
// and '.' matches any byte but a line break (so the prefix a.b: also accepts a<b:).
struct WrittenTag {
    std::string lead;  // "<NAME" or "</NAME"
    bool closing = false;
    // Shift-and tables for a lead with wildcards (a '.' also matches '<', so trying each '<' could
    // cost the lead's length per position); empty without wildcards.
    size_t words = 0;
    std::vector<uint64_t> masks;
};
WrittenTag makeWrittenTag(std::string_view name, bool closing);
// The first "<NAME\b[^>]*>" (or "</NAME\s*>") whose '<' is at or after `from` and outside every gap
// (`from` must lie outside them); `end` is set just behind it. `greater` must be a finder over the
// same text.
size_t findWrittenTag(const WrittenTag& tag, std::string_view text, size_t from, GreaterFinder& greater,
                      size_t& end);
