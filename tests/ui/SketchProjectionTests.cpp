#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/SketchProjection.h"

namespace {

using Outline = std::vector<std::pair<double, double>>;
using Pixels = std::vector<PixelPoint>;

// The view's laid-out size: a fitting box of 330 x 190.
constexpr int32_t kWidth = 370;
constexpr int32_t kHeight = 230;

TEST(SketchProjection, FitsTheOutlineNorthUpAndCentred) {
    EXPECT_EQ(projectOutline({{0, 0}, {1, 1}}, kWidth, kHeight), (Pixels{{90, 210}, {280, 20}}));
    // Due east: the latitude span is raised to the smallest span, the width decides the scale.
    EXPECT_EQ(projectOutline({{48.0, 11.0}, {48.0, 11.5}}, kWidth, kHeight), (Pixels{{20, 114}, {350, 114}}));
    EXPECT_EQ(projectOutline({{48.0, 11.0}, {48.2, 11.0}}, kWidth, kHeight), (Pixels{{184, 210}, {184, 20}}));
    EXPECT_EQ(projectOutline({{48.1, 11.6}, {48.1, 11.6}}, kWidth, kHeight), (Pixels{{90, 20}, {90, 20}}));
}

TEST(SketchProjection, KeepsEveryPointInTrackOrderWithoutClosingTheLoop) {
    const Outline loop = {{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}};
    const Pixels pixels = projectOutline(loop, kWidth, kHeight);
    ASSERT_EQ(pixels.size(), loop.size());
    EXPECT_EQ(pixels.front(), pixels.back());
    EXPECT_EQ(pixels[1], (PixelPoint{280, 210}));
    EXPECT_EQ(pixels[3], (PixelPoint{90, 20}));
}

TEST(SketchProjection, TooFewOrBrokenPointsAndAnySizeStayWithinInt32) {
    EXPECT_TRUE(projectOutline({}, kWidth, kHeight).empty());
    EXPECT_TRUE(projectOutline({{48.0, 11.0}}, kWidth, kHeight).empty());  // one point draws nothing
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    const Outline broken = {{nan, 11.0}, {48.0, inf}, {-inf, nan}, {1e308, -1e308}};
    EXPECT_EQ(projectOutline(broken, kWidth, kHeight).size(), broken.size());

    // A tiny view gives a negative scale; a huge one needs clamping. Neither may be undefined.
    const Pixels tiny = projectOutline({{0, 0}, {1, 1}}, 0, 0);
    EXPECT_EQ(tiny.size(), 2u);
    const Pixels huge = projectOutline({{0, 0}, {1e-9, 1}}, std::numeric_limits<int32_t>::max(),
                                       std::numeric_limits<int32_t>::min());
    EXPECT_EQ(huge.size(), 2u);
    const Pixels far = projectOutline({{0, 0}, {1e-300, 1e-300}}, 1000000000, 1000000000);
    EXPECT_EQ(far.size(), 2u);
}

}  // namespace
