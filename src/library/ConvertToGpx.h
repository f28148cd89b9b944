#pragma once
// One source file's bytes as the GPX files the library keeps: a GPX stays as it is, every
// activity of a TCX or FIT file becomes a GPX 1.1 file of its own.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

enum class SourceKind { unknown, gpx, tcx, fit };

// By the name's extension, case ignored; a ".gz" after it is left to the caller.
SourceKind sourceKindOf(const std::filesystem::path& name);

struct ConvertedGpx {
    std::string gpx;              // the file's bytes; empty when it failed
    std::string name;             // the file name asked for in the library, UTF-8
    std::string_view failureKey;  // translation key of why it failed; empty when it did not
    bool partial = false;         // made from a damaged file: of what could be read before the damage
};

// What an export's list says about the activity; empty fields keep what the file says.
struct ActivityLabel {
    std::string name;
    std::string sportKey;
};

// At least one entry: the converted files, or one failure. `name` is the source's own file name,
// kept for a GPX.
std::vector<ConvertedGpx> convertToGpx(std::string_view bytes, SourceKind kind, std::string_view name,
                                       const ActivityLabel& label = {});
