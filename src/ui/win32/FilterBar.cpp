#include "ui/win32/FilterBar.h"

#include <algorithm>
#include <vector>

#include "ui/win32/MainFrame.h"

void measureFilterBoxes(MainWindow& window) {
    // The closed box shows its item beside the arrow button, with a few pixels of margin.
    const int padding = GetSystemMetricsForDpi(SM_CXVSCROLL, window.dpi) + scaledPixels(12, window.dpi);
    FilterBoxWidths widths{};
    std::vector<wchar_t> buffer;
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        HWND combo = window.filterCombos[box];
        HDC dc = GetDC(combo);
        if (dc == nullptr) return;
        auto font = reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0));
        HGDIOBJ oldFont = SelectObject(dc, font ? font : window.smallFont);
        int widest = 0;
        const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
        for (LRESULT item = 0; item < count; ++item) {
            const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
            if (length <= 0) continue;
            buffer.assign(static_cast<std::size_t>(length) + 1, L'\0');
            const LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(item),
                                                reinterpret_cast<LPARAM>(buffer.data()));
            SIZE size{};
            if (copied > 0 && GetTextExtentPoint32W(dc, buffer.data(), static_cast<int>(copied), &size))
                widest = std::max(widest, static_cast<int>(size.cx));
        }
        SelectObject(dc, oldFont);
        ReleaseDC(combo, dc);
        widths[box] = widest + padding;
    }
    if (widths == window.filterWidths) return;
    window.filterWidths = widths;
    RECT client{};
    GetClientRect(window.mainWindow, &client);
    layoutMainWindow(window, client.right, client.bottom);
}
