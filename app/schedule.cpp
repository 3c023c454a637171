// The schedule as a table built once: the opening, the word flashes on the
// beats of orders 5 to 7, the pulses, the warp sections and the end.
#include "app/schedule.h"

#include <cstddef>
#include <initializer_list>

#include "app/demo.h"
#include "app/flashes.h"
#include "app/opening.h"
#include "app/sections_3d.h"
#include "app/warp_sections.h"
#include "sync/demo_clock.h"

namespace {

ScheduleEntry trigger(int order, int row, float duration, SceneFunction scene, const char* name) {
    return {ScheduleEntry::Trigger, order, row, 0, 0, duration, scene, name};
}

ScheduleEntry span(int startOrder, int startRow, int endOrder, int endRow, SceneFunction scene,
                   const char* name) {
    return {ScheduleEntry::Span, startOrder, startRow, endOrder, endRow, 0.0f, scene, name};
}

struct NamedScene {
    SceneFunction scene;
    const char* name;
};

// The beat rows of order 5; orders 6 and 7 use them without row 96.
constexpr int kBeatRows[] = {0,  8,  24, 28,  32,  34,  36,  44,  52,  56,  58,  60,  62, 64,
                             80, 92, 96, 100, 102, 104, 106, 108, 112, 114, 116, 118, 120};

// One 1-second flash per beat row of `order`, cycling through `scenes`.
void addBeatBlock(std::vector<ScheduleEntry>& entries, int order, bool withRow96,
                  std::initializer_list<NamedScene> scenes) {
    std::size_t nextScene = 0;
    for (int row : kBeatRows) {
        if (row == 96 && !withRow96) continue;
        const NamedScene& flash = scenes.begin()[nextScene];
        entries.push_back(trigger(order, row, 1.0f, flash.scene, flash.name));
        nextScene = (nextScene + 1) % scenes.size();
    }
}

std::vector<ScheduleEntry> buildSchedule() {
    std::vector<ScheduleEntry> e;
    e.push_back(span(0, 0, 5, 0, openingScene, "openingScene"));
    e.push_back(trigger(3, 0, 3.14f, smearWave, "smearWave"));
    e.push_back(trigger(4, 0, 3.14f, smearWave, "smearWave"));
    e.push_back(trigger(0, 70, 0.5f, raiseLevel1, "raiseLevel1"));
    e.push_back(trigger(1, 10, 0.5f, dropLevel1, "dropLevel1"));
    e.push_back(trigger(1, 30, 0.5f, raiseLevel2, "raiseLevel2"));
    e.push_back(trigger(1, 90, 0.5f, dropLevel2, "dropLevel2"));
    e.push_back(trigger(1, 70, 0.5f, raiseLevel3, "raiseLevel3"));
    e.push_back(trigger(2, 10, 0.5f, dropLevel3, "dropLevel3"));
    e.push_back(trigger(2, 30, 0.5f, raiseLevel4, "raiseLevel4"));
    e.push_back(trigger(2, 90, 0.5f, dropLevel4, "dropLevel4"));
    e.push_back(span(5, 0, 9, 0, scenePart2, "scenePart2"));
    addBeatBlock(e, 5, true,
                 {{wordFlash1, "wordFlash1"}, {wordFlash2, "wordFlash2"}, {wordFlash3, "wordFlash3"}});
    addBeatBlock(e, 6, false,
                 {{wordFlash8, "wordFlash8"},
                  {wordFlash9, "wordFlash9"},
                  {wordFlash10, "wordFlash10"},
                  {wordFlash11, "wordFlash11"}});
    addBeatBlock(e, 7, false,
                 {{wordFlash4, "wordFlash4"},
                  {wordFlash5, "wordFlash5"},
                  {wordFlash6, "wordFlash6"},
                  {wordFlash7, "wordFlash7"}});
    e.push_back(span(9, 0, 14, 0, scenePart3, "scenePart3"));
    e.push_back(span(10, 0, 11, 0, pulseP3p1, "pulseP3p1"));
    e.push_back(span(12, 0, 13, 0, pulseP3p2, "pulseP3p2"));
    e.push_back(span(14, 0, 21, 0, scenePart4, "scenePart4"));
    e.push_back(span(20, 0, 26, 0, tunnelWarp, "tunnelWarp"));
    e.push_back(span(20, 0, 21, 0, wipeToTunnel, "wipeToTunnel"));
    e.push_back(span(21, 0, 26, 0, glowScene, "glowScene"));
    e.push_back(span(25, 64, 26, 0, wipeToPanel, "wipeToPanel"));
    e.push_back(span(26, 0, 32, 0, scenePart6, "scenePart6"));
    e.push_back(span(32, 0, 38, 0, scenePart7, "scenePart7"));
    e.push_back(trigger(35, 0, 6.28f, pulseLogo, "pulseLogo"));
    e.push_back(span(38, 0, 41, 0, ballScene, "ballScene"));
    e.push_back(span(38, 0, 39, 0, pulseP8p1, "pulseP8p1"));
    e.push_back(span(39, 0, 40, 0, pulseP8p2, "pulseP8p2"));
    e.push_back(span(40, 0, 41, 0, pulseP8p3, "pulseP8p3"));
    e.push_back(span(41, 0, 46, 0, closingWarp, "closingWarp"));
    e.push_back(span(41, 0, 42, 0, pulseP9p1, "pulseP9p1"));
    e.push_back(span(42, 0, 43, 0, pulseP9p2, "pulseP9p2"));
    e.push_back(span(43, 0, 44, 0, pulseP9p3, "pulseP9p3"));
    e.push_back(span(44, 0, 45, 0, pulseP9p4, "pulseP9p4"));
    e.push_back(span(45, 0, 46, 0, pulseP9p5, "pulseP9p5"));
    e.push_back(span(46, 0, 47, 60, endPresentation, "endPresentation"));
    return e;
}

void evaluate(const ScheduleEntry& entry, SceneFunction scene) {
    if (entry.kind == ScheduleEntry::Trigger)
        syncTrigger(entry.startOrder, entry.startRow, entry.duration, scene);
    else
        syncSpan(entry.startOrder, entry.startRow, entry.endOrder, entry.endRow, scene);
}

// The sync operations take plain scene functions; an observed run routes them
// through this one, which knows the entry being evaluated.
const ScheduleEntry* observedEntry = nullptr;
ScheduleObserver activeObserver = nullptr;

void reportToObserver(float t) { activeObserver(*observedEntry, t); }

}  // namespace

const std::vector<ScheduleEntry>& demoSchedule() {
    static const std::vector<ScheduleEntry> entries = buildSchedule();
    return entries;
}

void runSchedule() {
    for (const ScheduleEntry& entry : demoSchedule()) evaluate(entry, entry.scene);
}

void runSchedule(ScheduleObserver observer) {
    activeObserver = observer;
    for (const ScheduleEntry& entry : demoSchedule()) {
        observedEntry = &entry;
        evaluate(entry, reportToObserver);
    }
    observedEntry = nullptr;
    activeObserver = nullptr;
}

void skipTriggersBefore(int order) {
    constexpr int32_t kLongAgo_ms = 1000000;
    for (const ScheduleEntry& entry : demoSchedule()) {
        if (entry.kind != ScheduleEntry::Trigger || entry.startOrder >= order) continue;
        SyncSlot& slot = syncTable.slots[syncSlot(entry.startOrder, entry.startRow)];
        slot.time = demoTime() - kLongAgo_ms;
        if (slot.time == 0) slot.time = -1;  // 0 would mean "not reached yet"
    }
}

int presentationEndOrder() {
    for (const ScheduleEntry& entry : demoSchedule())
        if (entry.scene == endPresentation) return entry.startOrder;
    return -1;
}

void endPresentation(float) { running = 0; }
