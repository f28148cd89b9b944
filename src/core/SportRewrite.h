#pragma once
// Writes a sport key into the `type` element of the first track or route of a file, in place.

#include <string>
#include <string_view>

#include "core/RouteInfo.h"

// True on success; false with `message` (UTF-8, German) set. The file is never left damaged.
bool rewriteSport(const RouteInfo& route, std::string_view sportKey, std::string& message);
