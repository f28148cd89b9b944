#include "ui/Export.h"

#include <charconv>
#include <cmath>

#include "core/PointFields.h"
#include "platform/Platform.h"
#include "ui/RouteColumns.h"
#include "ui/RouteListLogic.h"

namespace {

// The shortest text that reads back as the same number, always with '.'; empty for NaN and the
// infinities, which neither CSV readers nor JSON take.
std::string plainNumber(double value) {
    if (!std::isfinite(value)) return {};
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void appendCsvField(std::string& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// File names are bytes on POSIX: through UTF-16 and back, an invalid sequence becomes U+FFFD.
std::string fileNameText(const RouteInfo& route) {
    return wideToUtf8(utf8ToWide(pathToUtf8(route.filePath.filename())));
}

void appendJsonString(std::string& out, std::string_view utf8) {
    static constexpr char hex[] = "0123456789abcdef";
    out += '"';
    for (char c : wideToUtf8(utf8ToWide(utf8))) {
        const auto unit = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (unit < 0x20) {
            out += "\\u00";
            out += hex[unit >> 4];
            out += hex[unit & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendJsonNumber(std::string& out, double value) {
    const std::string text = plainNumber(value);
    out += text.empty() ? "null" : text;
}

void appendPosition(std::string& out, const std::pair<double, double>& point) {
    out += '[';
    appendJsonNumber(out, point.second);  // longitude first
    out += ',';
    appendJsonNumber(out, point.first);
    out += ']';
}

}  // namespace

std::vector<const RouteInfo*> listedRoutes(const ListView& view) {
    std::vector<const RouteInfo*> routes;
    routes.reserve(view.rows.size());
    for (const uint64_t row : view.rows) {
        if (row < view.routes.size()) routes.push_back(&view.routes[row]);
    }
    return routes;
}

std::string routesCsv(const std::vector<const RouteInfo*>& routes, const ActiveLanguage& language) {
    std::string out = "\xEF\xBB\xBF";
    for (const RouteColumn& column : routeColumns) {
        appendCsvField(out, wideToUtf8(columnHeaderText(column, language)));
        out += ',';
    }
    out += "file,start_lat,start_lon,finish_lat,finish_lon,duration_s,distance_m\r\n";
    for (const RouteInfo* route : routes) {
        for (const std::u16string& cell : routeRowTexts(*route, language)) {
            appendCsvField(out, wideToUtf8(cell));
            out += ',';
        }
        appendCsvField(out, fileNameText(*route));
        const bool failed = !route->errorText.empty();
        for (const auto& [has, value] :
             {std::pair{route->hasStartPlace, route->startLat},
              std::pair{route->hasStartPlace, route->startLon},
              std::pair{route->hasFinishPlace, route->finishLat},
              std::pair{route->hasFinishPlace, route->finishLon},
              std::pair{!failed && route->durationSeconds > 0, route->durationSeconds},
              std::pair{!failed, route->distanceMeters}}) {
            out += ',';
            if (has) out += plainNumber(value);
        }
        out += "\r\n";
    }
    return out;
}

GeoJsonExport routesGeoJson(const std::vector<const RouteInfo*>& routes) {
    GeoJsonExport result;
    std::string& out = result.text;
    out = "{\"type\":\"FeatureCollection\",\"features\":[";
    for (const RouteInfo* route : routes) {
        if (route->outline.empty()) {
            ++result.leftOut;
            continue;
        }
        out += result.written++ == 0 ? "\n" : ",\n";
        const bool single = route->outline.size() == 1;
        out += single ? R"({"type":"Feature","geometry":{"type":"Point","coordinates":)"
                      : R"({"type":"Feature","geometry":{"type":"LineString","coordinates":[)";
        for (std::size_t i = 0; i < route->outline.size(); ++i) {
            if (i > 0) out += ',';
            appendPosition(out, route->outline[i]);
        }
        out += single ? "}" : "]}";
        out += ",\"properties\":{\"name\":";
        appendJsonString(out, route->routeName.empty() ? route->fileStem : route->routeName);
        out += ",\"file\":";
        appendJsonString(out, fileNameText(*route));
        out += ",\"date\":";
        const std::string date =
            route->hasFirstTime ? stampInstantText(route->firstTimeSeconds, route->firstTimeOffsetMinutes)
                                : "";
        if (date.empty()) {
            out += "null";
        } else {
            appendJsonString(out, date);
        }
        out += ",\"sport\":";
        if (route->sportKey.empty()) {
            out += "null";
        } else {
            appendJsonString(out, route->sportKey);
        }
        out += ",\"distance_m\":";
        appendJsonNumber(out, route->distanceMeters);
        out += ",\"duration_s\":";
        if (route->durationSeconds > 0) {
            appendJsonNumber(out, route->durationSeconds);
        } else {
            out += "null";
        }
        out += "}}";
    }
    out += "\n]}\n";
    return result;
}
