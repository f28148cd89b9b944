// The overview's table and chart, painted with GDI at the window's DPI, and their clicks.

#include "ui/win32/OverviewView.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "ui/ControlIds.h"
#include "ui/Format.h"
#include "ui/LanguageMenu.h"
#include "ui/win32/Accessibility.h"
#include "ui/win32/RouteListView.h"

namespace {

constexpr Rgb kGridColor{222, 222, 226};
constexpr Rgb kTotalRowColor{236, 237, 239};
constexpr double kMetersPerMile = 1609.344;

int px(const MainWindow& window, int pixels) {
    return scaledPixels(pixels, window.dpi);
}

HINSTANCE moduleInstance() {
    return reinterpret_cast<HINSTANCE>(GetModuleHandleW(nullptr));
}

SIZE textSize(HDC dc, HFONT font, const std::u16string& text) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, wideText(text), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    return size;
}

int lineHeight(HDC dc, HFONT font) {
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    return metrics.tmHeight;
}

void fillRect(HDC dc, const RECT& rect, Rgb color) {
    SetBkColor(dc, colorRef(color));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void drawText(HDC dc, HFONT font, Rgb color, const std::u16string& text, RECT rect, UINT format) {
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, colorRef(color));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, wideText(text), static_cast<int>(text.size()), &rect,
              format | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
}

// Under a cell's distance: "12× · 23:45:00 · 3456 m".
std::u16string cellDetail(const RouteTotals& totals, const ActiveLanguage& language) {
    std::u16string text = decimalText(static_cast<int64_t>(totals.count)) + u'\u00D7';
    text += u" \u00B7 " + formatDuration(totals.seconds) + u" \u00B7 " +
            formatAscent(totals.ascentMeters, language);
    return text;
}

std::u16string rowLabel(const OverviewPane& pane, std::size_t row, const ActiveLanguage& language) {
    if (row >= pane.data.rows.size()) return std::u16string(translate(language, "total"));
    return overviewRowText(pane.data.rows[row], language);
}

const RouteTotals& cellTotals(const OverviewPane& pane, std::size_t row, std::size_t column) {
    const bool totalRow = row >= pane.data.rows.size();
    if (column >= pane.data.columns.size()) return totalRow ? pane.data.total : pane.data.rows[row].total;
    const std::size_t sport = pane.data.columns[column];
    return totalRow ? pane.data.sportTotals[sport] : pane.data.rows[row].sports[sport];
}

std::u16string columnHead(const OverviewPane& pane, std::size_t column, const ActiveLanguage& language) {
    if (column >= pane.data.columns.size()) return std::u16string(translate(language, "total"));
    return overviewSportText(pane.data.columns[column], language);
}

// ---- the table ----

std::size_t tableRowCount(const OverviewPane& pane) {
    return pane.data.rows.size() + 1;  // the years, then the totals
}

int contentWidth(const OverviewPane& pane) {
    int width = pane.labelWidth;
    for (const int column : pane.columnWidths) width += column;
    return width;
}

int contentHeight(const OverviewPane& pane) {
    return pane.headerHeight + static_cast<int>(tableRowCount(pane)) * pane.rowHeight;
}

void measureTable(MainWindow& window) {
    OverviewPane& pane = window.overview;
    HDC dc = GetDC(pane.table);
    const ActiveLanguage& language = window.language;
    pane.headerHeight = lineHeight(dc, window.bodyFont) + px(window, 14);
    pane.rowHeight = lineHeight(dc, window.statFont) + lineHeight(dc, window.smallFont) + px(window, 14);
    pane.labelWidth = textSize(dc, window.bodyFont, std::u16string(translate(language, "year"))).cx;
    for (std::size_t row = 0; row < tableRowCount(pane); ++row)
        pane.labelWidth =
            std::max<int>(pane.labelWidth, textSize(dc, window.statFont, rowLabel(pane, row, language)).cx);
    pane.labelWidth += px(window, 28);
    pane.columnWidths.assign(pane.data.columns.size() + 1, 0);
    const int swatch = px(window, 16);
    for (std::size_t column = 0; column < pane.columnWidths.size(); ++column) {
        int width = textSize(dc, window.bodyFont, columnHead(pane, column, language)).cx + swatch;
        for (std::size_t row = 0; row < tableRowCount(pane); ++row) {
            const RouteTotals& totals = cellTotals(pane, row, column);
            if (totals.count == 0) continue;
            width = std::max<int>(width,
                                  textSize(dc, window.statFont, formatDistance(totals.meters, language)).cx);
            width = std::max<int>(width, textSize(dc, window.smallFont, cellDetail(totals, language)).cx);
        }
        pane.columnWidths[column] = width + px(window, 28);
    }
    ReleaseDC(pane.table, dc);
}

void updateScrollBars(MainWindow& window) {
    OverviewPane& pane = window.overview;
    RECT client{};
    GetClientRect(pane.table, &client);
    pane.scrollX =
        std::clamp(pane.scrollX, 0, std::max(0, contentWidth(pane) - static_cast<int>(client.right)));
    pane.scrollY =
        std::clamp(pane.scrollY, 0, std::max(0, contentHeight(pane) - static_cast<int>(client.bottom)));
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = contentWidth(pane) - 1;
    info.nPage = static_cast<UINT>(client.right);
    info.nPos = pane.scrollX;
    SetScrollInfo(pane.table, SB_HORZ, &info, TRUE);
    info.nMax = contentHeight(pane) - 1;
    info.nPage = static_cast<UINT>(client.bottom);
    info.nPos = pane.scrollY;
    SetScrollInfo(pane.table, SB_VERT, &info, TRUE);
}

bool isChartRow(const OverviewPane& pane, std::size_t row) {
    return row < pane.data.rows.size() && pane.data.rows[row].year == pane.chartYear;
}

void paintTable(const MainWindow& window, HDC dc, const RECT& client) {
    const OverviewPane& pane = window.overview;
    const ActiveLanguage& language = window.language;
    fillRect(dc, client, kEvenRowColor);
    const int pad = px(window, 12);
    const int statLine = lineHeight(dc, window.statFont);
    // The figures scroll under the fixed head row and year column.
    HRGN figures = CreateRectRgn(pane.labelWidth, pane.headerHeight, client.right, client.bottom);
    for (std::size_t row = 0; row < tableRowCount(pane); ++row) {
        const int top = pane.headerHeight + static_cast<int>(row) * pane.rowHeight - pane.scrollY;
        if (top >= client.bottom || top + pane.rowHeight <= pane.headerHeight) continue;
        const bool totalRow = row == pane.data.rows.size();
        const Rgb background = totalRow                ? kTotalRowColor
                               : isChartRow(pane, row) ? kSelectedRowColor
                                                       : rowBackgroundColor(static_cast<int64_t>(row), false);
        SelectClipRgn(dc, nullptr);
        fillRect(dc, RECT{0, top, client.right, top + pane.rowHeight}, background);
        drawText(dc, window.statFont, kTextColor, rowLabel(pane, row, language),
                 RECT{pad, top + pad / 2, pane.labelWidth, top + pad / 2 + statLine}, DT_LEFT);
        SelectClipRgn(dc, figures);
        int left = pane.labelWidth - pane.scrollX;
        for (std::size_t column = 0; column < pane.columnWidths.size(); ++column) {
            const int right = left + pane.columnWidths[column];
            const RouteTotals& totals = cellTotals(pane, row, column);
            // The totals' column stands apart from the sports.
            if (column == pane.data.columns.size() && !totalRow && !isChartRow(pane, row))
                fillRect(dc, RECT{left, top, right, top + pane.rowHeight}, kTotalRowColor);
            if (totals.count > 0 && right > pane.labelWidth && left < client.right) {
                drawText(dc, window.statFont, kTextColor, formatDistance(totals.meters, language),
                         RECT{left, top + pad / 2, right - pad, top + pad / 2 + statLine}, DT_RIGHT);
                drawText(dc, window.smallFont, kHintTextColor, cellDetail(totals, language),
                         RECT{left, top + pad / 2 + statLine, right - pad, top + pane.rowHeight}, DT_RIGHT);
            }
            left = right;
        }
    }
    SelectClipRgn(dc, nullptr);
    DeleteObject(figures);
    if (pane.data.rows.empty() && window.list.routes.empty()) {
        drawText(
            dc, window.bodyFont, kHintTextColor, std::u16string(translate(language, "emptyLibrary")),
            RECT{0, pane.headerHeight + pane.rowHeight, client.right, pane.headerHeight + 3 * pane.rowHeight},
            DT_CENTER | DT_VCENTER);
    }

    // The head row: each sport's colour, as in the chart, before its name.
    fillRect(dc, RECT{0, 0, client.right, pane.headerHeight}, kBackgroundColor);
    fillRect(dc, RECT{0, pane.headerHeight - px(window, 1), client.right, pane.headerHeight}, kGridColor);
    drawText(dc, window.bodyFont, kHintTextColor, std::u16string(translate(language, "year")),
             RECT{pad, 0, pane.labelWidth, pane.headerHeight}, DT_LEFT | DT_VCENTER);
    HRGN heads = CreateRectRgn(pane.labelWidth, 0, client.right, pane.headerHeight);
    SelectClipRgn(dc, heads);
    int left = pane.labelWidth - pane.scrollX;
    const int swatch = px(window, 10);
    for (std::size_t column = 0; column < pane.columnWidths.size(); ++column) {
        const int right = left + pane.columnWidths[column];
        const std::u16string head = columnHead(pane, column, language);
        drawText(dc, window.bodyFont, kTextColor, head, RECT{left, 0, right - pad, pane.headerHeight},
                 DT_RIGHT | DT_VCENTER);
        if (column < pane.data.columns.size()) {
            const int textLeft = right - pad - textSize(dc, window.bodyFont, head).cx;
            const int middle = pane.headerHeight / 2;
            fillRect(dc,
                     RECT{textLeft - swatch - px(window, 6), middle - swatch / 2, textLeft - px(window, 6),
                          middle - swatch / 2 + swatch},
                     sportColor(pane.data.columns[column]));
        }
        left = right;
    }
    SelectClipRgn(dc, nullptr);
    DeleteObject(heads);
    if (GetFocus() == pane.table) {
        for (std::size_t row = 0; row < pane.data.rows.size(); ++row) {
            if (!isChartRow(pane, row)) continue;
            const int top = pane.headerHeight + static_cast<int>(row) * pane.rowHeight - pane.scrollY;
            if (top < pane.headerHeight) break;
            RECT focus{px(window, 2), top + px(window, 2), pane.labelWidth - px(window, 2),
                       top + pane.rowHeight - px(window, 2)};
            SetTextColor(dc, colorRef(kTextColor));
            SetBkColor(dc, colorRef(kSelectedRowColor));
            DrawFocusRect(dc, &focus);
        }
    }
}

// Paints through a bitmap, so that scrolling and refilling do not flicker.
void paintBuffered(HWND hwnd, UINT message, WPARAM wParam,
                   void (*paint)(const MainWindow&, HDC, const RECT&)) {
    const MainWindow* window = mainWindowOf(GetParent(hwnd));
    PAINTSTRUCT ps{};
    HDC target = message == WM_PAINT ? BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wParam);
    RECT client{};
    GetClientRect(hwnd, &client);
    if (window != nullptr && client.right > 0 && client.bottom > 0) {
        HDC memory = CreateCompatibleDC(target);
        HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
        HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
        paint(*window, memory, client);
        BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    if (message == WM_PAINT) EndPaint(hwnd, &ps);
}

void chooseChartYear(MainWindow& window, int32_t year) {
    window.overview.year = year;
    showOverviewState(window);
}

// The row and column under a point of the table: column -1 is the year column, row -1 the head.
struct TableHit {
    int row = -1;
    int column = -1;
};

TableHit tableHitAt(const OverviewPane& pane, POINT point) {
    TableHit hit;
    if (point.y < pane.headerHeight) return hit;
    const int row = (point.y + pane.scrollY - pane.headerHeight) / std::max(1, pane.rowHeight);
    if (row < 0 || row >= static_cast<int>(tableRowCount(pane))) return hit;
    hit.row = row;
    if (point.x < pane.labelWidth) return hit;
    int left = pane.labelWidth - pane.scrollX;
    for (std::size_t column = 0; column < pane.columnWidths.size(); ++column) {
        left += pane.columnWidths[column];
        if (point.x < left) {
            hit.column = static_cast<int>(column);
            return hit;
        }
    }
    hit.row = -1;
    return hit;
}

void clickTable(MainWindow& window, POINT point) {
    const OverviewPane& pane = window.overview;
    const TableHit hit = tableHitAt(pane, point);
    if (hit.row < 0) return;
    const auto row = static_cast<std::size_t>(hit.row);
    const bool totalRow = row >= pane.data.rows.size();
    if (hit.column < 0) {
        // The year column chooses the chart's year.
        if (!totalRow) chooseChartYear(window, pane.data.rows[row].year);
        return;
    }
    const auto column = static_cast<std::size_t>(hit.column);
    if (cellTotals(pane, row, column).count == 0) return;
    OverviewPick pick;
    pick.active = true;
    pick.year = totalRow ? kAnyYear : pane.data.rows[row].year;
    if (column < pane.data.columns.size()) pick.sport = pane.data.columns[column];
    // The grand total is the whole list: no narrowing.
    if (pick.year == kAnyYear && pick.sport == kOverviewSportCount) pick.active = false;
    narrowToOverviewPick(window, pick);
}

void scrollTable(MainWindow& window, int bar, int to) {
    OverviewPane& pane = window.overview;
    (bar == SB_VERT ? pane.scrollY : pane.scrollX) = to;
    updateScrollBars(window);
    InvalidateRect(pane.table, nullptr, FALSE);
}

void scrollTableBy(MainWindow& window, int bar, WPARAM request) {
    OverviewPane& pane = window.overview;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(pane.table, bar, &info);
    const int line = bar == SB_VERT ? pane.rowHeight : px(window, 40);
    int to = info.nPos;
    switch (LOWORD(request)) {
        case SB_LINEUP:
            to -= line;
            break;
        case SB_LINEDOWN:
            to += line;
            break;
        case SB_PAGEUP:
            to -= static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            to += static_cast<int>(info.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            to = info.nTrackPos;
            break;
        default:
            return;
    }
    scrollTable(window, bar, to);
}

// Up and Down move the chart's year from row to row.
void stepChartYear(MainWindow& window, int step) {
    const OverviewPane& pane = window.overview;
    const auto& rows = pane.data.rows;
    if (rows.empty()) return;
    int at = 0;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].year == pane.chartYear) at = static_cast<int>(row);
    }
    at = std::clamp(at + step, 0, static_cast<int>(rows.size()) - 1);
    // Keep the chosen row on screen.
    RECT client{};
    GetClientRect(pane.table, &client);
    const int top = pane.headerHeight + at * pane.rowHeight;
    if (top - pane.scrollY < pane.headerHeight) window.overview.scrollY = top - pane.headerHeight;
    if (top + pane.rowHeight - pane.scrollY > client.bottom)
        window.overview.scrollY = top + pane.rowHeight - client.bottom;
    chooseChartYear(window, rows[static_cast<std::size_t>(at)].year);
}

bool pointsAtChoice(const MainWindow& window, HWND hwnd);

LRESULT CALLBACK tableProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* window = mainWindowOf(GetParent(hwnd));
    if (window == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT:
            paintBuffered(hwnd, message, wParam, paintTable);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            updateScrollBars(*window);
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(hwnd);
            clickTable(*window,
                       POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return 0;
        case WM_VSCROLL:
            scrollTableBy(*window, SB_VERT, wParam);
            return 0;
        case WM_HSCROLL:
            scrollTableBy(*window, SB_HORZ, wParam);
            return 0;
        case WM_MOUSEWHEEL:
            scrollTable(*window, SB_VERT,
                        window->overview.scrollY -
                            GET_WHEEL_DELTA_WPARAM(wParam) * window->overview.rowHeight / WHEEL_DELTA);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETCURSOR:
            if (LOWORD(lParam) != HTCLIENT || !pointsAtChoice(*window, hwnd))
                return DefWindowProcW(hwnd, message, wParam, lParam);
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_KEYDOWN:
            if (wParam == VK_UP || wParam == VK_DOWN) {
                stepChartYear(*window, wParam == VK_UP ? -1 : 1);
                return 0;
            }
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// ---- the chart ----

double displayDistance(const MainWindow& window, double meters) {
    return meters / (window.language.units == Units::imperial ? kMetersPerMile : 1000);
}

std::u16string axisText(const MainWindow& window, double value, double step) {
    const std::u16string unit = window.language.units == Units::imperial ? u" mi" : u" km";
    if (step >= 1) return decimalText(static_cast<int64_t>(std::llround(value))) + unit;
    const int64_t tenths = std::llround(value * 10);
    return decimalText(tenths / 10) + window.language.forms.decimal + decimalText(tenths % 10) + unit;
}

// 1, 2 or 5 times a power of ten, so that about five steps reach `maximum`.
double axisStep(double maximum) {
    if (!(maximum > 0)) return 1;
    const double rough = maximum / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough) return std::max(factor * power, 0.1);
    }
    return std::max(10 * power, 0.1);
}

struct ChartLayout {
    RECT title{};
    std::vector<std::pair<std::size_t, RECT>> legend;  // sport, swatch and name
    RECT plot{};
    double top = 1;  // the axis' end, in display units
    double step = 1;
    int slot = 1;  // the width of a month
};

std::vector<std::size_t> chartSports(const OverviewPane& pane) {
    std::vector<std::size_t> sports;
    for (std::size_t sport = 0; sport < kOverviewSportCount; ++sport) {
        for (const auto& month : pane.months) {
            if (month[sport] > 0) {
                sports.push_back(sport);
                break;
            }
        }
    }
    return sports;
}

ChartLayout chartLayout(const MainWindow& window, HDC dc, const RECT& client) {
    const OverviewPane& pane = window.overview;
    ChartLayout layout;
    const int pad = px(window, 14);
    const int titleHeight = lineHeight(dc, window.statFont);
    const int smallHeight = lineHeight(dc, window.smallFont);
    layout.title = RECT{pad, pad, client.right - pad, pad + titleHeight};
    // The legend flows in lines under the title.
    int x = pad;
    int y = layout.title.bottom + px(window, 6);
    const int swatch = px(window, 10);
    for (const std::size_t sport : chartSports(pane)) {
        const int width = swatch + px(window, 6) +
                          textSize(dc, window.smallFont, overviewSportText(sport, window.language)).cx;
        if (x > pad && x + width > client.right - pad) {
            x = pad;
            y += smallHeight + px(window, 2);
        }
        layout.legend.push_back({sport, RECT{x, y, x + width, y + smallHeight}});
        x += width + px(window, 18);
    }
    const int plotTop = y + smallHeight + px(window, 16);
    double maximum = 0;
    for (const auto& month : pane.months) {
        double sum = 0;
        for (const double meters : month) sum += meters;
        maximum = std::max(maximum, displayDistance(window, sum));
    }
    if (!std::isfinite(maximum)) maximum = 1e15;
    layout.step = axisStep(maximum);
    layout.top = std::max(layout.step, std::ceil(maximum / layout.step - 1e-9) * layout.step);
    const int labelWidth = textSize(dc, window.smallFont, axisText(window, layout.top, layout.step)).cx;
    layout.plot = RECT{pad + labelWidth + px(window, 8), plotTop, client.right - pad,
                       client.bottom - pad - smallHeight - px(window, 6)};
    layout.slot = std::max<int>(1, (layout.plot.right - layout.plot.left) / 12);
    return layout;
}

int valueY(const ChartLayout& layout, double value) {
    const double height = layout.plot.bottom - layout.plot.top;
    // Sums beyond every double (absurd files) stand at the top rather than nowhere.
    const double ratio = value / layout.top;
    const double share = std::isnan(ratio) ? 0 : std::clamp(ratio, 0.0, 1.0);
    return layout.plot.bottom - static_cast<int>(std::lround(share * height));
}

std::u16string chartTitle(const MainWindow& window) {
    const int32_t year = window.overview.chartYear;
    if (window.overview.data.rows.empty())
        return fillIn(translate(window.language, "chartTitle"), u"{y}", u"\u2013");
    const std::u16string when =
        year == kNoYear ? std::u16string(translate(window.language, "noDate")) : decimalText(year);
    return fillIn(translate(window.language, "chartTitle"), u"{y}", when);
}

void paintChart(const MainWindow& window, HDC dc, const RECT& client) {
    const OverviewPane& pane = window.overview;
    fillRect(dc, client, kEvenRowColor);
    const int line = px(window, 1);
    fillRect(dc, RECT{0, 0, client.right, line}, kGridColor);
    const ChartLayout layout = chartLayout(window, dc, client);
    drawText(dc, window.statFont, kTextColor, chartTitle(window), layout.title, DT_LEFT);
    for (const auto& [sport, rect] : layout.legend) {
        const int swatch = px(window, 10);
        const int middle = (rect.top + rect.bottom) / 2;
        fillRect(dc, RECT{rect.left, middle - swatch / 2, rect.left + swatch, middle - swatch / 2 + swatch},
                 sportColor(sport));
        drawText(dc, window.smallFont, kTextColor, overviewSportText(sport, window.language),
                 RECT{rect.left + swatch + px(window, 6), rect.top, rect.right + px(window, 4), rect.bottom},
                 DT_LEFT);
    }
    if (layout.plot.bottom <= layout.plot.top) return;
    // Grid lines and their distances.
    const int smallHeight = lineHeight(dc, window.smallFont);
    for (double value = 0; value <= layout.top + layout.step / 2; value += layout.step) {
        const int y = valueY(layout, value);
        fillRect(dc, RECT{layout.plot.left, y - (value == 0 ? line : 0), layout.plot.right, y + line},
                 value == 0 ? kHintTextColor : kGridColor);
        drawText(dc, window.smallFont, kHintTextColor, axisText(window, value, layout.step),
                 RECT{0, y - smallHeight / 2, layout.plot.left - px(window, 8), y + smallHeight / 2 + 1},
                 DT_RIGHT);
    }
    // The months' bars, stacked by sport in the order of the legend.
    const int barWidth = std::max(1, layout.slot * 3 / 5);
    for (int month = 0; month < 12; ++month) {
        const int left = layout.plot.left + month * layout.slot + (layout.slot - barWidth) / 2;
        double below = 0;
        for (std::size_t sport = 0; sport < kOverviewSportCount; ++sport) {
            const double value = displayDistance(window, pane.months[static_cast<std::size_t>(month)][sport]);
            if (!(value > 0)) continue;
            const int bottom = valueY(layout, below);
            below += value;
            const int top = valueY(layout, below);
            if (top < bottom) fillRect(dc, RECT{left, top, left + barWidth, bottom}, sportColor(sport));
        }
        drawText(dc, window.smallFont, kHintTextColor, monthName(month + 1, window.language),
                 RECT{layout.plot.left + month * layout.slot, layout.plot.bottom + px(window, 6),
                      layout.plot.left + (month + 1) * layout.slot,
                      layout.plot.bottom + px(window, 6) + smallHeight},
                 DT_CENTER);
    }
}

// What a click at `point` narrows the list to; false where it narrows nothing.
bool chartPickAt(const MainWindow& window, POINT point, OverviewPick& pick) {
    const OverviewPane& pane = window.overview;
    if (pane.chartYear == kNoYear) return false;
    HDC dc = GetDC(pane.chart);
    RECT client{};
    GetClientRect(pane.chart, &client);
    const ChartLayout layout = chartLayout(window, dc, client);
    ReleaseDC(pane.chart, dc);
    if (point.x < layout.plot.left || point.y < layout.plot.top || point.y > layout.plot.bottom) return false;
    const int month = (point.x - layout.plot.left) / layout.slot;
    if (month < 0 || month >= 12) return false;
    pick = OverviewPick{.active = true, .year = pane.chartYear, .month = month + 1};
    // The segment under the pointer names the sport; above the bar the month stands for every sport.
    double below = 0;
    bool any = false;
    for (std::size_t sport = 0; sport < kOverviewSportCount; ++sport) {
        const double value = displayDistance(window, pane.months[static_cast<std::size_t>(month)][sport]);
        if (!(value > 0)) continue;
        any = true;
        const int bottom = valueY(layout, below);
        below += value;
        if (point.y >= valueY(layout, below) && point.y <= bottom) pick.sport = sport;
    }
    return any;
}

// A hand over what a click narrows the list to (or, in the year column, shows in the chart).
bool pointsAtChoice(const MainWindow& window, HWND hwnd) {
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(hwnd, &point);
    const OverviewPane& pane = window.overview;
    if (hwnd == pane.chart) {
        OverviewPick pick;
        return chartPickAt(window, point, pick);
    }
    const TableHit hit = tableHitAt(pane, point);
    if (hit.row < 0) return false;
    const auto row = static_cast<std::size_t>(hit.row);
    if (hit.column < 0) return row < pane.data.rows.size();
    return cellTotals(pane, row, static_cast<std::size_t>(hit.column)).count > 0;
}

LRESULT CALLBACK chartProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* window = mainWindowOf(GetParent(hwnd));
    if (window == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT:
            paintBuffered(hwnd, message, wParam, paintChart);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN: {
            OverviewPick pick;
            if (chartPickAt(*window,
                            POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))},
                            pick))
                narrowToOverviewPick(*window, pick);
            return 0;
        }
        case WM_SETCURSOR:
            if (LOWORD(lParam) != HTCLIENT || !pointsAtChoice(*window, hwnd))
                return DefWindowProcW(hwnd, message, wParam, lParam);
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void registerClass(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = moduleInstance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);  // fails harmlessly for the second window of a test run
}

HWND createChild(MainWindow& window, const wchar_t* className, DWORD style, int id, HFONT font) {
    HWND control =
        CreateWindowExW(0, className, L"", WS_CHILD | style, 0, 0, 0, 0, window.mainWindow,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), moduleInstance(), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

// The note's place: just before the toggle, as wide as its text, at most to the wordmark's end.
void placeNote(MainWindow& window) {
    RECT toggle{};
    RECT header{};
    GetWindowRect(window.overview.toggle, &toggle);
    GetWindowRect(GetDlgItem(window.mainWindow, IDC_HEADER), &header);
    MapWindowPoints(nullptr, window.mainWindow, reinterpret_cast<POINT*>(&toggle), 2);
    MapWindowPoints(nullptr, window.mainWindow, reinterpret_cast<POINT*>(&header), 2);
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window.overview.note)), u'\0');
    GetWindowTextW(window.overview.note, reinterpret_cast<wchar_t*>(text.data()),
                   static_cast<int>(text.size()) + 1);
    HDC dc = GetDC(window.overview.note);
    const int width = textSize(dc, window.smallFont, text).cx + px(window, 24);
    ReleaseDC(window.overview.note, dc);
    const int right = toggle.left - px(window, 8);
    const int left = std::max<int>(header.right + px(window, 8), right - width);
    MoveWindow(window.overview.note, left, toggle.top, std::max(0, right - left), toggle.bottom - toggle.top,
               TRUE);
}

void refreshFigures(MainWindow& window) {
    OverviewPane& pane = window.overview;
    const std::vector<uint64_t> listed = overviewRows(window.list, window.language);
    pane.data = buildOverview(window.list.routes, listed);
    // The chosen year while it is listed, else the newest dated one.
    const auto& rows = pane.data.rows;
    const auto chosen =
        std::find_if(rows.begin(), rows.end(), [&](const OverviewRow& row) { return row.year == pane.year; });
    pane.chartYear = chosen != rows.end() ? chosen->year : rows.empty() ? kNoYear : rows.front().year;
    pane.months = monthDistances(window.list.routes, listed, pane.chartYear);
    measureTable(window);
    updateScrollBars(window);
    InvalidateRect(pane.table, nullptr, FALSE);
    InvalidateRect(pane.chart, nullptr, FALSE);
}

}  // namespace

void createOverviewControls(MainWindow& window) {
    registerClass(L"TirnOverviewTable", tableProc);
    registerClass(L"TirnOverviewChart", chartProc);
    OverviewPane& pane = window.overview;
    pane.toggle =
        createChild(window, L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_FLAT, IDC_OVERVIEW, window.bodyFont);
    pane.note = createChild(window, L"BUTTON", WS_TABSTOP | BS_FLAT, IDC_OVERVIEW_NOTE, window.smallFont);
    pane.table = createChild(window, L"TirnOverviewTable", WS_TABSTOP | WS_HSCROLL | WS_VSCROLL,
                             IDC_OVERVIEW_TABLE, window.bodyFont);
    pane.chart = createChild(window, L"TirnOverviewChart", 0, IDC_OVERVIEW_CHART, window.bodyFont);
    // Screen readers name the table by the hidden label just before it.
    createAccessibleLabel(window, "overview");
    HWND label = window.accessibleLabels.back().first;
    // Tab reaches them after the filter bar and before the list.
    HWND after = window.resetButton;
    for (HWND control : {pane.toggle, pane.note, label, pane.table, pane.chart}) {
        SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = control;
    }
}

void layoutOverview(MainWindow& window, const std::array<ControlRect, layoutSlotCount>& rects) {
    OverviewPane& pane = window.overview;
    const ControlRect& toggle = rects[slotOverviewToggle];
    MoveWindow(pane.toggle, toggle.left, toggle.top, toggle.width, toggle.height, TRUE);
    // The chart takes the lower part of the list's place, the table the rest.
    const ControlRect& list = rects[slotRouteList];
    const int gap = px(window, 8);
    const int chartHeight = std::clamp(list.height * 2 / 5, px(window, 210), px(window, 320));
    const int tableHeight = std::max(0, list.height - chartHeight - gap);
    MoveWindow(pane.table, list.left, list.top, list.width, tableHeight, TRUE);
    MoveWindow(pane.chart, list.left, list.top + tableHeight + gap, list.width,
               std::max(0, list.height - tableHeight - gap), TRUE);
    placeNote(window);
    if (pane.shown) refreshFigures(window);
}

void showOverviewState(MainWindow& window) {
    OverviewPane& pane = window.overview;
    const std::u16string caption = pane.shown ? controlCaption(window.language, u"\u2261", "listView")
                                              : controlCaption(window.language, u"\u25A6", "overview");
    SetWindowTextW(pane.toggle, wideText(caption));
    const OverviewPick& pick = window.list.pick;
    if (pick.active) {
        const std::u16string note = u"\u00D7  " + overviewPickText(pick, window.language);
        SetWindowTextW(pane.note, wideText(note));
        placeNote(window);
    }
    ShowWindow(pane.note, pick.active ? SW_SHOW : SW_HIDE);
    ShowWindow(window.routeList, pane.shown ? SW_HIDE : SW_SHOW);
    ShowWindow(pane.table, pane.shown ? SW_SHOW : SW_HIDE);
    ShowWindow(pane.chart, pane.shown ? SW_SHOW : SW_HIDE);
    if (pane.shown) refreshFigures(window);
}

void toggleOverview(MainWindow& window) {
    OverviewPane& pane = window.overview;
    pane.shown = !pane.shown;
    showOverviewState(window);
    SetFocus(pane.shown ? pane.table : window.routeList);
}

void clearOverviewPick(MainWindow& window) {
    const bool focused = GetFocus() == window.overview.note;
    changeRouteList(window, [&](ListView& view) { setOverviewPick(view, {}, window.language); });
    if (focused) SetFocus(window.routeList);
}

void narrowToOverviewPick(MainWindow& window, const OverviewPick& pick) {
    window.overview.shown = false;
    changeRouteList(window, [&](ListView& view) { setOverviewPick(view, pick, window.language); });
    SetFocus(window.routeList);
}

bool handleOverviewKey(MainWindow& window, const MSG& message) {
    if (message.message != WM_KEYDOWN || (GetKeyState(VK_MENU) & 0x8000) != 0) return false;
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    OverviewPane& pane = window.overview;
    switch (message.wParam) {
        case 'T':
            if (!control) return false;
            toggleOverview(window);
            return true;
        case VK_ESCAPE:
            // First the narrowing goes, then the overview gives the list back.
            if (window.list.pick.active) {
                clearOverviewPick(window);
                return true;
            }
            if (!pane.shown) return false;
            toggleOverview(window);
            return true;
        case VK_RETURN: {
            // Enter in the table narrows the list to the chart's year.
            if (message.hwnd != pane.table || control || pane.data.rows.empty()) return false;
            narrowToOverviewPick(window, OverviewPick{.active = true, .year = pane.chartYear});
            return true;
        }
        default:
            return false;
    }
}
