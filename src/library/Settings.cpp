#include "library/Settings.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "i18n/Language.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderName = "Tirn GPX Library";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The whole file, or nothing when it cannot be opened (a missing file is not an error).
bool readWholeFile(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// The first line as a text-mode read sees it: up to the first LF, where a CR directly before that
// LF belongs to the line end. A CR anywhere else stays part of the value.
std::string_view firstLine(std::string_view bytes) {
    const std::size_t feed = bytes.find('\n');
    if (feed == std::string_view::npos) return bytes;
    std::string_view line = bytes.substr(0, feed);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// One byte per character as long as every character fits; otherwise (or when the one-byte form
// would itself begin with the mark) UTF-8 behind a byte-order mark, so that no path is lost.
std::string encodeFolderLine(std::u16string_view folder) {
    bool fitsOneByte = true;
    for (char16_t unit : folder) {
        if (unit > 0xFF) {
            fitsOneByte = false;
            break;
        }
    }
    const std::u16string_view markAsLatin1 = u"\u00EF\u00BB\u00BF";
    if (fitsOneByte && folder.substr(0, markAsLatin1.size()) != markAsLatin1) {
        std::string bytes;
        bytes.reserve(folder.size());
        for (char16_t unit : folder) bytes.push_back(static_cast<char>(static_cast<unsigned char>(unit)));
        return bytes;
    }
    return std::string(kByteOrderMark) + wideToUtf8(folder);
}

std::u16string decodeFolderLine(std::string_view bytes) {
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        return utf8ToWide(firstLine(bytes.substr(kByteOrderMark.size())));
    }
    std::u16string folder;
    for (char byte : firstLine(bytes)) folder.push_back(static_cast<unsigned char>(byte));
    return folder;
}

}  // namespace

fs::path settingsFolder() {
    const fs::path folder = knownFolderPath(KnownFolder::RoamingAppData) / kFolderName;
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    return folder;
}

fs::path settingsFilePath() {
    return settingsFolder() / "settings.txt";
}

fs::path languageFilePath() {
    return settingsFolder() / "language.txt";
}

fs::path defaultLibraryFolder() {
    return knownFolderPath(KnownFolder::Documents) / kFolderName;
}

Settings loadSettings() {
    Settings settings;
    std::string bytes;
    std::u16string folder;
    if (readWholeFile(settingsFilePath(), bytes)) folder = decodeFolderLine(bytes);
    settings.libraryFolder = folder.empty() ? defaultLibraryFolder() : widePath(folder);

    if (readWholeFile(languageFilePath(), bytes)) settings.languageSetting = std::string(firstLine(bytes));
    if (settings.languageSetting != "system" && findLanguage(settings.languageSetting) == nullptr) {
        settings.languageSetting = "system";
    }

    std::error_code ignored;
    fs::create_directories(settings.libraryFolder, ignored);
    return settings;
}

bool saveLibraryFolder(const Settings& settings) {
    return writeFileDurably(settingsFilePath(), encodeFolderLine(pathToWide(settings.libraryFolder)));
}

bool saveLanguageSetting(const Settings& settings) {
    return writeFileDurably(languageFilePath(), settings.languageSetting);
}
