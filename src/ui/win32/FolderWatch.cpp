// The folder watch and the background rescan. Both workers touch no window state: they only
// post messages, and the GUI thread reads a rescan's result after joining its worker.

#include "ui/win32/FolderWatch.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <exception>
#include <system_error>

#include "library/LibraryScan.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

// How long the changes of one burst are gathered before the window hears of them.
constexpr auto kGatherTime = std::chrono::milliseconds(500);
// How often an idle watch makes sure the folder is still there (renamed or moved away, it would
// report nothing more), and how often a folder that cannot be watched is tried again.
constexpr DWORD kCheckMilliseconds = 1000;

uint64_t fileTimeValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

uint64_t fileSizeValue(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

bool byName(const WatchedFile& a, const WatchedFile& b) {
    return a.name < b.name;
}

bool stopRequested(HANDLE stopEvent, DWORD milliseconds) {
    return WaitForSingleObject(stopEvent, milliseconds) != WAIT_TIMEOUT;
}

bool isFolder(const fs::path& folder) {
    return fileKind(folder) == FileKind::folder;
}

enum class WatchEnd { stopped, burst, vanished, failed };

// Watches one open folder handle until the stop event is set, a burst of changes is over, the
// folder is gone, or the watch fails. With `report` the window hears once the watch is armed:
// whatever happened before then is read by the rescan that follows.
WatchEnd watchOpenFolder(HANDLE folder, const fs::path& path, HANDLE stopEvent, HWND window, UINT message,
                         bool report) {
    HANDLE changed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (changed == nullptr) return WatchEnd::failed;
    // The names are not needed: the rescan compares the folder with what the list was read from.
    // A burst that overflows the buffer still completes, with nothing in it.
    alignas(DWORD) std::array<std::byte, 8192> buffer{};
    OVERLAPPED overlapped{};
    overlapped.hEvent = changed;
    const auto arm = [&] {
        ResetEvent(changed);
        return ReadDirectoryChangesW(folder, buffer.data(), static_cast<DWORD>(buffer.size()), FALSE,
                                     FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                         FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE,
                                     nullptr, &overlapped, nullptr) != FALSE;
    };
    bool armed = arm();
    // Where changes cannot be watched, the window is told at every retry instead.
    if (report) PostMessageW(window, message, 0, 0);
    WatchEnd end = WatchEnd::failed;
    bool gathering = false;
    auto burstEnd = std::chrono::steady_clock::now();
    while (armed) {
        DWORD timeout = kCheckMilliseconds;
        if (gathering) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                burstEnd - std::chrono::steady_clock::now());
            timeout = left.count() > 0 ? static_cast<DWORD>(left.count()) : 0;
        }
        const HANDLE events[] = {stopEvent, changed};
        const DWORD woken = WaitForMultipleObjects(2, events, FALSE, timeout);
        if (woken == WAIT_OBJECT_0 + 1) {
            DWORD bytes = 0;
            if (!GetOverlappedResult(folder, &overlapped, &bytes, FALSE)) {
                // Deleted (Windows ends the request then) or no longer readable.
                armed = false;
                end = isFolder(path) ? WatchEnd::failed : WatchEnd::vanished;
                break;
            }
            if (!gathering) {
                gathering = true;
                burstEnd = std::chrono::steady_clock::now() + kGatherTime;
            }
            armed = arm();
        } else if (woken == WAIT_TIMEOUT && gathering) {
            end = WatchEnd::burst;
            break;
        } else if (woken == WAIT_TIMEOUT) {
            if (!isFolder(path)) {
                end = WatchEnd::vanished;
                break;
            }
        } else {
            end = woken == WAIT_OBJECT_0 ? WatchEnd::stopped : WatchEnd::failed;
            break;
        }
    }
    if (armed) {
        // The buffer must outlive the request: cancel it and wait until it is over.
        DWORD bytes = 0;
        CancelIoEx(folder, &overlapped);
        GetOverlappedResult(folder, &overlapped, &bytes, TRUE);
    }
    CloseHandle(changed);
    return end;
}

void watchFolder(fs::path folder, HANDLE stopEvent, HWND window, UINT message) {
    // The window read the folder as it was when the watch started.
    bool report = false;
    bool missing = false;
    for (;;) {
        // Every sharing mode, so that the watch keeps nobody from renaming or deleting the folder
        // or its files.
        HANDLE handle =
            CreateFileW(longPathForm(folder).c_str(), FILE_LIST_DIRECTORY,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            if (!missing) PostMessageW(window, message, 0, 0);
            missing = true;
            if (stopRequested(stopEvent, kCheckMilliseconds)) return;
            continue;
        }
        const WatchEnd end = watchOpenFolder(handle, folder, stopEvent, window, message, report || missing);
        // Closed after every burst: a deletion of the folder that waits for the last handle (as
        // under Wine, where the watch hears nothing of it) then takes place, and the reopening
        // finds the folder gone.
        CloseHandle(handle);
        missing = false;
        report = end != WatchEnd::stopped;
        if (end == WatchEnd::stopped) return;
        if (end == WatchEnd::failed && stopRequested(stopEvent, kCheckMilliseconds)) return;
    }
}

void rescanFolder(LibraryRescan* rescan, fs::path folder, FolderSnapshot base, bool force, HWND window,
                  UINT message, unsigned id) {
    try {
        // readLibrary would create a missing folder: one that vanished stays gone.
        if (!isFolder(folder)) {
            rescan->folderMissing = true;
        } else {
            FolderSnapshot snapshot = folderSnapshot(folder);
            if (!force && snapshot == base) {
                rescan->unchanged = true;
            } else {
                LibraryScanCounts counts;
                rescan->routes = readLibrary(folder, {}, &counts);
                rescan->folderNotListed = counts.folderNotListed;
                rescan->snapshot = std::move(snapshot);
            }
        }
    } catch (const std::exception&) {
        // Out of memory or the like: the list stays as it is.
        rescan->unchanged = true;
        rescan->routes.clear();
    }
    PostMessageW(window, message, id, 0);
}

}  // namespace

FolderSnapshot folderSnapshot(const fs::path& folder) {
    FolderSnapshot snapshot;
    WIN32_FIND_DATAW found{};
    const fs::path pattern = longPathForm(folder / L"*");
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return snapshot;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!isLibraryFileName(fs::path(found.cFileName))) continue;
        snapshot.push_back({std::u16string(reinterpret_cast<const char16_t*>(found.cFileName)),
                            fileSizeValue(found.nFileSizeHigh, found.nFileSizeLow),
                            fileTimeValue(found.ftLastWriteTime)});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(snapshot.begin(), snapshot.end(), byName);
    return snapshot;
}

void updateFolderSnapshot(FolderSnapshot& snapshot, const fs::path& file) {
    WatchedFile entry;
    entry.name = file.filename().u16string();
    const auto place = std::lower_bound(snapshot.begin(), snapshot.end(), entry, byName);
    const bool listed = place != snapshot.end() && place->name == entry.name;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(longPathForm(file).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (listed) snapshot.erase(place);
        return;
    }
    entry.size = fileSizeValue(data.nFileSizeHigh, data.nFileSizeLow);
    entry.writeTime = fileTimeValue(data.ftLastWriteTime);
    if (listed) {
        *place = std::move(entry);
    } else if (isLibraryFileName(file.filename())) {
        snapshot.insert(place, std::move(entry));
    }
}

void startFolderWatch(FolderWatch& watch, const fs::path& folder, HWND window, UINT message) {
    stopFolderWatch(watch);
    watch.stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (watch.stopEvent == nullptr) return;
    watch.folder = folder;
    try {
        watch.worker = std::thread(watchFolder, folder, watch.stopEvent, window, message);
    } catch (const std::system_error&) {
        // No thread to be had: the list simply does not follow the folder.
        CloseHandle(watch.stopEvent);
        watch.stopEvent = nullptr;
    }
}

void stopFolderWatch(FolderWatch& watch) {
    if (watch.stopEvent) SetEvent(watch.stopEvent);
    if (watch.worker.joinable()) watch.worker.join();
    if (watch.stopEvent) CloseHandle(watch.stopEvent);
    watch.stopEvent = nullptr;
    watch.folder.clear();
}

void startLibraryRescan(LibraryRescan& rescan, const fs::path& folder, FolderSnapshot base, bool force,
                        HWND window, UINT message) {
    joinLibraryRescan(rescan);
    rescan.id += 1;
    rescan.folderMissing = false;
    rescan.folderNotListed = false;
    rescan.unchanged = false;
    rescan.snapshot.clear();
    rescan.routes.clear();
    try {
        rescan.worker =
            std::thread(rescanFolder, &rescan, folder, std::move(base), force, window, message, rescan.id);
    } catch (const std::system_error&) {
        rescan.unchanged = true;
    }
}

bool libraryRescanRunning(const LibraryRescan& rescan) {
    return rescan.worker.joinable();
}

void joinLibraryRescan(LibraryRescan& rescan) {
    if (rescan.worker.joinable()) rescan.worker.join();
}
