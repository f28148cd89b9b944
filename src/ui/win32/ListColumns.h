#pragma once
// The route list's column widths: measured with the list's font, shared out over its width.

#include "ui/win32/MainWindow.h"

// Measures what every column's caption and widest cell need; after the library was read, the
// language changed or the fonts were made for another DPI. Then fits the columns.
void measureRouteListColumns(MainWindow& window);
// Shares the list's width out as measured: no horizontal scroll bar while the room suffices.
void fitRouteListColumns(MainWindow& window);
