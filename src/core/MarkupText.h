#pragma once
// Small helpers that read GPX as raw text: no document tree is ever built.
// Element and attribute names match in any ASCII letter case and with an optional prefix.

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

// The file's bytes, unchanged. Throws GpxFailure("Datei kann nicht gelesen werden"), also for
// anything but a regular file (a folder, a device, a pipe).
std::string readFileText(const std::filesystem::path& path);
// Decoded text of the first element `name` in `text` (nested tags removed), or empty.
std::string elementText(std::string_view text, std::string_view name);
// Decoded value of the first attribute `name` in an attribute list, or empty.
std::string attributeText(std::string_view attributes, std::string_view name);
// (value, found); (0, false) when there is no usable finite-range number.
std::pair<double, bool> attributeNumber(std::string_view attributes, std::string_view name);
// Replaces the five predefined XML entities in one left-to-right pass.
std::string decodeEntities(std::string_view text);
// C-locale strtod prefix rule: leading white space skipped, longest numeric prefix converted.
// False when no prefix forms a number or the value is out of a double's range.
bool parseNumberPrefix(std::string_view text, double& value);
// A figure written plainly at `from` ("-?\d+" with an optional point, no exponent, at most 19
// digits): its end, with `value` as parseNumberPrefix reads the same bytes. kNoPosition for
// anything else, which is left to the general rules.
size_t plainNumberEnd(std::string_view text, size_t from, double& value);
