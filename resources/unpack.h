// The decompressor of packed streams in the pack file (Huffman-coded LZ tokens
// with an optional byte-delta filter). Used by PackFile::read and the pack tool.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Restores one packed stream. Throws LoadError with a short problem text (the
// caller adds the file name) when the stream is malformed.
std::vector<uint8_t> unpack(std::span<const uint8_t> packed);
