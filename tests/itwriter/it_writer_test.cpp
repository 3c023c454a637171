#include "tools/itwriter/it_writer.h"

#include "platform/module_info.h"
#include "tests/music_fixture/music_fixture.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

ModuleInfo probe(const std::vector<uint8_t>& bytes) { return probeModule(bytes.data(), bytes.size()); }

ItModule twoPatternModule() {
    ItSample tone;
    tone.name = "tone";
    tone.pcm.assign(64, 0);
    for (int i = 0; i < 64; ++i) tone.pcm[i] = static_cast<int16_t>(i < 32 ? 8000 : -8000);
    tone.loopStart = 0;
    tone.loopEnd = 64;

    ItModule m;
    m.songName = "writer test";
    m.initialSpeed = 3;
    m.initialTempo = 150;
    m.channels = 2;
    m.samples.push_back(tone);
    m.patterns.emplace_back(16, 2);
    m.patterns.emplace_back(32, 2);
    m.patterns[0].at(0, 0) = ItCell{60, 1, 64, 0, 0};
    m.patterns[1].at(0, 1) = ItCell{72, 1, 32, 0, 0};
    m.orders = {0, 1, 0};
    return m;
}

}  // namespace

TEST(ItWriter, WrittenModuleLoadsWithItsOrdersRowsAndTempo) {
    const ModuleInfo info = probe(writeItModule(twoPatternModule()));
    ASSERT_TRUE(info.loaded) << info.error;
    EXPECT_EQ(info.title, "writer test");
    EXPECT_EQ(info.orders, 3);
    EXPECT_EQ(info.patterns, 2);
    EXPECT_EQ(info.rowsPerOrder, (std::vector<int>{16, 32, 16}));
    EXPECT_EQ(info.initialSpeed, 3);
    EXPECT_EQ(info.initialTempo, 150);
    // 64 rows of 3 ticks, a tick lasting 2.5 / 150 s.
    EXPECT_NEAR(info.duration_seconds, 64 * 3 * 2.5 / 150, 0.01);
}

TEST(ItWriter, EndMarkerStopsTheSongAndSkipMarkerIsPassedOver) {
    ItModule m = twoPatternModule();
    m.orders = {0, kItOrderSkip, 1, kItOrderEnd, 0, 0};
    const ModuleInfo info = probe(writeItModule(m));
    ASSERT_TRUE(info.loaded) << info.error;
    EXPECT_NEAR(info.duration_seconds, 48 * 3 * 2.5 / 150, 0.01);
}

TEST(ItWriter, PackedEffectsAreRead) {
    ItModule m = twoPatternModule();
    m.patterns[0].at(3, 1).effect = kItEffectBreak;     // leave pattern 0 after row 3
    m.patterns[1].at(0, 0).effect = kItEffectSetSpeed;  // pattern 1 at speed 6
    m.patterns[1].at(0, 0).param = 6;
    m.orders = {0, 1};
    const ModuleInfo info = probe(writeItModule(m));
    ASSERT_TRUE(info.loaded) << info.error;
    EXPECT_NEAR(info.duration_seconds, (4 * 3 + 32 * 6) * 2.5 / 150, 0.01);
}

TEST(ItWriter, EightBitSampleWritesOneBytePerFrame) {
    ItModule m = twoPatternModule();
    const size_t sixteen = writeItModule(m).size();
    m.samples[0].eightBit = true;
    const std::vector<uint8_t> bytes = writeItModule(m);
    EXPECT_EQ(bytes.size(), sixteen - 64);
    EXPECT_TRUE(probe(bytes).loaded);
}

TEST(ItWriter, FixtureModuleHasTheRequestedShape) {
    TestModuleShape shape;
    shape.orderCount = 5;
    shape.rowsPerPattern = 128;
    const ModuleInfo info = probe(makeTestModule(shape));
    ASSERT_TRUE(info.loaded) << info.error;
    EXPECT_EQ(info.orders, 5);
    EXPECT_EQ(info.rowsPerOrder[4], 128);
    EXPECT_NEAR(info.duration_seconds, 5 * 128 * rowDuration_seconds(shape), 0.01);
}

TEST(ItWriter, RejectsOutOfRangeFields) {
    ItModule m = twoPatternModule();
    m.orders = {0, 2};
    EXPECT_THROW(writeItModule(m), std::invalid_argument);
    m = twoPatternModule();
    m.patterns[0].at(1, 0).sample = 2;
    EXPECT_THROW(writeItModule(m), std::invalid_argument);
    m = twoPatternModule();
    m.initialTempo = 20;
    EXPECT_THROW(writeItModule(m), std::invalid_argument);
    m = twoPatternModule();
    m.samples[0].loopEnd = 65;
    EXPECT_THROW(writeItModule(m), std::invalid_argument);
}

TEST(ItWriter, BytesThatAreNoModuleAreReportedNotLoaded) {
    const std::vector<uint8_t> junk(300, 0x41);
    const ModuleInfo info = probe(junk);
    EXPECT_FALSE(info.loaded);
    EXPECT_FALSE(info.error.empty());
}
