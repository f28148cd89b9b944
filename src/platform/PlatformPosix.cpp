// POSIX side of the platform seam: used by the native build (tests, console tool, benchmarks).

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <system_error>
#include <thread>

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

std::u16string userDefaultLocaleName() {
    if (auto name = localeNameOverride()) return *name;
    std::string value;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        value = environmentValue(name);
        if (!value.empty()) break;
    }
    // "de_CH.UTF-8@euro" names the locale de-CH; the codeset and modifier say nothing about language.
    const std::size_t cut = value.find_first_of(".@");
    if (cut != std::string::npos) value.erase(cut);
    if (value.empty() || value == "C" || value == "POSIX") return std::u16string();
    for (char& c : value) {
        if (c == '_') c = '-';
    }
    return utf8ToWide(value);
}

namespace {

// Windows refuses to write or replace a read-only file; the mode bits decide here, because a
// process running as root passes every access() test.
bool isReadOnlyFile(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0;
}

}  // namespace

bool writeFileDurably(const fs::path& path, std::string_view bytes) {
    if (isReadOnlyFile(path)) return false;
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            closeQuietly(fd);
            return false;
        }
        if (n == 0) {
            closeQuietly(fd);
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) {
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
    // The rename itself only lasts once the folder entry is on the disk.
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        closeQuietly(dirFd);
    }
    return true;
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

bool readFileStamp(const fs::path& path, FileStamp& stamp) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    stamp.lastWrite = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
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
    // The base directory specification ignores a relative value.
    const std::string cache = environmentValue("XDG_CACHE_HOME");
    fs::path path = !cache.empty() && cache[0] == '/' ? fs::path(cache) : homeChild(".cache");
    if (path.empty()) return path;
    return createdAbsoluteFolder(path);
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

std::uint32_t currentProcessId() {
    return static_cast<std::uint32_t>(::getpid());
}
