// Commands that change the library: reading it, the two file dialogs, and the sport rewrite.
// The dialogs only supply paths; copying and the settings file are the library module's work.

#include <shobjidl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/SportRewrite.h"
#include "core/SportWeather.h"
#include "core/TrackAnalysis.h"
#include "i18n/Language.h"
#include "library/Import.h"
#include "library/LibraryScan.h"
#include "platform/Platform.h"
#include "ui/RouteListLogic.h"
#include "ui/win32/MainWindow.h"

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

void scanLibrary() {
    readLibraryIntoRoutes();
    rebuildFilterBar();
    rebuildRouteList();
}

void importFiles() {
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(&dialog))) ||
        !dialog) {
        return;
    }
    const COMDLG_FILTERSPEC types[] = {{L"GPX", L"*.gpx"}};
    dialog->SetFileTypes(1, types);
    const std::u16string title(translate("import"));
    dialog->SetTitle(wideText(title));
    addOptions(dialog, FOS_FORCEFILESYSTEM | FOS_ALLOWMULTISELECT | FOS_FILEMUSTEXIST);

    IShellItemArray* results = nullptr;
    if (FAILED(dialog->Show(mainWindow)) || FAILED(dialog->GetResults(&results)) || !results) {
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
    importIntoLibrary(sources);
    scanLibrary();
    dialog->Release();
}

void chooseLibraryFolder() {
    IFileDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileDialog,
                                reinterpret_cast<void**>(&dialog))) ||
        !dialog) {
        return;
    }
    addOptions(dialog, FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    const std::u16string title(translate("folder"));
    dialog->SetTitle(wideText(title));

    IShellItem* item = nullptr;
    if (FAILED(dialog->Show(mainWindow)) || FAILED(dialog->GetResult(&item)) || !item) {
        dialog->Release();
        return;
    }
    const std::filesystem::path folder = itemPath(item);
    if (!folder.empty()) {
        changeLibraryFolder(folder);
        scanLibrary();
    }
    item->Release();
    dialog->Release();
}

void changeSelectedSport(HWND owner) {
    const LRESULT choice = SendMessageW(sportCombo, CB_GETCURSEL, 0, 0);
    if (choice < 0 || static_cast<std::size_t>(choice) >= sportKeys.size()) return;
    if (selectedRow < 0 || static_cast<std::size_t>(selectedRow) >= visibleRows.size()) return;
    const uint64_t index = visibleRows[static_cast<std::size_t>(selectedRow)];
    if (index >= libraryRoutes.size()) return;

    std::string message;
    if (rewriteSport(libraryRoutes[index], sportKeys[static_cast<std::size_t>(choice)], message)) {
        const std::filesystem::path file = libraryRoutes[index].filePath;
        libraryRoutes[index] = analyzeGpxFile(file);
        rebuildRouteList();
    } else {
        const std::u16string text = utf8ToWide(message);
        MessageBoxW(owner, wideText(text), L"Tirn GPX Library", MB_ICONERROR);
    }
}
