#pragma once
// The main window's size at start (scaled to its DPI, clamped to the monitor's work area, or as
// the user left it last time) and keeping it between runs.

#include "ui/win32/MainWindow.h"

// Sizes the hidden window; sets startMaximized when it was maximised when last closed.
void placeMainWindow(MainWindow& window);
void rememberWindowPlacement(const MainWindow& window);
