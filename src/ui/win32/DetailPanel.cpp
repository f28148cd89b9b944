// The detail panel and the route sketch: the portable panel texts and outline projection handed
// to the controls.

#include <algorithm>

#include "library/LibraryScan.h"
#include "ui/ListColors.h"
#include "ui/PanelText.h"
#include "ui/RouteListLogic.h"
#include "ui/SketchProjection.h"
#include "ui/win32/MainWindow.h"

namespace {

// The record of the selected row, or none when selectedRow names no row.
const RouteInfo* selectedRoute() {
    if (selectedRow < 0 || static_cast<std::size_t>(selectedRow) >= visibleRows.size()) return nullptr;
    const uint64_t index = visibleRows[static_cast<std::size_t>(selectedRow)];
    if (index >= libraryRoutes.size()) return nullptr;
    return &libraryRoutes[index];
}

COLORREF colorRef(Rgb color) {
    return RGB(color.r, color.g, color.b);
}

}  // namespace

void refreshDetailPanel() {
    const RouteInfo* route = selectedRoute();
    const PanelTexts texts = panelTextsFor(route);

    fillingSportCombo = true;
    SendMessageW(sportCombo, CB_RESETCONTENT, 0, 0);
    for (const std::u16string& item : texts.sportItems) {
        SendMessageW(sportCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(item)));
    }
    SetWindowTextW(titleStatic, wideText(texts.title));
    SetWindowTextW(subtitleStatic, wideText(texts.subtitle));
    SetWindowTextW(distanceStatic, wideText(texts.distance));
    SetWindowTextW(timeStatic, wideText(texts.time));
    SetWindowTextW(ascentStatic, wideText(texts.ascent));
    SetWindowTextW(pointsStatic, wideText(texts.points));
    SetWindowTextW(weatherStatic, wideText(texts.weather));
    if (texts.weatherVisibility == WeatherVisibility::show) ShowWindow(weatherStatic, SW_SHOW);
    if (texts.weatherVisibility == WeatherVisibility::hide) ShowWindow(weatherStatic, SW_HIDE);
    if (route) SendMessageW(sportCombo, CB_SETCURSEL, static_cast<WPARAM>(texts.sportSelection), 0);
    EnableWindow(sportCombo, texts.sportEnabled ? TRUE : FALSE);
    if (!route) selectedRow = -1;
    fillingSportCombo = false;
    InvalidateRect(sketchView, nullptr, TRUE);
}

LRESULT CALLBACK sketchWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT && message != WM_PRINTCLIENT)
        return DefWindowProcW(hwnd, message, wParam, lParam);

    PAINTSTRUCT paint{};
    HDC dc = message == WM_PAINT ? BeginPaint(hwnd, &paint) : reinterpret_cast<HDC>(wParam);
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, sketchBrush);

    HPEN framePen = CreatePen(PS_SOLID, 1, colorRef(kSketchFrameColor));
    HGDIOBJ oldPen = SelectObject(dc, framePen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, 0, 0, client.right, client.bottom, 18, 18);
    SelectObject(dc, oldPen);
    DeleteObject(framePen);

    if (const RouteInfo* route = selectedRoute()) {
        const std::vector<PixelPoint> points = projectOutline(route->outline, client.right, client.bottom);
        if (points.size() >= 2) {
            HPEN trackPen = CreatePen(PS_SOLID, 3, colorRef(kSketchTrackColor));
            SelectObject(dc, trackPen);
            MoveToEx(dc, points.front().x, points.front().y, nullptr);
            for (std::size_t i = 1; i < points.size(); ++i) LineTo(dc, points[i].x, points[i].y);
            SelectObject(dc, oldPen);
            DeleteObject(trackPen);
        }
    }
    SelectObject(dc, oldBrush);
    if (message == WM_PAINT) EndPaint(hwnd, &paint);
    return 0;
}
