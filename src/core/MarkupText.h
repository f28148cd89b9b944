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

// How a file's texts are written. UTF-16 files are known by their byte-order mark and read whole
// as UTF-8; a single-byte encoding is known from the XML declaration, and only the texts the
// analysis keeps are converted (the markup itself is ASCII in all of them).
enum class TextEncoding { utf8, latin1, windows1252 };
// A UTF-16 byte-order mark (little- or big-endian) at the start.
bool startsWithUtf16Mark(std::string_view bytes);
// The UTF-16 text behind the mark as UTF-8 (a last odd byte is dropped, an unpaired surrogate
// becomes U+FFFD).
std::string utf16BytesToUtf8(std::string_view bytes);
// ISO-8859-1 (Latin-1) or windows-1252 when the XML declaration at the text's start names it,
// in any letter case; UTF-8 otherwise.
TextEncoding declaredEncoding(std::string_view text);
// `text` converted from `encoding` to UTF-8.
std::string textToUtf8(std::string_view text, TextEncoding encoding);
