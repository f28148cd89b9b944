#pragma once
// Commands that change the library: reading it, the Import and Folder dialogs, and the sport
// rewrite of the selected route.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "library/Import.h"
#include "ui/win32/MainWindow.h"

// Reads the library folder into the list; `rereadEveryFile` passes by the library index (Shift with
// Reload or F5).
void scanLibrary(MainWindow& window, bool rereadEveryFile = false);
// A box saying that the last scan could not list the library folder, once per such scan.
void tellFolderNotListed(MainWindow& window);
void importFiles(MainWindow& window);
void chooseLibraryFolder(MainWindow& window);
// Writes sportKeys[choice] into the route file `file`; the list is rebuilt with the selected route
// still selected. A failure is told in a message box.
void changeRouteSport(MainWindow& window, const std::filesystem::path& file, std::size_t choice);
// The panel's sport box shows the sport of `route` (no selection for a sport outside the list).
void showRouteSport(MainWindow& window, const RouteInfo& route);
// Why an imported file did not arrive, in the interface language.
std::u16string_view importFailureReason(const ActiveLanguage& language, ImportFailure failure);
// The files of an import that arrived become the list's selection, and the status line says how
// many arrived and which were renamed.
void showImportedFiles(MainWindow& window, const std::vector<std::filesystem::path>& sources,
                       const std::vector<ImportResult>& results);
// One message box: the files of an import that did not arrive, each with the reason.
void showImportFailures(MainWindow& window, const std::vector<std::filesystem::path>& sources,
                        const std::vector<ImportResult>& results);
// One message box: a heading (a translation key) and a list of lines, the first 15 and then how
// many more.
void showFileList(MainWindow& window, std::string_view headingKey, const std::vector<std::u16string>& lines);
// Tells the user that a setting could not be saved and so was not changed.
void showSettingNotSaved(MainWindow& window);
