#include "ui/CommandDispatch.h"

#include "ui/ControlIds.h"
#include "ui/RouteFilters.h"
#include "ui/SportChoice.h"

namespace {

constexpr int kButtonClicked = 0;     // BN_CLICKED
constexpr int kEditChanged = 0x0300;  // EN_CHANGE
constexpr int kComboSelChange = 1;    // CBN_SELCHANGE

}  // namespace

Command dispatchCommand(int controlId, int notificationCode, bool fillingLanguageCombo,
                        bool fillingSportCombo, int selectedRow) {
    if (isFilterControl(controlId)) {
        return notificationCode == kComboSelChange ? Command::rebuildList : Command::none;
    }
    switch (controlId) {
        case IDC_IMPORT:
            return notificationCode == kButtonClicked ? Command::importFiles : Command::none;
        case IDC_EXPORT:
            return notificationCode == kButtonClicked ? Command::exportRoutes : Command::none;
        case IDC_FOLDER:
            return notificationCode == kButtonClicked ? Command::chooseLibraryFolder : Command::none;
        case IDC_RELOAD:
            return notificationCode == kButtonClicked ? Command::reload : Command::none;
        case IDC_SEARCH:
            return notificationCode == kEditChanged ? Command::rebuildList : Command::none;
        case IDC_RESET:
            return notificationCode == kButtonClicked ? Command::resetFilters : Command::none;
        case IDC_LANGUAGE:
            // Refilling the combo box must not lead back into the language change.
            return notificationCode == kComboSelChange && !fillingLanguageCombo ? Command::selectLanguage
                                                                                : Command::none;
        case IDC_UNITS:
            // Filled together with the language box, under the same guard.
            return notificationCode == kComboSelChange && !fillingLanguageCombo ? Command::selectUnits
                                                                                : Command::none;
        case IDC_SPORT_CHANGE:
            // Refilling the panel's combo box must never rewrite a file.
            return sportBoxEventFor(notificationCode) && !fillingSportCombo && selectedRow >= 0
                       ? Command::sportBox
                       : Command::none;
        case IDC_OVERVIEW:
            return notificationCode == kButtonClicked ? Command::toggleOverview : Command::none;
        case IDC_OVERVIEW_NOTE:
            return notificationCode == kButtonClicked ? Command::clearOverviewPick : Command::none;
        default:
            return Command::none;
    }
}
