// The demo schedule: the fixed list of scene entries that main evaluates once
// per frame, each started by a music position. Used by main and its tests.
#pragma once

#include <vector>

#include "sync/sync_table.h"

// One entry: a trigger runs its scene for `duration` seconds from its start
// position; a span runs it while start <= position < end.
struct ScheduleEntry {
    enum Kind { Trigger, Span };
    Kind kind;
    int startOrder, startRow;
    int endOrder, endRow;  // spans only
    float duration;        // triggers only, seconds
    SceneFunction scene;
    const char* name;
};

// The entries in evaluation order; later entries draw over earlier ones.
const std::vector<ScheduleEntry>& demoSchedule();

// Evaluates every entry in order through syncTrigger and syncSpan.
void runSchedule();

// As runSchedule, but every active entry reports to `observer` instead of
// calling its scene (for tests and tools that follow the schedule).
using ScheduleObserver = void (*)(const ScheduleEntry& entry, float t);
void runSchedule(ScheduleObserver observer);

// For a rehearsal that starts the music at `order`: marks the triggers of
// earlier positions as reached long ago, so that they stay quiet instead of
// all firing at once in the first frame, as they would never have been seen.
void skipTriggersBefore(int order);

// The order at which the last entry ends the presentation.
int presentationEndOrder();

// The last entry's scene: ends the main loop.
void endPresentation(float t);
