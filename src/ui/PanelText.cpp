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

// The file's own name, as the user sees it in a folder; the stem where the record has no path.
std::u16string fileNameText(const RouteInfo& route) {
    if (route.filePath.has_filename()) return pathToWide(route.filePath.filename());
    return utf8ToWide(route.fileStem);
}

std::u16string placeText(bool known, const std::string& place) {
    return known && !place.empty() ? utf8ToWide(place) : std::u16string(u"\u2013");
}

}  // namespace

PanelTexts panelTextsForSelection(const RouteTotals& totals, const ActiveLanguage& language) {
    PanelTexts panel = panelTextsFor(nullptr, language);
    panel.title =
        fillIn(translate(language, "selectedCount"), u"{n}", decimalText(static_cast<int64_t>(totals.count)));
    panel.distance = figureText(language, "distance", formatDistance(totals.meters, language));
    panel.time = figureText(language, "time", formatDuration(totals.seconds));
    panel.ascent = figureText(language, "ascent", formatAscent(totals.ascentMeters, language));
    panel.points = figureText(language, "points", decimalText(static_cast<int64_t>(totals.points)));
    panel.weatherVisibility = WeatherVisibility::hide;
    return panel;
}

std::u16string weatherLineText(const RouteInfo& route, const ActiveLanguage& language) {
    // Every piece brings its own leading separator, also when nothing stands before it.
    std::u16string text = std::u16string(translate(language, "weather")) + kLineBreak;
    if (route.temperatureCount != 0) {
        text += formatTemperature(route.temperatureC, language);
    }
    if (!route.weatherCondition.empty()) text += u"  " + utf8ToWide(route.weatherCondition);
    if (route.humidityCount != 0) {
        text += u"  \u00B7  " + decimalText(roundedFigure(route.humidityPercent)) + u" %";
    }
    if (route.windCount != 0) {
        text +=
            u"  \u00B7  " + formatWindSpeed(route.windKmh, language) + u" " + utf8ToWide(route.windDirection);
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
    panel.subtitle = formatDateTime(*route, language);
    panel.distance = figureText(language, "distance", formatDistance(route->distanceMeters, language));
    panel.time = figureText(language, "time", formatDuration(route->durationSeconds));
    panel.ascent = figureText(language, "ascent", formatAscent(route->ascentMeters, language));
    // The count is unsigned: show it whole rather than as a negative 32-bit value.
    panel.points = figureText(language, "points", decimalText(static_cast<int64_t>(route->pointCount)));
    panel.speed = figureText(language, "averageSpeed",
                             formatSpeed(route->distanceMeters, route->durationSeconds, language));
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
