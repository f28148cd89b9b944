// The rewrite's scanners against std::regex on many small generated texts: same leftmost match,
// same group, same end, in every byte-search tier.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "core/ScanTiers.h"
#include "core/SportRewriteScan.h"

namespace {

// Texts are strung together from tag-like pieces (so that matches are common) and loose bytes (so
// that the odd corners are reached too).
const std::vector<std::string> kNoise = {"<", ">",  "/",  "</", ":",        ".",   "-",
                                         " ", "\n", "\r", "x",  "\xC3\xA9", "\xFF"};
const std::vector<std::string> kPrefixes = {
    "", "", "gpx:", "GPX:", "a.b:", "axb:", "a\nb:", "g-1:", ".:", "x:"};
const std::vector<std::string> kNames = {"trk",   "TRK",        "Rte",  "type", "TYPE",  "trkseg", "trkpt",
                                         "rtept", "extensions", "link", "LINK", "typed", "trkx"};
const std::vector<std::string> kAfterName = {"",   "",   " ",  "\n", " a=\"1\"", "/",
                                             "-x", ".y", "\t", "_",  "9",        "\xE9"};
const std::vector<std::string> kClosers = {">", ">", "", " >", "/>", "\r\n>"};

template <typename List>
const std::string& pick(std::mt19937& random, const List& list) {
    return list[static_cast<std::size_t>(random()) % list.size()];
}

// `focus` (prefix, name) pairs are used for half of the tags, so that a search for one particular
// name finds something often enough.
std::string randomText(std::mt19937& random, int maxPieces,
                       const std::vector<std::pair<std::string, std::string>>& focus = {}) {
    auto tagName = [&]() {
        if (!focus.empty() && random() % 2 == 0) {
            const auto& chosen = focus[static_cast<std::size_t>(random()) % focus.size()];
            return chosen.first + chosen.second;
        }
        return pick(random, kPrefixes) + pick(random, kNames);
    };
    std::string text;
    for (int i = static_cast<int>(random() % static_cast<unsigned>(maxPieces + 1)); i > 0; --i) {
        switch (random() % 4) {
            case 0:
                text += pick(random, kNoise);
                break;
            case 1:
                text += "</";
                text += tagName();
                text += pick(random, kClosers);
                break;
            default:
                text += "<";
                text += tagName();
                text += pick(random, kAfterName);
                text += pick(random, kClosers);
                break;
        }
    }
    return text;
}

struct RegexSpan {
    bool found = false;
    std::size_t begin = 0, end = 0, groupBegin = 0, groupEnd = 0;
};

RegexSpan searchRegex(const std::string& text, std::size_t from, const std::string& pattern) {
    static std::map<std::string, std::regex> compiled;
    auto it = compiled.find(pattern);
    if (it == compiled.end()) {
        it = compiled.emplace(pattern, std::regex(pattern, std::regex::ECMAScript | std::regex::icase)).first;
    }
    const std::regex& re = it->second;
    std::smatch match;
    RegexSpan span;
    if (!std::regex_search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), match, re))
        return span;
    span.found = true;
    span.begin = from + static_cast<std::size_t>(match.position(0));
    span.end = span.begin + static_cast<std::size_t>(match.length(0));
    if (match.size() > 1) {
        span.groupBegin = from + static_cast<std::size_t>(match.position(1));
        span.groupEnd = span.groupBegin + static_cast<std::size_t>(match.length(1));
    }
    return span;
}

// How many comparisons had a match: a generator that never produces one would prove nothing.
int matchesSeen = 0;

// `search` runs in every byte-search tier.
template <typename Search>
void expectSame(Search search, const RegexSpan& theirs, const std::string& text, bool withGroup) {
    if (theirs.found) ++matchesSeen;
    inEveryScanTier([&] {
        const TagSpan ours = search();
        ASSERT_EQ(ours.found, theirs.found) << testing::PrintToString(text);
        if (!ours.found) return;
        EXPECT_EQ(ours.begin, theirs.begin) << testing::PrintToString(text);
        EXPECT_EQ(ours.end, theirs.end) << testing::PrintToString(text);
        if (withGroup) {
            EXPECT_EQ(ours.nameBegin, theirs.groupBegin) << testing::PrintToString(text);
            EXPECT_EQ(ours.nameEnd, theirs.groupEnd) << testing::PrintToString(text);
        }
    });
}

constexpr int kRounds = 2000;

// kRounds comparisons from one seed; enough of them must find a match.
template <typename Round>
void differential(unsigned seed, Round round) {
    matchesSeen = 0;
    std::mt19937 random(seed);
    for (int i = 0; i < kRounds && !testing::Test::HasFatalFailure(); ++i) round(random, i);
    EXPECT_GT(matchesSeen, kRounds / 20);
}

}  // namespace

TEST(SportRewriteScan, TrackOrRouteStartMatchesTheRegex) {
    differential(20240131, [&](std::mt19937& random, int) {
        const std::string text = randomText(random, 8);
        expectSame([&] { return findTrackOrRouteStart(text); },
                   searchRegex(text, 0, R"(<((?:[\w.-]+:)?(?:trk|rte))\b[^>]*>)"), text, true);
    });
}

TEST(SportRewriteScan, EndTagMatchesTheRegexForNamesWithWildcards) {
    const std::vector<std::string> names = {
        "trk",     "gpx:trk", "a.b:rte",  "..:trk",
        "g-1:TRK", "x.:rte",  "a.b:type", std::string(40, 'x') + "." + std::string(30, 'y') + ":trk"};
    differential(7, [&](std::mt19937& random, int round) {
        const std::string& name = names[static_cast<std::size_t>(round) % names.size()];
        // The name itself, and a spelling that only its wildcards accept.
        std::string loose = name;
        for (char& c : loose) {
            if (c == '.') c = random() % 2 ? '<' : '\n';
        }
        const std::string text = randomText(random, 8, {{"", name}, {"", loose}});
        const std::size_t from = text.empty() ? 0 : static_cast<std::size_t>(random()) % (text.size() + 1);
        expectSame([&] { return findEndTag(text, from, name); },
                   searchRegex(text, from, "</" + name + R"(\s*>)"), text, false);
    });
}

TEST(SportRewriteScan, TypeElementMatchesTheLazyRegex) {
    const std::vector<std::string> prefixes = {"", "gpx:", "a.b:", ".:", "g-1:", "..:"};
    differential(42, [&](std::mt19937& random, int round) {
        const std::string& prefix = prefixes[static_cast<std::size_t>(round) % prefixes.size()];
        std::string loose = prefix;
        for (char& c : loose) {
            if (c == '.') c = random() % 2 ? '>' : '\r';
        }
        const std::string text =
            randomText(random, 12, {{prefix, "type"}, {loose, "TYPE"}, {prefix, "typed"}});
        const std::string pattern = "<" + prefix + R"(type\b[^>]*>[\s\S]*?</)" + prefix + R"(type\s*>)";
        expectSame([&] { return findTypeElement(text, prefix); }, searchRegex(text, 0, pattern), text, false);
    });
}

TEST(SportRewriteScan, BoundaryAndLinkTagsMatchTheRegex) {
    differential(99, [&](std::mt19937& random, int) {
        const std::string text = randomText(random, 8);
        expectSame([&] { return findFirstPointOrExtension(text); },
                   searchRegex(text, 0, R"(<(?:[\w.-]+:)?(?:trkseg|rtept|trkpt|extensions)\b)"), text, false);
        const std::size_t from = text.empty() ? 0 : static_cast<std::size_t>(random()) % (text.size() + 1);
        expectSame([&] { return findLinkStart(text, from); },
                   searchRegex(text, from, R"(<(?:[\w.-]+:)?link\b[^>]*>)"), text, false);
        expectSame([&] { return findLinkEnd(text, from); },
                   searchRegex(text, from, R"(</(?:[\w.-]+:)?link\s*>)"), text, false);
    });
}

TEST(SportRewriteScan, HandlesMegabytesWithoutRecursion) {
    // An unclosed type start tag in front of a huge body: the lazy search must neither recurse nor
    // scan the body once per '<'.
    std::string text = "<type>";
    for (int i = 0; i < 200000; ++i) text += "<trkpt lat=\"1\" lon=\"2\"><ele>3</ele></trkpt>\n";
    EXPECT_FALSE(findTypeElement(text, "").found);
    EXPECT_FALSE(findEndTag(text, 0, "trk").found);
    const std::string many(3000000, '<');
    EXPECT_FALSE(findTrackOrRouteStart(many + "trk").found);
    EXPECT_TRUE(findTrackOrRouteStart(many + "trk>").found);
    // Wildcards in a long prefix match '<' too; each position must still cost little.
    std::string ends;
    for (int i = 0; i < 500000; ++i) ends += "</";
    const std::string dotted = std::string(300, '.') + ":trk";
    EXPECT_FALSE(findEndTag(ends, 0, dotted).found);
    EXPECT_TRUE(findEndTag(ends + std::string(300, 'a') + ":TRK >", 0, dotted).found);
}
