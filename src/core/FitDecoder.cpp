#include "core/FitDecoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "core/PointFields.h"

namespace {

// FIT times count seconds from 1989-12-31 00:00 UTC.
constexpr int64_t kFitEpochSeconds = 631065600;
constexpr double kDegreesPerSemicircle = 180.0 / 2147483648.0;

// The checksum is CRC-16 with the reflected polynomial 0xA001, taken a byte at a time.
constexpr std::array<uint16_t, 256> kCrcTable = [] {
    std::array<uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        unsigned crc = byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[byte] = static_cast<uint16_t>(crc);
    }
    return table;
}();

uint16_t crc16(const uint8_t* bytes, size_t size) {
    unsigned crc = 0;
    for (size_t i = 0; i < size; ++i) crc = (crc >> 8) ^ kCrcTable[(crc ^ bytes[i]) & 0xFF];
    return static_cast<uint16_t>(crc);
}

uint32_t littleEndian32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Size, sign and "no value" pattern of each base type, indexed by its number (the low five bits).
struct BaseType {
    uint8_t size;
    bool isSigned;
    bool isFloat;
    uint64_t invalid;
};
constexpr std::array<BaseType, 17> kBaseTypes = {{
    {1, false, false, 0xFF},                // enum
    {1, true, false, 0x7F},                 // sint8
    {1, false, false, 0xFF},                // uint8
    {2, true, false, 0x7FFF},               // sint16
    {2, false, false, 0xFFFF},              // uint16
    {4, true, false, 0x7FFFFFFF},           // sint32
    {4, false, false, 0xFFFFFFFF},          // uint32
    {1, false, false, 0},                   // string: never read as a number
    {4, false, true, 0xFFFFFFFF},           // float32
    {8, false, true, 0xFFFFFFFFFFFFFFFF},   // float64
    {1, false, false, 0},                   // uint8z
    {2, false, false, 0},                   // uint16z
    {4, false, false, 0},                   // uint32z
    {1, false, false, 0xFF},                // byte
    {8, true, false, 0x7FFFFFFFFFFFFFFF},   // sint64
    {8, false, false, 0xFFFFFFFFFFFFFFFF},  // uint64
    {8, false, false, 0},                   // uint64z
}};

// The messages and fields an activity needs; a field's slot is its place in its message's list.
enum : uint16_t { kFileId = 0, kSport = 12, kSession = 18, kRecord = 20, kEvent = 21, kActivity = 34 };
constexpr uint8_t kTimestampField = 253;
constexpr std::array<uint8_t, 9> kRecordFields = {253, 0, 1, 2, 3, 4, 7, 13, 78};
enum { rTime, rLat, rLon, rAltitude, rHeartRate, rCadence, rPower, rTemperature, rEnhancedAltitude };
constexpr std::array<uint8_t, 3> kEventFields = {253, 0, 1};
constexpr std::array<uint8_t, 4> kSessionFields = {253, 2, 5, 6};
constexpr std::array<uint8_t, 3> kSportFields = {253, 0, 1};
constexpr std::array<uint8_t, 2> kActivityFields = {253, 5};
constexpr std::array<uint8_t, 2> kFileIdFields = {253, 4};
constexpr size_t kMaxSlots = kRecordFields.size();

int slotOf(uint16_t global, uint8_t field) {
    auto find = [field](const auto& list) {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] == field) return static_cast<int>(i);
        return -1;
    };
    switch (global) {
        case kRecord:
            return find(kRecordFields);
        case kEvent:
            return find(kEventFields);
        case kSession:
            return find(kSessionFields);
        case kSport:
            return find(kSportFields);
        case kActivity:
            return find(kActivityFields);
        case kFileId:
            return find(kFileIdFields);
        default:
            return field == kTimestampField ? 0 : -1;
    }
}

struct FieldDefinition {
    uint8_t size = 0;
    uint8_t baseType = 0;
    int8_t slot = -1;  // -1: skipped
};

struct LocalDefinition {
    bool defined = false;
    bool bigEndian = false;
    uint16_t global = 0;
    std::vector<FieldDefinition> fields;  // at most 255, by the count's width
    size_t dataSize = 0;                  // the message's bytes after its header, developer fields included
};

std::optional<double> fieldValue(const uint8_t* p, const FieldDefinition& field, bool bigEndian) {
    const size_t type = field.baseType & 0x1F;
    if (type >= kBaseTypes.size() || type == 7) return std::nullopt;
    const BaseType& base = kBaseTypes[type];
    // An array's first element stands for the field.
    if (field.size < base.size) return std::nullopt;
    uint64_t raw = 0;
    for (size_t i = 0; i < base.size; ++i) {
        const uint8_t byte = p[bigEndian ? i : base.size - 1 - i];
        raw = raw << 8 | byte;
    }
    if (raw == base.invalid) return std::nullopt;
    if (base.isFloat) {
        if (base.size == 4) {
            float f;
            const uint32_t bits = static_cast<uint32_t>(raw);
            std::memcpy(&f, &bits, 4);
            return std::isfinite(f) ? std::optional<double>(f) : std::nullopt;
        }
        double d;
        std::memcpy(&d, &raw, 8);
        return std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
    }
    if (base.isSigned) {
        const unsigned shift = 64 - 8 * base.size;
        return static_cast<double>(static_cast<int64_t>(raw << shift) >> shift);
    }
    return static_cast<double>(raw);
}

struct SportRule {
    int sport;
    int subSport;  // -1: any
    std::string_view key;
};
// Sport and sub-sport numbers as the FIT profile gives them; the first rule that matches wins.
constexpr SportRule kSportRules[] = {
    {2, 8, "mountain_biking"}, {2, 46, "gravel_cycling"},  {2, 28, "e_bike"},        {2, 47, "e_bike"},
    {2, -1, "cycling"},        {21, -1, "e_bike"},         {1, 3, "trail_running"},  {1, -1, "running"},
    {11, -1, "walking"},       {17, -1, "hiking"},         {5, -1, "swimming"},      {13, -1, "skiing"},
    {12, -1, "skiing"},        {30, -1, "inline_skating"}, {15, -1, "rowing"},       {41, -1, "kayaking"},
    {19, -1, "kayaking"},      {24, -1, "driving"},        {22, -1, "motorcycling"},
};
constexpr int kTransitionSport = 3;

// What one FIT file of a chain gives.
struct FileState {
    Activity activity;
    bool hasRecords = false;
    bool segmentEnded = true;  // the next point with a position starts a segment
    std::optional<uint32_t> lastTimestamp;
    bool anySession = false;
    bool sessionSportsDiffer = false;
    std::string_view sessionKey;
    std::optional<std::string_view> sportMessageKey;
    std::optional<int64_t> firstRecordMillis;
    std::optional<int64_t> createdMillis;
    std::array<LocalDefinition, 16> definitions;
    std::vector<ActivityPoint>* everyRecord = nullptr;
};

// A time field as milliseconds since 1970; none for a value no time field can hold (a field
// defined with a wider type than the profile's).
std::optional<int64_t> fitMillis(const std::optional<double>& fitSeconds) {
    if (!fitSeconds || !(*fitSeconds >= 0 && *fitSeconds <= 0xFFFFFFFF)) return std::nullopt;
    return (static_cast<int64_t>(*fitSeconds) + kFitEpochSeconds) * 1000;
}

std::optional<int> optionalInt(const std::optional<double>& value) {
    if (!value || !(*value >= -2147483648.0 && *value <= 2147483647.0)) return std::nullopt;
    return static_cast<int>(*value);
}

int intValue(const std::optional<double>& value) {
    return optionalInt(value).value_or(-1);
}

void takeRecord(FileState& state, const std::array<std::optional<double>, kMaxSlots>& v) {
    state.hasRecords = true;
    ActivityPoint point;
    point.timeMillis = fitMillis(v[rTime]);
    if (!state.firstRecordMillis) state.firstRecordMillis = point.timeMillis;
    const std::optional<double>& altitude = v[rEnhancedAltitude] ? v[rEnhancedAltitude] : v[rAltitude];
    if (altitude) point.elevationMeters = *altitude / 5.0 - 500.0;
    point.heartRate = optionalInt(v[rHeartRate]);
    point.cadence = optionalInt(v[rCadence]);
    point.powerWatts = optionalInt(v[rPower]);
    if (v[rTemperature]) point.temperatureC = *v[rTemperature];
    const bool positioned = v[rLat] && v[rLon];
    point.lat = positioned ? *v[rLat] * kDegreesPerSemicircle : std::nan("");
    point.lon = positioned ? *v[rLon] * kDegreesPerSemicircle : std::nan("");
    if (state.everyRecord) state.everyRecord->push_back(point);
    if (!usableCoordinates(point.lat, point.lon)) {
        state.activity.hadPointsWithoutPosition = true;
        return;
    }
    auto& segments = state.activity.segments;
    if (state.segmentEnded || segments.empty()) {
        if (segments.empty() || !segments.back().points.empty()) segments.emplace_back();
        state.segmentEnded = false;
    }
    segments.back().points.push_back(point);
}

void takeMessage(FileState& state, uint16_t global, const std::array<std::optional<double>, kMaxSlots>& v) {
    switch (global) {
        case kRecord:
            takeRecord(state, v);
            break;
        case kEvent:
            // The timer stopped (stop, stop all, stop and disable): a pause ends the segment.
            if (intValue(v[1]) == 0) {
                const int type = intValue(v[2]);
                if (type == 1 || type == 4 || type == 8 || type == 9) state.segmentEnded = true;
            }
            break;
        case kSession: {
            if (!state.activity.startMillis) state.activity.startMillis = fitMillis(v[1]);
            const int sport = intValue(v[2]);
            if (sport == kTransitionSport) break;
            const std::string_view key = sportKeyForFit(sport, intValue(v[3]));
            if (state.anySession && key != state.sessionKey) state.sessionSportsDiffer = true;
            state.anySession = true;
            state.sessionKey = key;
            break;
        }
        case kSport:
            state.sportMessageKey = sportKeyForFit(intValue(v[1]), intValue(v[2]));
            break;
        case kActivity:
            if (v[0] && v[1]) {
                const double offsetSeconds = *v[1] - *v[0];
                if (offsetSeconds >= -14 * 3600 && offsetSeconds <= 14 * 3600)
                    state.activity.utcOffsetMinutes = static_cast<int32_t>(std::lround(offsetSeconds / 60));
            }
            break;
        case kFileId:
            if (v[1]) state.createdMillis = fitMillis(v[1]);
            break;
        default:
            break;
    }
}

void finishFile(FileState& state, FitDecoding& out) {
    if (!state.hasRecords) return;
    Activity& activity = state.activity;
    if (state.anySession)
        activity.sportKey = state.sessionSportsDiffer ? "" : state.sessionKey;
    else if (state.sportMessageKey)
        activity.sportKey = *state.sportMessageKey;
    if (!activity.startMillis)
        activity.startMillis = state.firstRecordMillis ? state.firstRecordMillis : state.createdMillis;
    out.activities.push_back(std::move(activity));
}

// The messages of one file's data. Stops at the first fault; `end` is where the bytes that are
// there end, `cut` whether that is before the data the header announced.
FitProblem readMessages(const uint8_t* data, size_t begin, size_t end, bool cut, FileState& state) {
    // A message that runs past the end is a cut file, or one past its data's end a broken message.
    const FitProblem ranOut = cut ? FitProblem::cut : FitProblem::badMessage;
    std::array<std::optional<double>, kMaxSlots> values;
    size_t p = begin;
    while (p < end) {
        const uint8_t header = data[p++];
        std::optional<uint32_t> compressedTime;
        size_t local;
        if (header & 0x80) {
            // A compressed header carries the low five bits of the time since the last full one.
            local = (header >> 5) & 0x3;
            if (state.lastTimestamp) {
                const uint32_t last = *state.lastTimestamp;
                const uint32_t offset = header & 0x1F;
                uint32_t time = (last & ~uint32_t(0x1F)) + offset;
                if (offset < (last & 0x1F)) time += 0x20;
                state.lastTimestamp = compressedTime = time;
            }
        } else if (header & 0x40) {
            LocalDefinition& definition = state.definitions[header & 0x0F];
            definition.defined = false;
            if (end - p < 5) return ranOut;
            const uint8_t architecture = data[p + 1];
            if (architecture > 1) return FitProblem::badMessage;
            definition.bigEndian = architecture == 1;
            definition.global = definition.bigEndian ? uint16_t(data[p + 2] << 8 | data[p + 3])
                                                     : uint16_t(data[p + 3] << 8 | data[p + 2]);
            const size_t count = data[p + 4];
            p += 5;
            if (end - p < count * 3) return ranOut;
            definition.fields.clear();
            definition.dataSize = 0;
            for (size_t i = 0; i < count; ++i, p += 3) {
                FieldDefinition field{data[p + 1], data[p + 2],
                                      static_cast<int8_t>(slotOf(definition.global, data[p]))};
                definition.dataSize += field.size;
                definition.fields.push_back(field);
            }
            if (header & 0x20) {
                // Developer fields: only their sizes matter, to step over them.
                if (end - p < 1) return ranOut;
                const size_t developerCount = data[p++];
                if (end - p < developerCount * 3) return ranOut;
                for (size_t i = 0; i < developerCount; ++i, p += 3) definition.dataSize += data[p + 1];
            }
            definition.defined = true;
            continue;
        } else {
            local = header & 0x0F;
        }
        const LocalDefinition& definition = state.definitions[local];
        if (!definition.defined) return FitProblem::badMessage;
        if (end - p < definition.dataSize) return ranOut;
        values.fill(std::nullopt);
        size_t at = p;
        for (const FieldDefinition& field : definition.fields) {
            if (field.slot >= 0) values[field.slot] = fieldValue(data + at, field, definition.bigEndian);
            at += field.size;
        }
        p += definition.dataSize;
        if (values[0] && *values[0] >= 0 && *values[0] <= 0xFFFFFFFF)
            state.lastTimestamp = static_cast<uint32_t>(*values[0]);
        else if (compressedTime)
            values[0] = *compressedTime;
        takeMessage(state, definition.global, values);
    }
    return FitProblem::none;
}

}  // namespace

std::string_view sportKeyForFit(int sport, int subSport) {
    for (const SportRule& rule : kSportRules)
        if (rule.sport == sport && (rule.subSport == -1 || rule.subSport == subSport)) return rule.key;
    return {};
}

FitDecoding decodeFit(std::string_view bytes, std::vector<ActivityPoint>* everyRecord) {
    FitDecoding out;
    const auto* all = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t start = 0;
    bool first = true;
    while (start < bytes.size() && out.problem == FitProblem::none) {
        const uint8_t* data = all + start;
        const size_t available = bytes.size() - start;
        if (available < 12 || std::memcmp(data + 8, ".FIT", 4) != 0) {
            out.problem = first ? FitProblem::notFit : FitProblem::badHeader;
            break;
        }
        first = false;
        const size_t headerSize = data[0];
        if (headerSize != 12 && headerSize != 14) {
            out.problem = FitProblem::badHeader;
            break;
        }
        if (available < headerSize) {
            out.problem = FitProblem::cut;
            break;
        }
        // A header of 14 bytes has its own checksum; writers may leave it zero.
        if (headerSize == 14) {
            const uint16_t stored = uint16_t(data[12] | data[13] << 8);
            if (stored != 0 && stored != crc16(data, 12)) {
                out.problem = FitProblem::badHeader;
                break;
            }
        }
        const size_t dataEnd = headerSize + static_cast<size_t>(littleEndian32(data + 4));
        const bool cut = dataEnd > available || available - dataEnd < 2;
        auto state = std::make_unique<FileState>();
        state->everyRecord = everyRecord;
        out.problem = readMessages(data, headerSize, std::min(dataEnd, available), cut, *state);
        if (out.problem == FitProblem::none && cut) out.problem = FitProblem::cut;
        if (out.problem == FitProblem::none &&
            crc16(data, dataEnd) != uint16_t(data[dataEnd] | data[dataEnd + 1] << 8))
            out.problem = FitProblem::badChecksum;
        finishFile(*state, out);
        start += dataEnd + 2;
    }
    if (out.problem == FitProblem::none && out.activities.empty()) out.problem = FitProblem::noActivity;
    out.partial = out.problem != FitProblem::none && !out.activities.empty();
    return out;
}
