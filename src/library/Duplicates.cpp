#include "library/Duplicates.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>

namespace {

// Routes joined into groups: each pair found joins two sets, so that A like B and B like C make
// one group of three.
struct Sets {
    std::vector<std::size_t> parent;

    explicit Sets(std::size_t count) : parent(count) { std::iota(parent.begin(), parent.end(), 0); }
    std::size_t root(std::size_t at) {
        while (parent[at] != at) at = parent[at] = parent[parent[at]];
        return at;
    }
    void join(std::size_t a, std::size_t b) {
        a = root(a);
        b = root(b);
        if (a != b) parent[std::max(a, b)] = std::min(a, b);
    }
};

struct Grouping {
    const std::vector<RouteInfo>& routes;
    Sets sets;
    std::vector<DuplicateMatch> matches;
    std::vector<bool> matched;

    explicit Grouping(const std::vector<RouteInfo>& all)
        : routes(all), sets(all.size()), matches(all.size()), matched(all.size(), false) {}

    // The reasons are looked for strongest first: a route keeps the first one it gets.
    void note(std::size_t route, std::size_t partner, DuplicateReason reason) {
        if (matched[route]) return;
        matched[route] = true;
        matches[route].reason = reason;
        matches[route].partner = partner;
    }
    // The routes that `wanted` admits, sorted by `less`; neighbours that `same` holds for are
    // joined. Every pair of a run of equal routes is joined through the neighbours between them.
    template <typename Wanted, typename Less, typename Same>
    void joinNeighbours(DuplicateReason reason, Wanted wanted, Less less, Same same) {
        std::vector<std::size_t> order;
        for (std::size_t i = 0; i < routes.size(); ++i) {
            if (wanted(routes[i])) order.push_back(i);
        }
        // Ties in the order of the routes, so that a route's partner never depends on the sort.
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            if (less(routes[a], routes[b])) return true;
            return !less(routes[b], routes[a]) && a < b;
        });
        for (std::size_t i = 1; i < order.size(); ++i) {
            const std::size_t a = order[i - 1];
            const std::size_t b = order[i];
            if (!same(routes[a], routes[b])) continue;
            sets.join(a, b);
            note(a, b, reason);
            note(b, a, reason);
        }
    }
};

// Doubles ordered by their bits: a total order even for values no file should give (NaN), and
// equal exactly when the bits are.
std::uint64_t bitsOf(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

bool outlineLess(const RouteInfo& a, const RouteInfo& b) {
    return std::lexicographical_compare(a.outline.begin(), a.outline.end(), b.outline.begin(),
                                        b.outline.end(), [](const auto& p, const auto& q) {
                                            if (bitsOf(p.first) != bitsOf(q.first))
                                                return bitsOf(p.first) < bitsOf(q.first);
                                            return bitsOf(p.second) < bitsOf(q.second);
                                        });
}

bool sameOutline(const RouteInfo& a, const RouteInfo& b) {
    return std::equal(a.outline.begin(), a.outline.end(), b.outline.begin(), b.outline.end(),
                      [](const auto& p, const auto& q) {
                          return bitsOf(p.first) == bitsOf(q.first) && bitsOf(p.second) == bitsOf(q.second);
                      });
}

}  // namespace

DuplicateGroups findDuplicates(const std::vector<RouteInfo>& routes) {
    Grouping grouping(routes);
    grouping.joinNeighbours(
        DuplicateReason::sameFile, [](const RouteInfo& route) { return route.hasContentHash; },
        [](const RouteInfo& a, const RouteInfo& b) { return a.contentHash < b.contentHash; },
        [](const RouteInfo& a, const RouteInfo& b) { return a.contentHash == b.contentHash; });
    // A recorded activity: its points carry time stamps. A planned route's only time may be the
    // moment it was exported, which many files share.
    grouping.joinNeighbours(
        DuplicateReason::sameActivity,
        [](const RouteInfo& route) {
            return route.errorText.empty() && route.hasFirstTime && route.hasTimestamps;
        },
        [](const RouteInfo& a, const RouteInfo& b) {
            if (a.firstTimeSeconds != b.firstTimeSeconds) return a.firstTimeSeconds < b.firstTimeSeconds;
            return a.durationSeconds < b.durationSeconds;
        },
        [](const RouteInfo& a, const RouteInfo& b) {
            // Another program may round the last stamp or drop its fraction.
            return a.firstTimeSeconds == b.firstTimeSeconds &&
                   std::abs(a.durationSeconds - b.durationSeconds) <= 1.0;
        });
    // The same points: the count, the exact distance summed over all of them and the outline's
    // points taken from them. A single point is no route to compare.
    grouping.joinNeighbours(
        DuplicateReason::sameCoordinates,
        [](const RouteInfo& route) { return route.errorText.empty() && route.pointCount >= 2; },
        [](const RouteInfo& a, const RouteInfo& b) {
            if (a.pointCount != b.pointCount) return a.pointCount < b.pointCount;
            if (bitsOf(a.distanceMeters) != bitsOf(b.distanceMeters))
                return bitsOf(a.distanceMeters) < bitsOf(b.distanceMeters);
            return outlineLess(a, b);
        },
        [](const RouteInfo& a, const RouteInfo& b) {
            return a.pointCount == b.pointCount && bitsOf(a.distanceMeters) == bitsOf(b.distanceMeters) &&
                   sameOutline(a, b);
        });

    DuplicateGroups groups;
    groups.byRoute = std::move(grouping.matches);
    // Groups numbered in the order of their first routes; every route of a group was matched.
    std::vector<std::size_t> numberOfRoot(routes.size(), kNoDuplicateGroup);
    for (std::size_t i = 0; i < routes.size(); ++i) {
        if (!grouping.matched[i]) continue;
        std::size_t& number = numberOfRoot[grouping.sets.root(i)];
        if (number == kNoDuplicateGroup) number = groups.groupCount++;
        groups.byRoute[i].group = number;
    }
    return groups;
}

std::vector<std::size_t> duplicateRoutesInGroups(const DuplicateGroups& groups) {
    // Counted into place: each group's share of the list, then its routes in their order.
    std::vector<std::size_t> start(groups.groupCount + 1, 0);
    for (const DuplicateMatch& match : groups.byRoute) {
        if (match.group != kNoDuplicateGroup) ++start[match.group + 1];
    }
    for (std::size_t group = 0; group < groups.groupCount; ++group) start[group + 1] += start[group];
    std::vector<std::size_t> listed(start.back());
    for (std::size_t i = 0; i < groups.byRoute.size(); ++i) {
        const std::size_t group = groups.byRoute[i].group;
        if (group != kNoDuplicateGroup) listed[start[group]++] = i;
    }
    return listed;
}

const char* duplicateReasonKey(DuplicateReason reason) {
    switch (reason) {
        case DuplicateReason::sameFile:
            return "sameFileAs";
        case DuplicateReason::sameActivity:
            return "sameActivityAs";
        case DuplicateReason::sameCoordinates:
            break;
    }
    return "sameCoordinatesAs";
}
