#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/ColumnWidths.h"
#include "ui/CommandDispatch.h"
#include "ui/ControlIds.h"
#include "ui/Layout.h"
#include "ui/ListColors.h"
#include "ui/SportChoice.h"

namespace {

bool sameRect(const ControlRect& r, int32_t left, int32_t top, int32_t width, int32_t height) {
    return r.left == left && r.top == top && r.width == width && r.height == height;
}

TEST(Layout, ListWidthFollowsTheWindowFrom1040Up) {
    EXPECT_EQ(layoutControls(1040, 700)[slotRouteList].width, 620);
    EXPECT_EQ(layoutControls(1039, 700)[slotRouteList].width, 620);
    EXPECT_EQ(layoutControls(1041, 700)[slotRouteList].width, 621);

    const auto wide = layoutControls(1380, 700);
    EXPECT_EQ(wide[slotRouteList].width, 960);
    EXPECT_EQ(wide[slotTitle].left, 992);
    // The panel column ends 18 px before the client edge, the search box where the list ends.
    EXPECT_EQ(wide[slotSketch].left + wide[slotSketch].width, 1380 - 18);
    EXPECT_EQ(wide[slotSearch].left + wide[slotSearch].width, 18 + 960);
    EXPECT_EQ(wide[slotLanguage].left + wide[slotLanguage].width, wide[slotSearch].left - 8);
    EXPECT_EQ(wide[slotUnits].left + wide[slotUnits].width, wide[slotLanguage].left - 8);
    // In the default window the units box stands clear of the buttons.
    const auto standard = layoutControls(1364, 821);
    EXPECT_GE(standard[slotUnits].left, standard[slotReload].left + standard[slotReload].width + 8);
    EXPECT_TRUE(sameRect(wide[slotStatus], 18, 666, 1344, 34));
}

TEST(Layout, ThePanelStacksWithoutOverlapAboveTheStatusLineAndExtremeSizesStayExact) {
    // From the default height down to a maximised window on a 768-pixel screen, the panel's rows
    // follow each other top to bottom, and the last ends above the status line.
    const LayoutSlot stack[] = {slotTitle,  slotFileName, slotSubtitle,   slotSketch, slotDistance,
                                slotAscent, slotWeather,  slotSportCombo, slotSpeed,  slotStart};
    for (const uint16_t height : {821, 700}) {
        const auto rects = layoutControls(1364, height);
        for (std::size_t i = 1; i < std::size(stack); ++i) {
            const ControlRect& above = rects[stack[i - 1]];
            EXPECT_LE(above.top + above.height, rects[stack[i]].top) << height << " " << i;
        }
        EXPECT_LT(rects[slotFinish].top + rects[slotFinish].height, rects[slotStatus].top) << height;
        EXPECT_EQ(rects[slotFinish].top, rects[slotStart].top);
        EXPECT_GE(rects[slotSketch].height, 100);
    }
    const auto rects = layoutControls(1200, 600, 96, FilterBoxWidths{90, 90, 90, 90, 90, 90, 90});
    EXPECT_TRUE(sameRect(rects[slotRouteList], 18, 188, 780, 366));
    EXPECT_TRUE(sameRect(rects[slotStatus], 18, 566, 1164, 34));
    // A minimised window keeps the negative list height; the largest size does not overflow.
    const auto none = layoutControls(0, 0, 96, FilterBoxWidths{70, 70, 70, 70, 70, 70, 70});
    EXPECT_TRUE(sameRect(none[slotRouteList], 18, 188, 620, -234));
    EXPECT_TRUE(sameRect(none[slotStatus], 18, -34, 1004, 34));
    // At the narrowest the units and language boxes stand beside the wordmark, clear of the buttons.
    EXPECT_TRUE(sameRect(none[slotLanguage], 512, 54, 126, 34));
    EXPECT_GE(none[slotSearch].left, none[slotReload].left + none[slotReload].width + 8);
    EXPECT_GE(none[slotUnits].left, none[slotHeader].left + none[slotHeader].width + 8);
    const auto largest = layoutControls(65535, 65535);
    EXPECT_TRUE(sameRect(largest[slotRouteList], 18, 188, 65115, 65301));
    EXPECT_EQ(largest[slotStatus].width, 65499);
}

TEST(Layout, FilterBarSharesTheListWidthAndWrapsAtTheBoxThatDoesNotFit) {
    const auto rowEnd = [](const ControlRect& r) { return r.left + r.width; };
    // Room for all: one row, every box wider than it needs, the reset button ending with the list.
    const auto one = layoutControls(1380, 700, 96, FilterBoxWidths{100, 100, 100, 100, 100, 100, 100});
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        EXPECT_EQ(one[slotFirstFilter + box].top, 150);
        EXPECT_GE(one[slotFirstFilter + box].width, 100);
        EXPECT_LE(rowEnd(one[slotFirstFilter + box]), one[slotFirstFilter + box + 1].left);
    }
    EXPECT_EQ(rowEnd(one[slotReset]), rowEnd(one[slotRouteList]));
    EXPECT_EQ(one[slotRouteList].top, 188);
    // Four boxes of 200 fit a 960-pixel list, the fifth starts the second row and the list moves
    // down by one row; the same at 144 DPI with the boxes measured 1.5 times as wide.
    for (const uint32_t dpi : {96u, 144u}) {
        const int32_t w = scaledPixels(200, dpi);
        const auto two = layoutControls(static_cast<uint16_t>(scaledPixels(1380, dpi)),
                                        static_cast<uint16_t>(scaledPixels(700, dpi)), dpi,
                                        FilterBoxWidths{w, w, w, w, w, w, w});
        EXPECT_EQ(two[slotFirstFilter + 3].top, scaledPixels(150, dpi)) << dpi;
        EXPECT_EQ(rowEnd(two[slotFirstFilter + 3]), rowEnd(two[slotRouteList])) << dpi;
        EXPECT_TRUE(sameRect(two[slotFirstFilter + 4], scaledPixels(18, dpi), scaledPixels(186, dpi),
                             two[slotFirstFilter + 4].width, scaledPixels(30, dpi)))
            << dpi;
        EXPECT_EQ(two[slotReset].top, scaledPixels(186, dpi)) << dpi;
        EXPECT_EQ(two[slotFirstFilter + 4].width, w) << dpi;  // the last row is not spread
        EXPECT_EQ(two[slotRouteList].top, scaledPixels(224, dpi)) << dpi;
        EXPECT_EQ(two[slotRouteList].top + two[slotRouteList].height, scaledPixels(700 - 46, dpi)) << dpi;
    }
    // Seven boxes that fill the row take the last one down with the reset button, never it alone.
    const auto full = layoutControls(1380, 700, 96, FilterBoxWidths{127, 127, 127, 127, 127, 127, 127});
    EXPECT_EQ(full[slotFirstFilter + 5].top, 150);
    EXPECT_EQ(full[slotFirstFilter + 6].top, 186);
    EXPECT_EQ(full[slotReset].top, 186);
    // A box wider than the list still gets a row of its own.
    const auto narrow = layoutControls(1040, 700, 96, FilterBoxWidths{700, 100, 100, 100, 100, 100, 100});
    EXPECT_EQ(narrow[slotFirstFilter].width, 700);
    EXPECT_EQ(narrow[slotFirstFilter + 1].top, 186);
}

TEST(Layout, ScalesWithTheDpiAndStaysExactAt96) {
    // At 144 DPI every rectangle is the 96-DPI one, one and a half times as large.
    const auto normal = layoutControls(1364, 821, 96);
    const auto large = layoutControls(2046, 1231, 144);
    for (std::size_t slot = 0; slot < layoutSlotCount; ++slot) {
        const ControlRect& r = normal[slot];
        EXPECT_TRUE(r.width > 0 && r.height > 0) << slot;  // every control is placed
        // The filter boxes' shares of the spare room are fractions: their edges round apart by a pixel.
        const bool filterBar = slot >= slotFirstFilter && slot <= slotReset;
        const int slack = filterBar ? 1 : 0;
        EXPECT_TRUE(
            (std::abs(large[slot].left - r.left * 3 / 2) <= slack &&
             std::abs(large[slot].width - r.width * 3 / 2) <= slack &&
             sameRect(large[slot], large[slot].left, r.top * 3 / 2, large[slot].width, r.height * 3 / 2)) ||
            slot == slotRouteList || slot == slotStatus)
            << slot;
    }
    EXPECT_EQ(large[slotRouteList].width, 2046 - 630);
    EXPECT_EQ(layoutControls(1364, 821, 0), normal);  // an unknown DPI is taken as 96
    // At 120 DPI neighbours keep their gaps: edges are placed, not sizes rounded one by one.
    const auto medium = layoutControls(1705, 1026, 120);
    EXPECT_EQ(medium[slotSearch].left + medium[slotSearch].width,
              medium[slotRouteList].left + medium[slotRouteList].width);
    EXPECT_EQ(scaledPixels(15, 120), 19);
    EXPECT_EQ(scaledPixels(18, 0), 18);
}

TEST(ColumnWidths, TheNameTakesTheSlackAndTheOthersGiveOnlyWhatTheyCanSpare) {
    const ColumnNeed needs[] = {{40, 500}, {60, 100}, {80, 80}, {30, 70}};
    // Room enough: every column as wanted, the name gets the rest.
    EXPECT_EQ(shareColumnWidths(needs, 600, 0, 150), (std::vector<int>{350, 100, 80, 70}));
    // Short: the columns with room to spare give it in proportion (40 and 40 here), the figure
    // (minimum = wanted) keeps its width, and the widths still add up to the room.
    EXPECT_EQ(shareColumnWidths(needs, 330, 0, 150), (std::vector<int>{150, 65, 80, 35}));
    // Nothing left to give: the minimums stand and the list overflows.
    EXPECT_EQ(shareColumnWidths(needs, 100, 0, 150), (std::vector<int>{150, 60, 80, 30}));
    // Odd shortfall: no pixel lost or gained by rounding.
    const auto odd = shareColumnWidths(needs, 347, 0, 150);
    EXPECT_EQ(odd[0] + odd[1] + odd[2] + odd[3], 347);
    EXPECT_EQ(odd[2], 80);
}

TEST(RowColors, SelectionWinsOverTheAlternatingStripes) {
    const Rgb even = rowBackgroundColor(0, false), odd = rowBackgroundColor(1, false);
    EXPECT_EQ(even, kEvenRowColor);  // the stripes start with the plain row
    EXPECT_NE(even, odd);
    EXPECT_EQ(rowBackgroundColor(2, false), even);
    EXPECT_EQ(rowBackgroundColor(4294967297LL, false), odd);
    for (int64_t row : {0, 1, 7})
        EXPECT_TRUE(rowBackgroundColor(row, true) != even && rowBackgroundColor(row, true) != odd);
    EXPECT_EQ(rowBackgroundColor(0, true), rowBackgroundColor(7, true));
}

constexpr int kClicked = 0;
constexpr int kEditChange = 0x0300;
constexpr int kSelChange = 1;

Command dispatch(int id, int code) {
    return dispatchCommand(id, code, false, false, 0);
}

TEST(CommandDispatch, EachControlAnswersOnlyItsOwnNotification) {
    EXPECT_EQ(dispatch(IDC_IMPORT, kClicked), Command::importFiles);
    EXPECT_EQ(dispatch(IDC_FOLDER, kClicked), Command::chooseLibraryFolder);
    EXPECT_EQ(dispatch(IDC_RELOAD, kClicked), Command::reload);
    EXPECT_EQ(dispatch(IDC_RESET, kClicked), Command::resetFilters);
    EXPECT_EQ(dispatch(IDC_SEARCH, kEditChange), Command::rebuildList);
    for (int id = IDC_FILTER_START; id <= IDC_FILTER_LENGTH; ++id) {
        EXPECT_EQ(dispatch(id, kSelChange), Command::rebuildList) << id;
        EXPECT_EQ(dispatch(id, 3), Command::none) << id;  // CBN_SETFOCUS
    }
    // Buttons with another code (for example BN_SETFOCUS) and the search box's other codes.
    for (int id : {IDC_IMPORT, IDC_FOLDER, IDC_RELOAD, IDC_RESET}) EXPECT_EQ(dispatch(id, 6), Command::none);
    EXPECT_EQ(dispatch(IDC_SEARCH, 0x0100), Command::none);
    EXPECT_EQ(dispatch(IDC_SEARCH, kClicked), Command::none);
    EXPECT_EQ(dispatch(IDC_ROUTE_LIST, kClicked), Command::none);
    EXPECT_EQ(dispatch(IDC_SKETCH, kClicked), Command::none);
    EXPECT_EQ(dispatch(IDC_HEADER, kClicked), Command::none);
    EXPECT_EQ(dispatch(999, kSelChange), Command::none);
}

TEST(CommandDispatch, ComboRefillsAndMissingSelectionBlockTheirOperations) {
    EXPECT_EQ(dispatchCommand(IDC_LANGUAGE, kSelChange, false, true, -1), Command::selectLanguage);
    EXPECT_EQ(dispatchCommand(IDC_LANGUAGE, kSelChange, true, false, 0), Command::none);
    EXPECT_EQ(dispatchCommand(IDC_LANGUAGE, kClicked, false, false, 0), Command::none);

    // The sport box: a selection change alone is no choice; refills and the empty panel never lead
    // to one.
    constexpr int kSelEndOk = 9;
    EXPECT_EQ(dispatchCommand(IDC_SPORT_CHANGE, kSelEndOk, true, false, 12), Command::sportBox);
    EXPECT_EQ(dispatchCommand(IDC_SPORT_CHANGE, kSelChange, false, false, 0), Command::none);
    EXPECT_EQ(dispatchCommand(IDC_SPORT_CHANGE, kSelEndOk, false, true, 0), Command::none);
    EXPECT_EQ(dispatchCommand(IDC_SPORT_CHANGE, kSelEndOk, false, false, -1), Command::none);
}

TEST(SportChoice, OnlyADeliberateChoiceWrites) {
    using enum SportBoxEvent;
    using enum SportBoxAction;
    SportBoxState box;
    // Arrowing in the closed box (some systems add CBN_SELENDOK to each step) writes nothing;
    // Enter or leaving the box then does, Escape shows the route's sport again.
    EXPECT_EQ(sportBoxAction(box, listChosen, 3, 0), none);
    EXPECT_EQ(sportBoxAction(box, enterPressed, 3, 0), write);
    EXPECT_EQ(sportBoxAction(box, listCancelled, 3, 0), none);  // sent before the focus loss
    EXPECT_EQ(sportBoxAction(box, focusLost, 3, 0), write);
    EXPECT_EQ(sportBoxAction(box, escapePressed, 3, 0), restore);
    // Tabbing through the box, or Enter on the route's own or an unknown sport, writes nothing.
    EXPECT_EQ(sportBoxAction(box, focusLost, 0, 0), none);
    EXPECT_EQ(sportBoxAction(box, enterPressed, -1, -1), none);
    // From the open list a pick writes, even the sport the route has; closing it otherwise restores.
    EXPECT_EQ(sportBoxAction(box, listOpened, 0, 0), none);
    EXPECT_EQ(sportBoxAction(box, listChosen, 0, 0), write);
    sportBoxAction(box, listOpened, 0, 0);
    EXPECT_EQ(sportBoxAction(box, listCancelled, 5, 0), restore);
    EXPECT_EQ(sportBoxAction(box, listChosen, 5, 0), none);
}

}  // namespace
