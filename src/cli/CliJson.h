#pragma once
// JSON text of route summaries: one object per route, every field of RouteInfo in its order, then
// "firstTime", the first time stamp written in its own zone (null without one).

#include <string>
#include <string_view>

#include "core/RouteInfo.h"

// A JSON string literal of UTF-8 bytes; invalid sequences become U+FFFD, control characters escaped.
std::string jsonString(std::string_view bytes);
void appendJsonString(std::string& out, std::string_view bytes);
// Shortest text that reads back as the same double; null for NaN and the infinities.
std::string jsonNumber(double value);
// One line (without line end) holding the route as a JSON object.
std::string routeJson(const RouteInfo& route);
// The same line appended to `out`, without a text of its own.
void appendRouteJson(std::string& out, const RouteInfo& route);
