#include "ui/win32/MainWindow.h"

MainWindow* mainWindowOf(HWND mainWindow) {
    return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(mainWindow, GWLP_USERDATA));
}

const RouteInfo* selectedRoute(const MainWindow& window) {
    if (window.selectedRow < 0 || static_cast<std::size_t>(window.selectedRow) >= window.visibleRows.size()) {
        return nullptr;
    }
    const uint64_t index = window.visibleRows[static_cast<std::size_t>(window.selectedRow)];
    if (index >= window.libraryRoutes.size()) return nullptr;
    return &window.libraryRoutes[index];
}
