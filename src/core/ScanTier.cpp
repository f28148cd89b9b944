#include "core/ScanTier.h"

namespace {

bool processorHasAvx2() {
#if defined(__GNUC__) && defined(__x86_64__)
    __builtin_cpu_init();  // also in a static initializer, before the runtime has run it
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

}  // namespace

const char* scanTierName(ScanTier tier) {
    switch (tier) {
        case ScanTier::plain:
            return "plain";
        case ScanTier::word:
            return "word";
        case ScanTier::sse2:
            return "sse2";
        case ScanTier::avx2:
            return "avx2";
    }
    return "?";
}

bool scanTierAvailable(ScanTier tier) {
    switch (tier) {
        case ScanTier::plain:
        case ScanTier::word:
            return true;
        case ScanTier::sse2:
#if defined(__SSE2__)
            return true;
#else
            return false;
#endif
        case ScanTier::avx2:
            return scanTierAvailable(ScanTier::sse2) && processorHasAvx2();
    }
    return false;
}

ScanTier bestScanTier() {
    static const ScanTier best = [] {
        ScanTier found = ScanTier::plain;
        for (ScanTier tier : kScanTiers) {
            if (scanTierAvailable(tier)) found = tier;
        }
        return found;
    }();
    return best;
}
