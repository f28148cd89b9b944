#include "ui/win32/DropImport.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "i18n/Language.h"
#include "library/Import.h"
#include "library/LibraryScan.h"
#include "platform/Platform.h"
#include "ui/win32/LibraryCommands.h"
#include "ui/win32/LibraryWatch.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> droppedPaths(HDROP drop) {
    std::vector<fs::path> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0) continue;
        std::wstring path(length + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        if (!path.empty()) paths.emplace_back(std::move(path));
    }
    return paths;
}

// The .gpx files directly inside a dropped folder, by name; subfolders are not entered, as in
// the library itself.
void addFolderFiles(const fs::path& folder, std::vector<fs::path>& sources) {
    // A listing that fails midway still gives the files it read.
    std::vector<FolderEntry> entries;
    listFolder(folder, entries);
    std::vector<fs::path> found;
    for (const FolderEntry& entry : entries) {
        if (entry.isFile && isLibraryFileName(entry.name)) found.push_back(folder / entry.name);
    }
    std::sort(found.begin(), found.end());
    sources.insert(sources.end(), found.begin(), found.end());
}

std::u16string shownName(const fs::path& path) {
    return pathToWide(path.filename().empty() ? path : path.filename());
}

// One line of the list: the file's name and why it is not in the library.
std::u16string failureLine(const fs::path& file, std::u16string_view reason) {
    return shownName(file) + u": " + std::u16string(reason);
}

}  // namespace

void importDroppedFiles(MainWindow& window, HDROP drop) {
    const std::vector<fs::path> paths = droppedPaths(drop);
    DragFinish(drop);

    std::vector<fs::path> sources;
    std::vector<std::u16string> failed;
    for (const fs::path& path : paths) {
        if (fileKind(path) == FileKind::folder) {
            addFolderFiles(path, sources);
        } else if (isLibraryFileName(path.filename())) {
            sources.push_back(path);
        } else {
            failed.push_back(failureLine(path, translate(window.language, "reasonNotGpx")));
        }
    }
    if (!sources.empty()) {
        finishLibraryRescan(window);
        const std::vector<ImportResult> results = importIntoLibrary(window.settings.libraryFolder, sources);
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const ImportFailure failure = i < results.size() ? results[i].failure : ImportFailure::other;
            if (failure != ImportFailure::none)
                failed.push_back(failureLine(sources[i], importFailureReason(window.language, failure)));
        }
        scanLibrary(window);
        showImportedFiles(window, sources, results);
    }
    showFileList(window, "importFailedList", failed);
}
