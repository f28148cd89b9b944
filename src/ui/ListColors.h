#pragma once
// Colours of the window: background, text, the list's row backgrounds and the sports in the overview.

#include <cstddef>
#include <cstdint>

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBackgroundColor{249, 248, 246};
inline constexpr Rgb kTextColor{29, 29, 31};
inline constexpr Rgb kHintTextColor{104, 104, 110};  // the hint in the list of an empty library
inline constexpr Rgb kSelectedRowColor{214, 236, 250};
inline constexpr Rgb kEvenRowColor{255, 254, 251};
inline constexpr Rgb kOddRowColor{244, 245, 245};
inline constexpr Rgb kSketchBackgroundColor{255, 254, 251};
inline constexpr Rgb kSketchFrameColor{211, 171, 90};
inline constexpr Rgb kSketchTrackColor{199, 140, 21};

Rgb rowBackgroundColor(int64_t row, bool selected);

// One fixed colour per sport of the overview (the sport keys in their order, then the other sports),
// so that a sport looks the same in every bar and the legend; kin sports share a hue.
Rgb sportColor(std::size_t sport);
