// The detail panel and the route sketch: the portable panel texts and outline projection handed
// to the controls.

#include "ui/win32/DetailPanel.h"

#include "ui/Layout.h"
#include "ui/PanelText.h"
#include "ui/SketchProjection.h"

void refreshDetailPanel(MainWindow& window) {
    // Several selected rows: their count and totals; one route, or none, as itself.
    const bool several = window.list.selected.size() > 1;
    const RouteInfo* route = several ? nullptr : selectedRoute(window);
    const PanelTexts texts = several ? panelTextsForSelection(selectedTotals(window.list), window.language)
                                     : panelTextsFor(route, window.language);

    window.fillingSportCombo = true;
    SendMessageW(window.sportCombo, CB_RESETCONTENT, 0, 0);
    for (const std::u16string& item : texts.sportItems) {
        SendMessageW(window.sportCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(item)));
    }
    SetWindowTextW(window.titleStatic, wideText(texts.title));
    SetWindowTextW(window.fileNameStatic, wideText(texts.fileName));
    SetWindowTextW(window.subtitleStatic, wideText(texts.subtitle));
    SetWindowTextW(window.distanceStatic, wideText(texts.distance));
    SetWindowTextW(window.timeStatic, wideText(texts.time));
    SetWindowTextW(window.ascentStatic, wideText(texts.ascent));
    SetWindowTextW(window.pointsStatic, wideText(texts.points));
    SetWindowTextW(window.speedStatic, wideText(texts.speed));
    SetWindowTextW(window.typeStatic, wideText(texts.type));
    SetWindowTextW(window.startStatic, wideText(texts.start));
    SetWindowTextW(window.finishStatic, wideText(texts.finish));
    SetWindowTextW(window.weatherStatic, wideText(texts.weather));
    if (texts.weatherVisibility == WeatherVisibility::show) ShowWindow(window.weatherStatic, SW_SHOW);
    if (texts.weatherVisibility == WeatherVisibility::hide) ShowWindow(window.weatherStatic, SW_HIDE);
    if (route) SendMessageW(window.sportCombo, CB_SETCURSEL, static_cast<WPARAM>(texts.sportSelection), 0);
    // For several routes the box writes the chosen sport into all of them.
    EnableWindow(window.sportCombo, texts.sportEnabled || several ? TRUE : FALSE);
    window.fillingSportCombo = false;
    InvalidateRect(window.sketchView, nullptr, TRUE);
    InvalidateRect(window.profileView, nullptr, TRUE);
}

LRESULT CALLBACK sketchWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const MainWindow* window = mainWindowOf(GetParent(hwnd));
    if ((message != WM_PAINT && message != WM_PRINTCLIENT) || window == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);

    PAINTSTRUCT paint{};
    HDC dc = message == WM_PAINT ? BeginPaint(hwnd, &paint) : reinterpret_cast<HDC>(wParam);
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, window->sketchBrush);

    const UINT dpi = window->dpi;
    HPEN framePen = CreatePen(PS_SOLID, scaledPixels(1, dpi), colorRef(kSketchFrameColor));
    HGDIOBJ oldPen = SelectObject(dc, framePen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const int corner = scaledPixels(18, dpi);
    RoundRect(dc, 0, 0, client.right, client.bottom, corner, corner);
    SelectObject(dc, oldPen);
    DeleteObject(framePen);

    const RouteInfo* route = window->list.selected.size() > 1 ? nullptr : selectedRoute(*window);
    if (route != nullptr) {
        const std::vector<PixelPoint> points =
            projectOutline(route->outline, client.right, client.bottom, scaledPixels(40, dpi));
        if (points.size() >= 2) {
            HPEN trackPen = CreatePen(PS_SOLID, scaledPixels(3, dpi), colorRef(kSketchTrackColor));
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
