#include "resources/pack_listing.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "resources/byte_fields.h"
#include "resources/load_error.h"
#include "resources/pack_format.h"
#include "resources/unpack.h"

namespace {

PackListing readRecord(std::span<const uint8_t> pack, size_t at, uint32_t k) {
    const std::string where = "directory record " + std::to_string(k);
    PackListing file;
    file.packed = (wordAt(&pack[at]) & pack::kPackedFlags) != 0;
    file.offset = wordAt(&pack[at + 4]);
    file.storedSize = wordAt(&pack[at + 8]);
    const uint8_t* name = pack.data() + at + 12;
    const uint8_t* end = std::find(name, name + pack::kNameSize, uint8_t{0});
    if (end == name + pack::kNameSize) {
        throw LoadError(where + ": name not terminated within 20 bytes");
    }
    file.name.assign(name, end);
    if (uint64_t{file.offset} + file.storedSize > pack.size()) {
        throw LoadError(where + " (\"" + file.name + "\"): stored bytes run past the end of the pack");
    }
    file.unpackedSize = file.storedSize;
    if (file.packed) {
        if (file.storedSize < 4) {
            throw LoadError(where + " (\"" + file.name + "\"): packed stream shorter than its header");
        }
        file.unpackedSize = wordAt(&pack[file.offset]) & pack::kSizeMask;
    }
    return file;
}

}  // namespace

std::vector<PackListing> listPack(std::span<const uint8_t> pack) {
    if (pack.size() < 4) {
        throw LoadError("too short for a pack directory");
    }
    const uint32_t records = wordAt(pack.data());
    if (records > pack::kMaxRecords) {
        throw LoadError("directory of " + std::to_string(records) + " records (at most 100)");
    }
    if (4 + uint64_t{records} * pack::kRecordSize > pack.size()) {
        throw LoadError("directory runs past the end of the pack");
    }
    std::vector<PackListing> files;
    for (uint32_t k = 0; k + 1 < records; ++k) {
        files.push_back(readRecord(pack, 4 + size_t{k} * pack::kRecordSize, k));
    }
    return files;
}

std::vector<uint8_t> extractFile(std::span<const uint8_t> pack, const PackListing& file) {
    if (uint64_t{file.offset} + file.storedSize > pack.size()) {
        throw LoadError("\"" + file.name + "\": stored bytes run past the end of the pack");
    }
    std::span<const uint8_t> stored = pack.subspan(file.offset, file.storedSize);
    if (!file.packed) {
        return {stored.begin(), stored.end()};
    }
    return unpack(stored);
}

uint64_t announcedBytes(std::span<const PackListing> files) {
    std::set<std::tuple<uint32_t, uint32_t, bool>> counted;
    uint64_t total = 0;
    for (const PackListing& file : files) {
        if (counted.insert({file.offset, file.storedSize, file.packed}).second) total += file.unpackedSize;
    }
    return total;
}

void checkAnnouncedBytes(const std::string& packName, std::span<const PackListing> files) {
    const uint64_t total = announcedBytes(files);
    if (total > pack::kMaxAnnouncedBytes) {
        throw LoadError(packName + ": files announce " + std::to_string(total) + " bytes unpacked, more than the limit of " +
                        std::to_string(pack::kMaxAnnouncedBytes));
    }
}
