#include "library/ActivityImport.h"

#include <algorithm>
#include <optional>

#include "library/Archive.h"
#include "library/ConvertToGpx.h"
#include "library/ExportCsv.h"
#include "library/SameFile.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

std::u16string lowerExtension(const fs::path& name) {
    return lowerText(pathToWide(name.extension()));
}

fs::path utf8Path(std::string_view text) {
    return widePath(utf8ToWide(text));
}

// The last part of an entry's path.
std::string_view baseName(std::string_view entry) {
    const std::size_t slash = entry.rfind('/');
    return slash == std::string_view::npos ? entry : entry.substr(slash + 1);
}

struct Importer {
    const fs::path& folder;
    std::vector<ImportItem> items;
    FileBuffer buffer;
    // The library's files, listed once at the first file of the batch: the same file or activity
    // imported again is no second route.
    std::optional<KnownLibraryFiles> known;

    KnownLibraryFiles& knownFiles() {
        if (!known) {
            createFolders(folder);
            known = listKnownLibraryFiles(folder);
        }
        return *known;
    }

    void fail(const fs::path& origin, std::string_view entry, std::string_view reasonKey,
              ImportFailure failure = ImportFailure::other) {
        items.push_back({origin, std::string(entry), {}, {{}, failure}, reasonKey, false});
    }

    // The bytes of one file called `name`, gzipped when the name says so.
    void importBytes(const fs::path& origin, std::string_view entry, fs::path name, std::string_view bytes,
                     UnpackBudget& budget, const ActivityLabel& label) {
        std::string unpacked;
        if (lowerExtension(name) == u".gz") {
            const std::string_view failure = gunzip(bytes, unpacked, budget);
            if (!failure.empty()) return fail(origin, entry, failure);
            bytes = unpacked;
            name = name.stem();
        }
        for (const ConvertedGpx& file : convertToGpx(bytes, sourceKindOf(name), pathToUtf8(name), label)) {
            if (!file.failureKey.empty()) {
                fail(origin, entry, file.failureKey);
                continue;
            }
            const fs::path wanted = utf8Path(file.name);
            items.push_back({origin,
                             std::string(entry),
                             wanted,
                             importBytesIntoLibrary(knownFiles(), folder, wanted, file.gpx),
                             {},
                             file.partial});
        }
    }

    void importFile(const fs::path& path, const fs::path& origin, std::string_view entry,
                    const ActivityLabel& label = {}) {
        const std::u16string extension = lowerExtension(path.filename());
        if (extension == u".gpx") {
            items.push_back({origin,
                             std::string(entry),
                             path.filename(),
                             importFileIntoLibrary(knownFiles(), folder, path),
                             {},
                             false});
            return;
        }
        if (extension == u".zip") return importZip(path);
        std::size_t size = 0;
        if (!readWholeFile(path, buffer, size)) {
            return fail(
                origin, entry, {},
                fileKind(path) == FileKind::missing ? ImportFailure::missingSource : ImportFailure::other);
        }
        UnpackBudget budget = unpackBudgetFor(size);
        importBytes(origin, entry, path.filename(), std::string_view(buffer.data, size), budget, label);
    }

    void importZip(const fs::path& path) {
        ArchiveSource source;
        if (!fileSource(path, source)) return fail(path, {}, {}, ImportFailure::missingSource);
        std::vector<ZipEntry> entries;
        if (const std::string_view failure = readZipDirectory(source, entries); !failure.empty())
            return fail(path, {}, failure);
        UnpackBudget budget = unpackBudgetFor(source.size);
        // A bulk export's list, wherever it lies: the shallowest one names the files beside it.
        const ZipEntry* list = nullptr;
        for (const ZipEntry& entry : entries) {
            if (baseName(entry.name) == "activities.csv" && (!list || entry.name.size() < list->name.size()))
                list = &entry;
        }
        std::map<std::string, ExportLabel, std::less<>> labels;
        std::string base;
        std::string bytes;
        if (list && unzipEntry(source, *list, bytes, budget).empty()) {
            labels = exportLabels(bytes);
            base = list->name.substr(0, list->name.size() - baseName(list->name).size());
        }
        const std::size_t before = items.size();
        for (const ZipEntry& entry : entries) {
            const fs::path name = utf8Path(baseName(entry.name));
            if (entry.isFolder() || !isImportableName(name) || lowerExtension(name) == u".zip") continue;
            if (const std::string_view failure = unzipEntry(source, entry, bytes, budget); !failure.empty()) {
                fail(path, entry.name, failure);
                continue;
            }
            ActivityLabel label;
            if (std::string_view(entry.name).starts_with(base)) {
                const auto found = labels.find(std::string_view(entry.name).substr(base.size()));
                if (found != labels.end()) label = {found->second.name, found->second.sportKey};
            }
            importBytes(path, entry.name, name, bytes, budget, label);
        }
        if (items.size() == before) fail(path, {}, "reasonNotImportable");
    }

    // A bulk export folder by its list; any other folder by the files directly inside it.
    void importFolder(const fs::path& path) {
        std::string list;
        if (readSmallRegularFile(path / "activities.csv", std::size_t{256} << 20, list)) {
            const auto labels = exportLabels(list);
            if (!labels.empty()) {
                for (const auto& [file, label] : labels)
                    importFile(path / utf8Path(file), path, file, {label.name, label.sportKey});
                return;
            }
        }
        std::vector<FolderEntry> entries;
        listFolder(path, entries);
        std::vector<fs::path> found;
        for (const FolderEntry& entry : entries) {
            if (entry.isFile && isImportableName(entry.name)) found.push_back(entry.name);
        }
        std::sort(found.begin(), found.end());
        for (const fs::path& name : found) importFile(path / name, path / name, {});
        if (found.empty()) fail(path, {}, "reasonNotImportable");
    }
};

}  // namespace

bool isImportableName(const fs::path& name) {
    const std::u16string extension = lowerExtension(name);
    if (extension == u".zip") return true;
    return sourceKindOf(extension == u".gz" ? name.stem() : name) != SourceKind::unknown;
}

std::vector<ImportItem> importSources(const fs::path& folder, const std::vector<fs::path>& sources) {
    Importer importer{folder, {}, {}, {}};
    for (const fs::path& source : sources) {
        try {
            if (fileKind(source) == FileKind::folder) {
                importer.importFolder(source);
            } else if (isImportableName(source.filename())) {
                importer.importFile(source, source, {});
            } else {
                importer.fail(source, {}, "reasonNotImportable");
            }
        } catch (const std::exception&) {
            // Only running out of memory gets here; the other sources still arrive.
            importer.fail(source, {}, {});
        }
    }
    return std::move(importer.items);
}

std::u16string shownOrigin(const ImportItem& item) {
    std::u16string shown = pathToWide(item.origin.filename().empty() ? item.origin : item.origin.filename());
    if (!item.entry.empty()) shown += u"/" + utf8ToWide(item.entry);
    return shown;
}
