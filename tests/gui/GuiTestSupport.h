#pragma once
// Builds the real main window in the test process and drives it the way a user's actions do.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "ui/win32/MainFrame.h"

struct TrackShape {
    std::string name = "Route";
    std::string type;   // empty: no type element
    double lat = 48.0;  // first point
    double lon = 11.0;
    double stepLat = 0.001;  // per point
    double stepLon = 0.0;
    int points = 10;
    bool timestamps = true;
    std::string day = "2024-05-01";
    bool loop = false;    // the last point returns to the first
    std::string weather;  // inner text of one wetter element, e.g. "<temperatur>21</temperatur>"
};

std::string gpxText(const TrackShape& shape);
void writeTrack(const std::filesystem::path& file, const TrackShape& shape);

// A fresh window over a temporary roaming and Documents folder; the library is the Documents
// folder's "Tirn GPX Library", prepared before start-up by `prepare`.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // language: written to language.txt before start-up (empty: no file).
    void startWindow(std::string_view language = "en");
    std::filesystem::path library() const;
    std::filesystem::path roaming() const;

    // The window under test and its controls.
    HWND filterCombo(int controlId) const { return window->filterCombos[filterIndexOf(controlId)]; }
    int listRowCount() const;
    std::u16string listText(int row, int column) const;
    std::vector<std::u16string> listColumn(int column) const;
    std::u16string columnHeader(int column) const;

    // What a user's actions send to the window.
    void clickButton(int id) const;
    void typeSearch(std::u16string_view text) const;
    void chooseItem(HWND combo, int index) const;
    // A plain click on a row: it alone is selected and focused.
    void selectListRow(int row) const;
    void clearListSelection() const;
    // A real key press (SendInput), Alt held when asked, handled by the window as its message loop
    // does: the loop's own translation first, then dispatch.
    void pressKey(WORD key, bool alt = false) const;
    // The same with a modifier key held (VK_SHIFT, VK_CONTROL, VK_MENU).
    void pressKeyWith(WORD modifier, WORD key) const;
    void runMessageLoop(int milliseconds = 300) const;

    TempFolder temp;
    MainWindow* window = nullptr;
};

using Texts = std::vector<std::u16string>;

std::u16string textOf(HWND window);
// A message box's text; the box is then closed with OK.
std::u16string readMessageBoxAndClose(HWND box);
// The names of the files in `folder`, sorted.
Texts fileNames(const std::filesystem::path& folder);
std::vector<std::u16string> comboItems(HWND combo);
int comboSelection(HWND combo);
bool isVisible(HWND window);
bool isEnabled(HWND window);
RECT childRect(HWND child);

// Pixels of a window's client area as painted by WM_PRINTCLIENT (0x00RRGGBB).
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<unsigned> pixels;
    unsigned at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    int count(unsigned color) const;
};
Capture captureClient(HWND window, bool print = false);
inline constexpr unsigned rgbValue(int r, int g, int b) {
    return (static_cast<unsigned>(r) << 16) | (static_cast<unsigned>(g) << 8) | static_cast<unsigned>(b);
}

// Runs `action` on this thread while a watcher thread waits (bounded) for a top-level window of
// this process other than `mainWindow` with `title`, hands it to `onWindow`, and finally closes it if it is
// still open. Returns whether the window was seen.
bool withWatchedWindow(HWND mainWindow, std::u16string_view title, const std::function<void(HWND)>& onWindow,
                       const std::function<void()>& action);
