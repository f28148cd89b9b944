#pragma once
// The list follows its folder: a change made from outside is read on a worker and swapped into
// the list on the GUI thread, keeping the search, the filters, the sort and the selected route.
// The program's own writes are known beforehand and start no second reading.

#include <filesystem>

#include "ui/win32/MainWindow.h"

// Private messages of the main window, posted by the two workers.
inline constexpr UINT kFolderChangedMessage = WM_APP + 0x51;
inline constexpr UINT kRescanDoneMessage = WM_APP + 0x52;

// Watches settings.libraryFolder (moving the watch there when it was on another folder).
void watchLibraryFolder(MainWindow& window);
// At the window's destruction: both workers end before it is gone.
void stopWatchingLibrary(MainWindow& window);
// kFolderChangedMessage: reads the folder again in the background.
void libraryFolderChanged(MainWindow& window);
// kRescanDoneMessage with the rescan's id: swaps its records into the list.
void libraryRescanDone(MainWindow& window, WPARAM id);
// Before a command changes the folder's files or the records: waits for a running rescan and
// applies its result.
void finishLibraryRescan(MainWindow& window);
// At the start of a full scan: a running rescan is waited for and dropped; returns the listing of
// the files about to be read, which the scan's records go with.
FolderSnapshot beginLibraryScan(MainWindow& window);
// After the program itself rewrote a library file.
void noteLibraryFileWritten(MainWindow& window, const std::filesystem::path& file);
