#include "ui/ListColors.h"

#include <array>

#include "ui/Overview.h"

namespace {

constexpr std::array<Rgb, kOverviewSportCount> kSportColors = {{
    {37, 110, 180},   // cycling
    {230, 120, 40},   // running
    {120, 120, 128},  // motorcycling
    {160, 110, 190},  // driving
    {60, 140, 70},    // hiking
    {140, 190, 90},   // walking
    {25, 70, 130},    // mountain biking
    {120, 165, 215},  // gravel
    {90, 80, 200},    // e-bike
    {190, 80, 40},    // trail running
    {0, 170, 200},    // swimming
    {200, 60, 130},   // skiing
    {220, 180, 30},   // inline skating
    {0, 120, 120},    // rowing
    {80, 200, 180},   // kayaking
    {185, 180, 170},  // other or none
}};

}  // namespace

Rgb rowBackgroundColor(int64_t row, bool selected) {
    if (selected) return kSelectedRowColor;
    return row % 2 != 0 ? kOddRowColor : kEvenRowColor;
}

Rgb sportColor(std::size_t sport) {
    return kSportColors[sport < kSportColors.size() ? sport : kOtherSport];
}
