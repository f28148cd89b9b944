#pragma once
// Control identifiers shared by the window, its procedure and the tests.

inline constexpr int IDC_ROUTE_LIST = 100;
inline constexpr int IDC_IMPORT = 101;
inline constexpr int IDC_FOLDER = 102;
inline constexpr int IDC_RELOAD = 103;
inline constexpr int IDC_SEARCH = 104;
inline constexpr int IDC_SPORT_CHANGE = 105;
inline constexpr int IDC_SKETCH = 106;
inline constexpr int IDC_FILTER_START = 110;
inline constexpr int IDC_FILTER_END = 111;
inline constexpr int IDC_FILTER_SPORT = 112;
inline constexpr int IDC_FILTER_GHOST = 113;
inline constexpr int IDC_FILTER_TYPE = 114;
inline constexpr int IDC_FILTER_LENGTH = 115;
inline constexpr int IDC_RESET = 116;
inline constexpr int IDC_LANGUAGE = 117;
inline constexpr int IDC_UNITS = 118;
inline constexpr int IDC_BULK_PROGRESS = 120;
inline constexpr int IDC_BULK_CANCEL = 121;
inline constexpr int IDC_RENAME_PATTERN = 122;
inline constexpr int IDC_RENAME_PREVIEW = 123;
inline constexpr int IDC_FILTER_YEAR = 140;
inline constexpr int IDC_EXPORT = 141;
inline constexpr int IDC_OVERVIEW = 150;        // the toggle between the list and the overview
inline constexpr int IDC_OVERVIEW_TABLE = 151;  // the year-by-sport table
inline constexpr int IDC_OVERVIEW_CHART = 152;  // the chosen year's months
inline constexpr int IDC_OVERVIEW_NOTE = 153;   // the list's narrowing from the overview; a click removes it
inline constexpr int IDC_PROFILE = 170;
inline constexpr int IDC_HEADER = 200;
