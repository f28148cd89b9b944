#include "ui/ListColors.h"

Rgb rowBackgroundColor(int64_t row, bool selected) {
    if (selected) return kSelectedRowColor;
    return row % 2 != 0 ? kOddRowColor : kEvenRowColor;
}
