#pragma once
// The active language resolved once, for loops that look up texts for many routes.
// Gives the same results as translate and sportDisplayText, without asking the system for the
// locale again for every lookup.

#include <string>
#include <string_view>

#include "core/RouteInfo.h"
#include "i18n/Translations.h"

struct ActiveTexts {
    const LanguageRow* row = nullptr;      // the active language's row, null when it has none
    const LanguageRow* textRow = nullptr;  // row, or English when there is none
};

ActiveTexts resolveActiveTexts();
std::u16string_view activeText(const ActiveTexts& texts, std::string_view key);
std::u16string activeSportText(const ActiveTexts& texts, const RouteInfo& route);
