#include <gtest/gtest.h>

#include <string>

#include "cli/CliTable.h"

namespace {

TEST(RenderTable, AlignsColumnsByCodePointsWithoutTrailingBlanks) {
    TextTable table;
    // A pair of surrogates and an unpaired one take one column each.
    table.rows = {{u"Name", u"Länge"},
                  {u"Öschberg", u"1,2 km"},
                  {u"富士山", u"12,5 km"},
                  {u"\U0001F6B4" + std::u16string(1, char16_t(0xD800)), u"0 m"}};
    table.rightAligned = {false, true};
    EXPECT_EQ(renderTable(table),
              "Name        L\xC3\xA4nge\n"
              "\xC3\x96schberg   1,2 km\n"
              "\xE5\xAF\x8C\xE5\xA3\xAB\xE5\xB1\xB1       12,5 km\n"
              "\xF0\x9F\x9A\xB4\xEF\xBF\xBD            0 m\n");

    table.rows = {{u"a", u"b"}, {u"long", u"", u"Fehler"}, {}};
    table.rightAligned = {};
    EXPECT_EQ(renderTable(table), "a     b\nlong     Fehler\n\n");
}

}  // namespace
