// Win32 side of the platform seam.

#include <windows.h>
// windows.h first: the shell headers depend on it.
#include <knownfolders.h>
#include <shlobj.h>

#include <bit>
#include <system_error>
#include <thread>

#include "platform/Overrides.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

fs::path knownFolderPath(KnownFolder folder) {
    if (auto path = knownFolderOverride(folder)) return createdAbsoluteFolder(*path);
    const KNOWNFOLDERID& id =
        folder == KnownFolder::RoamingAppData ? FOLDERID_RoamingAppData : FOLDERID_Documents;
    PWSTR raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &raw);
    fs::path path;
    if (SUCCEEDED(result) && raw != nullptr && raw[0] != L'\0') path = fs::path(std::wstring(raw));
    // The shell may hand out memory even on failure; it is always ours to free.
    CoTaskMemFree(raw);
    return path.empty() ? fs::path(L".") : path;
}

std::u16string userDefaultLocaleName() {
    if (auto name = localeNameOverride()) return *name;
    wchar_t buffer[LOCALE_NAME_MAX_LENGTH] = {};
    const int length = GetUserDefaultLocaleName(buffer, LOCALE_NAME_MAX_LENGTH);
    if (length <= 0) return std::u16string();
    std::u16string name;
    for (int i = 0; i < length && buffer[i] != L'\0'; ++i) name.push_back(static_cast<char16_t>(buffer[i]));
    return name;
}

namespace {

// Windows refuses to write over or replace a read-only file; Wine running as root does not, so the
// attribute is checked explicitly to get the same answer everywhere.
bool isReadOnlyFile(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

bool writeFileDurably(const fs::path& path, std::string_view bytes) {
    if (isReadOnlyFile(path)) return false;
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::size_t written = 0;
    bool ok = true;
    while (ok && written < bytes.size()) {
        const std::size_t rest = bytes.size() - written;
        const DWORD chunk = rest > (1u << 30) ? (1u << 30) : static_cast<DWORD>(rest);
        DWORD done = 0;
        if (!WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0) {
            ok = false;
        } else {
            written += done;
        }
    }
    if (ok && !FlushFileBuffers(file)) ok = false;
    if (!CloseHandle(file)) ok = false;
    return ok;
}

bool replaceFile(const fs::path& source, const fs::path& target) {
    if (isReadOnlyFile(target)) return false;
    return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           0;
}

std::u16string pathToWide(const fs::path& path) {
    const std::wstring& native = path.native();
    return std::u16string(native.begin(), native.end());
}

fs::path widePath(std::u16string_view text) {
    return fs::path(std::wstring(text.begin(), text.end()));
}

std::string pathToUtf8(const fs::path& path) {
    return wideToUtf8(pathToWide(path));
}

// ---- File stamps, the cache folder and the processors ----

namespace {

std::int64_t fileTimeValue(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

}  // namespace

bool readFileStamp(const fs::path& path, FileStamp& stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // A link: what it points to counts, as in the library listing. Opening without any access
        // right reads the attributes without disturbing anyone who has the file open.
        HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        BY_HANDLE_FILE_INFORMATION info{};
        const bool ok = GetFileInformationByHandle(file, &info) != 0;
        CloseHandle(file);
        if (!ok) return false;
        data.dwFileAttributes = info.dwFileAttributes;
        data.ftLastWriteTime = info.ftLastWriteTime;
        data.nFileSizeHigh = info.nFileSizeHigh;
        data.nFileSizeLow = info.nFileSizeLow;
    }
    if ((data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) return false;
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.lastWrite = fileTimeValue(data.ftLastWriteTime);
    return true;
}

std::int64_t currentFileTime() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return fileTimeValue(now);
}

std::int64_t fileTimeUnitsPerSecond() {
    return 10000000;
}

fs::path localCacheFolderPath() {
    if (auto path = localCacheFolderOverride()) return createdAbsoluteFolder(*path);
    PWSTR raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &raw);
    fs::path path;
    if (SUCCEEDED(result) && raw != nullptr && raw[0] != L'\0') path = fs::path(std::wstring(raw));
    CoTaskMemFree(raw);
    return path;
}

unsigned usableProcessorCount() {
    DWORD_PTR processMask = 0;
    DWORD_PTR systemMask = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask) && processMask != 0) {
        return static_cast<unsigned>(std::popcount(static_cast<std::uint64_t>(processMask)));
    }
    const unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? count : 1;
}

std::uint32_t currentProcessId() {
    return static_cast<std::uint32_t>(GetCurrentProcessId());
}
