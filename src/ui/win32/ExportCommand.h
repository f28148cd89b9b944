#pragma once
// Export…: the listed routes into a CSV or GeoJSON file the user names.

#include "ui/win32/MainWindow.h"

// Asks for a file (its type chooses the format), writes the routes the list shows in its order
// through a temporary file, and says in the status line how many were written.
void exportListedRoutes(MainWindow& window);
