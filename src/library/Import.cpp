#include "library/Import.h"

#include <string>
#include <system_error>

#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

// Free means nothing at all is there. The link itself is looked at, so a dangling link counts as
// taken and a copy never goes through it. When the question cannot be answered the name is taken
// as free: the copy never overwrites, so the worst case is a failed copy.
bool isFreeName(const fs::path& target) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(target, error);
    if (error) return true;
    return status.type() == fs::file_type::not_found;
}

}  // namespace

fs::path freeTargetPath(const fs::path& folder, const fs::path& source) {
    fs::path target = folder / source.filename();
    const std::u16string stem = pathToWide(source.stem());
    for (unsigned long long n = 2; !isFreeName(target); ++n) {
        std::string number = std::to_string(n);
        target = folder / widePath(stem + u" " + std::u16string(number.begin(), number.end()) + u".gpx");
    }
    return target;
}

std::vector<fs::path> importIntoLibrary(const fs::path& folder, const std::vector<fs::path>& sources) {
    std::vector<fs::path> targets;
    targets.reserve(sources.size());
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    for (const fs::path& source : sources) {
        fs::path written;
        try {
            const fs::path target = freeTargetPath(folder, source);
            std::error_code error;
            if (fs::copy_file(source, target, fs::copy_options::none, error) && !error) written = target;
        } catch (const std::exception&) {
            // A source that cannot be copied is skipped; the others still arrive.
        }
        targets.push_back(std::move(written));
    }
    return targets;
}

bool changeLibraryFolder(Settings& settings, const fs::path& folder) {
    // Only a saved choice takes effect: otherwise the next start would silently go back.
    Settings changed = settings;
    changed.libraryFolder = folder;
    if (!saveLibraryFolder(changed)) return false;
    settings = std::move(changed);
    return true;
}
