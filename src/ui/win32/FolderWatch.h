#pragma once
// Watching the library folder on a worker thread, and reading it again on another one, so that
// the list follows changes made from outside without ever making the window wait.

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/RouteInfo.h"
#include "library/FolderSnapshot.h"

// The library files (.gpx, not folders) directly in `folder`; empty when it cannot be listed.
FolderSnapshot folderSnapshot(const std::filesystem::path& folder);
// Brings the entry of one file up to date after the program itself wrote it.
void updateFolderSnapshot(FolderSnapshot& snapshot, const std::filesystem::path& file);

struct FolderWatch {
    std::filesystem::path folder;
    std::thread worker;
    HANDLE stopEvent = nullptr;
};

// Posts `message` to `window` once for each burst of changes in `folder` (gathered for half a
// second), and once each time the folder vanishes or appears again. Stops a running watch first.
void startFolderWatch(FolderWatch& watch, const std::filesystem::path& folder, HWND window, UINT message);
// Returns when the worker has ended; it posts nothing afterwards.
void stopFolderWatch(FolderWatch& watch);

struct LibraryRescan {
    std::thread worker;
    unsigned id = 0;     // of the running or the last rescan; sent as the message's wParam
    bool again = false;  // the folder changed again while it ran
    // Written by the worker, read only after it was joined.
    bool folderMissing = false;
    bool folderNotListed = false;  // the folder is there but could not be listed
    bool unchanged = false;        // the files are those of `base`: nothing was read
    FolderSnapshot snapshot;
    std::vector<RouteInfo> routes;
};

// Reads `folder` on a worker and posts `message` (wParam: the rescan's id) when done. A folder
// that is missing is reported, never created; files equal to `base` are not read unless `force`.
void startLibraryRescan(LibraryRescan& rescan, const std::filesystem::path& folder, FolderSnapshot base,
                        bool force, HWND window, UINT message);
bool libraryRescanRunning(const LibraryRescan& rescan);
// Waits for the running rescan, if any; its result is then in `rescan`.
void joinLibraryRescan(LibraryRescan& rescan);
