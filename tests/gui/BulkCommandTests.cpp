// Changing many routes at once with real input: a sport for several rows, Undo, the Recycle Bin and
// the rename dialog.

#include <chrono>
#include <cstdlib>
#include <thread>

#include "GuiTestSupport.h"
#include "ui/ControlIds.h"
#include "ui/win32/RouteListMenu.h"

namespace fs = std::filesystem;

namespace {

class BulkTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        // The undo records go beside an index of this test's own.
        setLocalCacheFolderOverride(temp.path / "cache");
        const std::string stem = "Bulk" + temp.path.filename().string();
        for (int i = 0; i < 4; ++i) {
            TrackShape shape;
            shape.name = stem + char('A' + i);
            shape.type = "hiking";
            shape.day = "2024-05-0" + std::to_string(4 - i);  // newest first: A is the first row
            files.push_back(library() / (shape.name + ".gpx"));
            writeTrack(files.back(), shape);
            originals.push_back(readBytes(files.back()));
        }
    }
    void TearDown() override {
        setLocalCacheFolderOverride({});
        GuiTest::TearDown();
    }
    void waitForSportRun() const {
        for (int i = 0; i < 100 && window->sportRun; ++i) runMessageLoop(100);
    }

    std::vector<fs::path> files;
    std::vector<std::string> originals;
};

// Where Wine's Recycle Bin puts files: the XDG trash of the user, whose home Wine names as
// \??\Z:\home\user.
fs::path trashFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return fs::path(std::string("Z:") + data) / "Trash" / "files";
    const char* home = std::getenv("WINEHOMEDIR");
    std::string base = home ? home : "";
    if (base.starts_with("\\??\\")) base.erase(0, 4);
    return fs::path(base) / ".local" / "share" / "Trash" / "files";
}

}  // namespace

TEST_F(BulkTest, SportForThreeRowsIsUndoneAndDeleteMovesARowToTheRecycleBin) {
    startWindow("en");
    selectListRow(0);
    SetForegroundWindow(window->mainWindow);
    SetFocus(window->routeList);
    pressKeyWith(VK_SHIFT, VK_DOWN);
    pressKeyWith(VK_SHIFT, VK_DOWN);
    ASSERT_EQ(window->list.selected.size(), 3u);

    // The panel's box, for all three: the first sport, cycling.
    ASSERT_TRUE(isEnabled(window->sportCombo));
    SetFocus(window->sportCombo);
    pressKey(VK_DOWN);
    pressKey(VK_RETURN);
    waitForSportRun();
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(readBytes(files[i]).find("<type>cycling</type>"), std::string::npos) << i;
    EXPECT_EQ(readBytes(files[3]), originals[3]);
    EXPECT_EQ(listText(0, 2), u"Cycling");
    EXPECT_EQ(textOf(window->statusStatic), u"3 of 3 files changed");

    SetFocus(window->routeList);
    pressKeyWith(VK_CONTROL, 'Z');
    for (int i = 0; i < 4; ++i) EXPECT_EQ(readBytes(files[i]), originals[i]) << i;

    // Wine trashes only where the user's data folder exists, as it does on a desktop; without it
    // the move to the Recycle Bin asks to delete for good instead.
    std::error_code ignored;
    fs::create_directories(trashFolder().parent_path().parent_path(), ignored);
    selectListRow(3);
    SetFocus(window->routeList);
    pressKey(VK_DELETE);
    EXPECT_FALSE(fs::exists(files[3]));
    EXPECT_EQ(listRowCount(), 3);
    const fs::path trashed = trashFolder() / files[3].filename();
    EXPECT_EQ(readBytes(trashed), originals[3]);
    fs::remove(trashed, ignored);
    fs::remove(trashFolder().parent_path() / "info" / (files[3].filename().string() + ".trashinfo"), ignored);
    // Undo brings it back from the bytes it kept.
    pressKeyWith(VK_CONTROL, 'Z');
    EXPECT_EQ(readBytes(files[3]), originals[3]);
}

TEST_F(BulkTest, TheRenameDialogPreviewsAsTypedAndRenamesForUndo) {
    startWindow("en");
    selectListRow(0);
    const std::string stem = files[0].stem().string();
    std::u16string preview;
    std::u16string typed;
    EXPECT_TRUE(withWatchedWindow(
        window->mainWindow, u"Rename routes",
        [&](HWND dialog) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            preview = textOf(GetDlgItem(dialog, IDC_RENAME_PREVIEW));
            SetDlgItemTextW(dialog, IDC_RENAME_PATTERN, L"{stem}-x");
            typed = textOf(GetDlgItem(dialog, IDC_RENAME_PREVIEW));
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        },
        [&] { runRouteListMenuCommand(*window, kMenuRename); }));
    EXPECT_EQ(wideToUtf8(preview), "2024-05-04 Hiking " + stem + ".gpx");
    EXPECT_EQ(wideToUtf8(typed), stem + "-x.gpx");
    EXPECT_TRUE(fs::exists(library() / (stem + "-x.gpx")));
    EXPECT_FALSE(fs::exists(files[0]));

    SetFocus(window->routeList);
    pressKeyWith(VK_CONTROL, 'Z');
    EXPECT_EQ(readBytes(files[0]), originals[0]);
}
