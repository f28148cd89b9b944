#pragma once
// The language combo box's items and captions that depend on the language.

#include <string>
#include <string_view>
#include <vector>

#include "i18n/Language.h"

struct LanguageComboItems {
    std::vector<std::u16string> texts;
    std::vector<std::string> codes;
    int selected = 0;
};

LanguageComboItems languageComboItems(const ActiveLanguage& language, std::string_view languageSetting);
// icon + " " + translate(key), for the three top buttons.
std::u16string controlCaption(const ActiveLanguage& language, std::u16string_view icon, std::string_view key);
