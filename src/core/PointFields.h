#pragma once
// A track or route point's own figures (coordinates, elevation, time) from its attribute list and
// content, the way the analysis counts them.

#include <string>
#include <string_view>

#include "core/ScanMarkup.h"
#include "core/TrackAnalysis.h"

// False when the point lacks a usable coordinate: it is then left out. `buffer` holds decoded
// text for the moment (it is reused from point to point).
bool readPointFields(std::string_view text, const PointMatch& match, TrackPoint& point, std::string& buffer);
// The same by the general searches alone, without the quick reading of the common form that
// readPointFields tries first; both must always agree.
bool readPointFieldsGeneral(std::string_view text, const PointMatch& match, TrackPoint& point,
                            std::string& buffer);
