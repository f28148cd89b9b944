#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "library/Settings.h"
#include "platform/Platform.h"

namespace {

std::string utf8(std::u16string_view text) {
    return wideToUtf8(text);
}

// Every test starts from "system" and a neutral locale, and leaves both as it found them.
class LanguageTest : public testing::Test {
protected:
    void SetUp() override {
        saved = languageSetting;
        languageSetting = "system";
        setLocaleNameOverride(true, u"en-US");
    }
    void TearDown() override {
        languageSetting = saved;
        setLocaleNameOverride(false, u"");
    }
    std::string saved;
};

RouteInfo routeWithSport(std::string key, std::string label) {
    RouteInfo route;
    route.sportKey = std::move(key);
    route.sportLabel = std::move(label);
    return route;
}

const std::pair<std::u16string_view, std::string_view> kLocaleCases[] = {
    {u"de-CH", "de"},
    {u"en-GB", "en"},
    {u"pt-BR", "pt"},
    {u"sv-SE", "sv"},
    {u"nb-NO", "nb"},
    {u"no", "nb"},
    {u"nn-NO", "en"},
    {u"ru-RU", "en"},
    {u"zh-CN", "zh-Hans"},
    {u"zh-SG", "zh-Hans"},
    {u"zh-TW", "zh-Hant"},
    {u"zh-HK", "zh-Hant"},
    {u"zh-MO", "zh-Hant"},
    {u"fil-PH", "fi"},
    {u"uk-UA", "uk"},
    {u"ja-JP", "ja"},
    // Only ASCII capitals fold, so odd spellings of real names still resolve.
    {u"DE-de", "de"},
    {u"ZH-Tw", "zh-Hant"},
    {u"zh", "zh-Hans"},
    {u"fr", "fr"},
    // A script subtag decides even where the region alone would not.
    {u"zh-Hant", "zh-Hant"},
    {u"zh-Hans-HK", "zh-Hans"},
    // Too short, empty or unknown: English, never an empty code.
    {u"", "en"},
    {u"d", "en"},
    {u"xx-YY", "en"},
    {u"-", "en"},
    // Each unit counts by its low byte, so a non-ASCII name maps to some code or to English.
    {u"\u6587\u5B57", "en"},
    {u"\u0164\u0165-CH", "de"},
};

}  // namespace

TEST_F(LanguageTest, LocaleNamesMapToTableCodes) {
    for (const auto& [locale, expected] : kLocaleCases) {
        SCOPED_TRACE(utf8(locale));
        EXPECT_EQ(languageForLocaleName(locale), expected);
        setLocaleNameOverride(true, locale);
        EXPECT_EQ(systemLanguage(), expected);
        EXPECT_EQ(activeLanguage(), expected);
    }
}

TEST_F(LanguageTest, SettingOverridesLocaleAndSystemFollowsItLive) {
    setLocaleNameOverride(true, u"de-CH");
    EXPECT_EQ(utf8(translate("import")), "Importieren");
    setLocaleNameOverride(true, u"fr-FR");
    EXPECT_EQ(utf8(translate("import")), "Importer");

    languageSetting = "ja";
    EXPECT_EQ(activeLanguage(), "ja");
    EXPECT_EQ(utf8(translate("sportAll")), "スポーツ：すべて");

    // "system" is matched exactly; anything else is taken as a code.
    languageSetting = "System";
    EXPECT_EQ(activeLanguage(), "System");
}

TEST_F(LanguageTest, FindLanguageComparesCodesExactly) {
    ASSERT_NE(findLanguage("zh-Hant"), nullptr);
    EXPECT_EQ(utf8(findLanguage("zh-Hant")->ownName), "繁體中文");
    EXPECT_EQ(findLanguage("zh-hant"), nullptr);
    EXPECT_EQ(findLanguage("zh"), nullptr);
    EXPECT_EQ(findLanguage("DE"), nullptr);
    EXPECT_EQ(findLanguage("de "), nullptr);
    EXPECT_EQ(findLanguage(""), nullptr);
    EXPECT_EQ(findLanguage("system"), nullptr);
}

TEST_F(LanguageTest, TranslateLooksUpKeysInTheActiveRow) {
    languageSetting = "fr";
    EXPECT_EQ(utf8(translate("typeAll")), "Type : tous");
    languageSetting = "en";
    EXPECT_EQ(utf8(translate("show")), "Show in Finder");
    languageSetting = "de";
    EXPECT_EQ(utf8(translate("show")), "Im Finder zeigen");
    EXPECT_EQ(utf8(translate("kayaking")), "Kajak");

    // Unknown keys, including near misses, give the empty text.
    EXPECT_TRUE(translate("").empty());
    EXPECT_TRUE(translate("Import").empty());
    EXPECT_TRUE(translate("import ").empty());
    EXPECT_TRUE(translate(std::string_view("import\0", 7)).empty());

    // The text is a view into the table, stable across calls.
    EXPECT_EQ(translate("folder").data(), findLanguage("de")->texts[3].data());
}

TEST_F(LanguageTest, SettingWithoutRowFallsBackToEnglish) {
    for (const char* bad : {"xx", "zh-hant", "", "DE", "system "}) {
        languageSetting = bad;
        SCOPED_TRACE(bad);
        EXPECT_EQ(utf8(translate("reload")), "Reload");
        EXPECT_TRUE(translate("nope").empty());
    }
}

TEST_F(LanguageTest, SportDisplayTextTranslatesKeysOfTheTable) {
    const RouteInfo mtb = routeWithSport("mountain_biking", "MTB");
    languageSetting = "de";
    EXPECT_EQ(utf8(sportDisplayText(mtb)), "MTB");
    languageSetting = "en";
    EXPECT_EQ(utf8(sportDisplayText(mtb)), "Mountain bike");
    languageSetting = "ja";
    EXPECT_EQ(utf8(sportDisplayText(routeWithSport("skiing", "Ski"))), "スキー");

    // A raw type text and a route without sport show their stored labels.
    EXPECT_EQ(utf8(sportDisplayText(routeWithSport("Paragliding", "Paragliding"))), "Paragliding");
    EXPECT_EQ(utf8(sportDisplayText(routeWithSport("", "–"))), "–");
    EXPECT_EQ(utf8(sportDisplayText(routeWithSport("", ""))), "");
    // A raw type that equals another key of the table shows that key's text.
    EXPECT_EQ(utf8(sportDisplayText(routeWithSport("time", "time"))), "時間");
    EXPECT_EQ(utf8(sportDisplayText(routeWithSport("Cycling", "Cycling"))), "Cycling");

    // Without a row the label stands, and bad UTF-8 in it becomes replacement characters.
    languageSetting = "xx";
    EXPECT_EQ(utf8(sportDisplayText(routeWithSport("cycling", "Rad"))), "Rad");
    EXPECT_EQ(sportDisplayText(routeWithSport("x", "a\xFF")), u"a\uFFFD");
}

TEST_F(LanguageTest, SportDisplayTextFollowsTheSystemLocale) {
    const RouteInfo run = routeWithSport("running", "Laufen");
    setLocaleNameOverride(true, u"sv-SE");
    EXPECT_EQ(utf8(sportDisplayText(run)), "Löpning");
    setLocaleNameOverride(true, u"");
    EXPECT_EQ(utf8(sportDisplayText(run)), "Running");
}
