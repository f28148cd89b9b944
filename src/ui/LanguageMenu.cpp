#include "ui/LanguageMenu.h"

#include "i18n/Translations.h"

LanguageComboItems languageComboItems(const ActiveLanguage& language, std::string_view languageSetting) {
    LanguageComboItems items;
    items.texts.reserve(kLanguageCount + 1);
    items.codes.reserve(kLanguageCount + 1);
    items.texts.push_back(u"\u25CE " + std::u16string(translate(language, "system")));
    items.codes.emplace_back("system");
    int selected = languageSetting == "system" ? 0 : -1;
    for (std::size_t i = 0; i < translationTable.size(); ++i) {
        const LanguageRow& row = translationTable[i];
        items.texts.emplace_back(row.ownName);
        items.codes.emplace_back(row.code);
        if (languageSetting == row.code) selected = static_cast<int>(i + 1);
    }
    // A setting that names no row shows the first item rather than none.
    items.selected = selected < 0 ? 0 : selected;
    return items;
}

std::u16string controlCaption(const ActiveLanguage& language, std::u16string_view icon,
                              std::string_view key) {
    std::u16string caption(icon);
    caption += u' ';
    caption += translate(language, key);
    return caption;
}
