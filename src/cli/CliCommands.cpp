#include "cli/CliCommands.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "cli/CliJson.h"
#include "cli/CliStats.h"
#include "cli/CliTable.h"
#include "core/Failure.h"
#include "core/RouteInfo.h"
#include "core/SportRewrite.h"
#include "core/TrackAnalysis.h"
#include "i18n/Language.h"
#include "library/ActivityImport.h"
#include "library/Duplicates.h"
#include "library/Import.h"
#include "library/LibraryScan.h"
#include "library/Settings.h"
#include "platform/Platform.h"
#include "ui/DuplicateTexts.h"
#include "ui/Export.h"
#include "ui/Format.h"
#include "ui/RenamePattern.h"
#include "ui/RouteListLogic.h"

namespace fs = std::filesystem;

namespace {

// What the user typed, for messages: the path as UTF-8.
std::string displayPath(const fs::path& path) {
    return pathToUtf8(path);
}

// A device, pipe or socket is never read: a pipe would block and /dev/zero never ends.
RouteInfo unreadableRecord(const fs::path& path) {
    RouteInfo route;
    route.filePath = path;
    route.fileStem = pathToUtf8(path.stem());
    route.errorText = kMessageCannotRead;
    return route;
}

// The JSON lines of `routes` in their order. A large library's lines cost about a tenth of its
// analysis, and only the writing must keep the order: each round, every processor formats a batch
// of records into a text of its own, and the texts are handed on in order. Written on as they come
// where the caller can, from the same memory every round; otherwise kept in `out` with room for
// all lines at once rather than growing into them (about 40 bytes per outline point, a few hundred
// for the rest).
void writeJsonLines(const std::vector<RouteInfo>& routes, CliOutput& output) {
    if (!output.writeOut) {
        std::size_t estimate = output.out.size();
        for (const RouteInfo& route : routes) estimate += 1024 + 48 * route.outline.size();
        output.out.reserve(estimate);
    }
    constexpr std::size_t kBatch = 64;
    const std::size_t threadCount = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::string> texts(threadCount);
    std::vector<std::exception_ptr> failures(threadCount);
    for (std::size_t round = 0; round < routes.size(); round += threadCount * kBatch) {
        const auto format = [&](std::size_t part) {
            try {
                std::string& text = texts[part];
                text.clear();
                const std::size_t first = std::min(routes.size(), round + part * kBatch);
                const std::size_t last = std::min(routes.size(), first + kBatch);
                for (std::size_t i = first; i < last; ++i) {
                    appendRouteJson(text, routes[i]);
                    text += '\n';
                }
            } catch (...) {
                failures[part] = std::current_exception();
            }
        };
        std::vector<std::thread> helpers;
        std::size_t part = 1;
        for (; part < threadCount && round + part * kBatch < routes.size(); ++part) {
            try {
                helpers.emplace_back(format, part);
            } catch (const std::system_error&) {
                break;  // no thread to be had: this one does the rest
            }
        }
        for (std::size_t rest = part; rest < threadCount; ++rest) format(rest);
        format(0);
        for (std::thread& helper : helpers) helper.join();
        for (std::size_t i = 0; i < threadCount; ++i) {
            if (failures[i]) std::rethrow_exception(failures[i]);
            if (!output.writeOut) {
                output.out += texts[i];
                continue;
            }
            if (!output.out.empty()) {
                output.writeOut(output.out);
                output.out.clear();
            }
            output.writeOut(texts[i]);
        }
    }
}

// The language the window would use, unless the command line names one.
ActiveLanguage commandLanguage(const CliCommand& command, const std::string& savedSetting) {
    return resolveLanguage(command.languageSetting.empty() ? savedSetting : command.languageSetting);
}

std::string say(const ActiveLanguage& language, std::string_view key) {
    return wideToUtf8(translate(language, key));
}

// The window's settings; a saved library folder that was not usable is noted, the run goes on
// with the default one.
Settings loadSettingsTold(const CliCommand& command, ActiveLanguage& language, CliOutput& output) {
    Settings settings = loadSettings();
    language = commandLanguage(command, settings.languageSetting);
    if (settings.libraryFolderIgnored)
        output.err += "tirn-gpx: " + say(language, "folderSettingIgnored") + "\n";
    return settings;
}

// A folder that cannot be listed would look like an empty library: it is told, and the run fails
// once the records of everything else are printed.
std::vector<RouteInfo> readFolder(const fs::path& folder, const LibraryScanOptions& options,
                                  const ActiveLanguage& language, CliOutput& output, int& status) {
    LibraryScanCounts counts;
    std::vector<RouteInfo> routes = readLibrary(folder, options, &counts);
    if (counts.folderNotListed) {
        output.err += "tirn-gpx: " + displayPath(folder) + ": " + say(language, "folderNotRead") + "\n";
        status = 1;
    }
    return routes;
}

// The records of the command's paths (files and folders), or of the configured library without
// any, in library order.
std::vector<RouteInfo> readCommandRoutes(const CliCommand& command, const Settings& settings,
                                         const ActiveLanguage& language, CliOutput& output, int& exitStatus) {
    std::vector<RouteInfo> routes;
    // The configured library shares its index with the window (--no-index reads every file and
    // writes the index anew, as Reload with Shift does); a folder named on the command line is read
    // afresh and leaves no index behind (it may be a stick, a download, a one-off).
    LibraryScanOptions options;
    options.index = LibraryIndexUse::none;
    if (command.paths.empty()) {
        options.index = command.noIndex ? LibraryIndexUse::rewrite : LibraryIndexUse::readAndWrite;
        routes = readFolder(settings.libraryFolder, options, language, output, exitStatus);
    } else {
        AnalysisMemory memory;
        for (const fs::path& path : command.paths) {
            std::error_code error;
            const fs::file_status status = fs::status(path, error);
            if (fs::is_directory(status)) {
                std::vector<RouteInfo> found = readFolder(path, options, language, output, exitStatus);
                if (routes.empty()) {
                    routes = std::move(found);
                } else {
                    for (RouteInfo& route : found) routes.push_back(std::move(route));
                }
            } else if (fs::exists(status) && !fs::is_regular_file(status)) {
                routes.push_back(unreadableRecord(path));
            } else {
                routes.push_back(analyzeGpxFile(path, memory));
            }
        }
    }
    sortLibraryFiles(routes);
    return routes;
}

std::vector<const RouteInfo*> routePointers(const std::vector<RouteInfo>& routes) {
    std::vector<const RouteInfo*> pointers;
    pointers.reserve(routes.size());
    for (const RouteInfo& route : routes) pointers.push_back(&route);
    return pointers;
}

// What summary, stats and export start with: the language and units (and, without paths, the
// library folder) from the window's settings, and the records of the PATHs or the library.
struct CommandRoutes {
    ActiveLanguage language;
    int exitStatus = 0;
    std::vector<RouteInfo> routes;
};

CommandRoutes readRoutesOfCommand(const CliCommand& command, CliOutput& output) {
    CommandRoutes read;
    const Settings settings = loadSettingsTold(command, read.language, output);
    read.language.units = command.units.value_or(settings.units);
    read.routes = readCommandRoutes(command, settings, read.language, output, read.exitStatus);
    return read;
}

int runSummary(const CliCommand& command, CliOutput& output) {
    const auto [language, exitStatus, routes] = readRoutesOfCommand(command, output);

    if (command.csv) {
        output.out += routesCsv(routePointers(routes), language);
        return exitStatus;
    }
    if (command.json) {
        writeJsonLines(routes, output);
        return exitStatus;
    }
    TextTable table;
    // The list's columns, figures aligned right like numbers; a failure's or warning's text comes last.
    std::vector<std::u16string> headers;
    for (const RouteColumn& column : routeColumns) {
        headers.push_back(columnHeaderText(column, language));
        table.rightAligned.push_back(column.figure);
    }
    table.rows.push_back(std::move(headers));
    for (const RouteInfo& route : routes) {
        const auto texts = routeRowTexts(route, language);
        std::vector<std::u16string> row(texts.begin(), texts.end());
        // The record keeps its fixed text (the JSON shows it); people read their own language.
        if (!route.errorText.empty()) {
            row.push_back(failureMessageText(language, route.errorText));
        } else if (!route.warningText.empty()) {
            row.push_back(failureMessageText(language, route.warningText));
        }
        table.rows.push_back(std::move(row));
    }
    output.out += renderTable(table);
    output.out += wideToUtf8(decimalText(static_cast<int64_t>(routes.size())) + u" " +
                             std::u16string(countWord(language, routes.size())));
    output.out += '\n';
    return exitStatus;
}

// The window's overview for the routes that summary would list.
int runStats(const CliCommand& command, CliOutput& output) {
    const auto [language, exitStatus, routes] = readRoutesOfCommand(command, output);
    std::vector<uint64_t> rows(routes.size());
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = i;
    const OverviewBy by = command.statsByMonth ? OverviewBy::month : OverviewBy::year;
    const StatsFormat format = command.json  ? StatsFormat::json
                               : command.csv ? StatsFormat::csv
                                             : StatsFormat::text;
    output.out += statsOutput(buildOverview(routes, rows, by), by, format, language);
    return exitStatus;
}

int runSetSport(const CliCommand& command, CliOutput& output) {
    const ActiveLanguage language =
        commandLanguage(command, command.languageSetting.empty() ? loadLanguageSetting() : std::string());
    const auto told = [&](std::string_view message) {
        return wideToUtf8(failureMessageText(language, message));
    };
    int exitStatus = 0;
    std::int64_t changed = 0;
    for (const fs::path& path : command.paths) {
        RouteInfo route;
        route.filePath = path;
        std::string message;
        std::error_code error;
        const fs::file_status kind = fs::status(path, error);
        if (fs::exists(kind) && !fs::is_regular_file(kind)) {
            output.err += displayPath(path) + ": " + told(kMessageCannotRead) + "\n";
            exitStatus = 1;
            continue;
        }
        if (rewriteSport(route, command.sportKey, message)) {
            output.out += displayPath(path) + ": " + command.sportKey + "\n";
            ++changed;
        } else {
            output.err += displayPath(path) + ": " + told(message) + "\n";
            exitStatus = 1;
        }
    }
    const std::u16string summary = fillIn(translate(language, "filesChanged"), u"{n}", decimalText(changed));
    output.out +=
        wideToUtf8(fillIn(summary, u"{m}", decimalText(static_cast<std::int64_t>(command.paths.size())))) +
        "\n";
    return exitStatus;
}

int runImport(const CliCommand& command, CliOutput& output) {
    ActiveLanguage language =
        commandLanguage(command, command.languageSetting.empty() ? loadLanguageSetting() : std::string());
    // Refused files are listed under one line, as the window lists them.
    bool listing = false;
    const auto refuse = [&](const std::string& shown, std::string_view reasonKey) {
        if (!listing) output.err += say(language, "importFailedList") + "\n";
        listing = true;
        output.err += shown + ": " + say(language, reasonKey) + "\n";
    };
    int status = 0;
    std::vector<fs::path> sources;
    for (const fs::path& path : command.paths) {
        // A missing file is left to the import, which says so like for any other failure; a
        // folder is a bulk export or a folder of files.
        const FileKind kind = fileKind(path);
        if (kind == FileKind::other) {
            refuse(displayPath(path), "reasonNotFile");
            status = 1;
        } else if (kind != FileKind::folder && !isImportableName(path.filename())) {
            refuse(displayPath(path), "reasonNotImportable");
            status = 1;
        } else {
            sources.push_back(path);
        }
    }
    if (sources.empty()) return status;
    const Settings settings = loadSettingsTold(command, language, output);
    const auto reasonKey = [](const ImportItem& item) -> std::string_view {
        if (!item.reasonKey.empty()) return item.reasonKey;
        switch (item.result.failure) {
            case ImportFailure::missingSource:
                return "reasonMissing";
            case ImportFailure::diskFull:
                return "reasonDiskFull";
            case ImportFailure::accessDenied:
                return "reasonAccessDenied";
            default:
                return "reasonNotCopied";
        }
    };
    std::string partly;  // files imported from what could be read of them, told after the rest
    for (const ImportItem& item : importSources(settings.libraryFolder, sources)) {
        std::string shown = displayPath(item.origin);
        if (!item.entry.empty()) shown += "/" + item.entry;
        if (item.partial && !item.result.target.empty()) partly += shown + "\n";
        if (!item.result.existing.empty()) {
            output.out += shown + ": " +
                          wideToUtf8(fillIn(translate(language, "alreadyInLibrary"), u"{name}",
                                            pathToWide(item.result.existing.filename()))) +
                          "\n";
        } else if (item.result.failure == ImportFailure::none) {
            output.out += shown + " -> " + displayPath(item.result.target) + "\n";
        } else {
            refuse(shown, reasonKey(item));
            status = 1;
        }
    }
    if (!partly.empty()) output.err += say(language, "partlyReadList") + "\n" + partly;
    return status;
}

// Each file gets the name the pattern gives it ("old → new"); a dry run only tells the names.
int runRename(const CliCommand& command, CliOutput& output) {
    const Settings settings = loadSettings();
    ActiveLanguage language = commandLanguage(command, settings.languageSetting);
    language.units = command.units.value_or(settings.units);
    bool listing = false;
    const auto refuse = [&](const fs::path& path, std::string_view reasonKey) {
        if (!listing) output.err += say(language, "renameFailedList") + "\n";
        listing = true;
        output.err += displayPath(path) + ": " + say(language, reasonKey) + "\n";
    };
    int status = 0;
    std::vector<RouteInfo> routes;
    AnalysisMemory memory;
    for (const fs::path& path : command.paths) {
        const FileKind kind = fileKind(path);
        const char* reason = kind == FileKind::missing             ? "reasonMissing"
                             : kind != FileKind::file              ? "reasonNotFile"
                             : !isLibraryFileName(path.filename()) ? "reasonNotGpx"
                                                                   : nullptr;
        if (reason != nullptr) {
            refuse(path, reason);
            status = 1;
        } else {
            // A file that cannot be read still has its stem; its other fields stay empty.
            routes.push_back(analyzeGpxFile(path, memory));
        }
    }
    std::vector<const RouteInfo*> pointers;
    for (const RouteInfo& route : routes) pointers.push_back(&route);
    std::vector<RenameStep> steps = planRenames(utf8ToWide(command.pattern), pointers, language);
    for (RenameStep& step : steps) {
        if (step.to == step.from) continue;
        const FileError error = command.dryRun ? FileError::none : applyRename(step);
        if (error == FileError::none) {
            output.out += displayPath(step.from) + " \xE2\x86\x92 " + displayPath(step.to) + "\n";
            continue;
        }
        refuse(step.from, error == FileError::notFound       ? "reasonMissing"
                          : error == FileError::accessDenied ? "reasonAccessDenied"
                                                             : "reasonNotRenamed");
        status = 1;
    }
    return status;
}

// The duplicate groups of the library (or of the folder named), each route with why it is there
// twice; groups apart by an empty line.
int runDuplicates(const CliCommand& command, CliOutput& output) {
    ActiveLanguage language;
    const Settings settings = loadSettingsTold(command, language, output);
    int status = 0;
    LibraryScanOptions options;
    options.index = command.paths.empty() ? LibraryIndexUse::readAndWrite : LibraryIndexUse::none;
    const std::vector<RouteInfo> routes = readFolder(
        command.paths.empty() ? settings.libraryFolder : command.paths[0], options, language, output, status);
    const DuplicateGroups groups = findDuplicates(routes);
    TextTable table;
    std::size_t lastGroup = kNoDuplicateGroup;
    for (const std::size_t i : duplicateRoutesInGroups(groups)) {
        if (lastGroup != kNoDuplicateGroup && groups.byRoute[i].group != lastGroup) table.rows.push_back({});
        lastGroup = groups.byRoute[i].group;
        table.rows.push_back(
            {pathToWide(routes[i].filePath.filename()), duplicateReasonText(groups, routes, i, language)});
    }
    output.out += renderTable(table);
    output.out += groups.groupCount == 0
                      ? say(language, "noDuplicates")
                      : wideToUtf8(fillIn(translate(language, "duplicateGroups"), u"{n}",
                                          decimalText(static_cast<int64_t>(groups.groupCount))));
    output.out += '\n';
    return status;
}

int runGeoJsonExport(const CliCommand& command, CliOutput& output) {
    const auto [language, exitStatus, routes] = readRoutesOfCommand(command, output);
    const GeoJsonExport exported = routesGeoJson(routePointers(routes));
    output.out += exported.text;
    if (exported.leftOut > 0) {
        output.err += "tirn-gpx: " +
                      wideToUtf8(fillIn(translate(language, "pointlessLeftOut"), u"{n}",
                                        decimalText(static_cast<int64_t>(exported.leftOut)))) +
                      "\n";
    }
    return exitStatus;
}

}  // namespace

int runCli(const std::vector<CliArgument>& arguments, CliOutput& output) {
    const CliCommand command = parseCliArguments(arguments);
    if (command.kind == CliCommandKind::none) {
        output.err += "tirn-gpx: " + command.error + "\n" + usageText();
        return 2;
    }
    try {
        switch (command.kind) {
            case CliCommandKind::help:
                output.out += usageText();
                return 0;
            case CliCommandKind::summary:
                return runSummary(command, output);
            case CliCommandKind::setSport:
                return runSetSport(command, output);
            case CliCommandKind::importFiles:
                return runImport(command, output);
            case CliCommandKind::rename:
                return runRename(command, output);
            case CliCommandKind::duplicates:
                return runDuplicates(command, output);
            case CliCommandKind::exportRoutes:
                return runGeoJsonExport(command, output);
            case CliCommandKind::stats:
                return runStats(command, output);
            case CliCommandKind::none:
                break;
        }
    } catch (const std::exception& failure) {
        // The analysis never throws for a bad file; what is left is the system giving out.
        output.err += std::string("tirn-gpx: ") + failure.what() + "\n";
        return 1;
    }
    return 2;
}

namespace {

// The whole of `bytes` written to `stream`; else why not, as a message.
std::optional<std::string> writeFailure(std::FILE* stream, std::string_view bytes, bool flush) {
    errno = 0;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    if (written && (!flush || std::fflush(stream) == 0) && !std::ferror(stream)) return std::nullopt;
    return std::string("cannot write the output: ") + (errno != 0 ? std::strerror(errno) : "write error");
}

}  // namespace

int runCliWritingTo(const std::vector<CliArgument>& arguments, std::FILE* out, std::FILE* err) {
    CliOutput output;
    int status = 0;
    bool outFailed = false;
    if (isVersionRequest(arguments)) {
        output.out = versionText();
    } else {
        // A JSON summary stops at the first failed write (runCli tells the failure and returns 1):
        // nothing after it could be read anyway.
        output.writeOut = [&](std::string_view bytes) {
            if (auto failure = writeFailure(out, bytes, false)) {
                outFailed = true;
                throw std::runtime_error(*failure);
            }
        };
        status = runCli(arguments, output);
    }
    if (!outFailed) {
        if (auto failure = writeFailure(out, output.out, true)) {
            output.err += "tirn-gpx: " + *failure + "\n";
            outFailed = true;
        }
    }
    // With stderr gone too, only the status is left to tell it.
    if (writeFailure(err, output.err, true)) return 1;
    return outFailed ? 1 : status;
}
