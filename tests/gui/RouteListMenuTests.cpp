// The context menu of a route row, opened by the mouse and from the keyboard.

#include <atomic>
#include <chrono>
#include <thread>

#include "GuiTestSupport.h"
#include "ui/win32/RouteListMenu.h"

namespace {

struct MenuSearch {
    HWND found = nullptr;
};

BOOL CALLBACK findPopupMenu(HWND window, LPARAM parameter) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) || lstrcmpW(name, L"#32768") != 0)
        return TRUE;
    reinterpret_cast<MenuSearch*>(parameter)->found = window;
    return FALSE;
}

// Opens the menu with `open` while a watcher reads the menu's command identifiers and then
// presses the keys of `keys` in it, as a user does.
std::vector<UINT> useMenu(const std::function<void()>& open, std::vector<WPARAM> keys) {
    std::vector<UINT> commands;
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        MenuSearch search;
        while (!done && !search.found && std::chrono::steady_clock::now() < deadline) {
            EnumWindows(findPopupMenu, reinterpret_cast<LPARAM>(&search));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (!search.found) return;
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(search.found, MN_GETHMENU, 0, 0));
        for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) commands.push_back(GetMenuItemID(menu, i));
        for (WPARAM key : keys) {
            PostMessageW(search.found, WM_KEYDOWN, key, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        for (int attempt = 0; attempt < 50 && !done && IsWindowVisible(search.found); ++attempt) {
            PostMessageW(search.found, WM_KEYDOWN, VK_ESCAPE, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    open();
    done = true;
    watcher.join();
    return commands;
}

}  // namespace

TEST_F(GuiTest, RowMenuOpensOnTheClickedRowAndItsSportSubmenuWritesTheSport) {
    TrackShape first;
    first.name = "Erste";
    first.day = "2024-05-02";
    writeTrack(library() / "Erste.gpx", first);
    TrackShape second;
    second.name = "Zweite";
    second.day = "2024-05-01";
    writeTrack(library() / "Zweite.gpx", second);
    startWindow("en");
    ASSERT_EQ(listText(1, 0), u"Zweite");

    // A right click on the second row: the list hands WM_CONTEXTMENU to the window.
    RECT row{};
    row.left = LVIR_BOUNDS;
    SendMessageW(window->routeList, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    POINT at{row.left + 20, (row.top + row.bottom) / 2};
    ClientToScreen(window->routeList, &at);
    const std::vector<UINT> commands = useMenu(
        [&] {
            SendMessageW(window->mainWindow, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window->routeList),
                         MAKELPARAM(at.x, at.y));
        },
        {VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    // The sports are a submenu (no command of its own); a separator stands before Undo.
    EXPECT_EQ(commands, (std::vector<UINT>{kMenuShowInFolder, static_cast<UINT>(-1), kMenuRename,
                                           kMenuRecycle, kMenuFindDuplicates, 0, kMenuUndo}));
    EXPECT_EQ(window->list.focusedRow, 1);
    EXPECT_EQ(textOf(window->titleStatic), u"Zweite");
    for (int i = 0; i < 50 && window->sportRun; ++i) runMessageLoop(100);
    EXPECT_EQ(listText(1, 2), u"Cycling");

    // From the keyboard (Shift+F10 or the menu key): the menu of the selected row.
    SetFocus(window->routeList);
    const std::vector<UINT> again = useMenu(
        [&] {
            SendMessageW(window->mainWindow, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window->routeList), -1);
        },
        {});
    EXPECT_EQ(again.size(), 7u);
    EXPECT_EQ(window->list.focusedRow, 1);
    EXPECT_EQ(GetFocus(), window->routeList);  // closed without a choice
}
