// The LZ parse of the pack builder: turns a file's bytes into literals, long
// and short matches and runs. Used by packStream before Huffman coding.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// One token of a packed stream: symbol 0..255 is a literal; pack::kLongMatch
// and pack::kShortMatch carry (distance, length), pack::kRun carries (byte, count).
struct LzToken {
    uint16_t symbol = 0;
    uint16_t first = 0;   // distance (at most 65535) or run byte
    uint32_t second = 0;  // length (at most 65535) or run count (24 bits)
};

// Estimated bit costs that steer the choice between literals and tokens.
struct LzCosts {
    float literal = 8.0f;  // average bits per literal byte
    bool perByte = false;  // byteBits holds each literal's cost (else order-0 of the data)
    std::array<float, 256> byteBits{};
    float shortSymbol = 6.0f;  // code of the short match symbol, fields excluded
    float longSymbol = 7.0f;
    float runSymbol = 8.0f;
};

// Tokens that restore `data` exactly. Matches never reach before the start,
// distances are at least 1, and no field exceeds its width.
std::vector<LzToken> parseTokens(std::span<const uint8_t> data, const LzCosts& costs);

// Bits per byte of an order-0 model of `data` (at least 1), the literal cost.
float literalCost(std::span<const uint8_t> data);
