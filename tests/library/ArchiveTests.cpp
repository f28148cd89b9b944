#include <gtest/gtest.h>

#include "ArchiveMaker.h"
#include "library/Archive.h"

namespace {

// Each file entry's content, or its failure key in brackets.
std::vector<std::string> unpacked(const std::string& zip, UnpackBudget budget) {
    std::vector<ZipEntry> entries;
    const ArchiveSource source = memorySource(zip);
    const std::string_view failure = readZipDirectory(source, entries);
    if (!failure.empty()) return {"[" + std::string(failure) + "]"};
    std::vector<std::string> contents;
    for (const ZipEntry& entry : entries) {
        if (entry.isFolder()) continue;
        std::string out;
        const std::string_view entryFailure = unzipEntry(source, entry, out, budget);
        contents.push_back(entryFailure.empty() ? out : "[" + std::string(entryFailure) + "]");
    }
    return contents;
}

}  // namespace

TEST(Archive, ZipEntriesStoredDeflatedAndZip64) {
    std::string big;
    for (int i = 0; i < 30000; ++i) big += std::to_string(i * 7919 % 10007) + ' ';
    const std::vector<MadeEntry> entries = {{"a.gpx", "<gpx/>", false}, {"deep/er/b.tcx", big},
                                            {"deep/", "", false},       {"../evil.gpx", "x"},
                                            {"C:/evil.gpx", "x"},       {"secret.gpx", "x", true, 1}};
    const std::vector<std::string> expected = {"<gpx/>", big, "[reasonUnsafePath]", "[reasonUnsafePath]",
                                               "[reasonEncryptedEntry]"};
    for (const bool zip64 : {false, true}) {
        SCOPED_TRACE(zip64);
        std::string zip = zipped(entries, zip64);
        EXPECT_EQ(unpacked(zip, unpackBudgetFor(zip.size())), expected);
        // A trailing comment, a cut archive and a flipped byte of a packed entry.
        std::string commented = zip;
        commented[commented.size() - 2] = 3;
        EXPECT_EQ(unpacked(commented + "PK!", unpackBudgetFor(zip.size())), expected);
        EXPECT_EQ(unpacked(zip.substr(0, zip.size() - 30), unpackBudgetFor(zip.size())),
                  std::vector<std::string>{"[reasonDamagedArchive]"});
        zip[100] = static_cast<char>(zip[100] ^ 0x55);
        EXPECT_EQ(unpacked(zip, unpackBudgetFor(zip.size())).at(1), "[reasonDamagedArchive]");
    }
}

TEST(Archive, BombsStopAtTheBudget) {
    const std::string zeros(50 << 20, '\0');
    const std::string zip = zipped({{"bomb.gpx", zeros}});
    ASSERT_LT(zip.size() * 100, zeros.size());
    EXPECT_EQ(unpacked(zip, unpackBudgetFor(zip.size())),
              std::vector<std::string>{"[reasonArchiveTooLarge]"});
    std::string out;
    UnpackBudget budget = unpackBudgetFor(1000);
    EXPECT_EQ(gunzip(gzipped(zeros), out, budget), "reasonArchiveTooLarge");
    EXPECT_EQ(unpackBudgetFor(std::uint64_t{1} << 40).left, std::uint64_t{2} << 30);
}

TEST(Archive, GzipMembers) {
    std::string out;
    UnpackBudget budget = unpackBudgetFor(1000);
    EXPECT_EQ(gunzip(gzipped("one ") + gzipped("two"), out, budget), "");
    EXPECT_EQ(out, "one two");
    const std::string cut = gzipped(std::string(5000, 'a') + "b");
    EXPECT_EQ(gunzip(cut.substr(0, cut.size() / 2), out, budget), "reasonDamagedArchive");
    EXPECT_EQ(gunzip("plain", out, budget), "reasonDamagedArchive");
}
