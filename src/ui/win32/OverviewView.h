#pragma once
// The overview in the window: a table of the listed routes by year and sport and a bar chart of
// one year's months, shown in the list's place (the toggle, Ctrl+T). A click on a cell or a bar
// narrows the list to it and shows the list again, with the narrowing as a note beside the toggle
// that a click on it, the reset button or Escape removes.

#include <array>

#include "ui/Layout.h"
#include "ui/win32/MainWindow.h"

// The toggle, the table, the chart and the note, placed in the tab order before the list.
void createOverviewControls(MainWindow& window);
void layoutOverview(MainWindow& window, const std::array<ControlRect, layoutSlotCount>& rects);
// After each change of the list (or its language): the toggle's caption, the note, and the
// overview's figures when it is shown.
void showOverviewState(MainWindow& window);
void toggleOverview(MainWindow& window);
void clearOverviewPick(MainWindow& window);
// The list narrowed to `pick` and shown again.
void narrowToOverviewPick(MainWindow& window, const OverviewPick& pick);
// Ctrl+T, Escape (the narrowing, then the overview) and Enter in the table; true when handled.
bool handleOverviewKey(MainWindow& window, const MSG& message);
