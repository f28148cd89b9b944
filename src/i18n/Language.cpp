#include "i18n/Language.h"

#include <algorithm>

#include "core/SportWeather.h"
#include "library/Settings.h"
#include "platform/Platform.h"

namespace {

const LanguageRow& englishRow() {
    return *findLanguage("en");
}

const LanguageRow& activeRow() {
    const LanguageRow* row = findLanguage(activeLanguage());
    return row ? *row : englishRow();
}

bool containsText(std::u16string_view text, std::u16string_view part) {
    return text.find(part) != std::u16string_view::npos;
}

}  // namespace

const LanguageRow* findLanguage(std::string_view code) {
    for (const LanguageRow& row : translationTable) {
        if (row.code == code) return &row;
    }
    return nullptr;
}

std::string languageForLocaleName(std::u16string_view localeName) {
    const std::u16string name = lowerText(localeName);
    if (name.starts_with(u"zh")) {
        // An explicit script subtag says it outright; otherwise the regions that write the
        // traditional script decide.
        if (containsText(name, u"hant")) return "zh-Hant";
        if (containsText(name, u"hans")) return "zh-Hans";
        if (containsText(name, u"tw") || containsText(name, u"hk") || containsText(name, u"mo")) {
            return "zh-Hant";
        }
        return "zh-Hans";
    }
    std::string candidate;
    for (std::size_t i = 0; i < name.size() && i < 2; ++i) {
        candidate.push_back(static_cast<char>(name[i] & 0xFF));
    }
    // Windows reports plain Norwegian as "no"; the table holds it as Bokmål.
    if (candidate == "no") return "nb";
    return findLanguage(candidate) ? candidate : "en";
}

std::string systemLanguage() {
    return languageForLocaleName(userDefaultLocaleName());
}

std::string activeLanguage() {
    return languageSetting == "system" ? systemLanguage() : languageSetting;
}

std::u16string_view translate(std::string_view key) {
    const LanguageRow& row = activeRow();
    for (std::size_t i = 0; i < translationKeys.size(); ++i) {
        if (translationKeys[i] == key) return row.texts[i];
    }
    return {};
}

std::u16string sportDisplayText(const RouteInfo& route) {
    // A key with a text in the active language shows that text; anything else (a raw type from
    // the file, no sport, no row for the language) shows the stored label.
    if (!route.sportKey.empty() && findLanguage(activeLanguage()) != nullptr) {
        std::u16string_view text = translate(route.sportKey);
        if (!text.empty()) return std::u16string(text);
    }
    return utf8ToWide(route.sportLabel);
}
