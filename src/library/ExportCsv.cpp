#include "library/ExportCsv.h"

#include <algorithm>

#include "core/SportWeather.h"

std::vector<std::vector<std::string>> parseCsv(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    bool any = false;  // whether the current line has begun
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        any = true;
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            row.push_back(std::move(field));
            field.clear();
            rows.push_back(std::move(row));
            row.clear();
            any = false;
        } else {
            field += c;
        }
    }
    if (any) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::map<std::string, ExportLabel, std::less<>> exportLabels(std::string_view csvText) {
    std::map<std::string, ExportLabel, std::less<>> labels;
    const std::vector<std::vector<std::string>> rows = parseCsv(csvText);
    if (rows.empty()) return labels;
    const auto column = [&](std::string_view name) {
        return static_cast<std::size_t>(std::find(rows[0].begin(), rows[0].end(), name) - rows[0].begin());
    };
    // The export repeats some headers (a second "Filename" for media); the first is the activity's.
    const std::size_t name = column("Activity Name"), type = column("Activity Type"),
                      file = column("Filename");
    const std::size_t width = rows[0].size();
    if (name == width || type == width || file == width) return labels;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string>& row = rows[i];
        if (row.size() <= std::max({name, type, file}) || row[file].empty()) continue;
        std::string path = row[file];
        std::replace(path.begin(), path.end(), '\\', '/');
        labels[path] = {row[name], sportKeyForType(row[type])};
    }
    return labels;
}
