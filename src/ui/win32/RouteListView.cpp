// The filter bar and the route list: the portable filter and row logic handed to the controls.

#include <array>
#include <vector>

#include "library/LibraryScan.h"
#include "library/Settings.h"
#include "platform/Platform.h"
#include "ui/FilterLogic.h"
#include "ui/RouteListLogic.h"
#include "ui/win32/MainWindow.h"

namespace {

void addComboItem(HWND combo, const std::u16string& text) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(text)));
}

int comboSelection(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

std::u16string searchBoxText() {
    std::array<wchar_t, 512> buffer{};
    const int length = GetWindowTextW(searchBox, buffer.data(), 511);
    if (length <= 0) return {};
    return searchTextFromBox(std::u16string_view(reinterpret_cast<const char16_t*>(buffer.data()),
                                                 static_cast<std::size_t>(length)));
}

}  // namespace

std::u16string routeListCellText(std::size_t row, std::size_t column) {
    if (row >= visibleRows.size() || column >= kRouteListColumnCount) return {};
    const uint64_t index = visibleRows[row];
    if (index >= libraryRoutes.size()) return {};
    return routeRowTexts(libraryRoutes[index])[column];
}

int findRouteListRow(std::u16string_view prefix, int start) {
    const int count = static_cast<int>(visibleRows.size());
    if (prefix.empty() || count == 0) return -1;
    const std::u16string wanted = lowerText(prefix);
    if (start < 0 || start >= count) start = 0;
    for (int step = 0; step < count; ++step) {
        const int row = (start + step) % count;
        const uint64_t index = visibleRows[static_cast<std::size_t>(row)];
        if (index >= libraryRoutes.size()) continue;
        // The name column shows the file stem.
        const std::u16string name = lowerText(utf8ToWide(libraryRoutes[index].fileStem));
        if (name.compare(0, wanted.size(), wanted) == 0) return row;
    }
    return -1;
}

void resetCombo(HWND combo, const std::u16string& text) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    addComboItem(combo, text);
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

void rebuildFilterBar() {
    const auto items = filterBarItems(libraryRoutes);
    const std::array<HWND, filterBoxCount> combos = {startFilterCombo, endFilterCombo,  sportFilterCombo,
                                                     ghostFilterCombo, typeFilterCombo, lengthFilterCombo};
    for (std::size_t box = 0; box < filterBoxCount; ++box) {
        HWND combo = combos[box];
        SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
        resetCombo(combo, items[box].empty() ? std::u16string() : items[box].front());
        for (std::size_t i = 1; i < items[box].size(); ++i) addComboItem(combo, items[box][i]);
        SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(combo, nullptr, TRUE);
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

void rebuildRouteList() {
    ListFilters filters;
    filters.search = searchBoxText();
    filters.start = selectedFilterText(startFilterCombo);
    filters.finish = selectedFilterText(endFilterCombo);
    filters.sport = selectedFilterText(sportFilterCombo);
    filters.ghost = comboSelection(ghostFilterCombo);
    filters.type = comboSelection(typeFilterCombo);
    filters.length = comboSelection(lengthFilterCombo);

    ShowWindow(resetButton, resetButtonVisible(filters) ? SW_SHOW : SW_HIDE);

    // The list holds no texts of its own (owner data): a rebuild only tells it the number of rows,
    // and it asks for the texts of the rows it paints (routeListCellText). A keystroke thus costs
    // the filtering and one paint of the visible rows, whatever the size of the library. Redraw is
    // off around the two messages so that the list paints once, not after each of them.
    SendMessageW(routeList, WM_SETREDRAW, FALSE, 0);
    SendMessageW(routeList, LVM_DELETEALLITEMS, 0, 0);
    visibleRows = filterRoutes(libraryRoutes, filters);
    SendMessageW(routeList, LVM_SETITEMCOUNT, visibleRows.size(), 0);
    SendMessageW(routeList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(routeList, nullptr, TRUE);

    selectedRow = -1;
    SetWindowTextW(statusStatic, wideText(statusLineText(visibleRows.size(), libraryFolder)));
    refreshDetailPanel();
}
