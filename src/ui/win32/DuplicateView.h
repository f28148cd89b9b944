#pragma once
// Find duplicates in the window: the list narrowed to the routes that are there twice (Ctrl+D, the
// row menu) and back to the whole list (Escape, the reset button).

#include "ui/win32/MainWindow.h"

void findDuplicateRoutes(MainWindow& window);
// False when the list was not narrowed, so that Escape keeps its other meanings.
bool endDuplicateRoutes(MainWindow& window);
