// Music positions and the table of when each was first reached, with the two
// schedule operations that call scenes from it. Used by the demo schedule.
// Main thread only.
#pragma once

#include <cstdint>

// order * 65536 + row; positions compare as signed integers.
using MusicPosition = int32_t;

// Repacks the music player's raw position (order low 16 bits, row high 16).
MusicPosition musicPositionFromRaw(uint32_t raw);

struct SyncSlot {
    int32_t key = 0;   // MusicPosition, -1 for order 0 row 0; 0 = empty slot
    int32_t time = 0;  // demoTime() when first seen reached; 0 = not yet
};

struct SyncTable {
    static constexpr int kSlots = 150;
    SyncSlot slots[kSlots];
};

extern SyncTable syncTable;  // all empty before first use

// Empties every slot, as before first use: each position's time is taken
// again when it is next reached.
void clearSyncTable();

// Where the schedule reads the raw music position (default: musicPosition).
using RawPositionSource = uint32_t (*)();
void setSyncPositionSource(RawPositionSource source);  // nullptr restores the default
MusicPosition currentMusicPosition();

// A scene: takes the seconds since its start position was first reached.
using SceneFunction = void (*)(float);

// Finds or creates the slot of (order, row) and stamps its time once the
// position has been reached. A 151st distinct position prints an error and
// ends the process with exit code 1.
int syncSlot(int order, int row);

// Calls scene from (order, row) on, for `duration` seconds of demo time.
void syncTrigger(int order, int row, float duration, SceneFunction scene);

// Calls scene while start <= position < end.
void syncSpan(int startOrder, int startRow, int endOrder, int endRow, SceneFunction scene);
