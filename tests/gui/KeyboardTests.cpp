// Keyboard use, screen-reader names and DPI scaling of the real window.

#include <array>
#include <vector>

#include "GuiTestSupport.h"
#include "library/WindowPlacementFile.h"
#include "ui/ControlIds.h"
#include "ui/win32/Keyboard.h"
#include "ui/win32/ListHints.h"

namespace fs = std::filesystem;

namespace {

class KeyboardTest : public GuiTest {
protected:
    // A key press as the message loop sees it, with Ctrl and Shift held as asked.
    bool press(UINT key, bool control = false, bool shift = false) {
        std::array<BYTE, 256> state{};
        GetKeyboardState(state.data());
        state[VK_CONTROL] = control ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state.data());
        MSG message{};
        message.hwnd = GetFocus();
        message.message = WM_KEYDOWN;
        message.wParam = key;
        message.lParam = 1;
        const bool handled = translateWindowMessage(*window, message);
        state[VK_CONTROL] = state[VK_SHIFT] = 0;
        SetKeyboardState(state.data());
        return handled;
    }
    int focusedId() const { return GetDlgCtrlID(GetFocus()); }
};

LOGFONTW fontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font;
}

}  // namespace

TEST_F(KeyboardTest, TabVisitsEveryControlInOrderAndShortcutsWork) {
    writeTrack(library() / "Isar.gpx", TrackShape{});
    startWindow("en");
    SetForegroundWindow(window->mainWindow);
    focusSearchBox(*window);
    ASSERT_EQ(focusedId(), IDC_SEARCH);

    // The reset button is hidden and the sport box disabled until a route is selected.
    const std::vector<int> forward = {IDC_LANGUAGE,     IDC_UNITS,        IDC_FILTER_START, IDC_FILTER_END,
                                      IDC_FILTER_SPORT, IDC_FILTER_GHOST, IDC_FILTER_TYPE,  IDC_FILTER_LENGTH,
                                      IDC_FILTER_YEAR,  IDC_OVERVIEW,     IDC_ROUTE_LIST,   IDC_IMPORT,
                                      IDC_EXPORT,       IDC_FOLDER,       IDC_RELOAD,       IDC_SEARCH};
    std::vector<int> visited;
    for (std::size_t i = 0; i < forward.size(); ++i) {
        press(VK_TAB);
        visited.push_back(focusedId());
    }
    EXPECT_EQ(visited, forward);
    press(VK_TAB, false, true);
    EXPECT_EQ(focusedId(), IDC_RELOAD);

    // Down in the search box selects the first row and fills the panel; then the sport box joins.
    focusSearchBox(*window);
    press(VK_DOWN);
    EXPECT_EQ(focusedId(), IDC_ROUTE_LIST);
    EXPECT_EQ(window->list.focusedRow, 0);
    EXPECT_EQ(textOf(window->titleStatic), u"Route");
    press(VK_TAB);
    EXPECT_EQ(focusedId(), IDC_SPORT_CHANGE);

    // Ctrl+F back to the search box; Escape empties it; F5 reads the folder again.
    press('F', true);
    EXPECT_EQ(focusedId(), IDC_SEARCH);
    typeSearch(u"zzz");
    EXPECT_EQ(listRowCount(), 0);
    press(VK_ESCAPE);
    EXPECT_EQ(textOf(window->searchBox), u"");
    EXPECT_EQ(listRowCount(), 1);
    writeTrack(library() / "Alz.gpx", TrackShape{});
    press(VK_F5);
    EXPECT_EQ(listRowCount(), 2);
    press('F');  // a plain letter is typed, not a shortcut
    EXPECT_EQ(focusedId(), IDC_SEARCH);
    EXPECT_EQ(listRowCount(), 2);
}

TEST_F(KeyboardTest, BoxesAreNamedForScreenReadersAndTooltipsNameTheShortcutsInTheInterfaceLanguage) {
    startWindow("de");
    std::vector<HWND> boxes = {window->searchBox, window->languageCombo, window->sportCombo};
    boxes.insert(boxes.end(), window->filterCombos.begin(), window->filterCombos.end());
    for (HWND box : boxes) {
        // The name is the hidden static right before the box in the Z-order.
        HWND label = GetWindow(box, GW_HWNDPREV);
        wchar_t kind[32] = {};
        GetClassNameW(label, kind, 32);
        EXPECT_EQ(lstrcmpiW(kind, L"STATIC"), 0);
        EXPECT_FALSE(isVisible(label));
        EXPECT_FALSE(textOf(label).empty());
        EXPECT_FALSE(GetWindowLongPtrW(label, GWL_STYLE) & WS_TABSTOP);
    }
    EXPECT_EQ(textOf(GetWindow(window->filterCombos[2], GW_HWNDPREV)), u"Sportartfilter");

    const auto tip = [&](int id) {
        NMTTDISPINFOW info{};
        info.hdr.hwndFrom = window->toolTip;
        info.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(window->mainWindow, id));
        info.hdr.code = TTN_GETDISPINFOW;
        info.uFlags = TTF_IDISHWND;
        SendMessageW(window->mainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return u16Text(info.lpszText);
    };
    ASSERT_NE(window->toolTip, nullptr);
    EXPECT_EQ(tip(IDC_IMPORT), u"Importieren (Strg+O)");
    EXPECT_EQ(tip(IDC_RELOAD), u"Neu laden (F5)");
    EXPECT_EQ(tip(IDC_FOLDER), u"Ordner");
    EXPECT_EQ(tip(IDC_SEARCH), u"Suchen (Strg+F)");

    chooseItem(window->languageCombo, 2);  // English
    EXPECT_EQ(textOf(GetWindow(window->filterCombos[2], GW_HWNDPREV)), u"Sport filter");
    EXPECT_EQ(textOf(GetWindow(window->searchBox, GW_HWNDPREV)), u"Search routes");
    EXPECT_EQ(tip(IDC_IMPORT), u"Import (Ctrl+O)");
    EXPECT_EQ(tip(IDC_RESET), std::u16string(translate(window->language, "resetFilters")));
    EXPECT_EQ(tip(IDC_FILTER_GHOST), std::u16string(translate(window->language, "ghostTip")));
    // The Ghost caption explains itself; the others need no tip.
    HWND header = reinterpret_cast<HWND>(SendMessageW(window->routeList, LVM_GETHEADER, 0, 0));
    const auto headerTip = [&](int column) {
        RECT item{};
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        return listHintText(*window, header,
                            POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    };
    EXPECT_EQ(headerTip(7), std::u16string(translate(window->language, "ghostTip")));
    EXPECT_EQ(headerTip(6), u"");
}

TEST_F(GuiTest, DpiChangeScalesFontsColumnsAndLayoutAndComesBackExactly) {
    startWindow("en");
    ASSERT_EQ(window->dpi, 96u);
    const auto columnWidths = [&] {
        std::vector<LRESULT> widths;
        for (int column = 0; column < 9; ++column)
            widths.push_back(SendMessageW(window->routeList, LVM_GETCOLUMNWIDTH, column, 0));
        return widths;
    };
    const std::vector<LRESULT> widths96 = columnWidths();
    const auto send = [&](UINT dpi, RECT rect) {
        SendMessageW(window->mainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&rect));
    };
    RECT outer{};
    GetWindowRect(window->mainWindow, &outer);
    send(144, {outer.left, outer.top, outer.left + 2070, outer.top + 1290});
    EXPECT_EQ(window->dpi, 144u);
    EXPECT_EQ(fontOf(window->routeList).lfHeight, -27);
    EXPECT_EQ(fontOf(window->titleStatic).lfHeight, -51);
    EXPECT_EQ(fontOf(window->filterCombos[0]).lfHeight, -23);  // 15 px, rounded half up
    // The columns are measured anew with the larger font.
    EXPECT_NEAR(SendMessageW(window->routeList, LVM_GETCOLUMNWIDTH, 1, 0), widths96[1] * 3 / 2, 6);
    RECT list = childRect(window->routeList);
    EXPECT_EQ(list.left, 27);
    // The list starts below the filter bar, which wraps when the list is too narrow for its boxes.
    RECT client{};
    GetClientRect(window->mainWindow, &client);
    const auto rects144 = layoutControls(static_cast<uint16_t>(client.right),
                                         static_cast<uint16_t>(client.bottom), 144, window->filterWidths);
    EXPECT_EQ(list.top, rects144[slotRouteList].top);
    EXPECT_TRUE(list.top == 282 || list.top == 282 + 54);
    EXPECT_EQ(childRect(window->sketchView).right - childRect(window->sketchView).left, 555);

    send(96, outer);
    EXPECT_EQ(fontOf(window->routeList).lfHeight, -18);
    EXPECT_EQ(columnWidths(), widths96);
    list = childRect(window->routeList);
    EXPECT_EQ(list.left, 18);
    EXPECT_EQ(list.top, 188);
    RECT now{};
    GetWindowRect(window->mainWindow, &now);
    EXPECT_EQ(now.right - now.left, 1380);
}

TEST_F(GuiTest, TheWindowComesBackWhereItWasLeftOrAtTheDefaultWhenThatIsOffScreen) {
    fs::create_directories(roaming() / "Tirn GPX Library");
    writeBytes(roaming() / "Tirn GPX Library" / "window.txt", "40 30 1040 730 1");
    startWindow("en");
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(window->mainWindow, &placement);
    EXPECT_EQ(placement.rcNormalPosition.left, 40);
    EXPECT_EQ(placement.rcNormalPosition.right - placement.rcNormalPosition.left, 1000);
    EXPECT_TRUE(window->startMaximized);

    // Closing the window writes where it stands.
    SetWindowPos(window->mainWindow, nullptr, 50, 60, 1100, 700, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window->mainWindow, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(readBytes(roaming() / "Tirn GPX Library" / "window.txt"), "50 60 1150 760 0");
}

TEST_F(GuiTest, AWindowPlaceOnNoMonitorFallsBackToTheDefault) {
    fs::create_directories(roaming() / "Tirn GPX Library");
    writeBytes(roaming() / "Tirn GPX Library" / "window.txt", "-90000 -90000 -89000 -89000 0");
    startWindow("en");
    RECT outer{};
    GetWindowRect(window->mainWindow, &outer);
    EXPECT_EQ(outer.right - outer.left, 1380);
    EXPECT_EQ(outer.bottom - outer.top, 860);
    EXPECT_FALSE(window->startMaximized);
}

// Runs only on a 144-DPI display (scripts/high-dpi-test.sh sets one up): the whole window is one
// and a half times its 96-DPI size, not only the parts the system scales.
TEST_F(GuiTest, DISABLED_HighDpiWindowIsOneAndAHalfTimesAsLarge) {
    startWindow("en");
    ASSERT_EQ(window->dpi, 144u) << "run by scripts/high-dpi-test.sh on a 144-DPI display";
    RECT outer{};
    GetWindowRect(window->mainWindow, &outer);
    EXPECT_EQ(outer.right - outer.left, 2070);
    EXPECT_EQ(outer.bottom - outer.top, 1290);
    EXPECT_EQ(fontOf(window->routeList).lfHeight, -27);
    EXPECT_FALSE(GetWindowLongPtrW(window->routeList, GWL_STYLE) & WS_HSCROLL);
    const RECT list = childRect(window->routeList);
    EXPECT_EQ(list.left, 27);
    EXPECT_EQ(list.top, 282);
    RECT client{};
    GetClientRect(window->mainWindow, &client);
    EXPECT_EQ(list.right - list.left, std::max<LONG>(930, client.right - 630));
    EXPECT_EQ(childRect(window->sketchView).right, client.right - 27);
}
