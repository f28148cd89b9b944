#pragma once
// The order of the list when the user sorts it by a column: the values a column's rows are
// compared by (each column's rule is a field of the column table, RouteColumns.h), the direction
// of a header click, and the stable ordering of the listed rows.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/RouteInfo.h"
#include "i18n/Language.h"

// One row's value in the sorted column, worked out once per row before sorting so that the
// comparisons stay cheap. Rows compare by number, then by text (ASCII letters folded first, then
// the code units). A missing value comes after every other one in either direction.
struct SortValue {
    bool missing = false;
    double number = 0;
    std::u16string text;
};

SortValue numberValue(double number, bool missing = false);
// An empty text is missing, and so is the dash where `dashIsMissing`.
SortValue textValue(std::u16string text, bool dashIsMissing = false);
// A file stem (UTF-8), converted cheaply where it is plain ASCII, as most are.
SortValue nameValue(const std::string& stem);

struct ListSort {
    int column = -1;  // -1: library order
    bool descending = false;
};

// The sort after a click on the header of `column`: the same column turns round, another one
// starts in its first direction. A column without a sort rule changes nothing.
ListSort sortAfterHeaderClick(ListSort current, std::size_t column);

// "dd.mm.yy" as the number yyyymmdd, years 00-69 in 2000-2069 and 70-99 in 1970-1999; -1 for any
// other text (the dash of an undated route, the empty date of a failed record).
int32_t calendarDay(std::string_view dateText);

// Orders `rows` (indices into `routes`) by the sort's column. Rows whose value is missing, and the
// records of failed files, come last in either direction; equal values keep their order, which is
// library order. Without a column the rows stay as they are.
void sortRows(std::vector<uint64_t>& rows, const std::vector<RouteInfo>& routes, ListSort sort,
              const ActiveLanguage& language);
