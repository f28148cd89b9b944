#include "library/Settings.h"

#include <optional>

#include "i18n/Language.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderName = "Tirn GPX Library";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

std::u16string decodeFolderLine(std::string_view line) {
    if (line.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        return utf8ToWide(line.substr(kByteOrderMark.size()));
    }
    std::u16string folder;
    for (char byte : line) folder.push_back(static_cast<unsigned char>(byte));
    return folder;
}

// The first line of a settings file. Nothing when the file cannot be read, is no regular file (a
// FIFO in its place would hang every start) or the line is longer than 64 KB: no path or code is
// that long, and a huge file in its place must not be read whole.
std::optional<std::string> readFirstLine(const fs::path& path) {
    constexpr std::size_t kLongestLine = 64 * 1024;
    std::string bytes;
    // Room for the longest line and its CR LF: a longer first line shows as one without an end.
    if (!readSmallRegularFile(longPathForm(path), kLongestLine + 2, bytes)) return std::nullopt;
    const std::string_view line = firstLine(bytes);
    if (line.size() > kLongestLine) return std::nullopt;
    return std::string(line);
}

// Only an absolute path without control characters is taken as the library: anything else would
// be resolved against whatever folder the program was started in, and create folders there.
bool usableLibraryFolder(std::u16string_view folder) {
    for (char16_t unit : folder) {
        if (unit < 0x20 || unit == 0x7F) return false;
    }
    return widePath(folder).is_absolute();
}

}  // namespace

bool saveThroughTemporary(const fs::path& target, std::string_view bytes) {
    const fs::path temporary = temporaryPathBeside(target, "save");
    if (writeFileDurably(temporary, bytes) && replaceFile(temporary, target)) return true;
    removeFile(temporary);
    return false;
}

fs::path settingsFolder() {
    const fs::path folder = knownFolderPath(KnownFolder::RoamingAppData) / kFolderName;
    createFolders(folder);
    return folder;
}

fs::path settingsFilePath() {
    return settingsFolder() / "settings.txt";
}

fs::path languageFilePath() {
    return settingsFolder() / "language.txt";
}

fs::path unitsFilePath() {
    return settingsFolder() / "units.txt";
}

fs::path defaultLibraryFolder() {
    return knownFolderPath(KnownFolder::Documents) / kFolderName;
}

std::string loadLanguageSetting() {
    std::string setting = "system";
    if (auto line = readFirstLine(languageFilePath())) setting = std::move(*line);
    return setting == "system" || findLanguage(setting) != nullptr ? setting : "system";
}

Settings loadSettings() {
    Settings settings;
    std::u16string folder;
    if (const auto line = readFirstLine(settingsFilePath())) folder = decodeFolderLine(*line);
    if (!folder.empty() && !usableLibraryFolder(folder)) {
        settings.libraryFolderIgnored = true;
        folder.clear();
    }
    settings.libraryFolder = folder.empty() ? defaultLibraryFolder() : widePath(folder);

    settings.languageSetting = loadLanguageSetting();

    // Until the user chooses, the region's measurement system; a file naming neither is no choice.
    const auto units = readFirstLine(unitsFilePath());
    if (units == "metric" || units == "imperial") {
        settings.units = *units == "imperial" ? Units::imperial : Units::metric;
    } else {
        settings.units = regionUnits(userRegionFormats());
    }

    createFolders(settings.libraryFolder);
    return settings;
}

bool saveLibraryFolder(const Settings& settings) {
    return saveThroughTemporary(settingsFilePath(), encodeFolderLine(pathToWide(settings.libraryFolder)));
}

bool saveLanguageSetting(const Settings& settings) {
    return saveThroughTemporary(languageFilePath(), settings.languageSetting);
}

bool changeLanguageSetting(Settings& settings, std::string_view languageSetting) {
    Settings changed = settings;
    changed.languageSetting = std::string(languageSetting);
    if (!saveLanguageSetting(changed)) return false;
    settings = std::move(changed);
    return true;
}

bool changeUnitsSetting(Settings& settings, Units units) {
    if (!saveThroughTemporary(unitsFilePath(), units == Units::imperial ? "imperial" : "metric"))
        return false;
    settings.units = units;
    return true;
}
