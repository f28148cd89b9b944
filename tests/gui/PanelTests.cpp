// Selecting rows, the detail panel and sketch they fill, list row colours, and changing the sport.

#include <algorithm>

#include "GuiTestSupport.h"
#include "core/Failure.h"
#include "ui/ListColors.h"
#include "ui/RouteListLogic.h"
#include "ui/win32/Accessibility.h"
#include "ui/win32/RouteListView.h"

namespace fs = std::filesystem;

namespace {

unsigned colorOf(Rgb color) {
    return rgbValue(color.r, color.g, color.b);
}

class PanelTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        TrackShape north;  // due north: the sketch draws a vertical line in the middle
        north.name = "Nordweg";
        north.type = "cycling";
        north.points = 25;
        north.day = "2024-08-02";
        north.weather = "temp=\"21.5\" feuchte=\"40.4\" wind=\"12.5\" windrichtung=\"NW\" lage=\"sonnig\"";
        writeTrack(library() / "Nordweg.gpx", north);
        TrackShape plain;
        plain.name = "Ohne Wetter";
        plain.type = "hiking";
        plain.stepLon = 0.001;
        plain.day = "2024-08-01";
        writeTrack(library() / "Plain.gpx", plain);
    }
};

}  // namespace

TEST_F(PanelTest, SelectingARowFillsThePanelAndEmptySpaceKeepsIt) {
    startWindow("de");
    ASSERT_EQ(listText(0, 0), u"Nordweg");
    // The first time stamp as the analysis gives it: 02.08.2024 00:00 UTC, written at +02:00.
    for (RouteInfo& route : window->list.routes) {
        route.hasFirstTime = route.fileStem == "Nordweg";
        route.firstTimeSeconds = 1722556800;
        route.firstTimeOffsetMinutes = 120;
    }
    selectListRow(0);
    EXPECT_EQ(window->list.focusedRow, 0);
    EXPECT_EQ(textOf(window->titleStatic), u"Nordweg");
    EXPECT_EQ(textOf(window->fileNameStatic), u"Nordweg.gpx");
    EXPECT_EQ(textOf(window->subtitleStatic), u"02.08.2024 02:00");
    const std::u16string distance(translate(window->language, "distance"));
    EXPECT_EQ(textOf(window->distanceStatic), distance + u"\r\n" + listText(0, 3));
    EXPECT_EQ(textOf(window->timeStatic), u"Zeit\r\n0:24");
    EXPECT_EQ(textOf(window->typeStatic), u"Art\r\nStrecke");
    EXPECT_EQ(textOf(window->startStatic).substr(0, 9), u"Start\r\n48");
    EXPECT_EQ(textOf(window->finishStatic).substr(0, 8), u"Ziel\r\n48");
    EXPECT_TRUE(textOf(window->speedStatic).ends_with(u" km/h")) << wideToUtf8(textOf(window->speedStatic));
    EXPECT_EQ(textOf(window->pointsStatic), u"Punkte\r\n25");
    EXPECT_EQ(textOf(window->weatherStatic),
              u"WETTER\r\n22 \u00b0C  sonnig  \u00b7  40 %  \u00b7  13 km/h NW");
    EXPECT_TRUE(isVisible(window->weatherStatic));
    EXPECT_TRUE(isEnabled(window->sportCombo));
    EXPECT_EQ(comboSelection(window->sportCombo), 0);  // cycling
    EXPECT_EQ(comboItems(window->sportCombo)[4], u"Wandern");

    // Clicking empty space takes the selection away but leaves the panel as it was.
    clearListSelection();
    EXPECT_EQ(window->list.focusedRow, 0);
    EXPECT_EQ(textOf(window->titleStatic), u"Nordweg");

    // A route without weather hides the weather line; a rebuild keeps the route, and one that
    // filters it out (prompt) leaves the line hidden.
    selectListRow(1);
    EXPECT_EQ(textOf(window->titleStatic), u"Ohne Wetter");
    EXPECT_EQ(textOf(window->subtitleStatic), u"01.08.24");  // no time stamp: the short date
    EXPECT_EQ(comboSelection(window->sportCombo), 4);
    EXPECT_FALSE(isVisible(window->weatherStatic));
    typeSearch(u"ohne");
    EXPECT_EQ(window->list.focusedRow, 0);
    EXPECT_EQ(textOf(window->titleStatic), u"Ohne Wetter");
    typeSearch(u"nordweg");
    EXPECT_EQ(window->list.focusedRow, -1);
    EXPECT_EQ(textOf(window->titleStatic), u"Eine Route w\u00e4hlen");
    EXPECT_FALSE(isVisible(window->weatherStatic));
    EXPECT_FALSE(isEnabled(window->sportCombo));

    // With weather, then a rebuild that filters it out: the weather static stays visible but empty.
    selectListRow(0);
    typeSearch(u"ohne");
    EXPECT_TRUE(isVisible(window->weatherStatic));
    EXPECT_EQ(textOf(window->weatherStatic), u"");
    EXPECT_EQ(textOf(window->pointsStatic), u"Punkte\r\n\u2013");
}

TEST_F(PanelTest, TheSketchAndTheRowColoursFollowTheSelection) {
    startWindow("en");
    const unsigned track = colorOf(kSketchTrackColor);
    const unsigned selected = colorOf(kSelectedRowColor);
    const Capture empty = captureClient(window->sketchView);
    EXPECT_GT(empty.count(colorOf(kSketchFrameColor)), 500);
    EXPECT_EQ(empty.count(track), 0);
    const Capture before = captureClient(window->routeList, true);
    EXPECT_GT(before.count(colorOf(kEvenRowColor)), 1000);
    EXPECT_GT(before.count(colorOf(kOddRowColor)), 1000);
    EXPECT_EQ(before.count(selected), 0);

    // Due north, north up: one upright line down the middle of the sketch.
    selectListRow(0);
    const Capture drawn = captureClient(window->sketchView);
    EXPECT_GT(drawn.count(track), 150);
    int left = drawn.width, right = -1, top = drawn.height, bottom = -1;
    for (int y = 0; y < drawn.height; ++y) {
        for (int x = 0; x < drawn.width; ++x) {
            if (drawn.at(x, y) != track) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    EXPECT_LE(right - left, 3);
    EXPECT_NEAR((left + right) / 2, drawn.width / 2, 3);
    EXPECT_GT(bottom - top, drawn.height / 2);
    selectListRow(1);  // the odd row takes the selection colour
    const Capture after = captureClient(window->routeList, true);
    EXPECT_GT(after.count(selected), 1000);
    EXPECT_GT(after.count(colorOf(kEvenRowColor)), 1000);
    EXPECT_LT(after.count(colorOf(kOddRowColor)), before.count(colorOf(kOddRowColor)) / 10);

    typeSearch(u"nordweg");  // the selected route filtered out: the sketch drops its track
    EXPECT_EQ(captureClient(window->sketchView).count(track), 0);
}

TEST_F(PanelTest, TheSportBoxWritesADeliberateChoiceOnlyAndKeepsTheRouteAndTheFocus) {
    for (int i = 0; i < 40; ++i) {  // older walks: after the two routes in either order
        TrackShape walk;
        walk.type = "walking";
        walk.day = "2024-01-" + std::to_string(10 + i % 20);
        writeTrack(library() / ("Walk" + std::to_string(i) + ".gpx"), walk);
    }
    startWindow("en");
    sortRouteListBy(*window, 2);  // by sport: Nordweg (cycling) first, Plain (hiking) second
    selectListRow(0);
    ASSERT_EQ(textOf(window->titleStatic), u"Nordweg");
    SetForegroundWindow(window->mainWindow);
    SetFocus(window->sportCombo);
    const fs::path file = library() / "Nordweg.gpx";
    const auto sportIn = [&] {
        const std::string text = readBytes(file);
        const auto start = text.find("<type>") + 6;
        return text.substr(start, text.find("</type>") - start);
    };

    // Arrowing writes nothing; Enter writes the shown sport, and the route keeps the selection
    // (now in its new place), the panel and the box with the focus.
    pressKey(VK_DOWN);
    pressKey(VK_DOWN);
    EXPECT_EQ(comboSelection(window->sportCombo), 2);
    EXPECT_EQ(sportIn(), "cycling");
    pressKey(VK_RETURN);
    EXPECT_EQ(sportIn(), "motorcycling");
    EXPECT_TRUE(std::none_of(fs::directory_iterator(library()), fs::directory_iterator(),
                             [](const auto& entry) { return isOwnTemporaryName(entry.path().filename()); }));
    EXPECT_EQ(listText(1, 0), u"Nordweg");
    EXPECT_EQ(SendMessageW(window->routeList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    EXPECT_EQ(window->list.focusedRow, 1);
    EXPECT_EQ(textOf(window->titleStatic), u"Nordweg");
    EXPECT_EQ(GetFocus(), window->sportCombo);
    EXPECT_TRUE(isEnabled(window->sportCombo));
    EXPECT_EQ(comboSelection(window->sportCombo), 2);

    // Escape after arrowing shows the route's sport again and writes nothing.
    pressKey(VK_DOWN);
    EXPECT_EQ(comboSelection(window->sportCombo), 3);
    pressKey(VK_ESCAPE);
    EXPECT_EQ(comboSelection(window->sportCombo), 2);
    EXPECT_EQ(sportIn(), "motorcycling");

    // The open list: arrowing in it writes nothing, Enter picks.
    pressKey(VK_DOWN, true);
    ASSERT_TRUE(SendMessageW(window->sportCombo, CB_GETDROPPEDSTATE, 0, 0));
    pressKey(VK_DOWN);
    pressKey(VK_DOWN);
    EXPECT_EQ(sportIn(), "motorcycling");
    pressKey(VK_RETURN);
    EXPECT_FALSE(SendMessageW(window->sportCombo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(sportIn(), "hiking");
    EXPECT_EQ(comboSelection(window->sportCombo), 4);
    EXPECT_EQ(GetFocus(), window->sportCombo);

    // Leaving the box after arrowing writes; Tab goes on from the box as before.
    pressKey(VK_UP);
    EXPECT_EQ(sportIn(), "hiking");
    pressKey(VK_TAB);
    EXPECT_EQ(sportIn(), "driving");
    EXPECT_NE(GetFocus(), window->sportCombo);
    EXPECT_EQ(textOf(window->titleStatic), u"Nordweg");

    // Far down a long list the route stays where it was on the screen.
    window->list.sort = {};
    rebuildRouteList(*window);
    selectListRow(35);
    SendMessageW(window->routeList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(listRowCount() - 1), FALSE);
    const auto top = SendMessageW(window->routeList, LVM_GETTOPINDEX, 0, 0);
    ASSERT_GT(top, 0);
    SetFocus(window->sportCombo);
    pressKey(VK_DOWN);
    pressKey(VK_RETURN);
    EXPECT_EQ(listText(35, 2), u"Mountain bike");
    EXPECT_EQ(window->list.focusedRow, 35);
    EXPECT_EQ(SendMessageW(window->routeList, LVM_GETTOPINDEX, 0, 0), top);
    EXPECT_EQ(GetFocus(), window->sportCombo);

    // A route the sport filter hides now: no row is selected and the keyboard goes on in the list.
    const std::vector<std::u16string> sports = comboItems(filterCombo(IDC_FILTER_SPORT));
    const auto walking = std::find(sports.begin(), sports.end(), u"Walking") - sports.begin();
    chooseItem(filterCombo(IDC_FILTER_SPORT), static_cast<int>(walking));
    ASSERT_EQ(listRowCount(), 39);
    selectListRow(0);
    SetFocus(window->sportCombo);
    pressKey(VK_DOWN);
    pressKey(VK_RETURN);
    EXPECT_EQ(listRowCount(), 38);
    EXPECT_EQ(window->list.focusedRow, -1);
    EXPECT_EQ(textOf(window->titleStatic), u"Select a route");
    EXPECT_EQ(GetFocus(), window->routeList);
}

TEST_F(PanelTest, AFailingRewriteShowsTheErrorBoxAndChangesNothing) {
    const fs::path file = library() / "Nordweg.gpx";
    const std::string original = readBytes(file);
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    startWindow("en");
    selectListRow(0);

    std::u16string message;
    std::u16string boxClass;
    const bool seen = withWatchedWindow(
        window->mainWindow, u"Tirn GPX Library",
        [&](HWND box) {
            wchar_t name[64] = {};
            GetClassNameW(box, name, 64);
            boxClass = u16Text(name);
            message = readMessageBoxAndClose(box);
        },
        [&] {
            SetForegroundWindow(window->mainWindow);
            SetFocus(window->sportCombo);
            pressKey(VK_DOWN);
            pressKey(VK_RETURN);
            runMessageLoop(1000);
        });
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_TRUE(seen);
    EXPECT_EQ(boxClass, u"#32770");
    // Told in the interface language, not the record's fixed German.
    EXPECT_TRUE(message == u"The file could not be replaced and was left unchanged." ||
                message == u"A temporary file could not be written; the file was left unchanged.")
        << std::string(message.begin(), message.end());
    EXPECT_EQ(readBytes(file), original);
    EXPECT_TRUE(std::none_of(fs::directory_iterator(library()), fs::directory_iterator(),
                             [](const auto& entry) { return isOwnTemporaryName(entry.path().filename()); }));
    EXPECT_EQ(window->list.focusedRow, 0);
    EXPECT_EQ(textOf(window->titleStatic), u"Nordweg");
    EXPECT_EQ(listText(0, 2), u"Cycling");
    // The box shows the sport the file really has, not the one that could not be written.
    EXPECT_EQ(comboSelection(window->sportCombo), 0);
}

TEST_F(PanelTest, AnAmpersandInARouteNameIsShownAsText) {
    TrackShape shape;
    shape.name = "Feierabend &amp; Eisbach, den ganzen Englischen Garten hinauf und wieder zurück";
    shape.day = "2024-12-31";  // 31.12.24 sorts first
    writeTrack(library() / "Amp.gpx", shape);
    startWindow("en");
    ASSERT_EQ(listText(0, 0), u"Amp");
    selectListRow(0);
    const std::u16string name =
        u"Feierabend & Eisbach, den ganzen Englischen Garten hinauf und wieder zur\u00fcck";
    EXPECT_EQ(textOf(window->titleStatic), name);
    // Too long for the panel: it ends in an ellipsis there and shows whole in the tooltip.
    EXPECT_EQ(toolTipTextOf(*window, window->titleStatic), name);
    selectListRow(1);
    EXPECT_EQ(toolTipTextOf(*window, window->titleStatic), u"");
    // Drawn with and without the prefix rule, "&E" would differ: the static must not apply it.
    for (HWND window :
         {window->titleStatic, window->subtitleStatic, window->weatherStatic, window->statusStatic}) {
        EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & SS_NOPREFIX);
    }
}

TEST_F(PanelTest, BrokenFilesAreListedAndSelectableWithoutHarm) {
    writeBytes(library() / "empty.gpx", "");
    writeBytes(library() / "garbage.gpx",
               std::string("\xff\xfe<gpx><trk><trkseg><trkpt lat=\"x\" lon=\"\x80\">", 45));
    startWindow("en");
    ASSERT_EQ(listRowCount(), 4);
    for (int row = 0; row < listRowCount(); ++row) {
        selectListRow(row);
        EXPECT_EQ(window->list.focusedRow, row);
    }
    selectListRow(3);
    EXPECT_EQ(textOf(window->distanceStatic),
              std::u16string(translate(window->language, "distance")) + u"\r\n0 m");
    EXPECT_EQ(textOf(window->timeStatic), u"Time\r\n\u2013");
    EXPECT_EQ(comboSelection(window->sportCombo), -1);
    EXPECT_TRUE(isEnabled(window->sportCombo));
    EXPECT_EQ(captureClient(window->sketchView).count(colorOf(kSketchTrackColor)), 0);

    // A damaged file says so: a mark in the list, its stem as the title and the reason in the
    // interface language where the weather stands. The mark is not part of the name searched.
    const std::vector<std::u16string> names = listColumn(0);
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [&](const std::u16string& n) { return n.starts_with(window->brokenMark); }),
              2);
    typeSearch(u"empty");
    ASSERT_EQ(listRowCount(), 1);
    EXPECT_EQ(listText(0, 0), window->brokenMark + u"empty");
    selectListRow(0);
    EXPECT_EQ(textOf(window->titleStatic), u"empty.gpx");
    EXPECT_EQ(textOf(window->fileNameStatic), u"");
    EXPECT_TRUE(isVisible(window->weatherStatic));
    const std::u16string reason = textOf(window->weatherStatic);
    EXPECT_TRUE(reason == u"This file cannot be read." || reason == u"No track or route points found.")
        << wideToUtf8(reason);
}

TEST_F(GuiTest, EveryRealWorldFileCanBeListedSelectedAndSketched) {
    REQUIRE_CORPUS();
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(corpusFolder())) {
        if (entry.path().extension() != ".gpx") continue;
        fs::copy_file(entry.path(), library() / entry.path().filename());
        ++files;
    }
    ASSERT_GT(files, 0u);
    startWindow("en");
    ASSERT_EQ(static_cast<std::size_t>(listRowCount()), files);
    int sketched = 0;
    for (int row = 0; row < listRowCount(); ++row) {
        selectListRow(row);
        ASSERT_EQ(window->list.focusedRow, row);
        // The panel writes the list's date and, where the track has a stamp, the start time.
        const std::u16string date = listText(row, 1);
        const std::u16string subtitle = textOf(window->subtitleStatic);
        EXPECT_TRUE(subtitle == date || subtitle.starts_with(date + u" ")) << wideToUtf8(subtitle);
        sketched += captureClient(window->sketchView).count(colorOf(kSketchTrackColor)) > 0;
    }
    EXPECT_GT(sketched, static_cast<int>(files) / 2);
}
