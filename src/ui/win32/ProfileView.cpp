// Painting of the panel's lower part: text lines from ui/TrackFigureText and the profile's
// geometry from ui/ProfileProjection; only the drawing is here.

#include "ui/win32/ProfileView.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ui/Format.h"
#include "ui/Layout.h"
#include "ui/ListColors.h"
#include "ui/ProfileProjection.h"
#include "ui/TrackFigureText.h"

namespace {

constexpr Rgb kProfileFillColor{245, 229, 196};

struct PaintTools {
    HDC dc;
    UINT dpi;
    int lineHeight;
};

// A label beside a mark, to its right unless that runs past the right edge: centred on the
// highest mark, above the lowest (under which the distances stand). On the panel's background,
// so the line does not run through it.
void drawMarkLabel(const PaintTools& tools, PixelPoint mark, bool above, const std::u16string& text,
                   int right) {
    SIZE size{};
    GetTextExtentPoint32W(tools.dc, wideText(text), static_cast<int>(text.size()), &size);
    const int gap = scaledPixels(6, tools.dpi);
    int x = mark.x + gap;
    if (x + size.cx > right) x = mark.x - gap - size.cx;
    SetBkMode(tools.dc, OPAQUE);
    TextOutW(tools.dc, x, above ? mark.y - size.cy : mark.y - size.cy / 2, wideText(text),
             static_cast<int>(text.size()));
    SetBkMode(tools.dc, TRANSPARENT);
}

void drawProfile(const PaintTools& tools, const RouteInfo& route, const ActiveLanguage& language, RECT area) {
    const int labelHeight = tools.lineHeight;
    // Room for the highest mark's label above the line and the distances under the base line.
    const int plotTop = area.top + labelHeight / 2;
    const int plotBottom = area.bottom - labelHeight - scaledPixels(2, tools.dpi);
    if (plotBottom - plotTop < scaledPixels(24, tools.dpi)) return;
    const ProfileGeometry geometry = projectProfile(route.elevationProfile, area.left, plotTop,
                                                    area.right - area.left, plotBottom - plotTop);
    if (geometry.line.size() < 2) return;

    std::vector<POINT> outline;
    outline.reserve(geometry.line.size() + 2);
    for (const PixelPoint& point : geometry.line) outline.push_back({point.x, point.y});
    outline.push_back({geometry.line.back().x, plotBottom});
    outline.push_back({geometry.line.front().x, plotBottom});
    HBRUSH fill = CreateSolidBrush(colorRef(kProfileFillColor));
    HPEN none = static_cast<HPEN>(GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(tools.dc, fill);
    HGDIOBJ oldPen = SelectObject(tools.dc, none);
    Polygon(tools.dc, outline.data(), static_cast<int>(outline.size()));
    SelectObject(tools.dc, oldBrush);
    DeleteObject(fill);

    HPEN axisPen = CreatePen(PS_SOLID, scaledPixels(1, tools.dpi), colorRef(kSketchFrameColor));
    SelectObject(tools.dc, axisPen);
    MoveToEx(tools.dc, area.left, plotBottom, nullptr);
    LineTo(tools.dc, area.right, plotBottom);
    HPEN linePen = CreatePen(PS_SOLID, scaledPixels(2, tools.dpi), colorRef(kSketchTrackColor));
    SelectObject(tools.dc, linePen);
    Polyline(tools.dc, outline.data(), static_cast<int>(geometry.line.size()));
    SelectObject(tools.dc, oldPen);
    DeleteObject(axisPen);
    DeleteObject(linePen);

    // The lowest and highest elevation marked with their values.
    HBRUSH markBrush = CreateSolidBrush(colorRef(kSketchTrackColor));
    const int radius = scaledPixels(3, tools.dpi);
    for (const PixelPoint& mark : {geometry.lowest, geometry.highest}) {
        RECT dot{mark.x - radius, mark.y - radius, mark.x + radius + 1, mark.y + radius + 1};
        FillRect(tools.dc, &dot, markBrush);
    }
    DeleteObject(markBrush);
    SetBkColor(tools.dc, colorRef(kBackgroundColor));
    drawMarkLabel(tools, geometry.highest, false, formatElevation(route.elevationHighest, language),
                  area.right);
    if (geometry.lowest != geometry.highest)
        drawMarkLabel(tools, geometry.lowest, true, formatElevation(route.elevationLowest, language),
                      area.right);
    // The distance axis: from the start to the whole length, in the reader's units.
    const std::u16string start = formatDistance(route.elevationProfile.front().first, language);
    const std::u16string end = formatDistance(route.elevationProfile.back().first, language);
    RECT axis{area.left, plotBottom + scaledPixels(2, tools.dpi), area.right, area.bottom};
    DrawTextW(tools.dc, wideText(start), -1, &axis, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    DrawTextW(tools.dc, wideText(end), -1, &axis, DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT CALLBACK profileWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const MainWindow* window = mainWindowOf(GetParent(hwnd));
    if ((message != WM_PAINT && message != WM_PRINTCLIENT) || window == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);

    PAINTSTRUCT paint{};
    HDC dc = message == WM_PAINT ? BeginPaint(hwnd, &paint) : reinterpret_cast<HDC>(wParam);
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, window->backgroundBrush);

    const RouteInfo* route = window->list.selected.size() > 1 ? nullptr : selectedRoute(*window);
    if (route != nullptr) {
        // The small font: the lines must leave the profile its room in a window of the default size.
        HGDIOBJ oldFont = SelectObject(dc, window->smallFont);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colorRef(kTextColor));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        const PaintTools tools{dc, window->dpi, static_cast<int>(metrics.tmHeight)};
        RECT line{client.left, client.top, client.right, client.top + tools.lineHeight};
        const auto fits = [&](const std::u16string& text) {
            SIZE size{};
            GetTextExtentPoint32W(dc, wideText(text), static_cast<int>(text.size()), &size);
            return size.cx <= client.right - client.left;
        };
        for (const std::u16string& text :
             joinFigurePieces(trackFigurePieces(*route, window->language), fits)) {
            if (line.bottom > client.bottom) break;
            DrawTextW(dc, wideText(text), -1, &line, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            OffsetRect(&line, 0, tools.lineHeight);
        }
        RECT area{client.left, line.top + scaledPixels(6, window->dpi), client.right, client.bottom};
        drawProfile(tools, *route, window->language, area);
        SelectObject(dc, oldFont);
    }
    if (message == WM_PAINT) EndPaint(hwnd, &paint);
    return 0;
}

}  // namespace

void registerProfileClass(HINSTANCE instance) {
    WNDCLASSW profileClass{};
    profileClass.lpfnWndProc = profileWindowProc;
    profileClass.hInstance = instance;
    profileClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    profileClass.lpszClassName = kProfileClassName;
    RegisterClassW(&profileClass);
}
