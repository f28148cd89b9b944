#include "library/LibraryScan.h"

#include <exception>

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
    createFolders(folder);
    // The platform lists folders of any path length; an error midway (the folder vanished
    // mid-scan) ends the listing, and the records of what was listed are kept.
    std::vector<FolderEntry> entries;
    if (!listFolder(folder, entries)) return routes;
    for (const FolderEntry& entry : entries) {
        if (!entry.isFile || !isLibraryFileName(entry.name)) continue;
        // A record keeps the path in the form that opens at any length, so that a later sport
        // rewrite of it works as well.
        routes.push_back(analyzeSafely(longPathForm(folder / entry.name)));
    }
    sortLibraryOrder(routes);
    return routes;
}
