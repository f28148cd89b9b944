#include "ui/win32/LibraryWatch.h"

#include "ui/win32/RouteListView.h"

namespace fs = std::filesystem;

namespace {

void applyRescan(MainWindow& window) {
    LibraryRescan& rescan = window.rescan;
    if (rescan.unchanged || (rescan.folderMissing && window.libraryFolderMissing)) return;
    const RouteInfo* selected = selectedRoute(window);
    const fs::path selectedFile = selected ? selected->filePath : fs::path();
    const auto top = static_cast<int>(SendMessageW(window.routeList, LVM_GETTOPINDEX, 0, 0));
    if (rescan.folderMissing) {
        window.libraryRoutes.clear();
        window.librarySnapshot.clear();
        window.libraryFolderMissing = true;
    } else {
        window.libraryRoutes = std::move(rescan.routes);
        window.librarySnapshot = std::move(rescan.snapshot);
        window.libraryFolderMissing = false;
        // Only the status line says so: a box for each change in the folder would be a storm.
        window.libraryFolderNotListed = rescan.folderNotListed;
    }
    rescan.routes.clear();
    rescan.snapshot.clear();
    rebuildFilterBarKeepingChoices(window);
    rebuildRouteList(window);
    scrollRouteListTo(window, top);
    if (!selectedFile.empty()) selectRouteRow(window, selectedFile);
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
    startLibraryRescan(window.rescan, window.settings.libraryFolder, window.librarySnapshot,
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

void beginLibraryScan(MainWindow& window) {
    // The scan reads everything anew, also what the dropped rescan would have brought.
    joinLibraryRescan(window.rescan);
    window.rescan.again = false;
    window.rescan.routes.clear();
    // Listed before the files are read: a file that changes during the scan differs from this
    // list afterwards and is read again, never missed.
    window.librarySnapshot = folderSnapshot(window.settings.libraryFolder);
    window.libraryFolderMissing = false;
    window.libraryFolderNotListed = false;
}

void noteLibraryFileWritten(MainWindow& window, const fs::path& file) {
    updateFolderSnapshot(window.librarySnapshot, file);
}
