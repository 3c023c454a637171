// One frame's schedule pass over the sync table: 113 entries asking for 109
// distinct positions, each searching the table linearly, as every frame does.
#include "sync/sync_table.h"

#include <benchmark/benchmark.h>

namespace {

uint32_t rawPosition = 0;
uint32_t heldPosition() { return rawPosition; }

float sink = 0;
void scene(float t) { sink += t; }

void BM_SchedulePass(benchmark::State& state) {
    syncTable = SyncTable{};
    setSyncPositionSource(heldPosition);
    rawPosition = 30;  // order 30, row 0: most entries are past their start
    for (auto _ : state) {
        for (int entry = 0; entry < 113; ++entry) {
            const int order = (entry % 109) / 2;
            const int row = (entry % 109) % 2 * 32;
            if (entry % 3 == 0)
                syncTrigger(order, row, 2.0f, scene);
            else
                syncSpan(order, row, order + 1, row, scene);
        }
        benchmark::DoNotOptimize(sink);
    }
    setSyncPositionSource(nullptr);
}
BENCHMARK(BM_SchedulePass);

}  // namespace
