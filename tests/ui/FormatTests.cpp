#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <utility>

#include "ui/Format.h"

namespace {

const ActiveLanguage& german() {
    static const ActiveLanguage language = resolveLanguage("de");
    return language;
}

struct FigureCase {
    double value;
    const char16_t* text;
};

TEST(FormatDistance, MetresBelowOneKilometreRoundOnTheUnroundedThreshold) {
    const FigureCase cases[] = {{0, u"0 m"},       {0.4, u"0 m"},      {0.5, u"1 m"},
                                {999.4, u"999 m"}, {999.5, u"1000 m"}, {999.999, u"1000 m"}};
    for (const auto& c : cases) EXPECT_EQ(formatDistance(c.value, german()), c.text) << c.value;
}

TEST(FormatDistance, KilometresUseTheExactQuotientWithTiesToEven) {
    const FigureCase cases[] = {{1000, u"1,0 km"},       {1049.99, u"1,0 km"},  {1050, u"1,1 km"},
                                {1150, u"1,1 km"},       {1250, u"1,2 km"},     {1350, u"1,4 km"},
                                {5000, u"5,0 km"},       {12345.6, u"12,3 km"}, {99999, u"100,0 km"},
                                {1234567, u"1234,6 km"}, {4999.96, u"5,0 km"},  {20000.04, u"20,0 km"}};
    for (const auto& c : cases) EXPECT_EQ(formatDistance(c.value, german()), c.text) << c.value;
}

TEST(FormatDistance, OutOfRangeValuesGiveATextInsteadOfOverflowing) {
    // Beyond 32 bits the true figure is kept; beyond 64 bits the figure saturates.
    EXPECT_EQ(formatDistance(-3000000000.0, german()), u"-3000000000 m");
    EXPECT_EQ(formatDistance(-1e300, german()), u"-9223372036854775808 m");
    EXPECT_EQ(formatDistance(5e12, german()), u"5000000000,0 km");
    EXPECT_EQ(formatDistance(1e300, german()), u"9223372036854775807,0 km");
    EXPECT_EQ(formatDistance(std::numeric_limits<double>::infinity(), german()), u"9223372036854775807,0 km");
    EXPECT_EQ(formatDistance(std::nan(""), german()), u"0 m");
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
    for (const auto& c : cases) EXPECT_EQ(formatAscent(c.value, german()), c.text) << c.value;
    EXPECT_EQ(formatAscent(std::nan(""), german()), u"\u2013");
}

RouteInfo stampedRoute(int64_t seconds, int32_t offsetMinutes) {
    RouteInfo route;
    route.dateText = "31.12.24";
    route.hasFirstTime = true;
    route.firstTimeSeconds = seconds;
    route.firstTimeOffsetMinutes = offsetMinutes;
    return route;
}

TEST(FormatForms, EveryLanguageWritesDatesAndDecimalsItsOwnWay) {
    // 2024-12-31 08:05 UTC+1, and 12.8 km.
    const RouteInfo route = stampedRoute(1735628700, 60);
    const std::map<std::string, std::pair<std::u16string, std::u16string>> expected = {
        {"de", {u"31.12.2024 08:05", u"12,8 km"}},      {"en", {u"2024-12-31 08:05", u"12.8 km"}},
        {"fr", {u"31/12/2024 08:05", u"12,8 km"}},      {"es", {u"31/12/2024 08:05", u"12,8 km"}},
        {"it", {u"31/12/2024 08:05", u"12,8 km"}},      {"nl", {u"31-12-2024 08:05", u"12,8 km"}},
        {"pt", {u"31/12/2024 08:05", u"12,8 km"}},      {"pl", {u"31.12.2024 08:05", u"12,8 km"}},
        {"cs", {u"31.12.2024 08:05", u"12,8 km"}},      {"da", {u"31.12.2024 08:05", u"12,8 km"}},
        {"sv", {u"2024-12-31 08:05", u"12,8 km"}},      {"nb", {u"31.12.2024 08:05", u"12,8 km"}},
        {"fi", {u"31.12.2024 08:05", u"12,8 km"}},      {"tr", {u"31.12.2024 08:05", u"12,8 km"}},
        {"uk", {u"31.12.2024 08:05", u"12,8 km"}},      {"ja", {u"2024/12/31 08:05", u"12.8 km"}},
        {"ko", {u"2024. 12. 31. 08:05", u"12.8 km"}},   {"zh-Hans", {u"2024/12/31 08:05", u"12.8 km"}},
        {"zh-Hant", {u"2024/12/31 08:05", u"12.8 km"}},
    };
    // English follows the region; a German one gives the form every reader can read.
    setLocaleNameOverride(true, u"de-DE");
    for (const LanguageRow& row : translationTable) {
        const ActiveLanguage language = resolveLanguage(row.code);
        ASSERT_TRUE(expected.contains(std::string(row.code))) << row.code;
        const auto& [dateTime, distance] = expected.at(std::string(row.code));
        EXPECT_EQ(formatDateTime(route, language), dateTime) << row.code;
        EXPECT_EQ(formatDate(route, language) + u" 08:05", dateTime) << row.code;
        EXPECT_EQ(formatDistance(12800, language), distance) << row.code;
    }
    setLocaleNameOverride(false, u"");
    // The last day of year 9999 keeps its four digits; a zone that puts it into year 10000, and a
    // track without a stamp, show the record's short date.
    EXPECT_EQ(formatDate(stampedRoute(253402300740, 0), german()), u"31.12.9999");
    EXPECT_EQ(formatDate(stampedRoute(253402300740, 60), german()), u"31.12.24");
    RouteInfo unstamped = stampedRoute(0, 0);
    unstamped.hasFirstTime = false;
    unstamped.dateText = "\u2013";
    EXPECT_EQ(formatDateTime(unstamped, german()), u"\u2013");
    // Early dates lose no zeros where the language keeps them, and keep none where it does not.
    const RouteInfo january = stampedRoute(1704441600, 0);  // 2024-01-05 08:00
    EXPECT_EQ(formatDate(january, resolveLanguage("ja")), u"2024/01/05");
    EXPECT_EQ(formatDate(january, resolveLanguage("ko")), u"2024. 1. 5.");
    EXPECT_EQ(formatDate(january, resolveLanguage("fi")), u"5.1.2024");
}

TEST(FormatForms, EnglishFollowsTheRegionsOrderAndClock) {
    struct Case {
        RegionFormats region;
        const char16_t* dateTime;
    };
    const Case cases[] = {
        {{.timeLocale = u"en-US"}, u"12/31/2024 8:05 AM"},
        {{.timeLocale = u"en_GB"}, u"31/12/2024 08:05"},
        {{.timeLocale = u"en-AU"}, u"31/12/2024 08:05"},
        {{.timeLocale = u"en-Latn-IN"}, u"31/12/2024 08:05"},
        {{.timeLocale = u"de-DE"}, u"2024-12-31 08:05"},
        {{.timeLocale = u""}, u"2024-12-31 08:05"},
        // What Windows says of the region wins over the name.
        {{.timeLocale = u"en-US", .dateOrder = DateOrder::dayFirst, .twelveHour = false},
         u"31/12/2024 08:05"},
        {{.timeLocale = u"en-CA", .dateOrder = DateOrder::yearFirst, .twelveHour = true},
         u"2024-12-31 8:05 AM"},
        {{.timeLocale = u"en-GB", .dateOrder = DateOrder::monthFirst}, u"12/31/2024 08:05"},
    };
    for (const Case& c : cases) {
        ActiveLanguage english = resolveLanguage("en");
        english.forms = englishForms(c.region);
        EXPECT_EQ(formatDateTime(stampedRoute(1735628700, 60), english), c.dateTime)
            << wideToUtf8(c.region.timeLocale);
    }
    ActiveLanguage english = resolveLanguage("en");
    english.forms = englishForms({.timeLocale = u"en-US"});
    EXPECT_EQ(formatDateTime(stampedRoute(1735679700, 0), english), u"12/31/2024 9:15 PM");
    EXPECT_EQ(formatDateTime(stampedRoute(1735603200, 0), english), u"12/31/2024 12:00 AM");
    EXPECT_EQ(formatDateTime(stampedRoute(1735646400, 0), english), u"12/31/2024 12:00 PM");
}

TEST(FormatForms, ImperialUnitsAndTheRegionsDefault) {
    ActiveLanguage english = resolveLanguage("en", Units::imperial);
    EXPECT_EQ(formatDistance(12874.752, english), u"8.0 mi");
    EXPECT_EQ(formatDistance(160, english), u"525 ft");  // below a tenth of a mile
    EXPECT_EQ(formatDistance(161, english), u"0.1 mi");
    EXPECT_EQ(formatAscent(412, english), u"1352 ft");
    EXPECT_EQ(formatSpeed(16093.44, 3600, english), u"10.0 mph");
    EXPECT_EQ(formatTemperature(21, english), u"70 \u00B0F");
    EXPECT_EQ(formatWindSpeed(16.09344, english), u"10 mph");
    EXPECT_EQ(formatSpeed(16093.44, 3600, resolveLanguage("de", Units::imperial)), u"10,0 mph");
    EXPECT_EQ(regionUnits({.measureLocale = u"en-US"}), Units::imperial);
    EXPECT_EQ(regionUnits({.measureLocale = u"en-GB"}), Units::metric);
    EXPECT_EQ(regionUnits({.measureLocale = u"my-MM"}), Units::imperial);
    EXPECT_EQ(regionUnits({.measureLocale = u"en-US", .imperial = false}), Units::metric);
    EXPECT_EQ(regionUnits({.measureLocale = u"de-DE", .imperial = true}), Units::imperial);
}

}  // namespace
