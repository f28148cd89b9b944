#pragma once
// Which language is in effect, and the texts of the interface in it.

#include <string>
#include <string_view>

#include "core/RouteInfo.h"
#include "i18n/Translations.h"

const LanguageRow* findLanguage(std::string_view code);
// The table code for a locale name such as "de-CH" (empty name: "en").
std::string languageForLocaleName(std::u16string_view localeName);
std::string systemLanguage();
std::string activeLanguage();
// Text of `key` in the active language; empty for an unknown key. Points into the table.
std::u16string_view translate(std::string_view key);
std::u16string sportDisplayText(const RouteInfo& route);
