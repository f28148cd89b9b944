#pragma once
// Sport from the `type` text (or the average speed) and the summary of `wetter` notes.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/RouteInfo.h"

inline constexpr std::array<std::string_view, 15> sportKeys = {
    "cycling", "running",        "motorcycling", "driving",  "hiking",
    "walking", "mountain_biking", "gravel_cycling", "e_bike", "trail_running",
    "swimming", "skiing",        "inline_skating", "rowing", "kayaking"};

std::string sportLabelFor(std::string_view sportKey);
std::string mostFrequentText(const std::vector<std::string>& texts);
// Sets sportKey, sportLabel, sportFromSpeed; distanceMeters and durationSeconds must be set.
void classifySport(std::string_view scope, RouteInfo& route);
// Fills the weather fields from every `wetter` element of the whole file text.
void summarizeWeather(std::string_view text, RouteInfo& route);
