#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "platform/Platform.h"
#include "ui/LanguageMenu.h"

namespace {

TEST(LanguageCombo, TwentyItemsWithOnlyTheFirstTranslated) {
    LanguageScope french("fr");
    const LanguageComboItems fr = languageComboItems();
    ASSERT_EQ(fr.texts.size(), 20u);
    ASSERT_EQ(fr.codes.size(), 20u);
    EXPECT_EQ(fr.texts[0], u"\u25CE Système");
    EXPECT_EQ(fr.codes[0], "system");
    EXPECT_EQ(fr.selected, 3);
    EXPECT_EQ(fr.texts[3], u"Français");

    LanguageScope english("en");
    const LanguageComboItems en = languageComboItems();
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
        LanguageScope system("system");
        const LanguageComboItems items = languageComboItems();
        EXPECT_EQ(items.selected, 0);
        EXPECT_EQ(items.texts[0], u"\u25CE Système");
    }
    setLocaleNameOverride(false, u"");
    // Codes are compared exactly: a wrongly cased code names no row.
    LanguageScope wrongCase("zh-hant");
    EXPECT_EQ(languageComboItems().selected, 0);
}

TEST(Captions, ButtonsAndColumnHeadersFollowTheLanguage) {
    LanguageScope english("en");
    EXPECT_EQ(controlCaption(u"\uFF0B", "import"), u"\uFF0B Import");
    EXPECT_EQ(controlCaption(u"\u25A3", "folder"), u"\u25A3 Folder");
    EXPECT_EQ(controlCaption(u"\u21BB", "reload"), u"\u21BB Reload");
    const std::array<std::u16string, 9> english9 = {u"Name",   u"Date",   u"Sport", u"Length", u"Time",
                                                    u"Ascent", u"Points", u"Ghost", u"Type"};
    EXPECT_EQ(columnHeaderTexts(), english9);

    LanguageScope german("de");
    EXPECT_EQ(controlCaption(u"\u21BB", "reload"), u"\u21BB Neu laden");
    EXPECT_EQ(columnHeaderTexts()[7], u"Ghost");
    EXPECT_EQ(columnHeaderTexts()[8], u"Art");
}

}  // namespace
