#pragma once
// Sport from the `type` text (or the average speed) and the summary of `wetter` notes.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/RouteInfo.h"

inline constexpr std::array<std::string_view, 15> sportKeys = {
    "cycling",  "running",         "motorcycling",   "driving", "hiking",
    "walking",  "mountain_biking", "gravel_cycling", "e_bike",  "trail_running",
    "swimming", "skiing",          "inline_skating", "rowing",  "kayaking"};

std::string sportLabelFor(std::string_view sportKey);
// The sport key for a word other programs write ("Ride", "Mountain Biking"); empty when unknown.
std::string sportKeyForType(std::string_view typeText);
std::string mostFrequentText(const std::vector<std::string>& texts);
// Sets sportKey, sportLabel, sportFromSpeed from the text of the track's type element (empty
// without one); distanceMeters and durationSeconds must be set.
void classifySport(std::string_view typeText, RouteInfo& route);

// The weather notes of a file, gathered one `wetter` tag at a time.
struct WeatherNotes {
    bool any = false;
    std::vector<double> temperatures, humidities, winds;
    std::vector<std::string> directions, conditions;
};
void addWeatherNote(std::string_view attributes, WeatherNotes& notes);
// Fills the weather fields from the notes of every `wetter` tag of the file.
void summarizeWeather(const WeatherNotes& notes, RouteInfo& route);
