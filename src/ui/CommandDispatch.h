#pragma once
// Which operation a WM_COMMAND stands for: identifier, notification code and the two flags.

enum class Command {
    none,
    importFiles,
    chooseLibraryFolder,
    reload,
    rebuildList,
    resetFilters,
    selectLanguage,
    changeSport,
};

Command dispatchCommand(int controlId, int notificationCode, bool fillingLanguageCombo,
                        bool fillingSportCombo, int selectedRow);
