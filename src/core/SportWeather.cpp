#include "core/SportWeather.h"

#include <cmath>
#include <map>

#include "core/MarkupText.h"
#include "core/ScanMarkup.h"

namespace {

constexpr const char* kEnDash = "\xE2\x80\x93";

// Words other programs write into `type`, folded to lower case with blanks and hyphens as
// underscores, so "Mountain Biking", "mountain-biking" and "MOUNTAIN_BIKING" meet one row.
// Compounds written together ("VirtualRide") are rows of their own. "1" and "9" are the numeric
// types a widely used fitness service writes for rides and runs; its bulk export's English words
// ("Mountain Bike Ride", "Alpine Ski") have rows too.
const std::map<std::string, std::string, std::less<>>& sportAliasTable() {
    static const std::map<std::string, std::string, std::less<>> table = {
        {"1", "cycling"},
        {"cycling", "cycling"},
        {"ride", "cycling"},
        {"bike", "cycling"},
        {"biking", "cycling"},
        {"road_biking", "cycling"},
        {"road_cycling", "cycling"},
        {"roadbike", "cycling"},
        {"virtualride", "cycling"},
        {"virtual_ride", "cycling"},
        {"indoor_cycling", "cycling"},
        {"handcycle", "cycling"},
        {"velomobile", "cycling"},
        {"9", "running"},
        {"running", "running"},
        {"run", "running"},
        {"virtualrun", "running"},
        {"virtual_run", "running"},
        {"street_running", "running"},
        {"track_running", "running"},
        {"treadmill_running", "running"},
        {"motorcycling", "motorcycling"},
        {"motorcycle", "motorcycling"},
        {"motorrad", "motorcycling"},
        {"driving", "driving"},
        {"car", "driving"},
        {"auto", "driving"},
        {"hiking", "hiking"},
        {"hike", "hiking"},
        {"walking", "walking"},
        {"walk", "walking"},
        {"mountain_biking", "mountain_biking"},
        {"mountainbikeride", "mountain_biking"},
        {"mountain_bike", "mountain_biking"},
        {"mountain_bike_ride", "mountain_biking"},
        {"mountainbiking", "mountain_biking"},
        {"mtb", "mountain_biking"},
        {"gravel_cycling", "gravel_cycling"},
        {"gravelride", "gravel_cycling"},
        {"gravel_ride", "gravel_cycling"},
        {"gravel_biking", "gravel_cycling"},
        {"gravel", "gravel_cycling"},
        {"e_bike", "e_bike"},
        {"ebike", "e_bike"},
        {"e_biking", "e_bike"},
        {"ebikeride", "e_bike"},
        {"e_bike_ride", "e_bike"},
        {"emountainbikeride", "e_bike"},
        {"e_mountain_bike_ride", "e_bike"},
        {"e_mountain_biking", "e_bike"},
        {"trail_running", "trail_running"},
        {"trailrun", "trail_running"},
        {"trail_run", "trail_running"},
        {"swimming", "swimming"},
        {"swim", "swimming"},
        {"open_water_swimming", "swimming"},
        {"lap_swimming", "swimming"},
        {"skiing", "skiing"},
        {"ski", "skiing"},
        {"alpineski", "skiing"},
        {"alpine_ski", "skiing"},
        {"alpine_skiing", "skiing"},
        {"nordicski", "skiing"},
        {"nordic_ski", "skiing"},
        {"nordic_skiing", "skiing"},
        {"cross_country_skiing", "skiing"},
        {"backcountryski", "skiing"},
        {"backcountry_ski", "skiing"},
        {"backcountry_skiing", "skiing"},
        {"resort_skiing", "skiing"},
        {"inline_skating", "inline_skating"},
        {"inlineskate", "inline_skating"},
        {"inline_skate", "inline_skating"},
        {"rowing", "rowing"},
        {"row", "rowing"},
        {"kayaking", "kayaking"},
        {"kayak", "kayaking"},
        {"canoeing", "kayaking"},
        {"canoe", "kayaking"},
    };
    return table;
}

const std::map<std::string, std::string, std::less<>>& sportLabelTable() {
    static const std::map<std::string, std::string, std::less<>> table = {
        {"cycling", "Rad"},           {"running", "Laufen"},
        {"motorcycling", "Motorrad"}, {"driving", "Auto"},
        {"hiking", "Wandern"},        {"walking", "Gehen"},
        {"mountain_biking", "MTB"},   {"gravel_cycling", "Gravel"},
        {"e_bike", "E-Bike"},         {"trail_running", "Trailrunning"},
        {"swimming", "Schwimmen"},    {"skiing", "Ski"},
        {"inline_skating", "Inline"}, {"rowing", "Rudern"},
        {"kayaking", "Kajak"},
    };
    return table;
}

// Mean of the values; a sum that overflows is taken in parts instead of turning into inf.
double meanOf(const std::vector<double>& values) {
    if (values.empty()) return 0;
    double sum = 0;
    for (double value : values) sum += value;
    double count = static_cast<double>(values.size());
    if (std::isfinite(sum)) return sum / count;
    double mean = 0;
    for (double value : values) mean += value / count;
    return mean;
}

int32_t countOf(const std::vector<double>& values) {
    return values.size() > 0x7fffffff ? 0x7fffffff : static_cast<int32_t>(values.size());
}

}  // namespace

std::string sportLabelFor(std::string_view sportKey) {
    const auto& table = sportLabelTable();
    auto found = table.find(sportKey);
    return found != table.end() ? found->second : std::string(sportKey);
}

std::string mostFrequentText(const std::vector<std::string>& texts) {
    std::map<std::string_view, size_t> counts;
    for (const std::string& text : texts) {
        if (!text.empty()) ++counts[text];
    }
    std::string_view kept;
    size_t keptCount = 0;
    for (const auto& [text, count] : counts) {
        if (count > keptCount) {
            kept = text;
            keptCount = count;
        }
    }
    return std::string(kept);
}

std::string sportKeyForType(std::string_view typeText) {
    std::string folded(typeText);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c == ' ' || c == '-') c = '_';
    }
    const auto& aliases = sportAliasTable();
    auto found = aliases.find(folded);
    return found != aliases.end() ? found->second : std::string();
}

void classifySport(std::string_view typeText, RouteInfo& route) {
    if (std::string key = sportKeyForType(typeText); !key.empty()) route.sportKey = std::move(key);
    if (route.sportKey.empty()) {
        if (!typeText.empty()) {
            route.sportKey = typeText;
            route.sportLabel = typeText;
        } else if (route.durationSeconds > 0) {
            double speed = route.distanceMeters / route.durationSeconds * 3.6;
            if (speed < 6.5) {
                route.sportKey = "hiking";
            } else if (speed < 14) {
                route.sportKey = "running";
            } else if (speed < 45) {
                route.sportKey = "cycling";
            } else if (speed < 160) {
                route.sportKey = "driving";
            }
            route.sportFromSpeed = !route.sportKey.empty();
        }
    }
    if (route.sportLabel.empty())
        route.sportLabel = route.sportKey.empty() ? kEnDash : sportLabelFor(route.sportKey);
}

void addWeatherNote(std::string_view attributes, WeatherNotes& notes) {
    notes.any = true;
    // A value that reads as inf or nan is no more usable than the word warm.
    double value = 0;
    if (attributeNumberView(attributes, "temp", value) && std::isfinite(value))
        notes.temperatures.push_back(value);
    if (attributeNumberView(attributes, "feuchte", value) && std::isfinite(value))
        notes.humidities.push_back(value);
    if (attributeNumberView(attributes, "wind", value) && std::isfinite(value)) notes.winds.push_back(value);
    notes.directions.push_back(attributeText(attributes, "windrichtung"));
    notes.conditions.push_back(attributeText(attributes, "lage"));
}

void summarizeWeather(const WeatherNotes& notes, RouteInfo& route) {
    route.hasWeather = notes.any;
    route.temperatureC = meanOf(notes.temperatures);
    route.temperatureCount = countOf(notes.temperatures);
    route.humidityPercent = meanOf(notes.humidities);
    route.humidityCount = countOf(notes.humidities);
    route.windKmh = meanOf(notes.winds);
    route.windCount = countOf(notes.winds);
    route.windDirection = mostFrequentText(notes.directions);
    route.weatherCondition = mostFrequentText(notes.conditions);
}
