#include "core/ScanMarkup.h"

#include <algorithm>
#include <bit>
#include <cstdint>

bool findElement(TagScanner& scanner, size_t from, ElementMatch& match) {
    const TagHit open = findOpeningTag(scanner, from);
    if (open.at == kNoPosition) return false;
    // Every later opening tag ends at this '>' or a later one and so would look for its closing
    // tag further on: if either is missing here, there is no match at all.
    const size_t gt = findGreater(scanner, open.nameEnd);
    if (gt == kNoPosition) return false;
    const TagHit& close = findClosingTag(scanner, gt + 1);
    if (close.at == kNoPosition) return false;
    match.start = open.at;
    match.end = close.end;
    match.contentStart = gt + 1;
    match.contentEnd = close.at;
    return true;
}

bool findPoint(TagScanner& scanner, size_t from, PointMatch& match) {
    std::string_view text = scanner.text;
    for (TagHit open = findOpeningTag(scanner, from); open.at != kNoPosition;
         open = findOpeningTag(scanner, open.at + 1)) {
        const size_t nameEnd = open.nameEnd;
        const size_t gt = findGreater(scanner, nameEnd);
        if (gt == kNoPosition) return false;
        // The lazy attribute list first reaches a '/' that only white space separates from the
        // '>': that is the empty-element form. Otherwise it stops at the '>' itself.
        const size_t slash = std::max(scanner.spaceBeforeGt.startFor(text, gt), nameEnd);
        if (slash > nameEnd && text[slash - 1] == '/') {
            match.start = open.at;
            match.end = gt + 1;
            match.attributesStart = nameEnd;
            match.attributesEnd = slash - 1;
            match.hasContent = false;
            match.contentStart = match.contentEnd = 0;
            return true;
        }
        const TagHit& close = findClosingTag(scanner, gt + 1);
        if (close.at == kNoPosition) continue;  // a later empty-element point may still match
        match.start = open.at;
        match.end = close.end;
        match.attributesStart = nameEnd;
        match.attributesEnd = gt;
        match.hasContent = true;
        match.contentStart = gt + 1;
        match.contentEnd = close.at;
        return true;
    }
    return false;
}

FirstElements findFirstElements(std::string_view text, std::string_view first, std::string_view second) {
    FirstElements result;
    const std::string_view names[2] = {first, second};
    enum State { kSeekOpen, kSeekClose, kDone } state[2] = {kSeekOpen, kSeekOpen};
    GreaterFinder greater{text};
    for (size_t lt = findByte(text, 0, '<'); lt != kNoPosition; lt = findByte(text, lt + 1, '<')) {
        const char next = lt + 1 < text.size() ? text[lt + 1] : 0;
        Gap gap;
        if ((next == '!' || next == '?') && gapAt(text, lt, gap)) {
            lt = gap.end - 1;  // this walk meets every '<', so it steps over gaps itself
            continue;
        }
        const bool closing = next == '/';
        for (size_t start : tagNameStarts(text, lt + (closing ? 2 : 1))) {
            if (start == kNoPosition) continue;
            for (size_t i = 0; i < 2; ++i) {
                ElementMatch& match = result.match[i];
                if (closing) {
                    if (state[i] != kSeekClose || lt < match.contentStart || !nameAt(text, start, names[i]))
                        continue;
                    const size_t end = closingTailEnd(text, start + names[i].size());
                    if (end == kNoPosition) continue;
                    state[i] = kDone;
                    result.found[i] = true;
                    match.contentEnd = lt;
                    match.end = end;
                } else {
                    if (state[i] != kSeekOpen) continue;
                    const size_t nameEnd = nameEndAt(text, start, names[i]);
                    if (nameEnd == kNoPosition) continue;
                    // Without a '>' here no later opening tag has one either.
                    const size_t gt = findGreater(greater, nameEnd);
                    state[i] = gt == kNoPosition ? kDone : kSeekClose;
                    match.start = lt;
                    match.contentStart = gt + 1;
                }
            }
        }
        if (state[0] == kDone && state[1] == kDone) break;
    }
    return result;
}

bool findAttribute(std::string_view attributes, std::string_view name, AttributeMatch& match) {
    if (name.empty()) return false;
    // Lower-cased on the stack: this runs twice for every point of a track.
    char loweredBytes[32];
    std::string loweredLong;
    std::string_view lowered;
    if (name.size() <= sizeof loweredBytes) {
        for (size_t i = 0; i < name.size(); ++i) loweredBytes[i] = lowerByte(name[i]);
        lowered = std::string_view(loweredBytes, name.size());
    } else {
        loweredLong.assign(name);
        for (char& c : loweredLong) c = lowerByte(c);
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
        quoteAt = findEitherByte(text, from, '"', '\'');
        return quoteAt;
    };
    const char first = lowered[0];
    const bool letter = first >= 'a' && first <= 'z';
    for (size_t pos = 0; pos < text.size(); ++pos) {
        if (letter) {
            pos = findLetter(text, pos, first);
            if (pos == kNoPosition) break;
        } else if (lowerByte(text[pos]) != first) {
            continue;
        }
        if (pos > 0 && isWordByte(text[pos - 1])) continue;
        if (!nameAt(text, pos, lowered)) continue;
        size_t at = pos + lowered.size();
        while (at < text.size() && isSpaceByte(text[at])) ++at;
        if (at >= text.size() || text[at] != '=') continue;
        ++at;
        while (at < text.size() && isSpaceByte(text[at])) ++at;
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

void findCoordinateAttributes(std::string_view attributes, bool (&found)[2], AttributeMatch (&match)[2]) {
    found[0] = findAttribute(attributes, "lat", match[0]);
    found[1] = findAttribute(attributes, "lon", match[1]);
}

namespace {

bool digitsAt(std::string_view text, size_t pos, size_t count) {
    if (pos > text.size() || text.size() - pos < count) return false;
    for (size_t i = 0; i < count; ++i) {
        if (!isDigitByte(text[pos + i])) return false;
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

// The time and zone behind a date at `pos` that is followed by "Thh:mm:ss": the fraction is greedy
// and nothing after it can fail, so it takes every digit.
void finishTimestamp(std::string_view text, size_t pos, TimestampMatch& match) {
    match.start = pos;
    size_t at = pos + 19;
    if (at + 1 < text.size() && text[at] == '.' && isDigitByte(text[at + 1])) {
        at += 2;
        while (at < text.size() && isDigitByte(text[at])) ++at;
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
}

}  // namespace

bool timestampAtStart(std::string_view text, TimestampMatch& match) {
    if (text.size() < 19) return false;
    const char* data = text.data();
    const uint64_t date = loadWord(data), middle = loadWord(data + 8), time = loadWord(data + 11);
    // Separators where they must be, and a digit (high half 3, still 3 with 6 added) in the bytes
    // of `digits`. Little-endian: byte 0 is the lowest.
    const auto layout = [](uint64_t word, uint64_t digits, uint64_t separatorMask, uint64_t separators) {
        const uint64_t threes = 0x3030303030303030 & digits;
        return (word & separatorMask) == separators && (word & 0xF0F0F0F0F0F0F0F0 & digits) == threes &&
               ((word + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0 & digits) == threes;
    };
    // "dddd-dd-", "ddT" and "dd:dd:dd".
    if (!layout(date, 0x00FFFF00FFFFFFFF, 0xFF0000FF00000000, 0x2D00002D00000000) ||
        !layout(middle, 0x000000000000FFFF, 0x0000000000FF0000, 0x0000000000540000) ||
        !layout(time, 0xFFFF00FFFF00FFFF, 0x0000FF0000FF0000, 0x00003A00003A0000)) {
        return false;
    }
    const auto two = [&](size_t at) { return (data[at] - '0') * 10 + (data[at + 1] - '0'); };
    match.year = two(0) * 100 + two(2);
    match.month = two(5);
    match.day = two(8);
    match.hour = two(11);
    match.minute = two(14);
    match.second = two(17);
    finishTimestamp(text, 0, match);
    return true;
}

bool timestampTailAt(std::string_view text, TimestampMatch& match) {
    if (text.size() < 19 || text[16] != ':' || !isDigitByte(text[17]) || !isDigitByte(text[18])) return false;
    match.second = (text[17] - '0') * 10 + (text[18] - '0');
    finishTimestamp(text, 0, match);
    return true;
}

bool findTimestamp(std::string_view text, TimestampMatch& match) {
    if (timestampAtStart(text, match)) return true;
    if (text.size() < 19) return false;
    for (size_t pos = 0; pos + 19 <= text.size(); ++pos) {
        if (!isDigitByte(text[pos]) || !dateAt(text, pos)) continue;
        if (text[pos + 10] != 'T' || !digitsAt(text, pos + 11, 2) || text[pos + 13] != ':' ||
            !digitsAt(text, pos + 14, 2) || text[pos + 16] != ':' || !digitsAt(text, pos + 17, 2)) {
            continue;
        }
        match.year = digitValue(text, pos, 4);
        match.month = digitValue(text, pos + 5, 2);
        match.day = digitValue(text, pos + 8, 2);
        match.hour = digitValue(text, pos + 11, 2);
        match.minute = digitValue(text, pos + 14, 2);
        match.second = digitValue(text, pos + 17, 2);
        finishTimestamp(text, pos, match);
        return true;
    }
    return false;
}

bool findDate(std::string_view text, DateMatch& match) {
    for (size_t pos = 0; pos + 10 <= text.size(); ++pos) {
        if (!isDigitByte(text[pos]) || !dateAt(text, pos)) continue;
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
