#pragma once
// Activities (and courses) of a TCX file as the program's Activity records.

#include <string_view>
#include <vector>

#include "core/Activity.h"

struct TcxRead {
    std::vector<Activity> activities;
    // Empty when the file was read; otherwise the translation key of the reason ("reasonDamagedTcx").
    std::string_view failureKey;
};

// Reads every Activity and Course of the file in one pass without recursion, in linear time. A
// track ends a segment; a point without a position is not kept but noted in the activity. Markup
// that is not well nested, or a file that is no TCX at all, gives the failure.
TcxRead readTcx(std::string_view bytes);
