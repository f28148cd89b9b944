#pragma once
// Which operation a WM_COMMAND stands for: identifier, notification code and the two flags; and
// the buttons of the top bar with their captions.

#include <array>
#include <string_view>

#include "ui/ControlIds.h"

struct ToolButton {
    int controlId = 0;
    std::u16string_view icon;
    std::string_view captionKey;  // caption: icon, a blank and this key's text
};

inline constexpr std::array<ToolButton, 4> toolButtons = {{
    {IDC_IMPORT, u"＋", "import"},
    {IDC_EXPORT, u"\u2197", "exportRoutes"},
    {IDC_FOLDER, u"▣", "folder"},
    {IDC_RELOAD, u"↻", "reload"},
}};

enum class Command {
    none,
    importFiles,
    chooseLibraryFolder,
    reload,
    rebuildList,
    resetFilters,
    selectLanguage,
    selectUnits,
    sportBox,  // a notification of the panel's sport box that may lead to a choice (SportChoice)
    exportRoutes,
    toggleOverview,
    clearOverviewPick,
};

Command dispatchCommand(int controlId, int notificationCode, bool fillingLanguageCombo,
                        bool fillingSportCombo, int selectedRow);
