#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

std::u16string fffd(int count) {
    return std::u16string(static_cast<std::size_t>(count), u'\uFFFD');
}

}  // namespace

// The decoder must give the same text natively and under Wine, so every expectation here runs on
// both builds.
TEST(Utf8ToWide, DecodesValidTextOfEveryLength) {
    EXPECT_EQ(utf8ToWide(""), u"");
    EXPECT_EQ(utf8ToWide("Tour"), u"Tour");
    EXPECT_EQ(utf8ToWide("\xC3\xA9t\xC3\xA9"), u"\u00E9t\u00E9");
    EXPECT_EQ(utf8ToWide("\xE2\x80\x93"), u"\u2013");
    EXPECT_EQ(utf8ToWide("\xF0\x9F\x9A\xB4"), u"\U0001F6B4");
    EXPECT_EQ(utf8ToWide("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
    EXPECT_EQ(utf8ToWide(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Utf8ToWide, ReplacesEachMaximalInvalidSubpartOnce) {
    // Stray continuation bytes and bytes that never start a sequence: one each.
    EXPECT_EQ(utf8ToWide("\x80\xBF"), fffd(2));
    EXPECT_EQ(utf8ToWide("a\xC0\xC1\xF5\xFF"), u"a" + fffd(4));
    // Overlong forms and surrogates are rejected at the second byte.
    EXPECT_EQ(utf8ToWide("\xE0\x80\x80"), fffd(3));
    EXPECT_EQ(utf8ToWide("\xED\xA0\x80"), fffd(3));
    EXPECT_EQ(utf8ToWide("\xF0\x80\x80\x80"), fffd(4));
    EXPECT_EQ(utf8ToWide("\xF4\x90\x80\x80"), fffd(4));
    // A truncated sequence is one subpart, and the byte that cut it short is read afresh.
    EXPECT_EQ(utf8ToWide("\xE2\x80"), fffd(1));
    EXPECT_EQ(utf8ToWide("\xE2\x80x"), u"\uFFFDx");
    EXPECT_EQ(utf8ToWide("\xF0\x9F\x9A"), fffd(1));
    EXPECT_EQ(utf8ToWide("\xF0\x9F\x9A\xC3\xA9"), u"\uFFFD\u00E9");
    EXPECT_EQ(utf8ToWide("\xC3"), fffd(1));
    EXPECT_EQ(utf8ToWide("\xE1\x80\xE2\xF0\x91\x92\xF1\xBF\x41"), u"\uFFFD\uFFFD\uFFFD\uFFFDA");
}

TEST(WideToUtf8, EncodesPairsAndReplacesLoneSurrogates) {
    EXPECT_EQ(wideToUtf8(u""), "");
    EXPECT_EQ(wideToUtf8(u"Z\u00FCrich \u2013 \U0001F6B4"), "Z\xC3\xBCrich \xE2\x80\x93 \xF0\x9F\x9A\xB4");
    EXPECT_EQ(wideToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(wideToUtf8(std::u16string{char16_t(0xDC00), u'a'}),
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(wideToUtf8(std::u16string{char16_t(0xD83D), char16_t(0xD83D), char16_t(0xDEB4)}),
              "\xEF\xBF\xBD\xF0\x9F\x9A\xB4");
    EXPECT_EQ(utf8ToWide(wideToUtf8(u"\u00D6schberg \U0001F6B4")), u"\u00D6schberg \U0001F6B4");
}

TEST(LowerText, LowersOnlyAsciiLetters) {
    EXPECT_EQ(lowerText(u"Run.GPX"), u"run.gpx");
    EXPECT_EQ(lowerText(u"\u00D6SCHBERG @[`{"), u"\u00D6schberg @[`{");
}

TEST(PathText, RoundTripsNonAsciiNames) {
    const std::u16string name = u"Z\u00FCrich \u2013 \u65E5\u672C.gpx";
    EXPECT_EQ(pathToWide(widePath(name)), name);
    EXPECT_EQ(pathToUtf8(widePath(name)), wideToUtf8(name));
}

#ifndef _WIN32
namespace {

// Sets the locale variables for one test and puts the old values back.
struct LocaleEnvironment {
    LocaleEnvironment(const char* all, const char* messages, const char* lang) {
        for (const char* name : kNames) {
            const char* old = std::getenv(name);
            saved.push_back(old ? std::optional<std::string>(old) : std::nullopt);
        }
        set("LC_ALL", all);
        set("LC_MESSAGES", messages);
        set("LANG", lang);
    }
    ~LocaleEnvironment() {
        for (std::size_t i = 0; i < 3; ++i) set(kNames[i], saved[i] ? saved[i]->c_str() : nullptr);
    }
    static void set(const char* name, const char* value) {
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::optional<std::string>> saved;
};

}  // namespace

TEST(LocaleName, ReadsTheFirstNonEmptyVariableAsATag) {
    const struct {
        const char *all, *messages, *lang;
        std::u16string tag;
    } cases[] = {
        {nullptr, nullptr, "de_CH.UTF-8", u"de-CH"},
        {"", "it_IT@euro", "de_CH.UTF-8", u"it-IT"},
        {"fr_FR.ISO-8859-1@euro", "it_IT", "de_CH", u"fr-FR"},
        {"C.UTF-8", nullptr, "de_CH", u""},
        {nullptr, "POSIX", nullptr, u""},
        {nullptr, nullptr, nullptr, u""},
    };
    for (const auto& c : cases) {
        LocaleEnvironment env(c.all, c.messages, c.lang);
        EXPECT_EQ(userDefaultLocaleName(), c.tag) << (c.lang ? c.lang : "");
    }
}
#endif

TEST(DurableFiles, WriteTruncatesAndReplaceMovesInOneStep) {
    TempFolder temp;
    const fs::path file = temp.path / "a.gpx";
    ASSERT_TRUE(writeFileDurably(file, "long old contents"));
    ASSERT_TRUE(writeFileDurably(file, std::string_view("n\0w", 3)));
    EXPECT_EQ(readBytes(file), std::string("n\0w", 3));
    EXPECT_TRUE(writeFileDurably(temp.path / "empty", ""));
    EXPECT_EQ(readBytes(temp.path / "empty"), "");
    EXPECT_FALSE(writeFileDurably(temp.path / "missing" / "x", "x"));
    EXPECT_FALSE(writeFileDurably(temp.path, "x"));

    const fs::path source = temp.path / "a.gpx.tmp";
    writeBytes(source, "new");
    ASSERT_TRUE(replaceFile(source, file));
    EXPECT_EQ(readBytes(file), "new");
    EXPECT_FALSE(fs::exists(source));
    EXPECT_FALSE(replaceFile(source, file));
    EXPECT_EQ(readBytes(file), "new");
}

TEST(DurableFiles, AReadOnlyFileIsNeitherReplacedNorOverwritten) {
    TempFolder temp;
    const fs::path file = temp.path / "a.gpx";
    const fs::path source = temp.path / "a.gpx.tmp";
    writeBytes(file, "old");
    writeBytes(source, "new");
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(replaceFile(source, file));
    EXPECT_EQ(readBytes(file), "old");
    EXPECT_EQ(readBytes(source), "new");
    EXPECT_FALSE(writeFileDurably(file, "overwritten"));
    EXPECT_EQ(readBytes(file), "old");
}
