#pragma once
// One pass over a GPX text for everything the analysis takes from the whole file. What it finds is
// exactly what these separate searches (patterns in ScanMarkup.h) would find, each over its text:
//   segments:    element "trkseg" over the text; their points: point "trkpt" over each segment
//   route:       point "rtept" over the text (the points when there is no segment)
//   scope:       element "trk" or "rte" over the text: its content, or the whole text without one
//   name, type:  the first element "name", "type" of the scope
//   time:        the first element "time" of the text
//   weather:     every "wetter" open tag of the text
// Instead of a pass for each, the text is read once from left to right: one name filter stops at
// every tag with one of those names, and each search takes the tags it waits for as they come.
// A search that is done no longer stops the filter (a found name or time costs nothing further).
// A track point in the common form is read up to its time at its start tag (readPointHead), and
// the filter goes on behind that: the tags there are of no name the pass waits for (unless it
// still waits for the first time element). Tags inside comments, processing instructions, the
// document type declaration and CDATA sections are none (TagScanner.h): every search above runs as
// over the text with their '<' and '>' taken out.

#include <string_view>

#include "core/PointFields.h"
#include "core/ScanMarkup.h"

// Receives the points and weather tags as the pass finds them; positions are offsets into the
// scanned text.
struct RouteScanSink {
    void* context = nullptr;
    // A segment's points come between these two. A segment that never finds its end tag was no
    // segment to the regular expression: it ends with `kept` false, and its points are to be
    // forgotten.
    void (*segmentBegins)(void* context) = nullptr;
    void (*segmentEnds)(void* context, bool kept) = nullptr;
    void (*trackPoint)(void* context, const PointMatch& match) = nullptr;
    // When set, a track point whose start of content the pass has read itself (readPointHead)
    // comes here with its fields instead of to trackPoint.
    void (*trackPointRead)(void* context, const PointMatch& match, const TrackPoint& fields) = nullptr;
    // Points of the route form; they matter only when there is no segment, and stop coming as
    // soon as one is kept.
    void (*routePoint)(void* context, const PointMatch& match) = nullptr;
    void (*weather)(void* context, const OpenTagMatch& match) = nullptr;
};

struct RouteScan {
    bool hasSegments = false;
    bool hasScope = false;
    ElementMatch scope;
    bool hasName = false;  // within the scope
    ElementMatch name;
    bool hasType = false;  // within the scope
    ElementMatch type;
    bool hasTime = false;  // anywhere
    ElementMatch time;
    // The text has a gpx start tag but ends before its end tag (element "gpx" finds no match).
    bool endsEarly = false;
};

RouteScan scanRoute(std::string_view text, const RouteScanSink& sink);
