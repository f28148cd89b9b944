#include "ui/win32/ListColumns.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ui/Layout.h"
#include "ui/RouteColumns.h"

namespace {

// The texts with the most characters stand for the widest: measuring every cell of a large
// library would cost more than the rare wider text of fewer characters is worth.
constexpr std::size_t kMeasuredPerColumn = 8;

int textWidth(HDC dc, const std::u16string& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, wideText(text), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

void measureRouteListColumns(MainWindow& window) {
    HDC dc = GetDC(window.routeList);
    if (dc == nullptr) return;
    auto font = reinterpret_cast<HFONT>(SendMessageW(window.routeList, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, font ? font : window.bodyFont);
    // A cell's text stands 6 px from either edge; a caption has the header's margins and room for
    // the sort arrow beside it.
    const int cellPadding = scaledPixels(14, window.dpi);
    const int captionPadding = scaledPixels(26, window.dpi);

    window.columnNeeds.assign(kRouteColumnCount, ColumnNeed{});
    std::vector<std::u16string> texts;
    for (std::size_t column = 0; column < kRouteColumnCount; ++column) {
        const RouteColumn& description = routeColumns[column];
        ColumnNeed& need = window.columnNeeds[column];
        const int caption = textWidth(dc, columnHeaderText(description, window.language)) + captionPadding;
        int content = 0;
        if (column != 0) {  // the name column takes what the others leave
            texts.clear();
            texts.reserve(window.list.routes.size());
            for (const RouteInfo& route : window.list.routes)
                texts.push_back(description.cellText(route, window.language));
            const std::size_t measured = std::min(kMeasuredPerColumn, texts.size());
            std::partial_sort(
                texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(measured), texts.end(),
                [](const std::u16string& a, const std::u16string& b) { return a.size() > b.size(); });
            for (std::size_t i = 0; i < measured; ++i)
                content = std::max(content, textWidth(dc, texts[i]) + cellPadding);
        }
        need.wanted = std::max(caption, content);
        // Only the words (the sport, loop or one-way), which run long in some languages, give room
        // back down to their captions; figures, dates and the Ghost mark are never cut.
        const bool words = description.headerKey == "sport" || description.headerKey == "type";
        need.minimum = words ? caption : need.wanted;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(window.routeList, dc);
    fitRouteListColumns(window);
}

void fitRouteListColumns(MainWindow& window) {
    if (window.columnNeeds.size() != kRouteColumnCount) return;
    RECT client{};
    GetClientRect(window.routeList, &client);
    // Room for the vertical scroll bar is kept whether it shows or not, so that the columns do not
    // jump when a filter changes the number of rows.
    const int scrollBar = GetSystemMetricsForDpi(SM_CXVSCROLL, window.dpi);
    const bool hasScrollBar = (GetWindowLongPtrW(window.routeList, GWL_STYLE) & WS_VSCROLL) != 0;
    const int room = client.right + (hasScrollBar ? scrollBar : 0) - scrollBar;
    if (room <= 0) return;  // minimised
    const std::vector<int> widths =
        shareColumnWidths(window.columnNeeds, room, 0, scaledPixels(180, window.dpi));
    for (std::size_t column = 0; column < widths.size(); ++column) {
        const auto index = static_cast<WPARAM>(column);
        if (SendMessageW(window.routeList, LVM_GETCOLUMNWIDTH, index, 0) != widths[column])
            SendMessageW(window.routeList, LVM_SETCOLUMNWIDTH, index, widths[column]);
    }
}
