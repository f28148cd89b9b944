// A library in which some files are broken is still read to the end, and every file is listed.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "LibraryTestSupport.h"
#include "core/Failure.h"
#include "library/LibraryScan.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

using BrokenLibraryTest = ScratchSettings;

TEST_F(BrokenLibraryTest, EveryFileIsListedTheBrokenOnesWithTheirError) {
    const fs::path folder = temp.path / "library";
    const std::string good = readBytes(projectPath("examples") / "Greifensee-Runde.gpx");
    std::string binary(good.size(), '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7919 % 256);
    // A folder with a route's name is no file of the library, and what it holds is not read.
    fs::create_directories(folder / "x.gpx");
    writeBytes(folder / "x.gpx" / "inside.gpx", good);

    // Every tenth file is broken, in turn truncated, binary, an empty document, zero bytes and
    // (on Windows) locked by another program without sharing, elsewhere cut inside a point.
    // Without a closed segment there is no point to show; a cut file says so.
    const std::pair<std::string, std::string> broken[] = {
        {good.substr(0, good.size() / 2), kMessageEndsEarly},  // cut inside its only segment
        {binary, kMessageNoPoints},
        {"<?xml version=\"1.0\"?>\n<gpx>\n</gpx>\n", kMessageNoPoints},
        {"", kMessageNoPoints},
        {good.substr(0, good.find("<trkpt") + 20), kMessageEndsEarly}};
    std::map<std::string, std::string> expectedErrors;
    std::vector<fs::path> lockedFiles;
    for (int i = 0; i < 200; ++i) {
        const std::string stem = "route " + std::to_string(i);
        const fs::path path = folder / (stem + ".gpx");
        std::string bytes = good, error;
        if (i % 10 == 0) std::tie(bytes, error) = broken[i / 10 % 5];
#ifdef _WIN32
        if (i % 50 == 40) {
            lockedFiles.push_back(path);
            std::tie(bytes, error) = std::pair(good, std::string(kMessageCannotRead));
        }
#endif
        writeBytes(path, bytes);
        expectedErrors[stem] = error;
    }
#ifdef _WIN32
    std::vector<HANDLE> locks;
    for (const fs::path& path : lockedFiles) {
        locks.push_back(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(locks.back(), INVALID_HANDLE_VALUE);
    }
#endif

    const std::vector<RouteInfo> routes = readLibrary(folder);

#ifdef _WIN32
    for (HANDLE lock : locks) CloseHandle(lock);
#endif
    std::map<std::string, std::string> errors;
    for (const RouteInfo& route : routes) errors[route.fileStem] = route.errorText;
    EXPECT_EQ(routes.size(), 200u);
    for (const auto& [stem, error] : expectedErrors) {
        ASSERT_TRUE(errors.count(stem)) << stem;
        EXPECT_EQ(errors[stem], error) << stem;
    }
}
