#pragma once
// Files dropped on the window are imported like the Import button's choice.

#include "ui/win32/MainWindow.h"
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

// WM_DROPFILES: the dropped GPX files, and the GPX files directly inside dropped folders, are
// copied into the library under free names and the library read once; every other file is
// refused, and refused or failed files are listed in one message box. Releases `drop`.
void importDroppedFiles(MainWindow& window, HDROP drop);
