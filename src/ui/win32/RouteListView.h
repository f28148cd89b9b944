#pragma once
// The filter bar and the owner-data route list: showing the window's ListView in them and
// answering the list's notifications. Every change of the list goes through the view (ListView),
// so that the user's selection and place in the list survive it.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "ui/win32/MainWindow.h"

// Fills the filter boxes from the view's routes, each on the view's choice.
void rebuildFilterBar(MainWindow& window);
// Notes where the user stands in the list, lets `change` change the view, and shows the result:
// the rows, the selection, the scroll position, the status line and the panel.
void changeRouteList(MainWindow& window, const std::function<void(ListView& view)>& change);
// The same without a change of the view's settings: the rows are filtered and sorted again.
void rebuildRouteList(MainWindow& window);
// Ctrl+A in the list.
void selectAllRoutes(MainWindow& window);
// The search box or a filter box changed (EN_CHANGE, CBN_SELCHANGE).
void routeListControlChanged(MainWindow& window, int controlId);
// The reset button: empty search, every filter on its first entry, library order.
void resetRouteList(MainWindow& window);
// A click on a column header: sorts by that column, or turns the sort round when it is the
// sorted one.
void sortRouteListBy(MainWindow& window, int column);
void resetCombo(HWND combo, const std::u16string& text);
// The text of the selected item of a combo box; empty for none or the first item.
std::u16string selectedFilterText(HWND combo);
// Text of one cell of the (owner-data) route list; empty outside the rows.
std::u16string routeListCellText(const MainWindow& window, std::size_t row, std::size_t column);
// First row from `start` on (wrapping) whose name begins with `prefix`, ASCII case folded; -1 if none.
int findRouteListRow(const MainWindow& window, std::u16string_view prefix, int start);
// WM_NOTIFY from the route list.
LRESULT handleRouteListNotify(MainWindow& window, const NMHDR* header);
