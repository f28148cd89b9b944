// Switching the interface language from its combo box, and following the system language.

#include "GuiTestSupport.h"
#include "i18n/Language.h"
#include "library/Settings.h"
#include "platform/Platform.h"
#include "ui/ControlIds.h"
#include "ui/RouteListLogic.h"

namespace fs = std::filesystem;

namespace {

class LanguageTest : public GuiTest {
protected:
    std::vector<std::u16string> captions() const;
};

std::vector<std::u16string> LanguageTest::captions() const {
    std::vector<std::u16string> texts = {textOf(GetDlgItem(window->mainWindow, IDC_IMPORT)),
                                         textOf(GetDlgItem(window->mainWindow, IDC_FOLDER)),
                                         textOf(GetDlgItem(window->mainWindow, IDC_RELOAD)),
                                         textOf(window->titleStatic),
                                         textOf(window->distanceStatic),
                                         comboItems(window->languageCombo)[0],
                                         comboItems(filterCombo(IDC_FILTER_SPORT))[0],
                                         comboItems(filterCombo(IDC_FILTER_GHOST))[1],
                                         comboItems(window->sportCombo)[0]};
    for (int column : {0, 1, 2, 3, 4, 5, 6, 8}) texts.push_back(columnHeader(column));
    wchar_t cue[128] = {};
    SendMessageW(window->searchBox, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 128);
    texts.push_back(u16Text(cue));
    return texts;
}

std::string languageFile(const fs::path& roaming) {
    return readBytes(roaming / "Tirn GPX Library" / "language.txt");
}

}  // namespace

TEST_F(LanguageTest, ChoosingALanguageChangesEveryCaptionAndIsRemembered) {
    TrackShape shape;
    shape.type = "hiking";
    writeTrack(library() / "Walk.gpx", shape);
    startWindow("en");
    typeSearch(u"walk");
    chooseItem(filterCombo(IDC_FILTER_GHOST), 1);
    const auto english = captions();

    chooseItem(window->languageCombo, 16);  // 日本語
    EXPECT_EQ(languageFile(roaming()), "ja");
    EXPECT_EQ(comboSelection(window->languageCombo), 16);
    const auto japanese = captions();
    for (std::size_t i = 0; i < english.size(); ++i) EXPECT_NE(japanese[i], english[i]) << "caption " << i;
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_SPORT))[0], u"\u7a2e\u76ee\uff1a\u3059\u3079\u3066");
    EXPECT_EQ(textOf(GetDlgItem(window->mainWindow, IDC_IMPORT)),
              u"\uff0b " + std::u16string(translate(window->language, "import")));
    EXPECT_EQ(comboItems(window->languageCombo)[2], u"English");  // own names do not change
    EXPECT_EQ(listText(0, 2), std::u16string(translate(window->language, "hiking")));
    EXPECT_EQ(textOf(GetDlgItem(window->mainWindow, IDC_HEADER)), u"TIRN GPX\r\nTirn GPX Library");
    EXPECT_EQ(columnHeader(7), u"Ghost");
    // The filters are reset; the search text stays.
    EXPECT_EQ(comboSelection(filterCombo(IDC_FILTER_GHOST)), 0);
    EXPECT_EQ(textOf(window->searchBox), u"walk");

    // Picking the same language again still writes the file; item 0 means "system".
    fs::remove(roaming() / "Tirn GPX Library" / "language.txt");
    chooseItem(window->languageCombo, 16);
    EXPECT_EQ(languageFile(roaming()), "ja");
    chooseItem(window->languageCombo, 19);
    EXPECT_EQ(languageFile(roaming()), "zh-Hant");
    chooseItem(window->languageCombo, 0);
    EXPECT_EQ(languageFile(roaming()), "system");
    EXPECT_EQ(window->settings.languageSetting, "system");
}

TEST_F(LanguageTest, SystemLanguageFollowsTheLocaleAndBadSettingsFallBackToIt) {
    setLocaleNameOverride(true, u"fr-FR");
    startWindow("DE");  // wrong letter case: no such language, so "system"
    const auto items = comboItems(window->languageCombo);
    const auto typeItems = comboItems(filterCombo(IDC_FILTER_TYPE));
    EXPECT_EQ(comboSelection(window->languageCombo), 0);
    EXPECT_EQ(items[0], u"\u25ce Syst\u00e8me");
    EXPECT_EQ(typeItems[0], u"Type\u202F: tous");

    // A change of the regional settings is followed at once; other setting changes are not.
    setLocaleNameOverride(true, u"sv-SE");
    SendMessageW(window->mainWindow, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"));
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_TYPE))[0], u"Type\u202F: tous");
    SendMessageW(window->mainWindow, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_TYPE))[0], u"Typ: alla");
    setLocaleNameOverride(false, u"");
}

TEST_F(LanguageTest, ALanguageThatCannotBeSavedIsNotTaken) {
    startWindow("en");
    const fs::path file = roaming() / "Tirn GPX Library" / "language.txt";
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    std::u16string message;
    const bool seen = withWatchedWindow(
        window->mainWindow, u"Tirn GPX Library", [&](HWND box) { message = readMessageBoxAndClose(box); },
        [&] { chooseItem(window->languageCombo, 1); });  // Deutsch
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(seen);
    EXPECT_EQ(message, u"The setting could not be saved and was not changed.");
    EXPECT_EQ(languageFile(roaming()), "en");
    EXPECT_EQ(window->settings.languageSetting, "en");
    EXPECT_EQ(comboSelection(window->languageCombo), 2);
    EXPECT_EQ(textOf(GetDlgItem(window->mainWindow, IDC_RELOAD)), u"\u21bb Reload");
}

TEST_F(LanguageTest, DatesAndDecimalsInTheLanguagesFormAndUnitsFromTheirBox) {
    TrackShape shape;
    shape.day = "2024-12-31";
    shape.stepLat = 0.01;  // nine steps of 1.1 km
    writeTrack(library() / "Ten.gpx", shape);
    startWindow("ja");
    EXPECT_EQ(listText(0, 1), u"2024/12/31");
    EXPECT_EQ(listText(0, 3), u"10.0 km");
    chooseItem(window->languageCombo, 17);  // 한국어
    EXPECT_EQ(listText(0, 1), u"2024. 12. 31.");
    EXPECT_EQ(listText(0, 3), u"10.0 km");

    // Imperial by the keyboard: every figure follows, and the choice is remembered.
    SetForegroundWindow(window->mainWindow);
    SetFocus(window->unitsCombo);
    pressKey(VK_DOWN);
    EXPECT_EQ(comboSelection(window->unitsCombo), 1);
    EXPECT_EQ(readBytes(roaming() / "Tirn GPX Library" / "units.txt"), "imperial");
    EXPECT_EQ(listText(0, 3), u"6.2 mi");
    EXPECT_EQ(listText(0, 5), u"89 ft");
    EXPECT_EQ(comboItems(filterCombo(IDC_FILTER_LENGTH))[1], u"< 3 mi");
    selectListRow(0);
    EXPECT_TRUE(textOf(window->distanceStatic).ends_with(u"\r\n6.2 mi"));
    EXPECT_TRUE(textOf(window->speedStatic).ends_with(u" mph")) << wideToUtf8(textOf(window->speedStatic));
    EXPECT_EQ(textOf(window->subtitleStatic), u"2024. 12. 31. 08:00");
}
