#include "ui/win32/Keyboard.h"

#include "ui/ControlIds.h"
#include "ui/win32/BulkCommands.h"
#include "ui/win32/DuplicateView.h"
#include "ui/win32/ExportCommand.h"
#include "ui/win32/LibraryCommands.h"
#include "ui/win32/OverviewView.h"
#include "ui/win32/RouteListView.h"
#include "ui/win32/SportBox.h"

namespace {

bool isKeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

bool belongsToWindow(const MainWindow& window, HWND target) {
    return target == window.mainWindow || IsChild(window.mainWindow, target);
}

// Down in the search box continues in the list: its selected row, or the first one.
void moveIntoList(MainWindow& window) {
    SetFocus(window.routeList);
    const int count = static_cast<int>(SendMessageW(window.routeList, LVM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return;
    int row = static_cast<int>(
        SendMessageW(window.routeList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0) row = 0;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(window.routeList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    SendMessageW(window.routeList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

bool handleShortcut(MainWindow& window, const MSG& message) {
    const bool control = isKeyDown(VK_CONTROL);
    const bool alt = isKeyDown(VK_MENU);
    if (alt) return false;
    switch (message.wParam) {
        case 'F':
            if (!control) return false;
            focusSearchBox(window);
            return true;
        case 'A':
            // The list has no Ctrl+A of its own; in the boxes it keeps selecting their text.
            if (!control || message.hwnd != window.routeList) return false;
            selectAllRoutes(window);
            return true;
        case 'O':
            if (!control) return false;
            importFiles(window);
            return true;
        case 'E':
            if (!control) return false;
            exportListedRoutes(window);
            return true;
        case VK_F5:
            if (control) return false;
            scanLibrary(window, isKeyDown(VK_SHIFT));
            return true;
        case 'Z':
            if (!control || message.hwnd != window.routeList) return false;
            undoLastChange(window);
            return true;
        case VK_DELETE:
            if (control || message.hwnd != window.routeList) return false;
            recycleSelectedRoutes(window);
            return true;
        case VK_ESCAPE:
            // A running sport change stops first.
            if (cancelSportRun(window)) return true;
            // Escape empties the search box; elsewhere it keeps its usual meaning (closing a
            // dropped-down combo box list, for one).
            if (message.hwnd != window.searchBox || GetWindowTextLengthW(window.searchBox) == 0) {
                // In the list or the empty search box it ends Find duplicates.
                return (message.hwnd == window.routeList || message.hwnd == window.searchBox) &&
                       endDuplicateRoutes(window);
            }
            SetWindowTextW(window.searchBox, L"");
            return true;
        case 'D':
            if (!control) return false;
            findDuplicateRoutes(window);
            return true;
        case VK_DOWN:
            if (message.hwnd != window.searchBox || control) return false;
            moveIntoList(window);
            return true;
        default:
            return false;
    }
}

}  // namespace

void focusSearchBox(MainWindow& window) {
    SetFocus(window.searchBox);
    SendMessageW(window.searchBox, EM_SETSEL, 0, -1);
}

bool translateWindowMessage(MainWindow& window, MSG& message) {
    if (!belongsToWindow(window, message.hwnd)) return false;
    if (handleSportBoxKey(window, message)) return true;
    if (message.message == WM_KEYDOWN && handleShortcut(window, message)) return true;
    if (handleOverviewKey(window, message)) return true;
    // Tab and Shift+Tab through the controls with WS_TABSTOP, arrows within a group.
    return IsDialogMessageW(window.mainWindow, &message) != FALSE;
}

void handleActivation(MainWindow& window, WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window.mainWindow, focus)) window.focusBeforeDeactivation = focus;
        return;
    }
    HWND target = window.focusBeforeDeactivation;
    if (!target || !IsWindow(target) || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
        target = window.searchBox;
    }
    SetFocus(target);
}
