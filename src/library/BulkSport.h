#pragma once
// Writing one sport into many route files, one after the other, each with every rule of the single
// rewrite; what each file had before goes into an undo record.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "library/UndoRecord.h"

struct SportChangeResult {
    std::filesystem::path file;
    bool changed = false;
    std::string message;  // why not (UTF-8, German, as rewriteSport gives it)
};

// Writes `sportKey` into each file in turn and hands each result to `done` (on the calling thread)
// as soon as it is known. Stops before the next file once `cancel` is set. Returns the undo record
// of the changed files, which holds at most `capBytes` of old bytes (the first files' go first).
UndoRecord changeSportOfFiles(const std::vector<std::filesystem::path>& files, std::string_view sportKey,
                              const std::atomic<bool>* cancel,
                              const std::function<void(const SportChangeResult&)>& done,
                              std::uint64_t capBytes = kUndoCapBytes);
