// Switching the interface language from its combo box, and following the system language.

#include "GuiTestSupport.h"
#include "i18n/Language.h"
#include "library/Settings.h"
#include "platform/Platform.h"
#include "ui/ControlIds.h"
#include "ui/RouteListLogic.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::u16string> captions() {
    std::vector<std::u16string> texts = {textOf(GetDlgItem(mainWindow, IDC_IMPORT)),
                                         textOf(GetDlgItem(mainWindow, IDC_FOLDER)),
                                         textOf(GetDlgItem(mainWindow, IDC_RELOAD)),
                                         textOf(titleStatic),
                                         textOf(distanceStatic),
                                         comboItems(languageCombo)[0],
                                         comboItems(sportFilterCombo)[0],
                                         comboItems(ghostFilterCombo)[1],
                                         comboItems(sportCombo)[0]};
    for (int column : {0, 1, 2, 3, 4, 5, 6, 8}) texts.push_back(columnHeader(column));
    wchar_t cue[128] = {};
    SendMessageW(searchBox, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 128);
    texts.push_back(u16Text(cue));
    return texts;
}

std::string languageFile(const fs::path& roaming) {
    return readBytes(roaming / "Tirn GPX Library" / "language.txt");
}

}  // namespace

TEST_F(GuiTest, ChoosingALanguageChangesEveryCaptionAndIsRemembered) {
    TrackShape shape;
    shape.type = "hiking";
    writeTrack(library() / "Walk.gpx", shape);
    startWindow("en");
    typeSearch(u"walk");
    chooseItem(ghostFilterCombo, 1);
    selectListRow(0);
    const auto english = captions();

    chooseItem(languageCombo, 16);  // 日本語
    EXPECT_EQ(languageFile(roaming()), "ja");
    EXPECT_EQ(comboSelection(languageCombo), 16);
    const auto japanese = captions();
    for (std::size_t i = 0; i < english.size(); ++i) EXPECT_NE(japanese[i], english[i]) << "caption " << i;
    EXPECT_EQ(comboItems(sportFilterCombo)[0], u"\u30b9\u30dd\u30fc\u30c4\uff1a\u3059\u3079\u3066");
    EXPECT_EQ(textOf(GetDlgItem(mainWindow, IDC_IMPORT)), u"\uff0b " + std::u16string(translate("import")));
    EXPECT_EQ(comboItems(languageCombo)[2], u"English");  // own names do not change
    EXPECT_EQ(listText(0, 2), std::u16string(translate("hiking")));
    EXPECT_EQ(textOf(GetDlgItem(mainWindow, IDC_HEADER)), u"TIRN GPX\r\nTirn GPX Library");
    EXPECT_EQ(columnHeader(7), u"Ghost");
    // The filters and the selection are reset; the search text stays.
    EXPECT_EQ(comboSelection(ghostFilterCombo), 0);
    EXPECT_EQ(selectedRow, -1);
    EXPECT_EQ(textOf(searchBox), u"walk");

    // Picking the same language again still writes the file; item 0 means "system".
    fs::remove(roaming() / "Tirn GPX Library" / "language.txt");
    chooseItem(languageCombo, 16);
    EXPECT_EQ(languageFile(roaming()), "ja");
    chooseItem(languageCombo, 19);
    EXPECT_EQ(languageFile(roaming()), "zh-Hant");
    chooseItem(languageCombo, 0);
    EXPECT_EQ(languageFile(roaming()), "system");
    EXPECT_EQ(languageSetting, "system");
}

TEST_F(GuiTest, SystemLanguageFollowsTheLocaleAndBadSettingsFallBackToIt) {
    setLocaleNameOverride(true, u"fr-FR");
    startWindow("DE");  // wrong letter case: no such language, so "system"
    const auto items = comboItems(languageCombo);
    const auto typeItems = comboItems(typeFilterCombo);
    setLocaleNameOverride(false, u"");
    EXPECT_EQ(comboSelection(languageCombo), 0);
    EXPECT_EQ(items[0], u"\u25ce Syst\u00e8me");
    EXPECT_EQ(typeItems[0], u"Type : tous");
}
