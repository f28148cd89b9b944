#include "ui/RouteSort.h"

#include <algorithm>

#include "platform/Platform.h"
#include "ui/RouteColumns.h"

namespace {

constexpr std::u16string_view kDash = u"\u2013";

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

int compareValues(const SortValue& a, const SortValue& b) {
    if (a.number != b.number) return a.number < b.number ? -1 : 1;
    return compareTexts(a.text, b.text);
}

int twoDigits(std::string_view text, std::size_t at) {
    const char high = text[at];
    const char low = text[at + 1];
    if (high < '0' || high > '9' || low < '0' || low > '9') return -1;
    return (high - '0') * 10 + (low - '0');
}

}  // namespace

SortValue numberValue(double number, bool missing) {
    SortValue value;
    value.missing = missing;
    value.number = number;
    return value;
}

SortValue textValue(std::u16string text, bool dashIsMissing) {
    SortValue value;
    value.missing = text.empty() || (dashIsMissing && text == kDash);
    value.text = std::move(text);
    return value;
}

SortValue nameValue(const std::string& stem) {
    const bool ascii =
        std::all_of(stem.begin(), stem.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return textValue(ascii ? std::u16string(stem.begin(), stem.end()) : utf8ToWide(stem));
}

ListSort sortAfterHeaderClick(ListSort current, std::size_t column) {
    if (column >= kRouteColumnCount || routeColumns[column].sortValue == nullptr) return current;
    if (current.column == static_cast<int>(column)) {
        current.descending = !current.descending;
        return current;
    }
    return {static_cast<int>(column), routeColumns[column].descendingFirst};
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
    if (column.sortValue == nullptr) return;
    std::vector<uint64_t> listed;
    std::vector<SortValue> values;
    listed.reserve(rows.size());
    values.reserve(rows.size());
    for (uint64_t index : rows) {
        if (index >= routes.size()) continue;
        listed.push_back(index);
        values.push_back(column.sortValue(routes[index], language));
        if (!routes[index].errorText.empty()) values.back().missing = true;
    }
    const bool descending = sort.descending;
    // The positions are sorted, not the values: moving a number is cheaper than moving a text.
    std::vector<uint32_t> order(values.size());
    for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](uint32_t left, uint32_t right) {
        const SortValue& a = values[left];
        const SortValue& b = values[right];
        if (a.missing || b.missing) return !a.missing && b.missing;
        const int result = compareValues(a, b);
        return descending ? result > 0 : result < 0;
    });
    rows.clear();
    for (uint32_t position : order) rows.push_back(listed[position]);
}
