#include "ui/ActiveTexts.h"

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
    // As sportDisplayText: a key with a text in the active language shows that text; anything
    // else (a raw type from the file, no sport, no row for the language) shows the stored label.
    if (!route.sportKey.empty() && texts.row != nullptr) {
        std::u16string_view translated = activeText(texts, route.sportKey);
        if (!translated.empty()) return std::u16string(translated);
    }
    return utf8ToWide(route.sportLabel);
}
