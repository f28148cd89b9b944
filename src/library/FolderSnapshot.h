#pragma once
// The library files as a listing saw them: what a later listing is compared with to tell which
// files were added, changed or removed since the records were read.

#include <cstdint>
#include <string>
#include <vector>

// One library file as the folder lists it: enough to tell a changed file from an unchanged one.
struct WatchedFile {
    std::u16string name;
    uint64_t size = 0;
    uint64_t writeTime = 0;
    bool operator==(const WatchedFile&) const = default;
};
using FolderSnapshot = std::vector<WatchedFile>;  // sorted by name
