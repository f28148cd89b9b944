#pragma once
// The state of the one main window: its handles, fonts and brushes, the settings, the active
// language and the list. Created with the window, reached from its procedure through the
// window's user data, and passed to every view function; there are no window globals.

#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "library/Settings.h"
#include "ui/ColumnWidths.h"
#include "ui/Layout.h"
#include "ui/ListColors.h"
#include "ui/ListView.h"
#include "ui/RouteFilters.h"
#include "ui/SportChoice.h"
#include "ui/win32/FolderWatch.h"
#include "ui/win32/OverviewPane.h"

struct SportRun;  // a sport written into many files on a worker (BulkCommands)

struct MainWindow {
    HWND mainWindow = nullptr;
    HWND searchBox = nullptr;
    HWND languageCombo = nullptr;
    HWND unitsCombo = nullptr;                      // metric or imperial
    std::array<HWND, kFilterCount> filterCombos{};  // in the order of routeFilters
    HWND resetButton = nullptr;
    HWND routeList = nullptr;
    HWND titleStatic = nullptr;
    HWND fileNameStatic = nullptr;
    HWND subtitleStatic = nullptr;
    HWND sketchView = nullptr;
    HWND distanceStatic = nullptr;
    HWND timeStatic = nullptr;
    HWND ascentStatic = nullptr;
    HWND pointsStatic = nullptr;
    HWND weatherStatic = nullptr;
    HWND sportCombo = nullptr;
    HWND speedStatic = nullptr;
    HWND typeStatic = nullptr;
    HWND startStatic = nullptr;
    HWND finishStatic = nullptr;
    HWND statusStatic = nullptr;
    HWND profileView = nullptr;  // the track's figures and elevation profile (ProfileView)

    HFONT bodyFont = nullptr;
    HFONT statFont = nullptr;
    HFONT titleFont = nullptr;
    HFONT smallFont = nullptr;
    HBRUSH backgroundBrush = nullptr;
    HBRUSH sketchBrush = nullptr;

    UINT dpi = 96;  // the window's DPI: layout, fonts, columns and pens are scaled by dpi / 96
    HWND toolTip = nullptr;
    std::u16string toolTipText;  // the shown tip's text, which the tooltip reads after the notification
    std::u16string listTipText;  // the tip the pointer is over in the list or its header (ListHints)
    // Before the name of a file that is damaged or cut: a warning sign where the list's font has
    // one, else a mark it surely has (ListHints).
    std::u16string brokenMark = u"\u26A0 ";
    // What each list column needs, measured with the list's font when the library, the language
    // or the DPI changes; shared out at each size (ListColumns).
    std::vector<ColumnNeed> columnNeeds;
    // Hidden statics just before the search box and each combo box in the Z-order, whose texts
    // screen readers announce as the boxes' names, with their translation keys.
    std::vector<std::pair<HWND, std::string_view>> accessibleLabels;
    HWND focusBeforeDeactivation = nullptr;  // given the focus back when the window is activated
    bool startMaximized = false;             // it was maximised when last closed

    // Set while the two combo boxes are refilled, so their notifications are ignored.
    bool fillingSportCombo = false;
    bool fillingLanguageCombo = false;
    bool fillingSearchBox = false;          // the window empties the box itself: the list is shown already
    SportBoxState sportBox;                 // whether the sport box's list is open (SportBox)
    std::filesystem::path sportChoiceFile;  // a chosen sport waiting to be written: the route's file
    int sportChoice = -1;                   // and the box's item

    Settings settings;                         // libraryFolder and languageSetting
    ActiveLanguage language;                   // resolved from settings.languageSetting at each change
    std::vector<std::string> languageChoices;  // code behind each language combo item

    // The routes, the search, filters and sort, the rows and the user's selection and place in
    // them (RouteListView shows it), and the list following its folder (LibraryWatch).
    ListView list;
    bool applyingListState = false;     // the list's reports of states the window sets are ignored
    FolderWatch folderWatch;            // on settings.libraryFolder while the window lives
    LibraryRescan rescan;               // the background rescan after a change from outside
    bool libraryFolderMissing = false;  // the folder vanished while watched: the list is empty
    // The last scan could not list the folder; the status line says so, and a scan the user (or
    // the start) asked for tells it once in a box, when the window is shown.
    bool libraryFolderNotListed = false;
    bool folderNotListedToTell = false;

    // Writing a sport into several files: the chosen files, the run on its worker, and its
    // progress and Cancel at the end of the status line, shown while it runs (BulkCommands).
    std::vector<std::filesystem::path> sportChoiceFiles;
    std::shared_ptr<SportRun> sportRun;
    HWND bulkProgress = nullptr;
    HWND bulkCancel = nullptr;
    // What each filter box needs for its widest item, in pixels (FilterBar); the layout gives it.
    FilterBoxWidths filterWidths{};
    OverviewPane overview;  // the year-by-sport overview in the list's place (OverviewView)
};

// The state held by a main window (its user data); null before WM_NCCREATE and after WM_NCDESTROY.
MainWindow* mainWindowOf(HWND mainWindow);

// The record of the focused row, which the panel shows; none when no row is focused.
const RouteInfo* selectedRoute(const MainWindow& window);

inline const wchar_t* wideText(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline std::u16string u16Text(const wchar_t* text) {
    return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}
inline COLORREF colorRef(Rgb color) {
    return RGB(color.r, color.g, color.b);
}
