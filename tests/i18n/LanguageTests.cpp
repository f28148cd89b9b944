#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <utility>

#include "core/Failure.h"
#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "platform/Platform.h"

namespace {

std::string utf8(std::u16string_view text) {
    return wideToUtf8(text);
}

// Every test starts from a neutral locale and leaves it as it found it.
class LanguageTest : public testing::Test {
protected:
    void SetUp() override { setLocaleNameOverride(true, u"en-US"); }
    void TearDown() override { setLocaleNameOverride(false, u""); }
};

RouteInfo routeWithSport(std::string key, std::string label) {
    RouteInfo route;
    route.sportKey = std::move(key);
    route.sportLabel = std::move(label);
    return route;
}

// The whole language subtag decides (fil is Filipino, kok Konkani: both English); only ASCII
// capitals fold; Chinese goes by its script, else by its region; Nynorsk and plain Norwegian read
// Bokmål; too short, empty or unknown gives English, never an empty code.
// clang-format off
const std::pair<std::u16string_view, std::string_view> kLocaleCases[] = {
    {u"de-CH", "de"},            {u"en-GB", "en"},            {u"pt-BR", "pt"},            {u"sv-SE", "sv"},
    {u"nb-NO", "nb"},            {u"no", "nb"},               {u"nn-NO", "nb"},            {u"ru-RU", "en"},
    {u"fil-PH", "en"},           {u"kok-IN", "en"},           {u"fi-FI", "fi"},            {u"ko-KR", "ko"},
    {u"zh-CN", "zh-Hans"},       {u"zh-SG", "zh-Hans"},       {u"zh-TW", "zh-Hant"},       {u"zh-HK", "zh-Hant"},
    {u"zh-MO", "zh-Hant"},       {u"zh-Hant", "zh-Hant"},     {u"zh-Hans-HK", "zh-Hans"},  {u"ZH-Tw", "zh-Hant"},
    {u"zh_TW", "zh-Hant"},       {u"zh-Latn-CN", "zh-Hans"},  {u"zh", "zh-Hans"},          {u"DE-de", "de"},
    {u"fr", "fr"},               {u"uk-UA", "uk"},            {u"ja-JP", "ja"},            {u"", "en"},
    {u"d", "en"},                {u"xx-YY", "en"},            {u"-", "en"},                {u"\u6587\u5B57", "en"},
    {u"\u0164\u0165-CH", "en"}};
// clang-format on

}  // namespace

TEST_F(LanguageTest, LocaleNamesMapToTableCodes) {
    for (const auto& [locale, expected] : kLocaleCases) {
        SCOPED_TRACE(utf8(locale));
        EXPECT_EQ(languageForLocaleName(locale), expected);
        setLocaleNameOverride(true, locale);
        EXPECT_EQ(systemLanguage(), expected);
        EXPECT_EQ(resolveLanguage("system").code, expected);
    }
}

TEST_F(LanguageTest, SettingOverridesLocaleAndSystemFollowsItAtEachResolve) {
    setLocaleNameOverride(true, u"de-CH");
    const ActiveLanguage german = resolveLanguage("system");
    EXPECT_EQ(utf8(translate(german, "import")), "Importieren");
    setLocaleNameOverride(true, u"fr-FR");
    // A resolved language stays what it was; resolving again follows the new locale.
    EXPECT_EQ(utf8(translate(german, "import")), "Importieren");
    EXPECT_EQ(utf8(translate(resolveLanguage("system"), "import")), "Importer");

    const ActiveLanguage japanese = resolveLanguage("ja");
    EXPECT_EQ(japanese.code, "ja");
    EXPECT_EQ(utf8(translate(japanese, "sportAll")), "種目：すべて");

    // "system" is matched exactly; anything else is taken as a code.
    EXPECT_EQ(resolveLanguage("System").code, "System");
}

TEST_F(LanguageTest, TranslateLooksUpKeysInTheActiveRow) {
    EXPECT_EQ(translate(resolveLanguage("fr"), "typeAll"), u"Type\u202F: tous");
    const ActiveLanguage german = resolveLanguage("de");
    EXPECT_EQ(utf8(translate(german, "oneWay")), "Strecke");
    EXPECT_EQ(utf8(translate(german, "kayaking")), "Kajak");

    // Unknown keys, including near misses, give the empty text.
    EXPECT_TRUE(translate(german, "").empty());
    EXPECT_TRUE(translate(german, "Import").empty());
    EXPECT_TRUE(translate(german, "import ").empty());
    EXPECT_TRUE(translate(german, std::string_view("import\0", 7)).empty());
}

TEST_F(LanguageTest, SettingWithoutRowFallsBackToEnglish) {
    // Codes are compared exactly, and "system" only as a whole.
    for (const char* bad : {"xx", "zh-hant", "zh", "", "DE", "de ", "system "}) {
        const ActiveLanguage language = resolveLanguage(bad);
        SCOPED_TRACE(bad);
        EXPECT_EQ(language.row, nullptr);
        EXPECT_EQ(utf8(translate(language, "reload")), "Reload");
        EXPECT_TRUE(translate(language, "nope").empty());
    }
}

TEST_F(LanguageTest, SportDisplayTextTranslatesKeysOfTheTable) {
    const RouteInfo mtb = routeWithSport("mountain_biking", "MTB");
    EXPECT_EQ(utf8(sportDisplayText(resolveLanguage("de"), mtb)), "MTB");
    EXPECT_EQ(utf8(sportDisplayText(resolveLanguage("en"), mtb)), "Mountain bike");
    const ActiveLanguage ja = resolveLanguage("ja");
    EXPECT_EQ(utf8(sportDisplayText(ja, routeWithSport("skiing", "Ski"))), "スキー");

    // A raw type text and a route without sport show their stored labels.
    EXPECT_EQ(utf8(sportDisplayText(ja, routeWithSport("Paragliding", "Paragliding"))), "Paragliding");
    EXPECT_EQ(utf8(sportDisplayText(ja, routeWithSport("", "–"))), "–");
    EXPECT_EQ(utf8(sportDisplayText(ja, routeWithSport("", ""))), "");
    // A raw type that equals another key of the table shows that key's text.
    EXPECT_EQ(utf8(sportDisplayText(ja, routeWithSport("time", "time"))), "時間");
    EXPECT_EQ(utf8(sportDisplayText(ja, routeWithSport("Cycling", "Cycling"))), "Cycling");

    // Without a row the label stands, and bad UTF-8 in it becomes replacement characters.
    const ActiveLanguage none = resolveLanguage("xx");
    EXPECT_EQ(utf8(sportDisplayText(none, routeWithSport("cycling", "Rad"))), "Rad");
    EXPECT_EQ(sportDisplayText(none, routeWithSport("x", "a\xFF")), u"a\uFFFD");

    // "system" follows the locale at the time it is resolved.
    const RouteInfo run = routeWithSport("running", "Laufen");
    setLocaleNameOverride(true, u"sv-SE");
    EXPECT_EQ(utf8(sportDisplayText(resolveLanguage("system"), run)), "Löpning");
    setLocaleNameOverride(true, u"");
    EXPECT_EQ(utf8(sportDisplayText(resolveLanguage("system"), run)), "Running");
}

TEST_F(LanguageTest, CountWordsAgreeWithTheNumberBeforeThem) {
    const uint64_t numbers[] = {0, 1, 2, 5, 11, 12, 21, 22, 25, 101, 111, 112};
    // The word for each number in turn, separated by blanks; one word stands for every number.
    const std::pair<const char*, std::string> cases[] = {
        {"pl", "plików plik pliki plików plików plików plików pliki plików plików plików plików"},
        {"cs",
         "souborů soubor soubory souborů souborů souborů souborů souborů souborů souborů souborů souborů"},
        {"uk", "файлів файл файли файлів файлів файлів файл файли файлів файл файлів файлів"},
        {"fr",
         "fichier fichier fichiers fichiers fichiers fichiers fichiers fichiers fichiers fichiers fichiers "
         "fichiers"},
        {"fi",
         "tiedostoa tiedosto tiedostoa tiedostoa tiedostoa tiedostoa tiedostoa tiedostoa tiedostoa "
         "tiedostoa tiedostoa tiedostoa"},
        {"tr", "dosya"},
        {"en", "Files File Files Files Files Files Files Files Files Files Files Files"},
        {"de",
         "Dateien Datei Dateien Dateien Dateien Dateien Dateien Dateien Dateien Dateien Dateien Dateien"},
        // A code without row counts in English.
        {"xx", "Files File Files Files Files Files Files Files Files Files Files Files"},
    };
    for (const auto& [code, words] : cases) {
        const ActiveLanguage language = resolveLanguage(code);
        std::istringstream list(words);
        std::string word;
        for (const uint64_t number : numbers) {
            if (words.find(' ') != std::string::npos || word.empty()) list >> word;
            EXPECT_EQ(utf8(countWord(language, number)), word) << code << " " << number;
        }
    }
    // The rules look at the last digits only, however large the count.
    EXPECT_EQ(utf8(countWord(resolveLanguage("pl"), 1'000'000'000'000'000'003u)), "pliki");
    EXPECT_EQ(utf8(countWord(resolveLanguage("uk"), UINT64_MAX)), "файлів");
    EXPECT_EQ(utf8(countWord(resolveLanguage("uk"), UINT64_MAX - 14)), "файл");  // ...601
    EXPECT_EQ(utf8(countWord(resolveLanguage("cs"), 1'000'000'000'000'000'003u)), "souborů");
    EXPECT_TRUE(countWord(ActiveLanguage{}, 2).empty());  // no language chosen yet: no word, no crash
}

// The records keep fixed German texts; nobody reads them raw, in any language.
TEST_F(LanguageTest, EveryFixedFailureIsToldInTheInterfaceLanguage) {
    const ActiveLanguage english = resolveLanguage("en");
    for (const char* message :
         {kMessageCannotRead, kMessageNoPoints, kMessageNoTrackOrRoute, kMessageIncomplete,
          kMessageTempNotWritten, kMessageNotReplaced, kMessageChangedMeanwhile, kMessageFileBusy,
          kMessageHardLinks, kMessageUtf16NotRewritten, kMessageTooLarge, kMessageEndsEarly,
          "std::bad_alloc"}) {
        const std::u16string told = failureMessageText(english, message);
        EXPECT_FALSE(told.empty()) << message;
        EXPECT_NE(told, utf8ToWide(message)) << message;
    }
    EXPECT_TRUE(failureMessageText(english, "").empty());
}

TEST(FillIn, ReplacesEveryPlaceholderOnce) {
    EXPECT_EQ(fillIn(u"Reading files: {n} / {m}", u"{n}", u"3"), u"Reading files: 3 / {m}");
    EXPECT_EQ(fillIn(fillIn(u"{n} / {m}", u"{n}", u"3"), u"{m}", u"40"), u"3 / 40");
    EXPECT_EQ(fillIn(u"{n}{n} and {n}", u"{n}", u"12"), u"1212 and 12");
    // A value that holds the placeholder is inserted as it is, not replaced again.
    EXPECT_EQ(fillIn(u"a {n} b", u"{n}", u"{n}{n}"), u"a {n}{n} b");
    EXPECT_EQ(fillIn(u"{n}", u"{n}", u""), u"");
    EXPECT_EQ(fillIn(u"no placeholder", u"{n}", u"5"), u"no placeholder");
    EXPECT_EQ(fillIn(u"{n", u"{n}", u"5"), u"{n");
    EXPECT_EQ(fillIn(u"text", u"", u"5"), u"text");
}
