#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "i18n/Language.h"
#include "ui/ActiveTexts.h"

namespace {

// The lists resolve the language once per rebuild; that must never change what is shown.
TEST(ActiveTexts, AgreesWithTheLookupsItReplaces) {
    struct Sport {
        const char* key;
        const char* label;
    };
    const Sport sports[] = {{"mountain_biking", "Mountainbike"},
                            {"", "\xE2\x80\x93"},
                            {"Kanu-Polo", "Kanu-Polo"},
                            {"weather", "weather"},  // a raw text that happens to be another key
                            {"", ""}};
    for (const char* language : {"de", "en", "ja", "zh-Hant", "xx", "system"}) {
        LanguageScope scope(language);
        const ActiveTexts active = resolveActiveTexts();
        for (const Sport& sport : sports) {
            RouteInfo route;
            route.sportKey = sport.key;
            route.sportLabel = sport.label;
            EXPECT_EQ(activeSportText(active, route), sportDisplayText(route))
                << language << " " << sport.key;
        }
        for (std::string_view key : {"files", "route", "roundTrip", "", "missing"}) {
            EXPECT_EQ(activeText(active, key), translate(key)) << language << " " << key;
        }
    }
}

}  // namespace
