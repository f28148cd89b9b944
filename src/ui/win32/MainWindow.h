#pragma once
// The Win32 view: handles, fonts and brushes of the one main window, and the operations that
// hand the portable UI logic's results to the controls. Everything runs on the GUI thread.

#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <string>
#include <string_view>

extern HWND mainWindow;
extern HWND searchBox;
extern HWND languageCombo;
extern HWND startFilterCombo;
extern HWND endFilterCombo;
extern HWND sportFilterCombo;
extern HWND ghostFilterCombo;
extern HWND typeFilterCombo;
extern HWND lengthFilterCombo;
extern HWND resetButton;
extern HWND routeList;
extern HWND titleStatic;
extern HWND subtitleStatic;
extern HWND sketchView;
extern HWND distanceStatic;
extern HWND timeStatic;
extern HWND ascentStatic;
extern HWND pointsStatic;
extern HWND weatherStatic;
extern HWND sportCombo;
extern HWND statusStatic;

extern HFONT bodyFont;
extern HFONT statFont;
extern HFONT titleFont;
extern HFONT smallFont;
extern HBRUSH backgroundBrush;
extern HBRUSH sketchBrush;

// Set while the two combo boxes are refilled, so their notifications are ignored.
extern bool fillingSportCombo;
extern bool fillingLanguageCombo;

inline const wchar_t* wideText(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline std::u16string u16Text(const wchar_t* text) {
    return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

// Start-up from registering the window class to reading the library; the window stays hidden.
// The program and the in-process tests build the window through this one function.
HWND createMainWindow(HINSTANCE instance);
// Shows the window and runs the message loop; the result is the exit code.
int runMainWindow(int showCommand);

LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK sketchWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

HWND createStatic(const wchar_t* text);
HWND createFilterCombo(int id);
void setControlFont(HWND window, HFONT font);
void layoutMainWindow(int clientWidth, int clientHeight);

void refreshDetailPanel();
void resetCombo(HWND combo, const std::u16string& text);
void rebuildFilterBar();
std::u16string selectedFilterText(HWND combo);
void rebuildRouteList();
// Text of one cell of the (owner-data) route list; empty outside the rows.
std::u16string routeListCellText(std::size_t row, std::size_t column);
// First row from `start` on (wrapping) whose name begins with `prefix`, ASCII case folded; -1 if none.
int findRouteListRow(std::u16string_view prefix, int start);

void setControlCaption(int id, std::u16string_view icon, std::string_view key);
void applyLanguage();
void selectLanguage();

void scanLibrary();
void importFiles();
void chooseLibraryFolder();
// The sport chosen in the panel's combo box is written into the selected route's file.
void changeSelectedSport(HWND owner);
