#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "ui/DuplicateTexts.h"
#include "ui/ListView.h"
#include "ui/RouteListLogic.h"

namespace fs = std::filesystem;

namespace {

RouteInfo routeIn(const std::string& stem, const std::string& date) {
    RouteInfo route = sampleRoute(stem);
    route.filePath = fs::path("lib") / (stem + ".gpx");
    route.dateText = date;
    return route;
}

const ActiveLanguage english = resolveLanguage("en");

// Alpen, Berg, Chiemsee, Donau: library order is newest first.
std::vector<RouteInfo> library(const std::string& firstStart = "48.137, 11.575") {
    std::vector<RouteInfo> routes;
    for (const auto& [stem, date] : {std::pair("Donau", "04.01.24"), std::pair("Chiemsee", "03.01.24"),
                                     std::pair("Berg", "02.01.24"), std::pair("Alpen", "01.01.24")})
        routes.push_back(routeIn(stem, date));
    routes[0].startPlace = firstStart;
    return routes;
}

std::u16string focusedStem(const ListView& view) {
    const RouteInfo* route = focusedRoute(view);
    return route ? utf8ToWide(route->fileStem) : u"";
}

// What a click on a row reports: the row gains the selection and the focus.
void click(ListView& view, int row) {
    setRowsSelected(view, row, row, true);
    setFocusedRow(view, row);
}

}  // namespace

TEST(ListView, TheSelectedRouteSurvivesEveryRebuildThatStillListsIt) {
    ListView view;
    applyScan(view, library(), {}, FilterChoices::reset, english);
    click(view, 2);  // Berg
    ASSERT_EQ(focusedStem(view), u"Berg");

    setSearchText(view, u"E", english);  // Chiemsee, Berg, Alpen
    EXPECT_EQ(view.focusedRow, 1);
    setSearchText(view, u"", english);
    sortListBy(view, 0, english);  // by name: Alpen, Berg, Chiemsee, Donau
    EXPECT_EQ(view.focusedRow, 1);
    EXPECT_EQ(selectedRows(view), std::vector<int>{1});

    // A rescan brings a new route and another record of Berg: found again by its file.
    std::vector<RouteInfo> rescanned = library();
    rescanned.push_back(routeIn("Ebene", "05.01.24"));
    rescanned[2].distanceMeters = 2000;
    applyScan(view, std::move(rescanned), {}, FilterChoices::keepOffered, english);
    EXPECT_EQ(focusedStem(view), u"Berg");
    EXPECT_EQ(focusedRoute(view)->distanceMeters, 2000);

    changeListLanguage(view, resolveLanguage("de"));
    EXPECT_EQ(focusedStem(view), u"Berg");
    RouteInfo changed = routeIn("Berg", "02.01.24");
    changed.sportKey = "hiking";
    EXPECT_TRUE(applySportChange(view, std::move(changed), english));
    EXPECT_EQ(focusedRoute(view)->sportKey, "hiking");
    EXPECT_FALSE(applySportChange(view, routeIn("Gone", "01.01.20"), english));

    // A click into empty space takes the selection away; the panel's route stays focused.
    setRowsSelected(view, -1, -1, false);
    EXPECT_TRUE(selectedRows(view).empty());
    EXPECT_EQ(focusedStem(view), u"Berg");

    // Filtered out: nothing is selected or focused any more, also when it is listed again.
    click(view, view.focusedRow);
    FilterChoice longOnly;
    longOnly.index = 3;  // > 20 km: only Donau
    view.routes[0].distanceMeters = 30000;
    setFilterChoice(view, kLength, longOnly, english);
    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(focusedRoute(view), nullptr);
    EXPECT_TRUE(view.selected.empty());
    setFilterChoice(view, kLength, {}, english);
    EXPECT_EQ(focusedRoute(view), nullptr);
}

// The list reports Shift and Ctrl selections as rows gained and lost; the view keeps them by file.
TEST(ListView, SeveralSelectedRoutesAreKeptByFileAndAddUp) {
    const ActiveLanguage english = resolveLanguage("en");
    ListView view;
    std::vector<RouteInfo> routes = library();  // Donau, Chiemsee, Berg, Alpen
    for (std::size_t i = 0; i < routes.size(); ++i) {
        routes[i].durationSeconds = i == 1 ? 0 : 3600;  // Chiemsee has no time
        routes[i].ascentMeters = 100;
    }
    applyScan(view, std::move(routes), {}, FilterChoices::reset, english);
    click(view, 1);
    setAnchorRow(view, 1);
    // Shift+Down twice: the range from the anchor.
    setRowsSelected(view, 1, 3, true);
    setFocusedRow(view, 3);
    EXPECT_EQ(selectedRows(view), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(focusedStem(view), u"Alpen");
    EXPECT_EQ(view.anchor, fs::path("lib") / "Chiemsee.gpx");
    const RouteTotals totals = selectedTotals(view);
    EXPECT_EQ(totals.count, 3u);
    EXPECT_EQ(totals.meters, 30000);
    EXPECT_EQ(totals.seconds, 7200);  // Chiemsee adds no time
    EXPECT_EQ(totals.ascentMeters, 300);

    // Ctrl+click takes one away and gives it back; Ctrl+A selects every row.
    setRowsSelected(view, 2, 2, false);
    EXPECT_EQ(selectedRows(view), (std::vector<int>{1, 3}));
    setRowsSelected(view, -1, -1, true);
    EXPECT_EQ(selectedRows(view), (std::vector<int>{0, 1, 2, 3}));

    // A sort keeps the files selected; rows that drop out leave the set, and stay out.
    sortListBy(view, 0, english);  // Alpen, Berg, Chiemsee, Donau
    EXPECT_EQ(view.selected.size(), 4u);
    EXPECT_EQ(view.focusedRow, 0);
    setSearchText(view, u"e", english);  // Alpen, Berg, Chiemsee
    EXPECT_EQ(selectedRows(view), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(listedTotals(view).count, 3u);
    setSearchText(view, u"", english);
    EXPECT_EQ(selectedRows(view), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(selectedTotals(view).count, 3u);
}

TEST(ListView, ARescanKeepsTheFilterChoicesTheLibraryStillOffersAndAScanStartsAfresh) {
    ListView view;
    applyScan(view, library("47.000, 11.000"), {}, FilterChoices::reset, english);
    view.filters.choices[kStart].text = u"47.000, 11.000";
    view.filters.choices[kGhost].index = 2;
    applyScan(view, library("47.000, 11.000"), {}, FilterChoices::keepOffered, english);
    EXPECT_EQ(view.filters.choices[kStart].text, u"47.000, 11.000");
    EXPECT_EQ(view.rows.size(), 1u);
    applyScan(view, library(), {}, FilterChoices::keepOffered, english);  // no route starts there now
    EXPECT_TRUE(view.filters.choices[kStart].text.empty());
    EXPECT_EQ(view.filters.choices[kGhost].index, 2);
    setSearchText(view, u"a", english);
    applyScan(view, library(), {}, FilterChoices::reset, english);
    EXPECT_EQ(view.filters.choices[kGhost].index, 0);
    EXPECT_EQ(view.filters.search, u"a");
}

TEST(ListView, ImportedFilesAreSelectedAndTheNoteLastsUntilTheUsersNextChange) {
    ListView view;
    applyScan(view, library(), {}, FilterChoices::reset, english);
    click(view, 0);
    noteTopRow(view, 0, 10);
    setSearchText(view, u"donau", english);  // would hide the arrived files: it goes
    EXPECT_TRUE(applyImport(view, {fs::path("lib") / "Chiemsee.gpx", fs::path("lib") / "Alpen.gpx"},
                            u"Imported: 2", english));
    EXPECT_TRUE(view.filters.search.empty());
    EXPECT_EQ(focusedStem(view), u"Chiemsee");
    EXPECT_EQ(selectedRows(view), (std::vector<int>{1, 3}));
    EXPECT_EQ(wantedTopRow(view), -1);  // the list only scrolls the new row into view
    EXPECT_EQ(view.note, u"Imported: 2");
    applyScan(view, library(), {}, FilterChoices::keepOffered, english);  // from outside
    EXPECT_EQ(view.note, u"Imported: 2");
    setSearchText(view, u"", english);
    EXPECT_TRUE(view.note.empty());

    // The place on the screen: the focused row keeps its height, else the top row stays first.
    setSearchText(view, u"e", english);  // Chiemsee, Berg, Alpen
    noteTopRow(view, 0, 3);              // Chiemsee on the screen's first row
    setSearchText(view, u"", english);   // Donau above it now
    EXPECT_EQ(wantedTopRow(view), 1);
    setRowsSelected(view, -1, -1, false);
    view.focused.clear();
    view.focusedRow = -1;
    noteTopRow(view, 3, 3);  // Alpen at the top
    setSearchText(view, u"e", english);
    EXPECT_EQ(wantedTopRow(view), 2);
}

TEST(ListView, TheImportNoteCountsTheArrivedFilesAndNamesTheFirstThreeRenamed) {
    std::vector<fs::path> sources;
    std::vector<ImportResult> results;
    for (const char* name : {"Tour", "Run", "Ride", "Hike", "Swim", "Lost"}) {
        sources.push_back(fs::path("in") / (std::string(name) + ".gpx"));
        results.push_back({fs::path("lib") / (std::string(name) + " 2.gpx"), ImportFailure::none});
    }
    results[1].target = fs::path("lib") / "Run.gpx";  // arrived under its own name
    results[5] = {{}, ImportFailure::missingSource};
    EXPECT_EQ(importNoteText(sources, results, english),
              u"Imported: 5   \u00B7   Renamed: Tour.gpx \u2192 Tour 2.gpx, Ride.gpx \u2192 Ride 2.gpx, "
              u"Hike.gpx \u2192 Hike 2.gpx and 1 more");
    sources.resize(2);
    results.resize(2);
    results[0].target = fs::path("lib") / "Tour.gpx";
    EXPECT_EQ(importNoteText(sources, results, english), u"Imported: 2");
    results[0] = results[1] = {{}, ImportFailure::diskFull};
    EXPECT_EQ(importNoteText(sources, results, english), u"");
}

TEST(ListView, FindDuplicatesNarrowsToTheGroupsThroughSortsAndRescansUntilTheReset) {
    // The sample routes share their points; distances set apart all but those named.
    const auto libraryWithSame = [](std::initializer_list<std::size_t> same) {
        std::vector<RouteInfo> routes = library();
        for (std::size_t i = 0; i < routes.size(); ++i) {
            if (std::find(same.begin(), same.end(), i) == same.end()) routes[i].distanceMeters += 1.0 + i;
        }
        return routes;
    };
    const auto stems = [](const ListView& view) {
        std::vector<std::string> names;
        for (std::size_t row = 0; row < view.rows.size(); ++row)
            names.push_back(routeAtRow(view, row)->fileStem);
        return names;
    };
    ListView view;
    applyScan(view, libraryWithSame({}), {}, FilterChoices::reset, english);
    EXPECT_FALSE(showDuplicatesOnly(view, english));
    EXPECT_EQ(view.note, u"No duplicates found");
    EXPECT_EQ(view.rows.size(), 4u);

    applyScan(view, libraryWithSame({0, 3}), {}, FilterChoices::keepOffered, english);
    EXPECT_TRUE(showDuplicatesOnly(view, english));
    sortListBy(view, 0, english);
    EXPECT_EQ(stems(view), (std::vector<std::string>{"Alpen", "Donau"}));
    click(view, 1);
    EXPECT_EQ(duplicatesStatusText(view, english),
              u"Duplicate groups: 1   \u00B7   Same coordinates as Alpen.gpx   \u00B7   Esc shows all");

    applyScan(view, libraryWithSame({0, 1, 3}), {}, FilterChoices::keepOffered, english);
    EXPECT_EQ(stems(view), (std::vector<std::string>{"Alpen", "Chiemsee", "Donau"}));
    resetListFilters(view, english);
    EXPECT_EQ(view.rows.size(), 4u);
}
