#pragma once
// What the window and the console tool say about routes that are there twice.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "library/Duplicates.h"
#include "library/Import.h"

struct ListView;

// "Same file as Tour 2.gpx": why the route at `index` belongs to its group; empty when it has no
// duplicate.
std::u16string duplicateReasonText(const DuplicateGroups& groups, const std::vector<RouteInfo>& routes,
                                   std::size_t index, const ActiveLanguage& language);
// The status line's start while the list shows only duplicates: "Duplicate groups: 3   ·   Same
// file as Tour 2.gpx   ·   Esc shows all", the reason that of the focused route.
std::u16string duplicatesStatusText(const ListView& view, const ActiveLanguage& language);
// "Tour.gpx: already in the library as Tour 2.gpx" for the first sources the import did not copy
// because the library had them, then how many more; empty when there were none.
std::u16string alreadyInLibraryText(const std::vector<std::filesystem::path>& sources,
                                    const std::vector<ImportResult>& results, const ActiveLanguage& language);
