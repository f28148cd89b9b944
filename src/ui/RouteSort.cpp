#include "ui/RouteSort.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/Platform.h"
#include "ui/RouteColumns.h"

namespace {

constexpr std::u16string_view kDash = u"\u2013";

// One row's value, worked out once before sorting so that the comparisons stay cheap.
struct RowKey {
    uint64_t route = 0;
    bool missing = false;
    double number = 0;
    std::u16string text;
};

bool isTextKey(SortKey key) {
    return key == SortKey::name || key == SortKey::sport || key == SortKey::text;
}

// Most names are plain ASCII: widened directly, they spare the conversion's cost per row.
std::u16string nameText(const std::string& stem) {
    const bool ascii =
        std::all_of(stem.begin(), stem.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? std::u16string(stem.begin(), stem.end()) : utf8ToWide(stem);
}

void setText(RowKey& row, std::u16string text, bool dashIsMissing) {
    row.missing = text.empty() || (dashIsMissing && text == kDash);
    row.text = std::move(text);
}

RowKey rowKey(const RouteInfo& route, uint64_t index, const RouteColumn& column,
              const ActiveLanguage& language) {
    RowKey row;
    row.route = index;
    switch (column.sortKey) {
        case SortKey::name:
            setText(row, nameText(route.fileStem), false);
            break;
        case SortKey::date: {
            const int32_t day = calendarDay(route.dateText);
            row.missing = day < 0;
            row.number = day;
            break;
        }
        case SortKey::distance:
            // The column shows an unreadable length as 0 m.
            row.number = std::isnan(route.distanceMeters) ? 0 : route.distanceMeters;
            break;
        case SortKey::duration:
            // Exactly where the column shows a dash.
            row.missing = !(route.durationSeconds > 0);
            row.number = route.durationSeconds;
            break;
        case SortKey::ascent:
            row.missing = !(route.ascentMeters > 0);
            row.number = route.ascentMeters;
            break;
        case SortKey::points:
            row.number = route.pointCount;
            break;
        case SortKey::sport:
            setText(row, sportDisplayText(language, route), true);
            break;
        case SortKey::text:
            // A dash here is a value (the Ghost column's "no timestamps"), not a missing one.
            setText(row, column.cellText(route, language), false);
            break;
    }
    if (!route.errorText.empty()) row.missing = true;
    return row;
}

char16_t foldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

// A-Z folded first (as lowerText does), then the code units as they are.
int compareTexts(const std::u16string& a, const std::u16string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const char16_t left = foldAscii(a[i]);
        const char16_t right = foldAscii(b[i]);
        if (left != right) return left < right ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

int compareValues(const RowKey& a, const RowKey& b, bool textual) {
    if (textual) return compareTexts(a.text, b.text);
    return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
}

int twoDigits(std::string_view text, std::size_t at) {
    const char high = text[at];
    const char low = text[at + 1];
    if (high < '0' || high > '9' || low < '0' || low > '9') return -1;
    return (high - '0') * 10 + (low - '0');
}

}  // namespace

bool sortsDescendingFirst(SortKey key) {
    return !isTextKey(key);
}

ListSort sortAfterHeaderClick(ListSort current, std::size_t column) {
    if (column >= kRouteColumnCount) return current;
    if (current.column == static_cast<int>(column)) {
        current.descending = !current.descending;
        return current;
    }
    return {static_cast<int>(column), sortsDescendingFirst(routeColumns[column].sortKey)};
}

int32_t calendarDay(std::string_view dateText) {
    if (dateText.size() != 8 || dateText[2] != '.' || dateText[5] != '.') return -1;
    const int day = twoDigits(dateText, 0);
    const int month = twoDigits(dateText, 3);
    const int year = twoDigits(dateText, 6);
    if (day < 1 || day > 31 || month < 1 || month > 12 || year < 0) return -1;
    const int32_t fullYear = year < 70 ? 2000 + year : 1900 + year;
    return fullYear * 10000 + month * 100 + day;
}

void sortRows(std::vector<uint64_t>& rows, const std::vector<RouteInfo>& routes, ListSort sort,
              const ActiveLanguage& language) {
    if (sort.column < 0 || static_cast<std::size_t>(sort.column) >= kRouteColumnCount) return;
    const RouteColumn& column = routeColumns[static_cast<std::size_t>(sort.column)];
    std::vector<RowKey> keys;
    keys.reserve(rows.size());
    for (uint64_t index : rows) {
        if (index >= routes.size()) continue;
        keys.push_back(rowKey(routes[index], index, column, language));
    }
    const bool textual = isTextKey(column.sortKey);
    const bool descending = sort.descending;
    // The positions are sorted, not the keys: moving a number is cheaper than moving a text.
    std::vector<uint32_t> order(keys.size());
    for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](uint32_t left, uint32_t right) {
        const RowKey& a = keys[left];
        const RowKey& b = keys[right];
        if (a.missing || b.missing) return !a.missing && b.missing;
        const int result = compareValues(a, b, textual);
        return descending ? result > 0 : result < 0;
    });
    rows.clear();
    for (uint32_t position : order) rows.push_back(keys[position].route);
}
