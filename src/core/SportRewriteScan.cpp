#include "core/SportRewriteScan.h"

#include <string>

#include "core/TagScanner.h"

namespace {

// An opening tag of the scanner's names and the '>' behind it; "\b[^>]*>" when `withTail`.
TagSpan openingSpan(TagScanner& scanner, std::size_t from, bool withTail) {
    const TagHit open = findOpeningTag(scanner, from);
    if (open.at == kNoPosition) return TagSpan{};
    if (!withTail) return TagSpan{true, open.at, open.at + 1, open.nameEnd, open.nameEnd};
    // Without a '>' here there is none for any later tag either.
    const std::size_t gt = findGreater(scanner, open.nameEnd);
    if (gt == kNoPosition) return TagSpan{};
    return TagSpan{true, open.at, open.at + 1, open.nameEnd, gt + 1};
}

TagSpan closingSpan(TagScanner& scanner, std::size_t from) {
    const TagHit& close = findClosingTag(scanner, from);
    if (close.at == kNoPosition) return TagSpan{};
    return TagSpan{true, close.at, close.at + 2, close.nameEnd, close.end};
}

// The type element's two tags, prepared once for all the stretches between links.
struct TypeTags {
    WrittenTag start;
    WrittenTag end;
};

TypeTags makeTypeTags(std::string_view prefix) {
    const std::string name = std::string(prefix).append("type");
    return TypeTags{makeWrittenTag(name, false), makeWrittenTag(name, true)};
}

TagSpan findTypeElementWith(const TypeTags& tags, std::string_view text) {
    GreaterFinder greater{text};
    std::size_t startEnd = kNoPosition;
    const std::size_t start = findWrittenTag(tags.start, text, 0, greater, startEnd);
    if (start == kNoPosition) return TagSpan{};
    // The lazy content ends at the first end tag behind the start tag. When there is none, no later
    // start tag can have one either: its '>' lies no earlier.
    std::size_t end = kNoPosition;
    if (findWrittenTag(tags.end, text, startEnd, greater, end) == kNoPosition) return TagSpan{};
    return TagSpan{true, start, start + 1, start + tags.start.lead.size(), end};
}

}  // namespace

TagSpan findTrackOrRouteStart(std::string_view text) {
    TagScanner scanner = makeTagScanner(text, {"trk", "rte"});
    return openingSpan(scanner, 0, true);
}

TagSpan findEndTag(std::string_view text, std::size_t from, std::string_view tagName) {
    const WrittenTag tag = makeWrittenTag(tagName, true);
    GreaterFinder greater{text};
    std::size_t end = kNoPosition;
    const std::size_t begin = findWrittenTag(tag, text, from, greater, end);
    if (begin == kNoPosition) return TagSpan{};
    return TagSpan{true, begin, begin + 2, begin + tag.lead.size(), end};
}

TagSpan findTypeElement(std::string_view text, std::string_view prefix) {
    return findTypeElementWith(makeTypeTags(prefix), text);
}

TagSpan findFirstPointOrExtension(std::string_view text) {
    TagScanner scanner = makeTagScanner(text, {"trkseg", "rtept", "trkpt", "extensions"});
    return openingSpan(scanner, 0, false);
}

TagSpan findLinkStart(std::string_view text, std::size_t from) {
    TagScanner scanner = makeTagScanner(text, {"link"});
    return openingSpan(scanner, from, true);
}

TagSpan findLinkEnd(std::string_view text, std::size_t from) {
    TagScanner scanner = makeTagScanner(text, {"link"});
    return closingSpan(scanner, from);
}

TagSpan findOwnTypeElement(std::string_view body, std::string_view prefix) {
    const TagSpan firstChild = findFirstPointOrExtension(body);
    const std::string_view head = body.substr(0, firstChild.found ? firstChild.begin : body.size());
    const TypeTags tags = makeTypeTags(prefix);
    TagScanner links = makeTagScanner(head, {"link"});
    std::size_t stretchBegin = 0;
    while (stretchBegin <= head.size()) {
        std::size_t stretchEnd = head.size();
        std::size_t nextBegin = kNoPosition;
        const TagSpan link = openingSpan(links, stretchBegin, true);
        if (link.found) {
            stretchEnd = link.begin;
            const bool selfClosing = head[link.end - 2] == '/';
            if (selfClosing) {
                nextBegin = link.end;
            } else {
                const TagSpan linkEnd = closingSpan(links, link.end);
                nextBegin = linkEnd.found ? linkEnd.end : kNoPosition;
            }
        }
        TagSpan type = findTypeElementWith(tags, head.substr(stretchBegin, stretchEnd - stretchBegin));
        if (type.found) {
            type.begin += stretchBegin;
            type.nameBegin += stretchBegin;
            type.nameEnd += stretchBegin;
            type.end += stretchBegin;
            return type;
        }
        if (nextBegin == kNoPosition) break;
        stretchBegin = nextBegin;
    }
    return TagSpan{};
}
