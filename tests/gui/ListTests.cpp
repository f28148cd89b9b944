// The search box, the seven filters, their combination and the reset button on the real list.

#include <algorithm>
#include <string>

#include "GuiTestSupport.h"
#include "ui/ControlIds.h"
#include "ui/Format.h"
#include "ui/ListColors.h"
#include "ui/RouteListLogic.h"
#include "ui/win32/ListHints.h"

namespace {

class ListTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        TrackShape alpen;  // short hike with timestamps, one way
        alpen.name = "Alpen";
        alpen.type = "hiking";
        alpen.lat = 47.5;
        alpen.points = 30;
        alpen.day = "2024-07-01";
        writeTrack(library() / "Tour Alpen.gpx", alpen);
        TrackShape isar;  // long loop without timestamps
        isar.name = "Isar";
        isar.type = "cycling";
        isar.lat = 48.1;
        isar.stepLat = 0.002;
        isar.points = 100;
        isar.timestamps = false;
        isar.loop = true;
        writeTrack(library() / "Isar.gpx", isar);
        TrackShape stadt;  // middle length run with timestamps
        stadt.name = "Stadt";
        stadt.type = "running";
        stadt.lat = 48.2;
        stadt.points = 60;
        stadt.day = "2024-05-01";
        writeTrack(library() / "Stadt.gpx", stadt);
        startWindow("en");
    }
    Texts names() const { return listColumn(0); }
};

}  // namespace

TEST_F(ListTest, SearchNarrowsByStemAndSportAndShowsTheResetButton) {
    // Without timestamps the date is a dash, which sorts above every digit.
    ASSERT_EQ(names(), (Texts{u"Isar", u"Tour Alpen", u"Stadt"}));
    typeSearch(u"tour");
    EXPECT_EQ(names(), Texts{u"Tour Alpen"});
    EXPECT_TRUE(isVisible(window->resetButton));
    EXPECT_EQ(textOf(window->statusStatic).substr(0, 7), u"1 File ");

    typeSearch(u"CYCL");  // the sport's name in the active language, folded
    EXPECT_EQ(names(), Texts{u"Isar"});
    typeSearch(u"01.07.24");  // dates are not searched
    EXPECT_EQ(listRowCount(), 0);
    EXPECT_EQ(textOf(window->statusStatic).substr(0, 8), u"0 Files ");
    typeSearch(u" ");  // the blank between the joined parts matches every route
    EXPECT_EQ(listRowCount(), 3);
    typeSearch(std::u16string(5000, u'x'));  // far more than the box's 510 units: no harm
    EXPECT_EQ(listRowCount(), 0);
    typeSearch(std::u16string(2000, u'\xd800'));  // unpaired surrogates stay text
    EXPECT_EQ(listRowCount(), 0);
    typeSearch(u"");
    EXPECT_EQ(listRowCount(), 3);
    EXPECT_FALSE(isVisible(window->resetButton));
}

TEST_F(ListTest, EachFilterKeepsOnlyItsRoutes) {
    chooseItem(filterCombo(IDC_FILTER_GHOST), 1);
    EXPECT_EQ(names(), (Texts{u"Tour Alpen", u"Stadt"}));
    chooseItem(filterCombo(IDC_FILTER_GHOST), 2);
    EXPECT_EQ(names(), Texts{u"Isar"});
    chooseItem(filterCombo(IDC_FILTER_GHOST), 0);

    chooseItem(filterCombo(IDC_FILTER_TYPE), 1);
    EXPECT_EQ(names(), Texts{u"Isar"});
    chooseItem(filterCombo(IDC_FILTER_TYPE), 2);
    EXPECT_EQ(names(), (Texts{u"Tour Alpen", u"Stadt"}));
    chooseItem(filterCombo(IDC_FILTER_TYPE), 0);

    chooseItem(filterCombo(IDC_FILTER_LENGTH), 1);
    EXPECT_EQ(names(), Texts{u"Tour Alpen"});
    chooseItem(filterCombo(IDC_FILTER_LENGTH), 2);
    EXPECT_EQ(names(), Texts{u"Stadt"});
    chooseItem(filterCombo(IDC_FILTER_LENGTH), 3);
    EXPECT_EQ(names(), Texts{u"Isar"});
    chooseItem(filterCombo(IDC_FILTER_LENGTH), 0);

    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_SPORT)),
              (Texts{u"Sport: all", u"Cycling", u"Hiking", u"Running"}));
    chooseItem(filterCombo(IDC_FILTER_SPORT), 2);
    EXPECT_EQ(names(), Texts{u"Tour Alpen"});
    chooseItem(filterCombo(IDC_FILTER_SPORT), 0);

    // Places are offered sorted; the southernmost start (47.5) comes first.
    const Texts starts = comboItems(filterCombo(IDC_FILTER_START));
    ASSERT_EQ(starts.size(), 4u);
    EXPECT_EQ(starts[0], u"Start: all");
    chooseItem(filterCombo(IDC_FILTER_START), 1);
    EXPECT_EQ(names(), Texts{u"Tour Alpen"});
    chooseItem(filterCombo(IDC_FILTER_START), 0);
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_END))[0], u"Finish: all");
    chooseItem(filterCombo(IDC_FILTER_END), 3);
    EXPECT_EQ(listRowCount(), 1);
    chooseItem(filterCombo(IDC_FILTER_END), 0);
    EXPECT_EQ(listRowCount(), 3);

    // The year, from the keyboard: the newest year first, the undated routes last; the status line
    // adds up what is left.
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_YEAR)), (Texts{u"Year: all", u"2024", u"no date"}));
    SetForegroundWindow(window->mainWindow);  // the keys go to the foreground window's focus
    SetFocus(filterCombo(IDC_FILTER_YEAR));
    pressKey(VK_DOWN);
    EXPECT_EQ(names(), (Texts{u"Tour Alpen", u"Stadt"}));
    EXPECT_TRUE(textOf(window->statusStatic).starts_with(u"2 Files" + std::u16string(kStatusSeparator)));
    pressKey(VK_DOWN);
    EXPECT_EQ(names(), Texts{u"Isar"});
    chooseItem(filterCombo(IDC_FILTER_YEAR), 0);
    EXPECT_FALSE(isVisible(window->resetButton));
}

TEST_F(GuiTest, SportFilterListsTheSportsInTheLanguagesAlphabetThenTheFilesOwnTypes) {
    // German: "Motorrad" before "MTB" as the alphabet has it, where code units would put the
    // capital T first; a file's own type follows the program's sports.
    for (const char* type : {"mtb", "walking", "NC", "motorrad"}) {
        TrackShape shape;
        shape.name = type;
        shape.type = type;
        writeTrack(library() / (std::string(type) + ".gpx"), shape);
    }
    startWindow("de");
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_SPORT)),
              (Texts{u"Sport: alle", u"Gehen", u"Motorrad", u"MTB", u"NC"}));
    chooseItem(filterCombo(IDC_FILTER_SPORT), 3);
    EXPECT_EQ(listColumn(0), Texts{u"mtb"});
}

TEST_F(ListTest, FiltersAndSearchCombineAndResetClearsThemAll) {
    chooseItem(filterCombo(IDC_FILTER_GHOST), 1);
    chooseItem(filterCombo(IDC_FILTER_LENGTH), 2);
    EXPECT_EQ(names(), Texts{u"Stadt"});
    chooseItem(filterCombo(IDC_FILTER_TYPE), 1);
    EXPECT_EQ(listRowCount(), 0);
    chooseItem(filterCombo(IDC_FILTER_TYPE), 2);
    typeSearch(u"stadt");
    EXPECT_EQ(names(), Texts{u"Stadt"});
    typeSearch(u"alpen");
    EXPECT_EQ(listRowCount(), 0);
    chooseItem(filterCombo(IDC_FILTER_SPORT), 3);
    ASSERT_TRUE(isVisible(window->resetButton));

    // Only a click resets.
    SendMessageW(window->mainWindow, WM_COMMAND, MAKEWPARAM(IDC_RESET, BN_DOUBLECLICKED),
                 reinterpret_cast<LPARAM>(window->resetButton));
    EXPECT_EQ(textOf(window->searchBox), u"alpen");
    clickButton(IDC_RESET);
    EXPECT_EQ(textOf(window->searchBox), u"");
    for (HWND combo : window->filterCombos) EXPECT_EQ(comboSelection(combo), 0);
    EXPECT_EQ(listRowCount(), 3);
    EXPECT_FALSE(isVisible(window->resetButton));
    EXPECT_EQ(window->list.focusedRow, -1);

    // Typing in the list jumps to the row whose name begins with the letter.
    SetFocus(window->routeList);
    SendMessageW(window->routeList, WM_CHAR, L's', 1);
    EXPECT_EQ(window->list.focusedRow, 2);
    EXPECT_EQ(textOf(window->titleStatic), u"Stadt");
    SendMessageW(window->routeList, WM_CHAR, L'q', 1);  // no name begins with it: the selection stays
    EXPECT_EQ(window->list.focusedRow, 2);
}

TEST_F(ListTest, TheSelectedRouteStaysSelectedOverReloadSearchAndSportChange) {
    selectListRow(1);
    ASSERT_EQ(textOf(window->titleStatic), u"Alpen");
    const auto selectedListRow = [&] {
        return SendMessageW(window->routeList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    };
    SetForegroundWindow(window->mainWindow);
    SetFocus(window->routeList);
    pressKey(VK_F5);
    EXPECT_EQ(window->list.focusedRow, 1);
    EXPECT_EQ(selectedListRow(), 1);
    EXPECT_EQ(textOf(window->titleStatic), u"Alpen");

    typeSearch(u"alp");
    EXPECT_EQ(selectedListRow(), 0);
    EXPECT_EQ(textOf(window->titleStatic), u"Alpen");

    // A new sport: the route is analysed again and stays selected, as does the box's focus.
    SetFocus(window->sportCombo);
    pressKey(VK_DOWN);
    pressKey(VK_RETURN);
    EXPECT_NE(listText(0, 2), u"Hiking");
    EXPECT_EQ(selectedListRow(), 0);
    EXPECT_EQ(textOf(window->titleStatic), u"Alpen");
    EXPECT_EQ(GetFocus(), window->sportCombo);

    // Only a search that no longer lists the route takes the selection away.
    typeSearch(u"isar");
    EXPECT_EQ(selectedListRow(), -1);
    EXPECT_EQ(textOf(window->titleStatic), u"Select a route");
}

TEST_F(ListTest, ShiftArrowsAndCtrlASelectSeveralRoutesWhichThePanelAndStatusLineAddUp) {
    selectListRow(0);
    SetForegroundWindow(window->mainWindow);
    SetFocus(window->routeList);
    pressKeyWith(VK_SHIFT, VK_DOWN);
    pressKeyWith(VK_SHIFT, VK_DOWN);
    const auto selectedCount = [&] { return SendMessageW(window->routeList, LVM_GETSELECTEDCOUNT, 0, 0); };
    const std::u16string sum = formatDistance(selectedTotals(window->list).meters, window->language);
    const auto showsThree = [&] {
        return selectedCount() == 3 && textOf(window->titleStatic) == u"Selected: 3" &&
               textOf(window->distanceStatic).ends_with(sum) &&
               textOf(window->statusStatic).starts_with(u"3 Files   \u00B7   Selected: 3   \u00B7   " + sum);
    };
    EXPECT_EQ(window->list.selected.size(), 3u);
    EXPECT_TRUE(showsThree()) << wideToUtf8(textOf(window->statusStatic));
    EXPECT_TRUE(isEnabled(window->sportCombo));  // it writes into all three
    pressKey(VK_F5);
    EXPECT_TRUE(showsThree()) << wideToUtf8(textOf(window->statusStatic));

    pressKeyWith(VK_SHIFT, VK_UP);
    EXPECT_EQ(selectedCount(), 2);
    EXPECT_EQ(textOf(window->titleStatic), u"Selected: 2");
    pressKeyWith(VK_CONTROL, 'A');
    EXPECT_TRUE(showsThree()) << wideToUtf8(textOf(window->statusStatic));
    // Back to one route: the panel shows it and its sport again.
    selectListRow(2);
    runMessageLoop();
    EXPECT_EQ(textOf(window->titleStatic), u"Stadt");
    EXPECT_TRUE(isEnabled(window->sportCombo));
}

// The columns share the list's width as measured with its font: at the default size and at a
// smaller one, in scripts of every width, nothing needs a horizontal scroll bar and every figure
// stands whole, also an extreme one.
TEST_F(ListTest, TheColumnsFitWithWholeFiguresInEveryLanguageAndSize) {
    // A quarter of the globe over two months: more than 10,000 km and more than 100 hours.
    writeBytes(library() / "Far.gpx",
               "<gpx><trk><name>Far</name><trkseg>"
               "<trkpt lat=\"-45\" lon=\"0\"><ele>0</ele><time>2024-01-01T00:00:00Z</time></trkpt>"
               "<trkpt lat=\"0\" lon=\"0\"><ele>9000</ele><time>2024-02-01T00:00:00Z</time></trkpt>"
               "<trkpt lat=\"45\" lon=\"0\"><ele>0</ele><time>2024-03-01T00:00:00Z</time></trkpt>"
               "</trkseg></trk></gpx>");
    TrackShape guessed;  // no type, but a speed: the sport is guessed
    guessed.name = "Guess";
    guessed.stepLat = 0.00005;
    guessed.points = 120;
    writeTrack(library() / "Guess.gpx", guessed);
    clickButton(IDC_RELOAD);
    ASSERT_EQ(listRowCount(), 5);
    // A guessed sport explains its mark in a tooltip over the cell, and only there.
    const Texts sports = listColumn(2);
    const auto guessedRow = std::find_if(sports.begin(), sports.end(), [](const std::u16string& sport) {
        return sport.starts_with(u"\u2248");
    });
    ASSERT_NE(guessedRow, sports.end());
    const auto cellTip = [&](int column) {
        RECT cell{};
        cell.top = column;
        cell.left = LVIR_LABEL;
        SendMessageW(window->routeList, LVM_GETSUBITEMRECT, static_cast<WPARAM>(guessedRow - sports.begin()),
                     reinterpret_cast<LPARAM>(&cell));
        return listHintText(*window, window->routeList,
                            POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
    };
    EXPECT_EQ(cellTip(2), std::u16string(translate(window->language, "estimatedSportTip")));
    EXPECT_EQ(cellTip(6), u"");
    // A search without hits is no empty library: the list shows no hint.
    typeSearch(u"zzz");
    const Rgb hint = kHintTextColor;
    EXPECT_EQ(captureClient(window->routeList, true).count(rgbValue(hint.r, hint.g, hint.b)), 0);
    typeSearch(u"");
    const auto widthOf = [&](const std::u16string& text) {
        HDC dc = GetDC(window->routeList);
        HGDIOBJ old = SelectObject(dc, window->bodyFont);
        SIZE size{};
        GetTextExtentPoint32W(dc, wideText(text), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(window->routeList, dc);
        return static_cast<int>(size.cx);
    };
    for (const SIZE outer : {SIZE{1380, 860}, SIZE{1366, 728}}) {
        SetWindowPos(window->mainWindow, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOMOVE);
        for (const char* code : {"en", "de", "pl", "ja"}) {
            const auto choice =
                std::find(window->languageChoices.begin(), window->languageChoices.end(), code);
            ASSERT_NE(choice, window->languageChoices.end());
            chooseItem(window->languageCombo, static_cast<int>(choice - window->languageChoices.begin()));
            const std::string where = std::string(code) + " at " + std::to_string(outer.cx);
            EXPECT_FALSE(GetWindowLongPtrW(window->routeList, GWL_STYLE) & WS_HSCROLL) << where;
            for (int column = 1; column < 9; ++column) {
                const auto width =
                    static_cast<int>(SendMessageW(window->routeList, LVM_GETCOLUMNWIDTH, column, 0));
                EXPECT_LE(widthOf(columnHeader(column)) + 12, width) << where << " column " << column;
                // The sport and type words may give room back down to their captions; figures never do.
                if (column == 2 || column == 8) continue;
                for (int row = 0; row < listRowCount(); ++row)
                    EXPECT_LE(widthOf(listText(row, column)) + 12, width) << where << " column " << column;
            }
        }
    }
    // The figures stand right-aligned.
    LVCOLUMNW length{};
    length.mask = LVCF_FMT;
    SendMessageW(window->routeList, LVM_GETCOLUMNW, 3, reinterpret_cast<LPARAM>(&length));
    EXPECT_EQ(length.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
    const Texts names = listColumn(0);
    const auto farRow = static_cast<int>(std::find(names.begin(), names.end(), u"Far") - names.begin());
    ASSERT_LT(farRow, listRowCount());
    EXPECT_GE(listText(farRow, 3).size(), 10u) << wideToUtf8(listText(farRow, 3));  // 10007,5 km
    EXPECT_EQ(listText(farRow, 4), u"1440:00:00");
}
