#pragma once
// The matchers the analysis reads a GPX file with, on top of the tag scanner core. Each one finds
// exactly the leftmost match (and the same groups) that an ECMAScript regular expression with
// case-insensitive names would give over the text with every '<' and '>' inside a gap (comment,
// processing instruction, document type declaration, CDATA section; TagScanner.h) taken out, but
// in time linear in the text and without recursion, so that
// a segment of many megabytes is no problem. Positions are byte offsets into the scanned text;
// nothing is copied.
//
// Names handed to the scanners must be ASCII word characters; letter case does not matter.
//   element:   <(?:[\w.-]+:)?NAME\b[^>]*>([\s\S]*?)</(?:[\w.-]+:)?NAME\s*>
//   point:     <(?:[\w.-]+:)?NAME\b([^>]*?)(?:/\s*>|>([\s\S]*?)</(?:[\w.-]+:)?NAME\s*>)
//   wetter:    <(?:[\w.-]+:)?NAME\b([^>]*)/?>
//   attribute: \bNAME\s*=\s*["']([^"']+)["']
//   timestamp: (\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:\.\d+)?(Z|[+-]\d{2}:?\d{2})?
//   date:      (\d{4})-(\d{2})-(\d{2})
// NAME may also be a choice of names (TagScanner), tried in the given order (as "(?:trk|rte)").

#include <cstddef>
#include <string>
#include <string_view>

#include "core/TagScanner.h"

struct ElementMatch {
    size_t start = 0, end = 0;                // whole match
    size_t contentStart = 0, contentEnd = 0;  // group 1
};

struct PointMatch {
    size_t start = 0, end = 0;
    size_t attributesStart = 0, attributesEnd = 0;  // group 1
    bool hasContent = false;                        // group 2 took part (not the "/>" form)
    size_t contentStart = 0, contentEnd = 0;
};

struct OpenTagMatch {
    size_t start = 0, end = 0;
    size_t attributesStart = 0, attributesEnd = 0;  // group 1, a trailing '/' included
};

struct AttributeMatch {
    size_t start = 0, end = 0;
    size_t valueStart = 0, valueEnd = 0;
};

struct TimestampMatch {
    size_t start = 0, end = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    size_t zoneStart = 0, zoneLength = 0;  // zoneLength 0: no zone group
};

struct DateMatch {
    size_t start = 0;
    std::string_view year, month, day;
};

// Searches from `from` onwards (use the previous match's end to iterate without overlap).
bool findElement(TagScanner& scanner, size_t from, ElementMatch& match);
bool findPoint(TagScanner& scanner, size_t from, PointMatch& match);
// The first element of each of two names (element pattern), as two findElement searches from the
// text's start would find them, but in one walk over the text's '<' that ends when both are
// settled: for the few tags inside a point, where setting up two name searches costs more.
struct FirstElements {
    bool found[2] = {false, false};
    ElementMatch match[2];
};
FirstElements findFirstElements(std::string_view text, std::string_view first, std::string_view second);
// The attribute list is searched as a string of its own: position 0 counts as a word boundary.
bool findAttribute(std::string_view attributes, std::string_view name, AttributeMatch& match);
// findAttribute of "lat" (found[0], match[0]) and of "lon" (found[1], match[1]).
void findCoordinateAttributes(std::string_view attributes, bool (&found)[2], AttributeMatch (&match)[2]);
bool findTimestamp(std::string_view text, TimestampMatch& match);
// The timestamp only where it starts the text, as nearly every time element writes it: three words
// checked against the layout at once. False does not mean there is none further on.
bool timestampAtStart(std::string_view text, TimestampMatch& match);
// The rest of a stamp at the start of `text` whose first sixteen bytes (date, hour and minute) are
// known to be a stamp's, as timestampAtStart reads it: the second, the fraction and the zone. The
// caller keeps year to minute.
bool timestampTailAt(std::string_view text, TimestampMatch& match);
bool findDate(std::string_view text, DateMatch& match);

// Removes every "<[^>]+>" run, leftmost first, as a global replacement by nothing would.
std::string stripTags(std::string_view text);

// The text of an element's content: nested tags, comments and processing instructions removed and
// entities decoded, but a CDATA section's text taken as it stands.
std::string markupContentText(std::string_view content);
// The text of an element found in `text`, as markupContentText gives it (and elementText). A view of `text`
// when the content holds neither '<' nor '&', otherwise the processed content in `buffer` and a view of it.
std::string_view elementContentView(std::string_view text, const ElementMatch& match, std::string& buffer);
// elementText without copies, in the same way.
std::string_view elementTextView(std::string_view text, std::string_view name, std::string& buffer);
std::string_view elementTextView(TagScanner& scanner, std::string_view text, std::string& buffer);
// attributeNumber without copies for the common value that holds no '&'.
bool attributeNumberView(std::string_view attributes, std::string_view name, double& value);
// The same for an attribute already found.
bool attributeValueNumber(std::string_view attributes, const AttributeMatch& match, double& value);
