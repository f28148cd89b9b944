#include "ui/TrackFigureText.h"

#include "ui/Format.h"

namespace {

std::u16string captioned(const ActiveLanguage& language, std::string_view key, const std::u16string& value) {
    return std::u16string(translate(language, key)) + u' ' + value;
}

std::u16string unitText(const ActiveLanguage& language, double value, std::string_view unitKey) {
    return decimalText(roundedFigure(value)) + u' ' + std::u16string(translate(language, unitKey));
}

}  // namespace

std::vector<std::u16string> trackFigurePieces(const RouteInfo& route, const ActiveLanguage& language) {
    std::vector<std::u16string> pieces;
    if (!route.errorText.empty()) return pieces;
    if (route.hasMovingTime)
        pieces.push_back(captioned(language, "movingTime", formatDuration(route.movingSeconds)));
    if (route.hasMaxSpeed)
        pieces.push_back(
            captioned(language, "maxSpeed", formatSpeed(route.maxSpeedKmh * 1000, 3600, language)));
    if (route.hasHeartRate) {
        pieces.push_back(captioned(language, "heartRate",
                                   std::u16string(translate(language, "averageShort")) + u' ' +
                                       decimalText(roundedFigure(route.heartRateAvg)) + u" / " +
                                       std::u16string(translate(language, "maximumShort")) + u' ' +
                                       unitText(language, route.heartRateMax, "beatsPerMinute")));
    }
    if (route.hasCadence)
        pieces.push_back(
            captioned(language, "cadence", unitText(language, route.cadenceAvg, "revolutionsPerMinute")));
    if (route.hasPower)
        pieces.push_back(captioned(language, "power", unitText(language, route.powerAvg, "watts")));
    return pieces;
}

std::vector<std::u16string> joinFigurePieces(const std::vector<std::u16string>& pieces,
                                             const std::function<bool(const std::u16string&)>& fits) {
    std::vector<std::u16string> lines;
    for (const std::u16string& piece : pieces) {
        if (!lines.empty()) {
            std::u16string longer = lines.back() + u"  \u00B7  " + piece;
            if (fits(longer)) {
                lines.back() = std::move(longer);
                continue;
            }
        }
        lines.push_back(piece);
    }
    return lines;
}
