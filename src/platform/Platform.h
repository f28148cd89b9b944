#pragma once
// The few operating-system services the portable code needs, with a Win32 and a POSIX side.
// Wide text is UTF-16 on every build.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class KnownFolder { RoamingAppData, Documents };

// Absolute path of the folder, created when missing; "." when the system gives none.
std::filesystem::path knownFolderPath(KnownFolder folder);
// Tests point a known folder elsewhere; an empty path removes the override.
void setKnownFolderOverride(KnownFolder folder, const std::filesystem::path& path);

// The user's default locale name such as "de-CH"; empty when the system gives none.
std::u16string userDefaultLocaleName();
// Tests fake the locale name; `active` false removes the override.
void setLocaleNameOverride(bool active, std::u16string_view name);
// How the user's region writes dates, clock times and measures, as far as the system says. The
// locale names ("en-US") name the regions; the other fields are empty where only the name is known,
// and the portable code then decides by the name's region.
enum class DateOrder { monthFirst, dayFirst, yearFirst };
struct RegionFormats {
    std::u16string timeLocale = {};     // whose dates and clock the user follows
    std::u16string measureLocale = {};  // whose measurement system
    std::optional<DateOrder> dateOrder = {};
    std::optional<bool> twelveHour = {};
    std::optional<bool> imperial = {};
};
// Windows: the user's region settings; POSIX: LC_ALL, then LC_TIME or LC_MEASUREMENT, then LANG.
// Under a locale name override, the overriding name alone.
RegionFormats userRegionFormats();
// Orders two texts as the alphabet of a language does: negative, zero or positive. The locale name
// may be a full one ("uk-UA") or a language code of the translation table ("uk", "zh-Hans"). Where
// the system cannot tell, and on POSIX, the order of the UTF-16 code units.
int compareForLanguage(std::u16string_view localeName, std::u16string_view a, std::u16string_view b);

// Memory for reading whole files, kept from one file to the next: touching fresh pages costs more
// than reading a file into pages that are already there. It comes from the system directly, a large
// buffer in large pages where the system offers them. Move-only.
struct FileBuffer {
    char* data = nullptr;
    std::size_t capacity = 0;

    FileBuffer() = default;
    FileBuffer(FileBuffer&& other) noexcept { *this = std::move(other); }
    FileBuffer& operator=(FileBuffer&& other) noexcept;
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;
    ~FileBuffer();
};
// Reads the whole of a regular file into `buffer`, which grows when needed; the bytes are then
// buffer.data[0, size). False when the file cannot be opened or read, or is no regular file (a
// folder, a device, a pipe); the buffer stays usable either way. Reading stops at
// kMostFileBytes whatever size the file reports (a /proc file says 0 and never ends): such a file
// gives false with *tooLarge set.
bool readWholeFile(const std::filesystem::path& path, FileBuffer& buffer, std::size_t& size,
                   bool* tooLarge = nullptr);
inline constexpr std::uint64_t kMostFileBytes = std::uint64_t{2} << 30;
// Tests lower the cap of readWholeFile; 0 restores kMostFileBytes.
void setFileReadCapForTests(std::uint64_t bytes);
// The first `maxBytes` bytes (or fewer, the whole file) of a small file such as a settings file,
// into `text`. Only a regular file is read (links to one followed), and nothing on the way can
// block: a FIFO, a device or a folder in its place gives false at once, as does a failure.
bool readSmallRegularFile(const std::filesystem::path& path, std::size_t maxBytes, std::string& text);
// Gives the buffer's memory back when it holds more than `keep` bytes.
void trimFileBuffer(FileBuffer& buffer, std::size_t keep) noexcept;

inline FileBuffer& FileBuffer::operator=(FileBuffer&& other) noexcept {
    if (this != &other) {
        trimFileBuffer(*this, 0);
        data = std::exchange(other.data, nullptr);
        capacity = std::exchange(other.capacity, 0);
    }
    return *this;
}
inline FileBuffer::~FileBuffer() {
    trimFileBuffer(*this, 0);
}

// Writes `bytes` to `path` (truncating), forces them to the disk and closes. False on any failure.
bool writeFileDurably(const std::filesystem::path& path, std::string_view bytes);
// Replaces `target` by `source` in one step, durably (rename on the same volume).
bool replaceFile(const std::filesystem::path& source, const std::filesystem::path& target);

// Files that are written whole or not at all, and paths of any length. Every function here takes
// paths as users have them (any length, any script) and reports instead of throwing.

// Why a file operation failed.
enum class FileError { none, notFound, exists, diskFull, accessDenied, other };
// What lies under a path, links followed: a dangling link is `missing`, and so is a path the system
// cannot answer for.
enum class FileKind { missing, file, folder, other };

// The form of `path` that the system and the C and C++ runtimes open at any length. On Windows a
// path of kLongPathStart characters or more (absolute or made so) becomes normalised behind the
// \\?\ prefix, so that no registry switch is needed; shorter paths, and every path on other
// systems, come back unchanged.
inline constexpr std::size_t kLongPathStart = 248;
std::filesystem::path longPathForm(const std::filesystem::path& path);

FileKind fileKind(const std::filesystem::path& path);
// False when anything, even a dangling link, has this name; true also when the system cannot tell
// (the moves below never replace, so the worst case is a refused move).
bool isNameFree(const std::filesystem::path& path);
// Creates the folder with its missing parents; true when a folder is there afterwards.
bool createFolders(const std::filesystem::path& folder);

struct FolderEntry {
    std::filesystem::path name;  // the entry's file name only
    bool isFile = false;         // a regular file, links followed
};
// The entries directly inside `folder`, in the system's order. False when it cannot be listed to
// its end: not at all (no access, not a folder), or an error midway, which keeps what was read.
bool listFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries);

// Copies the regular file `source` into the new file `target` (`exists` when the name is taken)
// and forces it to the disk. On failure nothing of `target` is left.
FileError copyToNewFile(const std::filesystem::path& source, const std::filesystem::path& target);
// Moves a file to `target` only when nothing has that name (`exists` otherwise), durably.
FileError moveWithoutReplacing(const std::filesystem::path& source, const std::filesystem::path& target);
// Removes a file; true when it is gone (or was never there).
bool removeFile(const std::filesystem::path& path);
// A fresh name in the folder of `target` for a temporary file: ".tirn-" + tag + "-" + 16 random
// hex digits + ".tmp". Short and not made from the target's name, so that a file of any name the
// system allows can have one, and no scan takes it for a route.
std::filesystem::path temporaryPathBeside(const std::filesystem::path& target, std::string_view tag);
// Whether a file name has the form of the program's temporary files (any tag).
bool isOwnTemporaryName(const std::filesystem::path& name);
// Removes `path` when it is one of the program's temporary files (by name), a regular file and an
// hour old: what a killed writer left. A younger one may still be written. True when removed.
bool removeIfAbandonedTemporary(const std::filesystem::path& path);
// The longest file name (one path component) the systems take, in units of path::value_type:
// bytes of UTF-8 on POSIX, UTF-16 code units on Windows.
inline constexpr std::size_t kLongestName = 255;
// The first `units` units of `name` (its native form), cut back to a character boundary so that
// no UTF-8 sequence or surrogate pair is split.
std::filesystem::path nameCutTo(const std::filesystem::path& name, std::size_t units);
// Tests let the `nth` write from now on (1 = the next) of writeFileDurably or copyToNewFile fail
// with `error`, as a full disk would; 0 removes the injection.
void setWriteFailureOverride(unsigned nth, FileError error);

// ---- Rewriting a file in place ----

// What tells the file that was read from another one or a changed one under the same name.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t fileId = 0;  // inode, or the volume's file index
    std::uint64_t size = 0;
    std::int64_t lastWrite = 0;
    std::int64_t lastChange = 0;  // status change (POSIX), change time (Windows)
    bool operator==(const FileIdentity&) const = default;
};

enum class RewriteError {
    none,
    cannotRead,        // missing, no regular file, or unreadable
    busy,              // another rewrite (of any process) holds the file
    hardLinks,         // the file has more than one name
    changedMeanwhile,  // not the file that was read any more
    temporaryNotWritten,
    notReplaced,
};

// A regular file opened to be replaced by a new version of itself. From open to replaceWith it
// holds the file's lock, which ends with the object (and with the process); a link is followed and
// its target rewritten. Move-only.
class FileRewrite {
public:
    FileRewrite() = default;
    FileRewrite(FileRewrite&& other) noexcept { *this = std::move(other); }
    FileRewrite& operator=(FileRewrite&& other) noexcept {
        if (this != &other) {
            close();
            handle_ = std::exchange(other.handle_, -1);
            target_ = std::move(other.target_);
            identity_ = other.identity_;
        }
        return *this;
    }
    FileRewrite(const FileRewrite&) = delete;
    FileRewrite& operator=(const FileRewrite&) = delete;
    ~FileRewrite() { close(); }

    // Opens and locks the file and reads all of it into `bytes`.
    RewriteError open(const std::filesystem::path& path, std::string& bytes);
    // Writes `bytes` into a fresh temporary file beside the file (with the file's permissions) and
    // puts it in the file's place, but only if the file is still the one that was read. Nothing
    // is left of the temporary file on failure. Closes the file either way.
    RewriteError replaceWith(std::string_view bytes);

private:
    void close() noexcept;

    std::intptr_t handle_ = -1;     // file descriptor or HANDLE; -1 when closed
    std::filesystem::path target_;  // the file itself, links resolved
    FileIdentity identity_;
};

// Tests run `hook` in every replaceWith between writing the temporary file and checking the
// file, where another program's change would otherwise be lost; an empty hook removes it.
void setRewriteHookForTests(std::function<void(const std::filesystem::path& file)> hook);

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

// What tells a changed file from an unchanged one without reading it. The last write time alone
// can be put back after an edit (tools that keep it, a restored backup); the change time cannot,
// and a file replaced by another under the same name has another ID.
struct FileStamp {
    std::uint64_t size = 0;
    // Last write and change time: 100 ns units since 1601 on Windows, nanoseconds since 1970 on
    // POSIX.
    std::int64_t lastWrite = 0;
    std::int64_t changeTime = 0;
    // The file's ID on its volume (POSIX: the inode with the device folded in).
    std::uint64_t fileId = 0;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of a regular file, following links. False for anything else or a failure.
bool readFileStamp(const std::filesystem::path& path, FileStamp& stamp);

struct StampedFile {
    std::filesystem::path name;  // the file name only
    FileStamp stamp;
    bool stamped = false;  // false when the system could not tell (the scan reads the file then)
};
// The regular files (links followed) directly inside `folder` whose name `wanted` accepts, each
// with the stamp readFileStamp gives. On Windows the stamps come with the one listing of the
// folder, without opening a file (links excepted). False when the folder cannot be listed.
bool listStampedFiles(const std::filesystem::path& folder, bool (*wanted)(const std::filesystem::path& name),
                      std::vector<StampedFile>& files);
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
// The machine's physical memory in bytes; 0 when the system does not tell.
std::uint64_t physicalMemoryBytes();
