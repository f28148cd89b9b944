#pragma once
// Commands on all selected routes at once: a sport written into each file on a worker (with its
// progress and Cancel in the status line), the move to the Recycle Bin, and Undo of the last such
// change, a rename included (UndoRecord).

#include <filesystem>
#include <vector>

#include "library/UndoRecord.h"
#include "ui/win32/MainWindow.h"

// Posted by the sport run's worker when it has results waiting.
inline constexpr UINT kSportRunMessage = WM_APP + 0x60;

// The progress text and the Cancel button, hidden until a run starts.
void createBulkControls(MainWindow& window);
// After each layout: while a run goes on, they take the right end of the status line.
void placeBulkControls(MainWindow& window);
// Writes sportKeys[choice] into each file on a worker; refused while another run goes on.
void startSportChange(MainWindow& window, std::vector<std::filesystem::path> files, std::size_t choice);
// kSportRunMessage: the arrived results into the list, and at the end the summary.
void sportRunReport(MainWindow& window);
// Cancel and Escape: the run stops before its next file. False when none runs.
bool cancelSportRun(MainWindow& window);
// At the window's destruction: the worker ends before the window's state is gone.
void stopSportRun(MainWindow& window);

// Delete and the row menu: the selected files go to the Recycle Bin, after a question for several.
void recycleSelectedRoutes(MainWindow& window);
// Ctrl+Z and the row menu: undoes the newest recorded change.
void undoLastChange(MainWindow& window);
// Records a finished rename for Undo and shows the library with the new names (RenameDialog).
void finishRenames(MainWindow& window, UndoRecord record, const std::vector<std::u16string>& failures);
