#pragma once
// Reads the activities a FIT file holds (a watch's or bike computer's recording) from its bytes.
// Every size and count in the file is checked against the bytes that are really there, so any
// input gives a result; what could be read before a fault is kept.

#include <string_view>
#include <vector>

#include "core/Activity.h"

// Why a file could not be read whole; the caller words it for the user.
enum class FitProblem {
    none,
    notFit,       // the bytes do not start with a FIT header
    badHeader,    // a header (also of a later file in a chain) is damaged, or data follows that is none
    cut,          // the file ends before the data its header announces
    badChecksum,  // the data does not match its checksum
    badMessage,   // a message refers to a definition the file never gave
    noActivity,   // a sound FIT file without recorded points (settings, a workout plan, ...)
};

struct FitDecoding {
    // One per FIT file that recorded points (several FIT files may be chained in one file); an
    // activity recorded without positions has no segments and says so.
    std::vector<Activity> activities;
    FitProblem problem = FitProblem::none;
    // The activities are what could be read before the problem: there may have been more.
    bool partial = false;
};

// `everyRecord`, when given, receives every recorded point in file order, also those without a
// position (their lat and lon are NaN).
FitDecoding decodeFit(std::string_view bytes, std::vector<ActivityPoint>* everyRecord = nullptr);

// The program's sport key for a FIT sport and sub-sport number, empty for those it has none for.
std::string_view sportKeyForFit(int sport, int subSport);
