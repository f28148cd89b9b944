#include "ui/PanelText.h"

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

}  // namespace

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
        panel.weatherVisibility = WeatherVisibility::keep;
        panel.sportSelection = -1;
        panel.sportEnabled = false;
        return panel;
    }

    const bool failed = !route->errorText.empty();
    // A file that could not be analysed has no name of its own: its file stem says which it is.
    panel.title = utf8ToWide(failed ? route->fileStem : route->routeName);
    panel.subtitle = utf8ToWide(route->dateText);
    panel.distance = figureText(language, "distance", formatDistance(route->distanceMeters));
    panel.time = figureText(language, "time", formatDuration(route->durationSeconds));
    panel.ascent = figureText(language, "ascent", formatAscent(route->ascentMeters));
    // The count is unsigned: show it whole rather than as a negative 32-bit value.
    panel.points = figureText(language, "points", decimalText(static_cast<int64_t>(route->pointCount)));
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
