// The five keyframe scenes of the 3D sections, each timed to the length of its
// section in the music: "part2.kf" … "part7.kf".
#include <cmath>

#include "tools/content/content.h"
#include "tools/content/meshes.h"
#include "tools/content/music_timing.h"
#include "tools/content/scene_keys.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Key frames are tenths of a second; a section's keys end at its last frame.
int lastFrame(double seconds) { return static_cast<int>(std::ceil(seconds * 10.0)); }

Vec3f onCircle(float radius, float degrees, float y) {
    const double angle = degrees * kPi / 180.0;
    return {static_cast<float>(radius * std::cos(angle)), y, static_cast<float>(radius * std::sin(angle))};
}

// Orders 5-8: the knot in the middle of two orbiting swarms, under the word
// flashes and the swirl overlay.
KfSceneData part2() {
    const int end = lastFrame(musictime::sectionSeconds(5, 9));
    KfSceneData scene;
    scene.ambient = 0x181820;

    addNode(scene, cameraNode(3.2f, cameraPath({{0, {0, 2.5f, -11}},
                                                {end / 4, {-6, 3.5f, -8}},
                                                {end / 2, {-9, 1.5f, -2}},
                                                {3 * end / 4, {-6, -1.5f, 5}},
                                                {end, {0, 2.0f, 9}}},
                                               {0, 0, 0})));
    addNode(scene, lightNode(0xFFB060, 1.0f, 12.0f, circleKeys(end, 20, {0, 1, 0}, 6.0f, 20.0f, 3.0f, 0.0f)));
    addNode(scene,
            lightNode(0x4080FF, 1.0f, 12.0f, circleKeys(end, 20, {0, -1, 0}, 6.0f, -20.0f, 3.0f, 180.0f)));
    addNode(scene, lightNode(0xFFFFFF, 0.5f, 14.0f, {poseKey(0, kKeyLinear, {0, 4, -9})}));

    addNode(scene, meshNode(meshname::kKnot, 0, spinKeys(end, {0, 0, 0}, {0, 0, 0}, {1080, 180, 0}, 1.4f)));

    const int orbit = addNode(scene, pivotNode(0, spinKeys(end, {0, 0, 0}, {0, 0, 0}, {-540, 0, 0})));
    for (int i = 0; i < 4; ++i) {
        const Vec3f place = onCircle(3.8f, 90.0f * i, 0.0f);
        addNode(scene,
                meshNode(meshname::kCube, orbit, spinKeys(end, place, {0, 0, 0}, {0, 720, 360}, 0.8f)));
    }
    // A tilted ring of bubbles and shards riding on the orbit.
    const int tilt = addNode(scene, pivotNode(orbit, spinKeys(end, {0, 0, 0}, {0, 35, 0}, {720, 35, 0})));
    for (int i = 0; i < 2; ++i) {
        addNode(scene, meshNode(meshname::kBubble, tilt,
                                spinKeys(end, onCircle(2.9f, 180.0f * i, 0), {0, 0, 0}, {360, 0, 0}, 0.45f)));
    }
    for (int i = 0; i < 6; ++i) {
        addNode(scene, meshNode(meshname::kShard, tilt,
                                spinKeys(end, onCircle(4.8f, 30.0f + 60.0f * i, 0), {0, 0, 0}, {0, 0, 720})));
    }
    addNode(scene, emitterNode(0.4f, emitterPath(circleKeys(end, 10, {0, 0, 0}, 0.6f, 70.0f, 12.0f, 0.0f),
                                                 0xFFD080, 3.0f, 0.18f, 0.06f)));
    return scene;
}

// Orders 9-13, left half of the frame: a crystal with two rings and three
// shards. The time wraps every 6.5 seconds, so every track closes a loop at
// frame 65: whole turns on linear keys, sine sways on spline keys.
KfSceneData part3() {
    const int end = 65;
    KfSceneData scene;
    scene.ambient = 0x505060;

    const Vec3f eye{0, 1.5f, -7.5f};
    const Angles look = lookAngles(eye, {0, 0, 0});
    addNode(scene,
            cameraNode(3.3f, swayKeys(end, poseKey(0, kKeySpline, eye, look), {0, 0.4f, 0}, {8, 0, 3})));
    addNode(scene, lightNode(0xFFFFFF, 1.0f, 10.0f, circleKeys(end, 13, {0, 1, 0}, 4.0f, 30.0f, 1.0f, 0.0f)));
    addNode(scene, lightNode(0xFF8040, 1.0f, 9.0f, {poseKey(0, kKeyLinear, {-3, -2, -4})}));

    const int bob =
        addNode(scene, pivotNode(0, swayKeys(end, poseKey(0, kKeySpline, {0, 0, 0}), {0, 0.3f, 0}, {})));
    addNode(scene, meshNode(meshname::kCrystal, bob, spinKeys(end, {0, 0, 0}, {0, 0, 0}, {360, 0, 0}, 1.2f)));
    addNode(scene, meshNode(meshname::kRing, bob, spinKeys(end, {0, 0, 0}, {20, 0, 0}, {20, 360, 0}, 1.05f)));
    addNode(scene, meshNode(meshname::kRing, bob, spinKeys(end, {0, 0, 0}, {60, 0, 0}, {60, 0, -360}, 1.3f)));

    const int orbit = addNode(scene, pivotNode(0, spinKeys(end, {0, 0, 0}, {0, 0, 0}, {-360, 0, 0})));
    for (int i = 0; i < 3; ++i) {
        addNode(scene, meshNode(meshname::kShard, orbit,
                                spinKeys(end, onCircle(2.7f, 120.0f * i, 0.2f), {0, 0, 0}, {0, 720, 0})));
    }
    return scene;
}

// Orders 14-20: a colonnade on a tiled floor with a marble torus, a halo of
// shards and a fountain of sparks; the camera circles it.
KfSceneData part4() {
    const int end = lastFrame(musictime::sectionSeconds(14, 21));
    KfSceneData scene;
    scene.ambient = 0x202028;

    std::vector<std::pair<int, Vec3f>> eyes;
    for (int k = 0; k <= 6; ++k) {
        const float radius = 12.0f - 0.5f * k;
        const float height = 2.0f + 1.5f * std::sin(k * 1.1f);
        const Vec3f p = onCircle(radius, -90.0f + 45.0f * k, height);
        eyes.push_back({end * k / 6, p});
    }
    addNode(scene, cameraNode(3.2f, cameraPath(eyes, {0, 0, 0})));
    addNode(scene, lightNode(0xFFE0C0, 1.0f, 14.0f, {poseKey(0, kKeyLinear, {4, 5, -6})}));
    addNode(scene, lightNode(0xFF40C0, 1.0f, 7.0f, circleKeys(end, 10, {0, 1, 0}, 4.0f, 0.0f, 5.0f, 0.0f)));
    addNode(scene,
            lightNode(0x40E0FF, 1.0f, 7.0f, circleKeys(end, 10, {0, 1, 0}, 4.0f, 0.0f, -4.0f, 180.0f)));

    addNode(scene, meshNode(meshname::kFloor, 0, {poseKey(0, kKeyLinear, {0, -2, 0})}));
    const int colonnade = addNode(scene, pivotNode(0, spinKeys(end, {0, 0, 0}, {0, 0, 0}, {90, 0, 0})));
    for (int i = 0; i < 6; ++i) {
        addNode(scene, meshNode(meshname::kPillar, colonnade,
                                {poseKey(0, kKeyLinear, onCircle(5.5f, 60.0f * i, 0))}));
    }
    addNode(scene,
            meshNode(meshname::kTorus, 0, spinKeys(end, {0, 0.3f, 0}, {0, 0, 0}, {720, 1440, 0}, 1.2f)));

    const int halo =
        addNode(scene, pivotNode(colonnade, spinKeys(end, {0, 2.4f, 0}, {0, 0, 0}, {-810, 0, 0})));
    for (int i = 0; i < 8; ++i) {
        addNode(scene, meshNode(meshname::kShard, halo,
                                spinKeys(end, onCircle(3.0f, 45.0f * i, 0), {0, 0, 90}, {1440, 0, 90})));
    }
    addNode(scene,
            emitterNode(0.5f, {emitterKey(0, kKeyLinear, {0, -1.6f, 0}, 0x80C0FF, 2.5f, 0.14f, 0.05f),
                               emitterKey(end, kKeyLinear, {0, -1.6f, 0}, 0xFFE0A0, 2.5f, 0.14f, 0.05f)}));
    return scene;
}

// Orders 26-31 at half speed, in the left 360 columns: the dented ball with two
// rings, a small moon with its own bubble, and a trail of particles around it.
KfSceneData part6() {
    const int end = lastFrame(0.5 * musictime::sectionSeconds(26, 32));
    KfSceneData scene;
    scene.ambient = 0x302830;

    addNode(scene, cameraNode(3.0f, cameraPath({{0, {0, 0.8f, -8}},
                                                {end / 3, {-3, 2.0f, -7.5f}},
                                                {2 * end / 3, {2.5f, -1.0f, -7.5f}},
                                                {end, {0, 1.5f, -8}}},
                                               {0, 0, 0})));
    addNode(scene, lightNode(0xFFFFFF, 1.0f, 15.0f, {poseKey(0, kKeyLinear, {-3, 4, -6})}));
    addNode(scene, lightNode(0x6080FF, 1.0f, 8.0f, circleKeys(end, 10, {0, 0, 0}, 5.0f, 60.0f, 2.0f, 90.0f)));

    addNode(scene, meshNode(meshname::kBall, 0, spinKeys(end, {0, 0, 0}, {0, 0, 0}, {360, 0, 0})));
    addNode(scene, meshNode(meshname::kRing, 0, spinKeys(end, {0, 0, 0}, {0, 0, 20}, {0, 720, 20}, 1.25f)));
    addNode(scene, meshNode(meshname::kRing, 0, spinKeys(end, {0, 0, 0}, {0, 70, 0}, {0, 70, -720}, 1.45f)));

    // Moon chain: an orbiting pivot carries a torus, which carries a bubble.
    const int orbit = addNode(scene, pivotNode(0, spinKeys(end, {0, 0, 0}, {0, 15, 0}, {720, 15, 0})));
    const int moon = addNode(scene, meshNode(meshname::kTorus, orbit,
                                             spinKeys(end, {3.2f, 0, 0}, {0, 0, 0}, {0, 1080, 0}, 0.35f)));
    addNode(scene, meshNode(meshname::kBubble, moon, {poseKey(0, kKeyLinear, {0, 0, 0}, {}, 0.6f)}));

    addNode(scene, emitterNode(0.3f, emitterPath(circleKeys(end, 5, {0, 0, 0}, 2.4f, 40.0f, 3.0f, 0.0f),
                                                 0xFF60A0, 0.4f, 0.15f, 0.12f)));
    return scene;
}

// Orders 32-37, drawn over the previous frame: a spiral of cubes, crystals on
// a tilted wheel, the knot and two comets of particles; the rolling camera
// turns every move into a trail.
KfSceneData part7() {
    const int end = lastFrame(musictime::sectionSeconds(32, 38));
    KfSceneData scene;
    scene.ambient = 0x202020;

    std::vector<std::pair<int, Vec3f>> eyes;
    for (int k = 0; k <= 4; ++k)
        eyes.push_back({end * k / 4, onCircle(9.5f, -90.0f + 30.0f * k, 1.0f - 0.5f * k)});
    std::vector<KfKeyData> camera = cameraPath(eyes, {0, 0, 0});
    for (size_t k = 0; k < camera.size(); ++k) camera[k].rotZ = 45.0f * static_cast<float>(k);
    addNode(scene, cameraNode(3.2f, camera));

    addNode(scene, lightNode(0xFF6040, 1.0f, 9.0f, circleKeys(end, 10, {0, 0, 0}, 5.0f, 30.0f, 4.0f, 0.0f)));
    addNode(scene,
            lightNode(0x40FF80, 1.0f, 9.0f, circleKeys(end, 10, {0, 0, 0}, 5.0f, -30.0f, 4.0f, 120.0f)));
    addNode(scene,
            lightNode(0x6060FF, 1.0f, 9.0f, circleKeys(end, 10, {0, 0, 0}, 5.0f, 90.0f, -3.0f, 240.0f)));

    addNode(scene, meshNode(meshname::kKnot, 0,
                            {poseKey(0, kKeySpline, {0, 0, 2}, {0, 0, 0}),
                             poseKey(end / 2, kKeySpline, {0, 0, -1.5f}, {540, 270, 0}),
                             poseKey(end, kKeySpline, {0, 0, 2}, {1080, 540, 0})}));

    const int spiral = addNode(scene, pivotNode(0, spinKeys(end, {0, 0, 0}, {0, 0, 0}, {2160, 0, 0})));
    for (int i = 0; i < 6; ++i) {
        std::vector<KfKeyData> keys;
        for (int k = 0; k <= 8; ++k) {
            const float radius = (k + i) % 2 == 0 ? 1.8f : 4.2f;
            keys.push_back(poseKey(end * k / 8, kKeySpline, onCircle(radius, 60.0f * i, 0.6f * ((k % 3) - 1)),
                                   {0, 90.0f * k, 45.0f * k}, 0.6f));
        }
        addNode(scene, meshNode(meshname::kCube, spiral, keys));
    }
    const int lean = addNode(scene, pivotNode(0, {poseKey(0, kKeyLinear, {0, 0, 0}, {0, 60, 0})}));
    const int wheel = addNode(scene, pivotNode(lean, spinKeys(end, {0, 0, 0}, {0, 0, 0}, {0, 0, -1440})));
    for (int i = 0; i < 4; ++i) {
        addNode(scene, meshNode(meshname::kCrystal, wheel,
                                spinKeys(end, onCircle(3.4f, 90.0f * i, 0), {0, 0, 0}, {720, 0, 0}, 0.7f)));
    }
    addNode(scene, emitterNode(0.25f, emitterPath(circleKeys(end, 4, {0, 0, 0}, 3.0f, 20.0f, 8.0f, 0.0f),
                                                  0x40A0FF, 0.6f, 0.18f, 0.04f)));
    addNode(scene, emitterNode(0.25f, emitterPath(circleKeys(end, 4, {0, 0, 0}, 3.0f, -20.0f, 8.0f, 180.0f),
                                                  0xFF8020, 0.6f, 0.18f, 0.04f)));
    return scene;
}

}  // namespace

std::vector<ContentFile> makeScenes() {
    return {
        {"part2.kf", writeScene(part2())}, {"part3.kf", writeScene(part3())},
        {"part4.kf", writeScene(part4())}, {"part6.kf", writeScene(part6())},
        {"part7.kf", writeScene(part7())},
    };
}
