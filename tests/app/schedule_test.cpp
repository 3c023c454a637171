// The schedule followed through a simulated run of the music: which scenes run
// at chosen positions, and in which order.
#include "app/schedule.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
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
    EXPECT_EQ(at.at({5, 0}), (Names{"scenePart2", "wordFlash1"}));
    // Row 8's flash started 960 ms ago and still runs under the new one.
    EXPECT_EQ(at.at({5, 24}), (Names{"scenePart2", "wordFlash2", "wordFlash3"}));
    EXPECT_EQ(at.at({6, 32}), (Names{"scenePart2", "wordFlash10", "wordFlash11", "wordFlash8"}));
    EXPECT_EQ(at.at({10, 0}), (Names{"scenePart3", "pulseP3p1"}));
    EXPECT_EQ(at.at({20, 0}), (Names{"scenePart4", "tunnelWarp", "wipeToTunnel"}));
    EXPECT_EQ(at.at({25, 64}), (Names{"tunnelWarp", "glowScene", "wipeToPanel"}));
    EXPECT_EQ(at.at({26, 0}), (Names{"scenePart6"}));
    EXPECT_EQ(at.at({35, 0}), (Names{"scenePart7", "pulseLogo"}));
    EXPECT_EQ(at.at({38, 0}), (Names{"ballScene", "pulseP8p1"}));
    EXPECT_EQ(at.at({41, 0}), (Names{"closingWarp", "pulseP9p1"}));
    EXPECT_EQ(at.at({46, 0}), (Names{"endPresentation"}));
}

TEST(Schedule, BeatBlocksFollowTheirRowsInRisingOrderOneSecondEach) {
    const std::vector<int> rowsA = {0,  8,  24, 28,  32,  34,  36,  44,  52,  56,  58,  60,  62, 64,
                                    80, 92, 96, 100, 102, 104, 106, 108, 112, 114, 116, 118, 120};
    std::vector<int> rowsB = rowsA;
    rowsB.erase(rowsB.begin() + 16);  // without row 96
    const std::map<int, std::vector<std::string>> flashes = {
        {5, {"wordFlash1", "wordFlash2", "wordFlash3"}},
        {6, {"wordFlash8", "wordFlash9", "wordFlash10", "wordFlash11"}},
        {7, {"wordFlash4", "wordFlash5", "wordFlash6", "wordFlash7"}},
    };
    std::map<int, std::vector<int>> rows;
    std::size_t first = 0, last = 0;
    const std::vector<ScheduleEntry>& entries = demoSchedule();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ScheduleEntry& entry = entries[i];
        if (entry.kind != ScheduleEntry::Trigger || entry.duration != 1.0f) continue;
        if (rows.empty()) first = i;
        last = i;
        std::vector<int>& blockRows = rows[entry.startOrder];
        const std::vector<std::string>& names = flashes.at(entry.startOrder);
        EXPECT_EQ(entry.name, names[blockRows.size() % names.size()])
            << "order " << entry.startOrder << " row " << entry.startRow;
        blockRows.push_back(entry.startRow);
    }
    EXPECT_EQ(rows[5], rowsA);
    EXPECT_EQ(rows[6], rowsB);
    EXPECT_EQ(rows[7], rowsB);
    EXPECT_EQ(last - first + 1, 27u + 26u + 26u);  // one unbroken run, orders 5, 6, 7
}

TEST(Schedule, EntriesOutsideTheBeatBlocksComeInTheirFixedOrder) {
    struct Expected {
        const char* name;
        int startOrder, startRow;
        int endOrder, endRow;  // spans
        float duration;        // triggers
    };
    // Row 90 of order 1 comes before row 70 on purpose: the list keeps its order.
    const Expected before[] = {
        {"openingScene", 0, 0, 5, 0, 0.0f}, {"smearWave", 3, 0, 0, 0, 3.14f},
        {"smearWave", 4, 0, 0, 0, 3.14f},   {"raiseLevel1", 0, 70, 0, 0, 0.5f},
        {"dropLevel1", 1, 10, 0, 0, 0.5f},  {"raiseLevel2", 1, 30, 0, 0, 0.5f},
        {"dropLevel2", 1, 90, 0, 0, 0.5f},  {"raiseLevel3", 1, 70, 0, 0, 0.5f},
        {"dropLevel3", 2, 10, 0, 0, 0.5f},  {"raiseLevel4", 2, 30, 0, 0, 0.5f},
        {"dropLevel4", 2, 90, 0, 0, 0.5f},  {"scenePart2", 5, 0, 9, 0, 0.0f},
    };
    const Expected after[] = {
        {"scenePart3", 9, 0, 14, 0, 0.0f},        {"pulseP3p1", 10, 0, 11, 0, 0.0f},
        {"pulseP3p2", 12, 0, 13, 0, 0.0f},        {"scenePart4", 14, 0, 21, 0, 0.0f},
        {"tunnelWarp", 20, 0, 26, 0, 0.0f},       {"wipeToTunnel", 20, 0, 21, 0, 0.0f},
        {"glowScene", 21, 0, 26, 0, 0.0f},        {"wipeToPanel", 25, 64, 26, 0, 0.0f},
        {"scenePart6", 26, 0, 32, 0, 0.0f},       {"scenePart7", 32, 0, 38, 0, 0.0f},
        {"pulseLogo", 35, 0, 0, 0, 6.28f},        {"ballScene", 38, 0, 41, 0, 0.0f},
        {"pulseP8p1", 38, 0, 39, 0, 0.0f},
        {"pulseP8p2", 39, 0, 40, 0, 0.0f},        {"pulseP8p3", 40, 0, 41, 0, 0.0f},
        {"closingWarp", 41, 0, 46, 0, 0.0f},      {"pulseP9p1", 41, 0, 42, 0, 0.0f},
        {"pulseP9p2", 42, 0, 43, 0, 0.0f},        {"pulseP9p3", 43, 0, 44, 0, 0.0f},
        {"pulseP9p4", 44, 0, 45, 0, 0.0f},        {"pulseP9p5", 45, 0, 46, 0, 0.0f},
        {"endPresentation", 46, 0, 47, 60, 0.0f},
    };
    constexpr std::size_t kBeatEntries = 27 + 26 + 26;
    const std::vector<ScheduleEntry>& entries = demoSchedule();
    ASSERT_EQ(entries.size(), std::size(before) + kBeatEntries + std::size(after));

    auto check = [](const ScheduleEntry& entry, const Expected& want, std::size_t index) {
        SCOPED_TRACE(testing::Message() << "entry " << index + 1 << " " << want.name);
        EXPECT_STREQ(entry.name, want.name);
        EXPECT_EQ(entry.startOrder, want.startOrder);
        EXPECT_EQ(entry.startRow, want.startRow);
        if (want.duration != 0.0f) {
            EXPECT_EQ(entry.kind, ScheduleEntry::Trigger);
            EXPECT_EQ(entry.duration, want.duration);  // the float nearest the decimal
        } else {
            EXPECT_EQ(entry.kind, ScheduleEntry::Span);
            EXPECT_EQ(entry.endOrder, want.endOrder);
            EXPECT_EQ(entry.endRow, want.endRow);
        }
    };
    for (std::size_t i = 0; i < std::size(before); ++i) check(entries[i], before[i], i);
    for (std::size_t i = 0; i < std::size(after); ++i) {
        const std::size_t index = std::size(before) + kBeatEntries + i;
        check(entries[index], after[i], index);
    }
}

// A rehearsal jumping to order 32 shows only what order 32 shows in a full run;
// without the skip, every earlier trigger would fire in the first frame.
TEST(Schedule, ARehearsalLeavesTheTriggersOfEarlierOrdersQuiet) {
    for (bool skip : {false, true}) {
        syncTable = SyncTable{};
        simulatedNow = 0;
        setDemoClockSource(simulatedClock);
        setSyncPositionSource(simulatedRawPosition);
        restartDemoClock();
        simulatedNow = 32 * 128 * kRowMs;  // the music jumps to order 32
        if (skip) skipTriggersBefore(32);
        called.clear();
        runSchedule(record);
        setDemoClockSource(nullptr);
        setSyncPositionSource(nullptr);
        if (skip)
            EXPECT_EQ(called, (Names{"scenePart7"}));
        else
            EXPECT_GT(called.size(), 50u);  // the flashes of orders 5 to 7 and more
    }
}

TEST(Schedule, EndPresentationStopsTheMainLoop) {
    running = 1;
    endPresentation(0.0f);
    EXPECT_EQ(running, 0);
    running = 1;
}

}  // namespace
