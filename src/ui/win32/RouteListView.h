#pragma once
// The filter bar and the owner-data route list: filling them and answering the list's
// notifications.

#include <filesystem>
#include <string>
#include <string_view>

#include "ui/win32/MainWindow.h"

void rebuildFilterBar(MainWindow& window);
// The same for a library that changed under the list: every box keeps its choice while the
// library still offers it.
void rebuildFilterBarKeepingChoices(MainWindow& window);
// Filters and sorts the library into the list; no row stays selected.
void rebuildRouteList(MainWindow& window);
// The same, but the selected route stays selected (found again by its file) and keeps its place on
// the screen; when the filters hide it now, no row is selected, as after a plain rebuild.
void rebuildRouteListKeepingSelection(MainWindow& window);
// Scrolls the list so that `top` is its first visible row, as far as the list allows.
void scrollRouteListTo(const MainWindow& window, int top);
// A click on a column header: sorts by that column, or turns the sort round when it is the
// sorted one; the selected route stays selected.
void sortRouteListBy(MainWindow& window, int column);
// Back to library order, as after start-up.
void clearRouteListSort(MainWindow& window);
// Selects the row that shows the route of `file` and scrolls it into view; false when no row does.
bool selectRouteRow(MainWindow& window, const std::filesystem::path& file);
void resetCombo(HWND combo, const std::u16string& text);
// The text of the selected item of a combo box; empty for none or the first item.
std::u16string selectedFilterText(HWND combo);
// Text of one cell of the (owner-data) route list; empty outside the rows.
std::u16string routeListCellText(const MainWindow& window, std::size_t row, std::size_t column);
// First row from `start` on (wrapping) whose name begins with `prefix`, ASCII case folded; -1 if none.
int findRouteListRow(const MainWindow& window, std::u16string_view prefix, int start);
// WM_NOTIFY from the route list.
LRESULT handleRouteListNotify(MainWindow& window, const NMHDR* header);
