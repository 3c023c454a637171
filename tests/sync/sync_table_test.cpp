#include "sync/sync_table.h"

#include "sync/demo_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

uint32_t fakeNow_ms = 0;
uint32_t fakeRawPosition = 0;

uint32_t fakeClock() { return fakeNow_ms; }
uint32_t fakePosition() { return fakeRawPosition; }

std::vector<float> calls;
std::vector<float> otherCalls;
void recordScene(float t) { calls.push_back(t); }
void recordOtherScene(float t) { otherCalls.push_back(t); }

class SyncTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        syncTable = SyncTable{};
        calls.clear();
        otherCalls.clear();
        setDemoClockSource(fakeClock);
        setSyncPositionSource(fakePosition);
        fakeNow_ms = 50000;
        clockBase.store(fakeNow_ms);
        at(0, 0);
    }
    void TearDown() override {
        setDemoClockSource(nullptr);
        setSyncPositionSource(nullptr);
    }
    // The music is heard at (order, row): raw packing has the row in the high half.
    static void at(int order, int row) {
        fakeRawPosition = static_cast<uint32_t>(order) | (static_cast<uint32_t>(row) << 16);
    }
    static void advance(int ms) { fakeNow_ms += static_cast<uint32_t>(ms); }
};

}  // namespace

TEST(MusicPosition, RepacksOrderFromLowHalfAndRowFromHighHalf) {
    EXPECT_EQ(musicPositionFromRaw(0x00050003u), 3 * 65536 + 5);
    EXPECT_EQ(musicPositionFromRaw(0), 0);
    // Order first, then row.
    EXPECT_GT(musicPositionFromRaw(0x00000001u), musicPositionFromRaw(0x003F0000u));
}

TEST_F(SyncTableTest, TriggerAtStartUsesKeyMinusOneAndFiresFromTheFirstFrame) {
    advance(16);
    syncTrigger(0, 0, 1.0f, recordScene);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_FLOAT_EQ(calls[0], 0.0f);
    EXPECT_EQ(syncTable.slots[0].key, -1);
    EXPECT_EQ(syncTable.slots[0].time, 16);
}

TEST_F(SyncTableTest, TriggerRunsForItsDurationAndNeverAgain) {
    at(1, 0);
    for (int frame = 0; frame < 10; ++frame, advance(16)) syncTrigger(2, 0, 0.5f, recordScene);
    EXPECT_TRUE(calls.empty());

    at(2, 0);
    for (int frame = 0; frame < 200; ++frame, advance(16))  // 3.2 s of frames
        syncTrigger(2, 0, 0.5f, recordScene);
    ASSERT_EQ(calls.size(), 32u);  // 0, 0.016, … 0.496
    EXPECT_FLOAT_EQ(calls.front(), 0.0f);
    EXPECT_NEAR(calls.back(), 0.496f, 1e-6f);
    for (float t : calls) EXPECT_LT(t, 0.5f);
}

TEST_F(SyncTableTest, TriggerLengthIsComparedInSinglePrecision) {
    // 3.14f * 1000 and 6.28f * 1000 are exactly 3140 and 6280 as floats (in
    // double they are a little more), so the last call comes 1 ms before.
    // Triggers the scene at the current time, `length_ms` - 1 ms later and 1 ms after that.
    const auto triggerAroundEnd = [](int order, float duration, SceneFunction scene, int length_ms) {
        syncTrigger(order, 0, duration, scene);
        advance(length_ms - 1);
        syncTrigger(order, 0, duration, scene);
        advance(1);
        syncTrigger(order, 0, duration, scene);
    };
    at(3, 0);
    advance(100);
    syncTrigger(4, 0, 6.28f, recordOtherScene);  // its slot is made before order 4 is reached
    triggerAroundEnd(3, 3.14f, recordScene, 3140);
    EXPECT_EQ(calls.size(), 2u);

    at(4, 0);
    triggerAroundEnd(4, 6.28f, recordOtherScene, 6280);
    EXPECT_EQ(otherCalls.size(), 2u);
}

TEST_F(SyncTableTest, SpanIsCalledAtItsStartAndNotAtItsEnd) {
    at(5, 0);
    advance(100);
    syncSpan(5, 0, 9, 0, recordScene);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_FLOAT_EQ(calls[0], 0.0f);

    at(8, 63);
    advance(250);
    syncSpan(5, 0, 9, 0, recordScene);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_FLOAT_EQ(calls[1], 0.25f);

    at(9, 0);
    advance(16);
    syncSpan(5, 0, 9, 0, recordScene);
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(SyncTableTest, EntriesWithTheSameStartShareOneSlotAndOneStartTime) {
    at(5, 0);
    advance(1000);
    syncSpan(5, 0, 9, 0, recordScene);
    advance(7);
    syncTrigger(5, 0, 2.0f, recordOtherScene);
    advance(300);
    syncSpan(5, 0, 9, 0, recordScene);
    syncTrigger(5, 0, 2.0f, recordOtherScene);

    ASSERT_EQ(calls.size(), 2u);
    ASSERT_EQ(otherCalls.size(), 2u);
    EXPECT_FLOAT_EQ(calls[1], otherCalls[1]);
    EXPECT_NEAR(otherCalls[0], 0.007f, 1e-6f);
    EXPECT_EQ(syncTable.slots[1].key, 0);  // only one slot in use
}

TEST_F(SyncTableTest, JumpPastATriggerStampsItAtTheFirstFrameAtOrAfterItsStart) {
    at(1, 10);
    advance(500);
    syncTrigger(2, 0, 1.0f, recordScene);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(syncTable.slots[0].time, 0);

    at(3, 4);  // (2, 0) was skipped within one frame
    advance(40);
    syncTrigger(2, 0, 1.0f, recordScene);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_FLOAT_EQ(calls[0], 0.0f);
    EXPECT_EQ(syncTable.slots[0].time, 540);
}

TEST_F(SyncTableTest, StampsSurviveAClockRestartSoAnEarlyPositionGetsANegativeTime) {
    at(2, 0);
    advance(3000);
    syncSpan(2, 0, 4, 0, recordScene);
    EXPECT_EQ(syncTable.slots[0].time, 3000);

    clockBase.store(fakeNow_ms);  // the looping music started over
    advance(2000);
    syncSpan(2, 0, 4, 0, recordScene);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_FLOAT_EQ(calls[1], -1.0f);
}

TEST_F(SyncTableTest, HundredFiftyDistinctPositionsFit) {
    for (int i = 0; i < SyncTable::kSlots; ++i) EXPECT_EQ(syncSlot(i / 64, i % 64), i);
    EXPECT_EQ(syncSlot(0, 5), 5);
}

TEST_F(SyncTableTest, HundredFiftyFirstDistinctPositionEndsTheProcess) {
    for (int i = 0; i < SyncTable::kSlots; ++i) syncSlot(i / 64, i % 64);
    EXPECT_EXIT(syncSlot(40, 0), ::testing::ExitedWithCode(1), "");
}
