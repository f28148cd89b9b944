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
        if (lt != std::string_view::npos) walkFrom = lt;
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
