#pragma once
// The detail panel's sport box: which of its notifications and keys make a choice (SportChoice),
// and writing the chosen sport once the box has finished its own work.

#include "ui/win32/MainWindow.h"

// Posted to the main window when a sport was chosen; the write runs when it arrives.
inline constexpr UINT kSportChosenMessage = WM_APP + 0x53;

// WM_COMMAND from the box (the dispatch table lets through only the codes that matter).
void handleSportBoxNotice(MainWindow& window, int notificationCode);
// Enter and Escape in the closed box, before dialog navigation sees them; true when handled.
bool handleSportBoxKey(MainWindow& window, const MSG& message);
// kSportChosenMessage.
void writeChosenSport(MainWindow& window);
