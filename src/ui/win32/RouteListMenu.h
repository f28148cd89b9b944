#pragma once
// The context menu of a route row: show the file in Explorer, and for the selected routes a sport
// (a submenu of the sports), Rename…, the Recycle Bin and Undo.

#include "ui/win32/MainWindow.h"

enum RouteMenuCommand : UINT {
    kMenuShowInFolder = 1,
    kMenuFirstSport = 10,  // one item per sport, in the order of sportKeys
    kMenuUndo = 25,
    kMenuRecycle = 26,
    kMenuRename = 27,
    kMenuFindDuplicates = 30,
};

// WM_CONTEXTMENU: the menu of the row under the mouse, or of the selected row when opened from the
// keyboard (position -1). False when the message was not about a row of the route list, so that
// the default handling goes on.
bool showRouteListMenu(MainWindow& window, HWND source, LPARAM position);
// What a menu command does for the selected routes.
void runRouteListMenuCommand(MainWindow& window, UINT command);
