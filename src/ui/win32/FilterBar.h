#pragma once
// The filter boxes' widths: each as wide as its widest item, measured with the box's font.

#include "ui/win32/MainWindow.h"

// Measures every filter box's items after they were filled or the fonts were made for another
// DPI, and lays the window out again when a box needs another width.
void measureFilterBoxes(MainWindow& window);
