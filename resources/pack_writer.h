// The writing side of the pack file format: packs single files into packed
// streams and lays out whole packs. Used by zedariva-pack and the content generator.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// One file to be packed: its name in the pack (at most 19 characters) and bytes.
struct PackInput {
    std::string name;
    std::vector<uint8_t> bytes;
};

// Packs one file (at most pack::kSizeMask bytes) into a packed stream that
// `unpack` restores byte for byte, trying each filter and keeping the smallest.
// Throws std::length_error for a file that is too large.
std::vector<uint8_t> packStream(std::span<const uint8_t> data);

// The packed stream for one filter choice: 0 (none), pack::kFilterStride1 or
// pack::kFilterStride3. packStream keeps the smallest of the three.
std::vector<uint8_t> packStreamFiltered(std::span<const uint8_t> data, uint32_t filter);

// A whole pack: the directory (files + 1 records, the last one never matched
// by readers) and each file's stored bytes, packed where that makes it smaller
// (files above the reader's kMaxUnpackedBytes are always stored as they are).
// Throws std::invalid_argument naming the file for an empty, too long or
// duplicate name, a name with a path separator, or more than 99 files; and
// for files of more than pack::kMaxAnnouncedBytes in all, which readers refuse.
std::vector<uint8_t> buildPack(const std::vector<PackInput>& files);

// buildPack written to `path`. Throws std::runtime_error naming the path when
// the file cannot be written.
void writePack(const std::string& path, const std::vector<PackInput>& files);
