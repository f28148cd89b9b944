#include "library/ConvertToGpx.h"

#include "core/FitDecoder.h"
#include "core/GpxWriter.h"
#include "core/TcxReader.h"
#include "platform/Platform.h"

namespace {

struct ReadActivities {
    std::vector<Activity> activities;
    std::string_view failureKey;
    bool partial = false;  // the file is damaged: these are what could be read before the damage
};

// What a damaged FIT file held before the damage is still imported when it has positions.
ReadActivities readFitActivities(std::string_view bytes) {
    FitDecoding fit = decodeFit(bytes);
    if (fit.problem == FitProblem::noActivity) return {{}, "reasonNoPositions", false};
    if (fit.activities.empty() && fit.problem != FitProblem::none) return {{}, "reasonDamagedFit", false};
    return {std::move(fit.activities), {}, fit.partial};
}

// An unnamed activity is named by its sport: "mountain_biking" -> "Mountain biking".
std::string sportName(std::string_view sportKey) {
    std::string name(sportKey.empty() ? std::string_view("Activity") : sportKey);
    for (char& c : name)
        if (c == '_') c = ' ';
    if (name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

// The activity's stem as a name Windows takes: refused characters become blanks, a long name is
// cut at a character boundary, trailing dots and blanks (which Windows drops) go.
std::string libraryFileName(std::string_view stem) {
    std::string name;
    for (const char c : stem.substr(0, 120)) {
        const bool refused = static_cast<unsigned char>(c) < 0x20 ||
                             std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
        name += refused ? ' ' : c;
    }
    if (stem.size() > name.size()) {
        while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80) name.pop_back();
        if (!name.empty() && static_cast<unsigned char>(name.back()) >= 0xC0) name.pop_back();
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (name.empty()) name = "Activity";
    return name + ".gpx";
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
            return {{std::string(bytes), std::string(name), {}, false}};
        case SourceKind::tcx: {
            TcxRead tcx = readTcx(bytes);
            read = {std::move(tcx.activities), tcx.failureKey, false};
            break;
        }
        case SourceKind::fit:
            read = readFitActivities(bytes);
            break;
        case SourceKind::unknown:
            return {{{}, std::string(name), "reasonNotImportable", false}};
    }
    if (!read.failureKey.empty()) return {{{}, std::string(name), read.failureKey, false}};
    std::vector<ConvertedGpx> files;
    for (Activity& activity : read.activities) {
        if (!label.name.empty()) activity.name = label.name;
        if (!label.sportKey.empty()) activity.sportKey = label.sportKey;
        bool positioned = false;
        for (const ActivitySegment& segment : activity.segments) positioned |= !segment.points.empty();
        if (!positioned) {
            files.push_back({{}, std::string(name), "reasonNoPositions", false});
            continue;
        }
        const std::string sport = sportName(activity.sportKey);
        std::string fallback = activityLocalDate(activity);
        fallback += (fallback.empty() ? "" : " ") + sport;
        files.push_back({gpxFromActivity(activity, fallback),
                         libraryFileName(activityFileStem(activity, sport)),
                         {},
                         read.partial});
    }
    if (files.empty()) files.push_back({{}, std::string(name), "reasonNoPositions", false});
    return files;
}
