// Folders and file names as users have them: Cyrillic, CJK, emoji outside the BMP, combining
// marks, and paths beyond the classic 260 characters of Windows. Runs natively and under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "LibraryTestSupport.h"
#include "core/SportRewrite.h"
#include "core/TrackAnalysis.h"
#include "library/Import.h"
#include "library/LibraryScan.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

// Deep enough that the folder alone is longer than 260 characters, and every level in another
// script. Each level stays below 255 bytes of UTF-8 (the Linux limit for one name).
fs::path userFolder(const fs::path& base, const char16_t* last) {
    fs::path folder = base;
    for (const char16_t* level : {u"Маршруты и походы по горам", u"山の記録と計画 日本アルプス",
                                  u"\U0001F6B4 Touren \U0001F3D4 Sommer", u"Cafe\u0301 de\u0301part"}) {
        folder /= widePath(level);
    }
    while (pathToWide(folder).size() < 300) folder /= widePath(u"Ещё один уровень глубже");
    return folder / widePath(last);
}

std::string track(const char* name) {
    return std::string("<gpx><trk><name>") + name +
           "</name><type>running</type><trkseg><trkpt lat=\"47.0\" lon=\"8.0\"></trkpt>"
           "<trkpt lat=\"47.01\" lon=\"8.0\"></trkpt></trkseg></trk></gpx>";
}

}  // namespace

using UserPathTest = ScratchSettings;

TEST_F(UserPathTest, LongNonLatinLibraryIsSavedImportedScannedAndRewritten) {
    const fs::path library = userFolder(temp.path, u"ライブラリ");
    const fs::path outside = userFolder(temp.path, u"Импорт");
    ASSERT_GT(pathToWide(library).size(), 260u);

    // Settings: the folder survives a restart exactly and is created.
    ASSERT_TRUE(changeLibraryFolder(settings, library));
    settings = loadSettings();
    EXPECT_EQ(pathToWide(settings.libraryFolder), pathToWide(library));
    EXPECT_EQ(fileKind(library), FileKind::folder);

    // Import: every name arrives unchanged (no normalisation of the combining mark), twice.
    const std::vector<std::u16string> names = {u"Маршрут", u"富士山", u"\U0001F6B4 Runde", u"Cafe\u0301"};
    ASSERT_TRUE(createFolders(outside));
    std::vector<fs::path> sources;
    for (const std::u16string& name : names) {
        sources.push_back(outside / widePath(name + u".gpx"));
        writeBytes(longPathForm(sources.back()), track(wideToUtf8(name).c_str()));
    }
    for (const std::u16string& suffix : {std::u16string(), std::u16string(u" 2")}) {
        // Changed the second time: the same bytes again would not be copied.
        if (!suffix.empty()) {
            for (const fs::path& source : sources)
                writeBytes(longPathForm(source), track(pathToUtf8(source.stem()).c_str()) + " ");
        }
        const std::vector<ImportResult> results = importIntoLibrary(settings.libraryFolder, sources);
        ASSERT_EQ(results.size(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(results[i].failure, ImportFailure::none) << wideToUtf8(names[i]);
            EXPECT_EQ(pathToWide(results[i].target),
                      pathToWide(library / widePath(names[i] + suffix + u".gpx")));
        }
    }

    // Scan: every file once, under its own name; then the sport is rewritten in each.
    std::vector<RouteInfo> routes = readLibrary(settings.libraryFolder);
    ASSERT_EQ(routes.size(), 2 * names.size());
    std::vector<std::string> stems;
    for (const RouteInfo& route : routes) {
        EXPECT_EQ(route.errorText, "") << route.fileStem;
        stems.push_back(route.fileStem);
        std::string message;
        EXPECT_TRUE(rewriteSport(route, "hiking", message)) << route.fileStem << ": " << message;
        EXPECT_EQ(analyzeGpxFile(route.filePath).sportKey, "hiking") << route.fileStem;
    }
    for (const std::u16string& name : names) {
        EXPECT_EQ(std::count(stems.begin(), stems.end(), wideToUtf8(name)), 1) << wideToUtf8(name);
        EXPECT_EQ(std::count(stems.begin(), stems.end(), wideToUtf8(name + u" 2")), 1) << wideToUtf8(name);
    }
    // Nothing else is left in the folder: no temporary file of the import or the rewrite.
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(listFolder(library, entries));
    EXPECT_EQ(entries.size(), 2 * names.size());
}

#ifdef _WIN32
// Wine opens long paths without the prefix, so the form handed to the system is checked here:
// real Windows needs it unless the registry's long-path switch is on.
TEST(LongPathForm, LongPathsGetTheNormalisedPrefixedForm) {
    const std::wstring level(120, L'a');
    const std::wstring deep = L"C:\\Users\\Ann\\" + level + L"\\" + level + L"\\Tour.gpx";
    EXPECT_EQ(longPathForm(L"C:\\Users\\Ann\\Tour.gpx").native(), L"C:\\Users\\Ann\\Tour.gpx");
    EXPECT_EQ(longPathForm(L"C:/Users/Ann/Tour.gpx").native(), L"C:/Users/Ann/Tour.gpx");
    EXPECT_EQ(longPathForm(deep).native(), L"\\\\?\\" + deep);
    // The prefix turns off the system's clean-up of the name, so it must be done before.
    EXPECT_EQ(longPathForm(L"C:/Users/Ann/x/../" + level + L"/./" + level + L"/Tour.gpx").native(),
              L"\\\\?\\" + deep);
    EXPECT_EQ(longPathForm(L"\\\\server\\share\\" + level + L"\\" + level).native(),
              L"\\\\?\\UNC\\server\\share\\" + level + L"\\" + level);
    EXPECT_EQ(longPathForm(L"\\\\?\\" + deep).native(), L"\\\\?\\" + deep);
    // A relative path is made absolute first, against the current folder.
    const fs::path relative = fs::path(level) / level;
    const std::wstring made = longPathForm(relative).native();
    EXPECT_EQ(made.rfind(L"\\\\?\\", 0), 0u) << made;
    EXPECT_EQ(made.substr(made.size() - 2 * level.size() - 1), level + L"\\" + level);
}
#endif
