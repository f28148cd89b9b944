#pragma once
// What the route list shows and where the user stands in it, apart from any window: the library's
// records, the search, filters and sort that pick and order the rows, and the selection and scroll
// position. The selection and the scroll position are held by file, not by row, so that they
// survive every rebuild of the rows in which their routes are still listed. The window shows this
// record after each change and reports the user's selection back into it.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "library/Duplicates.h"
#include "library/FolderSnapshot.h"
#include "ui/Overview.h"
#include "ui/RouteListLogic.h"
#include "ui/RouteSort.h"

struct ListView {
    std::vector<RouteInfo> routes;  // library order
    FolderSnapshot snapshot;        // the library's files as `routes` was read from them
    ListFilters filters;            // the search text and the filter bar's choices
    ListSort sort;                  // column -1: library order
    std::vector<uint64_t> rows;     // row -> index into routes

    // The selected files (ordered by their native text), the focused one, which the panel shows,
    // and the one a Shift+click extends from. The focus outlives a click into empty space, which
    // only takes the selection away.
    std::vector<std::filesystem::path> selected;
    std::filesystem::path focused;
    std::filesystem::path anchor;
    int focusedRow = -1;  // the row of `focused`, -1 when it is not listed

    // The scroll position: the route in the first visible row, and how far below it the focused
    // row stood (-1: not on screen). Noted by the window before a change, restored after it.
    std::filesystem::path top;
    int focusedOffset = -1;

    // Says what an import brought; shown instead of the status line until the user's next change.
    std::u16string note;

    // Find duplicates: the rows are limited to the routes that have a duplicate, each group's rows
    // together; it lasts through rescans, searches and sorts until it is ended or the list reset.
    bool duplicatesOnly = false;
    DuplicateGroups duplicates;  // of `routes`, found again at each rebuild while duplicatesOnly
    // A cell or bar clicked in the overview narrows the list further, shown as a note above the
    // list; the reset clears it.
    OverviewPick pick;
};

// Whether the filter choices survive new records: a scan the user asked for starts the filter bar
// afresh, a change from outside keeps each choice the library still offers.
enum class FilterChoices { reset, keepOffered };

// New records and the listing they were read from (a scan or a rescan of the folder).
void applyScan(ListView& view, std::vector<RouteInfo> routes, FolderSnapshot snapshot, FilterChoices choices,
               const ActiveLanguage& language);
// The new record of a route whose file the program rewrote; false when no record has its file.
bool applySportChange(ListView& view, RouteInfo record, const ActiveLanguage& language);
// Files just imported (their records already read): they become the selection, the first listed
// one focused, and `note` says what arrived. A search or filter that would hide one of them is
// cleared; true when that happened.
bool applyImport(ListView& view, const std::vector<std::filesystem::path>& files, std::u16string note,
                 const ActiveLanguage& language);
void setSearchText(ListView& view, std::u16string_view boxText, const ActiveLanguage& language);
void setFilterChoice(ListView& view, std::size_t box, FilterChoice choice, const ActiveLanguage& language);
// The reset button: no search, every filter on its first entry, library order.
void resetListFilters(ListView& view, const ActiveLanguage& language);
// A click on a column header (sortAfterHeaderClick).
void sortListBy(ListView& view, std::size_t column, const ActiveLanguage& language);
// The filter bar is refilled in the new language: the filters return to their first entries.
void changeListLanguage(ListView& view, const ActiveLanguage& language);
// Filters and sorts the routes into the rows; selected files that are no longer listed are dropped.
void rebuildRows(ListView& view, const ActiveLanguage& language);

// The list's own selection changes. `from` to `to` are rows (inclusive); -1 stands for every row.
void setRowsSelected(ListView& view, int from, int to, bool selected);
void setFocusedRow(ListView& view, int row);
// The row a Shift+click or Shift+arrow extends from, as the list reports it.
void setAnchorRow(ListView& view, int row);
// Before a change: the list's first visible row and how many rows fit on the screen, so that the
// user's place can be found again.
void noteTopRow(ListView& view, int topRow, int rowsOnScreen);

const RouteInfo* routeAtRow(const ListView& view, std::size_t row);
const RouteInfo* focusedRoute(const ListView& view);
// The row that lists `file`; -1 when none does.
int rowOfFile(const ListView& view, const std::filesystem::path& file);
// The rows of the selected files, ascending.
std::vector<int> selectedRows(const ListView& view);
// What the listed routes, and the selected ones, add up to.
RouteTotals listedTotals(const ListView& view);
RouteTotals selectedTotals(const ListView& view);
// The row that should be first on screen after a change, or -1 to leave the list where it is.
int wantedTopRow(const ListView& view);

// Find duplicates on: the list narrowed to the duplicate groups. Without any duplicate nothing is
// narrowed and `note` says so; false then.
bool showDuplicatesOnly(ListView& view, const ActiveLanguage& language);
// The whole list again (Escape).
void endDuplicatesOnly(ListView& view, const ActiveLanguage& language);
// The overview's narrowing (an inactive pick clears it).
void setOverviewPick(ListView& view, OverviewPick pick, const ActiveLanguage& language);
// The rows the overview adds up: the search and the filters, without the overview's own narrowing.
std::vector<uint64_t> overviewRows(const ListView& view, const ActiveLanguage& language);
