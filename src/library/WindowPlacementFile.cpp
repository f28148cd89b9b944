#include "library/WindowPlacementFile.h"

#include <charconv>

#include "library/Settings.h"
#include "platform/Platform.h"

namespace {

// The line is short; anything longer than this is not a placement.
constexpr std::size_t kLongestLine = 200;

bool readNumber(std::string_view& text, int64_t& value) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto [next, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || next == begin) return false;
    text.remove_prefix(static_cast<std::size_t>(next - begin));
    return true;
}

}  // namespace

std::filesystem::path windowPlacementFilePath() {
    return settingsFolder() / "window.txt";
}

std::optional<SavedWindowPlacement> parseWindowPlacement(std::string_view text) {
    if (const std::size_t end = text.find_first_of("\r\n"); end != std::string_view::npos)
        text = text.substr(0, end);
    if (text.size() > kLongestLine) return std::nullopt;
    int64_t numbers[5] = {};
    for (int64_t& number : numbers) {
        if (!readNumber(text, number)) return std::nullopt;
    }
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (!text.empty()) return std::nullopt;
    constexpr int64_t kLimit = 1'000'000;  // far beyond any screen, well inside 32 bits
    for (int64_t number : numbers) {
        if (number < -kLimit || number > kLimit) return std::nullopt;
    }
    if (numbers[2] <= numbers[0] || numbers[3] <= numbers[1]) return std::nullopt;
    if (numbers[4] != 0 && numbers[4] != 1) return std::nullopt;
    return SavedWindowPlacement{static_cast<int32_t>(numbers[0]), static_cast<int32_t>(numbers[1]),
                                static_cast<int32_t>(numbers[2]), static_cast<int32_t>(numbers[3]),
                                numbers[4] == 1};
}

std::string formatWindowPlacement(const SavedWindowPlacement& placement) {
    return std::to_string(placement.left) + " " + std::to_string(placement.top) + " " +
           std::to_string(placement.right) + " " + std::to_string(placement.bottom) + " " +
           (placement.maximized ? "1" : "0");
}

std::optional<SavedWindowPlacement> loadWindowPlacement() {
    // Like the other settings files: only a regular file, so that a FIFO cannot hang the start.
    std::string line;
    if (!readSmallRegularFile(windowPlacementFilePath(), kLongestLine + 1, line)) return std::nullopt;
    return parseWindowPlacement(line);
}

bool saveWindowPlacement(const SavedWindowPlacement& placement) {
    return saveThroughTemporary(windowPlacementFilePath(), formatWindowPlacement(placement));
}
