#include "core/TcxReader.h"

#include <string>

#include "core/MarkupText.h"
#include "core/PointFields.h"
#include "core/SportWeather.h"

namespace {

constexpr std::string_view kDamaged = "reasonDamagedTcx";

// An element's name without its namespace prefix ("ns3:Watts" is "Watts").
std::string_view localName(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool isNameChar(char c) {
    return c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '/' && c != '>';
}

std::optional<double> numberIn(std::string_view text) {
    double value = 0;
    if (!parseNumberPrefix(text, value)) return std::nullopt;
    return value;
}

std::optional<int> wholeIn(std::string_view text) {
    const std::optional<double> value = numberIn(text);
    if (!value || *value < 0 || *value > 100000) return std::nullopt;
    return static_cast<int>(*value + 0.5);
}

// The state of one pass: the open elements (names only, as a stack that grows with the nesting,
// never the call stack) and the record being filled.
struct TcxPass {
    std::vector<std::string_view> open;
    TcxRead result;
    Activity* activity = nullptr;
    ActivityPoint point;
    std::optional<double> lat, lon;
    bool inPoint = false;
    bool pointHasData = false;
    bool sawRoot = false;

    std::string_view parent(std::size_t up) const {
        return open.size() > up ? open[open.size() - 1 - up] : std::string_view();
    }

    void startSegment() {
        if (activity && (activity->segments.empty() || !activity->segments.back().points.empty()))
            activity->segments.emplace_back();
    }

    void start(std::string_view name, std::string_view attributes) {
        if (name == "TrainingCenterDatabase") sawRoot = true;
        if (name == "Activity" || name == "Course") {
            activity = &result.activities.emplace_back();
            if (name == "Activity") activity->sportKey = sportKeyForType(attributeText(attributes, "Sport"));
        } else if (name == "Lap" && activity && !activity->startMillis) {
            startFrom(attributeText(attributes, "StartTime"));
        } else if (name == "Track") {
            startSegment();
        } else if (name == "Trackpoint" && activity) {
            if (activity->segments.empty()) activity->segments.emplace_back();
            point = {};
            lat.reset();
            lon.reset();
            inPoint = true;
            pointHasData = false;
        }
    }

    void startFrom(std::string_view stamp) {
        StampInstant instant;
        if (!readStampInstant(stamp, instant)) return;
        activity->startMillis = instant.seconds * 1000;
        activity->utcOffsetMinutes = instant.offsetMinutes;
    }

    // The text of a leaf element that just ended, by where it stands.
    void text(std::string_view name, std::string_view raw) {
        if (!activity) return;
        const std::string_view up = parent(1);
        if (name == "Id" && up == "Activity") {
            startFrom(raw);
        } else if (name == "Name" && up == "Course") {
            activity->name = decodeEntities(raw);
        } else if (!inPoint) {
            return;
        } else if (name == "Time" && up == "Trackpoint") {
            StampInstant instant;
            if (readStampInstant(raw, instant)) point.timeMillis = instant.seconds * 1000;
        } else if (name == "LatitudeDegrees") {
            lat = numberIn(raw);
        } else if (name == "LongitudeDegrees") {
            lon = numberIn(raw);
        } else if (name == "AltitudeMeters") {
            point.elevationMeters = numberIn(raw);
        } else if (name == "Value" && up == "HeartRateBpm") {
            point.heartRate = wholeIn(raw);
        } else if ((name == "Cadence" && up == "Trackpoint") || (name == "RunCadence" && !point.cadence)) {
            point.cadence = wholeIn(raw);
        } else if (name == "Watts") {
            point.powerWatts = wholeIn(raw);
        } else {
            return;
        }
        pointHasData = true;
    }

    void end(std::string_view name) {
        if (name == "Activity" || name == "Course") {
            if (activity && !activity->segments.empty() && activity->segments.back().points.empty())
                activity->segments.pop_back();
            activity = nullptr;
        } else if (name == "Track") {
            startSegment();
        } else if (name == "Trackpoint" && inPoint && activity) {
            inPoint = false;
            if (lat && lon && usableCoordinates(*lat, *lon)) {
                point.lat = *lat;
                point.lon = *lon;
                activity->segments.back().points.push_back(point);
            } else if (pointHasData) {
                activity->hadPointsWithoutPosition = true;
            }
        }
    }
};

}  // namespace

TcxRead readTcx(std::string_view bytes) {
    TcxPass pass;
    std::size_t textStart = 0;
    std::size_t at = 0;
    while ((at = bytes.find('<', at)) != std::string_view::npos) {
        const std::string_view rest = bytes.substr(at);
        // Comments, declarations and processing instructions hold nothing of the activity.
        std::string_view close;
        if (rest.starts_with("<!--")) {
            close = "-->";
        } else if (rest.starts_with("<![CDATA[")) {
            close = "]]>";
        } else if (rest.starts_with("<?")) {
            close = "?>";
        } else if (rest.starts_with("<!")) {
            close = ">";
        }
        if (!close.empty()) {
            const std::size_t end = bytes.find(close, at + 2);
            if (end == std::string_view::npos) return {{}, kDamaged};
            at = end + close.size();
            continue;
        }
        const bool closing = rest.starts_with("</");
        std::size_t nameEnd = at + (closing ? 2 : 1);
        while (nameEnd < bytes.size() && isNameChar(bytes[nameEnd])) ++nameEnd;
        const std::string_view name =
            localName(bytes.substr(at + (closing ? 2 : 1), nameEnd - at - (closing ? 2 : 1)));
        // The tag's end, stepping over quoted attribute values, which may hold '>'.
        std::size_t end = nameEnd;
        char quote = 0;
        for (; end < bytes.size(); ++end) {
            const char c = bytes[end];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
        }
        if (end >= bytes.size() || name.empty()) return {{}, kDamaged};
        if (closing) {
            if (pass.open.empty() || pass.open.back() != name) return {{}, kDamaged};
            pass.text(name, bytes.substr(textStart, at - textStart));
            pass.end(name);
            pass.open.pop_back();
        } else {
            const bool empty = bytes[end - 1] == '/';
            pass.open.push_back(name);
            pass.start(name, bytes.substr(nameEnd, end - nameEnd - (empty ? 1 : 0)));
            if (empty) {
                pass.end(name);
                pass.open.pop_back();
            }
        }
        at = end + 1;
        textStart = at;
    }
    if (!pass.sawRoot || !pass.open.empty()) return {{}, kDamaged};
    // An activity nested in another one leaves the outer one's open segment behind: no segment is
    // ever empty for the writer.
    for (Activity& activity : pass.result.activities)
        std::erase_if(activity.segments,
                      [](const ActivitySegment& segment) { return segment.points.empty(); });
    return std::move(pass.result);
}
