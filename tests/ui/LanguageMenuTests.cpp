#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "platform/Platform.h"
#include "ui/LanguageMenu.h"
#include "ui/RouteColumns.h"

namespace {

std::vector<std::u16string> columnHeaderTexts(const ActiveLanguage& language) {
    std::vector<std::u16string> headers;
    for (const RouteColumn& column : routeColumns) headers.push_back(columnHeaderText(column, language));
    return headers;
}

TEST(LanguageCombo, TwentyItemsWithOnlyTheFirstTranslated) {
    const ActiveLanguage french = resolveLanguage("fr");
    const LanguageComboItems fr = languageComboItems(french, "fr");
    ASSERT_EQ(fr.texts.size(), 20u);
    ASSERT_EQ(fr.codes.size(), 20u);
    EXPECT_EQ(fr.texts[0], u"\u25CE Système");
    EXPECT_EQ(fr.codes[0], "system");
    EXPECT_EQ(fr.selected, 3);
    EXPECT_EQ(fr.texts[3], u"Français");

    const ActiveLanguage english = resolveLanguage("en");
    const LanguageComboItems en = languageComboItems(english, "en");
    EXPECT_EQ(en.texts[0], u"\u25CE System");
    EXPECT_EQ(en.selected, 2);
    // The language names and codes read the same whatever language is active.
    for (std::size_t i = 1; i < 20; ++i) {
        EXPECT_EQ(en.texts[i], fr.texts[i]);
        EXPECT_EQ(en.codes[i], fr.codes[i]);
    }
    EXPECT_EQ(en.codes[1], "de");
    EXPECT_EQ(en.texts[16], u"日本語");
    EXPECT_EQ(en.codes[19], "zh-Hant");
}

TEST(LanguageCombo, SystemAndUnknownSettingsSelectTheFirstItem) {
    setLocaleNameOverride(true, u"fr-CH");
    {
        const ActiveLanguage system = resolveLanguage("system");
        const LanguageComboItems items = languageComboItems(system, "system");
        EXPECT_EQ(items.selected, 0);
        EXPECT_EQ(items.texts[0], u"\u25CE Système");
    }
    setLocaleNameOverride(false, u"");
    // Codes are compared exactly: a wrongly cased code names no row.
    const ActiveLanguage wrongCase = resolveLanguage("zh-hant");
    EXPECT_EQ(languageComboItems(wrongCase, "zh-hant").selected, 0);
}

TEST(Captions, ButtonsAndColumnHeadersFollowTheLanguage) {
    const ActiveLanguage english = resolveLanguage("en");
    EXPECT_EQ(controlCaption(english, u"\uFF0B", "import"), u"\uFF0B Import");
    EXPECT_EQ(controlCaption(english, u"\u25A3", "folder"), u"\u25A3 Folder");
    EXPECT_EQ(controlCaption(english, u"\u21BB", "reload"), u"\u21BB Reload");
    const std::vector<std::u16string> english9 = {u"Name",   u"Date",   u"Sport", u"Length", u"Time",
                                                  u"Ascent", u"Points", u"Ghost", u"Type"};
    EXPECT_EQ(columnHeaderTexts(english), english9);

    const ActiveLanguage german = resolveLanguage("de");
    EXPECT_EQ(controlCaption(german, u"\u21BB", "reload"), u"\u21BB Neu laden");
    EXPECT_EQ(columnHeaderTexts(german)[7], u"Ghost");
    EXPECT_EQ(columnHeaderTexts(german)[8], u"Art");
}

}  // namespace
