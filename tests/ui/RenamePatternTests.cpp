// New names from a pattern: the fields, names Windows refuses, clashes and lengths.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "UiTestSupport.h"
#include "platform/Platform.h"
#include "ui/RenamePattern.h"

namespace fs = std::filesystem;

namespace {

RouteInfo routeAt(const fs::path& path, std::string name) {
    RouteInfo route = sampleRoute("x");
    route.filePath = path;
    route.routeName = std::move(name);
    route.hasFirstTime = true;
    route.firstTimeSeconds = 1704067200 - 3600;  // 2023-12-31 23:00 UTC, written at +02:00
    route.firstTimeOffsetMinutes = 120;
    return route;
}

std::u16string stemOf(std::u16string_view pattern, const RouteInfo& route, const char* language = "de") {
    return patternStem(pattern, route, resolveLanguage(language));
}

TEST(RenamePattern, FieldsAndNamesWindowsRefuses) {
    RouteInfo route = routeAt("lib/1234567890.gpx", "Runde \"A/B\"\tum den See");
    // The day and clock of the zone the stamp was written in, not of UTC.
    EXPECT_EQ(stemOf(u"{date} {time} {sport} {name}", route), u"2024-01-01 0100 Rad Runde _A_B_ um den See");
    EXPECT_EQ(stemOf(u"{sport} {length} {stem}", route, "en"), u"Cycling 10.0 km 1234567890");
    // Missing values leave no doubled blanks; an unknown field stays as typed.
    route.hasFirstTime = false;
    route.routeName.clear();
    EXPECT_EQ(stemOf(u"  {date} {name}  {sport} {x}", route), u"Rad {x}");
    // Nothing left, or only what Windows trims away, keeps the current stem.
    EXPECT_EQ(stemOf(u"{date}{name}", route), u"1234567890");
    EXPECT_EQ(stemOf(u"{name} . .", route), u"1234567890");
    // Device names, whatever follows the first dot, and a trailing dot.
    for (const char* name : {"CON", "nul", "Com1", "LPT9.tour", "aux "}) {
        route.routeName = name;
        const std::u16string stem = stemOf(u"{name}", route);
        EXPECT_NE(stem.find(u'_'), std::u16string::npos) << name;
    }
    route.routeName = "COM10";
    EXPECT_EQ(stemOf(u"{name}", route), u"COM10");
    route.routeName = "Tour...";
    EXPECT_EQ(stemOf(u"{name}", route), u"Tour");
}

TEST(RenamePattern, ClashesUnchangedNamesAndLongNames) {
    TempFolder folder;
    const ActiveLanguage german = resolveLanguage("de");
    for (const char* name : {"a.gpx", "b.GPX", "c.gpx", "Tour.gpx", "Keep.gpx", "Ost 2.gpx"}) {
        writeBytes(folder.path / name, name);
    }
    std::vector<RouteInfo> routes;
    routes.push_back(routeAt(folder.path / "a.gpx", "Tour"));     // Tour.gpx is taken on the disk
    routes.push_back(routeAt(folder.path / "b.GPX", "Tour"));     // and now Tour 2 in the batch
    routes.push_back(routeAt(folder.path / "Keep.gpx", "Keep"));  // its own name already
    routes.push_back(routeAt(folder.path / "c.gpx", "Ost"));      // Ost is free
    routes.push_back(routeAt(folder.path / "Tour.gpx", std::string(250, 'x') + "\xF0\x9F\x98\x80"));
    std::vector<const RouteInfo*> pointers;
    for (const RouteInfo& route : routes) pointers.push_back(&route);

    std::vector<RenameStep> steps = planRenames(u"{name}", pointers, german);
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].to, folder.path / "Tour 2.gpx");
    EXPECT_EQ(steps[1].to, folder.path / "Tour 3.GPX");  // the extension stays as it was
    EXPECT_EQ(steps[2].to, steps[2].from);
    EXPECT_EQ(steps[3].to, folder.path / "Ost.gpx");
    const fs::path longName = steps[4].to.filename();
    // Cut at a character boundary: the emoji (a surrogate pair, four bytes of UTF-8) does not fit
    // and is left out whole.
    EXPECT_EQ(longName, fs::path(std::string(250, 'x') + ".gpx"));

    // Someone takes a planned name before the rename: the file moves on, nothing is replaced.
    writeBytes(folder.path / "Ost.gpx", "other");
    for (RenameStep& step : steps) EXPECT_EQ(applyRename(step), FileError::none) << step.to;
    EXPECT_EQ(steps[3].to, folder.path / "Ost 3.gpx");  // Ost 2.gpx is taken too
    EXPECT_EQ(readBytes(folder.path / "Ost.gpx"), "other");
    EXPECT_EQ(readBytes(folder.path / "Ost 3.gpx"), "c.gpx");
    EXPECT_EQ(readBytes(folder.path / "Tour 3.GPX"), "b.GPX");
    EXPECT_EQ(readBytes(folder.path / "Keep.gpx"), "Keep.gpx");
    EXPECT_EQ(readBytes(steps[4].to), "Tour.gpx");
    EXPECT_FALSE(fs::exists(folder.path / "a.gpx"));
}

}  // namespace
