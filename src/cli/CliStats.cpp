#include "cli/CliStats.h"

#include "cli/CliJson.h"
#include "cli/CliTable.h"
#include "platform/Platform.h"
#include "ui/Format.h"

namespace {

std::string sportKeyText(std::size_t sport) {
    return sport < sportKeys.size() ? std::string(sportKeys[sport]) : std::string("other");
}

std::string textTable(const OverviewTable& table, OverviewBy by, const ActiveLanguage& language) {
    TextTable text;
    std::vector<std::u16string> head{
        std::u16string(translate(language, by == OverviewBy::year ? "year" : "month"))};
    for (const std::size_t sport : table.columns) head.push_back(overviewSportText(sport, language));
    head.emplace_back(translate(language, "total"));
    text.rows.push_back(std::move(head));
    text.rightAligned.assign(text.rows[0].size(), true);
    text.rightAligned[0] = false;
    for (const OverviewRow& row : table.rows) {
        std::vector<std::u16string> cells{overviewRowText(row, language)};
        for (const std::size_t sport : table.columns)
            cells.push_back(overviewCellText(row.sports[sport], language));
        cells.push_back(overviewCellText(row.total, language));
        text.rows.push_back(std::move(cells));
    }
    std::vector<std::u16string> totals{std::u16string(translate(language, "total"))};
    for (const std::size_t sport : table.columns)
        totals.push_back(overviewCellText(table.sportTotals[sport], language));
    totals.push_back(overviewCellText(table.total, language));
    text.rows.push_back(std::move(totals));
    return renderTable(text);
}

// year,month,sport,count,meters,seconds,ascentMeters: every cell with routes, each row's total
// (sport "total") and each sport's total (year "total"); an empty year for the routes without a date.
std::string csvTable(const OverviewTable& table, OverviewBy by) {
    std::string out = by == OverviewBy::year ? "year,sport,count,meters,seconds,ascentMeters\n"
                                             : "year,month,sport,count,meters,seconds,ascentMeters\n";
    const auto line = [&](const std::string& when, const std::string& sport, const RouteTotals& totals) {
        out += when + "," + sport + "," + std::to_string(totals.count) + "," + jsonNumber(totals.meters) +
               "," + jsonNumber(totals.seconds) + "," + jsonNumber(totals.ascentMeters) + "\n";
    };
    for (const OverviewRow& row : table.rows) {
        std::string when = row.year == kNoYear ? std::string() : std::to_string(row.year);
        if (by == OverviewBy::month)
            when += "," + (row.month > 0 ? std::to_string(row.month) : std::string());
        for (const std::size_t sport : table.columns) {
            if (row.sports[sport].count > 0) line(when, sportKeyText(sport), row.sports[sport]);
        }
        line(when, "total", row.total);
    }
    const std::string all = by == OverviewBy::year ? "total" : "total,";
    for (const std::size_t sport : table.columns) line(all, sportKeyText(sport), table.sportTotals[sport]);
    line(all, "total", table.total);
    return out;
}

void appendTotals(std::string& out, const RouteTotals& totals) {
    out += "{\"count\":" + std::to_string(totals.count) + ",\"meters\":" + jsonNumber(totals.meters) +
           ",\"seconds\":" + jsonNumber(totals.seconds) +
           ",\"ascentMeters\":" + jsonNumber(totals.ascentMeters) + "}";
}

void appendSports(std::string& out, const std::array<RouteTotals, kOverviewSportCount>& sports,
                  const std::vector<std::size_t>& columns) {
    out += "{";
    bool first = true;
    for (const std::size_t sport : columns) {
        if (sports[sport].count == 0) continue;
        out += (first ? "\"" : ",\"") + sportKeyText(sport) + "\":";
        appendTotals(out, sports[sport]);
        first = false;
    }
    out += "}";
}

// One object: the rows (year null for the routes without a date), each sport's and the grand total.
std::string jsonTable(const OverviewTable& table, OverviewBy by) {
    std::string out = by == OverviewBy::year ? "{\"by\":\"year\",\"rows\":[" : "{\"by\":\"month\",\"rows\":[";
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const OverviewRow& row = table.rows[i];
        out += i == 0 ? "{\"year\":" : ",{\"year\":";
        out += row.year == kNoYear ? std::string("null") : std::to_string(row.year);
        if (by == OverviewBy::month)
            out += ",\"month\":" + (row.month > 0 ? std::to_string(row.month) : "null");
        out += ",\"sports\":";
        appendSports(out, row.sports, table.columns);
        out += ",\"total\":";
        appendTotals(out, row.total);
        out += "}";
    }
    out += "],\"sports\":";
    appendSports(out, table.sportTotals, table.columns);
    out += ",\"total\":";
    appendTotals(out, table.total);
    out += "}\n";
    return out;
}

}  // namespace

std::string statsOutput(const OverviewTable& table, OverviewBy by, StatsFormat format,
                        const ActiveLanguage& language) {
    switch (format) {
        case StatsFormat::csv:
            return csvTable(table, by);
        case StatsFormat::json:
            return jsonTable(table, by);
        case StatsFormat::text:
            break;
    }
    return textTable(table, by, language);
}
