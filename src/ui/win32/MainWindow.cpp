#include "ui/win32/MainWindow.h"

MainWindow* mainWindowOf(HWND mainWindow) {
    return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(mainWindow, GWLP_USERDATA));
}

const RouteInfo* selectedRoute(const MainWindow& window) {
    return focusedRoute(window.list);
}
