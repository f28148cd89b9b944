#include "ui/win32/RenameDialog.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "library/UndoRecord.h"
#include "platform/Platform.h"
#include "ui/ControlIds.h"
#include "ui/Layout.h"
#include "ui/RenamePattern.h"
#include "ui/win32/BulkCommands.h"
#include "ui/win32/LibraryWatch.h"

namespace {

constexpr std::size_t kPreviewCount = 5;

struct RenameDialog {
    MainWindow* window = nullptr;
    // By file: a rescan may replace the list's records while the dialog is open.
    std::vector<std::filesystem::path> files;  // in the order of their rows
    std::u16string pattern;
};

std::u16string controlText(HWND control) {
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1);
    GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    return u16Text(text.data());
}

// The records of the first `count` files that are still listed, as the list has them now.
std::vector<const RouteInfo*> listedRoutes(const RenameDialog& state, std::size_t count) {
    std::vector<const RouteInfo*> routes;
    const std::vector<RouteInfo>& records = state.window->list.routes;
    for (const std::filesystem::path& file : state.files) {
        if (routes.size() == count) break;
        const auto found = std::find_if(records.begin(), records.end(),
                                        [&](const RouteInfo& route) { return route.filePath == file; });
        if (found != records.end()) routes.push_back(&*found);
    }
    return routes;
}

void showPreview(HWND dialog, const RenameDialog& state) {
    const std::u16string pattern = controlText(GetDlgItem(dialog, IDC_RENAME_PATTERN));
    std::u16string lines;
    for (const RenameStep& step :
         planRenames(pattern, listedRoutes(state, kPreviewCount), state.window->language)) {
        if (!lines.empty()) lines += u"\r\n";
        lines += pathToWide(step.to.filename());
    }
    if (state.files.size() > kPreviewCount) lines += u"\r\n\u2026";
    SetDlgItemTextW(dialog, IDC_RENAME_PREVIEW, wideText(lines));
}

HWND addControl(HWND dialog, const MainWindow& window, const wchar_t* className, DWORD style, int id,
                const std::u16string& text, int x, int y, int width, int height) {
    const UINT dpi = window.dpi;
    HWND control = CreateWindowExW(std::wstring_view(className) == L"EDIT" ? WS_EX_CLIENTEDGE : 0, className,
                                   wideText(text), WS_CHILD | WS_VISIBLE | style, scaledPixels(x, dpi),
                                   scaledPixels(y, dpi), scaledPixels(width, dpi), scaledPixels(height, dpi),
                                   dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetModuleHandleW(nullptr)), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(window.bodyFont), FALSE);
    return control;
}

void buildDialog(HWND dialog, const RenameDialog& state) {
    const MainWindow& window = *state.window;
    const auto text = [&](std::string_view key) { return std::u16string(translate(window.language, key)); };
    SetWindowTextW(dialog, wideText(text("renameTitle")));
    constexpr int kWidth = 520;
    constexpr int kHeight = 292;
    addControl(dialog, window, L"STATIC", SS_NOPREFIX, -1, text("renamePattern"), 14, 12, kWidth - 28, 22);
    HWND edit = addControl(dialog, window, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, IDC_RENAME_PATTERN,
                           std::u16string(kDefaultRenamePattern), 14, 36, kWidth - 28, 28);
    addControl(dialog, window, L"STATIC", SS_NOPREFIX, -1, text("renamePreview"), 14, 76, kWidth - 28, 22);
    addControl(dialog, window, L"STATIC", SS_NOPREFIX | SS_LEFTNOWORDWRAP, IDC_RENAME_PREVIEW, u"", 14, 100,
               kWidth - 28, 128);
    addControl(dialog, window, L"BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, text("okButton"),
               kWidth - 14 - 2 * 110 - 8, kHeight - 48, 110, 32);
    addControl(dialog, window, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, text("cancelButton"),
               kWidth - 14 - 110, kHeight - 48, 110, 32);

    RECT frame{0, 0, scaledPixels(kWidth, window.dpi), scaledPixels(kHeight, window.dpi)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    RECT owner{};
    GetWindowRect(window.mainWindow, &owner);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(dialog, nullptr, owner.left + (owner.right - owner.left - width) / 2,
                 owner.top + (owner.bottom - owner.top - height) / 2, width, height, SWP_NOZORDER);
    showPreview(dialog, state);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

INT_PTR CALLBACK renameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<RenameDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            buildDialog(dialog, *reinterpret_cast<RenameDialog*>(lParam));
            return FALSE;  // the focus is set
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_COMMAND:
            if (state == nullptr) return FALSE;
            if (LOWORD(wParam) == IDC_RENAME_PATTERN && HIWORD(wParam) == EN_CHANGE) {
                showPreview(dialog, *state);
                return TRUE;
            }
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                state->pattern = controlText(GetDlgItem(dialog, IDC_RENAME_PATTERN));
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void showRenameDialog(MainWindow& window) {
    if (window.sportRun) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    finishLibraryRescan(window);
    RenameDialog state;
    state.window = &window;
    for (const int row : selectedRows(window.list)) {
        if (const RouteInfo* route = routeAtRow(window.list, static_cast<std::size_t>(row)))
            state.files.push_back(route->filePath);
    }
    if (state.files.empty()) return;

    // An empty template: the controls are made in WM_INITDIALOG, sized in pixels for the DPI.
    alignas(DWORD) std::array<WORD, 16> buffer{};
    auto* dialogTemplate = reinterpret_cast<DLGTEMPLATE*>(buffer.data());
    dialogTemplate->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    dialogTemplate->cx = 200;
    dialogTemplate->cy = 100;
    const INT_PTR answer =
        DialogBoxIndirectParamW(reinterpret_cast<HINSTANCE>(GetModuleHandleW(nullptr)), dialogTemplate,
                                window.mainWindow, renameDialogProc, reinterpret_cast<LPARAM>(&state));
    if (answer != IDOK) return;

    UndoRecord record{UndoKind::rename, {}};
    std::vector<std::u16string> failures;
    finishLibraryRescan(window);
    for (RenameStep& step :
         planRenames(state.pattern, listedRoutes(state, state.files.size()), window.language)) {
        if (step.to == step.from) continue;
        FileBuffer buffer;
        std::size_t size = 0;
        const bool read = readWholeFile(step.from, buffer, size);
        const std::uint64_t hash = read ? undoHash(std::string_view(buffer.data, size)) : 0;
        if (!read || applyRename(step) != FileError::none) {
            failures.push_back(pathToWide(step.from.filename()));
            continue;
        }
        record.entries.push_back({step.to, step.from, {}, hash});
    }
    finishRenames(window, std::move(record), failures);
}
