// Sorting the real list by clicks on its column headers.

#include <algorithm>

#include "GuiTestSupport.h"
#include "ui/ControlIds.h"
#include "ui/RouteColumns.h"

namespace {

constexpr int kNameColumn = 0;
constexpr int kDateColumn = 1;
constexpr int kLengthColumn = 3;

class ListSortTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        // Lengths grow with the points (about 111 m each); the dates cross two centuries.
        writeTrack(library() / "Alpha.gpx", shape("Alpha", "2024-05-01", 30));
        writeTrack(library() / "bravo.gpx", shape("bravo", "1999-12-31", 100));
        writeTrack(library() / "Charlie.gpx", shape("Charlie", "2025-01-15", 5));
        TrackShape undated = shape("Delta", "", 60);
        undated.timestamps = false;
        writeTrack(library() / "Delta.gpx", undated);
        startWindow("en");
    }

    static TrackShape shape(const std::string& name, const std::string& day, int points) {
        TrackShape track;
        track.name = name;
        track.day = day;
        track.points = points;
        return track;
    }

    HWND header() const {
        return reinterpret_cast<HWND>(SendMessageW(window->routeList, LVM_GETHEADER, 0, 0));
    }

    // A click of the mouse in the middle of the column's header.
    void clickHeader(int column) const {
        RECT item{};
        SendMessageW(header(), HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageW(header(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(header(), WM_LBUTTONUP, 0, at);
    }

    // The arrows shown in the header: column and direction, or -1 for none.
    std::pair<int, int> arrow() const {
        for (int column = 0; column < static_cast<int>(kRouteColumnCount); ++column) {
            HDITEMW item{};
            item.mask = HDI_FORMAT;
            SendMessageW(header(), HDM_GETITEMW, static_cast<WPARAM>(column),
                         reinterpret_cast<LPARAM>(&item));
            if (item.fmt & HDF_SORTUP) return {column, HDF_SORTUP};
            if (item.fmt & HDF_SORTDOWN) return {column, HDF_SORTDOWN};
        }
        return {-1, -1};
    }

    int rowOf(std::u16string_view name) const {
        const Texts names = listColumn(kNameColumn);
        return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
    }

    bool rowSelected(int row) const {
        return SendMessageW(window->routeList, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) !=
               0;
    }

    Texts names() const { return listColumn(kNameColumn); }
};

}  // namespace

TEST_F(ListSortTest, HeaderClicksSortByNumbersAndTurnRoundAndSearchKeepsTheOrder) {
    // Library order until a header is clicked: the undated route first, then the date texts.
    ASSERT_EQ(names(), (Texts{u"Delta", u"bravo", u"Charlie", u"Alpha"}));
    EXPECT_EQ(arrow().first, -1);

    clickHeader(kLengthColumn);  // largest first
    EXPECT_EQ(names(), (Texts{u"bravo", u"Delta", u"Alpha", u"Charlie"}));
    EXPECT_EQ(arrow(), std::make_pair(kLengthColumn, HDF_SORTDOWN));
    EXPECT_TRUE(isVisible(window->resetButton));  // the way back to library order
    clickHeader(kLengthColumn);
    EXPECT_EQ(names(), (Texts{u"Charlie", u"Alpha", u"Delta", u"bravo"}));
    EXPECT_EQ(arrow(), std::make_pair(kLengthColumn, HDF_SORTUP));

    clickHeader(kLengthColumn);
    typeSearch(u"ha");  // library order would put Charlie first
    EXPECT_EQ(names(), (Texts{u"Alpha", u"Charlie"}));
    typeSearch(u"");
    EXPECT_EQ(names(), (Texts{u"bravo", u"Delta", u"Alpha", u"Charlie"}));

    clickHeader(kNameColumn);  // letters folded: "bravo" between Alpha and Charlie
    EXPECT_EQ(names(), (Texts{u"Alpha", u"bravo", u"Charlie", u"Delta"}));
    EXPECT_EQ(arrow(), std::make_pair(kNameColumn, HDF_SORTUP));
}

TEST_F(ListSortTest, DatesSortByCalendarKeepTheSelectionAndSurviveReloadAndLanguage) {
    selectListRow(rowOf(u"bravo"));
    clickHeader(kDateColumn);  // newest first; the undated route last
    EXPECT_EQ(names(), (Texts{u"Charlie", u"Alpha", u"bravo", u"Delta"}));
    EXPECT_EQ(window->list.focusedRow, 2);
    EXPECT_TRUE(rowSelected(2));
    EXPECT_FALSE(rowSelected(0));
    EXPECT_EQ(textOf(window->titleStatic), u"bravo");
    clickHeader(kDateColumn);  // oldest first; still last
    EXPECT_EQ(names(), (Texts{u"bravo", u"Alpha", u"Charlie", u"Delta"}));
    EXPECT_EQ(window->list.focusedRow, 0);

    clickButton(IDC_RELOAD);
    EXPECT_EQ(names(), (Texts{u"bravo", u"Alpha", u"Charlie", u"Delta"}));
    EXPECT_TRUE(rowSelected(0));
    const auto german = std::find(window->languageChoices.begin(), window->languageChoices.end(), "de");
    ASSERT_NE(german, window->languageChoices.end());
    chooseItem(window->languageCombo, static_cast<int>(german - window->languageChoices.begin()));
    EXPECT_EQ(columnHeader(kNameColumn), u"Name");
    EXPECT_EQ(names(), (Texts{u"bravo", u"Alpha", u"Charlie", u"Delta"}));
    EXPECT_EQ(arrow(), std::make_pair(kDateColumn, HDF_SORTUP));
    EXPECT_TRUE(rowSelected(0));
    EXPECT_EQ(textOf(window->titleStatic), u"bravo");

    // Reset goes back to library order exactly.
    clickButton(IDC_RESET);
    EXPECT_EQ(names(), (Texts{u"Delta", u"bravo", u"Charlie", u"Alpha"}));
    EXPECT_EQ(arrow().first, -1);
    EXPECT_FALSE(isVisible(window->resetButton));
}
