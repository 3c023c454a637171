// The generated module: libopenmpt loads it, it has the orders, rows and
// tempo the schedule needs, and its accents land on the scene triggers.
#include <gtest/gtest.h>

#include "platform/module_info.h"
#include "tools/content/content.h"
#include "tools/content/instruments.h"
#include "tools/content/music_timing.h"
#include "tools/content/song.h"

namespace {

const std::vector<uint8_t>& music() {
    static const std::vector<uint8_t> bytes = makeMusic();
    return bytes;
}

// The unpacked cells of one pattern, read back from the module bytes.
struct PatternReader {
    const std::vector<uint8_t>& bytes;

    uint32_t u32(size_t at) const {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
               static_cast<uint32_t>(bytes[at + 3]) << 24;
    }
    uint16_t u16(size_t at) const { return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8); }

    // (row, channel) -> sample number of every cell with a note and sample.
    std::vector<std::pair<int, int>> notesOf(int pattern, int sample) const {
        const size_t orders = u16(0x20), instruments = u16(0x22), samples = u16(0x24);
        const size_t table = 0xC0 + orders + 4 * instruments + 4 * samples;
        const size_t at = u32(table + 4 * static_cast<size_t>(pattern));
        const size_t packedBytes = u16(at);
        size_t p = at + 8;
        const size_t end = p + packedBytes;
        int masks[64] = {}, row = 0;
        std::vector<std::pair<int, int>> found;
        while (p < end) {
            const int channelByte = bytes[p++];
            if (channelByte == 0) {
                ++row;
                continue;
            }
            const int channel = (channelByte - 1) & 63;
            if (channelByte & 0x80) masks[channel] = bytes[p++];
            const int mask = masks[channel];
            int note = -1, sampleNumber = 0;
            if (mask & 1) note = bytes[p++];
            if (mask & 2) sampleNumber = bytes[p++];
            if (mask & 4) ++p;
            if (mask & 8) p += 2;
            if (note >= 0 && note < 120 && sampleNumber == sample) found.push_back({row, channel});
        }
        return found;
    }
};

bool hasRow(const std::vector<std::pair<int, int>>& notes, int row) {
    for (const auto& n : notes) {
        if (n.first == row) return true;
    }
    return false;
}

}  // namespace

TEST(Music, LoadsWithFortyEightOrdersOf128Rows) {
    const ModuleInfo info = probeModule(music().data(), music().size());
    ASSERT_TRUE(info.loaded) << info.error;
    EXPECT_GE(info.orders, 48);
    for (int order = 0; order < info.orders; ++order)
        EXPECT_EQ(info.rowsPerOrder[static_cast<size_t>(order)], 128);
    EXPECT_EQ(info.initialSpeed, musictime::kSpeed);
    EXPECT_EQ(info.initialTempo, musictime::kTempo);
    EXPECT_EQ(info.channels, song::kChannelCount);
}

TEST(Music, ThePresentationLastsFiveToSixMinutes) {
    const ModuleInfo info = probeModule(music().data(), music().size());
    ASSERT_TRUE(info.loaded);
    // One pass plays every order at the constant tempo, so orders 0-45 take
    // their share of the whole.
    const double perOrder = info.duration_seconds / info.orders;
    EXPECT_NEAR(perOrder, 128 * 3 * 2.5 / 130, 0.05);
    const double presentation = perOrder * musictime::kEndOrder;
    EXPECT_GE(presentation, 300.0);
    EXPECT_LE(presentation, 360.0);
    // Each order starts its share later than the one before (the capture
    // foresees its length from these).
    ASSERT_EQ(info.orderStart_seconds.size(), static_cast<size_t>(info.orders));
    EXPECT_EQ(info.orderStart_seconds[0], 0.0);
    EXPECT_NEAR(info.orderStart_seconds[musictime::kEndOrder], presentation, 0.05);
}

TEST(Music, StabsFallOnTheWordBeatsAndHitsOnThePortraitChanges) {
    const PatternReader reader{music()};
    const std::vector<int> rowsA = {0,  8,  24, 28,  32,  34,  36,  44,  52,  56,  58,  60,  62, 64,
                                    80, 92, 96, 100, 102, 104, 106, 108, 112, 114, 116, 118, 120};
    for (int order : {5, 6, 7}) {
        const auto stabs = reader.notesOf(order, sampleno::kStab);
        for (int row : rowsA) {
            if (order != 5 && row == 96) {
                EXPECT_FALSE(hasRow(stabs, row));
                continue;
            }
            EXPECT_TRUE(hasRow(stabs, row)) << "order " << order << " row " << row;
        }
        EXPECT_EQ(stabs.size(), order == 5 ? 27u : 26u);
    }
    const std::vector<std::vector<int>> hits = {{70}, {10, 30, 70, 90}, {10, 30, 90}};
    for (int order = 0; order < 3; ++order) {
        const auto impacts = reader.notesOf(order, sampleno::kImpact);
        EXPECT_EQ(impacts.size(), hits[static_cast<size_t>(order)].size());
        for (int row : hits[static_cast<size_t>(order)]) EXPECT_TRUE(hasRow(impacts, row));
    }
}

TEST(Music, EverySampleHasSoundAndLoopedOnesLoopInside) {
    const std::vector<ItSample> samples = makeInstruments();
    ASSERT_EQ(static_cast<int>(samples.size()), sampleno::kCount);
    for (const ItSample& s : samples) {
        SCOPED_TRACE(s.name);
        int peak = 0;
        for (int16_t v : s.pcm) peak = std::max(peak, std::abs(static_cast<int>(v)));
        EXPECT_GT(peak, 20000);
        if (s.loopEnd > s.loopStart) {
            EXPECT_LE(s.loopEnd, static_cast<int>(s.pcm.size()));
            // The loop joins smoothly: the sample before the end is close to the one before the start.
            EXPECT_LT(std::abs(s.pcm[static_cast<size_t>(s.loopEnd - 1)] -
                               s.pcm[static_cast<size_t>(s.loopStart - 1)]),
                      2000);
        }
    }
}

TEST(Music, IsTheSameOnEveryRun) { EXPECT_EQ(makeMusic(), music()); }
