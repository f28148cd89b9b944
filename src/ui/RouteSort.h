#pragma once
// The order of the list when the user sorts it by a column: what each column sorts by, the
// direction of a header click, and the stable ordering of the listed rows.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/RouteInfo.h"
#include "i18n/Language.h"

// What a column's rows are ordered by.
enum class SortKey {
    name,      // the file stem, ASCII letters folded, then code units
    date,      // the calendar date of the dd.mm.yy text
    distance,  // the numbers behind the figure columns
    duration,
    ascent,
    points,
    sport,  // the sport's text without the mark of a guessed sport
    text,   // the cell text as shown
};

// Texts sort ascending on the first click; dates and figures newest and largest first.
bool sortsDescendingFirst(SortKey key);

struct ListSort {
    int column = -1;  // -1: library order
    bool descending = false;
};

// The sort after a click on the header of `column`: the same column turns round, another one
// starts in its first direction.
ListSort sortAfterHeaderClick(ListSort current, std::size_t column);

// "dd.mm.yy" as the number yyyymmdd, years 00-69 in 2000-2069 and 70-99 in 1970-1999; -1 for any
// other text (the dash of an undated route, the empty date of a failed record).
int32_t calendarDay(std::string_view dateText);

// Orders `rows` (indices into `routes`) by the sort's column. Rows whose value is missing (failed
// records, empty or dashed cells) come last in either direction; equal values keep their order,
// which is library order. Without a column the rows stay as they are.
void sortRows(std::vector<uint64_t>& rows, const std::vector<RouteInfo>& routes, ListSort sort,
              const ActiveLanguage& language);
