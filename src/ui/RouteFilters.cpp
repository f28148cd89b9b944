#include "ui/RouteFilters.h"

#include <algorithm>

std::u16string filterHeaderText(const ActiveLanguage& language, std::string_view key) {
    // The ": all" part is borrowed from the sport box's text, so that each language keeps its own
    // colon (French blank excepted, full-width colon in Japanese and Chinese).
    std::u16string_view sportAll = translate(language, "sportAll");
    std::size_t colon = sportAll.find(u':');
    if (colon == std::u16string_view::npos) colon = sportAll.find(u'\uFF1A');
    std::u16string header(translate(language, key));
    if (colon != std::u16string_view::npos) {
        header += sportAll.substr(colon);
    } else {
        header += u": all";
    }
    return header;
}

bool isFilterControl(int controlId) {
    return std::any_of(routeFilters.begin(), routeFilters.end(),
                       [&](const RouteFilter& filter) { return filter.controlId == controlId; });
}

void sortDistinct(std::vector<std::u16string>& texts) {
    // std::u16string compares char16_t code units as unsigned numbers, shorter prefix first.
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
}

std::array<std::vector<std::u16string>, kFilterCount> filterBarItems(const std::vector<RouteInfo>& routes,
                                                                     const ActiveLanguage& language) {
    std::array<std::vector<std::u16string>, kFilterCount> items;
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        const RouteFilter& filter = routeFilters[box];
        std::vector<std::u16string> rest;
        if (filter.routeText) {
            for (const RouteInfo& route : routes) {
                if (filter.offersItem(route)) rest.push_back(filter.routeText(route, language));
            }
            sortDistinct(rest);
        } else if (filter.choiceItems) {
            // Their positions are what the list filters read back (1, 2, ...).
            rest = filter.choiceItems(language);
        }
        items[box].reserve(rest.size() + 1);
        items[box].push_back(filter.firstItem(language));
        items[box].insert(items[box].end(), std::make_move_iterator(rest.begin()),
                          std::make_move_iterator(rest.end()));
    }
    return items;
}

bool filterActive(const RouteFilter& filter, const FilterChoice& choice) {
    return filter.routeText ? !choice.text.empty() : choice.index > 0;
}

bool filterPasses(const RouteFilter& filter, const FilterChoice& choice, const RouteInfo& route,
                  const ActiveLanguage& language) {
    if (!filterActive(filter, choice)) return true;
    if (filter.routeText) return filter.routeText(route, language) == choice.text;
    return filter.passesChoice(route, choice.index);
}
