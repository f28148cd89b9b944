#pragma once
// The listed routes written out for other programs: a CSV table for spreadsheets and GeoJSON for
// maps. Both are whole texts, written to a file by the caller.

#include <cstddef>
#include <string>
#include <vector>

#include "core/RouteInfo.h"
#include "i18n/Language.h"
#include "ui/ListView.h"

// The routes the list shows (after search and filters), in its order.
std::vector<const RouteInfo*> listedRoutes(const ListView& view);

// The CSV table: UTF-8 with a byte-order mark (spreadsheets read it as UTF-8 then), CRLF line ends,
// fields quoted where they hold a comma, a quote or a line break. The list's columns as the list
// shows them, headed in the interface language, then the figures for programs under fixed English
// names: file, start_lat, start_lon, finish_lat, finish_lon, duration_s, distance_m (plain numbers
// with '.' decimals; empty where the route has none).
std::string routesCsv(const std::vector<const RouteInfo*>& routes, const ActiveLanguage& language);

struct GeoJsonExport {
    std::string text;
    std::size_t written = 0;  // features
    std::size_t leftOut = 0;  // routes without a point to show
};
// A FeatureCollection: one LineString per route from its outline ([longitude, latitude]), a Point
// for a route of one point; a route without points is left out and counted. Properties: name,
// file, date (the first time stamp in its own zone, or null), sport (its key), distance_m,
// duration_s.
GeoJsonExport routesGeoJson(const std::vector<const RouteInfo*>& routes);
