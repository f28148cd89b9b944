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

}  // namespace

int32_t scaledPixels(int32_t pixels, uint32_t dpi) {
    if (dpi == 0) dpi = 96;
    return static_cast<int32_t>(std::lround(static_cast<double>(pixels) * dpi / 96.0));
}

std::array<ControlRect, layoutSlotCount> layoutControls(uint16_t clientWidth, uint16_t clientHeight,
                                                        uint32_t dpi) {
    // Every number below is a 96-DPI pixel; the client size is taken back to that scale first.
    const double scale = (dpi == 0 ? 96 : dpi) / 96.0;
    const double w = clientWidth / scale;
    const double h = clientHeight / scale;
    // Below a client width of 1040 the layout stops shrinking; the panel is cut off instead.
    const double listWidth = w - 420 < 620 ? 620 : w - 420;
    const double panelX = listWidth + 32;

    std::array<LogicalRect, layoutSlotCount> rects{};
    rects[slotImport] = {18, 18, 118, 34};
    rects[slotFolder] = {144, 18, 110, 34};
    rects[slotReload] = {262, 18, 110, 34};
    rects[slotLanguage] = {listWidth - 376, 18, 126, 34};
    rects[slotUnits] = {listWidth - 534, 18, 150, 34};
    rects[slotSearch] = {listWidth - 242, 18, 260, 34};
    // Two lines of the 34-pixel title font: room for the second line's descenders too.
    // The wordmark leaves the rest of its row to the overview's toggle and narrowing note.
    rects[slotHeader] = {18, 54, 360, 92};
    rects[slotOverviewToggle] = {listWidth - 132, 108, 150, 34};
    // The filter boxes stand side by side, 6 pixels apart, with the reset button after them: a
    // square-ish button for its "×", so that the boxes have the room their words take.
    double x = 18;
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        rects[slotFirstFilter + box] = {x, 150, static_cast<double>(routeFilters[box].width), 30};
        x += routeFilters[box].width + 6;
    }
    rects[slotReset] = {x, 150, 40, 30};
    // A client height below 234 gives a negative list height; it is passed on as it is.
    rects[slotRouteList] = {18, 188, listWidth, h - 234};
    rects[slotStatus] = {18, h - 34, listWidth + 384, 34};
    // The panel: title, file name and date, the sketch, then rows of figures, the weather, the
    // sport box and the places. The sketch gives up height first when the window is low, so that
    // the rows below it stay clear of the status line.
    const double sketchHeight = std::clamp(h - 578, 100.0, 218.0);
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

    std::array<ControlRect, layoutSlotCount> device{};
    for (std::size_t slot = 0; slot < layoutSlotCount; ++slot) device[slot] = toDevice(rects[slot], scale);
    return device;
}
