// Every scanner against std::regex on the same pattern, over many generated small texts.
// The generator is a fixed-seed mt19937 with a plain modulo picker, so a failing text is the same
// natively and under Wine; the failure message shows it escaped.

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "core/MarkupText.h"
#include "core/PointFields.h"
#include "core/ReferenceMarkup.h"
#include "core/RouteScan.h"
#include "core/ScanMarkup.h"
#include "core/ScanTier.h"
#include "core/ScanTiers.h"

namespace {

constexpr int kRounds = 5000;

struct Picker {
    std::mt19937 engine{20240310u};
    size_t below(size_t n) { return static_cast<size_t>(engine() % n); }
    bool chance(size_t percent) { return below(100) < percent; }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[below(items.size())];
    }
};

// The text as a C string literal, for failure messages.
std::string escaped(std::string_view text) {
    return testing::PrintToString(std::string(text));
}

const std::vector<std::string> kNames = pieces(
    "name|NAME|Name|trkseg|TrkSeg|trkpt|TRKPT|rtept|trk|rte|Trk|wetter|WETTER|wetterdaten|ele|time|type|"
    "typed|name-alt|name.x|trkpt_|trkpt1|rteptx");
const std::vector<std::string> kPrefixes =
    pieces("|||gpx:|a.b-c:|x:|_:|:|gpx:x:|-:|name:|trkpt:|wetter:|trk:|x.name:|tim:|trkseg-:");
const std::vector<std::string> kSpaces = {"", "", " ", "\n", "\t", "  ", "\r\n"};
const std::vector<std::string> kAttributes = pieces(
    "| lat=\"1.5\" lon='2'| LAT='3' Lon=\"4\"| lat=\"5'| xlat=\"1\"| lat = '7'| lat=\"\"| a=\"x>y\"|"
    " temp=\"12\" feuchte='80' wind=\"3\"| windrichtung=\"NW\" lage='sonnig'| /x| lang=\"de\"| q=\"/\"|"
    " lat=\"1\"/| v=\"a/ \"");
const std::vector<std::string> kText = pieces(
    "x|Abend| |\n|&amp;|&lt;|&amp;lt;|&#233;|<|>|/|<>|<![CDATA[a]]>|<!-- c -->|\xC3\xA9|12.5|-|.|"
    "2024-03-10T08:15:30Z|'|\"|=|_|</|name|:|:name|trkpt|wet|</:|<:|<!-- <trkpt lat='1' lon='2'/> -->|"
    "<![CDATA[<name>n</name>]]>|<?pi <time>x</time> ?>|<!DOCTYPE gpx [<!ENTITY a '<trkseg>'> ]>|"
    "<!DOCTYPE gpx>|<!--|-->|<![CDATA[|]]>|<?|?>");

// The names of a route's structure, for texts where segments and points come together often.
const std::vector<std::string> kRouteNames = {"trkseg", "TRKSEG", "trkpt", "trkpt", "rtept", "trk",
                                              "rte",    "wetter", "name",  "type",  "time"};

std::string randomTag(Picker& p, const std::vector<std::string>& names = kNames) {
    std::string tag = "<";
    bool closing = p.chance(35);
    if (closing) tag += "/";
    tag += p.pick(kPrefixes) + p.pick(names);
    if (closing) {
        tag += p.pick(kSpaces);
    } else {
        tag += p.pick(kAttributes) + p.pick(kSpaces);
        if (p.chance(25)) tag += "/" + p.pick(kSpaces);
    }
    if (!p.chance(8)) tag += ">";
    return tag;
}

std::string randomMarkup(Picker& p, const std::vector<std::string>& names = kNames) {
    std::string text;
    size_t pieces = 1 + p.below(24);
    for (size_t i = 0; i < pieces; ++i) text += p.chance(55) ? randomTag(p, names) : p.pick(kText);
    return text;
}

using Groups = std::vector<std::pair<long, long>>;  // (position, length), (-1, -1) when not taking part

Groups regexGroups(const std::cmatch& m) {
    Groups groups;
    for (size_t i = 0; i < m.size(); ++i) {
        const bool in = m[i].matched;
        groups.emplace_back(in ? static_cast<long>(m.position(i)) : -1L,
                            in ? static_cast<long>(m.length(i)) : -1L);
    }
    return groups;
}

// Every non-overlapping match, left to right, as regex_iterator yields them.
std::vector<Groups> regexAll(const std::regex& pattern, std::string_view text) {
    std::vector<Groups> all;
    const char* begin = text.data();
    for (std::cregex_iterator it(begin, begin + text.size(), pattern), end; it != end; ++it) {
        all.push_back(regexGroups(*it));
    }
    return all;
}

bool searchIn(const std::string& text, std::cmatch& m, const std::regex& pattern) {
    return std::regex_search(text.c_str(), text.c_str() + text.size(), m, pattern);
}

std::pair<long, long> span(size_t start, size_t end) {
    return {static_cast<long>(start), static_cast<long>(end - start)};
}

Groups pointMatchGroups(const PointMatch& m) {
    Groups groups = {span(m.start, m.end), span(m.attributesStart, m.attributesEnd)};
    groups.push_back(m.hasContent ? span(m.contentStart, m.contentEnd) : std::pair<long, long>(-1, -1));
    return groups;
}

Groups elementGroups(bool found, const ElementMatch& m) {
    if (!found) return {};
    return {span(m.start, m.end), span(m.contentStart, m.contentEnd)};
}

const std::string kPrefix = "<(?:[\\w.-]+:)?";
const std::string kClose = "</(?:[\\w.-]+:)?";

std::regex icase(const std::string& pattern) {
    return std::regex(pattern, std::regex::ECMAScript | std::regex::icase);
}
std::regex elementPattern(const std::string& name) {
    return icase(kPrefix + name + "\\b[^>]*>([\\s\\S]*?)" + kClose + name + "\\s*>");
}
std::regex pointPattern(const std::string& name) {
    return icase(kPrefix + name + "\\b([^>]*?)(?:/\\s*>|>([\\s\\S]*?)" + kClose + name + "\\s*>)");
}

struct ElementCase {
    std::string first, second;  // second empty: a single name
    std::regex pattern;
};

std::vector<ElementCase> elementCases() {
    std::vector<ElementCase> cases;
    for (std::string name : {"name", "trkseg", "ele", "time", "type", "wetter"}) {
        cases.push_back({name, "", elementPattern(name)});
    }
    cases.push_back({"trk", "rte", elementPattern("(?:trk|rte)")});
    return cases;
}

// The byte searches against one-byte-at-a-time loops at the edges of their rounds: every length
// up to a few rounds of the widest tier, one marked place at every position (or none), starts
// around the rounds' and the mark's edges, at and past the end and near the largest size_t. Each
// text has a heap block of exactly its size, so the sanitizer sees a read past its end.
TEST(ScanDifferential, ByteSearchesAtTheEdgesOfTheirRounds) {
    const std::string_view nibbled[] = {"type", "ele"}, shared[] = {"type", "time"};
    std::vector<NameFilter> filters = {makeNameFilter(nibbled, 2), makeNameFilter(shared, 2)};
    for (size_t i = 0; i < 2; ++i) filters.push_back(filters[i]), filters.back().stopAtMarks = true;
    const auto candidate = [](const NameFilter& f, std::string_view text, size_t from) {
        for (size_t i = from; i < text.size() && text.size() - i >= f.reach; ++i) {
            const auto folded = [&](size_t at) { return static_cast<unsigned char>(text[at] | 0x20); };
            if (f.stopAtMarks && (folded(i) == '!' || folded(i) == '?')) return i;
            for (size_t n = 0; n < f.count; ++n) {
                size_t j = 0;
                while (j < f.width && folded(i + f.offset[j]) == f.bytes[n][j][0]) ++j;
                if (j == f.width) return i;
            }
        }
        return kNoPosition;
    };
    const std::string piece = "<TyPe!\x1F";
    const std::string_view spaces = " \t\n\r\f\v";
    for (size_t size = 0; size <= 70; ++size) {
        std::unique_ptr<char[]> block(new char[size]);
        for (size_t mark = 0; mark <= size; ++mark) {  // `size`: no mark
            for (size_t i = 0; i < size; ++i) block[i] = spaces[i % spaces.size()];
            for (size_t i = mark; i < size && i - mark < piece.size(); ++i) block[i] = piece[i - mark];
            const std::string_view text(block.get(), size);
            std::vector<size_t> starts = {mark - 1, mark, mark + 1, size - 1, size, size + 1};
            starts.insert(starts.end(), {0, 1, 7, 8, 15, 16, 17, SIZE_MAX - 33, SIZE_MAX - 16, SIZE_MAX});
            inEveryScanTier([&] {
                for (const size_t from : starts) {
                    const size_t start = std::min(from, size);
                    const auto at = [&] { return escaped(text) + " from " + std::to_string(from); };
                    ASSERT_EQ(text.find('<', start), findByte(text, from, '<')) << at();
                    ASSERT_EQ(text.find_first_of("!?", start), findEitherByte(text, from, '!', '?')) << at();
                    ASSERT_EQ(text.find_first_of("pP", start), findLetter(text, from, 'p')) << at();
                    const size_t word = std::min(text.find_first_not_of(spaces, start), size);
                    ASSERT_EQ(word, skipSpaceBytes(text, from)) << at();
                    for (const NameFilter& f : filters) {
                        ASSERT_EQ(candidate(f, text, from), findNameCandidate(f, text, from)) << at();
                    }
                }
            });
            if (HasFatalFailure()) return;
        }
    }
}

TEST(ScanDifferential, ElementsMatchRegexIteration) {
    Picker p;
    auto cases = elementCases();
    for (int round = 0; round < kRounds; ++round) {
        std::string text = randomMarkup(p);
        const std::string seen = maskedGaps(text);
        for (auto& c : cases) {
            std::vector<Groups> expected = regexAll(c.pattern, seen);
            inEveryScanTier([&] {
                std::vector<Groups> actual;
                TagScanner scanner = makeTagScanner(text, {c.first, c.second});
                ElementMatch m;
                for (size_t from = 0; findElement(scanner, from, m); from = m.end)
                    actual.push_back(elementGroups(true, m));
                ASSERT_EQ(expected, actual) << c.first << " in: " << escaped(text);
            });
            if (HasFatalFailure()) return;
        }
    }
}

TEST(ScanDifferential, PointsMatchRegexIteration) {
    Picker p;
    for (std::string name : {"trkpt", "rtept"}) {
        const std::regex pattern = pointPattern(name);
        for (int round = 0; round < kRounds; ++round) {
            std::string text = randomMarkup(p);
            std::vector<Groups> expected = regexAll(pattern, maskedGaps(text));
            inEveryScanTier([&] {
                std::vector<Groups> actual;
                TagScanner scanner = makeTagScanner(text, {name});
                PointMatch m;
                for (size_t from = 0; findPoint(scanner, from, m); from = m.end)
                    actual.push_back(pointMatchGroups(m));
                ASSERT_EQ(expected, actual) << name << " in: " << escaped(text);
            });
            if (HasFatalFailure()) return;
        }
    }
}

// The single pass against the separate searches it stands for, each over its own text.
struct RouteExpectation {
    std::vector<Groups> points, weather;
    Groups scope, name, type, time;  // empty when there is none
};

Groups pointGroups(const Groups& match, long offset) {
    Groups shifted = match;
    for (auto& [position, length] : shifted) {
        if (position >= 0) position += offset;
    }
    return shifted;
}

Groups firstMatch(const std::regex& pattern, std::string_view text, long offset) {
    std::cmatch m;
    if (!std::regex_search(text.data(), text.data() + text.size(), m, pattern)) return {};
    return pointGroups(regexGroups(m), offset);
}

RouteExpectation expectedRoute(const std::string& text) {
    static const std::regex segment = elementPattern("trkseg"), trackOrRoute = elementPattern("(?:trk|rte)");
    static const std::regex name = elementPattern("name"), type = elementPattern("type");
    static const std::regex time = elementPattern("time");
    static const std::regex trackPoint = pointPattern("trkpt"), routePoint = pointPattern("rtept");
    static const std::regex weather = icase(kPrefix + "wetter\\b([^>]*)/?>");
    RouteExpectation expected;
    for (const Groups& seg : regexAll(segment, text)) {
        std::string_view content = std::string_view(text).substr(seg[1].first, seg[1].second);
        for (const Groups& p : regexAll(trackPoint, content))
            expected.points.push_back(pointGroups(p, seg[1].first));
    }
    if (regexAll(segment, text).empty()) expected.points = regexAll(routePoint, text);
    expected.scope = firstMatch(trackOrRoute, text, 0);
    std::string_view scope = text;
    long scopeStart = 0;
    if (!expected.scope.empty()) {
        scopeStart = expected.scope[1].first;
        scope = scope.substr(scopeStart, expected.scope[1].second);
    }
    expected.name = firstMatch(name, scope, scopeStart);
    expected.type = firstMatch(type, scope, scopeStart);
    expected.time = firstMatch(time, text, 0);
    expected.weather = regexAll(weather, text);
    return expected;
}

// Collects the way the analysis does: points go straight into the list, and a segment that ends
// unkept takes its own back out.
struct RouteCollection {
    std::vector<Groups> track, route, weather;
    size_t segmentStart = 0;
};
RouteCollection& collection(void* context) {
    return *static_cast<RouteCollection*>(context);
}

// A point's time stamp: mostly the one before, or one with another second, minute, hour, day,
// month or year, fraction or zone, as a track's stamps change from point to point.
std::string nextStamp(Picker& p, std::vector<std::string>& fields) {
    static const std::vector<std::vector<std::string>> choices = {
        {"2023", "2024"},   {"-02-", "-12-"},      {"09", "10", "28"}, {"T08:", "T09:", "T23:"},
        {"00", "30", "59"}, {":00", ":30", ":59"}, {"", ".250", ".5"}, {"Z", "+02:00", "-05:30", ""}};
    if (fields.empty()) {
        for (const auto& choice : choices) fields.push_back(choice[0]);
    }
    if (p.chance(50)) {
        const size_t field = p.below(choices.size());
        fields[field] = p.pick(choices[field]);
    }
    std::string stamp;
    for (const std::string& field : fields) stamp += field;
    return stamp;
}

// Texts with track points in the common form, which the pass reads at their start tags once the
// first time element is found: so most of them begin with one.
std::string plainPointMarkup(Picker& p) {
    static const std::vector<std::pair<std::string, std::string>> heads = {
        {"<trkpt lat=\"47.5\" lon=\"8.25\">\n  <ele>512.4</ele>\n  <time>", "</time>"},
        {"<trkpt lat=\"-1\" lon=\"2\"><ele>3</ele><time>", "</time>"},
        {"<trkpt lat=\"1\" lon=\"2\"><ele>3</ele><time>", "</time >"},
        {"<trkpt lat=\"1\" lon=\"2\"/><ele>3</ele><time>", "</time>"}};
    static const std::vector<std::string> around =
        pieces("</trkpt>|</trkpt>|<trkseg>|</trkseg>|\n  |</trkpt >|<extensions><hr>1</hr></extensions>");
    std::string text = p.chance(80) ? "<time>2024-01-01T00:00:00Z</time><trkseg>" : "<trkseg>";
    std::vector<std::string> stamp;
    const size_t pieces = 1 + p.below(14);
    for (size_t i = 0; i < pieces; ++i) {
        if (p.chance(40)) {
            const auto& [head, tail] = p.pick(heads);
            text += head + nextStamp(p, stamp) + tail;
        } else if (p.chance(60)) {
            text += p.pick(around);
        } else {
            text += p.chance(50) ? randomTag(p, kRouteNames) : p.pick(kText);
        }
    }
    return text;
}

TEST(ScanDifferential, OnePassFindsWhatEachSearchFinds) {
    Picker p;
    RouteScanSink sink;
    sink.segmentBegins = [](void* c) { collection(c).segmentStart = collection(c).track.size(); };
    sink.segmentEnds = [](void* c, bool kept) {
        if (!kept) collection(c).track.resize(collection(c).segmentStart);
    };
    sink.trackPoint = [](void* c, const PointMatch& m) {
        collection(c).track.push_back(pointMatchGroups(m));
    };
    sink.routePoint = [](void* c, const PointMatch& m) {
        collection(c).route.push_back(pointMatchGroups(m));
    };
    sink.weather = [](void* c, const OpenTagMatch& m) {
        collection(c).weather.push_back({span(m.start, m.end), span(m.attributesStart, m.attributesEnd)});
    };
    int withPoints = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::string text =
            round % 3 == 2 ? plainPointMarkup(p) : randomMarkup(p, round % 2 ? kNames : kRouteNames);
        RouteExpectation expected = expectedRoute(maskedGaps(text));
        inEveryScanTier([&] {
            RouteCollection collected;
            sink.context = &collected;
            RouteScan scan = scanRoute(text, sink);
            ASSERT_EQ(expected.points, scan.hasSegments ? collected.track : collected.route) << escaped(text);
            ASSERT_EQ(expected.weather, collected.weather) << escaped(text);
            ASSERT_EQ(expected.scope, elementGroups(scan.hasScope, scan.scope)) << escaped(text);
            ASSERT_EQ(expected.name, elementGroups(scan.hasName, scan.name)) << escaped(text);
            ASSERT_EQ(expected.type, elementGroups(scan.hasType, scan.type)) << escaped(text);
            ASSERT_EQ(expected.time, elementGroups(scan.hasTime, scan.time)) << escaped(text);
        });
        if (HasFatalFailure()) return;
        if (!expected.points.empty()) ++withPoints;
    }
    EXPECT_GT(withPoints, kRounds / 20);
}

// Bit for bit (so that -0 and 0 differ); elevation and time where the point has them.
bool samePoint(const TrackPoint& a, const TrackPoint& b) {
    return std::bit_cast<uint64_t>(a.lat) == std::bit_cast<uint64_t>(b.lat) &&
           std::bit_cast<uint64_t>(a.lon) == std::bit_cast<uint64_t>(b.lon) && a.hasEle == b.hasEle &&
           a.hasTime == b.hasTime && (!a.hasEle || a.ele == b.ele) && (!a.hasTime || a.time == b.time);
}

// What the pass reads at a track point's start tag is what readPointFields reads of the whole point.
TEST(ScanDifferential, PointHeadsReadAsTheWholePointsAre) {
    Picker p;
    struct Heads {
        std::string_view text;
        std::string buffer;
        int read = 0;
        std::vector<std::string> differing;
    } heads;
    RouteScanSink sink;
    sink.context = &heads;
    sink.segmentBegins = [](void*) {};
    sink.segmentEnds = [](void*, bool) {};
    sink.trackPoint = sink.routePoint = [](void*, const PointMatch&) {};
    sink.weather = [](void*, const OpenTagMatch&) {};
    sink.trackPointRead = [](void* c, const PointMatch& match, const TrackPoint& fields) {
        auto& h = *static_cast<Heads*>(c);
        ++h.read;
        TrackPoint whole;
        readPointFields(h.text, match, whole, h.buffer);
        if (!samePoint(whole, fields))
            h.differing.emplace_back(h.text.substr(match.start, match.end - match.start));
    };
    for (int round = 0; round < kRounds; ++round) {
        const std::string text = plainPointMarkup(p);
        heads.text = text;
        inEveryScanTier([&] {
            scanRoute(text, sink);
            ASSERT_TRUE(heads.differing.empty()) << escaped(heads.differing.front());
        });
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(heads.read, kRounds / 5);  // some hide in comments
}

TEST(ScanDifferential, FirstElementsMatchRegexSearch) {
    Picker p;
    const std::regex ele = elementPattern("ele"), time = elementPattern("time");
    // Also texts close to the way points are mostly written.
    const std::vector<std::string> plain = {"<ele>", "</ele>", "<time>",  "</time>", "1.5",         "\n  ",
                                            "<ELE>", "</ele ", "<x:ele>", "<eles>",  "<!--c-->",    "<",
                                            ">",     "&amp;",  "<ele/>",  "</time",  "<time a='1'>"};
    for (int round = 0; round < kRounds * 2; ++round) {
        std::string text;
        if (round % 2) {
            text = randomMarkup(p);
        } else {
            const size_t count = 1 + p.below(10);
            for (size_t i = 0; i < count; ++i) text += p.chance(50) ? plain[i % 4] : p.pick(plain);
        }
        const std::string seen = maskedGaps(text);
        const Groups expected[2] = {firstMatch(ele, seen, 0), firstMatch(time, seen, 0)};
        inEveryScanTier([&] {
            FirstElements found = findFirstElements(text, "ele", "time");
            ASSERT_EQ(expected[0], elementGroups(found.found[0], found.match[0])) << escaped(text);
            ASSERT_EQ(expected[1], elementGroups(found.found[1], found.match[1])) << escaped(text);
        });
        if (HasFatalFailure()) return;
    }
}

TEST(ScanDifferential, AttributesMatchRegexSearch) {
    Picker p;
    const std::vector<std::string> pieces = {
        "lat",         "LAT",    "Lat", "xlat", "lat_",    "lon",     "temp",  "-lat", ".lat", "=",
        " ",           "\t",     "\"",  "'",    "1.5",     "abc",     "&amp;", "/",    ">",    "\n",
        "\xC3\xA9lat", "lat=\"", "='",  "lat2", " lat=\"", " lon=\"", "47.5",  "l",    "L",    "\" lon=\""};
    std::vector<std::string> names = {"lat", "lon", "temp"};
    std::vector<std::regex> patterns;
    for (auto& name : names) patterns.push_back(icase("\\b" + name + "\\s*=\\s*[\"']([^\"']+)[\"']"));
    for (int round = 0; round < kRounds * 2; ++round) {
        std::string text;
        size_t count = 1 + p.below(14);
        // Half of them in the form most points have, with some pieces of the others among them.
        if (round % 2) text = " lat=\"";
        for (size_t i = 0; i < count; ++i) text += p.pick(pieces);
        Groups expected[3];
        for (size_t n = 0; n < names.size(); ++n) {
            std::cmatch m;
            if (searchIn(text, m, patterns[n])) expected[n] = regexGroups(m);
        }
        inEveryScanTier([&] {
            for (size_t n = 0; n < names.size(); ++n) {
                Groups actual;
                AttributeMatch a;
                if (findAttribute(text, names[n], a))
                    actual = {span(a.start, a.end), span(a.valueStart, a.valueEnd)};
                ASSERT_EQ(expected[n], actual) << names[n] << " in: " << escaped(text);
            }
            bool found[2];
            AttributeMatch both[2];
            findCoordinateAttributes(text, found, both);
            for (size_t n = 0; n < 2; ++n) {
                Groups actual;
                if (found[n])
                    actual = {span(both[n].start, both[n].end), span(both[n].valueStart, both[n].valueEnd)};
                ASSERT_EQ(expected[n], actual) << names[n] << " of both in: " << escaped(text);
            }
        });
        if (HasFatalFailure()) return;
    }
}

TEST(ScanDifferential, TimestampsAndDatesMatchRegexSearch) {
    Picker p;
    const std::vector<std::string> pieces = {
        "2024", "-", "03",  "10",         "T",         "t",      "08",    ":",     "15",
        "30",   ".", "123", "Z",          "z",         "+",      "01",    "00",    "0",
        " ",    "x", "9",   "2024-03-10", "T08:15:30", "+01:00", "+0100", "+01:0", "-05"};
    std::regex stampPattern(
        "(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})(?:\\.\\d+)?(Z|[+-]\\d{2}:?\\d{2})?");
    std::regex datePattern("(\\d{4})-(\\d{2})-(\\d{2})");
    for (int round = 0; round < kRounds * 2; ++round) {
        std::string text;
        size_t count = 1 + p.below(16);
        for (size_t i = 0; i < count; ++i) text += p.pick(pieces);
        std::cmatch m;
        TimestampMatch stamp;
        bool found = findTimestamp(text, stamp);
        ASSERT_EQ(searchIn(text, m, stampPattern), found) << escaped(text);
        if (found) {
            EXPECT_EQ(static_cast<long>(stamp.start), m.position(0)) << escaped(text);
            EXPECT_EQ(static_cast<long>(stamp.end - stamp.start), m.length(0)) << escaped(text);
            const int fields[] = {stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second};
            for (int i = 0; i < 6; ++i) EXPECT_EQ(fields[i], std::stoi(m[i + 1].str())) << escaped(text);
            std::string zone = stamp.zoneLength ? text.substr(stamp.zoneStart, stamp.zoneLength) : "";
            EXPECT_EQ(m[7].matched, stamp.zoneLength > 0) << escaped(text);
            EXPECT_EQ(m[7].str(), zone) << escaped(text);
        }
        DateMatch date;
        bool dateFound = findDate(text, date);
        ASSERT_EQ(searchIn(text, m, datePattern), dateFound);
        if (dateFound) {
            EXPECT_EQ(static_cast<long>(date.start), m.position(0));
            EXPECT_EQ(std::string(date.year) + std::string(date.month) + std::string(date.day),
                      m[1].str() + m[2].str() + m[3].str());
        }
    }
}

// The quick reading of the common point form against the general searches (each checked against
// the regular expressions above): texts in that form, each slot now and then replaced by something
// close to it.
TEST(ScanDifferential, PlainPointsReadAsTheGeneralSearchesDo) {
    Picker p;
    const std::vector<std::string> figures = pieces(
        "46.36360000651774|-12.5|0|-0|7|1228.6|9007199254740993|90071992547409921|12345678901234567890|"
        "1.00000000000000000000001|5.|.5|+5|1e3|0x1A| 5|5 |-||--1|1.2.3|12345678\xFA|&#49;");
    const std::vector<std::vector<std::string>> slots = {
        {" lat=\"", " lat='", " LAT=\"", "  lat=\"", " lon=\""},
        {},
        {"\" lon=\"", "' lon=\"", "\" lon='", "\"  lon=\"", "\" x=\"1\" lon=\"", "\" lat=\""},
        {},
        {"\"", "'", "\" ", "\"/", "\" a=\"b\"", ""},
        {">\n  ", ">", "/>", "> x ", ">\t", "><!--c-->"},
        {"<ele>", "<ELE>", "<gpx:ele>", "<ele >", "<time>", ""},
        {},
        {"</ele>\n  ", "</ele>", "</ele >", "</ELE>", "<x/></ele>"},
        {"<time>", "<Time>", "<ele>", "<time a='1'>", ""},
        {"2023-09-20T06:18:36.000Z", "2023-09-20T06:18:36+01:00", "2023-09-20T06:18:36", "2023-09-20",
         "x2023-09-20T06:18:36Z", "", "2023-09-20T06:18:36&amp;", "2023-09-20T06:18:36<b/>Z"},
        {"</time>", "</time >", "</TIME>", "", "</time></time>"},
        {"\n  <extensions><hr>120</hr></extensions>\n", "", "<ele>3</ele>",
         "<time>2020-01-01T00:00:00Z</time>"},
        {"</trkpt>"}};
    TagScanner scanner = makeTagScanner("", {"trkpt"});
    std::string buffer;
    int quickReads = 0;  // the comparison must not pass by finding nothing
    for (int round = 0; round < kRounds * 4; ++round) {
        std::string text = "<trkpt";
        for (const auto& slot : slots) {
            const std::vector<std::string>& choices = slot.empty() ? figures : slot;
            // Mostly the common form, so that the quick reading is taken often.
            text += p.chance(80) ? choices[0] : p.pick(choices);
        }
        inEveryScanTier([&] {
            retargetTagScanner(scanner, text);
            PointMatch match;
            if (!findPoint(scanner, 0, match)) return;
            TrackPoint quick, general;
            const bool quickRead = readPointFields(text, match, quick, buffer);
            ASSERT_EQ(readPointFieldsGeneral(text, match, general, buffer), quickRead) << escaped(text);
            if (!quickRead) return;
            ++quickReads;
            ASSERT_TRUE(samePoint(general, quick)) << escaped(text);
        });
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(quickReads, kRounds);
}

// elementText spelled out with the regular expressions it must behave like.
std::string regexElementText(const std::string& text, const std::string& name) {
    static std::map<std::string, std::regex> patterns;
    if (!patterns.count(name)) patterns.emplace(name, elementPattern(name));
    const std::regex& pattern = patterns.at(name);
    const std::string seen = maskedGaps(text);
    std::smatch m;
    if (!std::regex_search(seen, m, pattern)) return {};
    // Outside gaps nested tags go and entities are decoded; a CDATA section's text stays as it is.
    static const std::regex tag("<[^>]+>");
    const auto plain = [&](size_t from, size_t to) {
        return decodeEntities(std::regex_replace(text.substr(from, to - from), tag, ""));
    };
    const auto contentStart = static_cast<size_t>(m.position(1));
    const size_t contentEnd = contentStart + static_cast<size_t>(m.length(1));
    std::string out;
    size_t copied = contentStart;
    for (const ReferenceGap& gap : referenceGaps(text)) {
        if (gap.start < contentStart || gap.start >= contentEnd) continue;
        out += plain(copied, gap.start);
        if (gap.cdata) out += text.substr(gap.innerStart, gap.innerEnd - gap.innerStart);
        copied = gap.end;
    }
    return out + plain(copied, contentEnd);
}

TEST(ScanDifferential, ElementTextAndTagStrippingMatchRegex) {
    Picker p;
    static const std::regex tag("<[^>]+>");
    for (int round = 0; round < kRounds; ++round) {
        std::string text = randomMarkup(p);
        const std::string stripped = std::regex_replace(text, tag, "");
        const std::vector<std::string> names = {"name", "time", "type"};
        std::vector<std::string> expected;
        for (const std::string& name : names) expected.push_back(regexElementText(text, name));
        inEveryScanTier([&] {
            ASSERT_EQ(stripped, stripTags(text)) << escaped(text);
            for (size_t n = 0; n < names.size(); ++n) {
                ASSERT_EQ(expected[n], elementText(text, names[n])) << names[n] << " in: " << escaped(text);
            }
        });
        if (HasFatalFailure()) return;
    }
}

#ifndef _WIN32
// The number rule against the C library's strtod (the Windows runtime differs in hex and inf forms).
TEST(ScanDifferential, NumberPrefixMatchesStrtod) {
    Picker p;
    const std::vector<std::string> parts = pieces(
        " |\t|+|-|0|1|9|.|e|E|x|X|a|f|p|inf|INF|inity|nan|NaN|(|)|_|12|3.25|e5|e-3|0x1|p3|abc|\n|"
        "47.579730894805001|9007199254740993|0.1|1234567890123456789|0000000000|99999999|12345678\xFA"
        "9");
    const std::vector<std::string> tails = {"\" lon=\"12.10787211726483\">\n", "</ele>\n        <time>2023",
                                            "0123456789012345678901234", ".25e3 and more text here",
                                            "\xFA\xFB\xFC\xFD\xFE\xFF\x80\x7F 0123456789"};
    for (int round = 0; round < kRounds * 4; ++round) {
        std::string text;
        size_t count = 1 + p.below(7);
        for (size_t i = 0; i < count; ++i) text += p.pick(parts);
        // Half of them with the rest of a file behind, as figures mostly stand.
        if (round % 2) text += p.pick(tails);
        char* end = nullptr;
        errno = 0;
        double expected = std::strtod(text.c_str(), &end);
        bool expectedFound = end != text.c_str() && errno != ERANGE;
        // Exact subnormals are accepted by strtod but refused here; no GPX figure lives there.
        if (expected != 0 && std::fabs(expected) < 1e-300) continue;
        double actual = 0;
        bool found = parseNumberPrefix(text, actual);
        ASSERT_EQ(expectedFound, found) << escaped(text);
        if (found) {
            if (std::isnan(expected)) {
                EXPECT_TRUE(std::isnan(actual)) << escaped(text);
            } else {
                EXPECT_EQ(expected, actual) << escaped(text);
            }
        }
    }
}
#endif

}  // namespace
