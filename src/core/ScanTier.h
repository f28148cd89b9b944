#pragma once
// Which of the byte searches' fast paths run: the processor is asked once, when the program
// starts, and the searches of that tier are put in the one table every search is called through. Each tier is
// a whole search on its own (a wider one runs the narrower ones for the bytes its rounds leave over), so
// tests can force each tier the machine can execute and compare it with the plain one.
//   plain: one byte at a time;
//   word:  eight bytes at a time in a 64-bit word;
//   sse2:  sixteen bytes at a time (every x86-64 processor);
//   avx2:  thirty-two bytes at a time where a search has such a path (the name filter).

enum class ScanTier : unsigned char { plain, word, sse2, avx2 };

inline constexpr ScanTier kScanTiers[] = {ScanTier::plain, ScanTier::word, ScanTier::sse2, ScanTier::avx2};

const char* scanTierName(ScanTier tier);
// Whether this build and this processor can execute the tier.
bool scanTierAvailable(ScanTier tier);
// The fastest available tier.
ScanTier bestScanTier();

// The tier the searches run in now (the table of searches lives with them, core/TagScanner).
ScanTier activeScanTier();
// For tests: run the searches in `tier` from now on. A tier the machine cannot execute is
// refused (false) and the tier in use stays.
bool forceScanTierForTests(ScanTier tier);
