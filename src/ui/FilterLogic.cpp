#include "ui/FilterLogic.h"

#include <algorithm>

#include "i18n/Language.h"
#include "platform/Platform.h"
#include "ui/ActiveTexts.h"

std::u16string filterHeaderText(std::string_view key) {
    // The ": all" part is borrowed from the sport box's text, so that each language keeps its own
    // colon (French blank excepted, full-width colon in Japanese and Chinese).
    std::u16string_view sportAll = translate("sportAll");
    std::size_t colon = sportAll.find(u':');
    if (colon == std::u16string_view::npos) colon = sportAll.find(u'\uFF1A');
    std::u16string header(translate(key));
    if (colon != std::u16string_view::npos) {
        header += sportAll.substr(colon);
    } else {
        header += u": all";
    }
    return header;
}

void sortDistinct(std::vector<std::u16string>& texts) {
    // std::u16string compares char16_t code units as unsigned numbers, shorter prefix first.
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
}

std::array<std::vector<std::u16string>, filterBoxCount> filterBarItems(const std::vector<RouteInfo>& routes) {
    const ActiveTexts active = resolveActiveTexts();
    auto text = [&](std::string_view key) { return std::u16string(activeText(active, key)); };

    std::array<std::vector<std::u16string>, filterBoxCount> items;
    std::vector<std::u16string> starts;
    std::vector<std::u16string> finishes;
    std::vector<std::u16string> sports;
    for (const RouteInfo& route : routes) {
        if (route.hasStartPlace) starts.push_back(utf8ToWide(route.startPlace));
        if (route.hasFinishPlace) finishes.push_back(utf8ToWide(route.finishPlace));
        // A failed record has an empty label, which is not the dash: it adds an empty item.
        if (route.sportLabel != "\u2013") sports.push_back(activeSportText(active, route));
    }
    sortDistinct(starts);
    sortDistinct(finishes);
    sortDistinct(sports);

    items[filterStart].push_back(filterHeaderText("start"));
    items[filterStart].insert(items[filterStart].end(), std::make_move_iterator(starts.begin()),
                              std::make_move_iterator(starts.end()));
    items[filterEnd].push_back(filterHeaderText("end"));
    items[filterEnd].insert(items[filterEnd].end(), std::make_move_iterator(finishes.begin()),
                            std::make_move_iterator(finishes.end()));
    items[filterSport].push_back(text("sportAll"));
    items[filterSport].insert(items[filterSport].end(), std::make_move_iterator(sports.begin()),
                              std::make_move_iterator(sports.end()));
    // The positions of the fixed items are what the list filters read back (1, 2, 3).
    items[filterGhost] = {text("ghostAll"), text("ghostReady"), text("noTimestamps")};
    items[filterType] = {text("typeAll"), text("roundTrip"), text("route")};
    items[filterLength] = {filterHeaderText("length"), u"< 5 km", u"5\u201320 km", u"> 20 km"};
    return items;
}
