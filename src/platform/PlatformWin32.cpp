// Win32 side of the platform seam.

#include <windows.h>
// windows.h first: the shell headers depend on it.
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

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

// A locale's value as text; empty when the system has none.
std::wstring localeInfo(const wchar_t* locale, LCTYPE type) {
    wchar_t buffer[128] = {};
    const int length = GetLocaleInfoEx(locale, type, buffer, 128);
    return length > 1 ? std::wstring(buffer, static_cast<std::size_t>(length - 1)) : std::wstring();
}

}  // namespace

RegionFormats userRegionFormats() {
    RegionFormats region;
    region.timeLocale = region.measureLocale = userDefaultLocaleName();
    // Under a test's override the named locale's own values, else the user's, with their changes.
    const std::wstring overridden(region.timeLocale.begin(), region.timeLocale.end());
    const wchar_t* locale = localeNameOverride() ? overridden.c_str() : LOCALE_NAME_USER_DEFAULT;
    // The short date's first field gives the order ("M/d/yyyy", "dd.MM.yyyy", "yyyy-MM-dd").
    const std::wstring shortDate = localeInfo(locale, LOCALE_SSHORTDATE);
    const std::size_t first = shortDate.find_first_of(L"dMy");
    if (first != std::wstring::npos) {
        region.dateOrder = shortDate[first] == L'M'   ? DateOrder::monthFirst
                           : shortDate[first] == L'd' ? DateOrder::dayFirst
                                                      : DateOrder::yearFirst;
    }
    // "h" is the 12-hour clock's hour, "H" the 24-hour one's.
    const std::wstring timeFormat = localeInfo(locale, LOCALE_STIMEFORMAT);
    if (timeFormat.find_first_of(L"hH") != std::wstring::npos) {
        region.twelveHour = timeFormat.find(L'h') != std::wstring::npos;
    }
    const std::wstring measure = localeInfo(locale, LOCALE_IMEASURE);
    if (measure == L"0" || measure == L"1") region.imperial = measure == L"1";
    return region;
}

int compareForLanguage(std::u16string_view localeName, std::u16string_view a, std::u16string_view b) {
    const std::wstring locale(localeName.begin(), localeName.end());
    if (!a.empty() && !b.empty() && a.size() <= INT_MAX && b.size() <= INT_MAX) {
        const int result = CompareStringEx(
            locale.c_str(), 0, reinterpret_cast<const wchar_t*>(a.data()), static_cast<int>(a.size()),
            reinterpret_cast<const wchar_t*>(b.data()), static_cast<int>(b.size()), nullptr, nullptr, 0);
        if (result != 0) return result - CSTR_EQUAL;  // CSTR_LESS_THAN, CSTR_EQUAL, CSTR_GREATER_THAN
    }
    // An unknown locale, or an empty text the call refuses.
    return a.compare(b);
}

namespace {

// The name handed to the system: long paths behind the \\?\ prefix.
std::wstring systemName(const fs::path& path) {
    return longPathForm(path).native();
}

// Windows refuses to write over or replace a read-only file; Wine running as root does not, so the
// attribute is checked explicitly to get the same answer everywhere.
bool isReadOnlyFile(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(systemName(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

FileError errorFromCode(DWORD code) {
    switch (code) {
        case ERROR_SUCCESS:
            return FileError::none;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return FileError::notFound;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return FileError::exists;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileError::diskFull;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return FileError::accessDenied;
        default:
            return FileError::other;
    }
}

// Writes everything or says why not; a test may make one of the writes fail.
FileError writeAll(HANDLE file, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const FileError injected = injectedWriteFailure();
        if (injected != FileError::none) return injected;
        const std::size_t rest = bytes.size() - written;
        const DWORD chunk = rest > (1u << 30) ? (1u << 30) : static_cast<DWORD>(rest);
        DWORD done = 0;
        if (!WriteFile(file, bytes.data() + written, chunk, &done, nullptr))
            return errorFromCode(GetLastError());
        if (done == 0) return FileError::other;
        written += done;
    }
    return FileError::none;
}

// Kind of an open handle: what a link points to, and a device is neither file nor folder.
FileKind handleKind(HANDLE handle) {
    if (GetFileType(handle) != FILE_TYPE_DISK) return FileKind::other;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information)) return FileKind::other;
    return (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::folder : FileKind::file;
}

}  // namespace

namespace {

constexpr std::size_t kAllocationStep = std::size_t{64} << 10;

// Room for at least `bytes`, the first `keep` bytes kept.
bool reserveFileBuffer(FileBuffer& buffer, std::size_t bytes, std::size_t keep) {
    if (bytes <= buffer.capacity) return true;
    if (bytes > SIZE_MAX - kAllocationStep) return false;
    const std::size_t wanted = (bytes + kAllocationStep - 1) / kAllocationStep * kAllocationStep;
    auto* data = static_cast<char*>(VirtualAlloc(nullptr, wanted, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!data) return false;
    if (keep > 0) std::memcpy(data, buffer.data, keep);
    trimFileBuffer(buffer, 0);
    buffer.data = data;
    buffer.capacity = wanted;
    return true;
}

}  // namespace

void trimFileBuffer(FileBuffer& buffer, std::size_t keep) noexcept {
    if (buffer.capacity <= keep) return;
    VirtualFree(buffer.data, 0, MEM_RELEASE);
    buffer.data = nullptr;
    buffer.capacity = 0;
}

bool readSmallRegularFile(const fs::path& path, std::size_t maxBytes, std::string& text) {
    text.clear();
    // A pipe or device name in the place of the file is opened but never read.
    HANDLE file = CreateFileW(systemName(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = handleKind(file) == FileKind::file;
    if (ok) text.resize(maxBytes);
    std::size_t used = 0;
    while (ok && used < maxBytes) {
        const std::size_t rest = maxBytes - used;
        const DWORD chunk = rest > (1u << 30) ? (1u << 30) : static_cast<DWORD>(rest);
        DWORD done = 0;
        if (!ReadFile(file, text.data() + used, chunk, &done, nullptr)) ok = false;
        if (!ok || done == 0) break;
        used += done;
    }
    CloseHandle(file);
    text.resize(ok ? used : 0);
    return ok;
}

bool readWholeFile(const fs::path& path, FileBuffer& buffer, std::size_t& size, bool* tooLarge) {
    if (tooLarge) *tooLarge = false;
    size = 0;
    HANDLE file = CreateFileW(systemName(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER length{};
    bool ok = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &length) && length.QuadPart >= 0;
    // The size is only a hint (the file may change meanwhile): reading goes on to the end, but
    // never beyond one byte past the cap, which tells a file too large.
    const std::uint64_t cap = std::min<std::uint64_t>(fileReadCap(), SIZE_MAX / 4);
    const auto most = static_cast<std::size_t>(cap) + 1;
    const auto expected =
        static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(length.QuadPart), cap));
    ok = ok && reserveFileBuffer(buffer, expected + 1, 0);
    std::size_t used = 0;
    while (ok) {
        if (used == most) {
            ok = false;
            if (tooLarge) *tooLarge = true;
            break;
        }
        if (used == buffer.capacity &&
            !reserveFileBuffer(buffer, std::min(most, used + std::max(used / 2, kAllocationStep)), used)) {
            ok = false;
            break;
        }
        const std::size_t rest = std::min(buffer.capacity, most) - used;
        const DWORD chunk = rest > (1u << 30) ? (1u << 30) : static_cast<DWORD>(rest);
        DWORD done = 0;
        if (!ReadFile(file, buffer.data + used, chunk, &done, nullptr)) ok = false;
        if (!ok || done == 0) break;
        used += done;
    }
    CloseHandle(file);
    size = ok ? used : 0;
    return ok;
}

bool writeFileDurably(const fs::path& path, std::string_view bytes) {
    if (isReadOnlyFile(path)) return false;
    HANDLE file = CreateFileW(systemName(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = writeAll(file, bytes) == FileError::none && FlushFileBuffers(file);
    if (!CloseHandle(file)) ok = false;
    return ok;
}

bool replaceFile(const fs::path& source, const fs::path& target) {
    if (isReadOnlyFile(target)) return false;
    return MoveFileExW(systemName(source).c_str(), systemName(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// ---- Rewriting a file in place ----

namespace {

std::int64_t fileTimeValue(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

// Identity and name count of an open file.
bool identityOf(HANDLE file, FileIdentity& identity, DWORD* links = nullptr) {
    BY_HANDLE_FILE_INFORMATION information{};
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandle(file, &information) ||
        !GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
        return false;
    }
    identity.device = information.dwVolumeSerialNumber;
    identity.fileId =
        (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    identity.size = (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    identity.lastWrite = fileTimeValue(information.ftLastWriteTime);
    identity.lastChange = basic.ChangeTime.QuadPart;
    if (links) *links = information.nNumberOfLinks;
    return true;
}

// Identity of whatever the name holds now, without disturbing anyone who has it open.
bool identityOf(const fs::path& path, FileIdentity& identity) {
    HANDLE file = CreateFileW(systemName(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = identityOf(file, identity);
    CloseHandle(file);
    return ok;
}

// The rewrite lock is one byte far beyond any end of file: it keeps out other rewrites, while
// readers of the data (a scan) are not held up by it.
OVERLAPPED lockPosition() {
    OVERLAPPED position{};
    position.Offset = 0xFFFFFFFEu;
    position.OffsetHigh = 0x7FFFFFFFu;
    return position;
}

// The path a link leads to; the path itself when it is none.
fs::path resolvedPath(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(systemName(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return path;
    HANDLE file = CreateFileW(systemName(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return path;
    std::wstring name(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), 0);
    if (length >= name.size()) {
        name.resize(length + 1);
        length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), 0);
    }
    CloseHandle(file);
    if (length == 0 || length >= name.size()) return path;
    name.resize(length);
    return fs::path(name);
}

// A new file under a fresh temporary name beside `beside`, never one that is there already.
HANDLE createExclusiveTemporary(const fs::path& beside, std::string_view tag, fs::path& path) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        path = temporaryPathBeside(beside, tag);
        HANDLE file = CreateFileW(systemName(path).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// FileRenameInfoEx (Windows 10 1709), which these headers only name for newer targets.
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);

// Moves the open file `from` over `target` in one step even while `target` is open (as long as its
// openers share deleting), so that the rewrite keeps its lock to the end. Not every system has it.
bool renameOverOpenFile(HANDLE from, const fs::path& target) {
    const std::wstring name = systemName(target);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->Flags = FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::memcpy(rename->FileName, name.data(), name.size() * sizeof(wchar_t));
    return SetFileInformationByHandle(from, kFileRenameInfoEx, rename, static_cast<DWORD>(buffer.size())) !=
           0;
}

// Whether another rewrite holds `path` now.
bool isLockedForRewrite(const fs::path& path) {
    HANDLE file = CreateFileW(systemName(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    OVERLAPPED position = lockPosition();
    const bool locked =
        !LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &position);
    CloseHandle(file);  // ends the lock, if it was taken
    return locked;
}

HANDLE asHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

void FileRewrite::close() noexcept {
    // Closing the handle ends its lock.
    if (handle_ != -1) CloseHandle(asHandle(std::exchange(handle_, -1)));
}

RewriteError FileRewrite::open(const fs::path& path, std::string& bytes) {
    close();
    target_ = resolvedPath(path);
    // Others may read it, and the name may be replaced (by this rewrite); a program writing it
    // keeps it from being opened at all.
    HANDLE file = CreateFileW(systemName(target_).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return RewriteError::cannotRead;
    handle_ = reinterpret_cast<std::intptr_t>(file);
    DWORD links = 0;
    if (handleKind(file) != FileKind::file || !identityOf(file, identity_, &links)) {
        close();
        return RewriteError::cannotRead;
    }
    OVERLAPPED position = lockPosition();
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &position)) {
        const DWORD code = GetLastError();
        close();
        return code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING ? RewriteError::busy
                                                                        : RewriteError::cannotRead;
    }
    if (links > 1) {
        close();
        return RewriteError::hardLinks;
    }
    bytes.clear();
    if (identity_.size < bytes.max_size()) bytes.reserve(static_cast<std::size_t>(identity_.size));
    std::vector<char> chunk(std::size_t{1} << 16);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
            close();
            return RewriteError::cannotRead;
        }
        if (got == 0) break;
        bytes.append(chunk.data(), got);
    }
    return RewriteError::none;
}

RewriteError FileRewrite::replaceWith(std::string_view bytes) {
    if (handle_ == -1) return RewriteError::notReplaced;
    fs::path temporary;
    HANDLE out = createExclusiveTemporary(target_, "rewrite", temporary);
    if (out == INVALID_HANDLE_VALUE) {
        close();
        return RewriteError::temporaryNotWritten;
    }
    if (writeAll(out, bytes) != FileError::none || !FlushFileBuffers(out)) {
        CloseHandle(out);
        DeleteFileW(systemName(temporary).c_str());
        close();
        return RewriteError::temporaryNotWritten;
    }
    runRewriteHook(target_);
    FileIdentity open;
    FileIdentity named;
    const bool same = identityOf(asHandle(handle_), open) && open == identity_ &&
                      identityOf(target_, named) && named == identity_;
    RewriteError result = same ? RewriteError::none : RewriteError::changedMeanwhile;
    if (result == RewriteError::none && (isReadOnlyFile(target_) || !renameOverOpenFile(out, target_))) {
        // Without that rename (older systems, other file systems, Wine), a name that is open
        // cannot be replaced, not even through this very handle: the replace follows once it is
        // closed. Another rewrite that opened the file just then blocks it for a moment (it finds
        // the file busy or changed and lets go); one that took the lock meanwhile wins.
        CloseHandle(std::exchange(out, INVALID_HANDLE_VALUE));
        close();
        result = RewriteError::notReplaced;
        for (int attempt = 0; attempt < 10 && result == RewriteError::notReplaced; ++attempt) {
            if (attempt > 0) Sleep(2);
            if (replaceFile(temporary, target_)) {
                result = RewriteError::none;
            } else if (isReadOnlyFile(target_)) {
                break;
            } else if (isLockedForRewrite(target_)) {
                result = RewriteError::busy;
            } else if (!identityOf(target_, named) || !(named == identity_)) {
                result = RewriteError::changedMeanwhile;
            }
        }
    }
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (result != RewriteError::none) DeleteFileW(systemName(temporary).c_str());
    close();
    return result;
}

fs::path longPathForm(const fs::path& path) {
    const std::wstring& text = path.native();
    if (text.starts_with(L"\\\\?\\") || text.starts_with(L"\\\\.\\")) return path;
    if (text.size() < kLongPathStart && path.is_absolute()) return path;
    // The prefix turns off the system's own clean-up of the name, so it is done here first: the
    // separators, "." and "..", a relative path made absolute.
    const DWORD needed = GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(text.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    if (full.size() < kLongPathStart) return path;
    if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) return fs::path(full);
    if (full.starts_with(L"\\\\")) return fs::path(L"\\\\?\\UNC\\" + full.substr(2));
    return fs::path(L"\\\\?\\" + full);
}

FileKind fileKind(const fs::path& path) {
    const std::wstring name = systemName(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::missing;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return FileKind::folder;
    }
    // Opening follows a link and tells a device from a file.
    HANDLE handle = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A file locked without any sharing is still a file.
        if (error == ERROR_SHARING_VIOLATION && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            return FileKind::file;
        }
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileKind::missing
                                                                              : FileKind::other;
    }
    const FileKind kind = handleKind(handle);
    CloseHandle(handle);
    return kind;
}

bool isNameFree(const fs::path& path) {
    return GetFileAttributesW(systemName(path).c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool createFolders(const fs::path& folder) {
    const std::wstring full = systemName(folder);
    // Up to the deepest folder that exists, then down again creating each level; no recursion.
    std::vector<std::wstring> missing;
    std::wstring level = full;
    while (!level.empty()) {
        while (level.size() > 1 && (level.back() == L'\\' || level.back() == L'/')) level.pop_back();
        const DWORD attributes = GetFileAttributesW(level.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) break;
        missing.push_back(level);
        const std::size_t cut = level.find_last_of(L"\\/");
        if (cut == std::wstring::npos || cut == 0) break;
        level.resize(cut);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) CreateDirectoryW(it->c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(full.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool listFolder(const fs::path& folder, std::vector<FolderEntry>& entries) {
    std::wstring pattern = systemName(folder);
    while (!pattern.empty() && (pattern.back() == L'\\' || pattern.back() == L'/')) pattern.pop_back();
    pattern += L"\\*";
    WIN32_FIND_DATAW found{};
    HANDLE search =
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        // An empty drive root has not even "." to list.
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        FolderEntry entry{fs::path(std::wstring(name)), false};
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            entry.isFile = fileKind(folder / entry.name) == FileKind::file;
        } else {
            entry.isFile = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        }
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search, &found));
    // ERROR_NO_MORE_FILES is the end; any other error ends the listing as well.
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    return complete;
}

FileError copyToNewFile(const fs::path& source, const fs::path& target) {
    const std::wstring from = systemName(source);
    const std::wstring to = systemName(target);
    const DWORD attributes = GetFileAttributesW(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return errorFromCode(GetLastError());
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FileError::other;
    HANDLE in = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE) return errorFromCode(GetLastError());
    if (handleKind(in) != FileKind::file) {
        CloseHandle(in);
        return FileError::other;
    }
    HANDLE out = CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        CloseHandle(in);
        return errorFromCode(code);
    }
    FileError error = FileError::none;
    std::vector<char> buffer(std::size_t{1} << 16);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            error = errorFromCode(GetLastError());
            break;
        }
        if (got == 0) break;
        error = writeAll(out, std::string_view(buffer.data(), got));
        if (error != FileError::none) break;
    }
    if (error == FileError::none && !FlushFileBuffers(out)) error = errorFromCode(GetLastError());
    if (!CloseHandle(out) && error == FileError::none) error = errorFromCode(GetLastError());
    CloseHandle(in);
    if (error != FileError::none) DeleteFileW(to.c_str());
    return error;
}

FileError moveWithoutReplacing(const fs::path& source, const fs::path& target) {
    if (MoveFileExW(systemName(source).c_str(), systemName(target).c_str(), MOVEFILE_WRITE_THROUGH)) {
        return FileError::none;
    }
    return errorFromCode(GetLastError());
}

bool removeFile(const fs::path& path) {
    if (DeleteFileW(systemName(path).c_str())) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
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

bool readFileStamp(const fs::path& path, FileStamp& stamp) {
    // Opening without any access right follows a link and reads the attributes without disturbing
    // anyone who has the file open, whatever sharing they allowed.
    HANDLE file =
        CreateFileW(systemName(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};
    const bool ok = GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
                    GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic);
    CloseHandle(file);
    if (!ok || (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return false;
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.lastWrite = fileTimeValue(info.ftLastWriteTime);
    stamp.changeTime = basic.ChangeTime.QuadPart;
    stamp.fileId = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

bool listStampedFiles(const fs::path& folder, bool (*wanted)(const fs::path& name),
                      std::vector<StampedFile>& files) {
    // One handle on the folder and its listing in large pieces: the stamps come with the names,
    // where opening each of 10,000 files would cost more than the rest of a warm start.
    HANDLE listing = CreateFileW(systemName(folder).c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (listing == INVALID_HANDLE_VALUE) return false;
    // DWORD-aligned, as the entries must be.
    std::vector<DWORD> buffer(64 * 1024 / sizeof(DWORD));
    const DWORD bufferBytes = static_cast<DWORD>(buffer.size() * sizeof(DWORD));
    bool listed = false;
    // The first call of a fresh handle starts at the beginning; an error midway (the folder gone)
    // ends the listing with what was read.
    while (GetFileInformationByHandleEx(listing, FileIdBothDirectoryInfo, buffer.data(), bufferBytes)) {
        listed = true;
        const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
        for (DWORD offset = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes + offset);
            const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            const DWORD attributes = entry->FileAttributes;
            if (name != L"." && name != L".." && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                (attributes & FILE_ATTRIBUTE_DEVICE) == 0) {
                StampedFile file{fs::path(std::wstring(name)), {}, false};
                if (wanted(file.name)) {
                    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                        // A link: what it points to counts.
                        file.stamped = readFileStamp(folder / file.name, file.stamp);
                        if (file.stamped || fileKind(folder / file.name) == FileKind::file) {
                            files.push_back(std::move(file));
                        }
                    } else {
                        file.stamp.size = static_cast<std::uint64_t>(entry->EndOfFile.QuadPart);
                        file.stamp.lastWrite = entry->LastWriteTime.QuadPart;
                        file.stamp.changeTime = entry->ChangeTime.QuadPart;
                        file.stamp.fileId = static_cast<std::uint64_t>(entry->FileId.QuadPart);
                        file.stamped = true;
                        files.push_back(std::move(file));
                    }
                }
            }
            if (entry->NextEntryOffset == 0) break;
            offset += entry->NextEntryOffset;
        }
    }
    // ERROR_NO_MORE_FILES is the end; an empty drive root has not even "." to list. Any other
    // error ends the listing midway: what was read is kept, and the caller is told.
    const DWORD error = GetLastError();
    CloseHandle(listing);
    return error == ERROR_NO_MORE_FILES || (!listed && error == ERROR_FILE_NOT_FOUND);
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

std::uint64_t physicalMemoryBytes() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
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
