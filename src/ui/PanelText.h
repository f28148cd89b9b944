#pragma once
// What the detail panel shows for a route (or for none), ready for the controls.

#include <string>
#include <vector>

#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "ui/RouteListLogic.h"

enum class WeatherVisibility { show, hide, keep };

struct PanelTexts {
    std::u16string title;     // the route's name; the file name when it has none
    std::u16string fileName;  // under the title; empty when the title already is the file name
    std::u16string subtitle;  // the date, with the start time where the track has one
    std::u16string distance;
    std::u16string time;
    std::u16string ascent;
    std::u16string points;
    std::u16string speed;   // caption and average speed
    std::u16string type;    // caption and loop or one-way
    std::u16string start;   // caption and start place
    std::u16string finish;  // caption and finish place
    std::u16string weather;
    WeatherVisibility weatherVisibility = WeatherVisibility::keep;
    std::vector<std::u16string> sportItems;  // translate(key) for each of sportKeys
    int sportSelection = -1;                 // index into sportKeys, -1 for none
    bool sportEnabled = false;
};

// `route` null: the prompt state.
PanelTexts panelTextsFor(const RouteInfo* route, const ActiveLanguage& language);
// Several selected routes: their count and what they add up to. The sport box waits for one route.
PanelTexts panelTextsForSelection(const RouteTotals& totals, const ActiveLanguage& language);
std::u16string weatherLineText(const RouteInfo& route, const ActiveLanguage& language);
// Why a record's analysis failed, in the interface language where the reason is a known one.
std::u16string failureText(const RouteInfo& route, const ActiveLanguage& language);
