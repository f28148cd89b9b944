#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LibraryTestSupport.h"
#include "library/Duplicates.h"
#include "library/LibraryScan.h"

namespace fs = std::filesystem;

namespace {

std::string track(const std::string& name, const std::string& second, const std::string& lat = "47.2") {
    return "<gpx><trk><name>" + name +
           "</name><trkseg><trkpt lat=\"47.1\" lon=\"8.1\"><time>2024-05-01T08:00:00Z</time></trkpt>"
           "<trkpt lat=\"" +
           lat + "\" lon=\"8.2\"><time>2024-05-01T09:00:" + second + "Z</time></trkpt></trkseg></trk></gpx>";
}

std::string untimed(const std::string& name, const std::string& lat) {
    return "<gpx><rte><name>" + name + "</name><rtept lat=\"" + lat +
           "\" lon=\"8.1\"/><rtept lat=\"46.2\" lon=\"8.2\"/></rte></gpx>";
}

// Each route with its reason's key and its partner's stem; a group's routes together.
std::vector<std::string> describe(const std::vector<RouteInfo>& routes) {
    const DuplicateGroups groups = findDuplicates(routes);
    std::vector<std::string> lines;
    for (const std::size_t i : duplicateRoutesInGroups(groups)) {
        const DuplicateMatch& match = groups.byRoute[i];
        lines.push_back(std::to_string(match.group) + " " + routes[i].fileStem + " " +
                        duplicateReasonKey(match.reason) + " " + routes[match.partner].fileStem);
    }
    return lines;
}

}  // namespace

using DuplicatesTest = ScratchSettings;

TEST_F(DuplicatesTest, GroupsTheSameFileActivityAndCoordinatesButNothingElse) {
    const fs::path folder = temp.path / "lib";
    fs::create_directories(folder);
    writeBytes(folder / "a.gpx", track("A", "00"));
    writeBytes(folder / "a copy.gpx", track("A", "00"));       // the same bytes
    writeBytes(folder / "b.gpx", track("B", "00.9", "47.3"));  // the same activity, within a second
    writeBytes(folder / "c.gpx", track("C", "02", "47.4"));    // two seconds longer: another one
    writeBytes(folder / "d.gpx", untimed("D", "46.1"));
    writeBytes(folder / "e.gpx", untimed("E", "46.1"));  // the same points, other texts
    writeBytes(folder / "f.gpx", untimed("F", "46.3"));
    writeBytes(folder / "g.gpx", "<gpx></gpx>");
    std::vector<RouteInfo> routes = readLibrary(folder, {.index = LibraryIndexUse::none});
    // Library order is by date then name: the three untimed routes come first.
    EXPECT_EQ(describe(routes),
              (std::vector<std::string>{"0 d sameCoordinatesAs e", "0 e sameCoordinatesAs d",
                                        "1 a sameFileAs a copy", "1 a copy sameFileAs a",
                                        "1 b sameActivityAs a copy"}));

    // Ten thousand routes without a duplicate are no group at all.
    routes.clear();
    for (int i = 0; i < 10000; ++i) {
        RouteInfo& route = routes.emplace_back();
        route.hasContentHash = route.hasFirstTime = route.hasTimestamps = true;
        route.contentHash = static_cast<std::uint64_t>(i) * 7919;
        route.firstTimeSeconds = 1700000000 + i * 2;
        route.pointCount = 2 + i % 5;
        route.distanceMeters = 1000.0 + i;
        route.outline = {{47.0, 8.0}, {47.1, 8.1}};
    }
    EXPECT_EQ(findDuplicates(routes).groupCount, 0u);
}
