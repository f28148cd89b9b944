#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ArchiveMaker.h"
#include "cli/CliCommands.h"
#include "cli/CliJson.h"
#include "core/Failure.h"
#include "core/TrackAnalysis.h"
#include "i18n/Language.h"
#include "library/LibraryScan.h"
#include "library/LibraryTestSupport.h"
#include "library/Settings.h"
#include "platform/Platform.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// While set, requests of 32 KB or more fail on every thread but the test's own.
std::atomic<bool> refuseOtherThreads{false};
std::thread::id testThread;

}  // namespace

// Not inlined: the compiler would see malloc paired with a delete expression and warn.
[[gnu::noinline]] void* operator new(std::size_t size) {
    if (refuseOtherThreads && size >= (std::size_t{1} << 15) && std::this_thread::get_id() != testThread) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* memory) noexcept {
    std::free(memory);
}
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

// Every run sees its own settings and Documents folders, and English.
struct CliRun : ScratchSettings {
    TempFolder work;
    void SetUp() override {
        ScratchSettings::SetUp();
        setLocaleNameOverride(true, u"en-US");
    }
    void TearDown() override {
        ScratchSettings::TearDown();
        setLocaleNameOverride(false, u"");
    }
    int run(std::vector<CliArgument> arguments) {
        output = {};
        return runCli(arguments, output);
    }
    static CliArgument text(std::string value) { return cliArgumentFromUtf8(value); }
    static CliArgument path(const fs::path& value) { return CliArgument{pathToUtf8(value), value}; }
    fs::path copyExample(const std::string& name, const std::string& as) {
        const fs::path target = work.path / fs::path(utf8ToWide(as));
        writeBytes(target, readBytes(projectPath("examples") / name));
        return target;
    }
    std::vector<std::string> outLines() const {
        std::vector<std::string> lines;
        std::istringstream in(output.out);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    CliOutput output;
};

std::string field(const std::string& json, const std::string& name) {
    std::string key = "\"";
    key.append(name).append("\":");
    const std::size_t start = json.find(key);
    if (start == std::string::npos) return "<missing>";
    std::size_t end = start + key.size();
    if (json[end] == '"') {
        end = json.find('"', end + 1) + 1;
    } else {
        end = json.find_first_of(",}", end);
    }
    return json.substr(start + key.size(), end - start - key.size());
}

TEST_F(CliRun, JsonSummaryOfTheExamplesIsInLibraryOrderWithFailuresListed) {
    EXPECT_EQ(run({text("summary"), text("--json"), path(projectPath("examples"))}), 0) << output.err;
    const auto lines = outLines();
    ASSERT_EQ(lines.size(), 5u) << output.out;
    std::vector<std::string> stems;
    for (const auto& line : lines) stems.push_back(field(line, "fileStem"));
    EXPECT_EQ(stems,
              (std::vector<std::string>{"\"Englischer Garten Lauf\"", "\"Greifensee-Runde\"",
                                        "\"Pilatus-Aufstieg\"", "\"Bodanrueck-Route\"", "\"Rastplaetze\""}));
    EXPECT_EQ(field(lines[0], "sportKey"), "\"running\"");
    EXPECT_EQ(field(lines[1], "isRoundTrip"), "true");
    EXPECT_EQ(field(lines[1], "hasWeather"), "true");
    EXPECT_EQ(field(lines[2], "sportFromSpeed"), "true");
    EXPECT_EQ(field(lines[3], "hasTimestamps"), "false");
    EXPECT_EQ(field(lines[4], "errorText"), "\"Keine Track- oder Routenpunkte gefunden\"");
    EXPECT_TRUE(output.err.empty());
}

TEST_F(CliRun, JsonSummaryWrittenInPiecesIsTheWholeSummaryInOrder) {
    // Enough records for several rounds of formatting on several threads.
    const fs::path library = work.path / "many";
    fs::create_directories(library);
    for (const auto& entry : fs::directory_iterator(projectPath("examples"))) {
        if (entry.path().extension() != ".gpx") continue;
        for (int copy = 0; copy < 100; ++copy) {
            fs::copy_file(entry.path(), library / (std::to_string(copy) + entry.path().filename().string()));
        }
    }
    // One line a record in library order, however the lines were made.
    LibraryScanOptions options;
    options.index = LibraryIndexUse::none;
    std::vector<RouteInfo> routes = readLibrary(library, options);
    sortLibraryFiles(routes);
    ASSERT_EQ(routes.size(), 500u);
    std::string expected;
    for (const RouteInfo& route : routes) expected += routeJson(route) + "\n";

    const std::vector<CliArgument> arguments = {text("summary"), text("--json"), path(library)};
    ASSERT_EQ(run(arguments), 0);
    EXPECT_EQ(output.out, expected);
    // What the caller had in `out` goes first, once.
    std::string pieces;
    output = {
        .out = "earlier\n", .err = "", .writeOut = [&](std::string_view bytes) { pieces.append(bytes); }};
    ASSERT_EQ(runCli(arguments, output), 0);
    EXPECT_EQ(pieces + output.out, "earlier\n" + expected);

    // A formatting thread out of memory fails the run instead of leaving its lines out. The
    // records come from the index, so that only the formatting runs on other threads.
    if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "no formatting thread on one processor";
    for (const auto& entry : fs::directory_iterator(library)) {
        fs::last_write_time(entry.path(), fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    ASSERT_EQ(run(arguments), 0);
    testThread = std::this_thread::get_id();
    refuseOtherThreads = true;
    const int status = run(arguments);
    refuseOtherThreads = false;
    EXPECT_EQ(status, 1);
    EXPECT_EQ(output.err, "tirn-gpx: std::bad_alloc\n");
}

TEST_F(CliRun, SummaryMixesFilesAndFoldersAndListsUnreadableFiles) {
    const fs::path ride = copyExample("Greifensee-Runde.gpx", "ride.gpx");
    fs::create_directories(work.path / "more");
    writeBytes(work.path / "more" / "broken.GPX", "<gpx><trk><trkseg><trkpt lat=\"1\"");
    writeBytes(work.path / "more" / "notes.txt", "not a route");
    const fs::path missing = work.path / "missing.gpx";
    EXPECT_EQ(run({text("summary"), text("--json"), path(ride), path(work.path / "more"), path(missing)}), 0);
    const auto lines = outLines();
    ASSERT_EQ(lines.size(), 3u) << output.out;
    EXPECT_EQ(field(lines[0], "fileStem"), "\"ride\"");
    // Failed records have no date and sort last, by file stem.
    EXPECT_EQ(field(lines[1], "fileStem"), "\"broken\"");
    EXPECT_EQ(field(lines[2], "fileStem"), "\"missing\"");
    EXPECT_EQ(field(lines[2], "errorText"), "\"Datei kann nicht gelesen werden\"");
}

#ifndef _WIN32
TEST_F(CliRun, SummaryNeverReadsDevicesOrPipes) {
    // Reading either would never end: /dev/zero has no end, a pipe without writer blocks.
    EXPECT_EQ(run({text("summary"), text("--json"), text("/dev/zero")}), 0);
    EXPECT_EQ(field(output.out, "errorText"), "\"Datei kann nicht gelesen werden\"");
    EXPECT_EQ(field(output.out, "fileStem"), "\"zero\"");
    EXPECT_EQ(run({text("set-sport"), text("hiking"), text("/dev/zero")}), 1);
    EXPECT_NE(output.err.find("This file cannot be read."), std::string::npos);
}
#endif

TEST_F(CliRun, TableListsNonAsciiStemsNewestFirstAndEndsWithTheCount) {
    copyExample("Greifensee-Runde.gpx", "Öschberg Runde.gpx");
    copyExample("Pilatus-Aufstieg.gpx", "a.gpx");
    copyExample("Englischer Garten Lauf.gpx", "富士山.gpx");
    writeBytes(work.path / "cut.gpx",
               "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"><time>2001-01-01T00:00:00Z"
               "</time></trkpt></trkseg>");
    EXPECT_EQ(run({text("summary"), path(work.path)}), 0) << output.err;
    const auto lines = outLines();
    ASSERT_EQ(lines.size(), 6u) << output.out;  // header, four rows, count
    // Aligned by code points (tests/cli/CliTableTests.cpp); the newest first, a warning at the row's
    // end, the count last on a line of its own.
    EXPECT_EQ(lines[1].rfind("\xE5\xAF\x8C\xE5\xA3\xAB\xE5\xB1\xB1", 0), 0u);
    const ActiveLanguage language = resolveLanguage(loadSettings().languageSetting);
    EXPECT_TRUE(lines[4].starts_with("cut") &&
                lines[4].ends_with(wideToUtf8(failureMessageText(language, kMessageEndsEarly))))
        << lines[4];
    EXPECT_EQ(lines.back(), "4 " + wideToUtf8(translate(language, "files")));
    EXPECT_TRUE(output.out.ends_with('\n'));
    // --units overrides the window's units for this table alone.
    output = {};
    EXPECT_EQ(run({text("summary"), text("--units"), text("imperial"), path(work.path)}), 0) << output.err;
    EXPECT_NE(output.out.find(" mi "), std::string::npos) << output.out;
    EXPECT_NE(output.out.find(" ft "), std::string::npos) << output.out;
    EXPECT_EQ(output.out.find(" km "), std::string::npos) << output.out;
}

TEST_F(CliRun, SetSportRewritesAndReportsFailuresWithoutTouchingTheFile) {
    const fs::path hike = copyExample("Pilatus-Aufstieg.gpx", "hike.gpx");
    const fs::path points = copyExample("Rastplaetze.gpx", "waypoints.gpx");
    const std::string before = readBytes(points);
    EXPECT_EQ(run({text("set-sport"), text("trail_running"), path(hike), path(points),
                   path(work.path / "gone.gpx")}),
              1);
    EXPECT_EQ(analyzeGpxFile(hike).sportKey, "trail_running");
    EXPECT_EQ(readBytes(points), before);
    EXPECT_NE(output.err.find("waypoints.gpx: The file holds neither a track nor a route."),
              std::string::npos)
        << output.err;
    EXPECT_NE(output.err.find("gone.gpx: This file cannot be read."), std::string::npos) << output.err;
    EXPECT_NE(output.out.find("1 of 3 files changed"), std::string::npos) << output.out;
    for (const auto& entry : fs::directory_iterator(work.path)) {
        EXPECT_FALSE(isOwnTemporaryName(entry.path().filename())) << entry.path();
    }

    EXPECT_EQ(run({text("set-sport"), text("kayaking"), path(hike)}), 0) << output.err;
    EXPECT_EQ(analyzeGpxFile(hike).sportKey, "kayaking");
}

// People read the window's language (its saved setting, else the system's) or the one asked for;
// the record's fixed text stays what scripts read.
TEST_F(CliRun, MessagesAndTheTableSpeakTheInterfaceLanguage) {
    const fs::path points = copyExample("Rastplaetze.gpx", "waypoints.gpx");
    writeBytes(languageFilePath(), "de");
    EXPECT_EQ(run({text("set-sport"), text("hiking"), path(points)}), 1);
    EXPECT_EQ(output.err,
              pathToUtf8(points) + ": Die Datei enth\xC3\xA4lt weder einen Track noch eine Route.\n");
    EXPECT_EQ(run({text("set-sport"), text("--language"), text("en"), text("hiking"), path(points)}), 1);
    EXPECT_EQ(output.err, pathToUtf8(points) + ": The file holds neither a track nor a route.\n");

    writeBytes(work.path / "empty.gpx", "<gpx></gpx>");
    EXPECT_EQ(run({text("summary"), text("--language"), text("ja"), path(work.path / "empty.gpx")}), 0);
    EXPECT_NE(output.out.find(wideToUtf8(u"\u30C8\u30E9\u30C3\u30AF")), std::string::npos) << output.out;
    EXPECT_NE(output.out.find(wideToUtf8(u"1 \u500B\u306E\u30D5\u30A1\u30A4\u30EB")), std::string::npos);
    EXPECT_EQ(
        run({text("summary"), text("--json"), text("--language"), text("ja"), path(work.path / "empty.gpx")}),
        0);
    EXPECT_EQ(field(output.out, "errorText"), "\"Keine Track- oder Routenpunkte gefunden\"");

    EXPECT_EQ(run({text("import"), text("--language"), text("fr"), path(work.path / "empty.txt")}), 1);
    EXPECT_EQ(output.err, "Ces fichiers n'ont pas pu \xC3\xAAtre import\xC3\xA9s :\n" +
                              pathToUtf8(work.path / "empty.txt") +
                              ": ni itin\xC3\xA9raire ni activit\xC3\xA9\n");
    for (const char* code : {"xx", "zh-hant", "EN"})
        EXPECT_EQ(run({text("summary"), text("--language"), text(code)}), 2);
    EXPECT_EQ(run({text("summary"), text("--language")}), 2);
}

TEST_F(CliRun, ImportCopiesUnderFreeNamesIntoTheConfiguredLibrary) {
    const fs::path tour = copyExample("Greifensee-Runde.gpx", "Tour.gpx");
    writeBytes(work.path / "notes.txt", "x");
    // The same bytes twice arrive once; other bytes under the same name get a free one.
    fs::create_directories(work.path / "more");
    const fs::path other = copyExample("Pilatus-Aufstieg.gpx", "more/Tour.gpx");
    EXPECT_EQ(run({text("import"), path(tour), path(tour), path(other)}), 0) << output.err;
    const fs::path library = temp.path / "documents" / "Tirn GPX Library";
    EXPECT_TRUE(fs::exists(library / "Tour.gpx"));
    EXPECT_TRUE(fs::exists(library / "Tour 2.gpx"));
    EXPECT_FALSE(fs::exists(library / "Tour 3.gpx"));
    EXPECT_NE(output.out.find(pathToUtf8(tour) + ": already in the library as Tour.gpx\n"), std::string::npos)
        << output.out;

    EXPECT_EQ(run({text("duplicates")}), 0);
    EXPECT_EQ(output.out, "No duplicates found\n");
    fs::copy_file(library / "Tour.gpx", library / "Copy.gpx");
    EXPECT_EQ(run({text("duplicates")}), 0);
    EXPECT_EQ(output.out,
              "Copy.gpx  Same file as Tour.gpx\nTour.gpx  Same file as Copy.gpx\nDuplicate groups: 1\n");
    fs::remove(library / "Copy.gpx");

    EXPECT_EQ(run({text("import"), path(work.path / "notes.txt"), path(work.path / "absent.gpx")}), 1);
    EXPECT_FALSE(fs::exists(library / "notes.txt"));
    EXPECT_NE(output.err.find("notes.txt"), std::string::npos);
    EXPECT_NE(output.err.find("absent.gpx"), std::string::npos);

    // Without paths, summary reads the configured library.
    EXPECT_EQ(run({text("summary"), text("--json")}), 0);
    EXPECT_EQ(outLines().size(), 2u) << output.out;
}

TEST_F(CliRun, ImportOnAFullDiskSaysSoAndLeavesNoBrokenRoute) {
    const fs::path tour = copyExample("Greifensee-Runde.gpx", "Tour.gpx");
    setWriteFailureOverride(1, FileError::diskFull);
    EXPECT_EQ(run({text("import"), path(tour)}), 1);
    setWriteFailureOverride(0, FileError::none);
    EXPECT_EQ(output.err, "These files could not be imported:\n" + pathToUtf8(tour) + ": disk full\n");
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(run({text("summary"), text("--json")}), 0);
    EXPECT_EQ(output.out, "");
}

TEST_F(CliRun, RenameTellsTheNewNamesAndOnlyARealRunRenames) {
    const fs::path first = copyExample("Greifensee-Runde.gpx", "1.gpx");
    const fs::path second = copyExample("Greifensee-Runde.gpx", "2.gpx");
    const std::string arrow = " \xE2\x86\x92 ";
    const fs::path named = work.path / "2024-06-15 Rad Greifensee-Runde am Morgen 18,4 km.gpx";
    const fs::path named2 = work.path / "2024-06-15 Rad Greifensee-Runde am Morgen 18,4 km 2.gpx";
    const std::string told = pathToUtf8(first) + arrow + pathToUtf8(named) + "\n" + pathToUtf8(second) +
                             arrow + pathToUtf8(named2) + "\n";
    const auto rename = [&](std::vector<CliArgument> options, std::vector<fs::path> files) {
        std::vector<CliArgument> arguments = {text("rename"), text("--units"), text("metric"),
                                              text("--language"), text("de")};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.push_back(text("{date} {sport} {name} {length}"));
        for (const fs::path& file : files) arguments.push_back(path(file));
        return run(arguments);
    };
    EXPECT_EQ(rename({text("--dry-run")}, {first, second}), 0) << output.err;
    EXPECT_EQ(output.out, told);
    EXPECT_TRUE(fs::exists(first) && fs::exists(second) && !fs::exists(named));

    EXPECT_EQ(rename({}, {first, work.path / "gone.gpx", second}), 1);
    EXPECT_EQ(output.err, "Diese Dateien konnten nicht umbenannt werden:\n" +
                              pathToUtf8(work.path / "gone.gpx") + ": nicht gefunden\n");
    EXPECT_EQ(output.out, told);
    EXPECT_FALSE(fs::exists(first) || fs::exists(second));
    EXPECT_EQ(readBytes(named2), readBytes(projectPath("examples") / "Greifensee-Runde.gpx"));
    // Names the pattern already gives are left alone.
    EXPECT_EQ(rename({}, {named, named2}), 0);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(run({text("rename"), path(first)}), 2);
}

// Output that was cut off must not look like a finished run.
#ifndef _WIN32
TEST_F(CliRun, OutputThatCannotBeWrittenIsToldAndFails) {
    const fs::path ride = copyExample("Greifensee-Runde.gpx", "ride.gpx");
    const fs::path tour = copyExample("Greifensee-Runde.gpx", "Tour.gpx");
    const auto runInto = [&](std::vector<CliArgument> arguments, const std::string& outPath,
                             const std::string& errPath) {
        std::FILE* out = std::fopen(outPath.c_str(), "w");
        std::FILE* err = std::fopen(errPath.c_str(), "w");
        const int status = runCliWritingTo(arguments, out, err);
        std::fclose(out);
        std::fclose(err);
        return status;
    };
    const std::string outPath = pathToUtf8(work.path / "out.txt");
    const std::string errPath = pathToUtf8(work.path / "err.txt");
    const std::vector<std::vector<CliArgument>> commands = {
        {text("summary"), path(work.path)},
        {text("summary"), text("--json"), path(ride)},
        {text("set-sport"), text("hiking"), path(ride)},
        {text("import"), path(tour)},
        {text("--version")},
    };
    for (const auto& arguments : commands) {
        EXPECT_EQ(runInto(arguments, "/dev/full", errPath), 1) << arguments[0].text;
        const std::string err = readBytes(errPath);
        EXPECT_NE(err.find("cannot write the output"), std::string::npos) << arguments[0].text << err;
        // Told once, however the failure was noticed.
        EXPECT_EQ(err.find("cannot write", err.find("cannot write") + 1), std::string::npos) << err;
    }
    // Messages that cannot be written fail the run as well.
    EXPECT_EQ(
        runInto({text("set-sport"), text("hiking"), path(work.path / "gone.gpx")}, outPath, "/dev/full"), 1);
    EXPECT_EQ(runInto({text("summary"), path(ride)}, outPath, errPath), 0) << readBytes(errPath);
    EXPECT_EQ(readBytes(errPath), "");
    EXPECT_NE(readBytes(outPath).find("1 File"), std::string::npos);
}
#endif

// A library folder that cannot be listed would pass for an empty one.
TEST_F(CliRun, AFolderThatCannotBeListedIsToldAndFails) {
    writeBytes(work.path / "file.txt", "x");
    const fs::path unlisted = work.path / "file.txt" / "sub";
    fs::create_directories(settingsDir());
    writeBytes(settingsDir() / "settings.txt", pathToUtf8(unlisted));
    EXPECT_EQ(run({text("summary")}), 1);
    EXPECT_EQ(output.err, "tirn-gpx: " + pathToUtf8(unlisted) + ": This folder cannot be read.\n");
    EXPECT_NE(output.out.find("0 Files"), std::string::npos) << output.out;
#ifndef _WIN32
    // Permissions do not bind root (as on CI).
    if (::geteuid() != 0) {
        const fs::path locked = work.path / "locked";
        fs::create_directories(locked);
        fs::permissions(locked, fs::perms::none);
        const fs::path ride = copyExample("Greifensee-Runde.gpx", "ride.gpx");
        EXPECT_EQ(run({text("summary"), text("--json"), path(locked), path(ride)}), 1);
        fs::permissions(locked, fs::perms::owner_all);
        EXPECT_EQ(output.err, "tirn-gpx: " + pathToUtf8(locked) + ": This folder cannot be read.\n");
        EXPECT_EQ(field(output.out, "fileStem"), "\"ride\"");
    }
#endif
    // A saved folder that is not usable is noted; the run goes on with the default library.
    writeBytes(settingsDir() / "settings.txt", "relative");
    EXPECT_EQ(run({text("summary"), text("--json")}), 0);
    EXPECT_NE(output.err.find("The saved library folder is not usable"), std::string::npos) << output.err;
}

TEST_F(CliRun, CsvSummaryAndGeoJsonExportOfTheExamples) {
    EXPECT_EQ(run({text("summary"), text("--csv"), path(projectPath("examples"))}), 0) << output.err;
    EXPECT_EQ(output.out.rfind("\xEF\xBB\xBFName,Date,", 0), 0u) << output.out.substr(0, 40);
    EXPECT_EQ(outLines().size(), 6u);  // the header and the five files in library order
    EXPECT_NE(outLines()[1].find("Englischer Garten Lauf"), std::string::npos);

    EXPECT_EQ(run({text("export"), text("--geojson"), path(projectPath("examples"))}), 0) << output.err;
    std::size_t features = 0;
    for (std::size_t at = 0; (at = output.out.find("\"type\":\"Feature\"", at)) != std::string::npos; ++at)
        ++features;
    EXPECT_EQ(features, 4u);  // the file without points is left out, and that is told
    EXPECT_NE(output.err.find("no points: 1"), std::string::npos) << output.err;
    EXPECT_EQ(run({text("export"), path(projectPath("examples"))}), 2);
    EXPECT_EQ(run({text("summary"), text("--csv"), text("--json")}), 2);
}

TEST_F(CliRun, UsageErrorsExitWithTwoAndExplain) {
    EXPECT_EQ(run({}), 2);
    EXPECT_NE(output.err.find("usage"), std::string::npos);
    EXPECT_TRUE(output.out.empty());
    EXPECT_EQ(run({text("set-sport"), text("bike"), text("a.gpx")}), 2);
    EXPECT_NE(output.err.find("mountain_biking"), std::string::npos);
    EXPECT_EQ(run({text("--help")}), 0);
    EXPECT_NE(output.out.find("set-sport"), std::string::npos);
}

}  // namespace

// A bulk export as a ZIP and as a folder: names and sports from its list, GPX kept as it is, an
// indoor activity and an escaping entry told with their reasons.
TEST_F(CliRun, ImportConvertsArchivesAndBulkExports) {
    const std::string tcx = R"(<TrainingCenterDatabase><Activities><Activity Sport="Running">
<Id>2024-05-01T06:00:00Z</Id><Lap><Track><Trackpoint><Time>2024-05-01T06:00:00Z</Time><Position>
<LatitudeDegrees>47.36</LatitudeDegrees><LongitudeDegrees>8.70</LongitudeDegrees></Position></Trackpoint>
<Trackpoint><Time>2024-05-01T06:10:00Z</Time><Position><LatitudeDegrees>47.37</LatitudeDegrees>
<LongitudeDegrees>8.72</LongitudeDegrees></Position></Trackpoint></Track></Lap></Activity></Activities>
</TrainingCenterDatabase>)";
    const std::string csv =
        "Activity ID,Activity Name,Activity Type,Filename\r\n"
        "1,\"Morning, \"\"Ride\"\"\nout\",Ride,activities/1.tcx.gz\r\n";
    const std::string indoor =
        "<TrainingCenterDatabase><Activities><Activity Sport=\"Biking\"><Id>2024-05-02T06:00:00Z"
        "</Id><Lap><Track><Trackpoint><Cadence>80</Cadence></Trackpoint></Track></Lap>"
        "</Activity></Activities></TrainingCenterDatabase>";
    writeBytes(
        work.path / "export.zip",
        zipped({{"export/activities.csv", csv},
                {"export/activities/1.tcx.gz", gzipped(tcx), false},
                {"export/routes/Tour.gpx", readBytes(projectPath("examples") / "Greifensee-Runde.gpx")},
                {"export/activities/2.tcx", indoor},
                {"../evil.gpx", "x"}}));
    EXPECT_EQ(run({text("import"), path(work.path / "export.zip")}), 1);
    EXPECT_NE(output.err.find("export.zip/export/activities/2.tcx: no positions (indoor activity)"),
              std::string::npos)
        << output.err;
    EXPECT_NE(output.err.find("export.zip/../evil.gpx: unsafe path in archive"), std::string::npos);
    const fs::path library = temp.path / "documents" / "Tirn GPX Library";
    EXPECT_TRUE(fs::exists(library / "Tour.gpx"));
    EXPECT_EQ(run({text("summary"), text("--json"), path(library / "2024-05-01 Morning,  Ride  out.gpx")}),
              0);
    EXPECT_EQ(field(output.out, "sportKey"), "\"cycling\"");
    EXPECT_EQ(field(output.out, "pointCount"), "2");

    fs::create_directories(work.path / "folder" / "activities");
    writeBytes(work.path / "folder" / "activities.csv", csv);
    writeBytes(work.path / "folder" / "activities" / "1.tcx.gz", gzipped(tcx));
    // The same activity again makes no second route.
    EXPECT_EQ(run({text("import"), path(work.path / "folder")}), 0) << output.err;
    EXPECT_NE(output.out.find("already in the library as 2024-05-01 Morning,  Ride  out.gpx"),
              std::string::npos)
        << output.out;
    EXPECT_FALSE(fs::exists(library / "2024-05-01 Morning,  Ride  out 2.gpx"));
}

TEST_F(CliRun, StatsAddsUpTheExamplesByYearAndSportInEveryForm) {
    const CliArgument examples = path(projectPath("examples"));
    EXPECT_EQ(run({text("stats"), text("--by"), text("month"), text("--csv"), examples}), 0) << output.err;
    const auto csv = outLines();
    EXPECT_EQ(csv.front(), "year,month,sport,count,meters,seconds,ascentMeters");
    EXPECT_TRUE(csv.back().starts_with("total,,total,5,")) << csv.back();
    EXPECT_NE(output.out.find("\n2025,3,running,1,"), std::string::npos) << output.out;
    EXPECT_NE(output.out.find("\n,,other,1,0,0,0\n"), std::string::npos) << output.out;  // no date, no track

    EXPECT_EQ(run({text("stats"), text("--language"), text("de"), examples}), 0) << output.err;
    EXPECT_TRUE(outLines().back().starts_with("Gesamt ")) << output.out;
    EXPECT_EQ(run({text("stats"), text("--json"), examples}), 0) << output.err;
    EXPECT_EQ(field(output.out, "total"), "{\"count\":1");  // the newest year's
    EXPECT_EQ(run({text("stats"), text("--by"), text("week"), examples}), 2);
    EXPECT_EQ(run({text("stats"), text("--json"), text("--csv"), examples}), 2);
}

// A cut FIT file: what could be read arrives, and the tool says it was only part of the file.
TEST_F(CliRun, ImportOfACutFitFileKeepsWhatCouldBeReadAndSaysSo) {
    REQUIRE_CORPUS();
    const std::string ride =
        readBytes(corpusFolder().parent_path() / "fit" / "grimbough__FITfileR__garmin-edge500-ride.fit");
    writeBytes(work.path / "cut.fit", std::string_view(ride).substr(0, ride.size() / 2));
    EXPECT_EQ(run({text("import"), path(work.path / "cut.fit")}), 0) << output.err;
    EXPECT_NE(output.out.find("cut.fit -> "), std::string::npos) << output.out;
    EXPECT_NE(output.err.find("Only part of these files could be read"), std::string::npos) << output.err;
}
