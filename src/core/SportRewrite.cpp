#include "core/SportRewrite.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "core/Failure.h"
#include "core/MarkupText.h"
#include "core/SportRewriteScan.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t npos = std::string_view::npos;

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isWordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isPrefixByte(char c) {
    return isWordByte(c) || c == '.' || c == '-';
}

bool isSpaceByte(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// \b behind a name that ends in a word character.
bool wordEndsAt(std::string_view text, std::size_t at) {
    return at >= text.size() || !isWordByte(text[at]);
}

// `pattern` is a literal piece of a regular expression built from file text: '.' is the wildcard,
// every other byte stands for itself in either letter case.
bool piecesMatchAt(std::string_view text, std::size_t at, std::string_view pattern) {
    if (at > text.size() || text.size() - at < pattern.size()) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = text[at + i];
        if (pattern[i] == '.') {
            if (c == '\n' || c == '\r') return false;
        } else if (lowerAscii(c) != lowerAscii(pattern[i])) {
            return false;
        }
    }
    return true;
}

// The first '>' at or behind a position. Successive questions come with growing positions, so
// remembering the last answer keeps a whole search linear even when many tags share one far '>'.
struct GreaterThanFinder {
    std::string_view text;
    std::size_t askedFrom = npos;
    std::size_t foundAt = npos;

    std::size_t from(std::size_t position) {
        if (askedFrom != npos && position >= askedFrom && (foundAt == npos || position <= foundAt))
            return foundAt;
        askedFrom = position;
        foundAt = text.find('>', position);
        return foundAt;
    }
};

enum class Tail { None, AnyUpToGreaterThan, SpacesThenGreaterThan };

// Completes a match whose name ends at `nameEnd`: \b, then the tail. Returns the match end or npos.
std::size_t finishTag(std::string_view text, std::size_t nameEnd, Tail tail, GreaterThanFinder& greaterThan) {
    if (!wordEndsAt(text, nameEnd)) return npos;
    switch (tail) {
        case Tail::None:
            return nameEnd;
        case Tail::AnyUpToGreaterThan: {
            const std::size_t at = greaterThan.from(nameEnd);
            return at == npos ? npos : at + 1;
        }
        case Tail::SpacesThenGreaterThan: {
            std::size_t at = nameEnd;
            while (at < text.size() && isSpaceByte(text[at])) ++at;
            return at < text.size() && text[at] == '>' ? at + 1 : npos;
        }
    }
    return npos;
}

// The length of the first of `names` (lower case) that stands at `at` in any letter case.
std::size_t nameAt(std::string_view text, std::size_t at, std::initializer_list<std::string_view> names) {
    for (std::string_view name : names) {
        // The names here hold letters only, so the wildcard rule never applies.
        if (piecesMatchAt(text, at, name)) return name.size();
    }
    return 0;
}

// <(?:[\w.-]+:)?(?:NAME|...)\b plus the tail, or with "</" when `closing`. The optional prefix is
// tried first, as the greedy '?' does; a prefix run holds no '<', so each byte is looked at a bounded
// number of times.
TagSpan findAnyPrefixTag(std::string_view text, std::size_t from, bool closing,
                         std::initializer_list<std::string_view> names, Tail tail) {
    GreaterThanFinder greaterThan{text};
    for (std::size_t open = text.find('<', from); open != npos; open = text.find('<', open + 1)) {
        std::size_t at = open + 1;
        if (closing) {
            if (at >= text.size() || text[at] != '/') continue;
            ++at;
        }
        std::size_t run = at;
        while (run < text.size() && isPrefixByte(text[run])) ++run;
        for (std::size_t nameBegin :
             {run > at && run < text.size() && text[run] == ':' ? run + 1 : npos, at}) {
            if (nameBegin == npos) continue;
            const std::size_t length = nameAt(text, nameBegin, names);
            if (length == 0) continue;
            const std::size_t end = finishTag(text, nameBegin + length, tail, greaterThan);
            if (end == npos) continue;
            return TagSpan{true, open, at, nameBegin + length, end};
        }
    }
    return TagSpan{};
}

// Completes a lead match ending at `nameEnd`. The name of an end tag may end in a non-word byte, so
// only start tags ask for \b.
std::size_t completeLead(std::string_view text, std::size_t nameEnd, Tail tail, bool needsWordEnd,
                         GreaterThanFinder& greaterThan) {
    if (needsWordEnd) return finishTag(text, nameEnd, tail, greaterThan);
    std::size_t at = nameEnd;
    while (at < text.size() && isSpaceByte(text[at])) ++at;
    return at < text.size() && text[at] == '>' ? at + 1 : npos;
}

// Shift-and over the whole text for a lead with wildcards: comparing at every '<' could cost the
// lead's length per position, since a '.' also matches '<'. Match ends come in ascending order.
TagSpan findWildcardLead(std::string_view text, std::size_t from, std::string_view lead, Tail tail,
                         bool needsWordEnd) {
    const std::size_t length = lead.size();
    const std::size_t words = (length + 63) / 64;
    // A search runs once per stretch between links, with the same two leads each time; their tables
    // are built once.
    static thread_local std::map<std::string, std::vector<std::uint64_t>, std::less<>> tables;
    auto table = tables.find(lead);
    if (table == tables.end()) {
        if (tables.size() >= 8) tables.clear();
        std::vector<std::uint64_t> built(256 * words, 0);
        for (std::size_t j = 0; j < length; ++j) {
            for (int c = 0; c < 256; ++c) {
                const char byte = static_cast<char>(c);
                const bool matches =
                    lead[j] == '.' ? byte != '\n' && byte != '\r' : lowerAscii(byte) == lowerAscii(lead[j]);
                if (matches) {
                    built[static_cast<std::size_t>(c) * words + j / 64] |= std::uint64_t{1} << (j % 64);
                }
            }
        }
        table = tables.emplace(std::string(lead), std::move(built)).first;
    }
    const std::vector<std::uint64_t>& masks = table->second;
    const std::size_t lastWord = (length - 1) / 64;
    const std::uint64_t lastBit = std::uint64_t{1} << ((length - 1) % 64);
    std::vector<std::uint64_t> state(words, 0);
    GreaterThanFinder greaterThan{text};
    for (std::size_t i = from; i < text.size(); ++i) {
        const std::uint64_t* mask =
            &masks[static_cast<std::size_t>(static_cast<unsigned char>(text[i])) * words];
        std::uint64_t carry = 1;
        for (std::size_t w = 0; w < words; ++w) {
            const std::uint64_t next = state[w] >> 63;
            state[w] = ((state[w] << 1) | carry) & mask[w];
            carry = next;
        }
        if ((state[lastWord] & lastBit) == 0) continue;
        const std::size_t open = i + 1 - length;
        const std::size_t end = completeLead(text, i + 1, tail, needsWordEnd, greaterThan);
        if (end != npos) return TagSpan{true, open, open + 1, i + 1, end};
    }
    return TagSpan{};
}

// `lead` + \b + tail, where `lead` is a literal piece with wildcards that starts with '<'.
TagSpan findLeadTag(std::string_view text, std::size_t from, std::string_view lead, Tail tail,
                    bool needsWordEnd) {
    // The shift-and tables grow with the lead; a name of more than 64 KB is left to the plain loop.
    if (lead.find('.') != std::string_view::npos && lead.size() <= 65536) {
        return findWildcardLead(text, from, lead, tail, needsWordEnd);
    }
    // Without wildcards a comparison cannot run past the next '<', so trying each '<' is linear.
    GreaterThanFinder greaterThan{text};
    for (std::size_t open = text.find('<', from); open != npos; open = text.find('<', open + 1)) {
        if (!piecesMatchAt(text, open, lead)) continue;
        const std::size_t nameEnd = open + lead.size();
        const std::size_t end = completeLead(text, nameEnd, tail, needsWordEnd, greaterThan);
        if (end == npos) continue;
        return TagSpan{true, open, open + 1, nameEnd, end};
    }
    return TagSpan{};
}

std::string escapeText(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// The first type element that belongs to the track or route itself: it stands before the first
// segment, point or extensions tag, and not inside a link (whose type is a MIME type). A type
// element deeper down is never touched.
TagSpan findOwnTypeElement(std::string_view body, std::string_view prefix) {
    const TagSpan firstChild = findFirstPointOrExtension(body);
    const std::string_view head = body.substr(0, firstChild.found ? firstChild.begin : body.size());
    std::size_t segmentBegin = 0;
    while (segmentBegin <= head.size()) {
        std::size_t segmentEnd = head.size();
        std::size_t nextBegin = npos;
        const TagSpan link = findLinkStart(head, segmentBegin);
        if (link.found) {
            segmentEnd = link.begin;
            const bool selfClosing = head[link.end - 2] == '/';
            if (selfClosing) {
                nextBegin = link.end;
            } else {
                const TagSpan linkEnd = findLinkEnd(head, link.end);
                nextBegin = linkEnd.found ? linkEnd.end : npos;
            }
        }
        TagSpan type = findTypeElement(head.substr(segmentBegin, segmentEnd - segmentBegin), prefix);
        if (type.found) {
            type.begin += segmentBegin;
            type.nameBegin += segmentBegin;
            type.nameEnd += segmentBegin;
            type.end += segmentBegin;
            return type;
        }
        if (nextBegin == npos) break;
        segmentBegin = nextBegin;
    }
    return TagSpan{};
}

}  // namespace

TagSpan findTrackOrRouteStart(std::string_view text) {
    return findAnyPrefixTag(text, 0, false, {"trk", "rte"}, Tail::AnyUpToGreaterThan);
}

TagSpan findEndTag(std::string_view text, std::size_t from, std::string_view tagName) {
    return findLeadTag(text, from, std::string("</").append(tagName), Tail::SpacesThenGreaterThan, false);
}

TagSpan findTypeElement(std::string_view text, std::string_view prefix) {
    const std::string startLead = std::string("<").append(prefix).append("type");
    const TagSpan start = findLeadTag(text, 0, startLead, Tail::AnyUpToGreaterThan, true);
    if (!start.found) return TagSpan{};
    // The lazy content ends at the first end tag behind the start tag. When there is none, no later
    // start tag can have one either: its '>' lies no earlier.
    const TagSpan end = findEndTag(text, start.end, std::string(prefix).append("type"));
    if (!end.found) return TagSpan{};
    return TagSpan{true, start.begin, start.nameBegin, start.nameEnd, end.end};
}

TagSpan findFirstPointOrExtension(std::string_view text) {
    return findAnyPrefixTag(text, 0, false, {"trkseg", "rtept", "trkpt", "extensions"}, Tail::None);
}

TagSpan findLinkStart(std::string_view text, std::size_t from) {
    return findAnyPrefixTag(text, from, false, {"link"}, Tail::AnyUpToGreaterThan);
}

TagSpan findLinkEnd(std::string_view text, std::size_t from) {
    return findAnyPrefixTag(text, from, true, {"link"}, Tail::SpacesThenGreaterThan);
}

bool rewriteSport(const RouteInfo& route, std::string_view sportKey, std::string& message) {
    try {
        const fs::path& filePath = route.filePath;
        const std::string text = readFileText(filePath);

        const TagSpan start = findTrackOrRouteStart(text);
        if (!start.found) throw GpxFailure(kMessageNoTrackOrRoute);
        const std::string tagName = text.substr(start.nameBegin, start.nameEnd - start.nameBegin);
        const std::size_t colon = tagName.find(':');
        const std::string prefix = colon == std::string::npos ? std::string() : tagName.substr(0, colon + 1);
        const std::size_t bodyStart = start.end;

        const TagSpan end = findEndTag(text, bodyStart, tagName);
        if (!end.found) throw GpxFailure(kMessageIncomplete);
        const std::size_t bodyEnd = end.begin;
        const std::string_view body = std::string_view(text).substr(bodyStart, bodyEnd - bodyStart);

        const std::string element = "<" + prefix + "type>" + escapeText(sportKey) + "</" + prefix + "type>";
        std::string content;
        content.reserve(text.size() + element.size() + 8);
        content.append(text, 0, bodyStart);
        const TagSpan type = findOwnTypeElement(body, prefix);
        if (type.found) {
            content.append(body.substr(0, type.begin));
            content.append(element);
            content.append(body.substr(type.end));
        } else {
            content.append("\r\n    ");
            content.append(element);
            content.append(body);
        }
        content.append(text, bodyEnd, std::string::npos);

        fs::path temporary = filePath;
        temporary += ".tirn.tmp";
        if (!writeFileDurably(temporary, content)) {
            // A half-written temporary file is of no use to anyone; anything else of that name
            // (a folder, say) is not ours to remove.
            std::error_code ignored;
            if (fs::symlink_status(temporary, ignored).type() == fs::file_type::regular) {
                fs::remove(temporary, ignored);
            }
            throw GpxFailure(kMessageTempNotWritten);
        }
        // Keep the route file's permissions; the replace takes the temporary file's.
        std::error_code ignored;
        const fs::perms permissions = fs::status(filePath, ignored).permissions();
        if (!ignored && (permissions & fs::perms::owner_write) != fs::perms::none) {
            fs::permissions(temporary, permissions, ignored);
        }
        if (!replaceFile(temporary, filePath)) {
            fs::remove(temporary);  // a failure here carries its own message
            throw GpxFailure(kMessageNotReplaced);
        }
        return true;
    } catch (const std::exception& failure) {
        message = failure.what();
        return false;
    }
}
