// Files and folders dropped on the real window, delivered as the shell delivers them: a DROPFILES
// block in global memory that the window reads with DragQueryFileW.

#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "ArchiveMaker.h"
#include "GuiTestSupport.h"
#include "library/ConvertToGpx.h"

namespace fs = std::filesystem;

namespace {

// What the shell sends after a drop: WM_DROPFILES with the paths as a double-null-terminated list.
void dropFiles(HWND window, const std::vector<fs::path>& paths) {
    std::wstring list;
    for (const fs::path& path : paths) {
        list += path.wstring();
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    ASSERT_NE(memory, nullptr);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), list.data(),
                list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    // The window releases the memory (DragFinish).
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

Texts lines(const std::u16string& text) {
    Texts result(1);
    for (char16_t c : text) {
        if (c == u'\n') {
            result.emplace_back();
        } else if (c != u'\r') {
            result.back().push_back(c);
        }
    }
    return result;
}

}  // namespace

TEST_F(GuiTest, DroppedGpxFilesAndFoldersAreImportedAndOtherFilesListed) {
    TrackShape shape;
    writeTrack(library() / "Tour.gpx", shape);
    startWindow("en");
    TempFolder outside;
    // Each its own route: the bytes of a library file would not be copied again.
    const auto named = [&](const char* name) {
        TrackShape other = shape;
        other.name = name;
        return other;
    };
    writeTrack(outside.path / "Tour.gpx", named("Tour 2"));
    writeTrack(outside.path / "Lauf.GPX", named("Lauf"));
    writeBytes(outside.path / "notes.txt", "<gpx/>");
    writeBytes(outside.path / "Bild.jpg", "jpg");
    fs::create_directories(outside.path / "Ordner" / "Tiefer");
    writeTrack(outside.path / "Ordner" / "Rad.gpx", named("Rad"));
    writeBytes(outside.path / "Ordner" / "Liste.csv", "a;b");
    writeTrack(outside.path / "Ordner" / "Tiefer" / "Tief.gpx", shape);

    std::u16string message;
    EXPECT_TRUE(withWatchedWindow(
        window->mainWindow, u"Tirn GPX Library", [&](HWND box) { message = readMessageBoxAndClose(box); },
        [&] {
            dropFiles(window->mainWindow,
                      {outside.path / "Tour.gpx", outside.path / "Lauf.GPX", outside.path / "notes.txt",
                       outside.path / "Ordner", outside.path / "Bild.jpg"});
        }));
    // Under free names, like the Import button; the folder's subfolder is not entered.
    EXPECT_EQ(fileNames(library()), (Texts{u"Lauf.GPX", u"Rad.gpx", u"Tour 2.gpx", u"Tour.gpx"}));
    EXPECT_EQ(listRowCount(), 4);
    EXPECT_EQ(lines(message),
              (Texts{u"These files could not be imported:", u"", u"notes.txt: not a route or activity file",
                     u"Bild.jpg: not a route or activity file"}));
}

TEST_F(GuiTest, ManyRefusedFilesAreListedUpToFifteenAndNothingIsRead) {
    startWindow("en");
    TempFolder outside;
    std::vector<fs::path> dropped;
    for (int i = 1; i <= 20; ++i) {
        dropped.push_back(outside.path / ("Datei " + std::to_string(i) + ".txt"));
        writeBytes(dropped.back(), "x");
    }
    const RouteInfo* records = window->list.routes.data();
    std::u16string message;
    EXPECT_TRUE(withWatchedWindow(
        window->mainWindow, u"Tirn GPX Library", [&](HWND box) { message = readMessageBoxAndClose(box); },
        [&] { dropFiles(window->mainWindow, dropped); }));
    const Texts shown = lines(message);
    ASSERT_EQ(shown.size(), 18u);  // the heading, a blank line, fifteen files and how many more
    EXPECT_EQ(shown[2], u"Datei 1.txt: not a route or activity file");
    EXPECT_EQ(shown[16], u"Datei 15.txt: not a route or activity file");
    EXPECT_EQ(shown[17], u"and 5 more");
    EXPECT_EQ(window->list.routes.data(), records);
    EXPECT_TRUE(fileNames(library()).empty());
}

// A ZIP of mixed files: a GPX, a TCX and a gzipped GPX each arrive, and the status line counts them.
TEST_F(GuiTest, DroppedZipOfMixedFilesIsImported) {
    startWindow("en");
    TempFolder outside;
    TrackShape shape;
    const std::string tcx =
        "<TrainingCenterDatabase><Activities><Activity Sport=\"Running\"><Id>2024-05-01T06:00:00Z"
        "</Id><Lap><Track><Trackpoint><Position><LatitudeDegrees>47.3</LatitudeDegrees>"
        "<LongitudeDegrees>8.7</LongitudeDegrees></Position></Trackpoint></Track></Lap>"
        "</Activity></Activities></TrainingCenterDatabase>";
    std::vector<MadeEntry> entries = {
        {"Tour.gpx", gpxText(shape)},
        {"sub/Lauf.tcx", tcx},
        {"Rad.gpx.gz", gzipped(gpxText(shape) + "\n"), false}};  // not Tour.gpx's bytes
    // A FIT file joins the mixture once the program decodes FIT.
    std::size_t expected = 3;
    std::error_code error;
    for (const auto& file : fs::directory_iterator(projectPath("../shared/corpus/fit"), error)) {
        const std::string bytes = readBytes(file.path());
        if (file.path().extension() != ".fit" ||
            !convertToGpx(bytes, SourceKind::fit, "a.fit")[0].failureKey.empty())
            continue;
        entries.push_back({"ride.fit", bytes});
        ++expected;
        break;
    }
    writeBytes(outside.path / "mixed.zip", zipped(entries));
    dropFiles(window->mainWindow, {outside.path / "mixed.zip"});
    const Texts names = fileNames(library());
    EXPECT_EQ(names.size(), expected);
    for (const char16_t* name : {u"2024-05-01 Running.gpx", u"Rad.gpx", u"Tour.gpx"})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << wideToUtf8(name);
    EXPECT_EQ(listRowCount(), static_cast<int>(expected));
    EXPECT_EQ(textOf(window->statusStatic), u"Imported: " + utf8ToWide(std::to_string(expected)));
}
