#pragma once
// The console tool's command line: which command, with which options, keys and paths.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/Language.h"

// One command-line argument: its text (UTF-8, for options and keys) and the same argument as a
// path (UTF-16 on Windows, the raw bytes on POSIX).
struct CliArgument {
    std::string text;
    std::filesystem::path path;
};

enum class CliCommandKind {
    none,
    help,
    summary,
    setSport,
    importFiles,
    rename,
    duplicates,
    exportRoutes,
    stats
};

struct CliCommand {
    CliCommandKind kind = CliCommandKind::none;
    bool json = false;
    bool csv = false;            // summary: the window's CSV export; stats: the table as CSV
    bool geoJson = false;        // export: GeoJSON, so far its only format
    bool noIndex = false;        // summary: read every file, then write the library index anew
    bool dryRun = false;         // rename: tell the new names, rename nothing
    std::optional<Units> units;  // summary, rename: --units; else the window's setting
    std::string sportKey;
    std::string pattern;          // rename: UTF-8
    std::string languageSetting;  // --language: "system" or a table code; empty: the window's setting
    std::vector<std::filesystem::path> paths;
    std::string error;          // set for a usage error; kind is then none
    bool statsByMonth = false;  // stats: --by month
};

CliArgument cliArgumentFromUtf8(std::string_view text);
CliArgument cliArgumentFromWide(std::u16string_view text);

std::string usageText();
// "tirn-gpx 1.0.0" and a line end: what --version prints.
std::string versionText();
// True when the first argument is --version; the tool then prints versionText() and nothing else.
bool isVersionRequest(const std::vector<CliArgument>& arguments);
// The arguments after the program name.
CliCommand parseCliArguments(const std::vector<CliArgument>& arguments);
