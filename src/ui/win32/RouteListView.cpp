// The filter bar and the route list: the portable filter and row logic handed to the controls.

#include "ui/win32/RouteListView.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/Platform.h"
#include "ui/RouteListLogic.h"
#include "ui/RouteSort.h"
#include "ui/win32/DetailPanel.h"
#include "ui/win32/ListColumns.h"

namespace {

void addComboItem(HWND combo, const std::u16string& text) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(text)));
}

int comboSelection(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

std::u16string searchBoxText(const MainWindow& window) {
    std::array<wchar_t, 512> buffer{};
    const int length = GetWindowTextW(window.searchBox, buffer.data(), 511);
    if (length <= 0) return {};
    return searchTextFromBox(std::u16string_view(reinterpret_cast<const char16_t*>(buffer.data()),
                                                 static_cast<std::size_t>(length)));
}

std::u16string statusText(const MainWindow& window) {
    std::u16string text;
    if (window.libraryFolderMissing || window.libraryFolderNotListed) {
        text = translate(window.language, window.libraryFolderMissing ? "folderMissing" : "folderNotListed");
        text += u"   \u00B7   ";
        text += pathToWide(window.settings.libraryFolder);
    } else {
        text = statusLineText(window.visibleRows.size(), window.settings.libraryFolder, window.language);
    }
    if (window.settings.libraryFolderIgnored) {
        text += u"   \u00B7   ";
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
        if (column == window.listSort.column)
            format |= window.listSort.descending ? HDF_SORTDOWN : HDF_SORTUP;
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

// The list reports the selection (LVN_ITEMCHANGED), which sets selectedRow and fills the panel.
void selectListRow(const MainWindow& window, int row) {
    setRowState(window.routeList, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(window.routeList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace

std::u16string routeListCellText(const MainWindow& window, std::size_t row, std::size_t column) {
    if (row >= window.visibleRows.size() || column >= kRouteColumnCount) return {};
    const uint64_t index = window.visibleRows[row];
    if (index >= window.libraryRoutes.size()) return {};
    const RouteInfo& route = window.libraryRoutes[index];
    std::u16string text = routeColumns[column].cellText(route, window.language);
    // A file whose analysis failed, or that was cut short, is marked in the list, so that it does
    // not pass for an empty or whole route; the panel says why. Search and sorting go by the stem.
    if (column == 0 && (!route.errorText.empty() || !route.warningText.empty()))
        text.insert(0, window.brokenMark);
    return text;
}

int findRouteListRow(const MainWindow& window, std::u16string_view prefix, int start) {
    const int count = static_cast<int>(window.visibleRows.size());
    if (prefix.empty() || count == 0) return -1;
    const std::u16string wanted = lowerText(prefix);
    if (start < 0 || start >= count) start = 0;
    for (int step = 0; step < count; ++step) {
        const int row = (start + step) % count;
        const uint64_t index = window.visibleRows[static_cast<std::size_t>(row)];
        if (index >= window.libraryRoutes.size()) continue;
        // The name column shows the file stem.
        const std::u16string name = lowerText(utf8ToWide(window.libraryRoutes[index].fileStem));
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
    const auto items = filterBarItems(window.libraryRoutes, window.language);
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        HWND combo = window.filterCombos[box];
        SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
        resetCombo(combo, items[box].empty() ? std::u16string() : items[box].front());
        for (std::size_t i = 1; i < items[box].size(); ++i) addComboItem(combo, items[box][i]);
        SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(combo, nullptr, TRUE);
    }
    // The columns fit what the library now holds, in the language now shown.
    measureRouteListColumns(window);
}

void rebuildFilterBarKeepingChoices(MainWindow& window) {
    std::array<FilterChoice, kFilterCount> chosen;
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        chosen[box].index = comboSelection(window.filterCombos[box]);
        chosen[box].text = selectedFilterText(window.filterCombos[box]);
    }
    rebuildFilterBar(window);
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        HWND combo = window.filterCombos[box];
        const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        int index = routeFilters[box].routeText ? 0 : chosen[box].index;
        if (routeFilters[box].routeText && !chosen[box].text.empty()) {
            // The same text (CB_FINDSTRINGEXACT would ignore the letter case); gone: all routes.
            for (int item = 1; item < count; ++item) {
                const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, item, 0);
                if (length != static_cast<LRESULT>(chosen[box].text.size())) continue;
                std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
                SendMessageW(combo, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(buffer.data()));
                if (u16Text(buffer.data()) == chosen[box].text) {
                    index = item;
                    break;
                }
            }
        }
        if (index > 0 && index < count) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
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

namespace {

// Filters and sorts the library into the list, which then starts at its top with no row selected;
// the status line follows, the panel is left to the caller.
void fillRouteList(MainWindow& window) {
    ListFilters filters;
    filters.search = searchBoxText(window);
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        filters.choices[box].index = comboSelection(window.filterCombos[box]);
        if (routeFilters[box].routeText)
            filters.choices[box].text = selectedFilterText(window.filterCombos[box]);
    }

    // Reset also brings back library order, so it is offered while the list is sorted.
    const bool resettable = resetButtonVisible(filters) || window.listSort.column >= 0;
    ShowWindow(window.resetButton, resettable ? SW_SHOW : SW_HIDE);

    // The list holds no texts of its own (owner data): a rebuild only tells it the number of rows,
    // and it asks for the texts of the rows it paints (routeListCellText). A keystroke thus costs
    // the filtering and one paint of the visible rows, whatever the size of the library. Redraw is
    // off around the two messages so that the list paints once, not after each of them.
    SendMessageW(window.routeList, WM_SETREDRAW, FALSE, 0);
    SendMessageW(window.routeList, LVM_DELETEALLITEMS, 0, 0);
    window.visibleRows = filterRoutes(window.libraryRoutes, filters, window.language);
    sortRows(window.visibleRows, window.libraryRoutes, window.listSort, window.language);
    SendMessageW(window.routeList, LVM_SETITEMCOUNT, window.visibleRows.size(), 0);
    SendMessageW(window.routeList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window.routeList, nullptr, TRUE);

    showSortArrows(window);

    window.selectedRow = -1;
    SetWindowTextW(window.statusStatic, wideText(statusText(window)));
}

}  // namespace

void rebuildRouteList(MainWindow& window) {
    fillRouteList(window);
    refreshDetailPanel(window);
}

void rebuildRouteListKeepingSelection(MainWindow& window) {
    const RouteInfo* selected = selectedRoute(window);
    if (selected == nullptr) {
        rebuildRouteList(window);
        return;
    }
    // Found again by its file: its record may have changed, and with it its place in the order.
    const std::filesystem::path file = selected->filePath;
    const int offset =
        window.selectedRow - static_cast<int>(SendMessageW(window.routeList, LVM_GETTOPINDEX, 0, 0));
    fillRouteList(window);
    // The panel is not emptied in between: that would disable the sport box, and a disabled box
    // loses the keyboard focus.
    const auto row = std::find_if(window.visibleRows.begin(), window.visibleRows.end(), [&](uint64_t index) {
        return index < window.libraryRoutes.size() &&
               window.libraryRoutes[index].filePath.native() == file.native();
    });
    if (row == window.visibleRows.end()) {
        // The empty panel disables the sport box; the keyboard goes on in the list, not nowhere.
        if (GetFocus() == window.sportCombo) SetFocus(window.routeList);
        refreshDetailPanel(window);
        return;
    }
    const auto found = static_cast<int>(row - window.visibleRows.begin());
    // The row keeps its place on the screen where the list allows it.
    scrollRouteListTo(window, std::max(0, found - std::max(0, offset)));
    // Selecting the row reports it (LVN_ITEMCHANGED), which fills the panel; should it not, the
    // panel is filled here.
    selectListRow(window, found);
    if (window.selectedRow != found) {
        window.selectedRow = found;
        refreshDetailPanel(window);
    }
}

void scrollRouteListTo(const MainWindow& window, int top) {
    const auto count = static_cast<int>(window.visibleRows.size());
    if (count == 0) return;
    // Relative to where the list stands now: a rebuild keeps its scroll position on some systems
    // and goes back to the top on others. The list scrolls whole rows, by pixels.
    const auto now = static_cast<int>(SendMessageW(window.routeList, LVM_GETTOPINDEX, 0, 0));
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (top == now || !SendMessageW(window.routeList, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)))
        return;
    SendMessageW(window.routeList, LVM_SCROLL, 0, static_cast<LPARAM>(top - now) * (row.bottom - row.top));
}

void sortRouteListBy(MainWindow& window, int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= kRouteColumnCount) return;
    const bool hadSelection = selectedRoute(window) != nullptr;
    const uint64_t selected =
        hadSelection ? window.visibleRows[static_cast<std::size_t>(window.selectedRow)] : 0;
    window.listSort = sortAfterHeaderClick(window.listSort, static_cast<std::size_t>(column));
    // The listed rows stay the same; only their order changes. Equal values keep library order,
    // so the sort starts from it, not from the previous column's order.
    std::sort(window.visibleRows.begin(), window.visibleRows.end());
    sortRows(window.visibleRows, window.libraryRoutes, window.listSort, window.language);
    showSortArrows(window);
    ShowWindow(window.resetButton, SW_SHOW);
    // Row by row: clearing all rows at once (-1) costs the list one call per row.
    for (const UINT which : {LVNI_SELECTED, LVNI_FOCUSED}) {
        const auto row =
            static_cast<int>(SendMessageW(window.routeList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), which));
        if (row >= 0) setRowState(window.routeList, row, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    window.selectedRow = -1;
    InvalidateRect(window.routeList, nullptr, TRUE);
    const auto row = std::find(window.visibleRows.begin(), window.visibleRows.end(), selected);
    if (hadSelection && row != window.visibleRows.end()) {
        selectListRow(window, static_cast<int>(row - window.visibleRows.begin()));
    } else {
        refreshDetailPanel(window);
    }
}

void clearRouteListSort(MainWindow& window) {
    window.listSort = ListSort{};
    showSortArrows(window);
}

bool selectRouteRow(MainWindow& window, const std::filesystem::path& file) {
    for (std::size_t row = 0; row < window.visibleRows.size(); ++row) {
        const uint64_t index = window.visibleRows[row];
        if (index < window.libraryRoutes.size() &&
            window.libraryRoutes[index].filePath.native() == file.native()) {
            selectListRow(window, static_cast<int>(row));
            return true;
        }
    }
    return false;
}

LRESULT handleRouteListNotify(MainWindow& window, const NMHDR* header) {
    switch (header->code) {
        case LVN_ITEMCHANGED: {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
            if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
                change->iItem >= 0) {
                window.selectedRow = change->iItem;
                refreshDetailPanel(window);
            }
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
            if ((info->item.mask & LVIF_PARAM) && row < window.visibleRows.size()) {
                info->item.lParam = static_cast<LPARAM>(window.visibleRows[row]);
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
