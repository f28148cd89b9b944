#include "platform/Overrides.h"

#include <atomic>
#include <map>
#include <mutex>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

std::mutex overrideMutex;
std::map<KnownFolder, fs::path> folderOverrides;
std::optional<std::u16string> localeOverride;
unsigned writesUntilFailure = 0;
FileError injectedError = FileError::none;

}  // namespace

std::optional<fs::path> knownFolderOverride(KnownFolder folder) {
    std::lock_guard lock(overrideMutex);
    auto it = folderOverrides.find(folder);
    if (it == folderOverrides.end()) return std::nullopt;
    return it->second;
}

void setKnownFolderOverride(KnownFolder folder, const fs::path& path) {
    std::lock_guard lock(overrideMutex);
    if (path.empty()) {
        folderOverrides.erase(folder);
    } else {
        folderOverrides[folder] = path;
    }
}

std::optional<std::u16string> localeNameOverride() {
    std::lock_guard lock(overrideMutex);
    return localeOverride;
}

void setLocaleNameOverride(bool active, std::u16string_view name) {
    std::lock_guard lock(overrideMutex);
    if (active) {
        localeOverride = std::u16string(name);
    } else {
        localeOverride.reset();
    }
}

FileError injectedWriteFailure() {
    std::lock_guard lock(overrideMutex);
    if (writesUntilFailure == 0 || --writesUntilFailure != 0) return FileError::none;
    return injectedError;
}

void setWriteFailureOverride(unsigned nth, FileError error) {
    std::lock_guard lock(overrideMutex);
    writesUntilFailure = nth;
    injectedError = error;
}

namespace {

std::function<void(const fs::path&)> rewriteHook;

}  // namespace

void runRewriteHook(const fs::path& file) {
    std::function<void(const fs::path&)> hook;
    {
        std::lock_guard lock(overrideMutex);
        hook = rewriteHook;
    }
    if (hook) hook(file);
}

void setRewriteHookForTests(std::function<void(const fs::path&)> hook) {
    std::lock_guard lock(overrideMutex);
    rewriteHook = std::move(hook);
}

fs::path createdAbsoluteFolder(const fs::path& path) {
    std::error_code ignored;
    fs::create_directories(path, ignored);
    fs::path absolute = fs::absolute(path, ignored);
    return absolute.empty() ? path : absolute;
}

// ---- The cache folder override ----

namespace {

std::optional<fs::path> cacheOverride;

}  // namespace

std::optional<fs::path> localCacheFolderOverride() {
    std::lock_guard lock(overrideMutex);
    return cacheOverride;
}

void setLocalCacheFolderOverride(const fs::path& path) {
    std::lock_guard lock(overrideMutex);
    if (path.empty()) {
        cacheOverride.reset();
    } else {
        cacheOverride = path;
    }
}

// ---- The read cap of readWholeFile ----

namespace {

std::atomic<std::uint64_t> readCapOverride{0};

}  // namespace

std::uint64_t fileReadCap() {
    const std::uint64_t cap = readCapOverride.load(std::memory_order_relaxed);
    return cap != 0 ? cap : kMostFileBytes;
}

void setFileReadCapForTests(std::uint64_t bytes) {
    readCapOverride.store(bytes, std::memory_order_relaxed);
}
