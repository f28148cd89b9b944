#include "library/LibraryScan.h"

#include <exception>
#include <system_error>

#include "core/Failure.h"
#include "core/TrackAnalysis.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

// analyzeGpxFile does not throw for a bad file; this only guards against running out of memory
// and the like, so that one file can never end the scan.
RouteInfo analyzeSafely(const fs::path& path) {
    try {
        return analyzeGpxFile(path);
    } catch (const std::exception& failure) {
        RouteInfo route;
        route.filePath = path;
        route.fileStem = pathToUtf8(path.stem());
        const auto* gpxFailure = dynamic_cast<const GpxFailure*>(&failure);
        route.errorText = gpxFailure ? gpxFailure->what() : kMessageCannotRead;
        return route;
    }
}

}  // namespace

bool isLibraryFileName(const fs::path& fileName) {
    return lowerText(pathToWide(fileName.extension())) == u".gpx";
}

std::vector<RouteInfo> readLibrary(const fs::path& folder) {
    std::vector<RouteInfo> routes;
    std::error_code error;
    fs::create_directories(folder, error);
    fs::directory_iterator entries(folder, error);
    if (error) return routes;
    // An error while moving on (the folder vanished mid-scan) ends the listing; the records read
    // so far are kept.
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        if (error) break;
        const fs::directory_entry& entry = *entries;
        std::error_code typeError;
        if (!entry.is_regular_file(typeError) || typeError) continue;
        if (!isLibraryFileName(entry.path().filename())) continue;
        routes.push_back(analyzeSafely(entry.path()));
    }
    sortLibraryOrder(routes);
    return routes;
}
