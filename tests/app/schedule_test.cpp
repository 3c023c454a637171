// The schedule followed through a simulated run of the music: which scenes run
// at chosen positions, and in which order.
#include "app/schedule.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/demo.h"
#include "sync/demo_clock.h"
#include "sync/sync_table.h"

namespace {

constexpr uint32_t kRowMs = 60;  // speed 3 at tempo 125
constexpr uint32_t kFrameMs = 20;

uint32_t simulatedNow = 0;  // milliseconds since the music started

uint32_t simulatedClock() { return 1000000 + simulatedNow; }

uint32_t simulatedRawPosition() {
    const uint32_t rows = simulatedNow / kRowMs;
    return (rows / 128) | ((rows % 128) << 16);
}

std::vector<std::string> called;

void record(const ScheduleEntry& entry, float) { called.emplace_back(entry.name); }

using Position = std::pair<int, int>;

// Runs the schedule frame by frame from the start of the music up to order
// `lastOrder` and keeps what was called on the first frame at each position.
std::map<Position, std::vector<std::string>> followMusic(int lastOrder) {
    syncTable = SyncTable{};
    simulatedNow = 0;
    setDemoClockSource(simulatedClock);
    setSyncPositionSource(simulatedRawPosition);
    restartDemoClock();

    std::map<Position, std::vector<std::string>> firstFrameAt;
    for (;; simulatedNow += kFrameMs) {
        const MusicPosition position = currentMusicPosition();
        const Position here{position >> 16, position & 0xFFFF};
        if (here.first > lastOrder) break;
        called.clear();
        runSchedule(record);
        firstFrameAt.emplace(here, called);
    }
    setDemoClockSource(nullptr);
    setSyncPositionSource(nullptr);
    return firstFrameAt;
}

using Names = std::vector<std::string>;

TEST(Schedule, CallsTheScenesOfEachPositionInListOrder) {
    const auto at = followMusic(46);

    EXPECT_EQ(at.at({0, 0}), (Names{"openingScene"}));
    EXPECT_EQ(at.at({0, 70}), (Names{"openingScene", "raiseLevel1"}));
    EXPECT_EQ(at.at({3, 0}), (Names{"openingScene", "smearWave"}));
    EXPECT_EQ(at.at({5, 0}), (Names{"wordFlash1"}));
    // Row 8's flash started 960 ms ago and still runs under the new one.
    EXPECT_EQ(at.at({5, 24}), (Names{"wordFlash2", "wordFlash3"}));
    EXPECT_EQ(at.at({6, 32}), (Names{"wordFlash10", "wordFlash11", "wordFlash8"}));
    EXPECT_EQ(at.at({20, 0}), (Names{"tunnelWarp", "wipeToTunnel"}));
    EXPECT_EQ(at.at({25, 64}), (Names{"tunnelWarp", "glowScene", "wipeToPanel"}));
    EXPECT_EQ(at.at({35, 0}), (Names{"pulseLogo"}));
    EXPECT_EQ(at.at({41, 0}), (Names{"closingWarp", "pulseP9p1"}));
    EXPECT_EQ(at.at({46, 0}), (Names{"endPresentation"}));
}

TEST(Schedule, BeatBlocksCycleThroughTheirFlashes) {
    int order5 = 0, order6 = 0, order7 = 0;
    for (const ScheduleEntry& entry : demoSchedule()) {
        if (entry.kind != ScheduleEntry::Trigger || entry.duration != 1.0f) continue;
        order5 += entry.startOrder == 5;
        order6 += entry.startOrder == 6;
        order7 += entry.startOrder == 7;
        if (entry.startOrder == 5 && entry.startRow == 28) {
            EXPECT_STREQ(entry.name, "wordFlash1");
        }
        if (entry.startOrder == 6 && entry.startRow == 32) {
            EXPECT_STREQ(entry.name, "wordFlash8");
        }
        if (entry.startOrder == 7 && entry.startRow == 0) {
            EXPECT_STREQ(entry.name, "wordFlash4");
        }
        EXPECT_FALSE(entry.startOrder != 5 && entry.startRow == 96);
    }
    EXPECT_EQ(order5, 27);
    EXPECT_EQ(order6, 26);
    EXPECT_EQ(order7, 26);
}

TEST(Schedule, EndPresentationStopsTheMainLoop) {
    running = 1;
    endPresentation(0.0f);
    EXPECT_EQ(running, 0);
    running = 1;
}

}  // namespace
