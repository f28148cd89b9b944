// Start-up of the real window: controls, captions, first list, and the fixed layout.

#include "GuiTestSupport.h"
#include "library/Settings.h"
#include "ui/ControlIds.h"
#include "ui/Layout.h"
#include "ui/ListColors.h"

namespace fs = std::filesystem;

TEST_F(GuiTest, EmptyLibraryStartsInGermanWithPromptAndEmptyList) {
    startWindow("de");
    EXPECT_EQ(textOf(window->mainWindow), u"Tirn GPX Library");
    EXPECT_EQ(textOf(GetDlgItem(window->mainWindow, IDC_HEADER)), u"TIRN GPX\r\nTirn GPX Library");
    EXPECT_EQ(textOf(GetDlgItem(window->mainWindow, IDC_IMPORT)), u"\uff0b Importieren");
    EXPECT_EQ(textOf(window->resetButton), u"\u00d7");
    EXPECT_FALSE(isVisible(window->resetButton));
    EXPECT_EQ(columnHeader(2), u"Sportart");
    wchar_t cue[64] = {};
    SendMessageW(window->searchBox, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 64);
    EXPECT_EQ(u16Text(cue), u"Suchen");

    EXPECT_EQ(listRowCount(), 0);
    // The empty list says how routes get there.
    const Rgb hint = kHintTextColor;
    EXPECT_GT(captureClient(window->routeList, true).count(rgbValue(hint.r, hint.g, hint.b)), 20);
    EXPECT_EQ(textOf(window->statusStatic), u"0 Dateien   \u00b7   " + u16Text(library().c_str()));
    EXPECT_TRUE(fs::is_directory(library()));
    EXPECT_TRUE(fs::is_directory(roaming() / "Tirn GPX Library"));

    EXPECT_EQ(textOf(window->titleStatic), u"Eine Route w\u00e4hlen");
    EXPECT_EQ(textOf(window->distanceStatic),
              std::u16string(translate(window->language, "distance")) + u"\r\n\u2013");
    EXPECT_EQ(comboItems(window->sportCombo).size(), 15u);
    EXPECT_EQ(comboSelection(window->sportCombo), -1);
    EXPECT_FALSE(isEnabled(window->sportCombo));
    EXPECT_EQ(comboItems(window->languageCombo).size(), 20u);
    EXPECT_EQ(comboSelection(window->languageCombo), 1);

    // Only the "all" entries where the library has nothing to offer; fixed choices stay.
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_START)), std::vector<std::u16string>{u"Start: alle"});
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_LENGTH)).size(), 4u);
    for (HWND combo : window->filterCombos) EXPECT_EQ(comboSelection(combo), 0);

    // The window and its list are built as fixed: styles and identifiers.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(window->mainWindow, GWL_STYLE)) & 0x02CF0000u,
              0x02CF0000u);
    EXPECT_EQ(GetDlgCtrlID(window->titleStatic), 0);
    EXPECT_EQ(GetDlgItem(window->mainWindow, IDC_SKETCH), window->sketchView);
    EXPECT_EQ(GetDlgItem(window->mainWindow, IDC_ROUTE_LIST), window->routeList);
    // Report view, several rows at a time, selection kept visible; rows come from the window (owner
    // data).
    const auto listStyle = static_cast<DWORD>(GetWindowLongPtrW(window->routeList, GWL_STYLE));
    EXPECT_EQ(listStyle & 0xFFFFu, static_cast<DWORD>(LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA));
    EXPECT_TRUE(SendMessageW(window->routeList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
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
    EXPECT_EQ(listColumn(0),
              (std::vector<std::u16string>{u"a-newer", u"b-older", window->brokenMark + u"broken"}));
    EXPECT_EQ(listText(0, 1), u"15/06/2024");
    EXPECT_EQ(listText(0, 2), u"Running");
    EXPECT_EQ(listText(0, 7), u"\u2713");
    EXPECT_EQ(listText(0, 8), u"Loop");
    EXPECT_EQ(listText(1, 8), u"One-way");
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
    // Every control stands where the layout puts it for the client size the window was told.
    const auto expectLayout = [&](int width, int height) {
        const auto rects = layoutControls(static_cast<uint16_t>(width), static_cast<uint16_t>(height), 96,
                                          window->filterWidths);
        const std::pair<std::size_t, HWND> placed[] = {
            {slotSearch, window->searchBox},    {slotHeader, GetDlgItem(window->mainWindow, IDC_HEADER)},
            {slotRouteList, window->routeList}, {slotStatus, window->statusStatic},
            {slotTitle, window->titleStatic},   {slotSketch, window->sketchView},
            {slotTime, window->timeStatic},     {slotSportCombo, window->sportCombo}};
        for (const auto& [slot, control] : placed) {
            const RECT r = childRect(control);
            EXPECT_EQ(r.left, rects[slot].left) << slot << " at " << width << " x " << height;
            EXPECT_EQ(r.top, rects[slot].top) << slot << " at " << width << " x " << height;
            EXPECT_EQ(r.right - r.left, rects[slot].width) << slot << " at " << width << " x " << height;
        }
        const RECT list = childRect(window->routeList);
        EXPECT_EQ(list.bottom - list.top, rects[slotRouteList].height);
    };
    SendMessageW(window->mainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1380, 600));
    expectLayout(1380, 600);
    SendMessageW(window->mainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(900, 700));  // below 1040
    expectLayout(900, 700);
    // A real resize reaches the same layout through the window manager's WM_SIZE.
    SetWindowPos(window->mainWindow, nullptr, 0, 0, 1300, 800, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    RECT client{};
    GetClientRect(window->mainWindow, &client);
    expectLayout(client.right, client.bottom);
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
