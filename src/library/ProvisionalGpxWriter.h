#pragma once
// PROVISIONAL: a minimal Activity -> GPX 1.1 writer, only until the full writer in src/core joins
// this branch; then convertToGpx calls that one and this file goes.

#include <string>

#include "core/Activity.h"

// The activity as GPX 1.1: one track, a segment per activity segment, position, elevation, time.
std::string provisionalGpxText(const Activity& activity);
// "2024-05-01 Morning Ride.gpx": the local start date and the name, or the start time without a
// name; characters Windows refuses in names become blanks.
std::string provisionalFileName(const Activity& activity);
