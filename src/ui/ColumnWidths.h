#pragma once
// How the route list's columns share its width: every column gets what its caption and its widest
// cell need, and one column (the name) takes the rest. Widths are measured by the caller with the
// list's own font, so the rule holds for every language, font and DPI.

#include <cstddef>
#include <span>
#include <vector>

struct ColumnNeed {
    int minimum = 0;  // never narrower: the caption, or a whole figure
    int wanted = 0;   // room for the caption and the widest cell (at least minimum)
};

// Widths for `room` pixels. The `slack` column gets what the others leave, but at least
// `slackMinimum`; when that is short, the other columns give up what they want beyond their
// minimum, in proportion. Below the sum of the minimums the widths overflow the room.
std::vector<int> shareColumnWidths(std::span<const ColumnNeed> needs, int room, std::size_t slack,
                                   int slackMinimum);
