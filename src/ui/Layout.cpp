#include "ui/Layout.h"

std::array<ControlRect, layoutSlotCount> layoutControls(uint16_t clientWidth, uint16_t clientHeight) {
    const int32_t w = clientWidth;
    const int32_t h = clientHeight;
    // Below a client width of 1040 the layout stops shrinking; the panel is cut off instead.
    const int32_t listWidth = w - 420 < 620 ? 620 : w - 420;
    const int32_t panelX = listWidth + 32;

    std::array<ControlRect, layoutSlotCount> rects{};
    rects[slotImport] = {18, 18, 118, 34};
    rects[slotFolder] = {144, 18, 110, 34};
    rects[slotReload] = {262, 18, 110, 34};
    rects[slotLanguage] = {listWidth - 376, 18, 126, 34};
    rects[slotSearch] = {listWidth - 242, 18, 260, 34};
    rects[slotHeader] = {18, 60, listWidth, 76};
    // The filter boxes stand side by side, 6 pixels apart, with the reset button after them.
    int32_t x = 18;
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        rects[slotFirstFilter + box] = {x, 138, routeFilters[box].width, 30};
        x += routeFilters[box].width + 6;
    }
    rects[slotReset] = {x, 138, 96, 30};
    // A client height below 222 gives a negative list height; it is passed on as it is.
    rects[slotRouteList] = {18, 176, listWidth, h - 222};
    rects[slotStatus] = {18, h - 34, listWidth + 384, 34};
    rects[slotTitle] = {panelX, 18, 370, 38};
    rects[slotSubtitle] = {panelX, 58, 370, 24};
    rects[slotSketch] = {panelX, 94, 370, 230};
    rects[slotDistance] = {panelX, 338, 180, 76};
    rects[slotTime] = {listWidth + 222, 338, 180, 76};
    rects[slotAscent] = {panelX, 424, 180, 76};
    rects[slotPoints] = {listWidth + 222, 424, 180, 76};
    rects[slotWeather] = {panelX, 510, 370, 70};
    rects[slotSportCombo] = {panelX, 588, 370, 34};
    return rects;
}
