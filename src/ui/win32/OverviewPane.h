#pragma once
// What the overview shows and where it stands: part of the window's state (MainWindow::overview).

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/Overview.h"

struct OverviewPane {
    bool shown = false;     // the overview stands in the list's place
    HWND toggle = nullptr;  // the button between the list and the overview
    HWND table = nullptr;   // the year-by-sport table, painted
    HWND chart = nullptr;   // the chosen year's distance per month, painted
    HWND note = nullptr;    // the list's narrowing from a click in the overview; a click removes it

    OverviewTable data;       // of the listed routes, without the overview's own narrowing
    int32_t year = kAnyYear;  // the year the user chose for the chart; kAnyYear: the newest
    int32_t chartYear = kNoYear;
    MonthDistances months{};

    // Measured with the window's fonts at each change: the year column, each sport's column and
    // the total's (data.columns, then the total), the heights; the table scrolls by pixels.
    int labelWidth = 0;
    std::vector<int> columnWidths;
    int headerHeight = 0;
    int rowHeight = 0;
    int scrollX = 0;
    int scrollY = 0;
};
