#include "ui/ColumnWidths.h"

#include <algorithm>
#include <cstdint>

std::vector<int> shareColumnWidths(std::span<const ColumnNeed> needs, int room, std::size_t slack,
                                   int slackMinimum) {
    std::vector<int> widths(needs.size(), 0);
    int64_t used = 0;
    int64_t givable = 0;
    for (std::size_t i = 0; i < needs.size(); ++i) {
        if (i == slack) continue;
        const int minimum = std::max(0, needs[i].minimum);
        widths[i] = std::max(minimum, needs[i].wanted);
        used += widths[i];
        givable += widths[i] - minimum;
    }
    const int64_t shortfall = std::min<int64_t>(used + slackMinimum - room, givable);
    if (shortfall > 0) {
        // Each column gives in proportion to what it has beyond its minimum; the rounding rest
        // comes from the first columns that still have something to give.
        int64_t given = 0;
        for (std::size_t i = 0; i < needs.size(); ++i) {
            if (i == slack) continue;
            const int64_t extra = widths[i] - std::max(0, needs[i].minimum);
            const int64_t share = extra * shortfall / givable;
            widths[i] -= static_cast<int>(share);
            given += share;
        }
        for (std::size_t i = 0; i < needs.size() && given < shortfall; ++i) {
            if (i == slack || widths[i] <= std::max(0, needs[i].minimum)) continue;
            --widths[i];
            ++given;
        }
        used -= given;
    }
    if (slack < needs.size()) {
        widths[slack] = static_cast<int>(std::max<int64_t>(room - used, std::max(0, slackMinimum)));
    }
    return widths;
}
