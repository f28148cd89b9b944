#pragma once
// Pieces shared by both sides of the platform seam.

#include <string>
#include <string_view>

// UTF-8 to UTF-16 without help from the system: every maximal invalid subpart becomes one U+FFFD.
std::u16string decodeUtf8Portable(std::string_view text);
