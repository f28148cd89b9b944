#include "i18n/Language.h"

#include "platform/Platform.h"

namespace {

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

ActiveLanguage resolveLanguage(std::string_view languageSetting) {
    ActiveLanguage language;
    language.code = languageSetting == "system" ? systemLanguage() : std::string(languageSetting);
    language.row = findLanguage(language.code);
    language.textRow = language.row != nullptr ? language.row : findLanguage("en");
    return language;
}

std::u16string_view translate(const ActiveLanguage& language, std::string_view key) {
    if (language.textRow == nullptr) return {};
    for (const TranslationKey& entry : translationKeys) {
        if (entry.name == key) return language.textRow->texts.*entry.text;
    }
    return {};
}

std::u16string sportDisplayText(const ActiveLanguage& language, const RouteInfo& route) {
    if (!route.sportKey.empty() && language.row != nullptr) {
        std::u16string_view text = translate(language, route.sportKey);
        if (!text.empty()) return std::u16string(text);
    }
    return utf8ToWide(route.sportLabel);
}
