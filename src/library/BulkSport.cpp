#include "library/BulkSport.h"

#include "core/SportRewrite.h"

UndoRecord changeSportOfFiles(const std::vector<std::filesystem::path>& files, std::string_view sportKey,
                              const std::atomic<bool>* cancel,
                              const std::function<void(const SportChangeResult&)>& done,
                              std::uint64_t capBytes) {
    UndoRecord record{UndoKind::sport, {}};
    std::uint64_t held = 0;
    std::size_t firstHeld = 0;
    for (const std::filesystem::path& file : files) {
        if (cancel != nullptr && cancel->load()) break;
        SportChangeResult result{file, false, {}};
        std::string before;
        std::string after;
        result.changed = rewriteSport(file, sportKey, result.message, before, after);
        if (result.changed) {
            held += before.size();
            record.entries.push_back({file, {}, std::move(before), undoHash(after)});
            // Memory stays within the cap too: the oldest old bytes are let go first.
            while (held > capBytes && firstHeld < record.entries.size()) {
                held -= record.entries[firstHeld].bytes.size();
                std::string().swap(record.entries[firstHeld++].bytes);
            }
        }
        if (done) done(result);
    }
    record.entries.erase(record.entries.begin(),
                         record.entries.begin() + static_cast<std::ptrdiff_t>(firstHeld));
    return record;
}
