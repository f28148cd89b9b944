#include <gtest/gtest.h>

#include "LibraryTestSupport.h"
#include "library/WindowPlacementFile.h"

namespace {

TEST(WindowPlacementFile, ReadsOnlyWhatItWrites) {
    const SavedWindowPlacement placement{-1900, 40, -200, 900, true};
    EXPECT_EQ(formatWindowPlacement(placement), "-1900 40 -200 900 1");
    EXPECT_EQ(parseWindowPlacement("-1900 40 -200 900 1"), placement);
    EXPECT_EQ(parseWindowPlacement("10 20 1390 880 0\r\nmore"),
              (SavedWindowPlacement{10, 20, 1390, 880, false}));
    // Anything else means "not saved": the window then takes its default place.
    for (const char* bad :
         {"", "10 20 1390 880", "10 20 1390 880 2", "10 20 10 880 0", "10 20 1390 20 0", "10 20 1390 880 0 7",
          "a 20 1390 880 0", "10 20 99999999999 880 0", "1e3 2 3 4 0"}) {
        EXPECT_FALSE(parseWindowPlacement(bad)) << bad;
    }
    EXPECT_FALSE(parseWindowPlacement(std::string(185, ' ') + "10 20 1390 880 0"));  // 201 bytes: too long
}

class WindowPlacementSettings : public ScratchSettings {};

TEST_F(WindowPlacementSettings, SavedBesideTheSettings) {
    EXPECT_FALSE(loadWindowPlacement());
    ASSERT_TRUE(saveWindowPlacement({5, 6, 700, 800, false}));
    EXPECT_EQ(windowPlacementFilePath(), settingsDir() / "window.txt");
    EXPECT_EQ(loadWindowPlacement(), (SavedWindowPlacement{5, 6, 700, 800, false}));
    // A save that fails part way leaves the last place whole.
    setWriteFailureOverride(1, FileError::diskFull);
    EXPECT_FALSE(saveWindowPlacement({9, 9, 900, 900, true}));
    setWriteFailureOverride(0, FileError::none);
    EXPECT_EQ(loadWindowPlacement(), (SavedWindowPlacement{5, 6, 700, 800, false}));
}

}  // namespace
