// The overview in the real window: Ctrl+T shows it, a click on a cell narrows the list to that
// year and sport, and Escape takes the narrowing away again.

#include <tuple>

#include "GuiTestSupport.h"
#include "ui/ControlIds.h"

TEST_F(GuiTest, ACellOfTheOverviewNarrowsTheListUntilEscape) {
    for (const auto& [name, type, day] :
         {std::tuple("Ride", "cycling", "2024-05-01"), std::tuple("Run", "running", "2023-05-01"),
          std::tuple("Run 2", "running", "2024-06-01")}) {
        TrackShape shape;
        shape.type = type;
        shape.day = day;
        writeTrack(library() / (std::string(name) + ".gpx"), shape);
    }
    startWindow("en");
    SetForegroundWindow(window->mainWindow);
    pressKeyWith(VK_CONTROL, 'T');
    const OverviewPane& pane = window->overview;
    ASSERT_TRUE(isVisible(pane.table));
    EXPECT_FALSE(isVisible(window->routeList));
    EXPECT_EQ(textOf(pane.toggle), u"\u2261 List");

    // 2024 is the first row; running the second column.
    const int x = pane.labelWidth + pane.columnWidths[0] + pane.columnWidths[1] / 2;
    const int y = pane.headerHeight + pane.rowHeight / 2;
    SendMessageW(pane.table, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    EXPECT_TRUE(isVisible(window->routeList));
    ASSERT_EQ(listRowCount(), 1);
    EXPECT_EQ(listText(0, 0), u"Run 2");
    EXPECT_EQ(textOf(pane.note), u"\u00D7  Year 2024 \u00B7 Running");

    pressKey(VK_ESCAPE);
    EXPECT_EQ(listRowCount(), 3);
    EXPECT_FALSE(isVisible(pane.note));
}
