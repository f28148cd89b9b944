// Reports what the running program shows, for the end-to-end test that drives it with real key
// events: window_probe.exe prints one line
// "names=<row names, | between> focus=<control id> rows=<list rows> selected=<row> search=<text>
// dialog=<title of another window>"; window_probe.exe --header N prints the screen position of the
// middle of the list's column header N, for a real click on it.
// The program is found by its window class; the questions cross the process boundary as window
// messages, those that return text or rectangles through memory lent inside the program.

#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
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

// Memory inside the program's process, which a list or header message can write into.
struct LentMemory {
    HANDLE process = nullptr;
    void* address = nullptr;
    LentMemory(DWORD processId, std::size_t size) {
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process) address = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~LentMemory() {
        if (address) VirtualFreeEx(process, address, 0, MEM_RELEASE);
        if (process) CloseHandle(process);
    }
    LentMemory(const LentMemory&) = delete;
    LentMemory& operator=(const LentMemory&) = delete;
    bool write(const void* data, std::size_t size, std::size_t offset = 0) const {
        return WriteProcessMemory(process, static_cast<char*>(address) + offset, data, size, nullptr);
    }
    bool read(void* data, std::size_t size, std::size_t offset = 0) const {
        return ReadProcessMemory(process, static_cast<char*>(address) + offset, data, size, nullptr);
    }
};

// The first column's text of every row, in the order the list shows them.
std::string rowNames(HWND list, DWORD process, int rows) {
    constexpr int kTextLength = 260;
    LentMemory memory(process, sizeof(LVITEMW) + kTextLength * sizeof(wchar_t));
    if (!memory.address) return "?";
    std::string names;
    for (int row = 0; row < rows && row < 50; ++row) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.cchTextMax = kTextLength;
        item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory.address) + sizeof(LVITEMW));
        memory.write(&item, sizeof(item));
        const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                          reinterpret_cast<LPARAM>(memory.address));
        wchar_t text[kTextLength] = {};
        memory.read(text, sizeof(text) - sizeof(wchar_t), sizeof(LVITEMW));
        if (row > 0) names += '|';
        names += utf8(std::wstring(text, static_cast<std::size_t>(length < 0 ? 0 : length)));
    }
    return names;
}

int printHeaderMiddle(HWND list, DWORD process, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    LentMemory memory(process, sizeof(RECT));
    RECT rect{};
    if (!header || !memory.address ||
        !SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(memory.address)) ||
        !memory.read(&rect, sizeof(rect))) {
        std::puts("no header");
        return 1;
    }
    POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(header, &middle);
    std::printf("%ld %ld\n", static_cast<long>(middle.x), static_cast<long>(middle.y));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
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
    if (argc == 3 && std::string(argv[1]) == "--header") return printHeaderMiddle(list, process, std::atoi(argv[2]));
    const auto rows = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    const auto selected = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    OtherWindow other{process, main, {}};
    EnumWindows(findOther, reinterpret_cast<LPARAM>(&other));
    std::printf("names=%s focus=%d rows=%d selected=%d search=%s dialog=%s\n",
                rowNames(list, process, static_cast<int>(rows)).c_str(), info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0, static_cast<int>(rows),
                static_cast<int>(selected), utf8(windowText(GetDlgItem(main, 104))).c_str(),
                utf8(other.title).c_str());
    return 0;
}
