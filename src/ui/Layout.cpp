#include "ui/Layout.h"

#include <algorithm>
#include <cmath>

namespace {

// A rectangle in 96-DPI units, placed on the device grid edge by edge so that neighbouring
// controls keep their gaps at every scale.
struct LogicalRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

int32_t onDevice(double logical, double scale) {
    return static_cast<int32_t>(std::lround(logical * scale));
}

ControlRect toDevice(const LogicalRect& rect, double scale) {
    const int32_t left = onDevice(rect.left, scale);
    const int32_t top = onDevice(rect.top, scale);
    return {left, top, onDevice(rect.left + rect.width, scale) - left,
            onDevice(rect.top + rect.height, scale) - top};
}

// Places the filter boxes and the reset button in rows from `top` within [left, right]; returns the
// number of rows (at least one).
int placeFilterBar(std::array<LogicalRect, layoutSlotCount>& rects, const FilterBoxWidths& measured,
                   double scale, double left, double right, double top) {
    constexpr double gap = 6, resetWidth = 40, rowPitch = 36;
    // The reset button is the bar's last item; it keeps its width.
    std::array<double, kFilterCount + 1> widths{};
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        widths[box] = measured[box] > 0 ? measured[box] / scale : routeFilters[box].width;
    }
    widths[kFilterCount] = resetWidth;
    int rows = 0;
    std::size_t first = 0;
    while (first <= kFilterCount) {
        // Every row takes at least one item, however narrow the list.
        std::size_t end = first + 1;
        double used = widths[first];
        while (end <= kFilterCount && used + gap + widths[end] <= right - left) used += gap + widths[end++];
        // The reset button never stands alone in a row: the last box goes down with it.
        if (end == kFilterCount && end - first > 1) used -= gap + widths[--end];
        // Like justified text: the rows that had to break are spread to the list's width, the last
        // row of a wrapped bar keeps what its boxes need.
        const bool lastOfSeveral = end > kFilterCount && first > 0;
        const std::size_t boxes = std::min(end, kFilterCount) - first;
        const double share =
            boxes > 0 && used < right - left && !lastOfSeveral ? (right - left - used) / boxes : 0;
        double x = left;
        for (std::size_t item = first; item < end; ++item) {
            const double width = widths[item] + (item < kFilterCount ? share : 0);
            rects[slotFirstFilter + item] = {x, top + rowPitch * rows, width, 30};
            x += width + gap;
        }
        ++rows;
        first = end;
    }
    return rows;
}

}  // namespace

int32_t scaledPixels(int32_t pixels, uint32_t dpi) {
    if (dpi == 0) dpi = 96;
    return static_cast<int32_t>(std::lround(static_cast<double>(pixels) * dpi / 96.0));
}

std::array<ControlRect, layoutSlotCount> layoutControls(uint16_t clientWidth, uint16_t clientHeight,
                                                        uint32_t dpi, const FilterBoxWidths& filterWidths) {
    // Every number below is a 96-DPI pixel; the client size is taken back to that scale first.
    const double scale = (dpi == 0 ? 96 : dpi) / 96.0;
    const double w = clientWidth / scale;
    const double h = clientHeight / scale;
    // Below a client width of 1040 the layout stops shrinking; the panel is cut off instead.
    const double listWidth = w - 420 < 620 ? 620 : w - 420;
    const double panelX = listWidth + 32;

    std::array<LogicalRect, layoutSlotCount> rects{};
    rects[slotImport] = {18, 18, 118, 34};
    rects[slotExport] = {144, 18, 118, 34};
    rects[slotFolder] = {270, 18, 110, 34};
    rects[slotReload] = {388, 18, 110, 34};
    // The search box gives up width (down to 160) before the units box would meet the buttons.
    // Narrower still, the units and language boxes move down beside the wordmark's short first
    // line, and the search box takes the rest of the top row.
    const double right = listWidth + 18;
    const double searchWidth = std::clamp(right - (498 + 8 + 150 + 8 + 126 + 8), 160.0, 260.0);
    const bool boxesBelow = right - searchWidth - 8 - 126 - 8 - 150 < 498 + 8;
    if (boxesBelow) {
        rects[slotSearch] = {506, 18, right - 506, 34};
        rects[slotLanguage] = {right - 126, 54, 126, 34};
        rects[slotUnits] = {right - 126 - 8 - 150, 54, 150, 34};
        rects[slotHeader] = {18, 54, std::min(360.0, right - 126 - 8 - 150 - 8 - 18), 92};
    } else {
        rects[slotSearch] = {right - searchWidth, 18, searchWidth, 34};
        rects[slotLanguage] = {right - searchWidth - 8 - 126, 18, 126, 34};
        rects[slotUnits] = {right - searchWidth - 8 - 126 - 8 - 150, 18, 150, 34};
        // Two lines of the 34-pixel title font: room for the second line's descenders too. The
        // wordmark leaves the rest of its rows to the overview's toggle and narrowing note.
        rects[slotHeader] = {18, 54, 360, 92};
    }
    rects[slotOverviewToggle] = {listWidth - 132, 108, 150, 34};
    // The filter boxes stand 6 pixels apart, with the reset button after them: a square-ish
    // button for its "×", so that the boxes have the room their words take.
    const int filterRows = placeFilterBar(rects, filterWidths, scale, 18, 18 + listWidth, 150);
    const double below = 36.0 * (filterRows - 1);
    // A client height below 234 gives a negative list height; it is passed on as it is.
    rects[slotRouteList] = {18, 188 + below, listWidth, h - 234 - below};
    rects[slotStatus] = {18, h - 34, listWidth + 384, 34};
    // The panel: title, file name and date, the sketch, then rows of figures, the weather, the
    // sport box and the places. The sketch gives up height first when the window is low, so that
    // the rows below it stay clear of the status line, and leaves the elevation profile under the
    // rows its room (150 px) before that.
    const double sketchHeight = std::clamp(h - 578 - 150, 100.0, 218.0);
    const double y = 106 + sketchHeight + 14;  // the first figure row
    const double rightX = listWidth + 222;
    rects[slotTitle] = {panelX, 18, 370, 38};
    rects[slotFileName] = {panelX, 58, 370, 20};
    rects[slotSubtitle] = {panelX, 78, 370, 22};
    rects[slotSketch] = {panelX, 106, 370, sketchHeight};
    rects[slotDistance] = {panelX, y, 180, 76};
    rects[slotTime] = {rightX, y, 180, 76};
    rects[slotAscent] = {panelX, y + 86, 180, 76};
    rects[slotPoints] = {rightX, y + 86, 180, 76};
    rects[slotWeather] = {panelX, y + 172, 370, 70};
    rects[slotSportCombo] = {panelX, y + 250, 370, 34};
    rects[slotSpeed] = {panelX, y + 298, 180, 56};
    rects[slotType] = {rightX, y + 298, 180, 56};
    rects[slotStart] = {panelX, y + 362, 180, 56};
    rects[slotFinish] = {rightX, y + 362, 180, 56};
    // The track's figures and the elevation profile: whatever is left down to the status line.
    rects[slotProfile] = {panelX, y + 426, 370, std::max(h - 42 - (y + 426), 0.0)};

    std::array<ControlRect, layoutSlotCount> device{};
    for (std::size_t slot = 0; slot < layoutSlotCount; ++slot) device[slot] = toDevice(rects[slot], scale);
    return device;
}
