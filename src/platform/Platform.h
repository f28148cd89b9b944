#pragma once
// The few operating-system services the portable code needs, with a Win32 and a POSIX side.
// Wide text is UTF-16 on every build.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

enum class KnownFolder { RoamingAppData, Documents };

// Absolute path of the folder, created when missing; "." when the system gives none.
std::filesystem::path knownFolderPath(KnownFolder folder);
// Tests point a known folder elsewhere; an empty path removes the override.
void setKnownFolderOverride(KnownFolder folder, const std::filesystem::path& path);

// The user's default locale name such as "de-CH"; empty when the system gives none.
std::u16string userDefaultLocaleName();
// Tests fake the locale name; `active` false removes the override.
void setLocaleNameOverride(bool active, std::u16string_view name);

// Writes `bytes` to `path` (truncating), forces them to the disk and closes. False on any failure.
bool writeFileDurably(const std::filesystem::path& path, std::string_view bytes);
// Replaces `target` by `source` in one step, durably (rename on the same volume).
bool replaceFile(const std::filesystem::path& source, const std::filesystem::path& target);

// UTF-8 to UTF-16; each invalid sequence becomes U+FFFD; empty gives empty.
std::u16string utf8ToWide(std::string_view text);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string wideToUtf8(std::u16string_view text);
// Only A-Z become a-z (towlower in the "C" locale); every other code unit stays.
std::u16string lowerText(std::u16string_view text);

// A path as UTF-16 text and back (native wide form on Windows, UTF-8 bytes on POSIX).
std::u16string pathToWide(const std::filesystem::path& path);
std::filesystem::path widePath(std::u16string_view text);
// A path component as UTF-8 (unpaired surrogates become U+FFFD).
std::string pathToUtf8(const std::filesystem::path& path);

// ---- File stamps, the cache folder and the processors (library index and parallel scan) ----

// What tells a changed file from an unchanged one without reading it.
struct FileStamp {
    std::uint64_t size = 0;
    // Last write time: 100 ns units since 1601 on Windows, nanoseconds since 1970 on POSIX.
    std::int64_t lastWrite = 0;
    bool operator==(const FileStamp&) const = default;
};
// Size and last write time of a regular file, following links. False for anything else or a failure.
bool readFileStamp(const std::filesystem::path& path, FileStamp& stamp);
// The system clock now, in the units of FileStamp::lastWrite.
std::int64_t currentFileTime();
// How many units of FileStamp::lastWrite make one second.
std::int64_t fileTimeUnitsPerSecond();

// The user's folder for caches (Windows: local application data; POSIX: $XDG_CACHE_HOME or
// ~/.cache), created when missing; empty when the system names none.
std::filesystem::path localCacheFolderPath();
// Tests point the cache folder elsewhere; an empty path removes the override.
void setLocalCacheFolderOverride(const std::filesystem::path& path);

// How many processors this process may run on (its affinity), at least 1.
unsigned usableProcessorCount();
std::uint32_t currentProcessId();
