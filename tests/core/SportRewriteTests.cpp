#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "core/Failure.h"
#include "core/SportRewrite.h"
#include "platform/Platform.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

class SportRewriteTest : public ::testing::Test {
protected:
    // Writes `before`, rewrites it to `sport` and returns the file's bytes afterwards.
    std::string rewrite(const std::string& before, const std::string& sport, bool expectSuccess = true) {
        writeBytes(route.filePath, before);
        message.clear();
        const bool ok = rewriteSport(route, sport, message);
        EXPECT_EQ(ok, expectSuccess) << message;
        if (ok) {
            EXPECT_EQ(message, "");
        }
        EXPECT_EQ(leftovers(), 0) << "temporary file left behind";
        return readBytes(route.filePath);
    }
    // The program's temporary files in `folder`.
    int leftovers(const fs::path& folder = {}) const {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(folder.empty() ? temp.path : folder)) {
            count += isOwnTemporaryName(entry.path().filename()) ? 1 : 0;
        }
        return count;
    }
    void SetUp() override { route.filePath = temp.path / "Tour.gpx"; }
    // A rewrite of kBefore that fails with `expected`, leaving the file as it was and nothing behind.
    void expectRefused(const std::string& expected) {
        EXPECT_FALSE(rewriteSport(route, "cycling", message));
        EXPECT_EQ(message, expected);
        EXPECT_EQ(readBytes(route.filePath), kBefore);
        EXPECT_EQ(leftovers(), 0);
    }
    static constexpr const char* kBefore = "<trk><type>run</type></trk>";

    TempFolder temp;
    RouteInfo route;
    std::string message;
};

}  // namespace

TEST_F(SportRewriteTest, OnlyTheFirstTracksOwnTypeChangesAndEveryOtherByteStays) {
    const std::string head =
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<gpx>\r\n  <trk>\r\n    <name>Abend</name>\r\n    ";
    const std::string tail =
        "\r\n    <trkseg><trkpt lat=\"1\" lon=\"2\"/></trkseg>\r\n  </trk>\r\n</gpx>\r\n";
    const std::string points =
        "<trkseg><trkpt lat=\"1\" lon=\"2\"><extensions><type>sensor</type></extensions></trkpt></trkseg>";
    const std::string unclosed =
        "<type>run<trkseg><trkpt lat=\"1\" lon=\"2\"><type>x</type></trkpt></trkseg>";
    const struct {
        std::string before, sport, after;
    } cases[] = {
        {head + "<type>running</type>" + tail, "cycling", head + "<type>cycling</type>" + tail},
        // The same sport again still writes the element in its plain form.
        {head + "<type >cycling</type\n>" + tail, "cycling", head + "<type>cycling</type>" + tail},
        // Without a type one is inserted first, on a line of its own.
        {"<gpx><trk>\n  <name>A</name>\n  <trkseg></trkseg>\n</trk></gpx>", "hiking",
         "<gpx><trk>\r\n    <type>hiking</type>\n  <name>A</name>\n  <trkseg></trkseg>\n</trk></gpx>"},
        {"<gpx><rte></rte></gpx>", "rowing", "<gpx><rte>\r\n    <type>rowing</type></rte></gpx>"},
        // The prefix stays; attributes and letter case of the type go.
        {"<gpx:gpx><gpx:trk><gpx:type>Run</gpx:type></gpx:trk></gpx:gpx>", "running",
         "<gpx:gpx><gpx:trk><gpx:type>running</gpx:type></gpx:trk></gpx:gpx>"},
        {"<gpx><Trk a=\"1\"><TYPE lang=\"de\">Rad</TYPE></Trk></gpx>", "cycling",
         "<gpx><Trk a=\"1\"><type>cycling</type></Trk></gpx>"},
        // A type without the track's prefix is not the track's type.
        {"<g:trk><type>x</type></g:trk>", "swimming",
         "<g:trk>\r\n    <g:type>swimming</g:type><type>x</type></g:trk>"},
        // Only the first track or route; trkseg and trkpt are none; an end tag may hold white space.
        {"<rte><type>a</type></rte><trk><type>b</type></trk>", "driving",
         "<rte><type>driving</type></rte><trk><type>b</type></trk>"},
        {"<trk><type>a</type></trk><trk><type>b</type></trk>", "skiing",
         "<trk><type>skiing</type></trk><trk><type>b</type></trk>"},
        {"<trkseg/><trk ><type>a</type></trk  ><trk/>", "e_bike",
         "<trkseg/><trk ><type>e_bike</type></trk  ><trk/>"},
        // Never a type inside points, extensions or links (a link's type is a MIME type).
        {"<trk><name>N</name>" + points + "</trk>", "walking",
         "<trk>\r\n    <type>walking</type><name>N</name>" + points + "</trk>"},
        {"<trk><extensions><x:type>t</x:type><type>e</type></extensions></trk>", "kayaking",
         "<trk>\r\n    <type>kayaking</type><extensions><x:type>t</x:type><type>e</type></extensions></trk>"},
        {"<rte><rtept lat=\"1\" lon=\"2\"><type>wp</type></rtept><type>late</type></rte>", "rowing",
         "<rte>\r\n    <type>rowing</type><rtept lat=\"1\" "
         "lon=\"2\"><type>wp</type></rtept><type>late</type></rte>"},
        {"<trk><link href=\"u\"><type>text/html</type></link><type>run</type><trkseg/></trk>", "running",
         "<trk><link href=\"u\"><type>text/html</type></link><type>running</type><trkseg/></trk>"},
        {"<trk><link href=\"u\"/><LINK><type>image/png</type></LINK ></trk>", "rowing",
         "<trk>\r\n    <type>rowing</type><link href=\"u\"/><LINK><type>image/png</type></LINK ></trk>"},
        // An unclosed type never swallows the track; the key is written as text.
        {"<trk>" + unclosed + "</trk>", "cycling", "<trk>\r\n    <type>cycling</type>" + unclosed + "</trk>"},
        {"<trk></trk>", "a<b&c", "<trk>\r\n    <type>a&lt;b&amp;c</type></trk>"},
    };
    for (const auto& c : cases) EXPECT_EQ(rewrite(c.before, c.sport), c.after) << c.before;
    // A prefix of more than 64 KB that holds a '.' is compared byte by byte, still found.
    const std::string p = std::string(70000, 'p') + ".q:";
    EXPECT_EQ(rewrite("<" + p + "trk><" + p + "type>a</" + p + "type></" + p + "trk>", "hiking"),
              "<" + p + "trk><" + p + "type>hiking</" + p + "type></" + p + "trk>");
}

TEST_F(SportRewriteTest, FailuresLeaveTheFileAsItWas) {
    struct Case {
        std::string bytes;
        std::string message;
    };
    const Case cases[] = {
        {"<gpx><trkseg><trkpt lat=\"1\" lon=\"2\"/></trkseg></gpx>", "GPX enthält weder Track noch Route"},
        {"", "GPX enthält weder Track noch Route"},
        {"<gpx><trk><type>x</type><trkseg><trkpt lat=\"1\"", "Unvollständiges GPX-XML"},
        {"<gpx><trk></trkx></gpx>", "Unvollständiges GPX-XML"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rewrite(c.bytes, "cycling", false), c.bytes);
        EXPECT_EQ(message, c.message);
    }
    route.filePath = temp.path / "missing.gpx";
    EXPECT_FALSE(rewriteSport(route, "cycling", message));
    EXPECT_EQ(message, "Datei kann nicht gelesen werden");
    EXPECT_FALSE(fs::exists(route.filePath));
}

TEST_F(SportRewriteTest, AFailedTemporaryFileOrAReadOnlyFileLeavesTheFileAsItWas) {
    writeBytes(route.filePath, kBefore);
    setWriteFailureOverride(1, FileError::diskFull);
    expectRefused("Temporäre Datei konnte nicht geschrieben werden");
    setWriteFailureOverride(0, FileError::none);
    fs::permissions(route.filePath, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    expectRefused("Datei konnte nicht ersetzt werden");
}

TEST_F(SportRewriteTest, NamesUpToTheSystemsLimitCanBeRewritten) {
    for (const std::size_t length : {247u, 254u, 255u}) {
        route.filePath = temp.path / (std::string(length - 4, 'n') + ".gpx");
        EXPECT_EQ(rewrite("<trk></trk>", "cycling"), "<trk>\r\n    <type>cycling</type></trk>") << length;
        fs::remove(route.filePath);
    }
}

TEST_F(SportRewriteTest, AFileBeingRewrittenElsewhereIsBusy) {
    writeBytes(route.filePath, kBefore);
    FileRewrite other;
    std::string bytes;
    ASSERT_EQ(other.open(route.filePath, bytes), RewriteError::none);
    expectRefused(kMessageFileBusy);
    // The lock ends with the other rewrite.
    other = FileRewrite();
    EXPECT_EQ(rewrite(kBefore, "hiking"), "<trk><type>hiking</type></trk>");
}

// Two windows, or a window and the console tool, changing one file at the same moment.
TEST_F(SportRewriteTest, RewritesAtTheSameTimeLeaveOneWholeResultAndReportOnlyWhatIsThere) {
    std::string base = "<gpx><trk><name>Race</name><type>running</type><trkseg>\n";
    while (base.size() < (std::size_t{1} << 20)) {
        base += "<trkpt lat=\"47.1\" lon=\"8.5\"><ele>500</ele></trkpt>\n";
    }
    base += "</trkseg></trk></gpx>\n";
    const std::string sports[2] = {"cycling", "hiking"};
    const std::string results[2] = {rewriteSportText(base, sports[0]), rewriteSportText(base, sports[1])};
    constexpr int kRounds = 100;
    int successes = 0;
    int busy = 0;
    int changed = 0;
    for (int round = 0; round < kRounds; ++round) {
        writeBytes(route.filePath, base);
        std::atomic<int> ready{0};
        bool ok[2] = {};
        std::string messages[2];
        std::vector<std::thread> threads;
        for (int t = 0; t < 2; ++t) {
            threads.emplace_back([&, t] {
                ready.fetch_add(1);
                while (ready.load() < 2) std::this_thread::yield();
                ok[t] = rewriteSport(route, sports[t], messages[t]);
            });
        }
        for (std::thread& thread : threads) thread.join();
        const std::string now = readBytes(route.filePath);
        ASSERT_TRUE(now == results[0] || now == results[1])
            << "round " << round << ": " << now.size() << " bytes";
        // The first to hold the lock always gets through; one refused leaves the other's result.
        ASSERT_TRUE(ok[0] || ok[1]) << messages[0] << " / " << messages[1];
        for (int t = 0; t < 2; ++t) {
            if (ok[t]) {
                ++successes;
                if (!ok[1 - t]) {
                    ASSERT_EQ(now, results[t]) << "round " << round;
                }
            } else {
                busy += messages[t] == kMessageFileBusy ? 1 : 0;
                changed += messages[t] == kMessageChangedMeanwhile ? 1 : 0;
#ifdef _WIN32
                // Where a name that is open cannot be replaced, the rewrite lets its lock go just
                // before the replace, which the other rewrite, opening the file then, may block.
                if (messages[t] == kMessageNotReplaced) continue;
#endif
                ASSERT_TRUE(messages[t] == kMessageFileBusy || messages[t] == kMessageChangedMeanwhile)
                    << messages[t];
            }
        }
        ASSERT_EQ(leftovers(), 0);
    }
    std::printf(
        "%d rounds of two rewrites of %zu bytes: %d succeeded, refused %d busy, %d changed, %d other\n",
        kRounds, base.size(), successes, busy, changed, 2 * kRounds - successes - busy - changed);
}

#ifndef _WIN32
TEST_F(SportRewriteTest, KeepsTheFilePermissions) {
    writeBytes(route.filePath, "<trk></trk>");
    fs::permissions(route.filePath, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(rewriteSport(route, "cycling", message));
    EXPECT_EQ(fs::status(route.filePath).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// Wine hides the host's links from Windows programs: the link rules are tested here only.
TEST_F(SportRewriteTest, ALinkStaysALinkAndItsTargetIsRewritten) {
    fs::create_directory(temp.path / "real");
    const fs::path target = temp.path / "real" / "Tour.gpx";
    writeBytes(target, "<trk></trk>");
    route.filePath = temp.path / "Link.gpx";
    fs::create_symlink(fs::path("real") / "Tour.gpx", route.filePath);
    ASSERT_TRUE(rewriteSport(route, "cycling", message)) << message;
    EXPECT_TRUE(fs::is_symlink(route.filePath));
    EXPECT_EQ(readBytes(target), "<trk>\r\n    <type>cycling</type></trk>");
    EXPECT_EQ(leftovers(), 0);
    EXPECT_EQ(leftovers(temp.path / "real"), 0);
}

TEST_F(SportRewriteTest, AFileWithTwoNamesIsRefused) {
    writeBytes(route.filePath, kBefore);
    fs::create_hard_link(route.filePath, temp.path / "Second.gpx");
    expectRefused(kMessageHardLinks);
    EXPECT_EQ(fs::hard_link_count(route.filePath), 2u);
}

TEST_F(SportRewriteTest, AChangeByAnotherProgramMeanwhileIsNeverLost) {
    // Written in place, or saved anew under the same name.
    const std::function<void(const fs::path&)> changes[] = {
        [](const fs::path& file) { std::ofstream(file, std::ios::app) << "<!-- edited -->"; },
        [&](const fs::path& file) {
            writeBytes(temp.path / "saved", "theirs");
            fs::rename(temp.path / "saved", file);
        },
    };
    for (const auto& change : changes) {
        writeBytes(route.filePath, kBefore);
        std::string theirs;
        setRewriteHookForTests([&](const fs::path& file) {
            change(file);
            theirs = readBytes(file);
        });
        EXPECT_FALSE(rewriteSport(route, "cycling", message));
        setRewriteHookForTests({});
        EXPECT_EQ(message, kMessageChangedMeanwhile);
        EXPECT_NE(theirs, kBefore);
        EXPECT_EQ(readBytes(route.filePath), theirs);
        EXPECT_EQ(leftovers(), 0);
    }
}
#endif

#ifdef _WIN32
TEST_F(SportRewriteTest, AFileHeldOpenByAnotherProgramIsLeftAlone) {
    const std::string before = kBefore;
    writeBytes(route.filePath, before);
    // Another program that shares nothing: even reading the file is refused.
    HANDLE exclusive = CreateFileW(route.filePath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(rewriteSport(route, "cycling", message));
    EXPECT_EQ(message, "Datei kann nicht gelesen werden");
    CloseHandle(exclusive);
    EXPECT_EQ(readBytes(route.filePath), before);
    EXPECT_EQ(leftovers(), 0);

    // One that lets others read but not delete: the replace itself is refused.
    HANDLE reading = CreateFileW(route.filePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reading, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(rewriteSport(route, "cycling", message));
    EXPECT_EQ(message, "Datei konnte nicht ersetzt werden");
    CloseHandle(reading);
    EXPECT_EQ(readBytes(route.filePath), before);
    EXPECT_EQ(leftovers(), 0);
}
#endif

TEST(SportRewriteText, CommentsCdataAndEncodings) {
    // Neither a track nor a type inside a comment or CDATA section is the one rewritten.
    const std::string head = "<?xml version=\"1.0\"?><gpx><!-- <trk><type>running</type></trk> -->";
    EXPECT_EQ(rewriteSportText(head + "<trk><name>A</name><type>run</type></trk></gpx>", "cycling"),
              head + "<trk><name>A</name><type>cycling</type></trk></gpx>");
    EXPECT_EQ(rewriteSportText("<gpx><trk><desc><![CDATA[<type>x</type>]]></desc></trk></gpx>", "rowing"),
              "<gpx><trk>\r\n    <type>rowing</type><desc><![CDATA[<type>x</type>]]></desc></trk></gpx>");
    // A type given as CDATA is replaced whole.
    EXPECT_EQ(rewriteSportText("<gpx><trk><type><![CDATA[biking]]></type></trk></gpx>", "hiking"),
              "<gpx><trk><type>hiking</type></trk></gpx>");
    // UTF-16 is refused (never written with mixed bytes); a Latin-1 file takes the ASCII key as is.
    // The mark alone is enough, however short the file.
    for (const std::string& text :
         {std::string("\xFF\xFE"), "\xFE\xFF" + std::string("\0<\0g\0p\0x\0>", 10)}) {
        try {
            rewriteSportText(text, "hiking");
            ADD_FAILURE() << "UTF-16 rewritten";
        } catch (const GpxFailure& failure) {
            EXPECT_STREQ(failure.what(), kMessageUtf16NotRewritten);
        }
    }
    const std::string latin1 =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><gpx><trk><name>Z\xFCrich</name>";
    EXPECT_EQ(rewriteSportText(latin1 + "<type>V\xE9lo</type></trk></gpx>", "cycling"),
              latin1 + "<type>cycling</type></trk></gpx>");
}
