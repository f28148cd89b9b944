#pragma once
// Figure texts shown in the list and the panel; the same in every language (decimal comma).

#include <cstdint>
#include <string>

std::u16string formatDistance(double meters);
std::u16string formatDuration(double seconds);
std::u16string formatAscent(double meters);
// Plain decimal digits, "-" for negatives, no grouping.
std::u16string decimalText(int64_t value);
// Rounds halves away from zero to a whole number; saturates instead of overflowing.
int64_t roundedFigure(double value);
