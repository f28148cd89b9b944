#pragma once
// "Rename…" of the row menu: a pattern for the selected routes' new file names, with a preview of
// the first new names as it is typed.

#include "ui/win32/MainWindow.h"

void showRenameDialog(MainWindow& window);
