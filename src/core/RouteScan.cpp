#include "core/RouteScan.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "core/TagScanner.h"

namespace {

// The point names first: names sharing a first letter are tried in this order.
enum NameId : size_t { kTrkpt, kRtept, kTrkseg, kTrk, kRte, kType, kName, kTime, kWetter, kNameCount };
constexpr std::string_view kNames[kNameCount] = {"trkpt", "rtept", "trkseg", "trk",   "rte",
                                                 "type",  "name",  "time",   "wetter"};

constexpr uint32_t bit(NameId id) {
    return uint32_t{1} << id;
}

// A tag of one of the names: an opening tag can carry several at once (<trkpt:trkseg> is a trkseg
// behind a prefix and a bare trkpt), a closing tag only one.
struct Tag {
    size_t at = kNoPosition;
    bool closing = false;
    uint32_t names = 0;
    size_t nameEnd[kNameCount] = {};
    size_t end = 0;  // closing tags
};

// "<X ...>" then the first "</X>" behind its '>': the lazy element search, one tag at a time.
struct ElementSearch {
    enum State { kSeekOpen, kSeekClose, kDone } state = kSeekOpen;
    size_t from = 0;
    bool found = false;
    ElementMatch match;
};

// "<P ...>" then "/>" or the first "</P>": the point search, one tag at a time.
struct PointSearch {
    enum State { kSeekOpen, kSeekClose, kStopped } state = kSeekOpen;
    size_t from = 0;
    PointMatch pending;    // the opening tag waiting for its end tag
    bool hasHead = false;  // the pending point's fields, read at its start tag
    TrackPoint head;
};

struct Scan {
    std::string_view text;
    const RouteScanSink& sink;
    GreaterFinder greater;
    RouteScan result;
    uint32_t wanted = 0;  // names the filter stops at
    NameFilter filter;
    SpaceBeforeGreater spaceBeforeGt;

    enum SegmentState { kSeekSegment, kInSegment, kNoMoreSegments } segments = kSeekSegment;
    size_t segmentFrom = 0;
    size_t segmentContent = 0;
    PointSearch trackPoints;
    PointSearch routePoints;
    bool routeWanted = true;
    ElementSearch scope;
    ElementSearch nameInText, typeInText, nameInScope, typeInScope, time;
    size_t weatherFrom = 0;
    bool weatherWanted = true;
    size_t resumeAt = 0;  // the filter goes on from here at the earliest
    StampCache stamps;    // the track points' times
    Gap lastGap;          // the last gap the walk stepped over
    size_t lastGapStart = kNoPosition;

    Scan(std::string_view text, const RouteScanSink& sink) : text(text), sink(sink), greater{text} {
        nameInScope.state = typeInScope.state = ElementSearch::kDone;  // until the scope opens
    }
};

uint32_t wantedNames(const Scan& scan) {
    uint32_t names = 0;
    if (scan.segments != Scan::kNoMoreSegments) names |= bit(kTrkseg);
    if (scan.segments == Scan::kInSegment && scan.trackPoints.state != PointSearch::kStopped)
        names |= bit(kTrkpt);
    if (scan.routeWanted && scan.routePoints.state != PointSearch::kStopped) names |= bit(kRtept);
    if (scan.scope.state != ElementSearch::kDone) names |= bit(kTrk) | bit(kRte);
    if (scan.typeInText.state != ElementSearch::kDone || scan.typeInScope.state != ElementSearch::kDone) {
        names |= bit(kType);
    }
    if (scan.nameInText.state != ElementSearch::kDone || scan.nameInScope.state != ElementSearch::kDone) {
        names |= bit(kName);
    }
    if (scan.time.state != ElementSearch::kDone) names |= bit(kTime);
    if (scan.weatherWanted) names |= bit(kWetter);
    return names;
}

// Called after every tag: a search that finished lets the filter stop at fewer places.
void updateFilter(Scan& scan) {
    const uint32_t names = wantedNames(scan);
    if (names == scan.wanted) return;
    scan.wanted = names;
    std::string_view list[kNameCount];
    size_t count = 0;
    for (size_t id = 0; id < kNameCount; ++id) {
        if (names & (uint32_t{1} << id)) list[count++] = kNames[id];
    }
    scan.filter = makeNameFilter(list, count);
    scan.filter.stopAtMarks = true;
}

// The names by their first letter (folded), to try only those that can match.
struct NamesByLetter {
    uint32_t names[256] = {};
    constexpr NamesByLetter() {
        for (size_t id = 0; id < kNameCount; ++id) {
            const auto letter = static_cast<unsigned char>(kNames[id][0]);
            names[letter] |= uint32_t{1} << id;
            names[letter - 'a' + 'A'] |= uint32_t{1} << id;
        }
    }
};
constexpr NamesByLetter kNamesByLetter;

// The tag whose name may start at `at`, with the wanted names it carries.
bool tagAt(const Scan& scan, size_t at, Tag& tag) {
    std::string_view text = scan.text;
    tag.at = tagStartBefore(text, at, tag.closing);
    if (tag.at == kNoPosition) return false;
    tag.names = 0;
    for (size_t start : tagNameStarts(text, tag.at + (tag.closing ? 2 : 1))) {
        if (start == kNoPosition || start >= text.size()) continue;
        uint32_t names =
            kNamesByLetter.names[static_cast<unsigned char>(text[start])] & scan.wanted & ~tag.names;
        for (; names != 0; names &= names - 1) {
            const auto id = static_cast<size_t>(std::countr_zero(names));
            if (!nameAt(text, start, kNames[id])) continue;
            const size_t nameEnd = start + kNames[id].size();
            if (tag.closing) {
                tag.end = closingTailEnd(text, nameEnd);
                if (tag.end == kNoPosition) continue;
                tag.names = uint32_t{1} << id;
                tag.nameEnd[id] = nameEnd;
                return true;
            }
            if (nameEnd < text.size() && isWordByte(text[nameEnd])) continue;
            tag.names |= uint32_t{1} << id;
            tag.nameEnd[id] = nameEnd;
            // No other name can end in a word boundary here: it would be a prefix of this one.
            break;
        }
    }
    return tag.names != 0;
}

// "<trkpt" or "</trkpt>" written plainly where the filter stopped: most tags of a file. Its name
// stands right behind "<" or "</" and is followed by neither a prefix byte nor ':', so no prefix
// comes into play and the tag carries the track point's name alone, as tagAt would find; this
// only finds it in fewer steps. False for any other tag (tagAt then decides).
bool plainTrackPointTagAt(const Scan& scan, size_t at, Tag& tag) {
    std::string_view text = scan.text;
    if (!(scan.wanted & bit(kTrkpt)) || at < 2 || at > text.size() || text.size() - at < 6) return false;
    const char* name = text.data() + at;
    if (name[0] != 't' || name[1] != 'r' || name[2] != 'k' || name[3] != 'p' || name[4] != 't') return false;
    const char after = name[5];
    if (name[-1] == '<') {
        if (isPrefixByte(after) || after == ':') return false;
        tag.closing = false;
        tag.at = at - 1;
    } else if (name[-1] == '/' && name[-2] == '<' && after == '>') {
        tag.closing = true;
        tag.at = at - 2;
        tag.end = at + 6;
    } else {
        return false;
    }
    tag.names = bit(kTrkpt);
    tag.nameEnd[kTrkpt] = at + 5;
    return true;
}

// The opening tag of an element search: the content starts behind the first '>'. Without one,
// no later opening tag has one either.
void openElement(Scan& scan, ElementSearch& search, const Tag& tag, NameId id) {
    if (search.state != ElementSearch::kSeekOpen || !(tag.names & bit(id)) || tag.at < search.from) return;
    const size_t gt = findGreater(scan.greater, tag.nameEnd[id]);
    if (gt == kNoPosition) {
        search.state = ElementSearch::kDone;
        return;
    }
    search.state = ElementSearch::kSeekClose;
    search.match.start = tag.at;
    search.match.contentStart = gt + 1;
}

void closeElement(ElementSearch& search, const Tag& tag) {
    if (search.state != ElementSearch::kSeekClose || tag.at < search.match.contentStart) return;
    search.state = ElementSearch::kDone;
    search.found = true;
    search.match.contentEnd = tag.at;
    search.match.end = tag.end;
}

void stopElement(ElementSearch& search) {
    if (search.state != ElementSearch::kDone) search.state = ElementSearch::kDone;
}

void emitPoint(Scan& scan, const PointMatch& match, bool track) {
    if (track && scan.trackPoints.hasHead && scan.sink.trackPointRead &&
        &match == &scan.trackPoints.pending) {
        scan.sink.trackPointRead(scan.sink.context, match, scan.trackPoints.head);
    } else if (track) {
        scan.sink.trackPoint(scan.sink.context, match);
    } else {
        scan.sink.routePoint(scan.sink.context, match);
    }
}

// The point's start tag, ending at the '>' at `gt`, waits for its end tag. Written straight into
// the pending match: a match built aside and copied over would be read back right after its stores
// and wait for them.
void awaitEndTag(PointSearch& search, size_t start, size_t nameEnd, size_t gt) {
    PointMatch& match = search.pending;
    match.start = start;
    match.end = 0;
    match.attributesStart = nameEnd;
    match.attributesEnd = gt;
    match.hasContent = true;
    match.contentStart = gt + 1;
    match.contentEnd = 0;
    search.state = PointSearch::kSeekClose;
}

void openPoint(Scan& scan, PointSearch& search, const Tag& tag, NameId id, bool track) {
    if (search.state != PointSearch::kSeekOpen || !(tag.names & bit(id)) || tag.at < search.from) return;
    const size_t nameEnd = tag.nameEnd[id];
    // The common form of a track point: its start tag and the tags up to its time are read here,
    // and the filter need not stop in them. Not while the first time element is still sought.
    search.hasHead = false;
    if (track && !(scan.wanted & bit(kTime))) {
        PointHead head;
        if (readPointHead(scan.text, nameEnd, head, scan.stamps)) {
            awaitEndTag(search, tag.at, nameEnd, head.greater);
            search.hasHead = true;
            search.head = head.fields;
            scan.resumeAt = head.end;
            return;
        }
    }
    const size_t gt = findGreater(scan.greater, nameEnd);
    // Without a '>' no later point matches either. (A '>' behind the segment's end tag waits
    // in vain for its end tag and is settled when the segment ends.)
    if (gt == kNoPosition) {
        search.state = PointSearch::kStopped;
        return;
    }
    // The lazy attribute list first reaches a '/' that only white space separates from the '>':
    // that is the empty-element form. Otherwise it stops at the '>' itself.
    std::string_view text = scan.text;
    const size_t slash = std::max(scan.spaceBeforeGt.startFor(text, gt), nameEnd);
    if (slash > nameEnd && text[slash - 1] == '/') {
        PointMatch match;
        match.start = tag.at;
        match.attributesStart = nameEnd;
        match.end = gt + 1;
        match.attributesEnd = slash - 1;
        emitPoint(scan, match, track);
        search.from = gt + 1;
        return;
    }
    awaitEndTag(search, tag.at, nameEnd, gt);
}

void closePoint(Scan& scan, PointSearch& search, const Tag& tag, bool track) {
    if (search.state != PointSearch::kSeekClose || tag.at < search.pending.contentStart) return;
    search.pending.contentEnd = tag.at;
    search.pending.end = tag.end;
    emitPoint(scan, search.pending, track);
    search.from = tag.end;
    search.state = PointSearch::kSeekOpen;
}

// A point that found no end tag within [begin, end): the regular expression would go on from just
// behind its '<', where only empty-element points can still match. Searched once, separately.
void finishPendingPoint(Scan& scan, PointSearch& search, size_t begin, size_t end, NameId id, bool track) {
    if (search.state != PointSearch::kSeekClose) return;
    std::string_view within = scan.text.substr(begin, end - begin);
    TagScanner scanner = makeTagScanner(within, {kNames[id]});
    PointMatch match;
    for (size_t from = search.pending.start + 1 - begin; findPoint(scanner, from, match); from = match.end) {
        PointMatch shifted = match;
        shifted.start += begin;
        shifted.end += begin;
        shifted.attributesStart += begin;
        shifted.attributesEnd += begin;
        if (shifted.hasContent) {
            shifted.contentStart += begin;
            shifted.contentEnd += begin;
        }
        emitPoint(scan, shifted, track);
    }
    search.state = PointSearch::kStopped;
}

void openingTag(Scan& scan, const Tag& tag) {
    // The track point's name alone concerns the track point search alone (every search below
    // waits for names of its own).
    if (tag.names == bit(kTrkpt)) {
        if (scan.segments == Scan::kInSegment) openPoint(scan, scan.trackPoints, tag, kTrkpt, true);
        return;
    }
    if (scan.segments == Scan::kSeekSegment && (tag.names & bit(kTrkseg)) && tag.at >= scan.segmentFrom) {
        const size_t gt = findGreater(scan.greater, tag.nameEnd[kTrkseg]);
        if (gt == kNoPosition) {
            scan.segments = Scan::kNoMoreSegments;
        } else {
            scan.segments = Scan::kInSegment;
            scan.segmentContent = gt + 1;
            scan.trackPoints = PointSearch{};
            scan.trackPoints.from = gt + 1;
            scan.sink.segmentBegins(scan.sink.context);
        }
    }
    if (scan.segments == Scan::kInSegment) openPoint(scan, scan.trackPoints, tag, kTrkpt, true);
    if (scan.routeWanted) openPoint(scan, scan.routePoints, tag, kRtept, false);

    if (scan.scope.state == ElementSearch::kSeekOpen && (tag.names & (bit(kTrk) | bit(kRte)))) {
        // Both names end before the same '>'.
        openElement(scan, scan.scope, tag, (tag.names & bit(kTrk)) ? kTrk : kRte);
        if (scan.scope.state == ElementSearch::kSeekClose) {
            const size_t content = scan.scope.match.contentStart;
            scan.nameInScope = ElementSearch{ElementSearch::kSeekOpen, content, false, {}};
            scan.typeInScope = ElementSearch{ElementSearch::kSeekOpen, content, false, {}};
        }
    }
    openElement(scan, scan.nameInText, tag, kName);
    openElement(scan, scan.typeInText, tag, kType);
    openElement(scan, scan.nameInScope, tag, kName);
    openElement(scan, scan.typeInScope, tag, kType);
    openElement(scan, scan.time, tag, kTime);

    if (scan.weatherWanted && (tag.names & bit(kWetter)) && tag.at >= scan.weatherFrom) {
        const size_t nameEnd = tag.nameEnd[kWetter];
        const size_t gt = findGreater(scan.greater, nameEnd);
        if (gt == kNoPosition) {
            scan.weatherWanted = false;  // no '>' is left for any later tag either
        } else {
            OpenTagMatch match{tag.at, gt + 1, nameEnd, gt};
            scan.sink.weather(scan.sink.context, match);
            scan.weatherFrom = gt + 1;
        }
    }
}

void closingTag(Scan& scan, const Tag& tag) {
    const uint32_t name = tag.names;
    if (name == bit(kTrkpt) && scan.segments == Scan::kInSegment)
        closePoint(scan, scan.trackPoints, tag, true);
    if (name == bit(kRtept) && scan.routeWanted) closePoint(scan, scan.routePoints, tag, false);
    if (name == bit(kTrkseg) && scan.segments == Scan::kInSegment && tag.at >= scan.segmentContent) {
        finishPendingPoint(scan, scan.trackPoints, scan.segmentContent, tag.at, kTrkpt, true);
        scan.sink.segmentEnds(scan.sink.context, true);
        scan.result.hasSegments = true;
        scan.routeWanted = false;
        scan.segments = Scan::kSeekSegment;
        scan.segmentFrom = tag.end;
    }
    if ((name == bit(kTrk) || name == bit(kRte)) && scan.scope.state == ElementSearch::kSeekClose) {
        closeElement(scan.scope, tag);
        if (scan.scope.found) {
            // The scope is known: the whole-text searches are of no use any more, and a name or
            // type still open would end behind the scope.
            stopElement(scan.nameInText);
            stopElement(scan.typeInText);
            stopElement(scan.nameInScope);
            stopElement(scan.typeInScope);
        }
    }
    if (name == bit(kName)) {
        closeElement(scan.nameInText, tag);
        closeElement(scan.nameInScope, tag);
    }
    if (name == bit(kType)) {
        closeElement(scan.typeInText, tag);
        closeElement(scan.typeInScope, tag);
    }
    if (name == bit(kTime)) closeElement(scan.time, tag);
}

// Behind a track point's end tag mostly white space and the next point's start tag: no tag stands
// between them, so the next tag the filter could stop at is that one's name, taken without the
// search (a filter hit that is no tag changes nothing).
size_t nextPointNameAfter(const Scan& scan, const Tag& tag) {
    if (!tag.closing || tag.names != bit(kTrkpt)) return kNoPosition;
    std::string_view text = scan.text;
    const size_t lt = skipSpaceBytes(text, tag.end);
    if (text.size() - lt < 6 || std::memcmp(text.data() + lt, "<trkpt", 6) != 0) return kNoPosition;
    return lt + 1;
}

// The text has a gpx start tag but no end tag for it: the file was cut. Nearly every file ends with
// that end tag, so its last '<' is looked at first (when the walk went to the end, the last gap it
// met tells whether that '<' lies in one); only otherwise is the text searched.
bool endsBeforeGpxEnd(std::string_view text, bool walkedToEnd, size_t lastGapStart, size_t lastGapEnd) {
    TagScanner gpx = makeTagScanner(text, {"gpx"});
    const TagHit start = findOpeningTag(gpx, 0);
    if (start.at == kNoPosition) return false;
    const size_t gt = findGreater(gpx, start.nameEnd);
    if (gt == kNoPosition) return true;
    size_t beforeGt = gt;
    while (beforeGt > start.nameEnd && isSpaceByte(text[beforeGt - 1])) --beforeGt;
    if (beforeGt > start.nameEnd && text[beforeGt - 1] == '/') return false;  // <gpx/> has no end tag
    const size_t last = text.rfind('<');
    if (last != std::string_view::npos && last > gt && last + 1 < text.size() && text[last + 1] == '/' &&
        walkedToEnd && (lastGapStart == kNoPosition || last >= lastGapEnd)) {
        for (size_t nameStart : tagNameStarts(text, last + 2)) {
            if (nameStart != kNoPosition && nameAt(text, nameStart, "gpx") &&
                closingTailEnd(text, nameStart + 3) != kNoPosition) {
                return false;
            }
        }
    }
    return searchClosingTag(gpx, gt + 1).at == kNoPosition;
}

}  // namespace

RouteScan scanRoute(std::string_view text, const RouteScanSink& sink) {
    Scan scan(text, sink);
    updateFilter(scan);
    size_t lastTag = kNoPosition;
    Tag tag;
    size_t at = findNameCandidate(scan.filter, text, 0);
    while (at != kNoPosition) {
        size_t next = kNoPosition;  // the next tag's name when it is known without the filter
        // The filter also stops at every '!' and '?', so the walk meets each gap's start before
        // anything inside it, and goes on behind it: a tag inside a gap is none. (Nothing the walk
        // steps over otherwise, a point's head or the white space between points, can hold one.)
        const char byte = text[at];
        if (byte == '!' || byte == '?') {
            size_t from = at + 1;
            if (at > 0 && text[at - 1] == '<' && gapAt(text, at - 1, scan.lastGap)) {
                scan.lastGapStart = at - 1;
                from = scan.lastGap.end;
            }
            at = findNameCandidate(scan.filter, text, std::max(from, scan.resumeAt));
            continue;
        }
        // Several filter hits can lead to one tag; tags come out in text order.
        if ((plainTrackPointTagAt(scan, at, tag) || tagAt(scan, at, tag)) && tag.at != lastTag) {
            lastTag = tag.at;
            if (tag.closing) {
                closingTag(scan, tag);
            } else {
                openingTag(scan, tag);
            }
            // A tag of the track point's name alone moves only the track point search, and leaves
            // the wanted names as they are unless that search stopped: most tags of a file are these.
            if (tag.names != bit(kTrkpt) || scan.trackPoints.state == PointSearch::kStopped)
                updateFilter(scan);
            if (scan.wanted == 0) break;
            next = nextPointNameAfter(scan, tag);
        }
        at = next != kNoPosition ? next
                                 : findNameCandidate(scan.filter, text, std::max(at + 1, scan.resumeAt));
    }
    if (scan.segments == Scan::kInSegment) sink.segmentEnds(sink.context, false);
    if (scan.routeWanted) finishPendingPoint(scan, scan.routePoints, 0, text.size(), kRtept, false);

    RouteScan& result = scan.result;
    result.endsEarly = endsBeforeGpxEnd(text, at == kNoPosition, scan.lastGapStart, scan.lastGap.end);
    result.hasScope = scan.scope.found;
    result.scope = scan.scope.match;
    const ElementSearch& name = result.hasScope ? scan.nameInScope : scan.nameInText;
    const ElementSearch& type = result.hasScope ? scan.typeInScope : scan.typeInText;
    result.hasName = name.found;
    result.name = name.match;
    result.hasType = type.found;
    result.type = type.match;
    result.hasTime = scan.time.found;
    result.time = scan.time.match;
    return result;
}
