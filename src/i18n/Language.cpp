#include "i18n/Language.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "core/Failure.h"
#include "platform/Platform.h"

namespace {

enum class CountForm { one, few, other };

CountForm countForm(CountRule rule, uint64_t n) {
    const uint64_t lastDigit = n % 10;
    const uint64_t lastTwo = n % 100;
    const bool endsInTwoToFour = lastDigit >= 2 && lastDigit <= 4 && (lastTwo < 12 || lastTwo > 14);
    switch (rule) {
        case CountRule::oneForm:
            return CountForm::other;
        case CountRule::oneForOne:
            return n == 1 ? CountForm::one : CountForm::other;
        case CountRule::oneForZeroAndOne:
            return n <= 1 ? CountForm::one : CountForm::other;
        case CountRule::polish:
            if (n == 1) return CountForm::one;
            return endsInTwoToFour ? CountForm::few : CountForm::other;
        case CountRule::czech:
            if (n == 1) return CountForm::one;
            return n >= 2 && n <= 4 ? CountForm::few : CountForm::other;
        case CountRule::eastSlavic:
            if (lastDigit == 1 && lastTwo != 11) return CountForm::one;
            return endsInTwoToFour ? CountForm::few : CountForm::other;
    }
    return CountForm::other;
}

}  // namespace

const LanguageRow* findLanguage(std::string_view code) {
    for (const LanguageRow& row : translationTable) {
        if (row.code == code) return &row;
    }
    return nullptr;
}

std::string languageForLocaleName(std::u16string_view localeName) {
    // The subtags of the name, lower-cased: "zh-Hant-TW" is {"zh", "hant", "tw"}.
    std::vector<std::u16string> subtags(1);
    for (char16_t c : lowerText(localeName)) {
        if (c == u'-' || c == u'_') {
            subtags.emplace_back();
        } else {
            subtags.back().push_back(c);
        }
    }
    const auto has = [&](std::u16string_view subtag) {
        return std::find(subtags.begin() + 1, subtags.end(), subtag) != subtags.end();
    };
    // The language is the whole first subtag: "fil-PH" is Filipino, not Finnish, and "kok-IN"
    // Konkani, not Korean.
    const std::u16string& first = subtags.front();
    if (first == u"zh") {
        // An explicit script says it outright; otherwise the regions that write the traditional
        // script decide.
        if (has(u"hant")) return "zh-Hant";
        if (has(u"hans")) return "zh-Hans";
        return has(u"tw") || has(u"hk") || has(u"mo") ? "zh-Hant" : "zh-Hans";
    }
    // Windows reports plain Norwegian as "no"; a Nynorsk reader reads Bokmål sooner than English.
    if (first == u"no" || first == u"nn") return "nb";
    if (first.size() != 2 || first[0] < u'a' || first[0] > u'z' || first[1] < u'a' || first[1] > u'z') {
        return "en";
    }
    const std::string code{static_cast<char>(first[0]), static_cast<char>(first[1])};
    return findLanguage(code) ? code : "en";
}

std::string systemLanguage() {
    return languageForLocaleName(userDefaultLocaleName());
}

namespace {

// A locale name's language and region subtags, lower case ("en-Latn-US": "en" and "us").
std::pair<std::u16string, std::u16string> languageAndRegion(std::u16string_view localeName) {
    const std::u16string name = lowerText(localeName);
    std::pair<std::u16string, std::u16string> parts;
    std::size_t from = 0;
    for (std::size_t index = 0; from <= name.size(); ++index) {
        std::size_t end = name.find_first_of(u"-_", from);
        if (end == std::u16string::npos) end = name.size();
        const std::u16string_view part = std::u16string_view(name).substr(from, end - from);
        if (index == 0) {
            parts.first = part;
        } else if (part.size() == 2 || (part.size() == 3 && part[0] >= u'0' && part[0] <= u'9')) {
            parts.second = part;  // the region: two letters or three digits; a script has four
            break;
        }
        from = end + 1;
    }
    return parts;
}

bool regionAmong(const std::u16string& region, std::initializer_list<std::u16string_view> regions) {
    for (std::u16string_view candidate : regions) {
        if (region == candidate) return true;
    }
    return false;
}

}  // namespace

LanguageForms englishForms(const RegionFormats& region) {
    LanguageForms forms = findLanguage("en")->forms;
    const auto [language, place] = languageAndRegion(region.timeLocale);
    if (language != u"en") return forms;  // yyyy-MM-dd, which reads the same everywhere
    // The United States and the places that write as they do.
    const bool american = regionAmong(place, {u"us", u"as", u"gu", u"mp", u"pr", u"um", u"vi", u"ph"});
    const DateOrder order = region.dateOrder.value_or(american ? DateOrder::monthFirst : DateOrder::dayFirst);
    forms.datePattern = order == DateOrder::monthFirst ? u"M/d/yyyy"
                        : order == DateOrder::dayFirst ? u"dd/MM/yyyy"
                                                       : u"yyyy-MM-dd";
    forms.twelveHour = region.twelveHour.value_or(american);
    return forms;
}

Units regionUnits(const RegionFormats& region) {
    if (region.imperial) return *region.imperial ? Units::imperial : Units::metric;
    const std::u16string place = languageAndRegion(region.measureLocale).second;
    return regionAmong(place, {u"us", u"lr", u"mm"}) ? Units::imperial : Units::metric;
}

ActiveLanguage resolveLanguage(std::string_view languageSetting, Units units) {
    ActiveLanguage language;
    language.code = languageSetting == "system" ? systemLanguage() : std::string(languageSetting);
    language.row = findLanguage(language.code);
    language.textRow = language.row != nullptr ? language.row : findLanguage("en");
    language.forms = language.textRow->forms;
    if (language.forms.followsRegion) language.forms = englishForms(userRegionFormats());
    language.units = units;
    return language;
}

std::u16string_view translate(const ActiveLanguage& language, std::string_view key) {
    if (language.textRow == nullptr) return {};
    for (const TranslationKey& entry : translationKeys) {
        if (entry.name == key) return language.textRow->texts.*entry.text;
    }
    return {};
}

std::u16string_view countWord(const ActiveLanguage& language, uint64_t count) {
    if (language.textRow == nullptr) return {};
    const TranslationTexts& texts = language.textRow->texts;
    switch (countForm(language.textRow->countRule, count)) {
        case CountForm::one:
            return texts.filesOne;
        case CountForm::few:
            return texts.filesFew;
        case CountForm::other:
            break;
    }
    return texts.files;
}

std::u16string fillIn(std::u16string_view text, std::u16string_view placeholder, std::u16string_view value) {
    if (placeholder.empty()) return std::u16string(text);
    std::u16string result;
    std::size_t from = 0;
    for (std::size_t at = text.find(placeholder); at != std::u16string_view::npos;
         at = text.find(placeholder, from)) {
        result.append(text.substr(from, at - from));
        result.append(value);
        from = at + placeholder.size();
    }
    result.append(text.substr(from));
    return result;
}

std::u16string sportDisplayText(const ActiveLanguage& language, const RouteInfo& route) {
    if (!route.sportKey.empty() && language.row != nullptr) {
        std::u16string_view text = translate(language, route.sportKey);
        if (!text.empty()) return std::u16string(text);
    }
    return utf8ToWide(route.sportLabel);
}

namespace {

struct FailureMessageKey {
    const char* message;
    std::string_view key;
};

// Every fixed message that reaches a user, and the text that tells it.
constexpr FailureMessageKey kFailureMessageKeys[] = {
    {kMessageCannotRead, "cannotReadFile"},
    {kMessageNoPoints, "noTrackPoints"},
    {kMessageChangedMeanwhile, "fileChangedMeanwhile"},
    {kMessageFileBusy, "fileBusy"},
    {kMessageHardLinks, "fileHardLinks"},
    {kMessageUtf16NotRewritten, "utf16NotRewritten"},
    {kMessageTooLarge, "fileTooLarge"},
    {kMessageEndsEarly, "fileEndsEarly"},
    {kMessageNoTrackOrRoute, "noTrackOrRoute"},
    {kMessageIncomplete, "gpxIncomplete"},
    {kMessageTempNotWritten, "tempNotWritten"},
    {kMessageNotReplaced, "fileNotReplaced"},
};

}  // namespace

std::u16string failureMessageText(const ActiveLanguage& language, std::string_view message) {
    for (const FailureMessageKey& entry : kFailureMessageKeys) {
        if (message == entry.message) return std::u16string(translate(language, entry.key));
    }
    // What else can arrive is the system giving out (memory) or a record of another version:
    // never shown raw, in a language the reader may not have chosen.
    if (message.empty()) return {};
    return std::u16string(translate(language, "fileNotProcessed"));
}
