#include "ui/PanelText.h"

#include <charconv>
#include <cmath>

#include "core/Failure.h"
#include "core/SportWeather.h"
#include "platform/Platform.h"
#include "ui/Format.h"

namespace {

constexpr char16_t kLineBreak[] = u"\r\n";

std::u16string figureText(const ActiveLanguage& language, std::string_view captionKey,
                          const std::u16string& value) {
    return std::u16string(translate(language, captionKey)) + kLineBreak + value;
}

std::u16string twoDigits(int64_t value) {
    std::u16string text = decimalText(value);
    return value < 10 ? u"0" + text : text;
}

// The file's own name, as the user sees it in a folder; the stem where the record has no path.
std::u16string fileNameText(const RouteInfo& route) {
    if (route.filePath.has_filename()) return pathToWide(route.filePath.filename());
    return utf8ToWide(route.fileStem);
}

std::u16string placeText(bool known, const std::string& place) {
    return known && !place.empty() ? utf8ToWide(place) : std::u16string(u"\u2013");
}

}  // namespace

std::u16string startDateText(const RouteInfo& route) {
    if (!route.hasFirstTime) return utf8ToWide(route.dateText);
    // Far beyond any real track the stamp is not worth a date; the days stay in range below.
    constexpr int64_t kLimit = int64_t{1} << 45;
    if (route.firstTimeSeconds > kLimit || route.firstTimeSeconds < -kLimit)
        return utf8ToWide(route.dateText);
    const int64_t local = route.firstTimeSeconds + int64_t{route.firstTimeOffsetMinutes} * 60;
    int64_t days = local / 86400;
    int64_t second = local % 86400;
    if (second < 0) {
        second += 86400;
        --days;
    }
    // Civil date of a day count since 1970-01-01 (proleptic Gregorian, eras of 400 years).
    const int64_t shifted = days + 719468;
    const int64_t era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    const int64_t dayOfEra = shifted - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return twoDigits(day) + u"." + twoDigits(month) + u"." + decimalText(year) + u" " +
           twoDigits(second / 3600) + u":" + twoDigits(second % 3600 / 60);
}

std::u16string formatSpeed(double meters, double seconds) {
    if (!(seconds > 0) || !std::isfinite(meters) || !std::isfinite(seconds)) return u"\u2013";
    const double kmh = meters / seconds * 3.6;
    if (!(kmh >= 0) || kmh >= 1e15) return u"\u2013";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, kmh, std::chars_format::fixed, 1);
    if (result.ec != std::errc{}) return u"\u2013";
    std::u16string text;
    for (const char* c = buffer; c != result.ptr; ++c)
        text.push_back(*c == '.' ? u',' : static_cast<char16_t>(*c));
    return text + u" km/h";
}

std::u16string weatherLineText(const RouteInfo& route, const ActiveLanguage& language) {
    // Every piece brings its own leading separator, also when nothing stands before it.
    std::u16string text = std::u16string(translate(language, "weather")) + kLineBreak;
    if (route.temperatureCount != 0) {
        text += decimalText(roundedFigure(route.temperatureC)) + u" \u00B0C";
    }
    if (!route.weatherCondition.empty()) text += u"  " + utf8ToWide(route.weatherCondition);
    if (route.humidityCount != 0) {
        text += u"  \u00B7  " + decimalText(roundedFigure(route.humidityPercent)) + u" %";
    }
    if (route.windCount != 0) {
        text += u"  \u00B7  " + decimalText(roundedFigure(route.windKmh)) + u" km/h " +
                utf8ToWide(route.windDirection);
    }
    return text;
}

std::u16string failureText(const RouteInfo& route, const ActiveLanguage& language) {
    return failureMessageText(language, route.errorText);
}

PanelTexts panelTextsFor(const RouteInfo* route, const ActiveLanguage& language) {
    PanelTexts panel;
    panel.sportItems.reserve(sportKeys.size());
    for (std::string_view key : sportKeys) panel.sportItems.emplace_back(translate(language, key));

    if (route == nullptr) {
        const std::u16string missing = u"\u2013";
        panel.title = std::u16string(translate(language, "selectRoute"));
        panel.distance = figureText(language, "distance", missing);
        panel.time = figureText(language, "time", missing);
        panel.ascent = figureText(language, "ascent", missing);
        panel.points = figureText(language, "points", missing);
        panel.speed = figureText(language, "averageSpeed", missing);
        panel.type = figureText(language, "type", missing);
        panel.start = figureText(language, "start", missing);
        panel.finish = figureText(language, "end", missing);
        panel.weatherVisibility = WeatherVisibility::keep;
        panel.sportSelection = -1;
        panel.sportEnabled = false;
        return panel;
    }

    const bool failed = !route->errorText.empty();
    // The name inside the file first, the file under it; a file that could not be analysed, or a
    // route without a name, is named by its file alone.
    const std::u16string fileName = fileNameText(*route);
    if (failed || route->routeName.empty()) {
        panel.title = fileName;
    } else {
        panel.title = utf8ToWide(route->routeName);
        panel.fileName = fileName;
    }
    panel.subtitle = startDateText(*route);
    panel.distance = figureText(language, "distance", formatDistance(route->distanceMeters));
    panel.time = figureText(language, "time", formatDuration(route->durationSeconds));
    panel.ascent = figureText(language, "ascent", formatAscent(route->ascentMeters));
    // The count is unsigned: show it whole rather than as a negative 32-bit value.
    panel.points = figureText(language, "points", decimalText(static_cast<int64_t>(route->pointCount)));
    panel.speed =
        figureText(language, "averageSpeed", formatSpeed(route->distanceMeters, route->durationSeconds));
    panel.type = figureText(language, "type",
                            std::u16string(translate(language, route->isRoundTrip ? "roundTrip" : "oneWay")));
    panel.start = figureText(language, "start", placeText(route->hasStartPlace, route->startPlace));
    panel.finish = figureText(language, "end", placeText(route->hasFinishPlace, route->finishPlace));
    if (failed) {
        // Where the weather stands, the reason: a damaged file must not look like an empty route.
        panel.weather = failureText(*route, language);
        panel.weatherVisibility = WeatherVisibility::show;
    } else if (!route->warningText.empty()) {
        // A cut file keeps its figures, but says so where a failure's reason would stand.
        panel.weather = failureMessageText(language, route->warningText);
        if (route->hasWeather) panel.weather += kLineBreak + weatherLineText(*route, language);
        panel.weatherVisibility = WeatherVisibility::show;
    } else if (route->hasWeather) {
        panel.weather = weatherLineText(*route, language);
        panel.weatherVisibility = WeatherVisibility::show;
    } else {
        panel.weatherVisibility = WeatherVisibility::hide;
    }
    for (std::size_t i = 0; i < sportKeys.size(); ++i) {
        if (sportKeys[i] == route->sportKey) panel.sportSelection = static_cast<int>(i);
    }
    panel.sportEnabled = true;
    return panel;
}
