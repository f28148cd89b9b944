// Find duplicates in the real window, driven by real key presses.

#include "GuiTestSupport.h"
#include "ui/win32/RouteListView.h"

TEST_F(GuiTest, CtrlDNarrowsTheListToTheDuplicatesAndEscapeBringsBackTheRest) {
    TrackShape shape;
    shape.name = "Isar";
    writeTrack(library() / "Isar.gpx", shape);
    writeTrack(library() / "Isar copy.gpx", shape);
    TrackShape other;
    other.name = "Lech";
    other.day = "2024-06-01";
    other.lat = 47.0;
    writeTrack(library() / "Lech.gpx", other);
    startWindow("en");
    SetForegroundWindow(window->mainWindow);
    SetFocus(window->routeList);
    ASSERT_EQ(listRowCount(), 3);

    pressKeyWith(VK_CONTROL, 'D');
    EXPECT_EQ(listColumn(0), (Texts{u"Isar", u"Isar copy"}));
    selectListRow(1);
    EXPECT_TRUE(
        textOf(window->statusStatic).starts_with(u"Duplicate groups: 1   \u00B7   Same file as Isar.gpx"))
        << wideToUtf8(textOf(window->statusStatic));
    // The narrowing lasts through a sort.
    sortRouteListBy(*window, 0);
    EXPECT_EQ(listRowCount(), 2);

    SetFocus(window->routeList);
    pressKey(VK_ESCAPE);
    EXPECT_EQ(listRowCount(), 3);
    EXPECT_FALSE(window->list.duplicatesOnly);
}
