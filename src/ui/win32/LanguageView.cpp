// Putting the active language's texts on the controls, and the user's choice of language.

#include "ui/win32/LanguageView.h"

#include <algorithm>

#include "ui/CommandDispatch.h"
#include "ui/LanguageMenu.h"
#include "ui/RouteColumns.h"
#include "ui/win32/Accessibility.h"
#include "ui/win32/LibraryCommands.h"
#include "ui/win32/RouteListView.h"

void applyLanguage(MainWindow& window) {
    window.fillingLanguageCombo = true;
    LanguageComboItems items = languageComboItems(window.language, window.settings.languageSetting);
    SendMessageW(window.languageCombo, CB_RESETCONTENT, 0, 0);
    for (const std::u16string& text : items.texts) {
        SendMessageW(window.languageCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(text)));
    }
    window.languageChoices = std::move(items.codes);
    SendMessageW(window.languageCombo, CB_SETCURSEL,
                 static_cast<WPARAM>(items.selected < 0 ? 0 : items.selected), 0);
    SendMessageW(window.unitsCombo, CB_RESETCONTENT, 0, 0);
    for (const char* key : {"metric", "imperial"}) {
        const std::u16string text(translate(window.language, key));
        SendMessageW(window.unitsCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(text)));
    }
    SendMessageW(window.unitsCombo, CB_SETCURSEL, window.settings.units == Units::imperial ? 1 : 0, 0);
    window.fillingLanguageCombo = false;

    for (const ToolButton& button : toolButtons) {
        const std::u16string caption = controlCaption(window.language, button.icon, button.captionKey);
        SetWindowTextW(GetDlgItem(window.mainWindow, button.controlId), wideText(caption));
    }
    const std::u16string cue(translate(window.language, "search"));
    SendMessageW(window.searchBox, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(wideText(cue)));

    for (std::size_t column = 0; column < kRouteColumnCount; ++column) {
        const std::u16string header = columnHeaderText(routeColumns[column], window.language);
        LVCOLUMNW description{};
        description.mask = LVCF_TEXT;
        description.pszText = const_cast<wchar_t*>(wideText(header));
        SendMessageW(window.routeList, LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&description));
    }
    SetWindowTextW(window.resetButton, L"\u00d7");
    applyAccessibleTexts(window);

    // The filter bar is refilled in the new language, each box on its first entry; the search,
    // the sort and the selection stay.
    changeRouteList(window, [&](ListView& view) { changeListLanguage(view, window.language); });
    rebuildFilterBar(window);
}

void selectLanguage(MainWindow& window) {
    const LRESULT index = SendMessageW(window.languageCombo, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= window.languageChoices.size()) return;
    if (!changeLanguageSetting(window.settings, window.languageChoices[static_cast<std::size_t>(index)])) {
        // Not saved, not changed: the box goes back to the language in effect.
        showSettingNotSaved(window);
        const auto current = std::find(window.languageChoices.begin(), window.languageChoices.end(),
                                       window.settings.languageSetting);
        window.fillingLanguageCombo = true;
        SendMessageW(window.languageCombo, CB_SETCURSEL,
                     current == window.languageChoices.end() ? 0 : current - window.languageChoices.begin(),
                     0);
        window.fillingLanguageCombo = false;
        return;
    }
    window.language = resolveLanguage(window.settings.languageSetting, window.settings.units);
    applyLanguage(window);
}

void selectUnits(MainWindow& window) {
    const LRESULT index = SendMessageW(window.unitsCombo, CB_GETCURSEL, 0, 0);
    if (index != 0 && index != 1) return;
    if (!changeUnitsSetting(window.settings, index == 1 ? Units::imperial : Units::metric)) {
        showSettingNotSaved(window);
        window.fillingLanguageCombo = true;
        SendMessageW(window.unitsCombo, CB_SETCURSEL, window.settings.units == Units::imperial ? 1 : 0, 0);
        window.fillingLanguageCombo = false;
        return;
    }
    window.language = resolveLanguage(window.settings.languageSetting, window.settings.units);
    applyLanguage(window);
}

void followSystemLanguage(MainWindow& window) {
    // A new region may also change how English writes its dates, whatever the setting.
    ActiveLanguage language = resolveLanguage(window.settings.languageSetting, window.settings.units);
    if (language.code == window.language.code &&
        language.forms.datePattern == window.language.forms.datePattern &&
        language.forms.twelveHour == window.language.forms.twelveHour) {
        return;
    }
    window.language = std::move(language);
    applyLanguage(window);
}
