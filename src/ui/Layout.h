#pragma once
// The pixel layout of the main window, a function of the client size and the window's DPI. Every
// number is fixed at 96 DPI and scaled by DPI / 96, so at 96 DPI the layout is pixel for pixel the
// original one.

#include <array>
#include <cstddef>
#include <cstdint>

#include "ui/RouteFilters.h"

struct ControlRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const ControlRect&) const = default;
};

// Slots in the order the controls are moved; the top bar's buttons in the order of toolButtons; the filter
// boxes take one slot each, in the order of routeFilters, from slotFirstFilter on.
enum LayoutSlot : std::size_t {
    slotImport,
    slotExport,
    slotFolder,
    slotReload,
    slotLanguage,
    slotSearch,
    slotHeader,
    slotFirstFilter,
    slotReset = slotFirstFilter + kFilterCount,
    slotRouteList,
    slotStatus,
    slotTitle,
    slotSubtitle,
    slotSketch,
    slotDistance,
    slotTime,
    slotAscent,
    slotPoints,
    slotWeather,
    slotSportCombo,
    slotFileName,
    slotSpeed,
    slotType,
    slotStart,
    slotFinish,
    slotUnits,
    slotProfile,
    slotOverviewToggle,  // between the list and the overview, at the header's right end
    layoutSlotCount
};

// What each filter box needs, in device pixels at the layout's DPI (its widest item, the arrow and
// the padding, as measured with its font); 0 takes the box's first width from routeFilters.
using FilterBoxWidths = std::array<int32_t, kFilterCount>;

// The filter boxes and the reset button after them share the list's width: they stand in rows,
// each box as wide as it needs plus an equal share of its row's spare room (not in the last row
// of several), and a box that does not fit starts the next row; the list starts below the last row.
std::array<ControlRect, layoutSlotCount> layoutControls(uint16_t clientWidth, uint16_t clientHeight,
                                                        uint32_t dpi = 96,
                                                        const FilterBoxWidths& filterWidths = {});
// A size in 96-DPI pixels at `dpi` (rounded to the nearest pixel; 0 counts as 96).
int32_t scaledPixels(int32_t pixels, uint32_t dpi);
