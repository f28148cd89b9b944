#include "ui/ListView.h"

#include <algorithm>
#include <utility>

namespace fs = std::filesystem;

namespace {

bool byNativeText(const std::filesystem::path& a, const std::filesystem::path& b) {
    return a.native() < b.native();
}

bool isSelected(const ListView& view, const std::filesystem::path& file) {
    return std::binary_search(view.selected.begin(), view.selected.end(), file, byNativeText);
}

void addSelected(ListView& view, const std::filesystem::path& file) {
    const auto place = std::lower_bound(view.selected.begin(), view.selected.end(), file, byNativeText);
    if (place == view.selected.end() || place->native() != file.native()) view.selected.insert(place, file);
}

void removeSelected(ListView& view, const std::filesystem::path& file) {
    const auto place = std::lower_bound(view.selected.begin(), view.selected.end(), file, byNativeText);
    if (place != view.selected.end() && place->native() == file.native()) view.selected.erase(place);
}

// The rows cut down to the routes of duplicate groups, each group where its first row stood and
// its rows in their order.
void limitToDuplicates(ListView& view) {
    view.duplicates = findDuplicates(view.routes);
    const std::vector<DuplicateMatch>& byRoute = view.duplicates.byRoute;
    std::vector<std::size_t> place(view.duplicates.groupCount, kNoDuplicateGroup);
    std::vector<std::size_t> start;  // by place: where the group's rows begin
    for (const uint64_t route : view.rows) {
        const std::size_t group = byRoute[route].group;
        if (group == kNoDuplicateGroup) continue;
        if (place[group] == kNoDuplicateGroup) {
            place[group] = start.size();
            start.push_back(0);
        }
        ++start[place[group]];
    }
    std::size_t total = 0;
    for (std::size_t& at : start) total += std::exchange(at, total);
    std::vector<uint64_t> rows(total);
    for (const uint64_t route : view.rows) {
        const std::size_t group = byRoute[route].group;
        if (group != kNoDuplicateGroup) rows[start[place[group]]++] = route;
    }
    view.rows = std::move(rows);
}

bool offersChoice(const RouteFilter& filter, const std::vector<RouteInfo>& routes, const std::u16string& text,
                  const ActiveLanguage& language) {
    return std::any_of(routes.begin(), routes.end(), [&](const RouteInfo& route) {
        return filter.offersItem(route) && filter.routeText(route, language) == text;
    });
}

}  // namespace

void rebuildRows(ListView& view, const ActiveLanguage& language) {
    view.rows = filterRoutes(view.routes, view.filters, language);
    if (view.pick.active)
        std::erase_if(view.rows, [&](uint64_t index) { return !routeInPick(view.routes[index], view.pick); });
    sortRows(view.rows, view.routes, view.sort, language);
    if (view.duplicatesOnly) limitToDuplicates(view);

    // One pass over the rows finds the selected files that are still listed and the focused row.
    std::vector<std::filesystem::path> listed;
    view.focusedRow = -1;
    for (std::size_t row = 0; row < view.rows.size(); ++row) {
        const std::filesystem::path& file = view.routes[view.rows[row]].filePath;
        if (!view.selected.empty() && isSelected(view, file)) listed.push_back(file);
        if (view.focusedRow < 0 && !view.focused.empty() && file.native() == view.focused.native())
            view.focusedRow = static_cast<int>(row);
    }
    std::sort(listed.begin(), listed.end(), byNativeText);
    view.selected = std::move(listed);
    if (view.focusedRow < 0) {
        // A focused route that is filtered out hands the focus to a selected one that is not.
        view.focused = view.selected.empty() ? std::filesystem::path() : view.selected.front();
        view.focusedRow = rowOfFile(view, view.focused);
    }
    if (!view.anchor.empty() && rowOfFile(view, view.anchor) < 0) view.anchor = view.focused;
}

void applyScan(ListView& view, std::vector<RouteInfo> routes, FolderSnapshot snapshot, FilterChoices choices,
               const ActiveLanguage& language) {
    view.routes = std::move(routes);
    view.snapshot = std::move(snapshot);
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        FilterChoice& choice = view.filters.choices[box];
        const RouteFilter& filter = routeFilters[box];
        if (choices == FilterChoices::reset || (filter.routeText && !choice.text.empty() &&
                                                !offersChoice(filter, view.routes, choice.text, language)))
            choice = {};
    }
    // A change from outside is no answer to the user: a note about an import stays.
    if (choices == FilterChoices::reset) {
        view.note.clear();
        view.pick = {};
    }
    rebuildRows(view, language);
}

bool applySportChange(ListView& view, RouteInfo record, const ActiveLanguage& language) {
    const auto route = std::find_if(view.routes.begin(), view.routes.end(), [&](const RouteInfo& r) {
        return r.filePath.native() == record.filePath.native();
    });
    if (route == view.routes.end()) return false;
    // The record keeps its place in library order; only a sorted list may move it.
    *route = std::move(record);
    view.note.clear();
    rebuildRows(view, language);
    return true;
}

bool applyImport(ListView& view, const std::vector<std::filesystem::path>& files, std::u16string note,
                 const ActiveLanguage& language) {
    // The arrived files are what the user looks for now: a search or filter that would hide one
    // of them is cleared.
    const bool hidden = std::any_of(view.routes.begin(), view.routes.end(), [&](const RouteInfo& route) {
        return std::any_of(files.begin(), files.end(),
                           [&](const fs::path& file) { return file.native() == route.filePath.native(); }) &&
               (!routePassesFilters(route, view.filters, language) || !routeInPick(route, view.pick));
    });
    if (hidden) {
        view.filters = {};
        view.pick = {};
    }
    view.selected.clear();
    for (const std::filesystem::path& file : files) addSelected(view, file);
    view.focused = files.empty() ? std::filesystem::path() : files.front();
    view.anchor = view.focused;
    // The place before the import does not matter: the list scrolls to the new rows.
    view.top.clear();
    view.focusedOffset = -1;
    rebuildRows(view, language);
    view.note = std::move(note);
    return hidden;
}

void setSearchText(ListView& view, std::u16string_view boxText, const ActiveLanguage& language) {
    view.filters.search = searchTextFromBox(boxText);
    view.note.clear();
    rebuildRows(view, language);
}

void setFilterChoice(ListView& view, std::size_t box, FilterChoice choice, const ActiveLanguage& language) {
    if (box >= kFilterCount) return;
    view.filters.choices[box] = std::move(choice);
    view.note.clear();
    rebuildRows(view, language);
}

void resetListFilters(ListView& view, const ActiveLanguage& language) {
    view.filters = {};
    view.duplicatesOnly = false;
    view.pick = {};
    view.sort = {};
    view.note.clear();
    rebuildRows(view, language);
}

void sortListBy(ListView& view, std::size_t column, const ActiveLanguage& language) {
    view.sort = sortAfterHeaderClick(view.sort, column);
    view.note.clear();
    rebuildRows(view, language);
}

void changeListLanguage(ListView& view, const ActiveLanguage& language) {
    view.filters.choices = {};
    view.note.clear();
    // The sport texts, by which the search, the sport filter and the sport column go, change.
    rebuildRows(view, language);
}

void setRowsSelected(ListView& view, int from, int to, bool selected) {
    const int count = static_cast<int>(view.rows.size());
    if (from < 0) {
        from = 0;
        to = count - 1;
        if (!selected) view.selected.clear();
    }
    if (selected || !view.selected.empty()) {
        for (int row = std::max(from, 0); row <= std::min(to, count - 1); ++row) {
            const RouteInfo* route = routeAtRow(view, static_cast<std::size_t>(row));
            if (route == nullptr) continue;
            if (selected) {
                addSelected(view, route->filePath);
            } else {
                removeSelected(view, route->filePath);
            }
        }
    }
    if (!selected) return;
    if (view.selected.size() == 1) view.anchor = view.selected.front();
    // The list may report the new selection before the new focus: the focus goes with it.
    if (!isSelected(view, view.focused) && from >= 0 && from < count) setFocusedRow(view, from);
}

void setFocusedRow(ListView& view, int row) {
    const RouteInfo* route = row >= 0 ? routeAtRow(view, static_cast<std::size_t>(row)) : nullptr;
    if (route == nullptr) return;
    view.focused = route->filePath;
    view.focusedRow = row;
}

void setAnchorRow(ListView& view, int row) {
    const RouteInfo* route = row >= 0 ? routeAtRow(view, static_cast<std::size_t>(row)) : nullptr;
    if (route != nullptr) view.anchor = route->filePath;
}

void noteTopRow(ListView& view, int topRow, int rowsOnScreen) {
    const RouteInfo* route = topRow >= 0 ? routeAtRow(view, static_cast<std::size_t>(topRow)) : nullptr;
    view.top = route ? route->filePath : std::filesystem::path();
    const int offset = view.focusedRow - topRow;
    view.focusedOffset = route && offset >= 0 && offset < rowsOnScreen ? offset : -1;
}

const RouteInfo* routeAtRow(const ListView& view, std::size_t row) {
    if (row >= view.rows.size() || view.rows[row] >= view.routes.size()) return nullptr;
    return &view.routes[view.rows[row]];
}

const RouteInfo* focusedRoute(const ListView& view) {
    return view.focusedRow >= 0 ? routeAtRow(view, static_cast<std::size_t>(view.focusedRow)) : nullptr;
}

int rowOfFile(const ListView& view, const std::filesystem::path& file) {
    if (file.empty()) return -1;
    for (std::size_t row = 0; row < view.rows.size(); ++row) {
        const RouteInfo* route = routeAtRow(view, row);
        if (route && route->filePath.native() == file.native()) return static_cast<int>(row);
    }
    return -1;
}

std::vector<int> selectedRows(const ListView& view) {
    std::vector<int> rows;
    if (view.selected.empty()) return rows;
    for (std::size_t row = 0; row < view.rows.size(); ++row) {
        const RouteInfo* route = routeAtRow(view, row);
        if (route && isSelected(view, route->filePath)) rows.push_back(static_cast<int>(row));
    }
    return rows;
}

int wantedTopRow(const ListView& view) {
    // The focused row keeps its height on the screen; without it the first row stays first.
    if (view.focusedRow >= 0 && view.focusedOffset >= 0)
        return std::max(0, view.focusedRow - view.focusedOffset);
    return rowOfFile(view, view.top);
}

RouteTotals listedTotals(const ListView& view) {
    RouteTotals totals;
    for (std::size_t row = 0; row < view.rows.size(); ++row) {
        if (const RouteInfo* route = routeAtRow(view, row)) addToTotals(totals, *route);
    }
    return totals;
}

RouteTotals selectedTotals(const ListView& view) {
    RouteTotals totals;
    for (const int row : selectedRows(view))
        addToTotals(totals, *routeAtRow(view, static_cast<std::size_t>(row)));
    return totals;
}

bool showDuplicatesOnly(ListView& view, const ActiveLanguage& language) {
    view.duplicatesOnly = findDuplicates(view.routes).groupCount > 0;
    view.note = view.duplicatesOnly ? std::u16string() : std::u16string(translate(language, "noDuplicates"));
    rebuildRows(view, language);
    return view.duplicatesOnly;
}

void endDuplicatesOnly(ListView& view, const ActiveLanguage& language) {
    view.duplicatesOnly = false;
    view.duplicates = {};
    view.note.clear();
    rebuildRows(view, language);
}

void setOverviewPick(ListView& view, OverviewPick pick, const ActiveLanguage& language) {
    view.pick = pick;
    view.note.clear();
    rebuildRows(view, language);
}

std::vector<uint64_t> overviewRows(const ListView& view, const ActiveLanguage& language) {
    return view.pick.active ? filterRoutes(view.routes, view.filters, language) : view.rows;
}
