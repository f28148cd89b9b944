// Start-up of the real window: controls, captions, first list, and the fixed layout.

#include "GuiTestSupport.h"
#include "library/Settings.h"
#include "ui/ControlIds.h"

namespace fs = std::filesystem;

TEST_F(GuiTest, EmptyLibraryStartsInGermanWithPromptAndEmptyList) {
    startWindow("de");
    EXPECT_EQ(textOf(window->mainWindow), u"Tirn GPX Library");
    EXPECT_EQ(textOf(GetDlgItem(window->mainWindow, IDC_HEADER)), u"TIRN GPX\r\nTirn GPX Library");
    EXPECT_EQ(textOf(GetDlgItem(window->mainWindow, IDC_IMPORT)), u"\uff0b Importieren");
    EXPECT_EQ(textOf(GetDlgItem(window->mainWindow, IDC_FOLDER)), u"\u25a3 Ordner");
    EXPECT_EQ(textOf(GetDlgItem(window->mainWindow, IDC_RELOAD)), u"\u21bb Neu laden");
    EXPECT_EQ(textOf(window->resetButton), u"\u00d7");
    EXPECT_FALSE(isVisible(window->resetButton));
    EXPECT_EQ(columnHeader(0), u"Name");
    EXPECT_EQ(columnHeader(2), u"Sportart");
    EXPECT_EQ(columnHeader(7), u"Ghost");
    EXPECT_EQ(columnHeader(8), u"Art");

    EXPECT_EQ(listRowCount(), 0);
    EXPECT_EQ(textOf(window->statusStatic), u"0 Dateien   \u00b7   " + u16Text(library().c_str()));
    EXPECT_TRUE(fs::is_directory(library()));
    EXPECT_TRUE(fs::is_directory(roaming() / "Tirn GPX Library"));

    EXPECT_EQ(textOf(window->titleStatic), u"Eine Route w\u00e4hlen");
    EXPECT_EQ(textOf(window->subtitleStatic), u"");
    EXPECT_EQ(textOf(window->distanceStatic), u"DISTANZ\r\n\u2013");
    EXPECT_EQ(textOf(window->timeStatic), u"Zeit\r\n\u2013");
    EXPECT_EQ(comboItems(window->sportCombo).size(), 15u);
    EXPECT_EQ(comboSelection(window->sportCombo), -1);
    EXPECT_FALSE(isEnabled(window->sportCombo));

    const auto languages = comboItems(window->languageCombo);
    ASSERT_EQ(languages.size(), 20u);
    EXPECT_EQ(languages[0], u"\u25ce System");
    EXPECT_EQ(languages[1], u"Deutsch");
    EXPECT_EQ(languages[19], u"\u7e41\u9ad4\u4e2d\u6587");
    EXPECT_EQ(comboSelection(window->languageCombo), 1);

    // Only the "all" entries where the library has nothing to offer; fixed choices stay.
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_START)), std::vector<std::u16string>{u"Start: alle"});
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_SPORT)), std::vector<std::u16string>{u"Sport: alle"});
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_LENGTH)),
              (std::vector<std::u16string>{u"L\u00e4nge: alle", u"< 5 km",
                                           u"5\u2013"
                                           u"20 km",
                                           u"> 20 km"}));
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_GHOST)).size(), 3u);
    for (HWND combo :
         {filterCombo(IDC_FILTER_START), filterCombo(IDC_FILTER_END), filterCombo(IDC_FILTER_SPORT),
          filterCombo(IDC_FILTER_GHOST), filterCombo(IDC_FILTER_TYPE), filterCombo(IDC_FILTER_LENGTH)}) {
        EXPECT_EQ(comboSelection(combo), 0);
    }
}

TEST_F(GuiTest, PopulatedLibraryListsRoutesInLibraryOrderWithTheirTexts) {
    TrackShape older;
    older.name = "Older";
    older.day = "2023-04-02";
    writeTrack(library() / "b-older.gpx", older);
    TrackShape newer;
    newer.name = "Newer";
    newer.day = "2024-06-15";
    newer.type = "running";
    newer.loop = true;
    writeTrack(library() / "a-newer.gpx", newer);
    writeBytes(library() / "broken.gpx", "this is no gpx");
    writeBytes(library() / "notes.txt", "ignored");
    startWindow("en");

    ASSERT_EQ(listRowCount(), 3);
    // Date descending; the failed record has an empty date, comes last and is marked.
    EXPECT_EQ(listColumn(0), (std::vector<std::u16string>{u"a-newer", u"b-older", u"\u26A0 broken"}));
    EXPECT_EQ(listText(0, 1), u"15.06.24");
    EXPECT_EQ(listText(0, 2), u"Running");
    EXPECT_EQ(listText(0, 7), u"\u2713");
    EXPECT_EQ(listText(0, 8), u"Loop");
    EXPECT_EQ(listText(1, 8), u"Route");
    EXPECT_EQ(listText(2, 1), u"");
    EXPECT_EQ(listText(2, 3), u"0 m");
    EXPECT_EQ(listText(2, 6), u"0");
    EXPECT_EQ(listText(2, 7), u"\u2013");
    EXPECT_EQ(textOf(window->statusStatic).substr(0, 10), u"3 Files   ");
    EXPECT_EQ(columnHeader(1), u"Date");
    EXPECT_EQ(comboSelection(window->languageCombo), 2);
}

TEST_F(GuiTest, LayoutFollowsTheClientSize) {
    startWindow("en");
    SendMessageW(window->mainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1380, 600));
    RECT list = childRect(window->routeList);
    EXPECT_EQ(list.left, 18);
    EXPECT_EQ(list.top, 176);
    EXPECT_EQ(list.right - list.left, 960);
    EXPECT_EQ(list.bottom - list.top, 378);
    EXPECT_EQ(childRect(window->statusStatic).top, 566);
    EXPECT_EQ(childRect(window->titleStatic).left, 992);
    RECT sketch = childRect(window->sketchView);
    EXPECT_EQ(sketch.right - sketch.left, 370);
    EXPECT_EQ(sketch.bottom - sketch.top, 230);
    EXPECT_EQ(childRect(window->searchBox).right, 18 + 960);

    // Below 1040 px the layout stops shrinking.
    SendMessageW(window->mainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(900, 700));
    list = childRect(window->routeList);
    EXPECT_EQ(list.right - list.left, 620);
    EXPECT_EQ(childRect(window->timeStatic).left, 620 + 222);
    EXPECT_EQ(childRect(GetDlgItem(window->mainWindow, IDC_HEADER)).right, 18 + 620);

    // A real resize reaches the same layout through the window manager's WM_SIZE.
    SetWindowPos(window->mainWindow, nullptr, 0, 0, 1300, 800, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    RECT client{};
    GetClientRect(window->mainWindow, &client);
    list = childRect(window->routeList);
    EXPECT_EQ(list.right - list.left, std::max<LONG>(620, client.right - 420));
    EXPECT_EQ(list.bottom - list.top, client.bottom - 222);
}

TEST_F(GuiTest, WindowIsBuiltWithTheFixedIdentifiersStylesAndSize) {
    startWindow("en");
    RECT outer{};
    GetWindowRect(window->mainWindow, &outer);
    EXPECT_EQ(outer.right - outer.left, 1380);
    EXPECT_EQ(outer.bottom - outer.top, 860);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(window->mainWindow, GWL_STYLE)) & 0x02CF0000u,
              0x02CF0000u);
    EXPECT_EQ(GetDlgCtrlID(window->titleStatic), 0);
    EXPECT_EQ(GetDlgCtrlID(window->statusStatic), 0);
    EXPECT_EQ(GetDlgItem(window->mainWindow, IDC_SKETCH), window->sketchView);
    EXPECT_EQ(GetDlgItem(window->mainWindow, IDC_ROUTE_LIST), window->routeList);
    const auto listStyle = static_cast<DWORD>(GetWindowLongPtrW(window->routeList, GWL_STYLE));
    // Report view, one row at a time, selection kept visible; rows come from the window (owner data).
    EXPECT_EQ(listStyle & 0xFFFFu, static_cast<DWORD>(0x000D | LVS_OWNERDATA));
    const auto extended = SendMessageW(window->routeList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    EXPECT_EQ(SendMessageW(window->routeList, LVM_GETCOLUMNWIDTH, 0, 0), 300);
    EXPECT_EQ(SendMessageW(window->routeList, LVM_GETCOLUMNWIDTH, 8, 0), 100);
    // The cue banner of the search box follows the language.
    wchar_t cue[64] = {};
    SendMessageW(window->searchBox, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 64);
    EXPECT_EQ(u16Text(cue), u"Search");
}

TEST_F(GuiTest, AnUnusableLibrarySettingGivesTheDefaultFolderAndANote) {
    fs::create_directories(roaming() / "Tirn GPX Library");
    writeBytes(roaming() / "Tirn GPX Library" / "settings.txt", "\x01\x02garbage\x7f");
    startWindow("en");
    EXPECT_EQ(window->settings.libraryFolder, library());
    EXPECT_EQ(textOf(window->statusStatic),
              u"0 Files   \u00b7   " + u16Text(library().c_str()) + u"   \u00b7   " +
                  std::u16string(translate(window->language, "folderSettingIgnored")));
}
