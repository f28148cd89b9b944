#include "cli/CliArguments.h"

#include <algorithm>

#include "TirnVersion.h"
#include "core/SportWeather.h"
#include "i18n/Language.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

std::string sportKeyList() {
    std::string list;
    for (std::string_view key : sportKeys) {
        if (!list.empty()) list += ", ";
        list += key;
    }
    return list;
}

CliCommand usageError(std::string message) {
    CliCommand command;
    command.error = std::move(message);
    return command;
}

std::string languageCodeList() {
    std::string list = "system";
    for (const LanguageRow& row : translationTable) list += ", " + std::string(row.code);
    return list;
}

bool isSportKey(std::string_view key) {
    return std::find(sportKeys.begin(), sportKeys.end(), key) != sportKeys.end();
}

}  // namespace

CliArgument cliArgumentFromUtf8(std::string_view text) {
    return CliArgument{std::string(text), fs::path(std::string(text))};
}

CliArgument cliArgumentFromWide(std::u16string_view text) {
    return CliArgument{wideToUtf8(text), widePath(text)};
}

std::string usageText() {
    return "usage:\n"
           "  tirn-gpx summary [--json] [--no-index] [--units metric|imperial] [PATH...]\n"
           "                                        summaries of GPX files and folders (default: the\n"
           "                                        library; --no-index reads every file again;\n"
           "                                        --units: the table's, else the window's)\n"
           "  tirn-gpx summary --csv [PATH...]      the same as a CSV table (UTF-8 with a byte-order mark)\n"
           "  tirn-gpx export --geojson [--no-index] [PATH...]\n"
           "                                        the routes' tracks as GeoJSON, for map programs\n"
           "  tirn-gpx set-sport KEY FILE...        write the sport KEY into each file\n"
           "  tirn-gpx import PATH...               copy GPX files into the library under free names;\n"
           "                                        TCX and FIT (also .gz) become GPX files; ZIP\n"
           "                                        archives and folders (also bulk exports) too\n"
           "  tirn-gpx rename [--dry-run] [--units metric|imperial] PATTERN FILE...\n"
           "                                        rename each file after PATTERN: {date} {time}\n"
           "                                        {sport} {name} {stem} {length}; --dry-run only\n"
           "                                        tells the new names\n"
           "  tirn-gpx duplicates [PATH]            the routes that are there twice (same file,\n"
           "                                        activity or points), group by group\n"
           "  tirn-gpx stats [--by year|month] [--json|--csv] [--no-index] [--units metric|imperial] "
           "[PATH...]\n"
           "                                        count, distance, time and ascent by year (or month)\n"
           "                                        and sport, as the window's overview\n"
           "  tirn-gpx --version                    the tool's version\n"
           "option of every command:\n"
           "  --language CODE                       messages and the table in this language (default:\n"
           "                                        the window's)\n"
           "sport keys: " +
           sportKeyList() + "\nlanguages: " + languageCodeList() + "\n";
}

std::string versionText() {
    return "tirn-gpx " TIRN_VERSION_TEXT "\n";
}

bool isVersionRequest(const std::vector<CliArgument>& arguments) {
    return !arguments.empty() && arguments[0].text == "--version";
}

CliCommand parseCliArguments(const std::vector<CliArgument>& arguments) {
    if (arguments.empty()) return usageError("no command given");
    const std::string& name = arguments[0].text;
    CliCommand command;
    if (name == "help" || name == "--help" || name == "-h") {
        command.kind = CliCommandKind::help;
        return command;
    }
    if (name == "summary") {
        command.kind = CliCommandKind::summary;
    } else if (name == "set-sport") {
        command.kind = CliCommandKind::setSport;
    } else if (name == "import") {
        command.kind = CliCommandKind::importFiles;
    } else if (name == "rename") {
        command.kind = CliCommandKind::rename;
    } else if (name == "duplicates") {
        command.kind = CliCommandKind::duplicates;
    } else if (name == "export") {
        command.kind = CliCommandKind::exportRoutes;
    } else if (name == "stats") {
        command.kind = CliCommandKind::stats;
    } else {
        return usageError("unknown command: " + name);
    }

    bool optionsEnded = false;
    bool keyTaken = command.kind != CliCommandKind::setSport;
    bool patternTaken = command.kind != CliCommandKind::rename;
    const bool readsLibrary = command.kind == CliCommandKind::summary ||
                              command.kind == CliCommandKind::stats ||
                              command.kind == CliCommandKind::exportRoutes;
    const bool takesUnits = readsLibrary || command.kind == CliCommandKind::rename;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const CliArgument& argument = arguments[i];
        if (!optionsEnded && argument.text == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.text.size() > 1 && argument.text[0] == '-') {
            if (argument.text == "--language") {
                if (i + 1 == arguments.size()) {
                    return usageError("--language needs a CODE (one of " + languageCodeList() + ")");
                }
                const std::string& code = arguments[++i].text;
                if (code != "system" && findLanguage(code) == nullptr) {
                    return usageError("unknown language: " + code + " (one of " + languageCodeList() + ")");
                }
                command.languageSetting = code;
                continue;
            }
            if (readsLibrary && command.kind != CliCommandKind::exportRoutes && argument.text == "--json") {
                command.json = true;
                continue;
            }
            if ((command.kind == CliCommandKind::summary || command.kind == CliCommandKind::stats) &&
                argument.text == "--csv") {
                command.csv = true;
                continue;
            }
            if (command.kind == CliCommandKind::exportRoutes && argument.text == "--geojson") {
                command.geoJson = true;
                continue;
            }
            if (readsLibrary && argument.text == "--no-index") {
                command.noIndex = true;
                continue;
            }
            if (command.kind == CliCommandKind::stats && argument.text == "--by") {
                const std::string by = i + 1 < arguments.size() ? arguments[++i].text : std::string();
                if (by != "year" && by != "month") return usageError("--by needs year or month");
                command.statsByMonth = by == "month";
                continue;
            }
            if (command.kind == CliCommandKind::rename && argument.text == "--dry-run") {
                command.dryRun = true;
                continue;
            }
            if (takesUnits && argument.text == "--units") {
                const std::string units = i + 1 < arguments.size() ? arguments[++i].text : std::string();
                if (units != "metric" && units != "imperial") {
                    return usageError("--units needs metric or imperial");
                }
                command.units = units == "imperial" ? Units::imperial : Units::metric;
                continue;
            }
            return usageError("unknown option for " + name + ": " + argument.text);
        }
        if (!patternTaken) {
            command.pattern = argument.text;
            patternTaken = true;
            continue;
        }
        if (!keyTaken) {
            if (!isSportKey(argument.text)) {
                return usageError("unknown sport key: " + argument.text + " (one of " + sportKeyList() + ")");
            }
            command.sportKey = argument.text;
            keyTaken = true;
            continue;
        }
        command.paths.push_back(argument.path);
    }
    if (!patternTaken) return usageError("rename needs a PATTERN such as \"{date} {sport} {name}\"");
    if (!keyTaken) return usageError("set-sport needs a sport key (one of " + sportKeyList() + ")");
    if (command.kind == CliCommandKind::duplicates) {
        if (command.paths.size() > 1) return usageError("duplicates takes one folder at most");
        return command;
    }
    if (command.json && command.csv) return usageError(name + " takes --json or --csv, not both");
    if (command.kind == CliCommandKind::exportRoutes && !command.geoJson)
        return usageError("export needs --geojson");
    if (!readsLibrary && command.paths.empty()) {
        return usageError(name + " needs at least one FILE");
    }
    return command;
}
