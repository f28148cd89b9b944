#pragma once
// Outline figures as JSON text without the general float formatting.

// The shortest text that reads back as `value`, exactly as std::to_chars(double) writes it, for
// the figures an outline mostly holds (1 <= |value| < 10000, at most sixteen significant digits)
// and a few times faster. Returns the end of the text written at `out` (at most 18 characters),
// or nullptr for any other value, which std::to_chars is then to write.
char* shortestCoordinateText(char* out, double value);
