// The markup helpers on the shapes GPX files really take, and on the malformed ones they must survive.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "TestSupport.h"
#include "core/Failure.h"
#include "core/MarkupText.h"
#include "core/TrackAnalysis.h"

namespace {

// The rules in their plainest forms; every form against its regular expression in
// ScanDifferential.ElementTextAndTagStrippingMatchRegex.
TEST(ElementText, PrefixCaseAttributesEntitiesNestingAndWhichTagsOpenAndClose) {
    EXPECT_EQ(elementText("<gpx:Name lang=\"de\">Berg &amp; Tal</gpx:NAME >", "name"), "Berg & Tal");
    // "<name:x>" is the element name itself with no prefix; the word boundary lies before ':'.
    EXPECT_EQ(elementText("<name:x>a</name>", "name"), "a");
    EXPECT_EQ(elementText("<a:b:name>a</name>", "name"), "");
    // Nested markup is removed, white space kept; a CDATA section is text as it stands.
    EXPECT_EQ(elementText("<name>  Abend <b>Runde</b> <![CDATA[a>b &amp;]]></name>", "name"),
              "  Abend Runde a>b &amp;");
    // An empty-element tag opens: the text runs to the next closing tag further on.
    EXPECT_EQ(elementText("<name/><x>later</x></name>", "name"), "later");
    EXPECT_EQ(elementText("<name>unclosed", "name"), "");
}

TEST(AttributeText, QuotesNamesAndBoundaries) {
    std::string list = " lat='48.1' lon=\"11.5\"";
    EXPECT_EQ(attributeText(list, "lat"), "48.1");
    EXPECT_EQ(attributeText(list, "lon"), "11.5");
    EXPECT_EQ(attributeText(" lat=\"1'", "lat"), "1");
    EXPECT_EQ(attributeText(" LAT = '2'", "lat"), "2");
    EXPECT_EQ(attributeText(" xlat='3'", "lat"), "");
    EXPECT_EQ(attributeText("lat='4'", "lat"), "4");
    EXPECT_EQ(attributeText(" x-lat='5'", "lat"), "5");
    EXPECT_EQ(attributeText(" lat='' lat='6'", "lat"), "6");
    EXPECT_EQ(attributeText(" lat='unclosed", "lat"), "");
    EXPECT_EQ(attributeText(" lage=\"Sonne &amp; Wolken\"", "lage"), "Sonne & Wolken");
    EXPECT_EQ(attributeText(" lage=\"a&#233;\"", "lage"), "a&#233;");
    EXPECT_EQ(attributeText("", "lat"), "");
    EXPECT_EQ(attributeText(" _a='7'", "_a"), "7");  // a name that starts with no letter
}

TEST(AttributeNumber, PrefixRuleAndRange) {
    auto number = [](std::string value) { return attributeNumber(" v=\"" + value + "\"", "v"); };
    EXPECT_EQ(number("12abc"), std::make_pair(12.0, true));
    EXPECT_EQ(number("  -7.5e1x"), std::make_pair(-75.0, true));
    EXPECT_EQ(number("+.5"), std::make_pair(0.5, true));
    EXPECT_EQ(number("1e"), std::make_pair(1.0, true));
    EXPECT_EQ(number("0xaF"), std::make_pair(175.0, true));  // the first digit at the ranges' edges
    EXPECT_EQ(number("0xf"), std::make_pair(15.0, true));
    EXPECT_EQ(number("0x9"), std::make_pair(9.0, true));
    EXPECT_EQ(number("0x.A"), std::make_pair(0.625, true));
    EXPECT_EQ(number("0x"), std::make_pair(0.0, true));
    EXPECT_EQ(number("0xg"), std::make_pair(0.0, true));
    double value = 1;  // "0x" at the very end of the text: a byte beyond it is not a digit
    EXPECT_TRUE(parseNumberPrefix(std::string_view("0x1", 2), value) && value == 0);
    for (const char* refused : {"abc", "--1", "1e999", "-1e999", "1e-999", "1e-320", ""}) {
        EXPECT_EQ(number(refused), std::make_pair(0.0, false)) << refused;
    }
    EXPECT_EQ(attributeNumber(" w=\"1\"", "v"), std::make_pair(0.0, false));
    EXPECT_TRUE(std::isinf(number("-Infinity").first));
    EXPECT_TRUE(number("-Infinity").second);
    EXPECT_TRUE(std::isnan(number("nan(123)").first));
    EXPECT_TRUE(number("NAN").second);
}

TEST(DecodeEntities, OnePassOnlyFiveNames) {
    EXPECT_EQ(decodeEntities("&amp;&lt;&gt;&quot;&apos;"), "&<>\"'");
    EXPECT_EQ(decodeEntities("&amp;lt;"), "&lt;");
    EXPECT_EQ(decodeEntities("&&amp;&"), "&&&");
    EXPECT_EQ(decodeEntities("&#233;&nbsp;&amp"), "&#233;&nbsp;&amp");
    EXPECT_EQ(decodeEntities(""), "");
}

TEST(ReadFileText, BytesUnchangedAndWhatIsNoFileFails) {
    TempFolder folder;
    std::string bytes("\xEF\xBB\xBF<a>\r\n\0x\xFF", 10);
    writeBytes(folder.path / "a.gpx", bytes);
    EXPECT_EQ(readFileText(folder.path / "a.gpx"), bytes);
    writeBytes(folder.path / "empty.gpx", "");
    EXPECT_EQ(readFileText(folder.path / "empty.gpx"), "");
    try {
        readFileText(folder.path / "missing.gpx");
        FAIL() << "no failure for a missing file";
    } catch (const GpxFailure& failure) {
        EXPECT_STREQ(failure.what(), kMessageCannotRead);
    }
    EXPECT_THROW(readFileText(folder.path), GpxFailure);  // a folder is no file
    // An endless device would fill the memory, a pipe without a writer would wait for ever.
#ifdef _WIN32
    EXPECT_THROW(readFileText("NUL"), GpxFailure);
#else
    EXPECT_THROW(readFileText("/dev/zero"), GpxFailure);
    const std::filesystem::path pipe = folder.path / "pipe.gpx";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_THROW(readFileText(pipe), GpxFailure);
    EXPECT_EQ(analyzeGpxFile(pipe).errorText, kMessageCannotRead);
#endif
}

TEST(ReadFileText, LargeThenSmallFiles) {
    // The analysis reads every file into memory it keeps: a smaller file after a larger one must
    // show nothing of it.
    TempFolder folder;
    std::string large = "<rte>";
    while (large.size() < (size_t{3} << 20)) large += "<rtept lat='1' lon='2'/>";
    writeBytes(folder.path / "large.gpx", large + "</rte>");
    writeBytes(folder.path / "small.gpx", "<rte><rtept lat='3' lon='4'/></rte>");
    EXPECT_GT(analyzeGpxFile(folder.path / "large.gpx").pointCount, 100000u);
    RouteInfo small = analyzeGpxFile(folder.path / "small.gpx");
    EXPECT_EQ(small.pointCount, 1u);
    EXPECT_EQ(small.finishLat, 3);
}

}  // namespace
