// POSIX side of the platform seam: used by the native build (tests, console tool, benchmarks).

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Overrides.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

fs::path homeChild(const char* child) {
    const std::string home = environmentValue("HOME");
    if (home.empty()) return fs::path();
    return fs::path(home) / child;
}

int closeQuietly(int fd) {
    int result;
    do {
        result = ::close(fd);
    } while (result != 0 && errno == EINTR);
    return result;
}

}  // namespace

fs::path knownFolderPath(KnownFolder folder) {
    fs::path path = knownFolderOverride(folder).value_or(fs::path());
    if (path.empty()) {
        if (folder == KnownFolder::RoamingAppData) {
            const std::string config = environmentValue("XDG_CONFIG_HOME");
            path = config.empty() ? homeChild(".config") : fs::path(config);
        } else {
            const std::string documents = environmentValue("XDG_DOCUMENTS_DIR");
            path = documents.empty() ? homeChild("Documents") : fs::path(documents);
        }
    }
    if (path.empty()) return fs::path(".");
    return createdAbsoluteFolder(path);
}

namespace {

// The first of the variables that is set, as a locale name: "de_CH.UTF-8@euro" names de-CH; the
// codeset and modifier say nothing about language or region.
std::u16string localeFromEnvironment(std::initializer_list<const char*> names) {
    std::string value;
    for (const char* name : names) {
        value = environmentValue(name);
        if (!value.empty()) break;
    }
    const std::size_t cut = value.find_first_of(".@");
    if (cut != std::string::npos) value.erase(cut);
    if (value.empty() || value == "C" || value == "POSIX") return std::u16string();
    for (char& c : value) {
        if (c == '_') c = '-';
    }
    return utf8ToWide(value);
}

}  // namespace

std::u16string userDefaultLocaleName() {
    if (auto name = localeNameOverride()) return *name;
    return localeFromEnvironment({"LC_ALL", "LC_MESSAGES", "LANG"});
}

RegionFormats userRegionFormats() {
    RegionFormats region;
    if (auto name = localeNameOverride()) {
        region.timeLocale = region.measureLocale = *name;
    } else {
        region.timeLocale = localeFromEnvironment({"LC_ALL", "LC_TIME", "LANG"});
        region.measureLocale = localeFromEnvironment({"LC_ALL", "LC_MEASUREMENT", "LANG"});
    }
    return region;
}

int compareForLanguage(std::u16string_view, std::u16string_view a, std::u16string_view b) {
    // The C library's collation would follow the process locale, not the interface language.
    return a.compare(b);
}

namespace {

// Windows refuses to write or replace a read-only file; the mode bits decide here, because a
// process running as root passes every access() test.
bool isReadOnlyFile(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0;
}

FileError errorFromErrno(int code) {
    switch (code) {
        case 0:
            return FileError::none;
        case ENOENT:
        case ENOTDIR:
            return FileError::notFound;
        case EEXIST:
            return FileError::exists;
        case ENOSPC:
        case EDQUOT:
            return FileError::diskFull;
        case EACCES:
        case EPERM:
        case EROFS:
            return FileError::accessDenied;
        default:
            return FileError::other;
    }
}

// Writes everything or says why not; a test may make one of the writes fail.
FileError writeAll(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const FileError injected = injectedWriteFailure();
        if (injected != FileError::none) return injected;
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errorFromErrno(errno);
        }
        if (n == 0) return FileError::other;
        written += static_cast<std::size_t>(n);
    }
    return FileError::none;
}

// A new folder entry only lasts once the folder itself is on the disk.
void syncFolderOf(const fs::path& path) {
    fs::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        closeQuietly(dirFd);
    }
}

}  // namespace

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kSmallStep = std::size_t{64} << 10;

// Anonymous memory of at least `bytes`, its size in `mapped`. A large buffer starts on a 2 MB
// boundary and asks for the kernel's large pages: its first touch then costs a few faults instead
// of one for every 4 KB (which, in a virtual machine, can cost more than reading the file).
char* mapPages(std::size_t bytes, std::size_t& mapped) {
    if (bytes < kLargePage) {
        mapped = (bytes + kSmallStep - 1) / kSmallStep * kSmallStep;
        void* at = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return at == MAP_FAILED ? nullptr : static_cast<char*>(at);
    }
    if (bytes > SIZE_MAX - 2 * kLargePage) return nullptr;
    mapped = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    void* raw =
        ::mmap(nullptr, mapped + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto begin = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (begin + kLargePage - 1) / kLargePage * kLargePage;
    if (aligned > begin) ::munmap(raw, aligned - begin);
    const std::uintptr_t tail = begin + mapped + kLargePage - (aligned + mapped);
    if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + mapped), tail);
#ifdef MADV_HUGEPAGE
    ::madvise(reinterpret_cast<void*>(aligned), mapped, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<char*>(aligned);
}

// Room for exactly `bytes` (rounded up to whole pages), the first `keep` bytes kept. A mapping
// grows in place or moves without a copy, so that a growing read never holds its bytes twice.
bool reserveFileBuffer(FileBuffer& buffer, std::size_t bytes, std::size_t keep) {
    if (bytes <= buffer.capacity) return true;
    if (keep > 0 && buffer.capacity >= kLargePage && bytes <= SIZE_MAX - kLargePage) {
        const std::size_t mapped = (bytes + kLargePage - 1) / kLargePage * kLargePage;
        void* moved = ::mremap(buffer.data, buffer.capacity, mapped, MREMAP_MAYMOVE);
        if (moved == MAP_FAILED) return false;
        buffer.data = static_cast<char*>(moved);
        buffer.capacity = mapped;
        return true;
    }
    std::size_t mapped = 0;
    char* data = mapPages(bytes, mapped);
    if (!data) return false;
    if (keep > 0) std::memcpy(data, buffer.data, keep);
    trimFileBuffer(buffer, 0);
    buffer.data = data;
    buffer.capacity = mapped;
    return true;
}

}  // namespace

void trimFileBuffer(FileBuffer& buffer, std::size_t keep) noexcept {
    if (buffer.capacity <= keep) return;
    ::munmap(buffer.data, buffer.capacity);
    buffer.data = nullptr;
    buffer.capacity = 0;
}

bool readSmallRegularFile(const fs::path& path, std::size_t maxBytes, std::string& text) {
    text.clear();
    // Looked at before the open, so that a device is never opened; a FIFO opened without blocking
    // (it may replace the file in between) is turned away by the second look.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        closeQuietly(fd);
        return false;
    }
    text.resize(maxBytes);
    std::size_t used = 0;
    bool ok = true;
    while (used < maxBytes) {
        const ssize_t got = ::read(fd, text.data() + used, maxBytes - used);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        used += static_cast<std::size_t>(got);
    }
    closeQuietly(fd);
    text.resize(ok ? used : 0);
    return ok;
}

bool readWholeFile(const fs::path& path, FileBuffer& buffer, std::size_t& size, bool* tooLarge) {
    if (tooLarge) *tooLarge = false;
    size = 0;
    int fd;
    do {
        // Not blocking: a pipe must not hold the caller up before it is turned away below.
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        closeQuietly(fd);
        return false;
    }
    // The size is only a hint (the file may change meanwhile, a /proc file says 0): reading goes on
    // to the end, but never beyond one byte past the cap, which tells a file too large.
    const std::uint64_t cap = std::min<std::uint64_t>(fileReadCap(), SIZE_MAX / 4);
    const auto most = static_cast<std::size_t>(cap) + 1;
    const auto expected = static_cast<std::size_t>(std::min<std::uint64_t>(info.st_size, cap));
    bool ok = reserveFileBuffer(buffer, expected + 1, 0);
    std::size_t used = 0;
    while (ok) {
        if (used == most) {
            ok = false;
            if (tooLarge) *tooLarge = true;
            break;
        }
        if (used == buffer.capacity &&
            !reserveFileBuffer(buffer, std::min(most, used + std::max(used / 2, kSmallStep)), used)) {
            ok = false;
            break;
        }
        const ssize_t got = ::read(fd, buffer.data + used, std::min(buffer.capacity, most) - used);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        used += static_cast<std::size_t>(got);
    }
    closeQuietly(fd);
    size = ok ? used : 0;
    return ok;
}

bool writeFileDurably(const fs::path& path, std::string_view bytes) {
    if (isReadOnlyFile(path)) return false;
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    if (writeAll(fd, bytes) != FileError::none || ::fsync(fd) != 0) {
        closeQuietly(fd);
        return false;
    }
    return closeQuietly(fd) == 0;
}

bool replaceFile(const fs::path& source, const fs::path& target) {
    // The same rule as for writing, applied to the name itself (a link is replaced, not followed).
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0) {
        return false;
    }
    if (::rename(source.c_str(), target.c_str()) != 0) return false;
    syncFolderOf(target);
    return true;
}

// ---- Rewriting a file in place ----

namespace {

FileIdentity identityOf(const struct stat& info) {
    FileIdentity identity;
    identity.device = static_cast<std::uint64_t>(info.st_dev);
    identity.fileId = static_cast<std::uint64_t>(info.st_ino);
    identity.size = static_cast<std::uint64_t>(info.st_size);
    identity.lastWrite = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    identity.lastChange = static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return identity;
}

// The whole file, for writing when `exclusive`. An open file description's lock excludes the
// other threads of this process as well, and no close of another descriptor of the same file
// drops it; old kernels only have the process's locks.
bool lockWholeFile(int fd, bool exclusive) {
    struct flock range {};
    range.l_type = static_cast<short>(exclusive ? F_WRLCK : F_RDLCK);
    range.l_whence = SEEK_SET;
#ifdef F_OFD_SETLK
    if (::fcntl(fd, F_OFD_SETLK, &range) == 0) return true;
    if (errno != EINVAL) return false;
#endif
    return ::fcntl(fd, F_SETLK, &range) == 0;
}

// A new file under a fresh temporary name in `folder`, never through a link and never one that
// is there already; -1 when none could be made.
int createExclusiveTemporary(const fs::path& beside, std::string_view tag, fs::path& path) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        path = temporaryPathBeside(beside, tag);
        int fd;
        do {
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        } while (fd < 0 && errno == EINTR);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

void FileRewrite::close() noexcept {
    if (handle_ >= 0) closeQuietly(static_cast<int>(std::exchange(handle_, -1)));
}

RewriteError FileRewrite::open(const fs::path& path, std::string& bytes) {
    close();
    // Only a regular file is opened at all: opening a device may already do something.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return RewriteError::cannotRead;
    // A link stays a link: its target is the file to replace.
    target_ = path;
    struct stat linkInfo {};
    if (::lstat(path.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved == nullptr) return RewriteError::cannotRead;
        target_ = resolved;
        std::free(resolved);
    }
    // Writing is what the lock needs; a file this process may not write is locked for reading,
    // which still keeps out anyone rewriting it, and is not replaced later.
    bool writable = true;
    int fd;
    do {
        fd = ::open(target_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        writable = false;
        do {
            fd = ::open(target_.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        } while (fd < 0 && errno == EINTR);
    }
    if (fd < 0) return RewriteError::cannotRead;
    handle_ = fd;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        close();
        return RewriteError::cannotRead;
    }
    if (!lockWholeFile(fd, writable)) {
        const int code = errno;
        close();
        return code == EACCES || code == EAGAIN ? RewriteError::busy : RewriteError::cannotRead;
    }
    if (info.st_nlink > 1) {
        close();
        return RewriteError::hardLinks;
    }
    identity_ = identityOf(info);
    bytes.clear();
    if (info.st_size > 0 && static_cast<std::uintmax_t>(info.st_size) < bytes.max_size()) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            close();
            return RewriteError::cannotRead;
        }
        if (got == 0) break;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    return RewriteError::none;
}

RewriteError FileRewrite::replaceWith(std::string_view bytes) {
    if (handle_ < 0) return RewriteError::notReplaced;
    const int fd = static_cast<int>(handle_);
    fs::path temporary;
    const int out = createExclusiveTemporary(target_, "rewrite", temporary);
    if (out < 0) {
        close();
        return RewriteError::temporaryNotWritten;
    }
    // The file's permissions, as far as the temporary file's owner may set them.
    struct stat info {};
    if (::fstat(fd, &info) == 0) ::fchmod(out, info.st_mode & 07777);
    const bool written = writeAll(out, bytes) == FileError::none && ::fsync(out) == 0;
    if (closeQuietly(out) != 0 || !written) {
        ::unlink(temporary.c_str());
        close();
        return RewriteError::temporaryNotWritten;
    }
    runRewriteHook(target_);
    // Still the file that was read, by what the open file says and by what the name now holds.
    struct stat now {};
    const bool same = ::fstat(fd, &info) == 0 && identityOf(info) == identity_ &&
                      ::stat(target_.c_str(), &now) == 0 && identityOf(now) == identity_;
    RewriteError result = same ? RewriteError::none : RewriteError::changedMeanwhile;
    if (result == RewriteError::none && !replaceFile(temporary, target_)) result = RewriteError::notReplaced;
    if (result != RewriteError::none) ::unlink(temporary.c_str());
    // The lock ends only now, once the new file is in place.
    close();
    return result;
}

fs::path longPathForm(const fs::path& path) {
    // No classic length limit here: PATH_MAX is 4096 bytes.
    return path;
}

FileKind fileKind(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return FileKind::missing;
    if (S_ISREG(info.st_mode)) return FileKind::file;
    if (S_ISDIR(info.st_mode)) return FileKind::folder;
    return FileKind::other;
}

bool isNameFree(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) != 0;
}

bool createFolders(const fs::path& folder) {
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    return fileKind(folder) == FileKind::folder;
}

bool listFolder(const fs::path& folder, std::vector<FolderEntry>& entries) {
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) return false;
    bool complete = true;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(listing);
        if (entry == nullptr) {
            complete = errno == 0;  // otherwise an error that ends the listing
            break;
        }
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            isFile = ::fstatat(::dirfd(listing), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        entries.push_back(FolderEntry{fs::path(name), isFile});
    }
    ::closedir(listing);
    return complete;
}

FileError copyToNewFile(const fs::path& source, const fs::path& target) {
    // Non-blocking, so that a pipe in the place of the source cannot hang the open.
    const int in = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (in < 0) return errorFromErrno(errno);
    struct stat info {};
    if (::fstat(in, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(in, F_SETFL, ::fcntl(in, F_GETFL) & ~O_NONBLOCK) != 0) {
        closeQuietly(in);
        return FileError::other;
    }
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (out < 0) {
        const int code = errno;
        closeQuietly(in);
        return errorFromErrno(code);
    }
    FileError error = FileError::none;
    std::vector<char> buffer(std::size_t{1} << 16);
    while (error == FileError::none) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno != EINTR) error = errorFromErrno(errno);
            continue;
        }
        if (n == 0) break;
        error = writeAll(out, std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    }
    if (error == FileError::none && ::fsync(out) != 0) error = errorFromErrno(errno);
    if (closeQuietly(out) != 0 && error == FileError::none) error = errorFromErrno(errno);
    closeQuietly(in);
    if (error != FileError::none) ::unlink(target.c_str());
    return error;
}

FileError moveWithoutReplacing(const fs::path& source, const fs::path& target) {
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        syncFolderOf(target);
        return FileError::none;
    }
    // File systems without the flag: a hard link is refused as well when the name is taken.
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errorFromErrno(errno);
    if (::link(source.c_str(), target.c_str()) != 0) return errorFromErrno(errno);
    ::unlink(source.c_str());
    syncFolderOf(target);
    return FileError::none;
}

bool removeFile(const fs::path& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

std::u16string pathToWide(const fs::path& path) {
    return utf8ToWide(path.native());
}

fs::path widePath(std::u16string_view text) {
    return fs::path(wideToUtf8(text));
}

std::string pathToUtf8(const fs::path& path) {
    return wideToUtf8(pathToWide(path));
}

// ---- File stamps, the cache folder and the processors ----

namespace {

void stampFromStat(const struct stat& info, FileStamp& stamp) {
    const auto nanoseconds = [](const timespec& time) {
        return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
    };
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    stamp.lastWrite = nanoseconds(info.st_mtim);
    stamp.changeTime = nanoseconds(info.st_ctim);
    // Another file system mounted in the folder's place brings its own inode numbers.
    stamp.fileId = static_cast<std::uint64_t>(info.st_ino) ^
                   (static_cast<std::uint64_t>(info.st_dev) * 0x9E3779B97F4A7C15ull);
}

}  // namespace

bool readFileStamp(const fs::path& path, FileStamp& stamp) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    stampFromStat(info, stamp);
    return true;
}

bool listStampedFiles(const fs::path& folder, bool (*wanted)(const fs::path& name),
                      std::vector<StampedFile>& files) {
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) return false;
    bool listed = true;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(listing);
        if (entry == nullptr) {
            // The end, or an error that ends the listing: the files read so far are kept.
            listed = errno == 0;
            break;
        }
        const std::string_view name = entry->d_name;
        if (name == "." || name == ".." || entry->d_type == DT_DIR) continue;
        StampedFile file{fs::path(name), {}, false};
        if (!wanted(file.name)) continue;
        struct stat info {};
        if (::fstatat(::dirfd(listing), entry->d_name, &info, 0) == 0) {
            if (!S_ISREG(info.st_mode)) continue;
            stampFromStat(info, file.stamp);
            file.stamped = true;
        } else if (entry->d_type != DT_REG) {
            continue;  // a dangling link, or gone: nothing to read
        }
        files.push_back(std::move(file));
    }
    ::closedir(listing);
    return listed;
}

std::int64_t currentFileTime() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::int64_t fileTimeUnitsPerSecond() {
    return 1000000000;
}

fs::path localCacheFolderPath() {
    if (auto path = localCacheFolderOverride()) return createdAbsoluteFolder(*path);
    // A relative XDG_CACHE_HOME does not count; the default takes its place.
    const std::string cache = environmentValue("XDG_CACHE_HOME");
    fs::path path = !cache.empty() && cache[0] == '/' ? fs::path(cache) : homeChild(".cache");
    if (path.empty()) return path;
    return createdAbsoluteFolder(path);
}

std::uint64_t physicalMemoryBytes() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

unsigned usableProcessorCount() {
#ifdef __linux__
    // taskset and container limits show in the affinity mask, not in the number of processors.
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return static_cast<unsigned>(count);
    }
#endif
    const unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? count : 1;
}
