#pragma once
// Which language is in effect, and the texts of the interface in it. The language is resolved
// once per change (start, a choice in the language box, a change of the system locale) into an
// ActiveLanguage value that its owner passes to every lookup.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/RouteInfo.h"
#include "i18n/Translations.h"
#include "platform/Platform.h"

enum class Units { metric, imperial };

struct ActiveLanguage {
    std::string code;                      // the setting's code, or the system's for "system"
    const LanguageRow* row = nullptr;      // the code's row; null when the code names none
    const LanguageRow* textRow = nullptr;  // row, or English when there is none
    LanguageForms forms;                   // textRow's, English's as the user's region writes it
    Units units = Units::metric;           // the reader's measures, a setting of its own
};

const LanguageRow* findLanguage(std::string_view code);
// The table code for a locale name such as "de-CH" (empty name: "en").
std::string languageForLocaleName(std::u16string_view localeName);
std::string systemLanguage();
// English dates in the region's order and clock: M/d/yyyy and 12 hours where the region writes
// the month first, dd/MM/yyyy in other English regions, yyyy-MM-dd where the region is not an
// English one.
LanguageForms englishForms(const RegionFormats& region);
// The region's measurement system: what the system says, else imperial for the US, Liberia and
// Myanmar.
Units regionUnits(const RegionFormats& region);
// languageSetting is "system" (follow the system locale) or a code of the table.
ActiveLanguage resolveLanguage(std::string_view languageSetting, Units units = Units::metric);
// Text of `key` in the language; empty for an unknown key. Points into the table.
std::u16string_view translate(const ActiveLanguage& language, std::string_view key);
// The word that follows `count` ("1 plik", "3 pliki", "12 plików"), by the row's count rule.
std::u16string_view countWord(const ActiveLanguage& language, uint64_t count);
// `text` with every `placeholder` ("{n}") replaced by `value`; an inserted value is not searched again.
std::u16string fillIn(std::u16string_view text, std::u16string_view placeholder, std::u16string_view value);
// A sport key with a text in the language shows that text; anything else (a raw type from the
// file, no sport, a language without row) shows the stored label.
std::u16string sportDisplayText(const ActiveLanguage& language, const RouteInfo& route);
// A failure or warning message of the analysis or the rewrite (the fixed texts of core/Failure.h)
// in the interface language; any other message reads as a general failure, an empty one as nothing.
std::u16string failureMessageText(const ActiveLanguage& language, std::string_view message);
