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

TEST(CliArguments, SummaryTakesJsonAnywhereAndAnyNumberOfPaths) {
    CliCommand command = parse({"summary"});
    EXPECT_EQ(command.kind, CliCommandKind::summary);
    EXPECT_FALSE(command.json);
    EXPECT_TRUE(command.paths.empty());

    command = parse({"summary", "a.gpx", "--json", "Touren"});
    EXPECT_EQ(command.kind, CliCommandKind::summary);
    EXPECT_TRUE(command.json);
    ASSERT_EQ(command.paths.size(), 2u);
    EXPECT_EQ(command.paths[0], std::filesystem::path("a.gpx"));
    EXPECT_EQ(command.paths[1], std::filesystem::path("Touren"));
}

TEST(CliArguments, DoubleDashLetsPathsStartWithADash) {
    CliCommand command = parse({"summary", "--", "--json", "-x.gpx"});
    EXPECT_EQ(command.kind, CliCommandKind::summary);
    EXPECT_FALSE(command.json);
    ASSERT_EQ(command.paths.size(), 2u);
    EXPECT_EQ(command.paths[0], std::filesystem::path("--json"));
    // A lone "-" is a name too.
    EXPECT_EQ(parse({"summary", "-"}).paths.size(), 1u);
}

TEST(CliArguments, SetSportNeedsAKnownKeyAndFiles) {
    CliCommand command = parse({"set-sport", "trail_running", "a.gpx", "b.gpx"});
    EXPECT_EQ(command.kind, CliCommandKind::setSport);
    EXPECT_EQ(command.sportKey, "trail_running");
    EXPECT_EQ(command.paths.size(), 2u);

    for (auto texts : std::vector<std::vector<std::string>>{{"set-sport"},
                                                             {"set-sport", "cycling"},
                                                             {"set-sport", "Cycling", "a.gpx"},
                                                             {"set-sport", "ride", "a.gpx"},
                                                             {"set-sport", "", "a.gpx"}}) {
        command = parse(texts);
        EXPECT_EQ(command.kind, CliCommandKind::none) << texts.size();
        EXPECT_FALSE(command.error.empty());
    }
    // The message lists the keys so that the user can pick one.
    command = parse({"set-sport", "ride", "a.gpx"});
    EXPECT_NE(command.error.find("cycling"), std::string::npos);
    EXPECT_NE(command.error.find("kayaking"), std::string::npos);
    EXPECT_NE(command.error.find("ride"), std::string::npos);
}

TEST(CliArguments, UsageErrors) {
    for (auto texts : std::vector<std::vector<std::string>>{{},
                                                             {"summarize"},
                                                             {"SUMMARY"},
                                                             {"summary", "--jsn"},
                                                             {"summary", "-j"},
                                                             {"import"},
                                                             {"import", "--json", "a.gpx"},
                                                             {"set-sport", "--json", "cycling", "a.gpx"}}) {
        const CliCommand command = parse(texts);
        EXPECT_EQ(command.kind, CliCommandKind::none) << (texts.empty() ? "" : texts[0]);
        EXPECT_FALSE(command.error.empty());
    }
    EXPECT_EQ(parse({"--help"}).kind, CliCommandKind::help);
    EXPECT_EQ(parse({"import", "a.gpx"}).kind, CliCommandKind::importFiles);
}

TEST(CliArguments, WideArgumentsKeepTheirCharacters) {
    const CliArgument argument = cliArgumentFromWide(u"Touren/Altefähr 中.gpx");
    EXPECT_EQ(argument.text, "Touren/Altef\xC3\xA4hr \xE4\xB8\xAD.gpx");
    EXPECT_EQ(argument.path.filename().u16string(), u"Altefähr 中.gpx");
}

TEST(CliArguments, UsageListsCommandsAndSportKeys) {
    const std::string usage = usageText();
    for (const char* word : {"summary", "--json", "set-sport", "import", "inline_skating", "e_bike"}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
}

}  // namespace
