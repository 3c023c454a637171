// The byte format of the pack file "data.fil" and of its packed streams,
// shared by the reader (PackFile, unpack) and the pack builder.
#pragma once

#include <cstdint>

namespace pack {

// Directory: a 32-bit record count, then that many 32-byte records.
constexpr uint32_t kMaxRecords = 100;
constexpr uint32_t kRecordSize = 32;
constexpr uint32_t kNameSize = 20;             // NUL-terminated, at most 19 characters
constexpr uint32_t kPackedFlags = 0xF0000000;  // any of these set: stored bytes are packed

// Most bytes a pack's files may announce in all, once unpacked: far above any
// real pack, far below what would exhaust memory or disk.
constexpr uint64_t kMaxAnnouncedBytes = uint64_t{1} << 30;

// Packed stream header word H.
constexpr uint32_t kSizeMask = 0x3FFFFFFF;     // unpacked size in bytes
constexpr uint32_t kFilterStride3 = 1u << 30;  // byte-delta filter, stride 3
constexpr uint32_t kFilterStride1 = 1u << 31;  // byte-delta filter, stride 1 (bit 30 clear)

// Code table: a byte E (0..127) escapes 16-bit symbols; E, 0xFF ends the table.
constexpr uint8_t kEscapeMax = 127;
constexpr uint8_t kTableEnd = 0xFF;
constexpr uint16_t kEscapedLiteral = 0x0080;  // E, 0x80, 0x00 stands for the literal E
constexpr int kMaxCodeLength = 32;

// Symbols of the bit stream.
constexpr int kLongMatch = 256;   // distance 16 bits, length 16 bits
constexpr int kRun = 257;         // byte 8 bits, count 24 bits
constexpr int kShortMatch = 258;  // distance 8 bits, length 8 bits
constexpr int kSymbolCount = 259;

// The decoder's tree takes its inner nodes from a pool of this many nodes
// besides the root.
constexpr int kNodePool = 1000;

}  // namespace pack
