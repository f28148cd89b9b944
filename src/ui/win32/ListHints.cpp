#include "ui/win32/ListHints.h"

#include "ui/Layout.h"
#include "ui/RouteColumns.h"
#include "ui/win32/Accessibility.h"
#include "ui/win32/RouteListView.h"

namespace {

constexpr UINT_PTR kListSubclass = 1;

constexpr std::size_t columnWhere(bool (*test)(const RouteColumn&)) {
    for (std::size_t column = 0; column < kRouteColumnCount; ++column) {
        if (test(routeColumns[column])) return column;
    }
    return kRouteColumnCount;
}
constexpr std::size_t kGhostColumn =
    columnWhere([](const RouteColumn& c) { return c.fixedHeader == u"Ghost"; });
constexpr std::size_t kSportColumn =
    columnWhere([](const RouteColumn& c) { return c.headerKey == "sport"; });
static_assert(kGhostColumn < kRouteColumnCount && kSportColumn < kRouteColumnCount);

HWND listHeader(const MainWindow& window) {
    return reinterpret_cast<HWND>(SendMessageW(window.routeList, LVM_GETHEADER, 0, 0));
}

// An empty library (not a search without hits) says in the list how routes get there.
void drawEmptyLibraryHint(const MainWindow& window, HWND list, HDC dc) {
    if (!window.list.routes.empty()) return;
    RECT area{};
    GetClientRect(list, &area);
    RECT header{};
    if (HWND headerWindow = listHeader(window)) GetWindowRect(headerWindow, &header);
    const int margin = scaledPixels(24, window.dpi);
    area.top += (header.bottom - header.top) + margin;
    InflateRect(&area, -margin, 0);
    if (area.right <= area.left || area.bottom <= area.top) return;
    const std::u16string text(translate(window.language, "emptyLibrary"));
    HGDIOBJ oldFont = SelectObject(dc, window.bodyFont);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, colorRef(kHintTextColor));
    DrawTextW(dc, wideText(text), static_cast<int>(text.size()), &area,
              DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK listHintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR data) {
    auto* window = reinterpret_cast<MainWindow*>(data);
    switch (message) {
        case WM_MOUSEMOVE: {
            // The tooltip covers the whole control; when the pointer reaches a place with another
            // text, it is started over so that it asks for the new one.
            const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            std::u16string text = listHintText(*window, hwnd, point);
            if (text != window->listTipText && window->toolTip) {
                window->listTipText = std::move(text);
                SendMessageW(window->toolTip, TTM_ACTIVATE, FALSE, 0);
                SendMessageW(window->toolTip, TTM_ACTIVATE, TRUE, 0);
            }
            break;
        }
        case WM_PAINT:
        case WM_PRINTCLIENT: {
            if (hwnd != window->routeList) break;
            const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
            if (message == WM_PRINTCLIENT) {
                drawEmptyLibraryHint(*window, hwnd, reinterpret_cast<HDC>(wParam));
            } else if (HDC dc = GetDC(hwnd)) {
                drawEmptyLibraryHint(*window, hwnd, dc);
                ReleaseDC(hwnd, dc);
            }
            return result;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, listHintProc, kListSubclass);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void installListHints(MainWindow& window) {
    const auto data = reinterpret_cast<DWORD_PTR>(&window);
    for (HWND control : {window.routeList, listHeader(window)}) {
        if (control == nullptr) continue;
        SetWindowSubclass(control, listHintProc, kListSubclass, data);
        if (window.toolTip) addToolTipControl(window, control);
    }
    chooseBrokenMark(window);
}

void chooseBrokenMark(MainWindow& window) {
    HDC dc = GetDC(window.routeList);
    if (dc == nullptr) return;
    auto font = reinterpret_cast<HFONT>(SendMessageW(window.routeList, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, font ? font : window.bodyFont);
    WORD glyph = 0xFFFF;
    const bool found =
        GetGlyphIndicesW(dc, L"\u26A0", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 && glyph != 0xFFFF;
    SelectObject(dc, oldFont);
    ReleaseDC(window.routeList, dc);
    window.brokenMark = found ? u"\u26A0 " : u"! ";
}

std::u16string listHintText(const MainWindow& window, HWND control, POINT point) {
    if (control == listHeader(window)) {
        HDHITTESTINFO hit{};
        hit.pt = point;
        const auto item = SendMessageW(control, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (item == static_cast<LRESULT>(kGhostColumn) && (hit.flags & HHT_ONHEADER))
            return std::u16string(translate(window.language, "ghostTip"));
        return {};
    }
    if (control != window.routeList) return {};
    LVHITTESTINFO hit{};
    hit.pt = point;
    if (SendMessageW(window.routeList, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 ||
        hit.iItem < 0 || hit.iSubItem != static_cast<int>(kSportColumn))
        return {};
    const std::u16string cell = routeListCellText(window, static_cast<std::size_t>(hit.iItem), kSportColumn);
    if (cell.starts_with(u"\u2248")) return std::u16string(translate(window.language, "estimatedSportTip"));
    return {};
}
