#pragma once
// Commands that change the library: reading it, the Import and Folder dialogs, and the sport
// rewrite of the selected route.

#include "ui/win32/MainWindow.h"

void scanLibrary(MainWindow& window);
void importFiles(MainWindow& window);
void chooseLibraryFolder(MainWindow& window);
// The sport chosen in the panel's combo box is written into the selected route's file.
void changeSelectedSport(MainWindow& window);
// The panel's sport box shows the sport of `route` (no selection for a sport outside the list).
void showRouteSport(MainWindow& window, const RouteInfo& route);
// Tells the user that a setting could not be saved and so was not changed.
void showSettingNotSaved(MainWindow& window);
