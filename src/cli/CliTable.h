#pragma once
// Plain-text tables for the console, columns aligned by code points.

#include <string>
#include <vector>

// Number of code points of a UTF-16 text (a surrogate pair counts once).
std::size_t codePointCount(std::u16string_view text);

struct TextTable {
    std::vector<std::vector<std::u16string>> rows;  // rows[0] is the header when there is one
    std::vector<bool> rightAligned;                 // per column; missing entries align left
};

// UTF-8 lines, each ending in "\n": cells padded to their column's widest cell and separated by
// two blanks; trailing blanks are dropped.
std::string renderTable(const TextTable& table);
