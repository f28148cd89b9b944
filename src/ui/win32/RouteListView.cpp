// The filter bar and the route list: the portable view (ListView) handed to the controls.

#include "ui/win32/RouteListView.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/Platform.h"
#include "ui/ControlIds.h"
#include "ui/DuplicateTexts.h"
#include "ui/RouteListLogic.h"
#include "ui/win32/DetailPanel.h"
#include "ui/win32/FilterBar.h"
#include "ui/win32/ListColumns.h"
#include "ui/win32/OverviewView.h"

namespace {

void addComboItem(HWND combo, const std::u16string& text) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(text)));
}

int comboSelection(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

std::u16string statusText(const MainWindow& window) {
    if (!window.list.note.empty()) return window.list.note;
    std::u16string text;
    if (window.libraryFolderMissing || window.libraryFolderNotListed) {
        text = translate(window.language, window.libraryFolderMissing ? "folderMissing" : "folderNotListed");
        text += kStatusSeparator;
        text += pathToWide(window.settings.libraryFolder);
    } else {
        text = statusLineText(listedTotals(window.list), selectedTotals(window.list),
                              window.settings.libraryFolder, window.language);
    }
    if (window.list.duplicatesOnly) {
        std::u16string narrowed = duplicatesStatusText(window.list, window.language);
        narrowed += kStatusSeparator;
        text.insert(0, narrowed);
    }
    if (window.settings.libraryFolderIgnored) {
        text += kStatusSeparator;
        text += translate(window.language, "folderSettingIgnored");
    }
    return text;
}

// The arrow in the header of the sorted column; changed only where it differs, so that typing in
// the search box does not repaint the header.
void showSortArrows(const MainWindow& window) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(window.routeList, LVM_GETHEADER, 0, 0));
    if (header == nullptr) return;
    for (int column = 0; column < static_cast<int>(kRouteColumnCount); ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item))) continue;
        int format = item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == window.list.sort.column)
            format |= window.list.sort.descending ? HDF_SORTDOWN : HDF_SORTUP;
        if (format == item.fmt) continue;
        item.fmt = format;
        SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
    }
}

void setRowState(HWND list, int row, UINT state, UINT mask) {
    LVITEMW item{};
    item.stateMask = mask;
    item.state = state;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// Scrolls the list so that `top` is its first visible row, as far as the list allows.
void scrollRouteListTo(const MainWindow& window, int top) {
    // Relative to where the list stands now: a rebuild keeps its scroll position on some systems
    // and goes back to the top on others. The list scrolls whole rows, by pixels.
    const auto now = static_cast<int>(SendMessageW(window.routeList, LVM_GETTOPINDEX, 0, 0));
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (top == now || !SendMessageW(window.routeList, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)))
        return;
    SendMessageW(window.routeList, LVM_SCROLL, 0, static_cast<LPARAM>(top - now) * (row.bottom - row.top));
}

// Before a change of the view: where the user stands in the list.
void noteListPlace(MainWindow& window) {
    const auto top = static_cast<int>(SendMessageW(window.routeList, LVM_GETTOPINDEX, 0, 0));
    const auto perPage = static_cast<int>(SendMessageW(window.routeList, LVM_GETCOUNTPERPAGE, 0, 0));
    noteTopRow(window.list, window.list.rows.empty() ? -1 : top, perPage);
}

// The view's rows, selection and place handed to the list, then the status line and the panel.
void showRouteList(MainWindow& window) {
    const ListView& view = window.list;
    // Reset also brings back library order, so it is offered while the list is sorted.
    const bool resettable =
        resetButtonVisible(view.filters) || view.sort.column >= 0 || view.duplicatesOnly || view.pick.active;
    ShowWindow(window.resetButton, resettable ? SW_SHOW : SW_HIDE);

    // The list holds no texts of its own (owner data): a rebuild only tells it the number of rows,
    // and it asks for the texts of the rows it paints (routeListCellText). A keystroke thus costs
    // the filtering and one paint of the visible rows, whatever the size of the library. Redraw is
    // off while the rows and their states are set, so that the list paints once. The states the
    // window sets are the view's already: the list's reports of them are not taken back.
    window.applyingListState = true;
    SendMessageW(window.routeList, WM_SETREDRAW, FALSE, 0);
    SendMessageW(window.routeList, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(window.routeList, LVM_SETITEMCOUNT, view.rows.size(), 0);
    for (const int row : selectedRows(view)) setRowState(window.routeList, row, LVIS_SELECTED, LVIS_SELECTED);
    if (view.focusedRow >= 0) setRowState(window.routeList, view.focusedRow, LVIS_FOCUSED, LVIS_FOCUSED);
    const int anchor = rowOfFile(view, view.anchor);
    if (anchor >= 0) SendMessageW(window.routeList, LVM_SETSELECTIONMARK, 0, anchor);
    SendMessageW(window.routeList, WM_SETREDRAW, TRUE, 0);
    if (!view.rows.empty()) {
        const int top = wantedTopRow(view);
        if (top >= 0) scrollRouteListTo(window, top);
        if (view.focusedRow >= 0) SendMessageW(window.routeList, LVM_ENSUREVISIBLE, view.focusedRow, FALSE);
    }
    window.applyingListState = false;
    InvalidateRect(window.routeList, nullptr, TRUE);

    showSortArrows(window);
    SetWindowTextW(window.statusStatic, wideText(statusText(window)));
    // The empty panel disables the sport box; the keyboard goes on in the list, not nowhere.
    if (focusedRoute(view) == nullptr && GetFocus() == window.sportCombo) SetFocus(window.routeList);
    refreshDetailPanel(window);
    showOverviewState(window);
}

// After the user changed the selection: the list's anchor noted, the totals and the panel shown.
// Losing the selection (a click into empty space) leaves the panel on its focused route.
void showListSelection(MainWindow& window) {
    setAnchorRow(window.list, static_cast<int>(SendMessageW(window.routeList, LVM_GETSELECTIONMARK, 0, 0)));
    SetWindowTextW(window.statusStatic, wideText(statusText(window)));
    refreshDetailPanel(window);
}

// The search box text as the list uses it (at most 510 of the box's characters).
std::u16string searchBoxText(const MainWindow& window) {
    std::array<wchar_t, 512> buffer{};
    const int length = GetWindowTextW(window.searchBox, buffer.data(), 511);
    if (length <= 0) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), static_cast<std::size_t>(length));
}

}  // namespace

std::u16string routeListCellText(const MainWindow& window, std::size_t row, std::size_t column) {
    const RouteInfo* route = routeAtRow(window.list, row);
    if (route == nullptr || column >= kRouteColumnCount) return {};
    std::u16string text = routeColumns[column].cellText(*route, window.language);
    // A file whose analysis failed, or that was cut short, is marked in the list, so that it does
    // not pass for an empty or whole route; the panel says why. Search and sorting go by the stem.
    if (column == 0 && (!route->errorText.empty() || !route->warningText.empty()))
        text.insert(0, window.brokenMark);
    return text;
}

int findRouteListRow(const MainWindow& window, std::u16string_view prefix, int start) {
    const int count = static_cast<int>(window.list.rows.size());
    if (prefix.empty() || count == 0) return -1;
    const std::u16string wanted = lowerText(prefix);
    if (start < 0 || start >= count) start = 0;
    for (int step = 0; step < count; ++step) {
        const int row = (start + step) % count;
        const RouteInfo* route = routeAtRow(window.list, static_cast<std::size_t>(row));
        if (route == nullptr) continue;
        // The name column shows the file stem.
        const std::u16string name = lowerText(utf8ToWide(route->fileStem));
        if (name.compare(0, wanted.size(), wanted) == 0) return row;
    }
    return -1;
}

void resetCombo(HWND combo, const std::u16string& text) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    addComboItem(combo, text);
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

void rebuildFilterBar(MainWindow& window) {
    const auto items = filterBarItems(window.list.routes, window.language);
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        HWND combo = window.filterCombos[box];
        SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
        resetCombo(combo, items[box].empty() ? std::u16string() : items[box].front());
        for (std::size_t i = 1; i < items[box].size(); ++i) addComboItem(combo, items[box][i]);
        // A text is found by its code units (CB_FINDSTRINGEXACT would ignore the letter case).
        FilterChoice& choice = window.list.filters.choices[box];
        int index = choice.index;
        if (routeFilters[box].routeText) {
            const auto found = choice.text.empty()
                                   ? items[box].end()
                                   : std::find(items[box].begin() + 1, items[box].end(), choice.text);
            index = found == items[box].end() ? 0 : static_cast<int>(found - items[box].begin());
            choice.index = index;
        }
        if (index > 0 && static_cast<std::size_t>(index) < items[box].size())
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(combo, nullptr, TRUE);
    }
    // The boxes and the columns fit what the library now holds, in the language now shown.
    measureFilterBoxes(window);
    measureRouteListColumns(window);
}

std::u16string selectedFilterText(HWND combo) {
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index <= 0) return {};
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    if (copied <= 0) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), static_cast<std::size_t>(copied));
}

void changeRouteList(MainWindow& window, const std::function<void(ListView& view)>& change) {
    noteListPlace(window);
    change(window.list);
    showRouteList(window);
}

void selectAllRoutes(MainWindow& window) {
    changeRouteList(window, [](ListView& view) { setRowsSelected(view, -1, -1, true); });
}

void rebuildRouteList(MainWindow& window) {
    changeRouteList(window, [&](ListView& view) { rebuildRows(view, window.language); });
}

void routeListControlChanged(MainWindow& window, int controlId) {
    if (controlId == IDC_SEARCH) {
        if (window.fillingSearchBox) return;
        const std::u16string text = searchBoxText(window);
        changeRouteList(window, [&](ListView& view) { setSearchText(view, text, window.language); });
        return;
    }
    const std::size_t box = filterIndexOf(controlId);
    if (box >= kFilterCount) return;
    FilterChoice choice;
    choice.index = comboSelection(window.filterCombos[box]);
    if (routeFilters[box].routeText) choice.text = selectedFilterText(window.filterCombos[box]);
    changeRouteList(window, [&](ListView& view) { setFilterChoice(view, box, choice, window.language); });
}

void resetRouteList(MainWindow& window) {
    resetListFilters(window.list, window.language);
    rebuildFilterBar(window);
    // Emptying the box reports EN_CHANGE, which shows the list; without a text it does not.
    if (GetWindowTextLengthW(window.searchBox) > 0) {
        SetWindowTextW(window.searchBox, L"");
    } else {
        rebuildRouteList(window);
    }
}

void sortRouteListBy(MainWindow& window, int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= kRouteColumnCount) return;
    changeRouteList(
        window, [&](ListView& view) { sortListBy(view, static_cast<std::size_t>(column), window.language); });
}

LRESULT handleRouteListNotify(MainWindow& window, const NMHDR* header) {
    switch (header->code) {
        case LVN_ITEMCHANGED: {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
            if (window.applyingListState || !(change->uChanged & LVIF_STATE)) return 0;
            const UINT gained = change->uNewState & ~change->uOldState;
            const UINT lost = change->uOldState & ~change->uNewState;
            if (!((gained | lost) & (LVIS_SELECTED | LVIS_FOCUSED))) return 0;
            if (gained & LVIS_SELECTED) setRowsSelected(window.list, change->iItem, change->iItem, true);
            if (lost & LVIS_SELECTED) setRowsSelected(window.list, change->iItem, change->iItem, false);
            if (gained & LVIS_FOCUSED) setFocusedRow(window.list, change->iItem);
            showListSelection(window);
            return 0;
        }
        case LVN_ODSTATECHANGED: {
            // A range of rows changed at once (Shift+click, Shift+arrows).
            const auto* change = reinterpret_cast<const NMLVODSTATECHANGE*>(header);
            if (window.applyingListState) return 0;
            const UINT gained = change->uNewState & ~change->uOldState;
            const UINT lost = change->uOldState & ~change->uNewState;
            if (!((gained | lost) & LVIS_SELECTED)) return 0;
            if (gained & LVIS_SELECTED) setRowsSelected(window.list, change->iFrom, change->iTo, true);
            if (lost & LVIS_SELECTED) setRowsSelected(window.list, change->iFrom, change->iTo, false);
            showListSelection(window);
            return 0;
        }
        case LVN_GETDISPINFOW: {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header));
            const auto row = static_cast<std::size_t>(info->item.iItem < 0 ? 0 : info->item.iItem);
            if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
                const std::u16string text =
                    routeListCellText(window, row, static_cast<std::size_t>(info->item.iSubItem));
                lstrcpynW(info->item.pszText, wideText(text), info->item.cchTextMax);
            }
            if ((info->item.mask & LVIF_PARAM) && row < window.list.rows.size()) {
                info->item.lParam = static_cast<LPARAM>(window.list.rows[row]);
            }
            return 0;
        }
        case LVN_ODFINDITEMW: {
            // Typing in the list jumps to the next row whose name begins with the typed letters.
            const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
            if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz) return -1;
            return findRouteListRow(window, u16Text(find->lvfi.psz), find->iStart);
        }
        case LVN_COLUMNCLICK:
            sortRouteListBy(window, reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
            return 0;
        case LVN_DELETEALLITEMS:
            // TRUE spares one LVN_DELETEITEM per row when the list is emptied for a rebuild.
            return TRUE;
        case NM_CUSTOMDRAW: {
            auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header));
            if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
            if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
                const auto row = static_cast<int64_t>(draw->nmcd.dwItemSpec);
                const bool selected =
                    SendMessageW(window.routeList, LVM_GETITEMSTATE, draw->nmcd.dwItemSpec, LVIS_SELECTED) &
                    LVIS_SELECTED;
                draw->clrText = colorRef(kTextColor);
                draw->clrTextBk = colorRef(rowBackgroundColor(row, selected));
                // Without this the control paints its own highlight over the selected row's colour.
                draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
                return CDRF_NEWFONT;
            }
            return 0;
        }
        default:
            return 0;
    }
}
