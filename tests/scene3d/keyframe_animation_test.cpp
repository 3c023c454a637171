// Posing keyframe scenes: key sampling, the spline, the node hierarchy, lights
// and camera, and the particle emitters with their shared random numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scene3d/keyframe_animation.h"
#include "tests/scene3d/scene_files.h"

using namespace scenefiles;

namespace {

KfKey uniformKey(int32_t frame, int32_t interp, float value) {
    return KfKey{interp, frame, value, value, value, value, value, value, value, value, value};
}

// An emitter key: position x, colour channels, velocity spread, size, particles per millisecond.
KfKey emitterKey(int32_t frame, float x, float red, float green, float blue, float spread, float size,
                 float perMs) {
    return key(frame, kKfLinear, x, 2, 3, red, green, blue, spread + 1, size + 1, perMs + 1);
}

// A World with one scene of a single emitter node, loaded and ready to pose.
// The node's pivot y and z in the file are junk the loader must not take for
// the emitter's clocks.
struct EmitterWorld : TestWorld {
    KfScene* scene;
    EmitterWorld(float poolSeconds, std::vector<KfKey> keys) {
        KfNode node = emitterNode(poolSeconds, 0, static_cast<int32_t>(keys.size()));
        node.pivotY = node.pivotZ = 7.0f;
        fileBytes("emit.kf", sceneFile(0, {node}, keys));
        scene = &world.loadScene("emit.kf");
    }
    KfNode& emitter() { return scene->nodes[0]; }
    void pose(float t) {
        world.clearScene();
        world.drawScene(*scene, t);
    }
};

}  // namespace

TEST(SampleTrack, LinearSplineSingleAndLateKeysGiveTheWorkedValuesInAllNineFields) {
    const std::vector<KfKey> linear = {uniformKey(0, 1, 0), uniformKey(10, 1, 10)};
    const std::vector<KfKey> spline = {uniformKey(0, 1, 0), uniformKey(10, 0, 10)};
    const std::vector<KfKey> single = {uniformKey(5, 0, 7)};
    const std::vector<KfKey> lateLinear = {uniformKey(20, 1, 0), uniformKey(30, 1, 10)};
    const std::vector<KfKey> lateSpline = {uniformKey(20, 0, 0), uniformKey(30, 0, 10)};
    const struct {
        const char* what;
        const std::vector<KfKey>& keys;
        float t, expected, tolerance;
    } cases[] = {
        {"linear halfway", linear, 0.5f, 5.0f, 1e-6f},
        {"linear just before the last key", linear, 0.99f, 9.9f, 1e-5f},
        {"linear at the last key: a copy", linear, 1.0f, 10.0f, 0.0f},
        {"linear after the last key: a copy", linear, 7.25f, 10.0f, 0.0f},
        {"linear before the first key: extrapolated", linear, -0.5f, -5.0f, 1e-6f},
        {"spline halfway", spline, 0.5f, 5.0f, 1e-5f},
        {"spline at a quarter", spline, 0.25f, 2.294f, 1e-3f},
        {"one key, early", single, -1.0f, 7.0f, 0.0f},
        {"one key, late", single, 100.0f, 7.0f, 0.0f},
        {"late linear keys extrapolate back to t = 0", lateLinear, 0.0f, -20.0f, 1e-5f},
        {"late spline keys hold the first key at t = 0", lateSpline, 0.0f, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const KfKey sample = sampleTrack(c.keys, c.t);
        for (float KfKey::*value : kKfKeyValues) EXPECT_NEAR(sample.*value, c.expected, c.tolerance);
    }
}

TEST(SampleTrack, SplineBlendLimitsUToItsEnds) {
    // cos(pi / 2) in single precision is not quite 0: u = 1 lands within a few ulps of p2.
    for (float u : {0.0f, -2.0f}) EXPECT_EQ(splineBlend(u, 100.0f, 3.0f, 5.0f, -100.0f), 3.0f) << u;
    for (float u : {1.0f, 4.0f}) EXPECT_NEAR(splineBlend(u, 100.0f, 3.0f, 5.0f, -100.0f), 5.0f, 1e-5f) << u;
}

TEST(RandomUnit, TheFirstSixValuesFrom127) {
    int32_t state = 127;
    const double expected[] = {0.292984008789, 0.934585571289, 0.162002563477,
                               0.009368896484, 0.536849975586, 0.851364135742};
    for (double value : expected) EXPECT_NEAR(randomUnit(state), value, 1e-11);
    TestWorld t;
    EXPECT_EQ(t.world.randomState, 127);
}

TEST(DrawScene, AnAncestorOfAnyTypeMovesTheMeshAfterItsOwnTransform) {
    // Parent at (10, 0, 0) turned 90 degrees about y: mesh vertex (1, 0, 0) goes to (10, 0, -1).
    const int32_t parentTypes[] = {kKfMesh, 2, kKfLight, kKfCamera, kKfEmitter, 0, 99, -7};
    for (int32_t type : parentTypes) {
        SCOPED_TRACE(type);
        TestWorld t;
        t.fileBytes("tri.edo", triangleMesh());
        KfNode parent = type == kKfMesh ? meshNode("tri.edo", 0, 1) : node(type, 0, 1);
        t.fileBytes("p.kf", sceneFile(0, {parent, meshNode("tri.edo", 1, 1, 1)},
                                      {key(0, 1, 10, 0, 0, 90), key(0, 1, 0, 0, 0)}));
        EXPECT_EQ(t.world.drawScene(t.world.loadScene("p.kf"), 0.0f), 2);
        const WorldVertex& v = t.world.vertices[static_cast<size_t>(t.world.vertexCount - 3)];
        EXPECT_NEAR(v.x, 10.0f, 1e-5f);
        EXPECT_NEAR(v.y, 0.0f, 1e-5f);
        EXPECT_NEAR(v.z, -1.0f, 1e-5f);
    }

    // A grandparent with pivot (0, 10, 0), rolled 90 degrees and moved by (0, 5, 0), acts last.
    TestWorld t;
    t.fileBytes("tri.edo", triangleMesh());
    KfNode grandparent = node(2, 0, 1);
    grandparent.pivotY = 10.0f;
    t.fileBytes("g.kf",
                sceneFile(0, {grandparent, node(2, 1, 1, 1), meshNode("tri.edo", 2, 1, 2)},
                          {key(0, 1, 0, 5, 0, 0, 0, 90), key(0, 1, 10, 0, 0, 90), key(0, 1, 0, 0, 0)}));
    t.world.drawScene(t.world.loadScene("g.kf"), 0.0f);
    ASSERT_EQ(t.world.vertexCount, 3);
    EXPECT_NEAR(t.world.vertices[0].x, 10.0f, 1e-5f);
    EXPECT_NEAR(t.world.vertices[0].y, 15.0f, 1e-5f);
    EXPECT_NEAR(t.world.vertices[0].z, -1.0f, 1e-5f);
}

TEST(DrawScene, LightsTheLastCameraAndTheAmbientColourComeFromTheNodes) {
    TestWorld t;
    KfNode light = node(kKfLight, 0, 1), first = node(kKfCamera, 1, 1), last = node(kKfCamera, 2, 1);
    light.lightColour = 0xFF8040, light.lightIntensity = 0.75f, light.lightRange = 40.0f;
    first.cameraZoom = 2.0f, last.cameraZoom = 4.0f;
    t.fileBytes("lit.kf",
                sceneFile(0x404040, {light, first, last, node(2, 0, 1), node(42, 0, 1)},
                          {key(0, 1, 1, 2, 3), key(0, 1, 0, 0, -5, 10), key(0, 1, 0, 1, -6, 30, 20, 5)}));

    const World& w = t.world;
    EXPECT_EQ(t.world.drawScene(t.world.loadScene("lit.kf"), 1.0f), 5);
    EXPECT_EQ(w.ambientR, 64);
    ASSERT_EQ(w.lightCount, 1);
    const Light& l = w.lights[0];
    EXPECT_EQ(std::vector<float>({l.x, l.y, l.z, l.intensity, l.invRange}),
              std::vector<float>({1, 2, 3, 0.75f, 0.025f}));
    EXPECT_EQ(std::vector<int>({l.r, l.g, l.b}), std::vector<int>({255, 128, 64}));
    EXPECT_EQ(std::vector<float>(
                  {w.cameraRotY, w.cameraRotX, w.cameraRotZ, w.cameraX, w.cameraY, w.cameraZ, w.zoom}),
              std::vector<float>({30, 20, 5, 0, 1, -6, 4}));
    EXPECT_EQ(w.vertexCount + w.drawItemCount, 0);
}

// A pool holds |pool seconds| x 1000 + 1 empty slots.
TEST(Emitter, APoolStartsEmptyAndARateThatStaysZeroNeverEmits) {
    EmitterWorld e(-0.5f,
                   {emitterKey(0, 0, 255, 255, 255, 1, 1, 0), emitterKey(10, 5, 255, 255, 255, 1, 1, 0)});
    ASSERT_EQ(e.emitter().pool.size(), 501u);
    EXPECT_TRUE(e.emitter().ringPos == 0 && e.emitter().lastEmit == 0.0f && e.emitter().lastUpdate == 0.0f);
    for (float t : {0.5f, 1.0f, 5.0f}) {
        e.pose(t);
        EXPECT_EQ(e.world.drawItemCount, 0);
    }
    for (const Particle& p : e.emitter().pool) ASSERT_EQ(p.size, 0.0f);
}

TEST(Emitter, TwoPerMillisecondEmitsAThousandThenFiveHundredOverwritingTheOldest) {
    // 1201 slots; x runs 0 -> 10 over one second; no spread, so particles stay put.
    EmitterWorld e(1.2f, {emitterKey(0, 0, 255.7f, 300, -3.5f, 0, 0.5f, 2),
                          emitterKey(10, 10, 255.7f, 300, -3.5f, 0, 0.5f, 2)});
    const std::vector<Particle>& pool = e.emitter().pool;
    ASSERT_EQ(pool.size(), 1201u);

    e.pose(0.5f);
    EXPECT_EQ(e.world.drawItemCount, 1000);
    EXPECT_EQ(e.emitter().ringPos, 1000);
    EXPECT_NEAR(pool[999].x, 4.995f, 1e-4f);  // spread along the path from 0 to 5
    EXPECT_EQ(pool[0].colour, 0xFFFF04u);     // 255, limited 300, |floor(-3.5)|
    EXPECT_EQ(e.world.drawItems[0].kind, kDrawSprite);
    EXPECT_EQ(e.world.drawItems[0].colour565, 0xFFE0);
    EXPECT_EQ(e.world.drawItems[0].size, 128);  // size 0.5

    e.pose(0.75f);
    EXPECT_EQ(e.world.drawItemCount, 1201);
    EXPECT_EQ(e.emitter().ringPos, 299);      // 1500 wrapped round 1201 slots
    EXPECT_NEAR(pool[0].x, 6.005f, 1e-3f);    // the 202nd of the new batch
    EXPECT_NEAR(pool[298].x, 7.495f, 1e-3f);  // the newest
    EXPECT_NEAR(pool[299].x, 1.495f, 1e-3f);  // the oldest left of the first batch
    EXPECT_EQ(e.emitter().lastEmit, 0.75f);

    e.pose(0.25f);  // back in time: nothing new, but the clock follows
    EXPECT_EQ(e.world.drawItemCount, 1201);
    EXPECT_EQ(e.emitter().ringPos, 299);
    EXPECT_EQ(e.emitter().lastEmit, 0.25f);
}

TEST(Emitter, FractionsCarryOverAndParticlesMoveAfterTheyAreDrawn) {
    // 500 particles per second, spread 2, 11 slots.
    EmitterWorld e(0.01f, {emitterKey(0, 1, 255, 255, 255, 2, 1, 0.5f)});
    e.pose(0.001f);  // half a particle: none yet, and the half is kept
    EXPECT_EQ(e.world.drawItemCount, 0);
    EXPECT_EQ(e.emitter().lastEmit, 0.0f);

    e.pose(0.003f);  // one and a half since the last emission: one
    ASSERT_EQ(e.world.drawItemCount, 1);
    EXPECT_EQ(e.world.vertices[0].x, 1.0f);  // drawn where it was emitted
    const Particle& p = e.emitter().pool[0];
    EXPECT_FLOAT_EQ(p.vx, (0.292984008789f - 0.5f) * 2);  // the shared generator, x first
    EXPECT_FLOAT_EQ(p.vy, (0.934585571289f - 0.5f) * 2);
    EXPECT_FLOAT_EQ(p.vz, (0.162002563477f - 0.5f) * 2);
    const float dt = 0.003f - 0.001f;
    EXPECT_FLOAT_EQ(p.x, 1.0f + dt * p.vx);  // then moved by the time since the last update

    e.pose(0.001f);  // back in time: drawn where it was, then moved back once
    EXPECT_FLOAT_EQ(e.world.vertices[0].x, 1.0f + dt * p.vx);
    EXPECT_NEAR(p.x, 1.0f, 1e-6f);
    EXPECT_EQ(e.world.drawItemCount, 1);
}

TEST(Emitter, AbsurdRatesAndTimesEmitABoundedCountAndExtraParticlesAreDropped) {
    EmitterWorld huge(0.0f, {emitterKey(0, 0, 9, 9, 9, 1, 1, 1e30f)});
    ASSERT_EQ(huge.emitter().pool.size(), 1u);
    huge.pose(1.0f);  // capped at one pool's worth: more would overwrite itself
    int32_t expectedState = 127;
    for (int i = 0; i < 1 * 3; ++i) randomUnit(expectedState);
    EXPECT_EQ(huge.world.randomState, expectedState);
    huge.pose(std::numeric_limits<float>::infinity());
    huge.pose(std::nanf(""));
    EXPECT_EQ(huge.world.drawItemCount, 1);

    EmitterWorld notANumber(0.0f, {emitterKey(0, 0, 9, 9, 9, 1, 1, std::nanf(""))});
    notANumber.pose(2.0f);
    EXPECT_EQ(notANumber.world.randomState, 127);
    EXPECT_EQ(notANumber.emitter().lastEmit, 2.0f);

    // 20001 slots filled in one frame: the World takes 14000 and counts the rest.
    EmitterWorld full(20.0f, {emitterKey(0, 0, 9, 9, 9, 1, 1, 1e9f)});
    full.pose(1.0f);
    EXPECT_EQ(full.world.drawItemCount, World::kMaxVertices);
    EXPECT_EQ(full.world.drops.particles, 20001 - World::kMaxVertices);
}
