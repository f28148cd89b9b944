#pragma once
// What it takes to undo the window's changes to route files (a sport written into many files, a
// rename, a move to the Recycle Bin), kept on the disk beside the library index so that it outlives
// the program. Each change is one record file; Undo takes the newest. The records hold the files'
// old bytes, at most a cap in all: the oldest records go first.
//
// Undo never loses a change made since: a file whose bytes are no longer what the change left is
// left alone and reported.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class UndoKind : std::uint8_t { sport = 1, rename = 2, recycle = 3 };

struct UndoEntry {
    std::filesystem::path path;     // the file as the change left it (a rename: its new name)
    std::filesystem::path oldPath;  // a rename: the name before
    std::string bytes;              // a sport change or a recycle: the file's bytes before
    std::uint64_t hash = 0;         // undoHash of the bytes the change left under `path`
};

struct UndoRecord {
    UndoKind kind = UndoKind::sport;
    std::vector<UndoEntry> entries;
};

inline constexpr std::uint64_t kUndoCapBytes = std::uint64_t{1} << 30;

// A 64-bit hash of file bytes: tells whether a file still holds what a change left.
std::uint64_t undoHash(std::string_view bytes);

std::string encodeUndoRecord(const UndoRecord& record);
// Nothing for a damaged, cut or foreign file.
std::optional<UndoRecord> decodeUndoRecord(std::string_view bytes);

// Where the records are kept: a folder beside the library index; empty when there is no cache folder.
std::filesystem::path undoFolder();
// Adds `record` as the newest one. Older records are removed while all of them would hold more than
// `capBytes` of old bytes; a record larger than the cap on its own keeps its last entries that fit.
// False when it could not be written.
bool saveUndoRecord(const std::filesystem::path& folder, UndoRecord record,
                    std::uint64_t capBytes = kUndoCapBytes);
// The newest record that can be read, removed from the folder; damaged ones are removed on the way.
std::optional<UndoRecord> takeNewestUndoRecord(const std::filesystem::path& folder);

struct UndoOutcome {
    std::size_t restored = 0;
    std::vector<std::filesystem::path> leftAlone;  // changed since, gone, or their old place taken
};
// Puts the files back as they were before the change recorded.
UndoOutcome undoChange(const UndoRecord& record);
