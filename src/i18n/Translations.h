#pragma once
// The built-in translation table: 19 languages x 48 keys.

#include <array>
#include <cstddef>
#include <string_view>

inline constexpr std::size_t kTranslationKeyCount = 48;
inline constexpr std::size_t kLanguageCount = 19;

struct LanguageRow {
    std::string_view code;
    std::u16string_view ownName;
    std::array<std::u16string_view, kTranslationKeyCount> texts;
};

extern const std::array<std::string_view, kTranslationKeyCount> translationKeys;
extern const std::array<LanguageRow, kLanguageCount> translationTable;
