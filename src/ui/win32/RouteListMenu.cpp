#include "ui/win32/RouteListMenu.h"

#include <shellapi.h>
#include <shlobj.h>

#include <filesystem>
#include <string>

#include "core/SportWeather.h"
#include "i18n/Language.h"
#include "ui/win32/BulkCommands.h"
#include "ui/win32/DuplicateView.h"
#include "ui/win32/RenameDialog.h"

namespace {

// Explorer opens the folder with the file selected. Where the shell call is not available (older
// or emulated shells), Explorer is asked the same on its command line.
void showInFolder(const std::filesystem::path& file) {
    if (PIDLIST_ABSOLUTE item = ILCreateFromPathW(file.c_str())) {
        const HRESULT result = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
        ILFree(item);
        if (SUCCEEDED(result)) return;
    }
    const std::wstring parameters = L"/select,\"" + file.wstring() + L"\"";
    ShellExecuteW(nullptr, L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

bool isRowSelected(const MainWindow& window, int row) {
    return (SendMessageW(window.routeList, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
            LVIS_SELECTED) != 0;
}

// A row outside the selection becomes the only selected one; within it, only the focus moves there,
// so that the menu acts on the row under the pointer and the other selected rows stay selected.
void selectRow(const MainWindow& window, int row) {
    LVITEMW item{};
    if (!isRowSelected(window, row)) {
        item.stateMask = LVIS_SELECTED;
        SendMessageW(window.routeList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&item));
    }
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(window.routeList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

}  // namespace

bool showRouteListMenu(MainWindow& window, HWND source, LPARAM position) {
    if (source != window.routeList) return false;
    POINT at{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    int row = -1;
    if (position == -1) {
        // From the keyboard: the menu belongs to the focused row and opens at its left edge.
        row = window.list.focusedRow;
        if (row < 0) return false;
        RECT bounds{};
        bounds.left = LVIR_LABEL;
        SendMessageW(window.routeList, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&bounds));
        at = {bounds.left + 8, bounds.bottom};
        ClientToScreen(window.routeList, &at);
    } else {
        LVHITTESTINFO hit{};
        hit.pt = at;
        ScreenToClient(window.routeList, &hit.pt);
        row = static_cast<int>(
            SendMessageW(window.routeList, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        // Over the header or below the last row there is no route to offer anything for.
        if (row < 0 || static_cast<std::size_t>(row) >= window.list.rows.size()) return true;
        if (row != window.list.focusedRow || !isRowSelected(window, row)) selectRow(window, row);
    }
    if (static_cast<std::size_t>(row) >= window.list.rows.size()) return false;

    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return true;
    const auto text = [&](std::string_view key) { return std::u16string(translate(window.language, key)); };
    HMENU sports = CreatePopupMenu();
    for (std::size_t i = 0; i < sportKeys.size(); ++i)
        AppendMenuW(sports, MF_STRING, kMenuFirstSport + i, wideText(text(sportKeys[i])));
    AppendMenuW(menu, MF_STRING, kMenuShowInFolder, wideText(text("showInFolder")));
    // The menu owns the submenu and destroys it with itself.
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sports), wideText(text("changeSportMenu")));
    AppendMenuW(menu, MF_STRING, kMenuRename, wideText(text("renameMenu")));
    AppendMenuW(menu, MF_STRING, kMenuRecycle, wideText(text("recycleMenu")));
    const std::u16string duplicates = text("findDuplicates") + u"\tCtrl+D";
    AppendMenuW(menu, MF_STRING, kMenuFindDuplicates, wideText(duplicates));
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kMenuUndo, wideText(text("undoMenu")));
    const UINT command = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window.mainWindow, nullptr));
    DestroyMenu(menu);
    runRouteListMenuCommand(window, command);
    return true;
}

void runRouteListMenuCommand(MainWindow& window, UINT command) {
    const RouteInfo* route = selectedRoute(window);
    if (route == nullptr) return;
    if (command >= kMenuFirstSport && command < kMenuFirstSport + sportKeys.size()) {
        startSportChange(window, window.list.selected, command - kMenuFirstSport);
        return;
    }
    switch (command) {
        case kMenuShowInFolder:
            showInFolder(route->filePath);
            break;
        case kMenuRename:
            showRenameDialog(window);
            break;
        case kMenuRecycle:
            recycleSelectedRoutes(window);
            break;
        case kMenuUndo:
            undoLastChange(window);
            break;
        case kMenuFindDuplicates:
            findDuplicateRoutes(window);
            break;
        default:
            break;
    }
}
