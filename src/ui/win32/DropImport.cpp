#include "ui/win32/DropImport.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "i18n/Language.h"
#include "library/Import.h"
#include "library/LibraryScan.h"
#include "platform/Platform.h"
#include "ui/Format.h"
#include "ui/win32/LibraryCommands.h"
#include "ui/win32/LibraryWatch.h"

namespace fs = std::filesystem;

namespace {

// More lines would push the box off the screen.
constexpr std::size_t kListedFiles = 15;

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
    std::vector<FolderEntry> entries;
    if (!listFolder(folder, entries)) return;
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

std::string_view reasonKey(ImportFailure failure) {
    switch (failure) {
        case ImportFailure::missingSource:
            return "reasonMissing";
        case ImportFailure::diskFull:
            return "reasonDiskFull";
        case ImportFailure::accessDenied:
            return "reasonAccessDenied";
        default:
            return "reasonNotCopied";
    }
}

// One line of the list: the file's name and, in brackets, why it is not in the library.
std::u16string failureLine(const MainWindow& window, const fs::path& file, std::string_view reason) {
    return shownName(file) + u" (" + std::u16string(translate(window.language, reason)) + u")";
}

std::u16string failureList(const MainWindow& window, const std::vector<std::u16string>& lines) {
    std::u16string text(translate(window.language, "importFailedList"));
    for (std::size_t i = 0; i < lines.size() && i < kListedFiles; ++i) {
        text += u"\n";
        text += lines[i];
    }
    if (lines.size() > kListedFiles) {
        text += u"\n";
        text += fillIn(translate(window.language, "andMore"), u"{n}",
                       decimalText(static_cast<int64_t>(lines.size() - kListedFiles)));
    }
    return text;
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
            failed.push_back(failureLine(window, path, "reasonNotGpx"));
        }
    }
    if (!sources.empty()) {
        finishLibraryRescan(window);
        const std::vector<ImportResult> results = importIntoLibrary(window.settings.libraryFolder, sources);
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const ImportFailure failure = i < results.size() ? results[i].failure : ImportFailure::other;
            if (failure != ImportFailure::none)
                failed.push_back(failureLine(window, sources[i], reasonKey(failure)));
        }
        scanLibrary(window);
    }
    if (!failed.empty()) {
        const std::u16string text = failureList(window, failed);
        MessageBoxW(window.mainWindow, wideText(text), L"Tirn GPX Library", MB_ICONWARNING);
    }
}
