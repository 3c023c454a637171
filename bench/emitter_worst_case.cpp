// The slowest frame a scene the loader accepts can ask for: four emitters at
// the largest pool the loader takes (a million slots each, the scene's limit
// of four million together), each emitting as fast as its keys can say, posed
// frame after frame 1/60 s apart. In milliseconds a frame; real scenes'
// emitters keep pools of a few thousand slots.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "resources/resource_cache.h"
#include "scene3d/kf_scene.h"
#include "scene3d/world.h"

namespace {

KfScene worstScene() {
    KfScene scene;
    scene.name = "worst.kf";
    // Spread 1, size 1, and the highest rate a float holds.
    KfKey fast;
    fast.scaleX = 2.0f;
    fast.scaleY = 2.0f;
    fast.scaleZ = 3.0e38f;
    scene.keys.push_back(fast);
    const float poolSeconds = static_cast<float>(kMaxScenePoolSlots / 4 - 1) / 1000.0f;
    for (int e = 0; e < 4; ++e) {
        KfNode emitter;
        emitter.type = kKfEmitter;
        emitter.keyCount = 1;
        emitter.pivotX = poolSeconds;
        restartEmitter(emitter);
        scene.nodes.push_back(emitter);
    }
    return scene;
}

void BM_WorstEmitterFrame(benchmark::State& state) {
    ResourceCache cache("/nonexistent/zedariva-bench.fil");
    World world(&cache, 512, 256, 512);
    KfScene scene = worstScene();
    float t = 0.0f;
    for (auto _ : state) {
        t += 1.0f / 60.0f;
        world.clearScene();
        world.drawScene(scene, t);
        benchmark::DoNotOptimize(world.drops.particles);
    }
    state.counters["slots"] = static_cast<double>(scene.nodes[0].pool.size() * scene.nodes.size());
}
BENCHMARK(BM_WorstEmitterFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
