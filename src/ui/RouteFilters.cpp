#include "ui/RouteFilters.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "core/SportWeather.h"

bool isFilterControl(int controlId) {
    return std::any_of(routeFilters.begin(), routeFilters.end(),
                       [&](const RouteFilter& filter) { return filter.controlId == controlId; });
}

namespace {

void sortDistinct(std::vector<std::u16string>& texts) {
    // std::u16string compares char16_t code units as unsigned numbers, shorter prefix first.
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
}

// The latitude and longitude a place text shows ("-33.868, 151.209"); false for another text.
bool placeNumbers(std::u16string_view text, double& latitude, double& longitude) {
    std::string ascii;
    for (char16_t c : text) {
        if (c > 0x7F) return false;
        ascii.push_back(static_cast<char>(c));
    }
    const char* end = ascii.data() + ascii.size();
    const auto lat = std::from_chars(ascii.data(), end, latitude);
    if (lat.ec != std::errc() || end - lat.ptr < 2 || lat.ptr[0] != ',' || lat.ptr[1] != ' ') return false;
    const auto lon = std::from_chars(lat.ptr + 2, end, longitude);
    // A NaN would break the sort's ordering: such a text is no place to sort by.
    return lon.ec == std::errc() && lon.ptr == end && std::isfinite(latitude) && std::isfinite(longitude);
}

// South to north, then west to east. The numbers are read from the texts rather than taken from
// the routes, so that the order is the one the user reads: routes a few metres apart share a text
// but not their coordinates.
void orderPlaces(std::vector<std::u16string>& places) {
    struct Place {
        double latitude = 0;
        double longitude = 0;
        bool readable = false;
        std::u16string text;
    };
    std::vector<Place> keyed;
    keyed.reserve(places.size());
    for (std::u16string& text : places) {
        Place place;
        place.readable = placeNumbers(text, place.latitude, place.longitude);
        place.text = std::move(text);
        keyed.push_back(std::move(place));
    }
    // Texts that are no coordinates (none come from the analysis) go last, by their code units.
    std::sort(keyed.begin(), keyed.end(), [](const Place& a, const Place& b) {
        if (a.readable != b.readable) return a.readable;
        if (a.readable && a.latitude != b.latitude) return a.latitude < b.latitude;
        if (a.readable && a.longitude != b.longitude) return a.longitude < b.longitude;
        return a.text < b.text;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) places[i] = std::move(keyed[i].text);
}

// The program's sports by their names as the interface language orders its alphabet; the raw
// types found in files follow in code-unit order, without the names already listed.
void orderSports(std::vector<std::u16string>& known, std::vector<std::u16string>& raw,
                 const ActiveLanguage& language) {
    const std::string_view code =
        language.textRow != nullptr ? language.textRow->code : std::string_view("en");
    const std::u16string locale(code.begin(), code.end());
    std::sort(known.begin(), known.end(), [&](const std::u16string& a, const std::u16string& b) {
        const int order = compareForLanguage(locale, a, b);
        return order != 0 ? order < 0 : a < b;  // texts the language calls equal still get one order
    });
    std::erase_if(raw, [&](const std::u16string& text) {
        return std::find(known.begin(), known.end(), text) != known.end();
    });
    known.insert(known.end(), std::make_move_iterator(raw.begin()), std::make_move_iterator(raw.end()));
}

bool isSportKey(std::string_view key) {
    return std::find(sportKeys.begin(), sportKeys.end(), key) != sportKeys.end();
}

}  // namespace

std::array<std::vector<std::u16string>, kFilterCount> filterBarItems(const std::vector<RouteInfo>& routes,
                                                                     const ActiveLanguage& language) {
    std::array<std::vector<std::u16string>, kFilterCount> items;
    for (std::size_t box = 0; box < kFilterCount; ++box) {
        const RouteFilter& filter = routeFilters[box];
        std::vector<std::u16string> rest;
        if (filter.routeText) {
            std::vector<std::u16string> raw;  // sports that are none of the program's
            for (const RouteInfo& route : routes) {
                if (!filter.offersItem(route)) continue;
                std::u16string text = filter.routeText(route, language);
                // A blank item would filter nothing (a failed record has an empty sport label).
                if (text.empty()) continue;
                const bool rawSport = filter.itemOrder == ItemOrder::sports && !isSportKey(route.sportKey);
                (rawSport ? raw : rest).push_back(std::move(text));
            }
            sortDistinct(rest);
            sortDistinct(raw);
            if (filter.itemOrder == ItemOrder::places) orderPlaces(rest);
            if (filter.itemOrder == ItemOrder::sports) orderSports(rest, raw, language);
            if (filter.itemBefore) std::stable_sort(rest.begin(), rest.end(), filter.itemBefore);
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
    return filter.passesChoice(route, choice.index, language);
}
