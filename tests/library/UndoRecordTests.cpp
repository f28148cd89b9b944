#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "core/TrackAnalysis.h"
#include "library/BulkSport.h"
#include "library/UndoRecord.h"

namespace fs = std::filesystem;

namespace {

const std::string kRoute =
    "<?xml version=\"1.0\"?>\r\n<gpx><trk><name>A</name><type>hiking</type><trkseg>"
    "<trkpt lat=\"47.0\" lon=\"8.0\"/><trkpt lat=\"47.01\" lon=\"8.01\"/></trkseg></trk></gpx>\r\n";

}  // namespace

// A sport change on many files comes back byte for byte, except a file edited since, which is named
// and keeps the edit; the record survives on the disk until it is taken.
TEST(UndoRecord, SportChangeIsUndoneExactlyAndSparesFilesChangedSince) {
    TempFolder temp;
    const fs::path a = temp.path / "a.gpx";
    const fs::path b = temp.path / "b.gpx";
    const fs::path bad = temp.path / "bad.gpx";
    writeBytes(a, kRoute);
    writeBytes(b, kRoute + "<!-- b -->");
    writeBytes(bad, "<gpx></gpx>");
    std::size_t reported = 0;
    UndoRecord record =
        changeSportOfFiles({a, bad, b}, "rowing", nullptr, [&](const SportChangeResult& result) {
            ++reported;
            EXPECT_EQ(result.changed, result.file != bad) << result.file;
        });
    EXPECT_EQ(reported, 3u);
    ASSERT_EQ(record.entries.size(), 2u);
    EXPECT_EQ(analyzeGpxFile(a).sportKey, "rowing");

    const fs::path folder = temp.path / "undo";
    ASSERT_TRUE(saveUndoRecord(folder, record));
    writeBytes(b, readBytes(b) + " ");  // another program's edit
    const std::string edited = readBytes(b);
    const std::optional<UndoRecord> taken = takeNewestUndoRecord(folder);
    ASSERT_TRUE(taken);
    const UndoOutcome outcome = undoChange(*taken);
    EXPECT_EQ(outcome.restored, 1u);
    ASSERT_EQ(outcome.leftAlone.size(), 1u);
    EXPECT_EQ(outcome.leftAlone[0], b);
    EXPECT_EQ(readBytes(a), kRoute);
    EXPECT_EQ(readBytes(b), edited);
    EXPECT_FALSE(takeNewestUndoRecord(folder)) << "taken records are gone";
}

// A cancel stops before the next file; what was written is still recorded.
TEST(UndoRecord, CancelStopsBeforeTheNextFile) {
    TempFolder temp;
    writeBytes(temp.path / "a.gpx", kRoute);
    writeBytes(temp.path / "b.gpx", kRoute);
    std::atomic<bool> cancel = false;
    const UndoRecord record = changeSportOfFiles({temp.path / "a.gpx", temp.path / "b.gpx"}, "rowing",
                                                 &cancel, [&](const SportChangeResult&) { cancel = true; });
    EXPECT_EQ(record.entries.size(), 1u);
    EXPECT_EQ(readBytes(temp.path / "b.gpx"), kRoute);
}

// Renames go back while the new name holds the same bytes and the old name is free; a recycled file
// comes back unless its name was taken by other bytes.
TEST(UndoRecord, RenameAndRecycleGoBackOnlyWhereNothingIsLost) {
    TempFolder temp;
    const fs::path moved = temp.path / "new.gpx";
    const fs::path taken = temp.path / "taken.gpx";
    writeBytes(moved, "one");
    writeBytes(taken, "two");
    writeBytes(temp.path / "old-taken.gpx", "other");
    const UndoRecord renames{UndoKind::rename,
                             {{moved, temp.path / "old.gpx", {}, undoHash("one")},
                              {taken, temp.path / "old-taken.gpx", {}, undoHash("two")}}};
    UndoOutcome outcome = undoChange(renames);
    EXPECT_EQ(outcome.restored, 1u);
    EXPECT_EQ(readBytes(temp.path / "old.gpx"), "one");
    EXPECT_EQ(outcome.leftAlone, std::vector<fs::path>{taken});

    writeBytes(temp.path / "back.gpx", "different");
    const UndoRecord recycled{UndoKind::recycle,
                              {{temp.path / "gone.gpx", {}, "gone", undoHash("gone")},
                               {temp.path / "back.gpx", {}, "old", undoHash("old")}}};
    outcome = undoChange(recycled);
    EXPECT_EQ(readBytes(temp.path / "gone.gpx"), "gone");
    EXPECT_EQ(readBytes(temp.path / "back.gpx"), "different");
    EXPECT_EQ(outcome.leftAlone, std::vector<fs::path>{temp.path / "back.gpx"});
}

// The cap drops the oldest records first; a damaged record file is passed over without a crash.
TEST(UndoRecord, CapDropsOldestAndDamageIsIgnored) {
    TempFolder temp;
    const fs::path folder = temp.path / "undo";
    const auto recycleOf = [](std::string name, std::size_t size) {
        return UndoRecord{UndoKind::recycle, {{fs::path(name), {}, std::string(size, 'x'), 0}}};
    };
    ASSERT_TRUE(saveUndoRecord(folder, recycleOf("first", 400), 1000));
    ASSERT_TRUE(saveUndoRecord(folder, recycleOf("second", 400), 1000));
    ASSERT_TRUE(saveUndoRecord(folder, recycleOf("third", 400), 1000));
    std::optional<UndoRecord> record = takeNewestUndoRecord(folder);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->entries[0].path, fs::path("third"));
    EXPECT_EQ(takeNewestUndoRecord(folder)->entries[0].path, fs::path("second"));
    EXPECT_FALSE(takeNewestUndoRecord(folder));

    ASSERT_TRUE(saveUndoRecord(folder, recycleOf("kept", 10)));
    std::string encoded = encodeUndoRecord(recycleOf("damaged", 10));
    for (std::size_t cut : {std::size_t{0}, std::size_t{5}, encoded.size() / 2, encoded.size() - 1}) {
        EXPECT_FALSE(decodeUndoRecord(encoded.substr(0, cut))) << cut;
    }
    encoded[encoded.size() / 2] ^= 1;
    writeBytes(folder / "undo-ffffffffffffffff.record", encoded);
    record = takeNewestUndoRecord(folder);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->entries[0].path, fs::path("kept"));
}
