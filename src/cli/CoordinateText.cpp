#include "cli/CoordinateText.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr uint64_t kTens[17] = {1,           10,           100,           1000,           10000,
                                100000,      1000000,      10000000,      100000000,      1000000000,
                                10000000000, 100000000000, 1000000000000, 10000000000000, 100000000000000,
                                1000000000000000, 10000000000000000};
constexpr double kTensAsDouble[17] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7, 1e8,
                                      1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};

// The figure `mantissa` * 2^-shift (at least 1, below 10^integerDigits) rounded to `digits`
// significant digits, computed exactly; false on a tie or when the rounding carries into another
// digit (those are left to the general formatting).
bool roundedDigits(uint64_t mantissa, int shift, int integerDigits, int digits, uint64_t& rounded) {
    using Wide = unsigned __int128;
    const int scale = digits - integerDigits;
    Wide quotient, twiceRest, denominator;
    if (scale >= 0) {
        // Over a power of two: a shift (the shift is 39 to 52 for figures in the range).
        const Wide numerator = Wide{mantissa} * kTens[scale];
        denominator = Wide{1} << shift;
        quotient = numerator >> shift;
        twiceRest = (numerator & (denominator - 1)) * 2;
    } else {
        denominator = Wide{kTens[-scale]} << shift;
        quotient = mantissa / denominator;
        twiceRest = (mantissa % denominator) * 2;
    }
    if (twiceRest == denominator) return false;
    rounded = static_cast<uint64_t>(quotient) + (twiceRest > denominator ? 1 : 0);
    return rounded < kTens[digits];
}

// Whether those digits read back as the figure: one correctly rounded division of exact doubles,
// as the figure's reading does.
bool readsBack(uint64_t rounded, int integerDigits, int digits, double magnitude) {
    const int scale = digits - integerDigits;
    if (scale < 0) return static_cast<double>(rounded * kTens[-scale]) == magnitude;
    if (rounded > (uint64_t{1} << 53)) return false;
    return static_cast<double>(rounded) / kTensAsDouble[scale] == magnitude;
}

// Eight decimal digits of `value` (below 10^8), leading zeros included, as text: the halves, their
// hundreds and their tens split apart in lanes of one word.
uint64_t eightDigitsText(uint32_t value) {
    uint64_t lanes = (value / 10000) | (uint64_t{value % 10000} << 32);
    const uint64_t hundreds = ((lanes * 5243) >> 19) & 0x000001FF000001FF;  // v / 100 for v < 10^4
    lanes = hundreds | ((lanes - hundreds * 100) << 16);
    const uint64_t tens = ((lanes * 103) >> 10) & 0x000F000F000F000F;  // v / 10 for v < 100
    lanes = tens | ((lanes - tens * 10) << 8);
    return lanes + 0x3030303030303030;
}

}  // namespace

char* shortestCoordinateText(char* out, double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1 && magnitude < 10000)) return nullptr;
    const uint64_t bits = std::bit_cast<uint64_t>(magnitude);
    const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    const int shift = 1075 - static_cast<int>(bits >> 52);  // magnitude = mantissa * 2^-shift
    const int integerDigits = magnitude < 10 ? 1 : magnitude < 100 ? 2 : magnitude < 1000 ? 3 : 4;

    // The fewest digits that read back (more digits come closer, so once enough, always enough);
    // figures recorded by a device mostly need fifteen or sixteen.
    const auto fits = [&](int digits, uint64_t& rounded, bool& fallBack) {
        if (!roundedDigits(mantissa, shift, integerDigits, digits, rounded)) {
            fallBack = true;
            return false;
        }
        return readsBack(rounded, integerDigits, digits, magnitude);
    };
    bool fallBack = false;
    uint64_t rounded = 0;
    int digits = 16;
    if (!fits(16, rounded, fallBack) || fallBack) return nullptr;
    uint64_t shorter = 0;
    if (fits(15, shorter, fallBack)) {
        digits = 15;
        rounded = shorter;
        int low = 1;  // the answer lies in [low, digits]
        while (low < digits) {
            const int middle = (low + digits) / 2;
            if (fits(middle, shorter, fallBack)) {
                digits = middle;
                rounded = shorter;
            } else {
                low = middle + 1;
            }
        }
    }
    if (fallBack) return nullptr;

    // Sixteen digits with leading zeros; the figure's are the last `digits` of them.
    char sixteen[16];
    const uint64_t high = eightDigitsText(static_cast<uint32_t>(rounded / 100000000));
    const uint64_t low = eightDigitsText(static_cast<uint32_t>(rounded % 100000000));
    std::memcpy(sixteen, &high, 8);
    std::memcpy(sixteen + 8, &low, 8);
    const char* text = sixteen + 16 - digits;
    if (value < 0) *out++ = '-';
    if (digits <= integerDigits) {
        for (int i = 0; i < digits; ++i) *out++ = text[i];
        for (int i = digits; i < integerDigits; ++i) *out++ = '0';
        return out;
    }
    for (int i = 0; i < integerDigits; ++i) *out++ = text[i];
    *out++ = '.';
    for (int i = integerDigits; i < digits; ++i) *out++ = text[i];
    return out;
}
