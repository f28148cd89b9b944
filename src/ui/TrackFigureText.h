#pragma once
// The panel's texts for the figures of a track's points: moving time and maximum speed, heart rate,
// cadence and power, each only where the route has it.

#include <functional>
#include <string>
#include <vector>

#include "core/RouteInfo.h"
#include "i18n/Language.h"

// "Moving time 1:02:03", "Max speed 42.3 km/h", "Heart rate avg 120 · max 165 bpm",
// "Cadence 85 rpm", "Power 210 W", in this order; none for a route without them.
std::vector<std::u16string> trackFigurePieces(const RouteInfo& route, const ActiveLanguage& language);
// The pieces as lines: each line takes the next piece behind a separator while `fits` says the
// line is not too wide for it; a piece that does not fit alone still gets a line of its own.
std::vector<std::u16string> joinFigurePieces(const std::vector<std::u16string>& pieces,
                                             const std::function<bool(const std::u16string&)>& fits);
