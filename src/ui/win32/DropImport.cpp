#include "ui/win32/DropImport.h"

#include <filesystem>
#include <string>
#include <vector>

#include "i18n/Language.h"
#include "library/ActivityImport.h"
#include "library/Import.h"
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

std::u16string shownName(const fs::path& path) {
    return pathToWide(path.filename().empty() ? path : path.filename());
}

// One line of the list: the file's name and why it is not in the library.
std::u16string failureLine(const fs::path& file, std::u16string_view reason) {
    return shownName(file) + u": " + std::u16string(reason);
}

}  // namespace

void importAndShow(MainWindow& window, const std::vector<fs::path>& sources,
                   std::vector<std::u16string> failed) {
    if (!sources.empty()) {
        finishLibraryRescan(window);
        std::vector<fs::path> wanted;
        std::vector<ImportResult> arrived;
        std::vector<std::u16string> partly;  // made of what could be read of a damaged file
        for (const ImportItem& item : importSources(window.settings.libraryFolder, sources)) {
            if (item.result.failure == ImportFailure::none) {
                if (item.partial && !item.result.target.empty()) partly.push_back(shownOrigin(item));
                wanted.push_back(item.wanted);
                arrived.push_back(item.result);
            } else {
                failed.push_back(
                    shownOrigin(item) + u": " +
                    std::u16string(item.reasonKey.empty()
                                       ? importFailureReason(window.language, item.result.failure)
                                       : translate(window.language, item.reasonKey)));
            }
        }
        scanLibrary(window);
        showImportedFiles(window, wanted, arrived);
        showFileList(window, "partlyReadList", partly);
    }
    showFileList(window, "importFailedList", failed);
}

void importDroppedFiles(MainWindow& window, HDROP drop) {
    const std::vector<fs::path> paths = droppedPaths(drop);
    DragFinish(drop);

    std::vector<fs::path> sources;
    std::vector<std::u16string> failed;
    for (const fs::path& path : paths) {
        if (fileKind(path) == FileKind::folder || isImportableName(path.filename())) {
            sources.push_back(path);
        } else {
            failed.push_back(failureLine(path, translate(window.language, "reasonNotImportable")));
        }
    }
    importAndShow(window, sources, std::move(failed));
}
