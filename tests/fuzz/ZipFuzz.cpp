// libFuzzer target: any bytes read as a ZIP (and as gzip) without crashing, and never unpacking
// more than the budget allows, whatever sizes the archive claims.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "library/Archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const UnpackBudget first = unpackBudgetFor(size);
    UnpackBudget budget = first;
    std::uint64_t unpacked = 0;
    std::string out;
    std::vector<ZipEntry> entries;
    const ArchiveSource source = memorySource(bytes);
    if (readZipDirectory(source, entries).empty()) {
        for (std::size_t i = 0; i < entries.size() && i < 64; ++i) {
            if (unzipEntry(source, entries[i], out, budget).empty())
                unpacked += out.size();
            else if (!out.empty())
                std::abort();
        }
    }
    if (gunzip(bytes, out, budget).empty()) unpacked += out.size();
    if (unpacked > first.left || budget.left > first.left) std::abort();
    return 0;
}
