// Packs that announce far more than they hold: the lone 10-byte stream that
// honestly unpacks to 64 MiB, and 99-record packs pointing at it. Shared by
// the reader, cache, pack tool and start-up tests and by the fuzz regressions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resources/pack_format.h"

namespace bombs {

constexpr uint32_t kStreamBytes = 64u << 20;
constexpr uint8_t kStreamByte = 'A';
constexpr uint32_t kRecords = 99;

// Header 64 MiB; escape 0x01; one table entry, the literal 'A' with a code of
// length 0 at the root, so every token is 'A' without reading a bit; end mark.
inline std::vector<uint8_t> loneTenByteStream() {
    return {0x00, 0x00, 0x00, 0x04, 0x01, kStreamByte, 0x00, 0x00, 0x01, pack::kTableEnd};
}

// 99 packed records, all at the one stream. With `sameSize` every record is
// the same 10 bytes (readers count and keep them once); otherwise record k
// takes 10 + k bytes (the stream and k ignored bytes after it), so every
// record announces its own 64 MiB.
inline std::vector<uint8_t> ninetyNineRecordPack(bool sameSize) {
    std::vector<uint8_t> out;
    auto putWord = [&](uint32_t value) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    const std::vector<uint8_t> stream = loneTenByteStream();
    const uint32_t streamAt = 4 + kRecords * pack::kRecordSize;
    putWord(kRecords);
    for (uint32_t k = 0; k < kRecords; ++k) {
        putWord(0x80000000u);
        putWord(streamAt);
        putWord(static_cast<uint32_t>(stream.size()) + (sameSize ? 0 : k));
        char name[pack::kNameSize] = {};
        std::string("bomb" + std::to_string(k) + ".bin").copy(name, pack::kNameSize - 1);
        out.insert(out.end(), name, name + pack::kNameSize);
    }
    out.insert(out.end(), stream.begin(), stream.end());
    if (!sameSize) out.resize(out.size() + kRecords - 1, 0);
    return out;
}

}  // namespace bombs
