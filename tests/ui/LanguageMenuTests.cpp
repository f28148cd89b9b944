#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "i18n/Translations.h"
#include "platform/Platform.h"
#include "ui/LanguageMenu.h"
#include "ui/RouteColumns.h"

namespace {

std::vector<std::u16string> columnHeaderTexts(const ActiveLanguage& language) {
    std::vector<std::u16string> headers;
    for (const RouteColumn& column : routeColumns) headers.push_back(columnHeaderText(column, language));
    return headers;
}

TEST(LanguageCombo, OwnNamesInTableOrderWithOnlyTheSystemItemTranslated) {
    const LanguageComboItems fr = languageComboItems(resolveLanguage("fr"), "fr");
    const LanguageComboItems en = languageComboItems(resolveLanguage("en"), "en");
    ASSERT_EQ(fr.texts.size(), translationTable.size() + 1);
    ASSERT_EQ(fr.codes.size(), fr.texts.size());
    EXPECT_EQ(fr.texts[0], u"\u25CE Système");
    EXPECT_EQ(en.texts[0], u"\u25CE System");
    EXPECT_EQ(fr.codes[0], "system");
    EXPECT_EQ(fr.selected, 3);
    EXPECT_EQ(en.selected, 2);
    for (std::size_t i = 1; i < fr.texts.size(); ++i) {
        EXPECT_EQ(en.texts[i], fr.texts[i]);
        EXPECT_EQ(fr.texts[i], translationTable[i - 1].ownName);
        EXPECT_EQ(fr.codes[i], translationTable[i - 1].code);
    }
    // "system", and a code that names no row (codes compare exactly), select the first item.
    setLocaleNameOverride(true, u"fr-CH");
    const LanguageComboItems system = languageComboItems(resolveLanguage("system"), "system");
    setLocaleNameOverride(false, u"");
    EXPECT_EQ(system.selected, 0);
    EXPECT_EQ(system.texts[0], u"\u25CE Système");
    EXPECT_EQ(languageComboItems(resolveLanguage("zh-hant"), "zh-hant").selected, 0);
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
