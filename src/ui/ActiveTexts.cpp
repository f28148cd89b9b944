#include "ui/ActiveTexts.h"

#include <algorithm>

#include "core/SportWeather.h"
#include "i18n/Language.h"
#include "platform/Platform.h"

ActiveTexts resolveActiveTexts() {
    ActiveTexts texts;
    texts.row = findLanguage(activeLanguage());
    texts.textRow = texts.row != nullptr ? texts.row : findLanguage("en");
    return texts;
}

std::u16string_view activeText(const ActiveTexts& texts, std::string_view key) {
    if (texts.textRow == nullptr) return {};
    for (std::size_t i = 0; i < translationKeys.size(); ++i) {
        if (translationKeys[i] == key) return texts.textRow->texts[i];
    }
    return {};
}

std::u16string activeSportText(const ActiveTexts& texts, const RouteInfo& route) {
    // As sportDisplayText: only the sport keys are translated, so a raw type text that happens to
    // equal another interface key ("weather") still shows as written in the file.
    const bool known = std::find(sportKeys.begin(), sportKeys.end(), route.sportKey) != sportKeys.end();
    if (known && texts.row != nullptr) {
        std::u16string_view translated = activeText(texts, route.sportKey);
        if (!translated.empty()) return std::u16string(translated);
    }
    return utf8ToWide(route.sportLabel);
}
