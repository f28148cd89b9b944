#pragma once
// The context menu of a route row: show the file in Explorer, or go to the sport box.

#include "ui/win32/MainWindow.h"

enum RouteMenuCommand : UINT {
    kMenuShowInFolder = 1,
    kMenuChangeSport = 2,
    kMenuFindDuplicates = 30,
};

// WM_CONTEXTMENU: the menu of the row under the mouse, or of the selected row when opened from the
// keyboard (position -1). False when the message was not about a row of the route list, so that
// the default handling goes on.
bool showRouteListMenu(MainWindow& window, HWND source, LPARAM position);
// What a menu command does for the selected route.
void runRouteListMenuCommand(MainWindow& window, UINT command);
