#include "ui/DuplicateTexts.h"

#include "platform/Platform.h"
#include "ui/Format.h"
#include "ui/ListView.h"
#include "ui/RouteListLogic.h"

std::u16string duplicateReasonText(const DuplicateGroups& groups, const std::vector<RouteInfo>& routes,
                                   std::size_t index, const ActiveLanguage& language) {
    if (index >= groups.byRoute.size() || groups.byRoute[index].group == kNoDuplicateGroup) return {};
    const DuplicateMatch& match = groups.byRoute[index];
    if (match.partner >= routes.size()) return {};
    return fillIn(translate(language, duplicateReasonKey(match.reason)), u"{name}",
                  pathToWide(routes[match.partner].filePath.filename()));
}

std::u16string duplicatesStatusText(const ListView& view, const ActiveLanguage& language) {
    std::u16string text = fillIn(translate(language, "duplicateGroups"), u"{n}",
                                 decimalText(static_cast<int64_t>(view.duplicates.groupCount)));
    if (view.focusedRow >= 0 && static_cast<std::size_t>(view.focusedRow) < view.rows.size()) {
        const std::u16string reason = duplicateReasonText(
            view.duplicates, view.routes, static_cast<std::size_t>(view.rows[view.focusedRow]), language);
        if (!reason.empty()) {
            text += kStatusSeparator;
            text += reason;
        }
    }
    text += kStatusSeparator;
    text += translate(language, "escShowsAll");
    return text;
}

std::u16string alreadyInLibraryText(const std::vector<std::filesystem::path>& sources,
                                    const std::vector<ImportResult>& results,
                                    const ActiveLanguage& language) {
    constexpr std::size_t kNamed = 3;
    std::u16string text;
    std::size_t count = 0;
    for (std::size_t i = 0; i < results.size() && i < sources.size(); ++i) {
        if (results[i].existing.empty() || count++ >= kNamed) continue;
        if (!text.empty()) text += u", ";
        text += pathToWide(sources[i].filename()) + u": " +
                fillIn(translate(language, "alreadyInLibrary"), u"{name}",
                       pathToWide(results[i].existing.filename()));
    }
    if (count > kNamed) {
        text += u' ';
        text +=
            fillIn(translate(language, "andMore"), u"{n}", decimalText(static_cast<int64_t>(count - kNamed)));
    }
    return text;
}
