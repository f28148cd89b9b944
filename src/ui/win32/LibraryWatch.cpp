#include "ui/win32/LibraryWatch.h"

#include "ui/win32/RouteListView.h"

namespace fs = std::filesystem;

namespace {

void applyRescan(MainWindow& window) {
    LibraryRescan& rescan = window.rescan;
    if (rescan.unchanged || (rescan.folderMissing && window.libraryFolderMissing)) return;
    window.libraryFolderMissing = rescan.folderMissing;
    // Only the status line says so: a box for each change in the folder would be a storm.
    if (!rescan.folderMissing) window.libraryFolderNotListed = rescan.folderNotListed;
    std::vector<RouteInfo> routes =
        rescan.folderMissing ? std::vector<RouteInfo>() : std::move(rescan.routes);
    FolderSnapshot snapshot = rescan.folderMissing ? FolderSnapshot() : std::move(rescan.snapshot);
    rescan.routes.clear();
    rescan.snapshot.clear();
    changeRouteList(window, [&](ListView& view) {
        applyScan(view, std::move(routes), std::move(snapshot), FilterChoices::keepOffered, window.language);
    });
    rebuildFilterBar(window);
}

}  // namespace

void watchLibraryFolder(MainWindow& window) {
    if (window.folderWatch.worker.joinable() && window.folderWatch.folder == window.settings.libraryFolder)
        return;
    startFolderWatch(window.folderWatch, window.settings.libraryFolder, window.mainWindow,
                     kFolderChangedMessage);
}

void stopWatchingLibrary(MainWindow& window) {
    stopFolderWatch(window.folderWatch);
    joinLibraryRescan(window.rescan);
}

void libraryFolderChanged(MainWindow& window) {
    if (libraryRescanRunning(window.rescan)) {
        window.rescan.again = true;
        return;
    }
    // After the folder was missing every file is new, also when there are none.
    startLibraryRescan(window.rescan, window.settings.libraryFolder, window.list.snapshot,
                       window.libraryFolderMissing, window.mainWindow, kRescanDoneMessage);
}

void libraryRescanDone(MainWindow& window, WPARAM id) {
    // A command may have waited for this rescan already.
    if (!libraryRescanRunning(window.rescan) || id != window.rescan.id) return;
    joinLibraryRescan(window.rescan);
    applyRescan(window);
    if (window.rescan.again) {
        window.rescan.again = false;
        libraryFolderChanged(window);
    }
}

void finishLibraryRescan(MainWindow& window) {
    if (!libraryRescanRunning(window.rescan)) return;
    joinLibraryRescan(window.rescan);
    applyRescan(window);
    if (window.rescan.again) {
        // Looked at again once the command is done.
        window.rescan.again = false;
        PostMessageW(window.mainWindow, kFolderChangedMessage, 0, 0);
    }
}

FolderSnapshot beginLibraryScan(MainWindow& window) {
    // The scan reads everything anew, also what the dropped rescan would have brought.
    joinLibraryRescan(window.rescan);
    window.rescan.again = false;
    window.rescan.routes.clear();
    window.libraryFolderMissing = false;
    window.libraryFolderNotListed = false;
    // Listed before the files are read: a file that changes during the scan differs from this
    // list afterwards and is read again, never missed.
    return folderSnapshot(window.settings.libraryFolder);
}

void noteLibraryFileWritten(MainWindow& window, const fs::path& file) {
    updateFolderSnapshot(window.list.snapshot, file);
}
