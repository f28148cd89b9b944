// Measures the window with generated libraries: start-up until the window is shown, the list
// rebuild that one keystroke in the search box causes, and a re-sort by a click on a column
// header. Run under Wine with a display.

#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/TrackAnalysis.h"
#include "platform/Platform.h"
#include "ui/RouteListLogic.h"
#include "ui/RouteSort.h"
#include "ui/win32/MainFrame.h"
#include "ui/win32/RouteListView.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* const kTypes[] = {"cycling", "running", "hiking", "walking", "mountain_biking", ""};

// A track of `points` points with timestamps, placed and named after `index`.
std::string generatedGpx(int index, int points) {
    std::string text =
        "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><trk><name>Route " + std::to_string(index) + "</name>";
    if (*kTypes[index % 6]) text += std::string("<type>") + kTypes[index % 6] + "</type>";
    text += "<trkseg>\n";
    const double lat = 45.0 + (index % 97) * 0.05;
    const double lon = 7.0 + (index % 89) * 0.05;
    char line[160];
    for (int i = 0; i < points; ++i) {
        std::snprintf(line, sizeof line,
                      "<trkpt lat=\"%.6f\" "
                      "lon=\"%.6f\"><ele>%d</ele><time>2024-%02d-%02dT08:%02d:%02dZ</time></trkpt>\n",
                      lat + i * 0.0007, lon + std::sin(i / 9.0) * 0.004, 400 + i % 50, 1 + index % 12,
                      1 + index % 28, (i / 60) % 60, i % 60);
        text += line;
    }
    return text + "</trkseg></trk></gpx>\n";
}

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void closeWindow(MainWindow& window) {
    DestroyWindow(window.mainWindow);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// One keystroke: the search box's text changes and its EN_CHANGE rebuilds the list.
double keystroke(MainWindow& window, const wchar_t* text) {
    const auto start = Clock::now();
    SetWindowTextW(window.searchBox, text);
    return milliseconds(Clock::now() - start);
}

void measureKeystrokes(MainWindow& window, std::size_t routes) {
    std::vector<RouteInfo>& libraryRoutes = window.list.routes;
    libraryRoutes.clear();
    libraryRoutes.reserve(routes);
    const std::string sample = generatedGpx(1, 200);
    for (std::size_t i = 0; i < routes; ++i) {
        const std::string text = generatedGpx(static_cast<int>(i), 40);
        libraryRoutes.push_back(analyzeGpxText("Route " + std::to_string(i) + ".gpx", text));
    }
    sortLibraryOrder(libraryRoutes);
    rebuildFilterBar(window);
    rebuildRouteList(window);
    std::vector<double> all, narrowing;
    for (int round = 0; round < 7; ++round) {
        all.push_back(keystroke(window, L""));         // every route listed
        narrowing.push_back(keystroke(window, L"r"));  // nearly every route still matches
        keystroke(window, L"route 1");                 // a narrower list in between
    }
    {
        ListFilters filters;
        const auto start = Clock::now();
        const auto rows = filterRoutes(libraryRoutes, filters, window.language);
        const auto filtered = Clock::now();
        std::size_t length = 0;
        for (uint64_t index : rows)
            length += routeColumns[2].cellText(libraryRoutes[index], window.language).size();
        std::printf("  portable part: filter %.1f ms, row texts %.1f ms (%zu)\n",
                    milliseconds(filtered - start), milliseconds(Clock::now() - filtered), length);
    }
    std::printf("keystroke with %5zu routes: %7.1f ms (all rows), %7.1f ms (\"r\"), %zu rows\n", routes,
                median(all), median(narrowing), window.list.rows.size());
}

struct ClickTime {
    double handled = 0;  // the click's messages, with the re-sort
    double painted = 0;  // and the list painted in its new order
};

// One click on a column header, as the mouse delivers it, until the list has painted.
ClickTime headerClick(MainWindow& window, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(window.routeList, LVM_GETHEADER, 0, 0));
    RECT item{};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    const auto start = Clock::now();
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header, WM_LBUTTONUP, 0, at);
    const auto handled = Clock::now();
    UpdateWindow(window.routeList);
    return {milliseconds(handled - start), milliseconds(Clock::now() - start)};
}

// With the library of measureKeystrokes: a header click per column (each click turns the order
// round), and keystrokes while the list is sorted.
void measureSorting(MainWindow& window) {
    keystroke(window, L"");
    for (int column : {0, 1, 2, 3, 6}) {
        std::vector<double> handled, painted;
        for (int round = 0; round < 7; ++round) {
            const ClickTime click = headerClick(window, column);
            handled.push_back(click.handled);
            painted.push_back(click.painted);
        }
        std::vector<uint64_t> rows = window.list.rows;
        std::sort(rows.begin(), rows.end());  // library order, where a click starts from
        const auto start = Clock::now();
        sortRows(rows, window.list.routes, window.list.sort, window.language);
        std::printf(
            "header click, %zu rows, column %d: %7.1f ms until painted, %6.1f ms handled, %5.1f ms sorting\n",
            window.list.rows.size(), column, median(painted), median(handled),
            milliseconds(Clock::now() - start));
    }
    headerClick(window, 0);  // by name
    std::vector<double> all, narrowing;
    for (int round = 0; round < 7; ++round) {
        all.push_back(keystroke(window, L""));
        narrowing.push_back(keystroke(window, L"r"));
        keystroke(window, L"route 1");
    }
    std::printf("keystroke sorted by name, %zu routes: %7.1f ms (all rows), %7.1f ms (\"r\")\n",
                window.list.routes.size(), median(all), median(narrowing));
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const fs::path root = fs::temp_directory_path() / "tirn-gui-bench";
    std::error_code ignored;
    fs::remove_all(root, ignored);
    const fs::path library = root / "documents" / "Tirn GPX Library";
    fs::create_directories(library);
    fs::create_directories(root / "roaming");
    setKnownFolderOverride(KnownFolder::RoamingAppData, root / "roaming");
    setKnownFolderOverride(KnownFolder::Documents, root / "documents");

    // Start-up with 1,000 and then 10,000 routes (the 10,000 include the 1,000): the first start
    // analyses every file and writes the library index, the next ones take the records from it.
    fs::create_directories(root / "cache");
    setLocalCacheFolderOverride(root / "cache");
    MainWindow* window = nullptr;
    std::size_t bytes = 0;
    int written = 0;
    for (const int files : {1000, 10000}) {
        for (; written < files; ++written) {
            const std::string text = generatedGpx(written, 200);
            bytes += text.size();
            std::ofstream(library / ("Route " + std::to_string(written) + ".gpx"), std::ios::binary) << text;
        }
        // Files written just now are always analysed again (their time is not older than the
        // index); a library that has been there a while is dated back.
        const auto dayAgo = fs::file_time_type::clock::now() - std::chrono::hours(24);
        for (const auto& entry : fs::directory_iterator(library))
            fs::last_write_time(entry.path(), dayAgo, ignored);
        fs::remove_all(root / "cache", ignored);
        fs::create_directories(root / "cache");
        std::vector<double> startups;
        for (int run = 0; run < 4; ++run) {
            if (window) closeWindow(*window);
            const auto start = Clock::now();
            window = createMainWindow(GetModuleHandleW(nullptr));
            if (window == nullptr) return 1;
            ShowWindow(window->mainWindow, SW_SHOWNOACTIVATE);
            UpdateWindow(window->mainWindow);
            startups.push_back(milliseconds(Clock::now() - start));
        }
        const double first = startups.front();
        startups.erase(startups.begin());
        std::printf(
            "start-up to window shown, %5d routes of 200 points (%.0f MB): %6.0f ms without index, "
            "%5.0f ms with the index (median of 3); %zu rows\n",
            files, bytes / 1e6, first, median(startups), window->list.rows.size());
    }

    measureKeystrokes(*window, 1000);
    measureKeystrokes(*window, 10000);
    measureSorting(*window);
    closeWindow(*window);
    fs::remove_all(root, ignored);
    CoUninitialize();
    return 0;
}
