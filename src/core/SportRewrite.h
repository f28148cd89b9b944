#pragma once
// Writes a sport key into the `type` element of the first track or route of a file, in place.

#include <filesystem>
#include <string>
#include <string_view>

#include "core/RouteInfo.h"

// The text core of rewriteSport: `text` with `sportKey` in the type element of its first track or
// route, replacing the track's own type element or inserting one as its first child; every other
// byte stays; tags inside comments, CDATA sections and the like are not looked at. Throws
// GpxFailure when there is no track or route start tag, or no end tag for it, and for a UTF-16 file.
std::string rewriteSportText(std::string_view text, std::string_view sportKey);
// Writes the result into the file through a fresh temporary file beside it and a replace, the file
// locked from the read to the replace and refused when it changed meanwhile or has more than one
// name. True on success; false with `message` (UTF-8, German) set. The file is never left damaged.
bool rewriteSport(const RouteInfo& route, std::string_view sportKey, std::string& message);
// The same write for one file, handing back its bytes as they were read (`before`) and as they were
// written (`after`), so that the change can be undone byte for byte.
bool rewriteSport(const std::filesystem::path& file, std::string_view sportKey, std::string& message,
                  std::string& before, std::string& after);
