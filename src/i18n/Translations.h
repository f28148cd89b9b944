#pragma once
// The built-in translation table: one row per language, one named text per key. A row that leaves
// a text out does not compile (-Wmissing-field-initializers is an error), so rows cannot drift.
// Texts with "{n}" or "{m}" get their numbers through fillIn (i18n/Language.h).

#include <array>
#include <cstddef>
#include <string_view>

struct TranslationTexts {
    // menu and buttons
    std::u16string_view system;
    std::u16string_view import;
    std::u16string_view folder;
    std::u16string_view reload;
    std::u16string_view search;
    std::u16string_view routes;
    std::u16string_view files;     // after most numbers ("12 plików")
    std::u16string_view filesOne;  // after the numbers the row's count rule calls "one"
    std::u16string_view filesFew;  // after the "few" numbers of Polish, Czech and Ukrainian
    // filter choices
    std::u16string_view sportAll;
    std::u16string_view typeAll;
    std::u16string_view roundTrip;
    std::u16string_view ghostAll;
    std::u16string_view ghostReady;
    std::u16string_view noTimestamps;
    // list columns
    std::u16string_view name;
    std::u16string_view date;
    std::u16string_view sport;
    std::u16string_view length;
    std::u16string_view time;
    std::u16string_view ascent;
    std::u16string_view points;
    std::u16string_view type;
    // panel
    std::u16string_view selectRoute;
    std::u16string_view distance;
    std::u16string_view start;
    std::u16string_view end;
    std::u16string_view weather;
    // sports, named by their sport keys
    std::u16string_view cycling;
    std::u16string_view running;
    std::u16string_view motorcycling;
    std::u16string_view driving;
    std::u16string_view hiking;
    std::u16string_view walking;
    std::u16string_view mountain_biking;
    std::u16string_view gravel_cycling;
    std::u16string_view e_bike;
    std::u16string_view trail_running;
    std::u16string_view swimming;
    std::u16string_view skiing;
    std::u16string_view inline_skating;
    std::u16string_view rowing;
    std::u16string_view kayaking;
    // accessible names of the boxes that have no label
    std::u16string_view searchBoxName;
    std::u16string_view languageBoxName;
    std::u16string_view startFilterName;
    std::u16string_view endFilterName;
    std::u16string_view sportFilterName;
    std::u16string_view ghostFilterName;
    std::u16string_view typeFilterName;
    std::u16string_view lengthFilterName;
    std::u16string_view yearFilterName;
    std::u16string_view yearAll;
    std::u16string_view noDate;
    std::u16string_view exportRoutes;
    std::u16string_view csvFileType;
    std::u16string_view geoJsonFileType;
    std::u16string_view exportedCount;
    std::u16string_view pointlessLeftOut;
    std::u16string_view exportFailed;
    std::u16string_view shortcutExport;
    std::u16string_view sportBoxName;
    // keyboard shortcuts as tooltips name them
    std::u16string_view shortcutImport;
    std::u16string_view shortcutReload;
    std::u16string_view shortcutSearch;
    // failures told to the user
    std::u16string_view importFailedList;
    std::u16string_view andMore;
    std::u16string_view reasonMissing;
    std::u16string_view reasonDiskFull;
    std::u16string_view reasonAccessDenied;
    std::u16string_view reasonNotCopied;
    std::u16string_view reasonNotGpx;
    std::u16string_view settingNotSaved;
    std::u16string_view cannotReadFile;
    std::u16string_view reasonNotImportable;
    std::u16string_view reasonNoPositions;
    std::u16string_view reasonEncryptedEntry;
    std::u16string_view reasonUnsafePath;
    std::u16string_view reasonArchiveTooLarge;
    std::u16string_view reasonDamagedArchive;
    std::u16string_view reasonDamagedFit;
    std::u16string_view reasonDamagedTcx;
    std::u16string_view partlyReadList;
    std::u16string_view importFileTypes;
    std::u16string_view noTrackPoints;
    // list features
    std::u16string_view showInFolder;
    std::u16string_view changeSportMenu;
    std::u16string_view undoMenu;
    std::u16string_view recycleMenu;
    std::u16string_view renameMenu;
    std::u16string_view renameTitle;
    std::u16string_view renamePattern;
    std::u16string_view renamePreview;
    std::u16string_view okButton;
    std::u16string_view cancelButton;
    std::u16string_view sportProgress;
    std::u16string_view filesChanged;
    std::u16string_view sportNotChangedList;
    std::u16string_view recycleConfirm;
    std::u16string_view recycleFailedList;
    std::u16string_view nothingToUndo;
    std::u16string_view undoLeftList;
    std::u16string_view undoneCount;
    std::u16string_view folderMissing;
    std::u16string_view readingFiles;
    // a file or folder the program keeps its hands off, and warnings about files
    std::u16string_view fileChangedMeanwhile;
    std::u16string_view fileBusy;
    std::u16string_view fileHardLinks;
    std::u16string_view utf16NotRewritten;
    std::u16string_view fileEndsEarly;
    std::u16string_view fileTooLarge;
    std::u16string_view folderNotListed;
    std::u16string_view folderSettingIgnored;
    // the window telling what it did and what its parts mean
    std::u16string_view importedCount;
    std::u16string_view alreadyInLibrary;
    std::u16string_view findDuplicates;
    std::u16string_view duplicateGroups;
    std::u16string_view escShowsAll;
    std::u16string_view noDuplicates;
    std::u16string_view sameFileAs;
    std::u16string_view sameActivityAs;
    std::u16string_view sameCoordinatesAs;
    std::u16string_view renamedList;
    std::u16string_view averageSpeed;
    std::u16string_view heartRate;
    std::u16string_view cadence;
    std::u16string_view power;
    std::u16string_view movingTime;
    std::u16string_view maxSpeed;
    std::u16string_view averageShort;
    std::u16string_view maximumShort;
    std::u16string_view beatsPerMinute;
    std::u16string_view revolutionsPerMinute;
    std::u16string_view watts;
    std::u16string_view ghostTip;
    std::u16string_view estimatedSportTip;
    std::u16string_view resetFilters;
    std::u16string_view chooseLibraryFolder;
    std::u16string_view emptyLibrary;
    // own words where one served two meanings, and the units box
    std::u16string_view oneWay;
    std::u16string_view startAll;
    std::u16string_view endAll;
    std::u16string_view lengthAll;
    std::u16string_view unitsBoxName;
    std::u16string_view metric;
    std::u16string_view imperial;
    // failures of the analysis, the rewrite and the console tool
    std::u16string_view noTrackOrRoute;
    std::u16string_view gpxIncomplete;
    std::u16string_view tempNotWritten;
    std::u16string_view fileNotReplaced;
    std::u16string_view fileNotProcessed;
    std::u16string_view reasonNotFile;
    std::u16string_view folderNotRead;
    std::u16string_view renameFailedList;
    std::u16string_view reasonNotRenamed;
    std::u16string_view selectedCount;
    std::u16string_view overview;
    std::u16string_view listView;
    std::u16string_view total;
    std::u16string_view year;
    std::u16string_view month;
    std::u16string_view monthNames;
    std::u16string_view otherSport;
    std::u16string_view yearNote;
    std::u16string_view chartTitle;
    std::u16string_view shortcutOverview;
};

inline constexpr std::size_t kTranslationKeyCount = sizeof(TranslationTexts) / sizeof(std::u16string_view);
inline constexpr std::size_t kLanguageCount = 19;

// How a count picks its word among "filesOne", "filesFew" and "files" (see countWord).
enum class CountRule {
    oneForm,           // the same word after every number
    oneForOne,         // 1: one; else: files
    oneForZeroAndOne,  // 0 and 1: one; else: files
    polish,            // 1: one; ends in 2-4 but not 12-14: few; else: files
    czech,             // 1: one; 2-4: few; else: files
    eastSlavic,        // ends in 1 but not 11: one; ends in 2-4 but not 12-14: few; else: files
};

// How the language writes a date and a fraction. The pattern's "yyyy", "MM", "M", "dd" and "d" stand
// for the year and the month and day with and without a leading zero; anything else stands for itself.
struct LanguageForms {
    std::u16string_view datePattern;
    char16_t decimal = u'.';
    bool twelveHour = false;     // "8:15 PM" rather than "20:15"
    bool followsRegion = false;  // English: order and clock as the user's region writes them
};

struct LanguageRow {
    std::string_view code;
    std::u16string_view ownName;
    CountRule countRule;
    LanguageForms forms;
    TranslationTexts texts;
};

// The key of each text as code and data name it ("selectRoute", "trail_running").
struct TranslationKey {
    std::string_view name;
    std::u16string_view TranslationTexts::*text;
};

inline constexpr std::array<TranslationKey, kTranslationKeyCount> translationKeys = {{
    {"system", &TranslationTexts::system},
    {"import", &TranslationTexts::import},
    {"folder", &TranslationTexts::folder},
    {"reload", &TranslationTexts::reload},
    {"search", &TranslationTexts::search},
    {"routes", &TranslationTexts::routes},
    {"files", &TranslationTexts::files},
    {"filesOne", &TranslationTexts::filesOne},
    {"filesFew", &TranslationTexts::filesFew},
    {"sportAll", &TranslationTexts::sportAll},
    {"typeAll", &TranslationTexts::typeAll},
    {"roundTrip", &TranslationTexts::roundTrip},
    {"ghostAll", &TranslationTexts::ghostAll},
    {"ghostReady", &TranslationTexts::ghostReady},
    {"noTimestamps", &TranslationTexts::noTimestamps},
    {"name", &TranslationTexts::name},
    {"date", &TranslationTexts::date},
    {"sport", &TranslationTexts::sport},
    {"length", &TranslationTexts::length},
    {"time", &TranslationTexts::time},
    {"ascent", &TranslationTexts::ascent},
    {"points", &TranslationTexts::points},
    {"type", &TranslationTexts::type},
    {"selectRoute", &TranslationTexts::selectRoute},
    {"distance", &TranslationTexts::distance},
    {"start", &TranslationTexts::start},
    {"end", &TranslationTexts::end},
    {"weather", &TranslationTexts::weather},
    {"cycling", &TranslationTexts::cycling},
    {"running", &TranslationTexts::running},
    {"motorcycling", &TranslationTexts::motorcycling},
    {"driving", &TranslationTexts::driving},
    {"hiking", &TranslationTexts::hiking},
    {"walking", &TranslationTexts::walking},
    {"mountain_biking", &TranslationTexts::mountain_biking},
    {"gravel_cycling", &TranslationTexts::gravel_cycling},
    {"e_bike", &TranslationTexts::e_bike},
    {"trail_running", &TranslationTexts::trail_running},
    {"swimming", &TranslationTexts::swimming},
    {"skiing", &TranslationTexts::skiing},
    {"inline_skating", &TranslationTexts::inline_skating},
    {"rowing", &TranslationTexts::rowing},
    {"kayaking", &TranslationTexts::kayaking},
    {"searchBoxName", &TranslationTexts::searchBoxName},
    {"languageBoxName", &TranslationTexts::languageBoxName},
    {"startFilterName", &TranslationTexts::startFilterName},
    {"endFilterName", &TranslationTexts::endFilterName},
    {"sportFilterName", &TranslationTexts::sportFilterName},
    {"ghostFilterName", &TranslationTexts::ghostFilterName},
    {"typeFilterName", &TranslationTexts::typeFilterName},
    {"lengthFilterName", &TranslationTexts::lengthFilterName},
    {"yearFilterName", &TranslationTexts::yearFilterName},
    {"yearAll", &TranslationTexts::yearAll},
    {"noDate", &TranslationTexts::noDate},
    {"exportRoutes", &TranslationTexts::exportRoutes},
    {"csvFileType", &TranslationTexts::csvFileType},
    {"geoJsonFileType", &TranslationTexts::geoJsonFileType},
    {"exportedCount", &TranslationTexts::exportedCount},
    {"pointlessLeftOut", &TranslationTexts::pointlessLeftOut},
    {"exportFailed", &TranslationTexts::exportFailed},
    {"shortcutExport", &TranslationTexts::shortcutExport},
    {"sportBoxName", &TranslationTexts::sportBoxName},
    {"shortcutImport", &TranslationTexts::shortcutImport},
    {"shortcutReload", &TranslationTexts::shortcutReload},
    {"shortcutSearch", &TranslationTexts::shortcutSearch},
    {"importFailedList", &TranslationTexts::importFailedList},
    {"andMore", &TranslationTexts::andMore},
    {"reasonMissing", &TranslationTexts::reasonMissing},
    {"reasonDiskFull", &TranslationTexts::reasonDiskFull},
    {"reasonAccessDenied", &TranslationTexts::reasonAccessDenied},
    {"reasonNotCopied", &TranslationTexts::reasonNotCopied},
    {"reasonNotGpx", &TranslationTexts::reasonNotGpx},
    {"settingNotSaved", &TranslationTexts::settingNotSaved},
    {"cannotReadFile", &TranslationTexts::cannotReadFile},
    {"reasonNotImportable", &TranslationTexts::reasonNotImportable},
    {"reasonNoPositions", &TranslationTexts::reasonNoPositions},
    {"reasonEncryptedEntry", &TranslationTexts::reasonEncryptedEntry},
    {"reasonUnsafePath", &TranslationTexts::reasonUnsafePath},
    {"reasonArchiveTooLarge", &TranslationTexts::reasonArchiveTooLarge},
    {"reasonDamagedArchive", &TranslationTexts::reasonDamagedArchive},
    {"reasonDamagedFit", &TranslationTexts::reasonDamagedFit},
    {"reasonDamagedTcx", &TranslationTexts::reasonDamagedTcx},
    {"partlyReadList", &TranslationTexts::partlyReadList},
    {"importFileTypes", &TranslationTexts::importFileTypes},
    {"noTrackPoints", &TranslationTexts::noTrackPoints},
    {"showInFolder", &TranslationTexts::showInFolder},
    {"changeSportMenu", &TranslationTexts::changeSportMenu},
    {"undoMenu", &TranslationTexts::undoMenu},
    {"recycleMenu", &TranslationTexts::recycleMenu},
    {"renameMenu", &TranslationTexts::renameMenu},
    {"renameTitle", &TranslationTexts::renameTitle},
    {"renamePattern", &TranslationTexts::renamePattern},
    {"renamePreview", &TranslationTexts::renamePreview},
    {"okButton", &TranslationTexts::okButton},
    {"cancelButton", &TranslationTexts::cancelButton},
    {"sportProgress", &TranslationTexts::sportProgress},
    {"filesChanged", &TranslationTexts::filesChanged},
    {"sportNotChangedList", &TranslationTexts::sportNotChangedList},
    {"recycleConfirm", &TranslationTexts::recycleConfirm},
    {"recycleFailedList", &TranslationTexts::recycleFailedList},
    {"nothingToUndo", &TranslationTexts::nothingToUndo},
    {"undoLeftList", &TranslationTexts::undoLeftList},
    {"undoneCount", &TranslationTexts::undoneCount},
    {"folderMissing", &TranslationTexts::folderMissing},
    {"readingFiles", &TranslationTexts::readingFiles},
    {"fileChangedMeanwhile", &TranslationTexts::fileChangedMeanwhile},
    {"fileBusy", &TranslationTexts::fileBusy},
    {"fileHardLinks", &TranslationTexts::fileHardLinks},
    {"utf16NotRewritten", &TranslationTexts::utf16NotRewritten},
    {"fileEndsEarly", &TranslationTexts::fileEndsEarly},
    {"fileTooLarge", &TranslationTexts::fileTooLarge},
    {"folderNotListed", &TranslationTexts::folderNotListed},
    {"folderSettingIgnored", &TranslationTexts::folderSettingIgnored},
    {"importedCount", &TranslationTexts::importedCount},
    {"alreadyInLibrary", &TranslationTexts::alreadyInLibrary},
    {"findDuplicates", &TranslationTexts::findDuplicates},
    {"duplicateGroups", &TranslationTexts::duplicateGroups},
    {"escShowsAll", &TranslationTexts::escShowsAll},
    {"noDuplicates", &TranslationTexts::noDuplicates},
    {"sameFileAs", &TranslationTexts::sameFileAs},
    {"sameActivityAs", &TranslationTexts::sameActivityAs},
    {"sameCoordinatesAs", &TranslationTexts::sameCoordinatesAs},
    {"renamedList", &TranslationTexts::renamedList},
    {"averageSpeed", &TranslationTexts::averageSpeed},
    {"heartRate", &TranslationTexts::heartRate},
    {"cadence", &TranslationTexts::cadence},
    {"power", &TranslationTexts::power},
    {"movingTime", &TranslationTexts::movingTime},
    {"maxSpeed", &TranslationTexts::maxSpeed},
    {"averageShort", &TranslationTexts::averageShort},
    {"maximumShort", &TranslationTexts::maximumShort},
    {"beatsPerMinute", &TranslationTexts::beatsPerMinute},
    {"revolutionsPerMinute", &TranslationTexts::revolutionsPerMinute},
    {"watts", &TranslationTexts::watts},
    {"ghostTip", &TranslationTexts::ghostTip},
    {"estimatedSportTip", &TranslationTexts::estimatedSportTip},
    {"resetFilters", &TranslationTexts::resetFilters},
    {"chooseLibraryFolder", &TranslationTexts::chooseLibraryFolder},
    {"emptyLibrary", &TranslationTexts::emptyLibrary},
    {"oneWay", &TranslationTexts::oneWay},
    {"startAll", &TranslationTexts::startAll},
    {"endAll", &TranslationTexts::endAll},
    {"lengthAll", &TranslationTexts::lengthAll},
    {"unitsBoxName", &TranslationTexts::unitsBoxName},
    {"metric", &TranslationTexts::metric},
    {"imperial", &TranslationTexts::imperial},
    {"noTrackOrRoute", &TranslationTexts::noTrackOrRoute},
    {"gpxIncomplete", &TranslationTexts::gpxIncomplete},
    {"tempNotWritten", &TranslationTexts::tempNotWritten},
    {"fileNotReplaced", &TranslationTexts::fileNotReplaced},
    {"fileNotProcessed", &TranslationTexts::fileNotProcessed},
    {"reasonNotFile", &TranslationTexts::reasonNotFile},
    {"folderNotRead", &TranslationTexts::folderNotRead},
    {"renameFailedList", &TranslationTexts::renameFailedList},
    {"reasonNotRenamed", &TranslationTexts::reasonNotRenamed},
    {"selectedCount", &TranslationTexts::selectedCount},
    {"overview", &TranslationTexts::overview},
    {"listView", &TranslationTexts::listView},
    {"total", &TranslationTexts::total},
    {"year", &TranslationTexts::year},
    {"month", &TranslationTexts::month},
    {"monthNames", &TranslationTexts::monthNames},
    {"otherSport", &TranslationTexts::otherSport},
    {"yearNote", &TranslationTexts::yearNote},
    {"chartTitle", &TranslationTexts::chartTitle},
    {"shortcutOverview", &TranslationTexts::shortcutOverview},
}};

namespace translation_detail {
consteval bool everyTextHasOneKey() {
    for (std::size_t i = 0; i < translationKeys.size(); ++i) {
        if (translationKeys[i].text == nullptr || translationKeys[i].name.empty()) return false;
        for (std::size_t j = i + 1; j < translationKeys.size(); ++j) {
            if (translationKeys[i].text == translationKeys[j].text) return false;
            if (translationKeys[i].name == translationKeys[j].name) return false;
        }
    }
    return true;
}
}  // namespace translation_detail
static_assert(sizeof(TranslationTexts) == kTranslationKeyCount * sizeof(std::u16string_view));
static_assert(translation_detail::everyTextHasOneKey(), "each text needs exactly one key");

extern const std::array<LanguageRow, kLanguageCount> translationTable;
