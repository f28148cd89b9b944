#pragma once
// The tag searches of the sport rewrite, on top of the tag scanner core. Each gives exactly the
// leftmost match that the ECMAScript pattern named beside it gives with case-insensitive ASCII
// matching, but scans the text without recursion (a track body runs to megabytes). A name or prefix
// taken from the file is part of the pattern as it stands, so a '.' in it matches any byte but '\n'
// and '\r'.

#include <cstddef>
#include <string_view>

struct TagSpan {
    bool found = false;
    std::size_t begin = 0;      // the '<'
    std::size_t nameBegin = 0;  // first group, where the pattern has one
    std::size_t nameEnd = 0;
    std::size_t end = 0;  // just behind the match
};

// <((?:[\w.-]+:)?(?:trk|rte))\b[^>]*>
TagSpan findTrackOrRouteStart(std::string_view text);
// </TAGNAME\s*>  searched from `from` on
TagSpan findEndTag(std::string_view text, std::size_t from, std::string_view tagName);
// <PREFIXtype\b[^>]*>[\s\S]*?</PREFIXtype\s*>
TagSpan findTypeElement(std::string_view text, std::string_view prefix);
// <(?:[\w.-]+:)?(?:trkseg|rtept|trkpt|extensions)\b  : where the own part of a track or route ends
TagSpan findFirstPointOrExtension(std::string_view text);
// <(?:[\w.-]+:)?link\b[^>]*>  searched from `from` on
TagSpan findLinkStart(std::string_view text, std::size_t from);
// </(?:[\w.-]+:)?link\s*>  searched from `from` on
TagSpan findLinkEnd(std::string_view text, std::size_t from);

// The first type element (with the track's prefix) that belongs to the track or route itself: it
// stands before the first segment, point or extensions tag, and not inside a link (whose type is a
// MIME type). A type element deeper down is never touched.
TagSpan findOwnTypeElement(std::string_view body, std::string_view prefix);
