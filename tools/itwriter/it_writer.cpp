// Serialises an ItModule into the Impulse Tracker file layout: the 0xC0-byte
// header, the order list, offset tables, sample headers, patterns, sample data.
#include "tools/itwriter/it_writer.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr size_t kSamplePointerField = 0x48;  // offset of the data pointer in a sample header
constexpr int kMaxSamples = 99;
constexpr int kMaxPatterns = 200;
constexpr int kMaxOrders = 256;

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void u8(int v) { out_.push_back(static_cast<uint8_t>(v)); }
    void u16(int v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(uint32_t v) {
        u16(static_cast<int>(v & 0xFFFF));
        u16(static_cast<int>(v >> 16));
    }
    void text(const std::string& s, size_t field_bytes) {
        // Zero-padded; the last byte of the field always stays 0.
        for (size_t i = 0; i < field_bytes; ++i)
            u8(i + 1 < field_bytes && i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
    }
    void tag(const char* fourChars) {
        for (int i = 0; i < 4; ++i) u8(fourChars[i]);
    }
    void zeros(size_t n) { out_.insert(out_.end(), n, 0); }
    size_t size() const { return out_.size(); }
    void patchU32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }

private:
    std::vector<uint8_t>& out_;
};

void require(bool ok, const std::string& what) {
    if (!ok) throw std::invalid_argument("IT module: " + what);
}

void checkCell(const ItCell& c, int sampleCount, const std::string& where) {
    require(
        c.note == kItNoNote || (c.note >= 0 && c.note <= 119) || c.note == kItNoteCut || c.note == kItNoteOff,
        where + ": note out of range");
    require(c.sample >= 0 && c.sample <= sampleCount, where + ": sample number out of range");
    require(c.volume >= -1 && c.volume <= 212, where + ": volume column out of range");
    require(c.effect >= 0 && c.effect <= 26, where + ": effect out of range");
    require(c.param >= 0 && c.param <= 255, where + ": effect parameter out of range");
}

void checkModule(const ItModule& m) {
    require(m.initialSpeed >= 1 && m.initialSpeed <= 255, "initial speed must be 1..255");
    require(m.initialTempo >= 32 && m.initialTempo <= 255, "initial tempo must be 32..255");
    require(m.globalVolume >= 0 && m.globalVolume <= 128, "global volume must be 0..128");
    require(m.mixingVolume >= 0 && m.mixingVolume <= 128, "mixing volume must be 0..128");
    require(m.channels >= 1 && m.channels <= 64, "channel count must be 1..64");
    require(m.samples.size() <= kMaxSamples, "more than 99 samples");
    require(m.patterns.size() <= kMaxPatterns, "more than 200 patterns");
    require(m.orders.size() < kMaxOrders, "more than 255 orders");
    for (int order : m.orders)
        require(order == kItOrderSkip || order == kItOrderEnd ||
                    (order >= 0 && order < static_cast<int>(m.patterns.size())),
                "order names a missing pattern");
    for (size_t i = 0; i < m.samples.size(); ++i) {
        const ItSample& s = m.samples[i];
        const std::string where = "sample " + std::to_string(i + 1);
        require(s.c5Speed_hz > 0, where + ": C-5 speed must be positive");
        require(s.defaultVolume >= 0 && s.defaultVolume <= 64, where + ": default volume must be 0..64");
        require(s.globalVolume >= 0 && s.globalVolume <= 64, where + ": global volume must be 0..64");
        const int length = static_cast<int>(s.pcm.size());
        require(s.loopEnd <= s.loopStart || (s.loopStart >= 0 && s.loopEnd <= length),
                where + ": loop outside the sample");
    }
    for (size_t p = 0; p < m.patterns.size(); ++p) {
        const ItPattern& pat = m.patterns[p];
        const std::string where = "pattern " + std::to_string(p);
        require(pat.rows >= 1 && pat.rows <= 200, where + ": row count must be 1..200");
        require(pat.channels == m.channels, where + ": channel count differs from the module's");
        require(pat.cells.size() == static_cast<size_t>(pat.rows) * pat.channels,
                where + ": cell count differs from rows x channels");
        for (const ItCell& c : pat.cells) checkCell(c, static_cast<int>(m.samples.size()), where);
    }
}

// Mask bits of the packed pattern format.
constexpr int kMaskNote = 1;
constexpr int kMaskSample = 2;
constexpr int kMaskVolume = 4;
constexpr int kMaskEffect = 8;

// Packed rows: per used cell a channel byte (channel + 1, bit 7 when a new
// mask follows), the mask, then the fields the mask names; a 0 ends the row.
// A mask equal to the channel's previous one is not repeated.
std::vector<uint8_t> packPattern(const ItPattern& pat) {
    std::vector<uint8_t> out;
    std::vector<int> lastMask(pat.channels, -1);
    for (int row = 0; row < pat.rows; ++row) {
        for (int ch = 0; ch < pat.channels; ++ch) {
            const ItCell& c = pat.at(row, ch);
            int mask = 0;
            if (c.note != kItNoNote) mask |= kMaskNote;
            if (c.sample != 0) mask |= kMaskSample;
            if (c.volume >= 0) mask |= kMaskVolume;
            if (c.effect != 0) mask |= kMaskEffect;
            if (mask == 0) continue;
            if (mask == lastMask[ch]) {
                out.push_back(static_cast<uint8_t>(ch + 1));
            } else {
                out.push_back(static_cast<uint8_t>((ch + 1) | 0x80));
                out.push_back(static_cast<uint8_t>(mask));
                lastMask[ch] = mask;
            }
            if (mask & kMaskNote) out.push_back(static_cast<uint8_t>(c.note));
            if (mask & kMaskSample) out.push_back(static_cast<uint8_t>(c.sample));
            if (mask & kMaskVolume) out.push_back(static_cast<uint8_t>(c.volume));
            if (mask & kMaskEffect) {
                out.push_back(static_cast<uint8_t>(c.effect));
                out.push_back(static_cast<uint8_t>(c.param));
            }
        }
        out.push_back(0);
    }
    require(out.size() <= 0xFFFF, "a pattern packs to more than 65535 bytes");
    return out;
}

// The data pointer is written as 0 and filled in once the data is placed.
void writeSampleHeader(ByteWriter& w, const ItSample& s) {
    const bool loop = s.loopEnd > s.loopStart;
    int flags = 0;
    if (!s.pcm.empty()) flags |= 1;  // sample data present
    if (!s.eightBit) flags |= 2;
    if (loop) flags |= 16;
    w.tag("IMPS");
    w.text(s.name, 12);  // DOS file name
    w.u8(0);
    w.u8(s.globalVolume);
    w.u8(flags);
    w.u8(s.defaultVolume);
    w.text(s.name, 26);
    w.u8(1);   // signed samples
    w.u8(32);  // default pan 32, not in use (bit 7 clear)
    w.u32(static_cast<uint32_t>(s.pcm.size()));
    w.u32(loop ? static_cast<uint32_t>(s.loopStart) : 0);
    w.u32(loop ? static_cast<uint32_t>(s.loopEnd) : 0);
    w.u32(static_cast<uint32_t>(s.c5Speed_hz));
    w.u32(0);  // sustain loop
    w.u32(0);
    w.u32(0);  // data pointer
    w.zeros(4);  // vibrato speed, depth, rate, type
}

void writeSampleData(ByteWriter& w, const ItSample& s) {
    for (int16_t v : s.pcm) {
        if (s.eightBit)
            w.u8(static_cast<uint8_t>(static_cast<int8_t>(v >> 8)));
        else
            w.u16(static_cast<uint16_t>(v));
    }
}

}  // namespace

ItPattern::ItPattern(int rowCount, int channelCount)
    : rows(rowCount),
      channels(channelCount),
      cells(static_cast<size_t>(std::max(rowCount, 0)) * std::max(channelCount, 0)) {}

std::vector<uint8_t> writeItModule(const ItModule& m) {
    checkModule(m);
    std::vector<int> orders = m.orders;
    if (orders.empty() || orders.back() != kItOrderEnd) orders.push_back(kItOrderEnd);

    const int sampleCount = static_cast<int>(m.samples.size());
    const int patternCount = static_cast<int>(m.patterns.size());

    std::vector<uint8_t> bytes;
    ByteWriter w(bytes);
    w.tag("IMPM");
    w.text(m.songName, 26);
    w.u16(0x1004);  // row highlight: minor 4, major 16
    w.u16(static_cast<int>(orders.size()));
    w.u16(0);  // no instruments: sample mode
    w.u16(sampleCount);
    w.u16(patternCount);
    w.u16(0x0214);  // created with / compatible with version 2.14
    w.u16(0x0214);
    w.u16(1 | 8);  // stereo, linear slides
    w.u16(0);      // no song message
    w.u8(m.globalVolume);
    w.u8(m.mixingVolume);
    w.u8(m.initialSpeed);
    w.u8(m.initialTempo);
    w.u8(128);                                                              // stereo separation
    w.u8(0);                                                                // pitch wheel depth
    w.u16(0);                                                               // message length
    w.u32(0);                                                               // message offset
    w.u32(0);                                                               // reserved
    for (int ch = 0; ch < 64; ++ch) w.u8(ch < m.channels ? 32 : 32 | 128);  // centre; unused channels are off
    for (int ch = 0; ch < 64; ++ch) w.u8(64);
    for (int order : orders) w.u8(order);

    // Offset tables, filled in once the parts are placed.
    const size_t sampleTable = w.size();
    w.zeros(4 * static_cast<size_t>(sampleCount));
    const size_t patternTable = w.size();
    w.zeros(4 * static_cast<size_t>(patternCount));

    std::vector<size_t> sampleHeaderAt(sampleCount);
    for (int i = 0; i < sampleCount; ++i) {
        sampleHeaderAt[i] = w.size();
        w.patchU32(sampleTable + 4 * i, static_cast<uint32_t>(w.size()));
        writeSampleHeader(w, m.samples[i]);
    }
    for (int p = 0; p < patternCount; ++p) {
        const std::vector<uint8_t> packed = packPattern(m.patterns[p]);
        w.patchU32(patternTable + 4 * p, static_cast<uint32_t>(w.size()));
        w.u16(static_cast<int>(packed.size()));
        w.u16(m.patterns[p].rows);
        w.zeros(4);
        bytes.insert(bytes.end(), packed.begin(), packed.end());
    }
    for (int i = 0; i < sampleCount; ++i) {
        const ItSample& s = m.samples[i];
        const uint32_t dataOffset = s.pcm.empty() ? 0 : static_cast<uint32_t>(w.size());
        w.patchU32(sampleHeaderAt[i] + kSamplePointerField, dataOffset);
        writeSampleData(w, s);
    }
    return bytes;
}
