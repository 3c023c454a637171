// The sync table: a linear search over at most 150 slots per call, every
// frame, as the schedule asks; nothing is cached between frames.
#include "sync/sync_table.h"

#include "sync/demo_clock.h"
#include "sync/music_player.h"
#include "platform/bit_cast.h"

#include <cstdio>
#include <cstdlib>

SyncTable syncTable;

namespace {

RawPositionSource positionSource = musicPosition;

// order * 65536 + row in 32-bit wrap-around arithmetic.
int32_t packPosition(int order, int row) {
    return bitCast<int32_t>(static_cast<uint32_t>(order) * 65536u + static_cast<uint32_t>(row));
}

[[noreturn]] void tableFull(int order, int row) {
    std::printf("sync table full: order %d row %d would be distinct position %d, at most %d are kept\n",
                order, row, SyncTable::kSlots + 1, SyncTable::kSlots);
    std::exit(1);
}

}  // namespace

MusicPosition musicPositionFromRaw(uint32_t raw) {
    return bitCast<int32_t>((raw & 0xFFFFu) * 65536u + (raw >> 16));
}

void clearSyncTable() { syncTable = SyncTable{}; }

void setSyncPositionSource(RawPositionSource source) { positionSource = source ? source : musicPosition; }

MusicPosition currentMusicPosition() { return musicPositionFromRaw(positionSource()); }

int syncSlot(int order, int row) {
    int32_t key = packPosition(order, row);
    if (key == 0) key = -1;  // 0 marks an empty slot
    const MusicPosition current = currentMusicPosition();
    int index = 0;
    while (index < SyncTable::kSlots && syncTable.slots[index].key != 0 && syncTable.slots[index].key != key)
        ++index;
    if (index == SyncTable::kSlots) tableFull(order, row);
    SyncSlot& slot = syncTable.slots[index];
    if (slot.key == 0) slot.key = key;
    if (slot.time == 0 && current >= key) slot.time = demoTime();
    return index;
}

void syncTrigger(int order, int row, float duration, SceneFunction scene) {
    const SyncSlot& slot = syncTable.slots[syncSlot(order, row)];
    const MusicPosition start = packPosition(order, row);
    const MusicPosition current = currentMusicPosition();
    const double now = demoTime() * 0.001;
    if (current < start) return;
    // demoTime() - slot time, in 32-bit wrap-around arithmetic, compared as floats.
    const int32_t sinceStamp = bitCast<int32_t>(bitCast<uint32_t>(demoTime()) - bitCast<uint32_t>(slot.time));
    if (duration * 1000 > static_cast<float>(sinceStamp)) scene(static_cast<float>(now - slot.time * 0.001));
}

void syncSpan(int startOrder, int startRow, int endOrder, int endRow, SceneFunction scene) {
    const SyncSlot& slot = syncTable.slots[syncSlot(startOrder, startRow)];
    const MusicPosition start = packPosition(startOrder, startRow);
    const MusicPosition end = packPosition(endOrder, endRow);
    const MusicPosition current = currentMusicPosition();
    const double now = demoTime() * 0.001;
    if (start <= current && current < end) scene(static_cast<float>(now - slot.time * 0.001));
}
