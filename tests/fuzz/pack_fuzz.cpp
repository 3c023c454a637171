// Pack directory and record reads: the input is a whole pack. PackFile reads
// it from a file, the listing of the pack tool from memory; both must agree on
// refusing it and on every file's bytes, and a file read must have the size
// its record announces.
#include <optional>
#include <set>
#include <tuple>

#include "resources/pack_file.h"
#include "resources/pack_listing.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The first listed record of `name`'s case-blind name: the one readers serve.
const PackListing* servedRecord(const std::vector<PackListing>& listed, const PackEntry& entry) {
    for (const PackListing& file : listed)
        if (file.offset == entry.offset && file.storedSize == entry.size &&
            file.packed == ((entry.flags & pack::kPackedFlags) != 0))
            return &file;
    return nullptr;
}

std::optional<std::vector<uint8_t>> extracted(std::span<const uint8_t> bytes, const PackListing& file) {
    try {
        return extractFile(bytes, file);
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const std::string& path = fuzz::writeScratchFile(data, size);

    std::optional<std::vector<PackListing>> listed;
    try {
        listed = listPack(bytes);
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
    }

    PackFile pack;
    bool refused = false;
    try {
        fuzz::check(pack.open(path) == 0, "an existing pack opens");
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
        refused = true;
    }
    if (listed) {
        // A directory the listing accepts passes PackFile's own checks; only
        // the announced total can refuse it, the same way for both readers.
        const uint64_t total = announcedBytes(*listed);
        fuzz::check(refused == (total > pack::kMaxAnnouncedBytes),
                    "both readers refuse a pack past the limit, and only such a pack");
        fuzz::check(refused || pack.announcedBytes() == total, "both readers sum the same announcements");
    }
    if (refused || pack.announcedBytes() > fuzz::kMaxAnnouncedToRead) return 0;

    // Records repeating one stored range read the same: each is read once
    // (a pack of 99 damaged copies would otherwise spend its time in errors).
    std::set<std::tuple<uint32_t, uint32_t, uint32_t>> done;
    for (const std::string& name : fuzz::searchableNames(bytes)) {
        const PackEntry* entry = pack.findEntry(name);
        fuzz::check(entry != nullptr, "every searchable name is found", name);
        if (!done.insert({entry->offset, entry->size, entry->flags & pack::kPackedFlags}).second) continue;
        std::optional<std::vector<uint8_t>> read;
        try {
            read = pack.read(name);
            fuzz::check(read.has_value(), "a name found in the pack is read from it", name);
        } catch (const LoadError& error) {
            fuzz::checkOneLine(error);
        }
        if (read && (entry->flags & pack::kPackedFlags) == 0)
            fuzz::check(read->size() == entry->size, "a stored file has its record's size", name);
        if (!listed) continue;
        const PackListing* file = servedRecord(*listed, *entry);
        fuzz::check(file != nullptr, "the listing holds the record PackFile serves", name);
        if (read) fuzz::check(read->size() == file->unpackedSize, "a file has the size it announces", name);
        const std::optional<std::vector<uint8_t>> fromMemory = extracted(bytes, *file);
        fuzz::check(fromMemory == read, "the pack tool and PackFile read the same bytes", name);
    }
    return 0;
}
