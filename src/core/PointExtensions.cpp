#include "core/PointExtensions.h"

#include <algorithm>
#include <cmath>

#include "core/MarkupText.h"
#include "core/ScanMarkup.h"
#include "core/TagScanner.h"

namespace {

// The extensions element first, then the figures' names in the order of PointExtraId.
constexpr size_t kNameCount = 1 + kPointExtraCount;
constexpr std::string_view kNames[kNameCount] = {"extensions", "hr", "cad", "atemp", "power"};

bool plausible(size_t id, double value) {
    if (!std::isfinite(value)) return false;
    if (id == kHeartRateExtra) return value > 0;
    if (id == kAirTemperatureExtra) return true;
    return value >= 0;
}

// Mostly a plain figure right up to the end tag; anything else by the general rules.
bool readFigure(std::string_view content, const ElementMatch& match, std::string& buffer, double& value) {
    if (plainNumberEnd(content, match.contentStart, value) == match.contentEnd) return true;
    return parseNumberPrefix(elementContentView(content, match, buffer), value);
}

// The end of "</(?:[\w.-]+:)?NAME\s*>" when it starts at `lt`, or kNoPosition.
size_t closingTagEndAt(std::string_view content, size_t lt, std::string_view name) {
    if (lt + 1 >= content.size() || content[lt] != '<' || content[lt + 1] != '/') return kNoPosition;
    for (size_t start : tagNameStarts(content, lt + 2)) {
        if (start == kNoPosition || !nameAt(content, start, name)) continue;
        const size_t end = closingTailEnd(content, start + name.size());
        if (end != kNoPosition) return end;
    }
    return kNoPosition;
}

// The names' first letters, folded: a tag starting with none of them needs no closer look.
bool mayBeName(char first) {
    switch (lowerByte(first)) {
        case 'e':
        case 'h':
        case 'c':
        case 'a':
        case 'p':
            return true;
        default:
            return false;
    }
}

// The index in kNames of the name that stands alone at `start` ("NAME\\b"), letters folded, or
// kNameCount. The first letter picks the one name to compare.
size_t nameIndexAt(std::string_view content, size_t start) {
    size_t i = kNameCount;
    switch (lowerByte(content[start])) {
        case 'e':
            i = 0;
            break;
        case 'h':
            i = 1;
            break;
        case 'c':
            i = 2;
            break;
        case 'a':
            i = 3;
            break;
        case 'p':
            i = 4;
            break;
        default:
            return kNameCount;
    }
    // nameEndAt, written out: it runs for most tags of every point that has extensions.
    const std::string_view name = kNames[i];
    if (content.size() - start < name.size()) return kNameCount;
    for (size_t k = 1; k < name.size(); ++k) {
        if (lowerByte(content[start + k]) != name[k]) return kNameCount;
    }
    const size_t end = start + name.size();
    return end == content.size() || !isWordByte(content[end]) ? i : kNameCount;
}

// closingTagEndAt for the end tag written with the opening tag's prefix (empty for none), the
// common case, without telling the prefix again; anything else by closingTagEndAt itself.
size_t sameClosingTagEnd(std::string_view content, size_t lt, std::string_view prefix,
                         std::string_view name) {
    size_t at = lt + 2;
    if (content.substr(lt, 2) == "</" && content.substr(at, prefix.size()) == prefix) {
        at += prefix.size();
        if (prefix.empty() || (at < content.size() && content[at] == ':')) {
            if (!prefix.empty()) ++at;
            if (nameAt(content, at, name)) {
                const size_t end = closingTailEnd(content, at + name.size());
                if (end != kNoPosition) return end;
            }
        }
    }
    return closingTagEndAt(content, lt, name);
}

// plainNumberEnd, with a short whole number right up to the next tag read on the spot.
size_t figureEnd(std::string_view content, size_t from, double& value) {
    uint64_t digits = 0;
    size_t at = from;
    while (at < content.size() && at - from < 10 && content[at] >= '0' && content[at] <= '9')
        digits = digits * 10 + static_cast<uint64_t>(content[at++] - '0');
    if (at > from && at < content.size() && content[at] == '<') {
        value = static_cast<double>(digits);
        return at;
    }
    return plainNumberEnd(content, from, value);
}

void keepPlausible(const double* figure, const bool* read, PointExtras& extras) {
    for (size_t id = 0; id < kPointExtraCount; ++id) {
        if (read[id] && plausible(id, figure[id])) {
            extras.value[id] = figure[id];
            extras.has[id] = true;
        }
    }
}

// The layout nearly every recorder writes, "<extensions><p:TrackPointExtension><p:hr>142</p:hr>
// ...</extensions>", in one forward sweep from behind "<extensions>": a tag's name is told by its
// first letter, and a figure's end tag is expected with the prefix of its opening tag. It gives up
// (false, `extras` untouched) at anything the general walk would treat otherwise: a gap, a figure
// not written plainly, a prefix that could itself be taken for a name.
bool readCommonLayout(std::string_view content, size_t from, PointExtras& extras) {
    double figure[kPointExtraCount] = {};
    bool read[kPointExtraCount] = {};
    const size_t size = content.size();
    for (size_t lt = findByte(content, from, '<'); lt != kNoPosition; lt = findByte(content, lt + 1, '<')) {
        if (lt + 1 >= size) return false;
        const char next = content[lt + 1];
        if (next == '!' || next == '?') return false;
        const bool closing = next == '/';
        const size_t start = lt + (closing ? 2 : 1);
        size_t nameStart = start;
        size_t run = start;
        while (run < size && isPrefixByte(content[run])) ++run;
        if (run > start && run < size && content[run] == ':') {
            if (mayBeName(content[start])) return false;
            nameStart = run + 1;
        }
        if (nameStart >= size) return false;
        const size_t which = nameIndexAt(content, nameStart);
        if (which == kNameCount) {
            lt = run - 1;  // no '<' among the prefix's bytes
            continue;
        }
        const size_t nameEnd = nameStart + kNames[which].size();
        if (closing) {
            if (which == 0 && closingTailEnd(content, nameEnd) != kNoPosition) {
                keepPlausible(figure, read, extras);
                return true;
            }
            continue;
        }
        const size_t id = which - 1;
        if (which == 0 || read[id]) continue;
        if (nameEnd >= size || content[nameEnd] != '>') return false;
        const size_t valueEnd = figureEnd(content, nameEnd + 1, figure[id]);
        if (valueEnd == kNoPosition) return false;
        const std::string_view prefix = content.substr(start, nameStart == start ? 0 : run - start);
        const size_t end = sameClosingTagEnd(content, valueEnd, prefix, kNames[which]);
        if (end == kNoPosition) return false;
        read[id] = true;
        lt = end - 1;
    }
    return false;
}

}  // namespace

void readPointExtras(std::string_view content, PointExtras& extras, std::string& buffer) {
    extras = PointExtras{};
    // Most points have no extensions: without an 'x' there is none, and the tags need no walk.
    const size_t x = findLetter(content, 0, 'x');
    if (x == kNoPosition) return;
    // Nor can an extensions tag start before the '<' ahead of the first 'x'; the walk starts there
    // when no gap before the 'x' can hold that '<' (a gap starts with "<!" or "<?"; those behind
    // it the walk steps over itself).
    size_t walkFrom = 0;
    if (findEitherByte(content.substr(0, x), 0, '!', '?') == kNoPosition) {
        const size_t lt = content.rfind('<', x);
        constexpr std::string_view kOpen = "<extensions>";
        if (lt != std::string_view::npos) {
            walkFrom = lt;
            if (content.substr(lt, kOpen.size()) == kOpen &&
                readCommonLayout(content, lt + kOpen.size(), extras))
                return;
        }
    }
    enum State { kSeekOpen, kSeekClose, kDone } state[kNameCount] = {};
    ElementMatch match[kNameCount];
    // Figures read where their element was met in its plain form, "<p:hr>142</p:hr>".
    double figure[kNameCount] = {};
    bool read[kNameCount] = {};
    double value = 0;
    GreaterFinder greater{content};
    // One walk over the content's '<' (every gap stepped over), as findFirstElements does for two
    // names: the figures count only once the extensions element has found its end tag.
    for (size_t lt = findByte(content, walkFrom, '<'); lt != kNoPosition;
         lt = findByte(content, lt + 1, '<')) {
        const char next = lt + 1 < content.size() ? content[lt + 1] : 0;
        Gap gap;
        if ((next == '!' || next == '?') && gapAt(content, lt, gap)) {
            lt = gap.end - 1;
            continue;
        }
        const bool closing = next == '/';
        size_t skipTo = 0;
        for (size_t start : tagNameStarts(content, lt + (closing ? 2 : 1))) {
            if (start == kNoPosition || start >= content.size() || !mayBeName(content[start])) continue;
            for (size_t i = 0; i < kNameCount; ++i) {
                if (closing) {
                    if (state[i] != kSeekClose || lt < match[i].contentStart ||
                        !nameAt(content, start, kNames[i]))
                        continue;
                    const size_t end = closingTailEnd(content, start + kNames[i].size());
                    if (end == kNoPosition) continue;
                    state[i] = kDone;
                    match[i].contentEnd = lt;
                    match[i].end = end;
                    if (i == 0) {
                        // A figure's element still open ends beyond the extensions: it is none.
                        for (size_t id = 0; id < kPointExtraCount; ++id) {
                            if (state[id + 1] != kDone || match[id + 1].end > lt) continue;
                            if (read[id + 1]) {
                                value = figure[id + 1];
                            } else if (!readFigure(content, match[id + 1], buffer, value)) {
                                continue;
                            }
                            if (plausible(id, value)) {
                                extras.value[id] = value;
                                extras.has[id] = true;
                            }
                        }
                        return;
                    }
                } else {
                    if (state[i] != kSeekOpen ||
                        (i > 0 && (state[0] != kSeekClose || lt < match[0].contentStart)))
                        continue;
                    const size_t nameEnd = nameEndAt(content, start, kNames[i]);
                    if (nameEnd == kNoPosition) continue;
                    const size_t gt = nameEnd < content.size() && content[nameEnd] == '>'
                                          ? nameEnd
                                          : findGreater(greater, nameEnd);
                    if (gt == kNoPosition) return;  // no later tag has a '>' either
                    state[i] = kSeekClose;
                    match[i].start = lt;
                    match[i].contentStart = gt + 1;
                    // A plain figure right up to the element's end tag: read here, and the walk
                    // goes on behind that end tag, which can end no other element.
                    if (i > 0 && gt == nameEnd) {
                        const size_t figureEnd = plainNumberEnd(content, gt + 1, figure[i]);
                        const size_t end = figureEnd == kNoPosition
                                               ? kNoPosition
                                               : closingTagEndAt(content, figureEnd, kNames[i]);
                        if (end != kNoPosition) {
                            state[i] = kDone;
                            read[i] = true;
                            match[i].contentEnd = figureEnd;
                            match[i].end = end;
                            skipTo = std::max(skipTo, end);
                        }
                    }
                }
            }
        }
        if (skipTo > 0) lt = skipTo - 1;
    }
}
