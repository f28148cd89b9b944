#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "core/SportWeather.h"
#include "i18n/Language.h"
#include "i18n/Translations.h"
#include "platform/Platform.h"

namespace {

std::string utf8(std::u16string_view text) {
    return wideToUtf8(text);
}

std::u16string_view text(const LanguageRow& row, std::string_view key) {
    for (const TranslationKey& entry : translationKeys) {
        if (entry.name == key) return row.texts.*entry.text;
    }
    ADD_FAILURE() << "no key " << key;
    return {};
}

// Small letters of the scripts in the table that have case (Latin, Latin Extended-A, Cyrillic).
bool isSmallLetter(char16_t c) {
    if (c >= u'a' && c <= u'z') return true;
    if (c >= 0xDF && c <= 0xFF) return c != 0xF7;
    if (c >= 0x100 && c <= 0x137) return c % 2 == 1;
    if (c >= 0x139 && c <= 0x148) return c % 2 == 0;
    if (c >= 0x14A && c <= 0x177) return c % 2 == 1;
    if (c >= 0x179 && c <= 0x17E) return c % 2 == 0;
    if (c >= 0x430 && c <= 0x45F) return true;
    if (c >= 0x460 && c <= 0x4FF) return c % 2 == 1;
    return false;
}

bool usesFullWidthColon(std::string_view code) {
    return code == "ja" || code == "zh-Hans" || code == "zh-Hant";
}

}  // namespace

TEST(TranslationTable, RowsHaveTheirCodesAndOwnNamesInOrder) {
    const char* expected[][2] = {
        {"de", "Deutsch"},  {"en", "English"},       {"fr", "Français"},      {"es", "Español"},
        {"it", "Italiano"}, {"nl", "Nederlands"},    {"pt", "Português"},     {"pl", "Polski"},
        {"cs", "Čeština"},  {"da", "Dansk"},         {"sv", "Svenska"},       {"nb", "Norsk"},
        {"fi", "Suomi"},    {"tr", "Türkçe"},        {"uk", "Українська"},    {"ja", "日本語"},
        {"ko", "한국어"},   {"zh-Hans", "简体中文"}, {"zh-Hant", "繁體中文"},
    };
    ASSERT_EQ(std::size(expected), translationTable.size());
    for (std::size_t i = 0; i < translationTable.size(); ++i) {
        EXPECT_EQ(translationTable[i].code, expected[i][0]);
        EXPECT_EQ(utf8(translationTable[i].ownName), expected[i][1]);
        EXPECT_EQ(findLanguage(expected[i][0]), &translationTable[i]);
    }
}

TEST(TranslationTable, EverySportKeyHasAText) {
    // Sport keys come from files and are looked up by name: each must name a text.
    const ActiveLanguage english = resolveLanguage("en");
    for (std::string_view key : sportKeys) EXPECT_FALSE(translate(english, key).empty()) << key;
}

// The shape every row must keep, whatever its words.
TEST(TranslationTable, EveryRowFollowsTheConventions) {
    for (const LanguageRow& row : translationTable) {
        SCOPED_TRACE(std::string(row.code));
        for (const TranslationKey& key : translationKeys) {
            const std::u16string_view t = row.texts.*key.text;
            ASSERT_FALSE(t.empty()) << key.name;
            EXPECT_NE(t.front(), u' ') << key.name;
            EXPECT_NE(t.back(), u' ') << key.name;
        }
        for (const char* key : {"ghostAll", "ghostReady", "ghostFilterName", "ghostTip"}) {
            EXPECT_NE(text(row, key).find(u"Ghost"), std::u16string_view::npos) << key;
        }

        // The numbers go in through the placeholders, so each must be there exactly once.
        const auto occurrences = [&](std::string_view key, std::u16string_view placeholder) {
            const std::u16string_view t = text(row, key);
            std::size_t count = 0;
            for (std::size_t at = t.find(placeholder); at != std::u16string_view::npos;
                 at = t.find(placeholder, at + 1)) {
                ++count;
            }
            return count;
        };
        EXPECT_EQ(occurrences("andMore", u"{n}"), 1u);
        EXPECT_EQ(occurrences("importedCount", u"{n}"), 1u);
        EXPECT_EQ(occurrences("andMore", u"{m}"), 0u);
        EXPECT_EQ(occurrences("readingFiles", u"{n}"), 1u);
        EXPECT_EQ(occurrences("readingFiles", u"{m}"), 1u);
        EXPECT_LT(text(row, "readingFiles").find(u"{n}"), text(row, "readingFiles").find(u"{m}"));

        // Shortcut names must name the keys the window really answers to.
        EXPECT_EQ(utf8(text(row, "shortcutReload")), "F5");
        const std::u16string_view importKeys = text(row, "shortcutImport");
        const std::u16string_view searchKeys = text(row, "shortcutSearch");
        EXPECT_TRUE(importKeys.ends_with(u"+O")) << utf8(importKeys);
        EXPECT_TRUE(searchKeys.ends_with(u"+F")) << utf8(searchKeys);
        EXPECT_EQ(importKeys.substr(0, importKeys.size() - 1), searchKeys.substr(0, searchKeys.size() - 1));

        // The failed files are listed after this line.
        const std::u16string_view listLine = text(row, "importFailedList");
        EXPECT_TRUE(listLine.ends_with(u":") || listLine.ends_with(u"\uFF1A")) << utf8(listLine);

        // Each filter's "all" text: its own label, the language's colon, a word for all that is
        // the row's own (it agrees with the label, so it may differ from filter to filter).
        const std::pair<const char*, std::u16string_view> filters[] = {{"startAll", text(row, "start")},
                                                                       {"endAll", text(row, "end")},
                                                                       {"sportAll", {}},
                                                                       {"ghostAll", u"Ghost"},
                                                                       {"typeAll", text(row, "type")},
                                                                       {"lengthAll", text(row, "length")}};
        std::u16string_view separator = u": ";
        if (row.code == "fr") separator = u"\u202F: ";
        if (usesFullWidthColon(row.code)) separator = u"\uFF1A";
        for (const auto& [key, label] : filters) {
            SCOPED_TRACE(key);
            const std::u16string_view t = text(row, key);
            const std::size_t at = t.find(separator);
            ASSERT_NE(at, std::u16string_view::npos);
            if (!label.empty()) {
                EXPECT_EQ(utf8(t.substr(0, at)), utf8(label));
            }
            const std::u16string_view word = t.substr(at + separator.size());
            EXPECT_FALSE(word.empty());
            EXPECT_EQ(word.find_first_of(u":\uFF1A "), std::u16string_view::npos);
        }
        // The column has room for its whole word now.
        EXPECT_FALSE(text(row, "length").ends_with(u".")) << utf8(text(row, "length"));
        // One-way is a kind of route, not the route itself: not the word for routes with
        // another ending ("Itinéraire"/"Itinéraires", "Trasa"/"Trasy").
        const std::u16string_view oneWay = text(row, "oneWay");
        const std::u16string_view routes = text(row, "routes");
        const auto shared = std::mismatch(oneWay.begin(), oneWay.end(), routes.begin(), routes.end());
        EXPECT_LT(static_cast<std::size_t>(shared.first - oneWay.begin()) + 1, oneWay.size())
            << utf8(oneWay) << " / " << utf8(routes);
        EXPECT_NE(oneWay, text(row, "roundTrip"));

        const std::u16string_view heading = text(row, "weather");
        EXPECT_TRUE(std::none_of(heading.begin(), heading.end(), isSmallLetter));
        // The four figure labels stand side by side in the panel: one style for all of them.
        const auto hasSmallLetter = [&](const char* key) {
            const std::u16string_view label = text(row, key);
            return std::any_of(label.begin(), label.end(), isSmallLetter);
        };
        for (const char* key : {"distance", "ascent", "points"}) {
            EXPECT_EQ(hasSmallLetter(key), hasSmallLetter("time")) << key;
        }

        // The sport filter merges equal texts, so two sports must never read alike.
        std::set<std::u16string_view> sports;
        for (std::string_view key : sportKeys) sports.insert(text(row, key));
        EXPECT_EQ(sports.size(), sportKeys.size());
    }
}
