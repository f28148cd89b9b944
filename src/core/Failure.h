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
// A rewrite that would lose someone else's change, or split a file's names, is refused.
inline constexpr const char* kMessageChangedMeanwhile = "Datei wurde inzwischen von einem anderen Programm geändert";
inline constexpr const char* kMessageFileBusy = "Datei wird gerade von einem anderen Programm geändert";
inline constexpr const char* kMessageHardLinks = "Datei hat mehrere Namen (harte Verknüpfungen)";
inline constexpr const char* kMessageUtf16NotRewritten = "UTF-16-Dateien werden nicht umgeschrieben";
inline constexpr const char* kMessageTooLarge = "Datei zu groß";
// Not a failure: the figures stand, but the file was cut (RouteInfo::warningText).
inline constexpr const char* kMessageEndsEarly = "Die Datei endet vorzeitig";
