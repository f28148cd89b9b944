#include "ui/win32/BulkCommands.h"

#include <shellapi.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "core/SportWeather.h"
#include "core/TrackAnalysis.h"
#include "library/BulkSport.h"
#include "platform/Platform.h"
#include "ui/ControlIds.h"
#include "ui/Format.h"
#include "ui/Layout.h"
#include "ui/win32/LibraryCommands.h"
#include "ui/win32/LibraryWatch.h"
#include "ui/win32/MainFrame.h"
#include "ui/win32/RouteListView.h"

namespace fs = std::filesystem;

struct SportRun {
    std::thread worker;
    std::atomic<bool> cancel{false};
    // Handed from the worker to the GUI thread.
    std::mutex lock;
    std::vector<std::pair<SportChangeResult, RouteInfo>> arrived;
    bool finished = false;
    bool reportPosted = false;
    // The GUI thread's own.
    std::size_t total = 0;
    std::size_t done = 0;
    std::size_t changed = 0;
    std::vector<std::u16string> failures;
};

namespace {

std::u16string countText(const MainWindow& window, std::string_view key, std::size_t n, std::size_t m = 0) {
    const std::u16string text =
        fillIn(translate(window.language, key), u"{n}", decimalText(static_cast<int64_t>(n)));
    return fillIn(text, u"{m}", decimalText(static_cast<int64_t>(m)));
}

// The status line says what a command did until the user's next change of the list.
void showNote(MainWindow& window, std::u16string note) {
    window.list.note = std::move(note);
    SetWindowTextW(window.statusStatic, wideText(window.list.note));
}

void relayout(MainWindow& window) {
    RECT client{};
    GetClientRect(window.mainWindow, &client);
    layoutMainWindow(window, client.right, client.bottom);
}

// Another change of the files while a run writes them would be undone or recorded out of order.
bool refusedWhileRunning(const MainWindow& window) {
    if (!window.sportRun) return false;
    MessageBeep(MB_ICONWARNING);
    return true;
}

std::u16string fileLine(const MainWindow& window, const fs::path& file, std::string_view message) {
    return pathToWide(file.filename()) + u": " + failureMessageText(window.language, message);
}

void postReport(HWND target, SportRun& run) {
    {
        const std::lock_guard<std::mutex> held(run.lock);
        if (run.reportPosted) return;
        run.reportPosted = true;
    }
    PostMessageW(target, kSportRunMessage, 0, 0);
}

void runSportWorker(std::shared_ptr<SportRun> run, HWND target, std::vector<fs::path> files,
                    std::string key) {
    try {
        UndoRecord record =
            changeSportOfFiles(files, key, &run->cancel, [&](const SportChangeResult& result) {
                RouteInfo changed = result.changed ? analyzeGpxFile(result.file) : RouteInfo();
                {
                    const std::lock_guard<std::mutex> held(run->lock);
                    run->arrived.emplace_back(result, std::move(changed));
                }
                postReport(target, *run);
            });
        if (!record.entries.empty()) saveUndoRecord(undoFolder(), std::move(record));
    } catch (const std::exception&) {
        // Out of memory: the files are whole either way; the run ends with what it reported.
    }
    {
        const std::lock_guard<std::mutex> held(run->lock);
        run->finished = true;
    }
    postReport(target, *run);
}

// Moves the files to the Recycle Bin in one shell operation, never deleting one for good.
void moveToRecycleBin(HWND owner, const std::vector<fs::path>& files) {
    std::u16string from;
    for (const fs::path& file : files) {
        from += pathToWide(file);
        from.push_back(u'\0');
    }
    from.push_back(u'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = wideText(from);
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&operation);
}

}  // namespace

void createBulkControls(MainWindow& window) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetModuleHandleW(nullptr));
    window.bulkProgress =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_NOPREFIX | SS_RIGHT, 0, 0, 0, 0, window.mainWindow,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_BULK_PROGRESS)), instance, nullptr);
    window.bulkCancel = CreateWindowExW(
        0, L"BUTTON", L"", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, window.mainWindow,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_BULK_CANCEL)), instance, nullptr);
    for (HWND control : {window.bulkProgress, window.bulkCancel})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(window.smallFont), FALSE);
}

void placeBulkControls(MainWindow& window) {
    const bool running = window.sportRun != nullptr;
    ShowWindow(window.bulkProgress, running ? SW_SHOW : SW_HIDE);
    ShowWindow(window.bulkCancel, running ? SW_SHOW : SW_HIDE);
    if (!running) return;
    RECT status{};
    GetWindowRect(window.statusStatic, &status);
    MapWindowPoints(nullptr, window.mainWindow, reinterpret_cast<POINT*>(&status), 2);
    // The button is as wide as its caption in the interface language needs.
    const std::u16string caption(translate(window.language, "cancelButton"));
    SetWindowTextW(window.bulkCancel, wideText(caption));
    HDC dc = GetDC(window.bulkCancel);
    HGDIOBJ old = SelectObject(dc, window.smallFont);
    SIZE extent{};
    GetTextExtentPoint32W(dc, wideText(caption), static_cast<int>(caption.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(window.bulkCancel, dc);
    const int gap = scaledPixels(8, window.dpi);
    const int buttonWidth = extent.cx + scaledPixels(24, window.dpi);
    const int progressWidth = scaledPixels(170, window.dpi);
    const int height = status.bottom - status.top;
    const int buttonHeight = std::min(height, scaledPixels(26, window.dpi));
    const int right = status.right;
    MoveWindow(window.bulkCancel, right - buttonWidth, status.top + (height - buttonHeight) / 2, buttonWidth,
               buttonHeight, TRUE);
    MoveWindow(window.bulkProgress, right - buttonWidth - gap - progressWidth, status.top, progressWidth,
               height, TRUE);
    MoveWindow(window.statusStatic, status.left, status.top,
               std::max(0, static_cast<int>(right - buttonWidth - 2 * gap - progressWidth - status.left)),
               height, TRUE);
}

void startSportChange(MainWindow& window, std::vector<fs::path> files, std::size_t choice) {
    if (choice >= sportKeys.size() || files.empty() || refusedWhileRunning(window)) return;
    // The box shows no sport for several routes: the chosen one goes back out of it at once, so
    // that leaving the box does not choose it again.
    window.fillingSportCombo = true;
    if (window.list.selected.size() > 1)
        SendMessageW(window.sportCombo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    window.fillingSportCombo = false;

    auto run = std::make_shared<SportRun>();
    run->total = files.size();
    window.sportRun = run;
    SetWindowTextW(window.bulkProgress, wideText(countText(window, "sportProgress", 0, run->total)));
    relayout(window);
    run->worker =
        std::thread(runSportWorker, run, window.mainWindow, std::move(files), std::string(sportKeys[choice]));
}

void sportRunReport(MainWindow& window) {
    const std::shared_ptr<SportRun> run = window.sportRun;
    if (!run) return;
    std::vector<std::pair<SportChangeResult, RouteInfo>> arrived;
    bool finished = false;
    {
        const std::lock_guard<std::mutex> held(run->lock);
        arrived.swap(run->arrived);
        finished = run->finished;
        run->reportPosted = false;
    }
    bool listChanged = false;
    for (auto& [result, record] : arrived) {
        ++run->done;
        if (!result.changed) {
            run->failures.push_back(fileLine(window, result.file, result.message));
            continue;
        }
        ++run->changed;
        listChanged = true;
        noteLibraryFileWritten(window, result.file);
    }
    if (listChanged) {
        changeRouteList(window, [&](ListView& view) {
            for (auto& [result, record] : arrived)
                if (result.changed) applySportChange(view, std::move(record), window.language);
        });
    }
    SetWindowTextW(window.bulkProgress, wideText(countText(window, "sportProgress", run->done, run->total)));
    if (!finished) return;

    run->worker.join();
    window.sportRun.reset();
    relayout(window);
    showNote(window, countText(window, "filesChanged", run->changed, run->total));
    showFileList(window, "sportNotChangedList", run->failures);
}

bool cancelSportRun(MainWindow& window) {
    if (!window.sportRun) return false;
    window.sportRun->cancel = true;
    return true;
}

void stopSportRun(MainWindow& window) {
    if (!window.sportRun) return;
    window.sportRun->cancel = true;
    if (window.sportRun->worker.joinable()) window.sportRun->worker.join();
    window.sportRun.reset();
}

void recycleSelectedRoutes(MainWindow& window) {
    if (refusedWhileRunning(window) || window.list.selected.empty()) return;
    const std::vector<fs::path> files = window.list.selected;
    if (files.size() > 1) {
        const std::u16string question = countText(window, "recycleConfirm", files.size());
        if (MessageBoxW(window.mainWindow, wideText(question), L"Tirn GPX Library",
                        MB_ICONQUESTION | MB_YESNO) != IDYES)
            return;
    }
    finishLibraryRescan(window);
    // Each file's bytes are kept first, so that Undo can bring it back whatever the bin does.
    UndoRecord record{UndoKind::recycle, {}};
    for (const fs::path& file : files) {
        FileBuffer buffer;
        std::size_t size = 0;
        if (!readWholeFile(file, buffer, size)) continue;
        std::string bytes(buffer.data, size);
        const std::uint64_t hash = undoHash(bytes);
        record.entries.push_back({file, {}, std::move(bytes), hash});
    }
    moveToRecycleBin(window.mainWindow, files);
    std::erase_if(record.entries, [](const UndoEntry& entry) { return !isNameFree(entry.path); });
    std::vector<std::u16string> failures;
    for (const fs::path& file : files) {
        if (!isNameFree(file)) failures.push_back(pathToWide(file.filename()));
    }
    const std::size_t moved = files.size() - failures.size();
    if (!record.entries.empty()) saveUndoRecord(undoFolder(), std::move(record));
    scanLibrary(window);
    showNote(window, countText(window, "filesChanged", moved, files.size()));
    showFileList(window, "recycleFailedList", failures);
}

void undoLastChange(MainWindow& window) {
    if (refusedWhileRunning(window)) return;
    finishLibraryRescan(window);
    const std::optional<UndoRecord> record = takeNewestUndoRecord(undoFolder());
    if (!record) {
        showNote(window, std::u16string(translate(window.language, "nothingToUndo")));
        return;
    }
    const UndoOutcome outcome = undoChange(*record);
    scanLibrary(window);
    showNote(window, countText(window, "undoneCount", outcome.restored));
    std::vector<std::u16string> left;
    for (const fs::path& file : outcome.leftAlone) left.push_back(pathToWide(file.filename()));
    showFileList(window, "undoLeftList", left);
}

void finishRenames(MainWindow& window, UndoRecord record, const std::vector<std::u16string>& failures) {
    const std::size_t renamed = record.entries.size();
    if (!record.entries.empty()) saveUndoRecord(undoFolder(), std::move(record));
    scanLibrary(window);
    showNote(window, countText(window, "filesChanged", renamed, renamed + failures.size()));
    showFileList(window, "renameFailedList", failures);
}
