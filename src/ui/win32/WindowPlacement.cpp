#include "ui/win32/WindowPlacement.h"

#include <algorithm>
#include "library/WindowPlacementFile.h"

#include "ui/Layout.h"

namespace {

constexpr int kDefaultWidth = 1380;  // outer size at 96 DPI
constexpr int kDefaultHeight = 860;

RECT workAreaOf(HWND hwnd) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

// The default size at the window's DPI, no larger than the work area and moved into it.
void applyDefaultSize(const MainWindow& window) {
    const RECT work = workAreaOf(window.mainWindow);
    RECT outer{};
    GetWindowRect(window.mainWindow, &outer);
    const int width = std::min<int>(scaledPixels(kDefaultWidth, window.dpi), work.right - work.left);
    const int height = std::min<int>(scaledPixels(kDefaultHeight, window.dpi), work.bottom - work.top);
    int left = outer.left;
    int top = outer.top;
    if (left + width > work.right) left = std::max<int>(work.left, work.right - width);
    if (top + height > work.bottom) top = std::max<int>(work.top, work.bottom - height);
    if (width == outer.right - outer.left && height == outer.bottom - outer.top && left == outer.left &&
        top == outer.top) {
        return;
    }
    SetWindowPos(window.mainWindow, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void placeMainWindow(MainWindow& window) {
    const std::optional<SavedWindowPlacement> saved = loadWindowPlacement();
    const RECT rect = saved ? RECT{saved->left, saved->top, saved->right, saved->bottom} : RECT{};
    // A place on no monitor any more (a detached screen) falls back to the default.
    if (!saved || MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) == nullptr) {
        applyDefaultSize(window);
        return;
    }
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    placement.showCmd = SW_HIDE;
    placement.rcNormalPosition = rect;
    SetWindowPlacement(window.mainWindow, &placement);
    window.startMaximized = saved->maximized;
}

void rememberWindowPlacement(const MainWindow& window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window.mainWindow, &placement)) return;
    const RECT& rect = placement.rcNormalPosition;
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    SavedWindowPlacement saved{
        rect.left, rect.top, rect.right, rect.bottom,
        placement.showCmd == SW_SHOWMAXIMIZED ||
            (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED))};
    // Only a convenience: a failed save leaves the next start at the default place.
    saveWindowPlacement(saved);
}
