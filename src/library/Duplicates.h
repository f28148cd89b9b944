#pragma once
// Routes that are there twice: the same file under two names (the same bytes), the same activity
// recorded twice (the same first time stamp and duration), or the same track saved anew (the same
// coordinates). Found by sorting on each key, never by comparing every route with every other, so
// that a library of ten thousand routes is grouped in milliseconds.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/RouteInfo.h"

// The strongest reason that joins a route to another of its group, strongest first.
enum class DuplicateReason : std::uint8_t { sameFile, sameActivity, sameCoordinates };

inline constexpr std::size_t kNoDuplicateGroup = SIZE_MAX;

struct DuplicateMatch {
    std::size_t group = kNoDuplicateGroup;  // numbered from 0 in the order of the routes
    DuplicateReason reason = DuplicateReason::sameFile;
    std::size_t partner = 0;  // the route it matches for that reason (an index like the routes')
};

struct DuplicateGroups {
    std::vector<DuplicateMatch> byRoute;  // one per route; group kNoDuplicateGroup for a single one
    std::size_t groupCount = 0;
};

DuplicateGroups findDuplicates(const std::vector<RouteInfo>& routes);
// The routes that have a duplicate, a group's routes together, groups and routes in the order of
// `routes`.
std::vector<std::size_t> duplicateRoutesInGroups(const DuplicateGroups& groups);
// The translation key that words a reason: "sameFileAs", "sameActivityAs", "sameCoordinatesAs".
const char* duplicateReasonKey(DuplicateReason reason);
