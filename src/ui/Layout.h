#pragma once
// The fixed pixel layout of the main window, a function of the client size only.

#include <array>
#include <cstddef>
#include <cstdint>

struct ControlRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Slots in the order the controls are moved.
enum LayoutSlot : std::size_t {
    slotImport, slotFolder, slotReload, slotLanguage, slotSearch, slotHeader,
    slotStartFilter, slotEndFilter, slotSportFilter, slotGhostFilter, slotTypeFilter,
    slotLengthFilter, slotReset, slotRouteList, slotStatus, slotTitle, slotSubtitle,
    slotSketch, slotDistance, slotTime, slotAscent, slotPoints, slotWeather, slotSportCombo,
    layoutSlotCount
};

std::array<ControlRect, layoutSlotCount> layoutControls(uint16_t clientWidth, uint16_t clientHeight);
