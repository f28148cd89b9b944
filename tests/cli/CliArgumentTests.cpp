#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CliArguments.h"

namespace {

CliCommand parse(std::vector<std::string> texts) {
    std::vector<CliArgument> arguments;
    for (const std::string& text : texts) arguments.push_back(cliArgumentFromUtf8(text));
    return parseCliArguments(arguments);
}

TEST(CliArguments, CommandsOptionsAndPaths) {
    const struct {
        std::vector<std::string> texts;
        CliCommandKind kind;
        bool json;
        std::vector<std::string> paths;
    } cases[] = {
        {{"summary"}, CliCommandKind::summary, false, {}},
        {{"summary", "a.gpx", "--json", "Touren"}, CliCommandKind::summary, true, {"a.gpx", "Touren"}},
        // "--" lets paths start with a dash; a lone "-" is a name too.
        {{"summary", "--", "--json", "-x.gpx"}, CliCommandKind::summary, false, {"--json", "-x.gpx"}},
        {{"summary", "-"}, CliCommandKind::summary, false, {"-"}},
        {{"set-sport", "trail_running", "a.gpx", "b.gpx"},
         CliCommandKind::setSport,
         false,
         {"a.gpx", "b.gpx"}},
        {{"import", "a.gpx"}, CliCommandKind::importFiles, false, {"a.gpx"}},
        {{"--help"}, CliCommandKind::help, false, {}},
    };
    for (const auto& c : cases) {
        const CliCommand command = parse(c.texts);
        EXPECT_EQ(command.kind, c.kind) << c.texts.size();
        EXPECT_EQ(command.json, c.json) << c.texts.size();
        EXPECT_EQ(command.paths, std::vector<std::filesystem::path>(c.paths.begin(), c.paths.end()));
    }
    EXPECT_EQ(parse({"set-sport", "trail_running", "a.gpx"}).sportKey, "trail_running");
    EXPECT_EQ(parse({"summary", "--units", "imperial", "a.gpx"}).units, Units::imperial);
    EXPECT_EQ(parse({"summary", "--units", "metric"}).units, Units::metric);
    EXPECT_FALSE(parse({"summary"}).units.has_value());
}

TEST(CliArguments, UsageErrorsAreExplained) {
    for (auto texts : std::vector<std::vector<std::string>>{{},
                                                            {"summarize"},
                                                            {"SUMMARY"},
                                                            {"summary", "--jsn"},
                                                            {"summary", "-j"},
                                                            {"summary", "--units"},
                                                            {"summary", "--units", "miles"},
                                                            {"import", "--units", "metric", "a.gpx"},
                                                            {"import"},
                                                            {"import", "--json", "a.gpx"},
                                                            {"set-sport", "--json", "cycling", "a.gpx"},
                                                            {"set-sport"},
                                                            {"set-sport", "cycling"},
                                                            {"set-sport", "Cycling", "a.gpx"},
                                                            {"set-sport", "", "a.gpx"}}) {
        const CliCommand command = parse(texts);
        EXPECT_EQ(command.kind, CliCommandKind::none) << texts.size();
        EXPECT_FALSE(command.error.empty());
    }
    // An unknown sport is named, with the keys listed so that the user can pick one.
    const CliCommand command = parse({"set-sport", "ride", "a.gpx"});
    EXPECT_EQ(command.kind, CliCommandKind::none);
    for (const char* word : {"ride", "cycling", "kayaking"}) {
        EXPECT_NE(command.error.find(word), std::string::npos) << word;
    }
    for (const char* word :
         {"summary", "--json", "--units", "set-sport", "import", "inline_skating", "e_bike"}) {
        EXPECT_NE(usageText().find(word), std::string::npos) << word;
    }
}

TEST(CliArguments, WideArgumentsKeepTheirCharacters) {
    const CliArgument argument = cliArgumentFromWide(u"Touren/Altefähr 中.gpx");
    EXPECT_EQ(argument.text, "Touren/Altef\xC3\xA4hr \xE4\xB8\xAD.gpx");
    EXPECT_EQ(argument.path.filename().u16string(), u"Altefähr 中.gpx");
}

}  // namespace
