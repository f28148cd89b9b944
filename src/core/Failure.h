#pragma once
// Failures inside an operation carry a fixed German message and are caught at its boundary.

#include <stdexcept>

struct GpxFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kMessageCannotRead = "Datei kann nicht gelesen werden";
inline constexpr const char* kMessageNoPoints = "Keine Track- oder Routenpunkte gefunden";
inline constexpr const char* kMessageNoTrackOrRoute = "GPX enthält weder Track noch Route";
inline constexpr const char* kMessageIncomplete = "Unvollständiges GPX-XML";
inline constexpr const char* kMessageTempNotWritten = "Temporäre Datei konnte nicht geschrieben werden";
inline constexpr const char* kMessageNotReplaced = "Datei konnte nicht ersetzt werden";
