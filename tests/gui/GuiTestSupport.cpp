#include "GuiTestSupport.h"

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/Platform.h"
#include "ui/win32/Keyboard.h"

namespace fs = std::filesystem;

std::string gpxText(const TrackShape& shape) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"test\">\n";
    if (!shape.weather.empty()) text += "<wetter " + shape.weather + "/>\n";
    text += "<trk><name>" + shape.name + "</name>";
    if (!shape.type.empty()) text += "<type>" + shape.type + "</type>";
    text += "<trkseg>\n";
    for (int i = 0; i < shape.points; ++i) {
        double lat = shape.lat + shape.stepLat * i;
        double lon = shape.lon + shape.stepLon * i;
        if (shape.loop && i == shape.points - 1) {
            lat = shape.lat;
            lon = shape.lon;
        }
        char line[200];
        std::snprintf(line, sizeof line, "<trkpt lat=\"%.6f\" lon=\"%.6f\"><ele>%d</ele>", lat, lon,
                      500 + i * 3);
        text += line;
        if (shape.timestamps) {
            std::snprintf(line, sizeof line, "<time>%sT08:%02d:%02dZ</time>", shape.day.c_str(), i / 60,
                          i % 60);
            text += line;
        }
        text += "</trkpt>\n";
    }
    text += "</trkseg></trk>\n</gpx>\n";
    return text;
}

void writeTrack(const fs::path& file, const TrackShape& shape) {
    writeBytes(file, gpxText(shape));
}

fs::path GuiTest::roaming() const {
    return temp.path / "roaming";
}
fs::path GuiTest::library() const {
    return temp.path / "documents" / "Tirn GPX Library";
}

void GuiTest::SetUp() {
    // A British region, whatever Wine was started with: English dates as 31/12/2024, metric units.
    setLocaleNameOverride(true, u"en-GB");
    fs::create_directories(roaming());
    fs::create_directories(library());
}

void GuiTest::startWindow(std::string_view language) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    setKnownFolderOverride(KnownFolder::RoamingAppData, roaming());
    setKnownFolderOverride(KnownFolder::Documents, temp.path / "documents");
    if (!language.empty()) {
        fs::create_directories(roaming() / "Tirn GPX Library");
        writeBytes(roaming() / "Tirn GPX Library" / "language.txt", language);
    }
    window = createMainWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(window, nullptr);
    ShowWindow(window->mainWindow, SW_SHOWNOACTIVATE);
    UpdateWindow(window->mainWindow);
}

void GuiTest::TearDown() {
    if (window) DestroyWindow(window->mainWindow);
    window = nullptr;
    // WM_DESTROY posted WM_QUIT; it must not end the next test's dialogs.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    setKnownFolderOverride(KnownFolder::RoamingAppData, {});
    setKnownFolderOverride(KnownFolder::Documents, {});
    setLocaleNameOverride(false, u"");
}

std::u16string textOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 2, L'\0');
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), static_cast<std::size_t>(copied));
}

std::u16string readMessageBoxAndClose(HWND box) {
    // A message box shows its text in the static with the identifier 0xFFFF.
    std::u16string text = textOf(GetDlgItem(box, 0xFFFF));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
}

Texts fileNames(const fs::path& folder) {
    Texts names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(u16Text(entry.path().filename().c_str()));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::u16string> comboItems(HWND combo) {
    std::vector<std::u16string> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        std::vector<wchar_t> buffer(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
        items.push_back(u16Text(buffer.data()));
    }
    return items;
}

int comboSelection(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

int GuiTest::listRowCount() const {
    return static_cast<int>(SendMessageW(window->routeList, LVM_GETITEMCOUNT, 0, 0));
}

std::u16string GuiTest::listText(int row, int column) const {
    wchar_t buffer[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 512;
    SendMessageW(window->routeList, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return u16Text(buffer);
}

std::vector<std::u16string> GuiTest::listColumn(int column) const {
    std::vector<std::u16string> texts;
    for (int row = 0; row < listRowCount(); ++row) texts.push_back(listText(row, column));
    return texts;
}

std::u16string GuiTest::columnHeader(int column) const {
    wchar_t buffer[128] = {};
    LVCOLUMNW description{};
    description.mask = LVCF_TEXT;
    description.pszText = buffer;
    description.cchTextMax = 128;
    SendMessageW(window->routeList, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&description));
    return u16Text(buffer);
}

bool isVisible(HWND window) {
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}
bool isEnabled(HWND window) {
    return IsWindowEnabled(window) != FALSE;
}

RECT childRect(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void GuiTest::clickButton(int id) const {
    SendMessageW(window->mainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window->mainWindow, id)));
}

void GuiTest::typeSearch(std::u16string_view text) const {
    const std::u16string copy(text);
    SetWindowTextW(window->searchBox, wideText(copy));
}

void GuiTest::chooseItem(HWND combo, int index) const {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(window->mainWindow, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void GuiTest::selectListRow(int row) const {
    clearListSelection();
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(window->routeList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

void GuiTest::clearListSelection() const {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    SendMessageW(window->routeList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
}

void GuiTest::pressKey(WORD key, bool alt) const {
    pressKeyWith(alt ? VK_MENU : 0, key);
}

void GuiTest::pressKeyWith(WORD modifier, WORD key) const {
    std::vector<INPUT> inputs;
    const auto add = [&](WORD code, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (modifier != 0) add(modifier, false);
    add(key, false);
    add(key, true);
    if (modifier != 0) add(modifier, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    runMessageLoop();
}

void GuiTest::runMessageLoop(int milliseconds) const {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (translateWindowMessage(*window, message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

int Capture::count(unsigned color) const {
    int n = 0;
    for (unsigned pixel : pixels) n += pixel == color;
    return n;
}

Capture captureClient(HWND window, bool print) {
    Capture capture;
    RECT client{};
    GetClientRect(window, &client);
    capture.width = client.right;
    capture.height = client.bottom;
    if (capture.width <= 0 || capture.height <= 0) return capture;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (print) {
        PrintWindow(window, memory, PW_CLIENTONLY);
    } else {
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    }
    GdiFlush();
    const auto* source = static_cast<const unsigned*>(bits);
    capture.pixels.assign(source, source + static_cast<std::size_t>(capture.width) * capture.height);
    for (unsigned& pixel : capture.pixels) pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

namespace {

struct FindRequest {
    std::u16string title;
    HWND mainWindow = nullptr;
    HWND found = nullptr;
};

BOOL CALLBACK findOwnWindow(HWND window, LPARAM parameter) {
    auto* request = reinterpret_cast<FindRequest*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || window == request->mainWindow || !IsWindowVisible(window))
        return TRUE;
    if (textOf(window) != request->title) return TRUE;
    request->found = window;
    return FALSE;
}

}  // namespace

bool withWatchedWindow(HWND mainWindow, std::u16string_view title, const std::function<void(HWND)>& onWindow,
                       const std::function<void()>& action) {
    std::atomic<bool> done{false};
    std::atomic<bool> seen{false};
    std::thread watcher([&] {
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + seconds(30);
        FindRequest request{std::u16string(title), mainWindow};
        while (!done && steady_clock::now() < deadline) {
            request.found = nullptr;
            EnumWindows(findOwnWindow, reinterpret_cast<LPARAM>(&request));
            if (request.found) break;
            std::this_thread::sleep_for(milliseconds(100));
        }
        HWND window = request.found;
        if (!window) return;
        seen = true;
        std::this_thread::sleep_for(milliseconds(500));  // let the window finish its set-up
        onWindow(window);
        // Whatever happened, the window must not stay open and block the test.
        const auto closeBy = steady_clock::now() + seconds(15);
        while (!done && IsWindow(window) && steady_clock::now() < closeBy)
            std::this_thread::sleep_for(milliseconds(100));
        for (int attempt = 0; attempt < 50 && !done && IsWindow(window); ++attempt) {
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(window, WM_CLOSE, 0, 0);
            std::this_thread::sleep_for(milliseconds(200));
        }
    });
    action();
    done = true;
    watcher.join();
    return seen;
}
