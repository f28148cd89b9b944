#pragma once
// The main window's size, position and maximised state between runs: "window.txt" beside
// settings.txt, one line "left top right bottom maximized" (the restored rectangle in screen
// pixels, then 0 or 1).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

struct SavedWindowPlacement {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool maximized = false;
    bool operator==(const SavedWindowPlacement&) const = default;
};

std::filesystem::path windowPlacementFilePath();
// None for anything but five whole numbers with a positive width and height and 0 or 1 last.
std::optional<SavedWindowPlacement> parseWindowPlacement(std::string_view text);
std::string formatWindowPlacement(const SavedWindowPlacement& placement);
std::optional<SavedWindowPlacement> loadWindowPlacement();
bool saveWindowPlacement(const SavedWindowPlacement& placement);
