#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/Format.h"

namespace {

struct FigureCase {
    double value;
    const char16_t* text;
};

TEST(FormatDistance, MetresBelowOneKilometreRoundOnTheUnroundedThreshold) {
    const FigureCase cases[] = {{0, u"0 m"},       {0.4, u"0 m"},      {0.5, u"1 m"},
                                {999.4, u"999 m"}, {999.5, u"1000 m"}, {999.999, u"1000 m"}};
    for (const auto& c : cases) EXPECT_EQ(formatDistance(c.value), c.text) << c.value;
}

TEST(FormatDistance, KilometresUseTheExactQuotientWithTiesToEven) {
    const FigureCase cases[] = {{1000, u"1,0 km"},       {1049.99, u"1,0 km"},  {1050, u"1,1 km"},
                                {1150, u"1,1 km"},       {1250, u"1,2 km"},     {1350, u"1,4 km"},
                                {5000, u"5,0 km"},       {12345.6, u"12,3 km"}, {99999, u"100,0 km"},
                                {1234567, u"1234,6 km"}, {4999.96, u"5,0 km"},  {20000.04, u"20,0 km"}};
    for (const auto& c : cases) EXPECT_EQ(formatDistance(c.value), c.text) << c.value;
}

TEST(FormatDistance, OutOfRangeValuesGiveATextInsteadOfOverflowing) {
    // Beyond 32 bits the true figure is kept; beyond 64 bits the figure saturates.
    EXPECT_EQ(formatDistance(-3000000000.0), u"-3000000000 m");
    EXPECT_EQ(formatDistance(-1e300), u"-9223372036854775808 m");
    EXPECT_EQ(formatDistance(5e12), u"5000000000,0 km");
    EXPECT_EQ(formatDistance(1e300), u"9223372036854775807,0 km");
    EXPECT_EQ(formatDistance(std::numeric_limits<double>::infinity()), u"9223372036854775807,0 km");
    EXPECT_EQ(formatDistance(std::nan("")), u"0 m");
}

TEST(FormatDuration, HoursAppearOnlyWhenNonZeroAndAreNeverWrapped) {
    const FigureCase cases[] = {{0, u"\u2013"},       {-5, u"\u2013"},      {0.3, u"0:00"},
                                {59.4, u"0:59"},      {59.5, u"1:00"},      {754, u"12:34"},
                                {3599.4, u"59:59"},   {3599.5, u"1:00:00"}, {3661, u"1:01:01"},
                                {86400, u"24:00:00"}, {90061, u"25:01:01"}};
    for (const auto& c : cases) EXPECT_EQ(formatDuration(c.value), c.text) << c.value;
}

TEST(FormatDuration, DecadesAndAbsurdValuesStayReadable) {
    // 100 years of 365 days: far beyond a 32-bit second count.
    EXPECT_EQ(formatDuration(3153600000.0), u"876000:00:00");
    EXPECT_EQ(formatDuration(1e300), u"2562047788015215:30:07");
    EXPECT_EQ(formatDuration(std::nan("")), u"\u2013");
    EXPECT_EQ(formatDuration(-std::numeric_limits<double>::infinity()), u"\u2013");
}

TEST(FormatAscent, PositiveValuesRoundAndTheRestIsADash) {
    const FigureCase cases[] = {{0, u"\u2013"},     {-12, u"\u2013"},  {0.3, u"0 m"},           {0.5, u"1 m"},
                                {412.49, u"412 m"}, {412.5, u"413 m"}, {1e10, u"10000000000 m"}};
    for (const auto& c : cases) EXPECT_EQ(formatAscent(c.value), c.text) << c.value;
    EXPECT_EQ(formatAscent(std::nan("")), u"\u2013");
}

}  // namespace
