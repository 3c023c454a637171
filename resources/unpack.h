// The decompressor of packed streams in the pack file (Huffman-coded LZ tokens
// with an optional byte-delta filter). Used by PackFile::read and the pack tool.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Largest unpacked size a stream may announce. The presentation's files are
// far smaller; the limit keeps a damaged header from claiming a gigabyte.
constexpr uint32_t kMaxUnpackedBytes = 64u << 20;

// Restores one packed stream. Throws LoadError with a short problem text (the
// caller adds the file name) when the stream is malformed: it never reads past
// `packed` nor writes past the announced size, and always ends.
std::vector<uint8_t> unpack(std::span<const uint8_t> packed);
