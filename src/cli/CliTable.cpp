#include "cli/CliTable.h"

#include <algorithm>

#include "platform/Platform.h"

std::size_t codePointCount(std::u16string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool pairStart = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
                               text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (pairStart) ++i;
        ++count;
    }
    return count;
}

std::string renderTable(const TextTable& table) {
    std::vector<std::size_t> widths;
    for (const auto& row : table.rows) {
        if (widths.size() < row.size()) widths.resize(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], codePointCount(row[c]));
    }
    std::string out;
    for (const auto& row : table.rows) {
        std::u16string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) line += u"  ";
            const std::size_t padding = widths[c] - codePointCount(row[c]);
            const bool right = c < table.rightAligned.size() && table.rightAligned[c];
            if (right) line.append(padding, u' ');
            line += row[c];
            if (!right) line.append(padding, u' ');
        }
        while (!line.empty() && line.back() == u' ') line.pop_back();
        out += wideToUtf8(line);
        out += '\n';
    }
    return out;
}
