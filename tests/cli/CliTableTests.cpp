#include <gtest/gtest.h>

#include <string>

#include "cli/CliTable.h"

namespace {

TEST(CodePointCount, CountsSurrogatePairsOnce) {
    EXPECT_EQ(codePointCount(u""), 0u);
    EXPECT_EQ(codePointCount(u"Öschberg"), 8u);
    EXPECT_EQ(codePointCount(u"\U0001F6B4x"), 2u);
    // An unpaired surrogate still takes one column.
    EXPECT_EQ(codePointCount(std::u16string(1, char16_t(0xD800)) + u"a"), 2u);
}

TEST(RenderTable, AlignsColumnsByCodePointsNotBytes) {
    TextTable table;
    table.rows = {{u"Name", u"Länge"}, {u"Öschberg", u"1,2 km"}, {u"富士山", u"12,5 km"}, {u"a", u"0 m"}};
    table.rightAligned = {false, true};
    const std::string text = renderTable(table);
    EXPECT_EQ(text,
              "Name        L\xC3\xA4nge\n"
              "\xC3\x96schberg   1,2 km\n"
              "\xE5\xAF\x8C\xE5\xA3\xAB\xE5\xB1\xB1       12,5 km\n"
              "a             0 m\n");
}

TEST(RenderTable, RowsOfDifferentLengthAndNoTrailingBlanks) {
    TextTable table;
    table.rows = {{u"a", u"b"}, {u"long", u"", u"Fehler"}, {}};
    const std::string text = renderTable(table);
    EXPECT_EQ(text, "a     b\nlong     Fehler\n\n");
}

}  // namespace
