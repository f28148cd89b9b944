#include "core/ScanMarkup.h"

#include <cstring>

namespace {

// Classic "C" locale classes; bytes from 0x80 up belong to none of them.
inline bool isWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
inline bool isPrefixChar(char c) { return isWordChar(c) || c == '.' || c == '-'; }
inline bool isSpaceChar(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool isDigitChar(char c) { return c >= '0' && c <= '9'; }
inline char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerName(std::string_view name) {
    std::string lowered(name);
    for (char& c : lowered) c = lowerAscii(c);
    return lowered;
}

size_t findByte(std::string_view text, size_t from, char byte) {
    if (from >= text.size()) return kNoPosition;
    const void* hit = std::memchr(text.data() + from, byte, text.size() - from);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data()) : kNoPosition;
}

// `name` (lower case) at `pos`, ignoring ASCII letter case.
bool nameAt(std::string_view text, size_t pos, std::string_view name) {
    if (pos > text.size() || text.size() - pos < name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (lowerAscii(text[pos + i]) != name[i]) return false;
    }
    return true;
}

// Where the optional "[\w.-]+:" prefix after `pos` would put the name, or kNoPosition.
size_t prefixedNameStart(std::string_view text, size_t pos) {
    size_t run = pos;
    while (run < text.size() && isPrefixChar(text[run])) ++run;
    if (run > pos && run < text.size() && text[run] == ':') return run + 1;
    return kNoPosition;
}

// End of "(?:[\w.-]+:)?NAME\b" of the opening tag whose '<' is at `lt`, prefix tried first.
size_t openingNameEnd(const TagScanner& scanner, size_t lt) {
    std::string_view text = scanner.text;
    size_t starts[2] = {prefixedNameStart(text, lt + 1), lt + 1};
    for (size_t start : starts) {
        if (start == kNoPosition) continue;
        for (size_t i = 0; i < scanner.nameCount; ++i) {
            const std::string& name = scanner.names[i];
            if (!nameAt(text, start, name)) continue;
            size_t end = start + name.size();
            if (end == text.size() || !isWordChar(text[end])) return end;
        }
    }
    return kNoPosition;
}

// End of "</(?:[\w.-]+:)?NAME\s*>" when it starts at `lt`, or kNoPosition.
size_t closingEndAt(const TagScanner& scanner, size_t lt) {
    std::string_view text = scanner.text;
    if (lt + 1 >= text.size() || text[lt + 1] != '/') return kNoPosition;
    size_t starts[2] = {prefixedNameStart(text, lt + 2), lt + 2};
    for (size_t start : starts) {
        if (start == kNoPosition) continue;
        for (size_t i = 0; i < scanner.nameCount; ++i) {
            const std::string& name = scanner.names[i];
            if (!nameAt(text, start, name)) continue;
            size_t end = start + name.size();
            while (end < text.size() && isSpaceChar(text[end])) ++end;
            if (end < text.size() && text[end] == '>') return end + 1;
        }
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
    for (size_t lt = findByte(scanner.text, from, '<'); lt != kNoPosition;
         lt = findByte(scanner.text, lt + 1, '<')) {
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
    scanner.names[0] = lowerName(name);
    scanner.nameCount = 1;
    if (!otherName.empty()) {
        scanner.names[1] = lowerName(otherName);
        scanner.nameCount = 2;
    }
    return scanner;
}

bool findElement(TagScanner& scanner, size_t from, ElementMatch& match) {
    for (size_t lt = findByte(scanner.text, from, '<'); lt != kNoPosition;
         lt = findByte(scanner.text, lt + 1, '<')) {
        size_t nameEnd = openingNameEnd(scanner, lt);
        if (nameEnd == kNoPosition) continue;
        // Every later opening tag ends at this '>' or a later one and so would look for its
        // closing tag further on: if either is missing here, there is no match at all.
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
    return false;
}

bool findPoint(TagScanner& scanner, size_t from, PointMatch& match) {
    std::string_view text = scanner.text;
    for (size_t lt = findByte(text, from, '<'); lt != kNoPosition; lt = findByte(text, lt + 1, '<')) {
        size_t nameEnd = openingNameEnd(scanner, lt);
        if (nameEnd == kNoPosition) continue;
        size_t gt = nextGreater(scanner, nameEnd);
        if (gt == kNoPosition) return false;
        // The lazy attribute list first reaches a '/' that only white space separates from the
        // '>': that is the empty-element form. Otherwise it stops at the '>' itself.
        size_t slash = gt;
        while (slash > nameEnd && isSpaceChar(text[slash - 1])) --slash;
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
    for (size_t lt = findByte(scanner.text, from, '<'); lt != kNoPosition;
         lt = findByte(scanner.text, lt + 1, '<')) {
        size_t nameEnd = openingNameEnd(scanner, lt);
        if (nameEnd == kNoPosition) continue;
        size_t gt = nextGreater(scanner, nameEnd);
        if (gt == kNoPosition) return false;
        match.start = lt;
        match.end = gt + 1;
        match.attributesStart = nameEnd;
        match.attributesEnd = gt;
        return true;
    }
    return false;
}

bool findAttribute(std::string_view attributes, std::string_view name, AttributeMatch& match) {
    std::string lowered = lowerName(name);
    if (lowered.empty()) return false;
    std::string_view text = attributes;
    // Searched lazily and remembered: the first quote at or after quoteFrom is at quoteAt.
    size_t quoteFrom = kNoPosition, quoteAt = kNoPosition;
    auto nextQuote = [&](size_t from) {
        if (quoteFrom != kNoPosition && from >= quoteFrom && (quoteAt == kNoPosition || from <= quoteAt)) {
            return quoteAt;
        }
        quoteFrom = from;
        quoteAt = kNoPosition;
        for (size_t i = from; i < text.size(); ++i) {
            if (text[i] == '"' || text[i] == '\'') {
                quoteAt = i;
                break;
            }
        }
        return quoteAt;
    };
    const char first = lowered[0];
    for (size_t pos = 0; pos < text.size(); ++pos) {
        if (lowerAscii(text[pos]) != first) continue;
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
