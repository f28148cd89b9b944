// libFuzzer target: any bytes read as TCX without crashing, in linear time, and what is read holds
// what the GPX writer relies on: points on Earth, no empty segment, nothing beside a failure.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/PointFields.h"
#include "core/TcxReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const TcxRead read = readTcx(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.failureKey.empty() && !read.activities.empty()) std::abort();
    for (const Activity& activity : read.activities) {
        for (const ActivitySegment& segment : activity.segments) {
            if (segment.points.empty()) std::abort();
            for (const ActivityPoint& point : segment.points) {
                if (!usableCoordinates(point.lat, point.lon)) std::abort();
            }
        }
    }
    return 0;
}
