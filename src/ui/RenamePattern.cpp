#include "ui/RenamePattern.h"

#include <array>
#include <map>
#include <set>

#include "core/PointFields.h"
#include "ui/Format.h"

namespace fs = std::filesystem;

namespace {

std::u16string twoDigits(int32_t value) {
    return {static_cast<char16_t>(u'0' + value / 10 % 10), static_cast<char16_t>(u'0' + value % 10)};
}

std::u16string fieldValue(std::u16string_view field, const RouteInfo& route, const ActiveLanguage& language) {
    if (field == u"date" || field == u"time") {
        CivilTime civil;
        if (!route.hasFirstTime ||
            !localCivilTime(route.firstTimeSeconds, route.firstTimeOffsetMinutes, civil))
            return {};
        if (field == u"time") return twoDigits(civil.hour) + twoDigits(civil.minute);
        return twoDigits(civil.year / 100) + twoDigits(civil.year) + u"-" + twoDigits(civil.month) + u"-" +
               twoDigits(civil.day);
    }
    if (field == u"sport")
        return route.sportKey.empty() ? std::u16string() : sportDisplayText(language, route);
    if (field == u"name") return utf8ToWide(route.routeName);
    if (field == u"stem") return pathToWide(route.filePath.stem());
    if (field == u"length")
        return route.pointCount == 0 ? std::u16string() : formatDistance(route.distanceMeters, language);
    return u"{" + std::u16string(field) + u"}";  // no field: the text stands as typed
}

char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

std::u16string asciiFolded(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) c = asciiLower(c);
    return folded;
}

// Windows opens a device, not a file, under these names, whatever follows the first dot.
bool isReservedName(std::u16string_view stem) {
    std::u16string base = asciiFolded(stem.substr(0, stem.find(u'.')));
    while (!base.empty() && base.back() == u' ') base.pop_back();
    static constexpr std::array<std::u16string_view, 4> plain = {u"con", u"prn", u"aux", u"nul"};
    for (std::u16string_view name : plain) {
        if (base == name) return true;
    }
    return base.size() == 4 && (base.starts_with(u"com") || base.starts_with(u"lpt")) && base[3] >= u'1' &&
           base[3] <= u'9';
}

void trimEnds(std::u16string& text) {
    while (!text.empty() && (text.back() == u' ' || text.back() == u'.')) text.pop_back();
    const std::size_t first = text.find_first_not_of(u' ');
    text.erase(0, first == std::u16string::npos ? text.size() : first);
}

// The name of the n-th candidate: stem, then stem + " n", cut to the system's limit.
fs::path candidateName(const std::u16string& stem, const fs::path& extension, unsigned long long n) {
    fs::path suffix = n < 2 ? fs::path() : widePath(u" " + utf8ToWide(std::to_string(n)));
    suffix += extension;
    const std::size_t suffixUnits = suffix.native().size();
    const std::size_t room = suffixUnits < kLongestName ? kLongestName - suffixUnits : 0;
    std::u16string cut = pathToWide(nameCutTo(widePath(stem), room));
    if (cut.size() < stem.size()) trimEnds(cut);  // a cut may end on a blank or a dot
    fs::path name = widePath(cut);
    name += suffix;
    return name;
}

// Names taken in one folder, case folded: Windows, and many a stick or share elsewhere, hold
// "Tour.gpx" and "tour.gpx" for one name, so a library stays whole when it moves there.
struct TakenNames {
    std::map<fs::path, std::set<std::u16string>> listed;  // per folder, what the disk holds
    std::set<std::u16string> claimed;                     // folder and name of every step so far

    bool isTaken(const fs::path& folder, const fs::path& name, const fs::path& own) {
        const std::u16string folded = asciiFolded(pathToWide(name));
        if (claimed.contains(asciiFolded(pathToWide(folder / name)))) return true;
        if (folded == asciiFolded(pathToWide(own.filename()))) return false;  // the file itself
        auto [entry, fresh] = listed.try_emplace(folder);
        if (fresh) {
            std::vector<FolderEntry> entries;
            listFolder(folder.empty() ? fs::path(".") : folder, entries);
            for (const FolderEntry& found : entries)
                entry->second.insert(asciiFolded(pathToWide(found.name)));
        }
        return entry->second.contains(folded) || !isNameFree(folder / name);
    }
};

}  // namespace

std::u16string patternStem(std::u16string_view pattern, const RouteInfo& route,
                           const ActiveLanguage& language) {
    std::u16string filled;
    for (std::size_t i = 0; i < pattern.size();) {
        const std::size_t close = pattern[i] == u'{' ? pattern.find(u'}', i) : std::u16string_view::npos;
        if (close == std::u16string_view::npos) {
            filled += pattern[i++];
            continue;
        }
        filled += fieldValue(pattern.substr(i + 1, close - i - 1), route, language);
        i = close + 1;
    }
    std::u16string stem;
    for (char16_t c : filled) {
        if (c < 0x20 || c == 0x7F) c = u' ';  // a tab or line end in a name reads as a blank
        if (std::u16string_view(u"<>:\"/\\|?*").find(c) != std::u16string_view::npos) c = u'_';
        if (c == u' ' && (stem.empty() || stem.back() == u' ')) continue;
        stem += c;
    }
    trimEnds(stem);
    if (stem.empty()) return pathToWide(route.filePath.stem());
    if (isReservedName(stem))
        stem.insert(stem.find(u'.') == std::u16string::npos ? stem.size() : stem.find(u'.'), u"_");
    return stem;
}

std::vector<RenameStep> planRenames(std::u16string_view pattern, const std::vector<const RouteInfo*>& routes,
                                    const ActiveLanguage& language) {
    std::vector<RenameStep> steps;
    TakenNames taken;
    for (const RouteInfo* route : routes) {
        const fs::path& from = route->filePath;
        const fs::path folder = from.parent_path();
        const std::u16string stem = patternStem(pattern, *route, language);
        fs::path name = candidateName(stem, from.extension(), 1);
        for (unsigned long long n = 2; name != from.filename() && taken.isTaken(folder, name, from); ++n) {
            name = candidateName(stem, from.extension(), n);
        }
        taken.claimed.insert(asciiFolded(pathToWide(folder / name)));
        steps.push_back({from, folder / name, stem});
    }
    return steps;
}

FileError applyRename(RenameStep& step) {
    if (step.to == step.from) return FileError::none;
    const fs::path folder = step.to.parent_path();
    const fs::path extension = step.from.extension();
    FileError error = moveWithoutReplacing(step.from, step.to);
    // Another program took the name since the plan: the next number, as an import does.
    for (unsigned long long n = 2; error == FileError::exists && n < 1000; ++n) {
        step.to = folder / candidateName(step.stem, extension, n);
        error = moveWithoutReplacing(step.from, step.to);
    }
    return error;
}
