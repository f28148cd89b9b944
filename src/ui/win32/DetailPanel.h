#pragma once
// The detail panel and the route sketch of the selected route.

#include "ui/win32/MainWindow.h"

void refreshDetailPanel(MainWindow& window);
// The window procedure of the "TirnSketch" class, a child of the main window.
LRESULT CALLBACK sketchWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
