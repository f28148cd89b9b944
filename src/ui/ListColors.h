#pragma once
// Colours of the window: background, text, and the list's row backgrounds.

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
