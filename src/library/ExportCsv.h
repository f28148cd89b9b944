#pragma once
// The activities.csv of a fitness service's bulk export: which file holds which activity, and
// the activity's name and type.

#include <map>
#include <string>
#include <string_view>
#include <vector>

// CSV as written by spreadsheets: fields split at commas, quoted fields may hold commas, doubled
// quotes and line breaks; lines end in LF or CRLF. A byte-order mark is dropped.
std::vector<std::vector<std::string>> parseCsv(std::string_view text);

struct ExportLabel {
    std::string name;      // the activity's name; empty when it has none
    std::string sportKey;  // from the service's type word; empty when not known
};
// By the Filename column ("activities/1234567890.fit.gz", '/' between folders). Empty unless the
// header has the columns "Activity Name", "Activity Type" and "Filename".
std::map<std::string, ExportLabel, std::less<>> exportLabels(std::string_view csvText);
