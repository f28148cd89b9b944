// The list follows its folder: changes made from outside while the window runs, with no input.

#include <algorithm>
#include <chrono>
#include <functional>

#include "GuiTestSupport.h"
#include "ui/ControlIds.h"
#include "ui/RouteListLogic.h"
#include "ui/win32/LibraryCommands.h"
#include "ui/win32/LibraryWatch.h"
#include "ui/win32/RouteListView.h"

namespace fs = std::filesystem;

namespace {

using namespace std::chrono_literals;

// What the program's message loop does, until `done` holds or `limit` has passed.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

void pumpFor(std::chrono::milliseconds time) {
    pumpUntil([] { return false; }, time);
}

TrackShape track(const std::string& name, const std::string& day, bool timestamps = true) {
    TrackShape shape;
    shape.name = name;
    shape.day = day;
    shape.timestamps = timestamps;
    return shape;
}

class FolderWatchTest : public GuiTest {
protected:
    Texts names() const { return listColumn(0); }
    bool listed(std::u16string_view name) const {
        const Texts all = names();
        return std::find(all.begin(), all.end(), name) != all.end();
    }
};

}  // namespace

TEST_F(FolderWatchTest, FilesCopiedInOrDeletedFromOutsideFollowWithSearchFilterSortAndSelectionKept) {
    writeTrack(library() / "Berg.gpx", track("Berg", "2024-03-01"));
    writeTrack(library() / "Bach.gpx", track("Bach", "2024-02-01"));
    writeTrack(library() / "Ohne Zeit.gpx", track("Ohne Zeit", "", false));
    startWindow("en");
    typeSearch(u"b");
    chooseItem(filterCombo(IDC_FILTER_GHOST), 1);  // with timestamps
    sortRouteListBy(*window, 0);                   // by name, as a click on its header
    ASSERT_EQ(names(), (Texts{u"Bach", u"Berg"}));
    selectListRow(1);
    ASSERT_EQ(textOf(window->titleStatic), u"Berg");

    TempFolder outside;
    writeTrack(outside.path / "Bad.gpx", track("Bad", "2023-01-01"));
    fs::copy_file(outside.path / "Bad.gpx", library() / "Bad.gpx");
    EXPECT_TRUE(pumpUntil([&] { return listed(u"Bad"); }, 3000ms));
    EXPECT_EQ(names(), (Texts{u"Bach", u"Bad", u"Berg"}));
    EXPECT_EQ(textOf(window->searchBox), u"b");
    EXPECT_EQ(comboSelection(filterCombo(IDC_FILTER_GHOST)), 1);
    EXPECT_EQ(window->list.focusedRow, 2);
    EXPECT_EQ(textOf(window->titleStatic), u"Berg");

    fs::remove(library() / "Bach.gpx");
    EXPECT_TRUE(pumpUntil([&] { return !listed(u"Bach"); }, 3000ms));
    EXPECT_EQ(names(), (Texts{u"Bad", u"Berg"}));
    EXPECT_EQ(textOf(window->titleStatic), u"Berg");

    // The selected route deleted: nothing is selected any more.
    fs::remove(library() / "Berg.gpx");
    EXPECT_TRUE(pumpUntil([&] { return !listed(u"Berg"); }, 3000ms));
    EXPECT_EQ(window->list.focusedRow, -1);
    EXPECT_EQ(textOf(window->titleStatic), u"Select a route");
}

TEST_F(FolderWatchTest, TheProgramsOwnWritesStartNoSecondReading) {
    writeTrack(library() / "Eins.gpx", track("Eins", "2024-03-01"));
    startWindow("en");
    selectListRow(0);
    SetForegroundWindow(window->mainWindow);
    SetFocus(window->sportCombo);
    pressKey(VK_DOWN);  // no sport yet: cycling, then running
    pressKey(VK_DOWN);
    pressKey(VK_RETURN);  // the file is rewritten in place
    ASSERT_EQ(listText(0, 2), u"Running");
    const RouteInfo* records = window->list.routes.data();
    pumpFor(1500ms);
    EXPECT_EQ(window->list.routes.data(), records) << "the records were read again";

    // A file changed from outside is read again, once the burst is over.
    writeTrack(library() / "Eins.gpx", track("Eins neu", "2024-03-02"));
    EXPECT_TRUE(pumpUntil([&] { return listText(0, 1) == u"02/03/2024"; }, 3000ms));
}

TEST_F(FolderWatchTest, AVanishedFolderEmptiesTheListAndIsNotCreatedAgain) {
    writeTrack(library() / "Eins.gpx", track("Eins", "2024-03-01"));
    writeTrack(library() / "Zwei.gpx", track("Zwei", "2024-03-02"));
    startWindow("en");
    ASSERT_EQ(listRowCount(), 2);

    fs::remove_all(library());
    EXPECT_TRUE(pumpUntil([&] { return listRowCount() == 0; }, 3000ms));
    const std::u16string missing = std::u16string(translate(window->language, "folderMissing")) +
                                   u"   \u00b7   " + u16Text(library().c_str());
    EXPECT_TRUE(pumpUntil([&] { return textOf(window->statusStatic) == missing; }, 3000ms));
    pumpFor(1500ms);
    EXPECT_FALSE(fs::exists(library()));
    typeSearch(u"x");  // the list's rebuilds go on saying so
    EXPECT_EQ(textOf(window->statusStatic), missing);

    // The folder comes back from outside: the list follows again.
    fs::create_directories(library());
    writeTrack(library() / "Drei.gpx", track("Drei", "2024-03-03"));
    typeSearch(u"");
    EXPECT_TRUE(pumpUntil([&] { return listRowCount() == 1; }, 4000ms));
    EXPECT_EQ(textOf(window->statusStatic),
              statusLineText(listedTotals(window->list), {}, library(), window->language));

    // Reload recreates a missing folder, as it always did.
    fs::remove_all(library());
    EXPECT_TRUE(pumpUntil([&] { return listRowCount() == 0; }, 3000ms));
    clickButton(IDC_RELOAD);
    EXPECT_TRUE(fs::exists(library()));
    EXPECT_EQ(textOf(window->statusStatic), statusLineText({}, {}, library(), window->language));
}

TEST_F(FolderWatchTest, AnotherLibraryFolderMovesTheWatch) {
    writeTrack(library() / "Alt.gpx", track("Alt", "2024-03-01"));
    startWindow("en");
    TempFolder other;
    window->settings.libraryFolder = other.path;
    watchLibraryFolder(*window);
    scanLibrary(*window);
    ASSERT_EQ(listRowCount(), 0);

    writeTrack(library() / "Old place.gpx", track("Old place", "2024-03-02"));
    writeTrack(other.path / "New place.gpx", track("New place", "2024-03-03"));
    EXPECT_TRUE(pumpUntil([&] { return listRowCount() == 1; }, 3000ms));
    pumpFor(800ms);
    EXPECT_EQ(names(), Texts{u"New place"});
}
