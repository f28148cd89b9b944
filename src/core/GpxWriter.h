#pragma once
// Writes an activity read from a recording as a GPX 1.1 file the library can keep, and names it.

#include <string>
#include <string_view>

#include "core/Activity.h"

// The whole GPX text: one track with a segment per pause-free stretch; heart rate, cadence and
// temperature in the common track point extension, power beside it. `fallbackName` names the
// track when the activity has no name of its own.
std::string gpxFromActivity(const Activity& activity, std::string_view fallbackName);

// "2024-05-01": the day the activity started in the local time it was recorded in (UTC when the
// offset is unknown); empty without any time.
std::string activityLocalDate(const Activity& activity);

// The new file's name without extension: "2024-05-01 Morning Ride", the local date and the
// activity's name, or `sportName` when it has none. The caller makes it a name the disk takes.
std::string activityFileStem(const Activity& activity, std::string_view sportName);
