// Length-limited canonical Huffman codes for the pack builder's token symbols,
// stored the way the pack reader walks them (bit 0 = first bit read).
#pragma once

#include <array>
#include <cstdint>

#include "resources/pack_format.h"

// One code per symbol 0..258; a symbol with count 0 has no code (used false).
struct HuffmanCode {
    bool used = false;
    uint8_t length = 0;  // 0 only when a single symbol is used: read without bits
    uint32_t bits = 0;   // the code with its first bit in bit 0
};

using SymbolCounts = std::array<uint64_t, pack::kSymbolCount>;
using CodeSet = std::array<HuffmanCode, pack::kSymbolCount>;

// Codes for the symbols with non-zero counts, no longer than maxLength bits
// (at most pack::kMaxCodeLength). A single used symbol gets the empty code.
CodeSet buildCodes(const SymbolCounts& counts, int maxLength = pack::kMaxCodeLength);

// The number of nodes besides the root that the reader's decoding tree takes
// from its pool for these codes.
int codeTreeNodeCount(const CodeSet& codes);
