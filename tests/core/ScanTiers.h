#pragma once
// Runs a check once for every byte-search tier (core/ScanTier) this machine can execute, with the
// tier's name in every failure message: the expensive reference is computed once, the searches
// run in each tier against it.

#include <gtest/gtest.h>

#include <string>

#include "core/ScanTier.h"

// Stops at the first fatal failure and leaves the best tier in use.
template <typename Check>
void inEveryScanTier(Check&& check) {
    for (ScanTier tier : kScanTiers) {
        if (!forceScanTierForTests(tier)) continue;
        SCOPED_TRACE(std::string("scan tier ") + scanTierName(tier));
        check();
        if (testing::Test::HasFatalFailure()) break;
    }
    forceScanTierForTests(bestScanTier());
}
