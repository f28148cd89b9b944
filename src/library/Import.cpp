#include "library/Import.h"

#include <string>

#include "library/SameFile.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

// The n-th name for a copy of `source`: its own name first, then stem + " " + n + ".gpx", the stem
// shortened where the name would pass the system's limit.
fs::path candidatePath(const fs::path& folder, const fs::path& source, unsigned long long n) {
    if (n < 2) return folder / source.filename();
    const fs::path suffix = " " + std::to_string(n) + ".gpx";
    const std::size_t room = kLongestName - suffix.native().size();
    fs::path name = nameCutTo(source.stem(), room);
    name += suffix;
    return folder / name;
}

// The first free name from the n-th on; `n` is left at the number of the name returned.
fs::path nextFreePath(const fs::path& folder, const fs::path& source, unsigned long long& n) {
    fs::path target = candidatePath(folder, source, n);
    while (!isNameFree(target)) target = candidatePath(folder, source, ++n);
    return target;
}

ImportFailure failureOf(FileError error, const fs::path& source) {
    switch (error) {
        case FileError::none:
            return ImportFailure::none;
        case FileError::diskFull:
            return ImportFailure::diskFull;
        case FileError::accessDenied:
            return ImportFailure::accessDenied;
        case FileError::notFound:
            // Either side may be missing; only a vanished source is the user's to know about.
            return fileKind(source) == FileKind::missing ? ImportFailure::missingSource
                                                         : ImportFailure::other;
        default:
            return ImportFailure::other;
    }
}

// Gives the complete temporary the first free name from `name` on; it is removed when none is taken.
// Another program may take the free name meanwhile; the move never replaces, so the next free
// name is tried. The bound only guards against a system that always answers "taken".
FileError moveToFreeName(const fs::path& temporary, const fs::path& folder, const fs::path& name,
                         fs::path& target) {
    FileError error = FileError::exists;
    unsigned long long n = 1;
    for (int attempt = 0; attempt < 1000; ++attempt, ++n) {
        target = nextFreePath(folder, name, n);
        error = moveWithoutReplacing(temporary, target);
        if (error != FileError::exists) break;
    }
    if (error != FileError::none) removeFile(temporary);
    return error;
}

ImportResult importOne(const fs::path& folder, const fs::path& source) {
    switch (fileKind(source)) {
        case FileKind::missing:
            return {{}, ImportFailure::missingSource};
        case FileKind::file:
            break;
        default:
            return {{}, ImportFailure::other};
    }
    // Whole or not at all: the copy is complete and on the disk before it gets a route's name.
    const fs::path temporary = temporaryPathBeside(folder / source.filename(), "import");
    FileError error = copyToNewFile(source, temporary);
    if (error != FileError::none) return {{}, failureOf(error, source)};
    fs::path target;
    error = moveToFreeName(temporary, folder, source, target);
    if (error == FileError::none) return {target, ImportFailure::none};
    return {{}, failureOf(error, source)};
}

}  // namespace

fs::path freeTargetPath(const fs::path& folder, const fs::path& source) {
    unsigned long long n = 1;
    return nextFreePath(folder, source, n);
}

ImportResult importFileIntoLibrary(KnownLibraryFiles& known, const fs::path& folder, const fs::path& source) {
    try {
        // The same file twice is no second route: the library keeps the one it has.
        if (fs::path same = fileWithSameBytes(known, source); !same.empty())
            return {{}, ImportFailure::none, std::move(same)};
        ImportResult result = importOne(folder, source);
        if (!result.target.empty()) addKnownFile(known, result.target);
        return result;
    } catch (const std::exception&) {
        // Only running out of memory gets here; the other sources still arrive.
        return {{}, ImportFailure::other};
    }
}

std::vector<ImportResult> importIntoLibrary(const fs::path& folder, const std::vector<fs::path>& sources) {
    std::vector<ImportResult> results;
    results.reserve(sources.size());
    createFolders(folder);
    KnownLibraryFiles known = listKnownLibraryFiles(folder);
    for (const fs::path& source : sources) results.push_back(importFileIntoLibrary(known, folder, source));
    return results;
}

ImportResult importBytesIntoLibrary(KnownLibraryFiles& known, const fs::path& folder, const fs::path& name,
                                    std::string_view bytes) {
    createFolders(folder);
    if (fs::path same = fileWithSameBytes(known, bytes); !same.empty())
        return {{}, ImportFailure::none, std::move(same)};
    const fs::path temporary = temporaryPathBeside(folder / name, "import");
    if (!writeFileDurably(temporary, bytes)) {
        removeFile(temporary);
        return {{}, ImportFailure::other};
    }
    fs::path target;
    if (moveToFreeName(temporary, folder, name, target) != FileError::none) return {{}, ImportFailure::other};
    addKnownFile(known, target);
    return {target, ImportFailure::none};
}

bool changeLibraryFolder(Settings& settings, const fs::path& folder) {
    // Only a saved choice takes effect: otherwise the next start would silently go back.
    Settings changed = settings;
    changed.libraryFolder = folder;
    changed.libraryFolderIgnored = false;  // the saved setting names a folder again
    if (!saveLibraryFolder(changed)) return false;
    settings = std::move(changed);
    return true;
}
