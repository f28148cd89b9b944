#pragma once
// Files dropped on the window are imported like the Import button's choice.

#include "ui/win32/MainWindow.h"
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include <filesystem>
#include <string>
#include <vector>

// WM_DROPFILES: the dropped files and folders are imported as by importSources (GPX files copied,
// activities converted, archives and exports unpacked) and the library read once; other files are
// refused, and refused or failed files are listed in one message box. Releases `drop`.
void importDroppedFiles(MainWindow& window, HDROP drop);
// Imports `sources` (files, archives, folders), reads the library once, selects what arrived and
// lists what did not in one message box after the lines of `failed`.
void importAndShow(MainWindow& window, const std::vector<std::filesystem::path>& sources,
                   std::vector<std::u16string> failed);
