// libFuzzer target for the text core of the sport rewrite: on generated GPX (or the input's own
// bytes), the result differs from the input only in the one type element that was replaced, or in
// the one inserted behind the first track or route start tag with its line break and indent; a
// failure is reported exactly when there is no such start tag or no end tag for it; and a second
// rewrite with the same key changes nothing.
//
// The checks use a plain reference of the start and end tag searches, written straight from the
// patterns (slow, but independent of the scanner core).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "../core/ReferenceMarkup.h"
#include "core/Failure.h"
#include "core/SportRewrite.h"

namespace {

const char* const kSportKeys[] = {"cycling",  "running",         "motorcycling",   "driving", "hiking",
                                  "walking",  "mountain_biking", "gravel_cycling", "e_bike",  "trail_running",
                                  "swimming", "skiing",          "inline_skating", "rowing",  "kayaking"};

// Pieces the generator strings together: tags that matter to the rewrite in many spellings, and
// loose bytes for the odd corners.
const char* const kPrefixes[] = {
    "", "", "", "gpx:", "GPX:", "a.b:", "a\nb:", ".:", "x:", "g-1:", "..:", "trk:"};
const char* const kNames[] = {"trk",   "TRK",        "Trk",   "rte",  "RTE",      "type",   "TYPE",
                              "Type",  "typed",      "types", "link", "LINK",     "trkseg", "trkpt",
                              "rtept", "extensions", "name",  "gpx",  "metadata", "trkx",   "rtex"};
const char* const kAttributes[] = {"",   "",   " a=\"1\"", " href=\"u\"", " x='>'", "/", " lang=\"de\"",
                                   "\n", "-x", "_1"};
const char* const kClosers[] = {">", ">", ">", "", " >", "/>", "\r\n>", " / >"};
const char* const kTexts[] = {"x", "Run", "running", " ",        "\n",   "\r\n  ",   "<",
                              ">", "/",   "</",      "<!--",     "-->",  "&amp;",    "\"",
                              "'", ":",   ".",       "\xC3\xA9", "\xFF", "text/html"};

struct Input {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool done() const { return at >= size; }
    size_t next(size_t below) { return at < size ? data[at++] % below : 0; }
};

template <size_t N>
const char* pick(Input& in, const char* const (&list)[N]) {
    return list[in.next(N)];
}

std::string generate(Input& in) {
    std::string text;
    while (!in.done() && text.size() < 16384) {
        switch (in.next(8)) {
            case 0:
                text += pick(in, kTexts);
                break;
            case 1:
                text.push_back(static_cast<char>(in.next(256)));
                break;
            case 2:
            case 3:
                text += "</";
                text += pick(in, kPrefixes);
                text += pick(in, kNames);
                text += in.next(4) == 0 ? " " : "";
                text += in.next(8) == 0 ? "" : ">";
                break;
            default:
                text += "<";
                text += pick(in, kPrefixes);
                text += pick(in, kNames);
                text += pick(in, kAttributes);
                text += pick(in, kClosers);
                break;
        }
    }
    return text;
}

bool isWord(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool isPrefixChar(char c) {
    return isWord(c) || c == '.' || c == '-';
}
bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// `piece` at `at`: '.' any byte but a line break, everything else in either case.
bool pieceAt(std::string_view text, size_t at, std::string_view piece) {
    if (at > text.size() || text.size() - at < piece.size()) return false;
    for (size_t i = 0; i < piece.size(); ++i) {
        const char c = text[at + i];
        if (piece[i] == '.' ? (c == '\n' || c == '\r') : lower(c) != lower(piece[i])) return false;
    }
    return true;
}

// "(?:[\w.-]+:)?(?:NAME|...)\b" right behind the '<' at `lt`, prefix first: the name's end or npos.
size_t tagNameEnd(std::string_view text, size_t lt, const std::vector<std::string_view>& names) {
    size_t run = lt + 1;
    while (run < text.size() && isPrefixChar(text[run])) ++run;
    std::vector<size_t> starts;
    if (run > lt + 1 && run < text.size() && text[run] == ':') starts.push_back(run + 1);
    starts.push_back(lt + 1);
    for (size_t start : starts) {
        for (std::string_view name : names) {
            const size_t end = start + name.size();
            if (pieceAt(text, start, name) && (end == text.size() || !isWord(text[end]))) return end;
        }
    }
    return std::string_view::npos;
}

constexpr size_t kLongestName = 256;

struct Reference {
    bool hasStart = false;
    bool hasEnd = false;
    size_t bodyStart = 0;
    size_t bodyEnd = 0;
    size_t nameLength = 0;
    std::string prefix;
};

Reference reference(std::string_view text) {
    Reference ref;
    const size_t npos = std::string_view::npos;
    // <((?:[\w.-]+:)?(?:trk|rte))\b[^>]*>
    const size_t lastGreater = text.rfind('>');
    size_t lt = 0, nameEnd = npos;
    for (; lt < text.size(); ++lt) {
        if (text[lt] != '<') continue;
        nameEnd = tagNameEnd(text, lt, {"trk", "rte"});
        if (nameEnd != npos && lastGreater != npos && lastGreater >= nameEnd) break;
    }
    if (lt >= text.size()) return ref;
    ref.hasStart = true;
    ref.nameLength = nameEnd - lt - 1;
    ref.bodyStart = text.find('>', nameEnd) + 1;
    const std::string_view tagName = text.substr(lt + 1, nameEnd - lt - 1);
    const size_t colon = tagName.find(':');
    if (colon != npos) ref.prefix = std::string(tagName.substr(0, colon + 1));
    // </TAGNAME\s*>
    // The plain search costs the name's length at every "</"; a name of pages is not worth it.
    if (tagName.size() > kLongestName) return ref;
    const std::string lead = "</" + std::string(tagName);
    for (size_t at = ref.bodyStart; at < text.size(); ++at) {
        if (!pieceAt(text, at, lead)) continue;
        size_t end = at + lead.size();
        while (end < text.size() && isSpace(text[end])) ++end;
        if (end < text.size() && text[end] == '>') {
            ref.hasEnd = true;
            ref.bodyEnd = at;
            break;
        }
    }
    return ref;
}

// No segment, point or extensions tag in text[from, to).
bool noPointTagBetween(std::string_view text, size_t from, size_t to) {
    for (size_t at = from; at < to; ++at) {
        if (text[at] == '<' && tagNameEnd(text, at, {"trkseg", "rtept", "trkpt", "extensions"}) <= to) {
            return false;
        }
    }
    return true;
}

// text[from, to) is one element "<PREFIXtype\b[^>]*>...</PREFIXtype\s*>".
bool isTypeElement(std::string_view text, size_t from, size_t to, const std::string& prefix) {
    const std::string start = "<" + prefix + "type";
    if (to - from < start.size() + 3 || !pieceAt(text, from, start) || text[to - 1] != '>') return false;
    if (isWord(text[from + start.size()])) return false;
    size_t close = to - 1;
    while (close > from && isSpace(text[close - 1])) --close;
    const std::string end = "</" + prefix + "type";
    return close >= from + end.size() && pieceAt(text, close - end.size(), end);
}

// A broken invariant says which one before it stops the run.
void check(bool condition, const char* invariant) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", invariant);
    std::abort();
}

void checkRewrite(std::string_view text, std::string_view key) {
    // Comments, processing instructions, the DOCTYPE and CDATA sections hold no tags.
    const std::string seen = maskedGaps(text);
    const Reference ref = reference(seen);
    if (ref.nameLength > kLongestName) return;
    const bool utf16 = text.size() >= 2 &&
                       ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'));
    std::string result;
    try {
        result = rewriteSportText(text, key);
    } catch (const GpxFailure& failure) {
        const std::string_view message = failure.what();
        if (utf16) {
            check(message == kMessageUtf16NotRewritten, "a UTF-16 file is refused as such");
            return;
        }
        check(ref.hasStart ? message == kMessageIncomplete && !ref.hasEnd : message == kMessageNoTrackOrRoute,
              "fails exactly without a start tag or its end tag");
        return;
    }
    check(!utf16, "a UTF-16 file is never rewritten");
    check(ref.hasStart && ref.hasEnd, "succeeds only with a start tag and its end tag");
    const std::string element = "<" + ref.prefix + "type>" + std::string(key) + "</" + ref.prefix + "type>";
    const std::string inserted = "\r\n    " + element;
    bool explained =
        result.size() == text.size() + inserted.size() &&
        std::string_view(result).substr(0, ref.bodyStart) == text.substr(0, ref.bodyStart) &&
        std::string_view(result).substr(ref.bodyStart, inserted.size()) == inserted &&
        std::string_view(result).substr(ref.bodyStart + inserted.size()) == text.substr(ref.bodyStart);
    if (!explained) {
        // Replaced: result = text[0, i) + element + text[j, end) with a type element at [i, j). The
        // element must cover every byte where the two differ: i no later than their common start,
        // and its end no earlier than where their common end begins.
        size_t common = 0;
        while (common < text.size() && common < result.size() && text[common] == result[common]) ++common;
        size_t commonEnd = 0;
        while (commonEnd < text.size() && commonEnd < result.size() &&
               text[text.size() - 1 - commonEnd] == result[result.size() - 1 - commonEnd]) {
            ++commonEnd;
        }
        const size_t lowest =
            std::max(ref.bodyStart, result.size() - std::min(result.size(), commonEnd + element.size()));
        for (size_t i = result.find(element, lowest); i != std::string::npos && i <= common && !explained;
             i = result.find(element, i + 1)) {
            const size_t tail = result.size() - i - element.size();
            if (text.size() < tail + i) continue;
            const size_t j = text.size() - tail;
            explained = j <= ref.bodyEnd && isTypeElement(seen, i, j, ref.prefix) &&
                        noPointTagBetween(seen, ref.bodyStart, i);
        }
    }
    check(explained, "only the one type element differs");
    check(rewriteSportText(result, key) == result, "a second rewrite changes nothing");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // A file of its own (the seeds are real GPX files) or, after a key and a mode byte, either
    // a text or the choices for the generator, which reaches the tags the rewrite looks at far more
    // often than mutated bytes do.
    if (bytes.starts_with("<") || bytes.starts_with("\xEF\xBB\xBF")) {
        checkRewrite(bytes, kSportKeys[size % 15]);
    } else if (size >= 2 && data[1] % 2 == 0) {
        checkRewrite(bytes.substr(2), kSportKeys[data[0] % 15]);
    } else if (size >= 2) {
        Input in{data + 2, size - 2};
        checkRewrite(generate(in), kSportKeys[data[0] % 15]);
    }
    return 0;
}
