#pragma once
// The sensor figures a track point carries in its extensions element: heart rate, cadence, air
// temperature and power, each an element of that name behind any prefix (gpxtpx:hr, ns3:hr, power).

#include <string>
#include <string_view>

enum PointExtraId { kHeartRateExtra, kCadenceExtra, kAirTemperatureExtra, kPowerExtra, kPointExtraCount };

struct PointExtras {
    double value[kPointExtraCount] = {};
    bool has[kPointExtraCount] = {};
};

// The first element of each name within the point content's first extensions element, read as a
// number (C locale, strtod prefix rule). A value that is no finite number, a heart rate that is not
// above 0 and a negative cadence or power count as absent: recorders write 0 or -1 for a sensor
// that is not there. `buffer` holds decoded text for the moment.
void readPointExtras(std::string_view content, PointExtras& extras, std::string& buffer);
