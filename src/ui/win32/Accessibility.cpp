#include "ui/win32/Accessibility.h"

#include <string>

#include "ui/CommandDispatch.h"
#include "ui/ControlIds.h"

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
};

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
    for (const ToolTipText& tip : kToolTips) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window.mainWindow;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window.mainWindow, tip.controlId));
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(window.toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void applyAccessibleTexts(MainWindow& window) {
    for (const auto& [label, key] : window.accessibleLabels) {
        const std::u16string text(translate(window.language, key));
        SetWindowTextW(label, wideText(text));
    }
}

void fillToolTipText(MainWindow& window, NMTTDISPINFOW& info) {
    std::u16string& text = window.toolTipText;
    const int controlId = (info.uFlags & TTF_IDISHWND) ? GetDlgCtrlID(reinterpret_cast<HWND>(info.hdr.idFrom))
                                                       : static_cast<int>(info.hdr.idFrom);
    for (const ToolTipText& tip : kToolTips) {
        if (tip.controlId != controlId) continue;
        text = std::u16string(translate(window.language, tip.textKey));
        if (!tip.shortcutKey.empty()) {
            text += u" (";
            text += translate(window.language, tip.shortcutKey);
            text += u")";
        }
        // The text must outlive this notification: the tooltip reads it after we return.
        info.lpszText = const_cast<wchar_t*>(wideText(text));
        return;
    }
}
