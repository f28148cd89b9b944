#pragma once
// Start-up of the main window (every control, the language, the library), its window procedure,
// the layout and the message loop.

#include "ui/win32/MainWindow.h"

// From registering the window classes to reading the library; the window stays hidden. The
// program and the in-process tests build the window through this one function. The state lives
// until the window is destroyed.
MainWindow* createMainWindow(HINSTANCE instance);
// Shows the window and runs the message loop; the result is the exit code.
int runMainWindow(MainWindow& window, int showCommand);
void layoutMainWindow(MainWindow& window, int clientWidth, int clientHeight);
// WM_DPICHANGED: fonts, column widths and layout at the new DPI, the window at the suggested place.
void applyDpi(MainWindow& window, UINT dpi, const RECT* suggested);
