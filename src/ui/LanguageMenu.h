#pragma once
// The language combo box's items and captions that depend on the language.

#include <array>
#include <string>
#include <string_view>
#include <vector>

extern std::vector<std::string> languageChoices;  // code behind each combo item

struct LanguageComboItems {
    std::vector<std::u16string> texts;
    std::vector<std::string> codes;
    int selected = 0;
};

LanguageComboItems languageComboItems();  // from languageSetting and the active language
// icon + " " + translate(key), for the three top buttons.
std::u16string controlCaption(std::u16string_view icon, std::string_view key);
std::array<std::u16string, 9> columnHeaderTexts();
