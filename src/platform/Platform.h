#pragma once
// The few operating-system services the portable code needs, with a Win32 and a POSIX side.
// Wide text is UTF-16 on every build.

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
