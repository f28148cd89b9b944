#pragma once
// Figure and date texts shown in the list, the panel and the console table, in the language's own
// date form and decimal sign and in the reader's units. No digit grouping anywhere.

#include <cstdint>
#include <string>

#include "core/RouteInfo.h"
#include "i18n/Language.h"

// "0 m"…"999 m", then "12,8 km" (one decimal); imperial "0 ft"…"527 ft", then "8.0 mi".
std::u16string formatDistance(double meters, const ActiveLanguage& language);
std::u16string formatDuration(double seconds);
// "412 m" or "1352 ft"; the dash for none.
std::u16string formatAscent(double meters, const ActiveLanguage& language);
// "12,3 km/h" or "7.6 mph", or the dash when the route has no elapsed time.
std::u16string formatSpeed(double meters, double seconds, const ActiveLanguage& language);
// An elevation, also 0 or below sea level: "412 m", "-3 m", "1352 ft".
std::u16string formatElevation(double meters, const ActiveLanguage& language);
// Whole degrees and whole wind speeds: "21 °C", "70 °F"; "15 km/h", "9 mph".
std::u16string formatTemperature(double celsius, const ActiveLanguage& language);
std::u16string formatWindSpeed(double kmh, const ActiveLanguage& language);
// The day of the first time stamp in the zone it was written in ("31.12.2024", "2024/12/31");
// the record's own short date text where the track has no usable stamp.
std::u16string formatDate(const RouteInfo& route, const ActiveLanguage& language);
// The same with the time of day: "31.12.2024 08:15", "12/31/2024 8:15 AM".
std::u16string formatDateTime(const RouteInfo& route, const ActiveLanguage& language);
// Plain decimal digits, "-" for negatives, no grouping.
std::u16string decimalText(int64_t value);
// Rounds halves away from zero to a whole number; saturates instead of overflowing.
int64_t roundedFigure(double value);
