#pragma once
// New file names from a pattern such as "{date} {sport} {name}", for renaming many routes at once.
// The names are ones every system takes, never replace a file and stay unique within the batch.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "platform/Platform.h"

inline constexpr std::u16string_view kDefaultRenamePattern = u"{date} {sport} {name}";

// The stem the pattern gives a route: {date} (YYYY-MM-DD) and {time} (HHMM) of the first time
// stamp in its own zone, {sport} and {length} as the list shows them, {name}, {stem}. A missing
// value leaves its field empty; characters and names Windows refuses are replaced, blanks
// collapse, and a result with nothing left is the current stem. Not yet cut to length.
std::u16string patternStem(std::u16string_view pattern, const RouteInfo& route,
                           const ActiveLanguage& language);

struct RenameStep {
    std::filesystem::path from;
    std::filesystem::path to;  // equal to `from`: the file keeps its name
    std::u16string stem;       // what the pattern gave, before numbering and cutting
};

// One step per route, in order. A name taken by a file on the disk or by an earlier step gets
// " 2", " 3", …; the extension stays, and a name past the system's limit is cut.
std::vector<RenameStep> planRenames(std::u16string_view pattern, const std::vector<const RouteInfo*>& routes,
                                    const ActiveLanguage& language);

// Carries out a step without ever replacing a file; a name taken meanwhile moves on to the next
// free number, and `step.to` tells the name the file got.
FileError applyRename(RenameStep& step);
