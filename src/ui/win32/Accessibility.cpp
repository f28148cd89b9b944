#include "ui/win32/Accessibility.h"

#include <string>
#include <vector>

#include "ui/Layout.h"

#include "ui/CommandDispatch.h"
#include "ui/ControlIds.h"
#include "ui/win32/ListHints.h"

namespace {

// The tooltip's text of each control: its caption (without the icon) and the shortcut.
struct ToolTipText {
    int controlId = 0;
    std::string_view textKey;
    std::string_view shortcutKey;  // empty: none
};

constexpr ToolTipText kToolTips[] = {
    {IDC_IMPORT, "import", "shortcutImport"},
    {IDC_FOLDER, "folder", {}},
    {IDC_RELOAD, "reload", "shortcutReload"},
    {IDC_SEARCH, "search", "shortcutSearch"},
    {IDC_RESET, "resetFilters", {}},
    {IDC_FILTER_GHOST, "ghostTip", {}},
    {IDC_EXPORT, "exportRoutes", "shortcutExport"},
    {IDC_OVERVIEW, "overview", "shortcutOverview"},
    {IDC_OVERVIEW_NOTE, "resetFilters", {}},
};

// The panel's title ends in "…" when the name is too long: the tip then shows it whole.
std::u16string cutTitleText(const MainWindow& window) {
    const int length = GetWindowTextLengthW(window.titleStatic);
    if (length <= 0) return {};
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window.titleStatic, reinterpret_cast<wchar_t*>(text.data()), length + 1)));
    RECT client{};
    GetClientRect(window.titleStatic, &client);
    HDC dc = GetDC(window.titleStatic);
    HGDIOBJ oldFont = SelectObject(dc, window.titleFont);
    SIZE size{};
    GetTextExtentPoint32W(dc, wideText(text), static_cast<int>(text.size()), &size);
    SelectObject(dc, oldFont);
    ReleaseDC(window.titleStatic, dc);
    return size.cx > client.right ? text : std::u16string();
}

}  // namespace

void createAccessibleLabel(MainWindow& window, std::string_view nameKey) {
    const std::u16string text(translate(window.language, nameKey));
    HWND label =
        CreateWindowExW(0, L"STATIC", wideText(text), WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0, window.mainWindow,
                        nullptr, reinterpret_cast<HINSTANCE>(GetModuleHandleW(nullptr)), nullptr);
    window.accessibleLabels.emplace_back(label, nameKey);
}

void createToolTips(MainWindow& window) {
    window.toolTip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window.mainWindow,
                        nullptr, reinterpret_cast<HINSTANCE>(GetModuleHandleW(nullptr)), nullptr);
    if (!window.toolTip) return;
    // Long tips (what Ghost means) wrap instead of running across the screen.
    SendMessageW(window.toolTip, TTM_SETMAXTIPWIDTH, 0, scaledPixels(360, window.dpi));
    std::vector<HWND> controls;
    for (const ToolTipText& tip : kToolTips) controls.push_back(GetDlgItem(window.mainWindow, tip.controlId));
    controls.push_back(window.titleStatic);
    for (HWND control : controls) addToolTipControl(window, control);
}

void addToolTipControl(const MainWindow& window, HWND control) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window.mainWindow;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = LPSTR_TEXTCALLBACKW;  // the text is asked for when the tip shows
    SendMessageW(window.toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void applyAccessibleTexts(MainWindow& window) {
    for (const auto& [label, key] : window.accessibleLabels) {
        const std::u16string text(translate(window.language, key));
        SetWindowTextW(label, wideText(text));
    }
}

std::u16string toolTipTextOf(const MainWindow& window, HWND control) {
    if (control == nullptr) return {};
    if (control == window.titleStatic) return cutTitleText(window);
    if (GetParent(control) != window.mainWindow || control == window.routeList) {
        // The list and its header: the text depends on where the pointer is.
        POINT point{};
        GetCursorPos(&point);
        ScreenToClient(control, &point);
        return listHintText(window, control, point);
    }
    const int controlId = GetDlgCtrlID(control);
    for (const ToolTipText& tip : kToolTips) {
        if (tip.controlId != controlId) continue;
        std::u16string text(translate(window.language, tip.textKey));
        if (!tip.shortcutKey.empty()) {
            text += u" (";
            text += translate(window.language, tip.shortcutKey);
            text += u")";
        }
        return text;
    }
    return {};
}

void fillToolTipText(MainWindow& window, NMTTDISPINFOW& info) {
    HWND control = (info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info.hdr.idFrom) : nullptr;
    // The text must outlive this notification: the tooltip reads it after we return.
    window.toolTipText = toolTipTextOf(window, control);
    info.lpszText = const_cast<wchar_t*>(wideText(window.toolTipText));
}
