// Reports what the running program shows, for the end-to-end test that drives it with real key
// events: window_probe.exe prints one line
// "focus=<control id> rows=<list rows> selected=<row> search=<text> dialog=<title of another window>".
// The program is found by its window class; the questions cross the process boundary as plain
// window messages.

#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

std::wstring windowText(HWND window) {
    // WM_GETTEXT itself: GetWindowTextW does not ask a control of another process for its text.
    wchar_t buffer[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

struct OtherWindow {
    DWORD process = 0;
    HWND main = nullptr;
    std::wstring title;
};

BOOL CALLBACK findOther(HWND window, LPARAM parameter) {
    auto* other = reinterpret_cast<OtherWindow*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != other->process || window == other->main || !IsWindowVisible(window)) return TRUE;
    const std::wstring title = windowText(window);
    if (title.empty()) return TRUE;
    other->title = title;
    return FALSE;
}

}  // namespace

int main() {
    HWND main = FindWindowW(L"TirnGpxLibraryWindow", nullptr);
    if (!main) {
        std::puts("no window");
        return 1;
    }
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(main, &process);
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(thread, &info);
    HWND list = GetDlgItem(main, 100);
    const auto rows = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    const auto selected = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    OtherWindow other{process, main, {}};
    EnumWindows(findOther, reinterpret_cast<LPARAM>(&other));
    std::printf("focus=%d rows=%d selected=%d search=%s dialog=%s\n",
                info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0, static_cast<int>(rows),
                static_cast<int>(selected), utf8(windowText(GetDlgItem(main, 104))).c_str(),
                utf8(other.title).c_str());
    return 0;
}
