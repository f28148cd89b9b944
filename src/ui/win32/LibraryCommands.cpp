// Commands that change the library: reading it, the two file dialogs, and the sport rewrite.
// The dialogs only supply paths; copying and the settings file are the library module's work.

#include "ui/win32/LibraryCommands.h"

#include <shobjidl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/SportRewrite.h"
#include "core/SportWeather.h"
#include "core/TrackAnalysis.h"
#include "i18n/Language.h"
#include "library/Import.h"
#include "library/LibraryIndex.h"
#include "library/LibraryScan.h"
#include "platform/Platform.h"
#include "ui/DuplicateTexts.h"
#include "ui/Format.h"
#include "ui/RouteListLogic.h"
#include "ui/win32/DropImport.h"
#include "ui/win32/LibraryWatch.h"
#include "ui/win32/RouteListView.h"

namespace {

// The file-system path of a shell item, or an empty path.
std::filesystem::path itemPath(IShellItem* item) {
    wchar_t* text = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &text)) || !text) return {};
    std::filesystem::path path(text);
    CoTaskMemFree(text);
    return path;
}

void addOptions(IFileDialog* dialog, FILEOPENDIALOGOPTIONS added) {
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | added);
}

}  // namespace

std::u16string_view importFailureReason(const ActiveLanguage& language, ImportFailure failure) {
    switch (failure) {
        case ImportFailure::missingSource:
            return translate(language, "reasonMissing");
        case ImportFailure::diskFull:
            return translate(language, "reasonDiskFull");
        case ImportFailure::accessDenied:
            return translate(language, "reasonAccessDenied");
        case ImportFailure::none:
        case ImportFailure::other:
            break;
    }
    return translate(language, "reasonNotCopied");
}

void showImportFailures(MainWindow& window, const std::vector<std::filesystem::path>& sources,
                        const std::vector<ImportResult>& results) {
    std::vector<std::u16string> lines;
    for (std::size_t i = 0; i < sources.size() && i < results.size(); ++i) {
        if (results[i].failure == ImportFailure::none) continue;
        lines.push_back(pathToWide(sources[i].filename()) + u": " +
                        std::u16string(importFailureReason(window.language, results[i].failure)));
    }
    showFileList(window, "importFailedList", lines);
}

void showImportedFiles(MainWindow& window, const std::vector<std::filesystem::path>& sources,
                       const std::vector<ImportResult>& results) {
    std::vector<std::filesystem::path> arrived;
    for (const ImportResult& result : results) {
        if (!result.target.empty()) arrived.push_back(result.target);
        // A file the library had already is shown like an arrival: that is where it is.
        if (!result.existing.empty()) arrived.push_back(result.existing);
    }
    if (arrived.empty()) return;
    std::u16string note = importNoteText(sources, results, window.language);
    const std::u16string already = alreadyInLibraryText(sources, results, window.language);
    if (!note.empty() && !already.empty()) note += kStatusSeparator;
    note += already;
    bool filtersCleared = false;
    changeRouteList(
        window, [&](ListView& view) { filtersCleared = applyImport(view, arrived, note, window.language); });
    if (!filtersCleared) return;
    rebuildFilterBar(window);
    window.fillingSearchBox = true;
    SetWindowTextW(window.searchBox, L"");
    window.fillingSearchBox = false;
}

void showFileList(MainWindow& window, std::string_view headingKey, const std::vector<std::u16string>& lines) {
    if (lines.empty()) return;
    // A long list would not fit on the screen: the first files, then how many more.
    constexpr std::size_t kShown = 15;
    std::u16string text(translate(window.language, headingKey));
    text += u"\n";
    for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) text += u"\n" + lines[i];
    if (lines.size() > kShown) {
        const std::string more = std::to_string(lines.size() - kShown);
        text += u"\n" + fillIn(translate(window.language, "andMore"), u"{n}",
                               std::u16string(more.begin(), more.end()));
    }
    MessageBoxW(window.mainWindow, wideText(text), L"Tirn GPX Library", MB_ICONWARNING);
}

void showSettingNotSaved(MainWindow& window) {
    const std::u16string text(translate(window.language, "settingNotSaved"));
    MessageBoxW(window.mainWindow, wideText(text), L"Tirn GPX Library", MB_ICONERROR);
}

void showRouteSport(MainWindow& window, const RouteInfo& route) {
    const auto known = std::find(sportKeys.begin(), sportKeys.end(), route.sportKey);
    const WPARAM item =
        known == sportKeys.end() ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(known - sportKeys.begin());
    window.fillingSportCombo = true;
    SendMessageW(window.sportCombo, CB_SETCURSEL, item, 0);
    window.fillingSportCombo = false;
}

void scanLibrary(MainWindow& window, bool rereadEveryFile) {
    FolderSnapshot snapshot = beginLibraryScan(window);
    LibraryScanOptions options;
    if (rereadEveryFile) options.index = LibraryIndexUse::rewrite;
    // A scan that takes longer than half a second shows how far it is (and, at start-up, shows
    // the window first). Only painting goes on meanwhile: input is dropped, so that no command
    // can start in the middle of the scan.
    const auto started = std::chrono::steady_clock::now();
    auto lastShown = started;
    bool showing = false;
    options.progress = [&](std::size_t done, std::size_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (now - started < std::chrono::milliseconds(500)) return;
        if (showing && now - lastShown < std::chrono::milliseconds(100) && done < total) return;
        lastShown = now;
        if (!showing) {
            showing = true;
            if (!IsWindowVisible(window.mainWindow)) {
                ShowWindow(window.mainWindow, window.startMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
            }
        }
        const std::u16string count = fillIn(translate(window.language, "readingFiles"), u"{n}",
                                            decimalText(static_cast<int64_t>(done)));
        SetWindowTextW(window.statusStatic,
                       wideText(fillIn(count, u"{m}", decimalText(static_cast<int64_t>(total)))));
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        }
        while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        }
        RedrawWindow(window.mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    LibraryScanCounts counts;
    std::vector<RouteInfo> routes = readLibrary(window.settings.libraryFolder, options, &counts);
    window.libraryFolderNotListed = counts.folderNotListed;
    window.folderNotListedToTell = counts.folderNotListed;
    // The filter bar starts afresh; the search, the sort and the selected routes stay.
    changeRouteList(window, [&](ListView& view) {
        applyScan(view, std::move(routes), std::move(snapshot), FilterChoices::reset, window.language);
    });
    rebuildFilterBar(window);
    // At start-up the window is still hidden: runMainWindow tells it once the window is shown.
    if (IsWindowVisible(window.mainWindow)) tellFolderNotListed(window);
}

void tellFolderNotListed(MainWindow& window) {
    if (!window.folderNotListedToTell) return;
    window.folderNotListedToTell = false;
    const std::u16string text = std::u16string(translate(window.language, "folderNotListed")) + u"\n\n" +
                                pathToWide(window.settings.libraryFolder);
    MessageBoxW(window.mainWindow, wideText(text), L"Tirn GPX Library", MB_ICONWARNING);
}

void importFiles(MainWindow& window) {
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(&dialog))) ||
        !dialog) {
        return;
    }
    const std::u16string typesName(translate(window.language, "importFileTypes"));
    const COMDLG_FILTERSPEC types[] = {{wideText(typesName), L"*.gpx;*.tcx;*.fit;*.gz;*.zip"},
                                       {L"GPX", L"*.gpx"}};
    dialog->SetFileTypes(2, types);
    const std::u16string title(translate(window.language, "import"));
    dialog->SetTitle(wideText(title));
    addOptions(dialog, FOS_FORCEFILESYSTEM | FOS_ALLOWMULTISELECT | FOS_FILEMUSTEXIST);

    IShellItemArray* results = nullptr;
    if (FAILED(dialog->Show(window.mainWindow)) || FAILED(dialog->GetResults(&results)) || !results) {
        dialog->Release();
        return;
    }
    std::vector<std::filesystem::path> sources;
    DWORD count = 0;
    if (FAILED(results->GetCount(&count))) count = 0;
    for (DWORD i = 0; i < count; ++i) {
        IShellItem* item = nullptr;
        if (FAILED(results->GetItemAt(i, &item)) || !item) continue;
        std::filesystem::path path = itemPath(item);
        item->Release();
        if (!path.empty()) sources.push_back(std::move(path));
    }
    results->Release();
    dialog->Release();
    importAndShow(window, sources, {});
}

void chooseLibraryFolder(MainWindow& window) {
    IFileDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileDialog,
                                reinterpret_cast<void**>(&dialog))) ||
        !dialog) {
        return;
    }
    addOptions(dialog, FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    const std::u16string title(translate(window.language, "chooseLibraryFolder"));
    dialog->SetTitle(wideText(title));
    // It opens on the library in use, not wherever the last dialog of any program was.
    IShellItem* current = nullptr;
    const std::u16string folderText = pathToWide(window.settings.libraryFolder);
    if (SUCCEEDED(SHCreateItemFromParsingName(wideText(folderText), nullptr, IID_IShellItem,
                                              reinterpret_cast<void**>(&current))) &&
        current) {
        dialog->SetFolder(current);
        current->Release();
    }

    IShellItem* item = nullptr;
    if (FAILED(dialog->Show(window.mainWindow)) || FAILED(dialog->GetResult(&item)) || !item) {
        dialog->Release();
        return;
    }
    const std::filesystem::path folder = itemPath(item);
    if (!folder.empty()) {
        // A choice that cannot be saved would silently go back at the next start: it is not made.
        if (changeLibraryFolder(window.settings, folder)) {
            watchLibraryFolder(window);
            scanLibrary(window);
        } else {
            showSettingNotSaved(window);
        }
    }
    item->Release();
    dialog->Release();
}

void changeRouteSport(MainWindow& window, const std::filesystem::path& file, std::size_t choice) {
    if (choice >= sportKeys.size()) return;
    // Applying a rescan renumbers the records: the route is found by its file afterwards.
    finishLibraryRescan(window);
    const auto route = std::find_if(window.list.routes.begin(), window.list.routes.end(),
                                    [&](const RouteInfo& r) { return r.filePath == file; });
    if (route == window.list.routes.end()) return;

    std::string message;
    if (rewriteSport(*route, sportKeys[choice], message)) {
        RouteInfo record = analyzeGpxFile(file);
        noteLibraryFileWritten(window, file);
        // The next start takes the new record from the index instead of reading the file again.
        updateIndexEntry(window.settings.libraryFolder, record);
        changeRouteList(window,
                        [&](ListView& view) { applySportChange(view, std::move(record), window.language); });
    } else {
        // The box goes back to the sport the file really has before the message box takes the
        // focus: showing the one that could not be written would report a failure as success,
        // and leaving the box with it would try the write again.
        if (const RouteInfo* shown = selectedRoute(window)) showRouteSport(window, *shown);
        const std::u16string text = failureMessageText(window.language, message);
        MessageBoxW(window.mainWindow, wideText(text), L"Tirn GPX Library", MB_ICONERROR);
    }
}
