// The directory of a pack held in memory, for the pack tool's list and extract:
// every searchable record, checked against the pack's real length; and the
// total the files announce, which every reader checks before unpacking.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// One searchable file of a pack (the never-matched last record is left out).
struct PackListing {
    std::string name;
    bool packed = false;
    uint32_t offset = 0;
    uint32_t storedSize = 0;    // bytes in the pack
    uint32_t unpackedSize = 0;  // from the packed stream's header word, else storedSize
};

// The files of `pack` in directory order. Throws LoadError with the problem
// (the caller adds the file name) for a directory that does not fit the pack.
std::vector<PackListing> listPack(std::span<const uint8_t> pack);

// What the files announce in all once unpacked (packed: the stream header's
// size; stored: the record's size), records repeating the same offset, size
// and packing counted once, since readers keep one copy of such bytes.
uint64_t announcedBytes(std::span<const PackListing> files);

// Throws LoadError "<packName>: files announce N bytes unpacked, more than the
// limit of 1073741824" when announcedBytes passes pack::kMaxAnnouncedBytes.
// Readers call it before unpacking anything.
void checkAnnouncedBytes(const std::string& packName, std::span<const PackListing> files);

// The bytes of one listed file, unpacked when stored packed. Throws LoadError
// for a stream that `unpack` rejects.
std::vector<uint8_t> extractFile(std::span<const uint8_t> pack, const PackListing& file);
