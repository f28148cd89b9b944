#pragma once
// The overview's table for the console: aligned text in the reader's language and units, or CSV
// and JSON in metres and seconds with the sport keys, for other programs.

#include <string>

#include "i18n/Language.h"
#include "ui/Overview.h"

enum class StatsFormat { text, csv, json };

std::string statsOutput(const OverviewTable& table, OverviewBy by, StatsFormat format,
                        const ActiveLanguage& language);
