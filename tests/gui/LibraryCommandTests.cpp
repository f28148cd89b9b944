// Reload, Import and Folder on the real window; the two file dialogs are driven for real by a
// watcher thread that types a full path into the dialog's name box and confirms.

#include <thread>

#include "GuiTestSupport.h"
#include "library/Import.h"
#include "library/Settings.h"
#include "ui/ControlIds.h"
#include "ui/win32/LibraryCommands.h"

namespace fs = std::filesystem;

namespace {

constexpr int kNameBoxId = 1152;

struct ChildSearch {
    const wchar_t* className;
    int id;
    HWND found = nullptr;
};

BOOL CALLBACK findChild(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<ChildSearch*>(parameter);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (GetDlgCtrlID(window) != search->id || lstrcmpiW(name, search->className) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

HWND dialogChild(HWND dialog, const wchar_t* className, int id) {
    ChildSearch search{className, id};
    EnumChildWindows(dialog, findChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What a user does in the dialog: type into the name box, then press Open.
void typeAndConfirm(HWND dialog, const std::u16string& text) {
    HWND nameBox = dialogChild(dialog, L"Edit", kNameBoxId);
    HWND open = dialogChild(dialog, L"Button", IDOK);
    if (!nameBox || !open) return;
    SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wideText(text)));
    PostMessageW(open, BM_CLICK, 0, 0);
    // A folder typed into the folder picker may first be opened; a second Open then picks it.
    for (int i = 0; i < 30 && IsWindow(dialog); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (IsWindow(dialog)) PostMessageW(open, BM_CLICK, 0, 0);
}

void pressCancel(HWND dialog) {
    if (HWND cancel = dialogChild(dialog, L"Button", IDCANCEL)) PostMessageW(cancel, BM_CLICK, 0, 0);
}

std::u16string quoted(const fs::path& path) {
    std::u16string text(1, u'"');
    text.append(u16Text(path.c_str()));
    text.push_back(u'"');
    return text;
}

TrackShape namedTrack(const std::string& name, const std::string& day) {
    TrackShape shape;
    shape.name = name;
    shape.day = day;
    return shape;
}

}  // namespace

TEST_F(GuiTest, ReloadPicksUpAddedAndDeletedFiles) {
    writeTrack(library() / "First.gpx", namedTrack("First", "2024-01-01"));
    writeTrack(library() / "Second.gpx", namedTrack("Second", "2024-02-01"));
    startWindow("en");
    ASSERT_EQ(listColumn(0), (Texts{u"Second", u"First"}));
    typeSearch(u"i");
    chooseItem(filterCombo(IDC_FILTER_GHOST), 1);
    ASSERT_EQ(listColumn(0), Texts{u"First"});

    fs::remove(library() / "Second.gpx");
    writeTrack(library() / "Third.GPX", namedTrack("Third", "2024-03-01"));
    writeTrack(library() / "Ignored.gpx.bak", namedTrack("Ignored", "2024-04-01"));
    fs::create_directories(library() / "Sub.gpx");
    clickButton(IDC_RELOAD);
    // The filters go back to "all"; the search text stays and still applies.
    EXPECT_EQ(comboSelection(filterCombo(IDC_FILTER_GHOST)), 0);
    EXPECT_EQ(textOf(window->searchBox), u"i");
    EXPECT_EQ(listColumn(0), (Texts{u"Third", u"First"}));
    typeSearch(u"");
    EXPECT_EQ(listColumn(0), (Texts{u"Third", u"First"}));
}

TEST_F(GuiTest, ImportCopiesChosenFilesUnderFreeNames) {
    TempFolder sources;
    fs::create_directories(sources.path / "a");
    fs::create_directories(sources.path / "b");
    writeTrack(sources.path / "Tour.gpx", namedTrack("Tour", "2024-05-05"));
    writeTrack(sources.path / "a" / "Run.GPX", namedTrack("Run A", "2024-05-06"));
    writeTrack(sources.path / "b" / "Run.GPX", namedTrack("Run B", "2024-05-07"));
    writeTrack(library() / "Tour.gpx", namedTrack("Old Tour", "2023-01-01"));
    startWindow("en");
    ASSERT_EQ(listRowCount(), 1);

    EXPECT_TRUE(withWatchedWindow(
        window->mainWindow, u"Import",
        [&](HWND dialog) { typeAndConfirm(dialog, u16Text((sources.path / "Tour.gpx").c_str())); },
        [&] { clickButton(IDC_IMPORT); }));
    EXPECT_EQ(fileNames(library()), (Texts{u"Tour 2.gpx", u"Tour.gpx"}));
    EXPECT_EQ(readBytes(library() / "Tour 2.gpx"), readBytes(sources.path / "Tour.gpx"));
    EXPECT_EQ(listRowCount(), 2);
    // The new row is selected and the status line tells what arrived under which name.
    EXPECT_EQ(listText(window->list.focusedRow, 0), u"Tour 2");
    EXPECT_EQ(textOf(window->titleStatic), u"Tour");
    EXPECT_EQ(textOf(window->statusStatic), u"Imported: 1   \u00B7   Renamed: Tour.gpx \u2192 Tour 2.gpx");

    // Two files of the same name from different folders, chosen together, while a search would
    // hide them: the search goes, so that they can be shown.
    typeSearch(u"tour");
    EXPECT_TRUE(withWatchedWindow(
        window->mainWindow, u"Import",
        [&](HWND dialog) {
            typeAndConfirm(dialog, quoted(sources.path / "a" / "Run.GPX") + u" " +
                                       quoted(sources.path / "b" / "Run.GPX"));
        },
        [&] { clickButton(IDC_IMPORT); }));
    EXPECT_EQ(fileNames(library()), (Texts{u"Run 2.gpx", u"Run.GPX", u"Tour 2.gpx", u"Tour.gpx"}));
    EXPECT_EQ(readBytes(library() / "Run.GPX"), readBytes(sources.path / "a" / "Run.GPX"));
    EXPECT_EQ(readBytes(library() / "Run 2.gpx"), readBytes(sources.path / "b" / "Run.GPX"));
    EXPECT_EQ(listRowCount(), 4);
    EXPECT_EQ(listText(0, 0), u"Run 2");
    EXPECT_EQ(textOf(window->searchBox), u"");
    EXPECT_EQ(window->list.focusedRow, 1);                   // the first chosen file
    EXPECT_EQ(textOf(window->titleStatic), u"Selected: 2");  // both arrived files
    EXPECT_EQ(textOf(window->statusStatic), u"Imported: 2   \u00B7   Renamed: Run.GPX \u2192 Run 2.gpx");
    // The next change of the user's brings the usual status line back.
    typeSearch(u"run");
    EXPECT_EQ(textOf(window->statusStatic).substr(0, 8), u"2 Files ");
}

TEST_F(GuiTest, CancellingEitherDialogChangesNothing) {
    writeTrack(library() / "Only.gpx", namedTrack("Only", "2024-01-01"));
    startWindow("en");
    typeSearch(u"only");
    chooseItem(filterCombo(IDC_FILTER_TYPE), 2);
    EXPECT_TRUE(
        withWatchedWindow(window->mainWindow, u"Import", pressCancel, [&] { clickButton(IDC_IMPORT); }));
    EXPECT_TRUE(withWatchedWindow(window->mainWindow, u"Choose the library folder", pressCancel,
                                  [&] { clickButton(IDC_FOLDER); }));
    EXPECT_EQ(fileNames(library()), Texts{u"Only.gpx"});
    EXPECT_FALSE(fs::exists(roaming() / "Tirn GPX Library" / "settings.txt"));
    EXPECT_EQ(window->settings.libraryFolder, library());
    // No rescan happened: the filter keeps its choice.
    EXPECT_EQ(comboSelection(filterCombo(IDC_FILTER_TYPE)), 2);
    EXPECT_EQ(listRowCount(), 1);
}

TEST_F(GuiTest, ChoosingAFolderSwitchesTheLibraryAndRemembersIt) {
    writeTrack(library() / "Old.gpx", namedTrack("Old", "2024-01-01"));
    TempFolder other;
    writeTrack(other.path / "New One.gpx", namedTrack("New", "2024-02-02"));
    writeTrack(other.path / "New Two.gpx", namedTrack("New 2", "2024-02-03"));
    startWindow("en");
    ASSERT_EQ(listColumn(0), Texts{u"Old"});

    EXPECT_TRUE(withWatchedWindow(
        window->mainWindow, u"Choose the library folder",
        [&](HWND dialog) { typeAndConfirm(dialog, u16Text(other.path.c_str())); },
        [&] { clickButton(IDC_FOLDER); }));
    EXPECT_EQ(listColumn(0), (Texts{u"New Two", u"New One"}));
    const std::string saved = readBytes(roaming() / "Tirn GPX Library" / "settings.txt");
    EXPECT_EQ(saved, other.path.string());
    EXPECT_EQ(textOf(window->statusStatic),
              statusLineText(listedTotals(window->list), {}, other.path, window->language));
    EXPECT_TRUE(fs::exists(library() / "Old.gpx"));  // the old library is left alone
}

TEST_F(GuiTest, FilesThatCouldNotBeImportedAreListedInOneMessage) {
    startWindow("de");
    std::vector<fs::path> sources;
    std::vector<ImportResult> results;
    for (int i = 1; i <= 20; ++i) {
        sources.push_back(fs::path("C:/Touren") / ("Tour " + std::to_string(i) + ".gpx"));
        const ImportFailure failure = i == 1   ? ImportFailure::diskFull
                                      : i == 2 ? ImportFailure::none
                                      : i == 3 ? ImportFailure::missingSource
                                               : ImportFailure::other;
        results.push_back({failure == ImportFailure::none ? fs::path("x.gpx") : fs::path(), failure});
    }
    std::u16string message;
    const bool seen = withWatchedWindow(
        window->mainWindow, u"Tirn GPX Library", [&](HWND box) { message = readMessageBoxAndClose(box); },
        [&] { showImportFailures(*window, sources, results); });
    ASSERT_TRUE(seen);
    // The heading, then the first 15 of the 19 failures with their reasons, then how many more.
    EXPECT_TRUE(message.starts_with(
        u"Diese Dateien konnten nicht importiert werden:\n\nTour 1.gpx: Datentr\u00e4ger voll\n"
        u"Tour 3.gpx: nicht gefunden\nTour 4.gpx: konnte nicht kopiert werden\n"))
        << wideToUtf8(message);
    EXPECT_EQ(message.find(u"Tour 2.gpx"), std::u16string::npos);
    EXPECT_NE(message.find(u"Tour 16.gpx"), std::u16string::npos);
    EXPECT_EQ(message.find(u"Tour 17.gpx"), std::u16string::npos);
    EXPECT_TRUE(message.ends_with(u"\nund 4 weitere")) << wideToUtf8(message);
}
