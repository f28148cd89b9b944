// Putting the active language's texts on the controls, and the user's choice of language.

#include "i18n/Language.h"
#include "library/Settings.h"
#include "ui/ControlIds.h"
#include "ui/LanguageMenu.h"
#include "ui/win32/MainWindow.h"

void setControlCaption(int id, std::u16string_view icon, std::string_view key) {
    SetWindowTextW(GetDlgItem(mainWindow, id), wideText(controlCaption(icon, key)));
}

void applyLanguage() {
    fillingLanguageCombo = true;
    LanguageComboItems items = languageComboItems();
    SendMessageW(languageCombo, CB_RESETCONTENT, 0, 0);
    for (const std::u16string& text : items.texts) {
        SendMessageW(languageCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(text)));
    }
    languageChoices = std::move(items.codes);
    SendMessageW(languageCombo, CB_SETCURSEL, static_cast<WPARAM>(items.selected < 0 ? 0 : items.selected),
                 0);
    fillingLanguageCombo = false;

    setControlCaption(IDC_IMPORT, u"\uff0b", "import");
    setControlCaption(IDC_FOLDER, u"\u25a3", "folder");
    setControlCaption(IDC_RELOAD, u"\u21bb", "reload");
    const std::u16string cue(translate("search"));
    SendMessageW(searchBox, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(wideText(cue)));

    const auto headers = columnHeaderTexts();
    for (std::size_t column = 0; column < headers.size(); ++column) {
        LVCOLUMNW description{};
        description.mask = LVCF_TEXT;
        description.pszText = const_cast<wchar_t*>(wideText(headers[column]));
        SendMessageW(routeList, LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&description));
    }
    SetWindowTextW(resetButton, L"\u00d7");

    rebuildFilterBar();
    rebuildRouteList();
}

void selectLanguage() {
    const LRESULT index = SendMessageW(languageCombo, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= languageChoices.size()) return;
    languageSetting = languageChoices[static_cast<std::size_t>(index)];
    saveLanguageSetting();
    applyLanguage();
}
