#include "library/ConvertToGpx.h"

#include "core/TcxReader.h"
#include "library/ProvisionalGpxWriter.h"
#include "platform/Platform.h"

namespace {

struct ReadActivities {
    std::vector<Activity> activities;
    std::string_view failureKey;
};

// The FIT decoder goes here; until it is part of the program a FIT file is not read.
ReadActivities readFitActivities(std::string_view) {
    return {{}, "reasonDamagedFit"};
}

}  // namespace

SourceKind sourceKindOf(const std::filesystem::path& name) {
    const std::u16string extension = lowerText(pathToWide(name.extension()));
    if (extension == u".gpx") return SourceKind::gpx;
    if (extension == u".tcx") return SourceKind::tcx;
    if (extension == u".fit") return SourceKind::fit;
    return SourceKind::unknown;
}

std::vector<ConvertedGpx> convertToGpx(std::string_view bytes, SourceKind kind, std::string_view name,
                                       const ActivityLabel& label) {
    ReadActivities read;
    switch (kind) {
        case SourceKind::gpx:
            return {{std::string(bytes), std::string(name), {}}};
        case SourceKind::tcx: {
            TcxRead tcx = readTcx(bytes);
            read = {std::move(tcx.activities), tcx.failureKey};
            break;
        }
        case SourceKind::fit:
            read = readFitActivities(bytes);
            break;
        case SourceKind::unknown:
            return {{{}, std::string(name), "reasonNotImportable"}};
    }
    if (!read.failureKey.empty()) return {{{}, std::string(name), read.failureKey}};
    std::vector<ConvertedGpx> files;
    for (Activity& activity : read.activities) {
        if (!label.name.empty()) activity.name = label.name;
        if (!label.sportKey.empty()) activity.sportKey = label.sportKey;
        bool positioned = false;
        for (const ActivitySegment& segment : activity.segments) positioned |= !segment.points.empty();
        if (!positioned) {
            files.push_back({{}, std::string(name), "reasonNoPositions"});
            continue;
        }
        files.push_back({provisionalGpxText(activity), provisionalFileName(activity), {}});
    }
    if (files.empty()) files.push_back({{}, std::string(name), "reasonNoPositions"});
    return files;
}
