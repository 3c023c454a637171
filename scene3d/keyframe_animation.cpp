// Posing keyframe scenes: key sampling, the node hierarchy, lights, camera and
// particle emitters.
#include "scene3d/keyframe_animation.h"

#include <algorithm>
#include <cmath>

#include "scene3d/float_to_int.h"
#include "scene3d/mesh.h"
#include "scene3d/world.h"

namespace {

constexpr float kPi = 3.141592654f;

// Emission per frame stops at one pool's worth, since more could not survive
// the frame (the ring overwrites its own), and at most at this many: 15.7
// million particles a second, where real content emits hundreds. With the
// lean walk of the pools once the frame is full, this bounds what one frame of
// any scene the loader accepts costs (four emitters of a million slots: about
// 37 ms here, bench/emitter_worst_case.cpp).
constexpr int32_t kMaxEmittedPerFrame = 1 << 18;

// A pivot as a parent transform reads it: an emitter keeps its last emission
// and update times in the pivot's y and z fields.
struct Pivot {
    float x, y, z;
};

Pivot pivotOf(const KfNode& node) {
    if (node.type == kKfEmitter) return {node.pivotX, node.lastEmit, node.lastUpdate};
    return {node.pivotX, node.pivotY, node.pivotZ};
}

// A particle colour channel: |floor(value)| as an integer, at most 255 (values
// beyond the integers count as 255).
uint32_t colourChannel(float value) {
    const int32_t channel = truncToInt32(std::fabs(std::floor(value)));
    return channel < 0 ? 255u : static_cast<uint32_t>(std::min(channel, 255));
}

// Emits n = floor((t - lastEmit) x rate) new particles spread along the path
// and parameter change since the last emission, then draws every live
// particle and moves it by the time since the last update.
void runEmitter(World& world, const KfScene& scene, KfNode& emitter, const KfKey& now, float t) {
    const int32_t slots = static_cast<int32_t>(emitter.pool.size());
    if (slots == 0) return;  // not prepared by World::loadScene
    KfKey from = sampleTrack(scene.keysOf(emitter), emitter.lastEmit);
    const float rate = (now.scaleZ - 1.0f) * 1000.0f;  // particles per second
    // n is capped before it is converted; NaN converts to a negative count, which emits nothing.
    const int32_t cap = std::min(slots, kMaxEmittedPerFrame);
    const float count = std::floor((t - emitter.lastEmit) * rate);
    const int32_t n = count > static_cast<float>(cap) ? cap : truncToInt32(count);
    if (n != 0) {
        float step[8];
        for (int v = 0; v < 8; ++v)
            step[v] = (now.*kKfKeyValues[v] - from.*kKfKeyValues[v]) / static_cast<float>(n);
        for (int32_t k = 0; k < n; ++k) {
            Particle& p = emitter.pool[static_cast<size_t>(emitter.ringPos)];
            const float spread = from.scaleX - 1.0f;
            p.x = from.x;
            p.y = from.y;
            p.z = from.z;
            p.vx = (randomUnit(world.randomState) - 0.5f) * spread;
            p.vy = (randomUnit(world.randomState) - 0.5f) * spread;
            p.vz = (randomUnit(world.randomState) - 0.5f) * spread;
            p.size = from.scaleY - 1.0f;
            p.colour =
                colourChannel(from.rotY) << 16 | colourChannel(from.rotX) << 8 | colourChannel(from.rotZ);
            for (int v = 0; v < 8; ++v) from.*kKfKeyValues[v] += step[v];
            emitter.ringPos = emitter.ringPos + 1 == slots ? 0 : emitter.ringPos + 1;
        }
        emitter.lastEmit = t;  // when n is 0 the fraction carries over to the next frame
    }

    const float dt = t - emitter.lastUpdate;
    const size_t poolSize = emitter.pool.size();
    size_t i = 0;
    for (; i < poolSize && world.particleFits(); ++i) {
        Particle& p = emitter.pool[i];
        if (p.size == 0.0f) continue;
        world.addParticle(p.x, p.y, p.z, static_cast<int32_t>(p.colour), p.size);
        p.x += dt * p.vx;
        p.y += dt * p.vy;
        p.z += dt * p.vz;
    }
    // The frame holds no more particles: the rest only move, and count as dropped.
    int dropped = 0;
    for (; i < poolSize; ++i) {
        Particle& p = emitter.pool[i];
        if (p.size == 0.0f) continue;
        ++dropped;
        p.x += dt * p.vx;
        p.y += dt * p.vy;
        p.z += dt * p.vz;
    }
    world.drops.particles += dropped;
    emitter.lastUpdate = t;
}

}  // namespace

KfKey sampleTrack(std::span<const KfKey> keys, float t) {
    const int count = static_cast<int>(keys.size());
    const float f = t * 10.0f;  // in key frames
    int i = 0;
    int n = count == 1 ? 0 : 1;
    // floor(f + 1) and the frame compare in double, where every 32-bit frame is exact.
    while (i < count - 1 && std::floor(static_cast<double>(f + 1.0f)) >
                                static_cast<double>(keys[static_cast<size_t>(n)].frame)) {
        ++i;
        n = i + 1 >= count ? i : i + 1;
    }
    const KfKey& a = keys[static_cast<size_t>(i)];
    if (n == i) return a;
    const KfKey& b = keys[static_cast<size_t>(n)];
    const KfKey& before = keys[static_cast<size_t>(std::max(i - 1, 0))];
    const KfKey& after = keys[static_cast<size_t>(std::min(n + 1, count - 1))];
    // The frame difference in 64 bits: any two 32-bit frames give a defined value.
    const float u = (f - static_cast<float>(a.frame)) / static_cast<float>(int64_t{b.frame} - a.frame);

    KfKey out = a;
    for (float KfKey::*value : kKfKeyValues) {
        out.*value = b.interp == kKfLinear ? a.*value + (b.*value - a.*value) * u
                                           : splineBlend(u, before.*value, a.*value, b.*value, after.*value);
    }
    return out;
}

float splineBlend(float u, float p0, float p1, float p2, float p3) {
    u = u < 0.0f ? 0.0f : (u > 1.0f ? 1.0f : u);
    const float w = u * 0.5f * kPi;
    const float s = static_cast<float>(std::sin(static_cast<double>(w)));
    const float c = static_cast<float>(std::cos(static_cast<double>(w)));
    return 0.5f * s * (s - 1.0f) * p0 + 0.5f * c * (c + 1.0f) * p1 + 0.5f * s * (s + 1.0f) * p2 +
           0.5f * c * (c - 1.0f) * p3;
}

float randomUnit(int32_t& state) {
    // Wrapping 32-bit arithmetic in unsigned words; >> is arithmetic on the
    // signed view.
    const uint32_t a = (static_cast<uint32_t>(state) + 0x1234567u) * 177u;
    const uint32_t shifted = static_cast<uint32_t>(static_cast<int32_t>(a) >> 2);
    const uint32_t low = shifted & 0xFFu;
    const uint32_t b = (shifted + a + 0x12D687u) * 177u;
    state = static_cast<int32_t>(b);
    const uint32_t high = (b << 6) & 0xFF00u;
    return static_cast<float>(high + low) / 65536.0f;
}

int World::drawScene(KfScene& scene, float t) {
    setAmbient(static_cast<int32_t>(scene.ambient));
    for (KfNode& node : scene.nodes) {
        const KfKey s = sampleTrack(scene.keysOf(node), t);
        switch (node.type) {
            case kKfMesh: {
                if (node.mesh == nullptr) break;  // not prepared by World::loadScene
                const int placedFaces = faceCount;
                addMesh(*node.mesh, s.rotZ, s.rotX, s.rotY, s.x, s.y, s.z, s.scaleX, s.scaleY, s.scaleZ,
                        node.pivotX, node.pivotY, node.pivotZ);
                if (faceCount == placedFaces) break;  // nothing placed, nothing to move
                for (int32_t parent = node.parent; parent != 0;) {
                    const KfNode& ancestor = scene.nodes[static_cast<size_t>(parent - 1)];
                    const KfKey p = sampleTrack(scene.keysOf(ancestor), t);
                    const Pivot pivot = pivotOf(ancestor);
                    applyParentTransform(*node.mesh, p.rotZ, p.rotX, p.rotY, p.x, p.y, p.z, p.scaleX,
                                         p.scaleY, p.scaleZ, pivot.x, pivot.y, pivot.z);
                    parent = ancestor.parent;
                }
                break;
            }
            case kKfLight:
                addLight(s.x, s.y, s.z, static_cast<int32_t>(node.lightColour), node.lightIntensity,
                         node.lightRange);
                break;
            case kKfCamera:
                setCamera(s.rotZ, s.rotX, s.rotY, s.x, s.y, s.z, node.cameraZoom);
                break;
            case kKfEmitter:
                runEmitter(*this, scene, node, s, t);
                break;
            default:
                break;  // no effect of its own; may still be a parent
        }
    }
    return static_cast<int>(scene.nodes.size());
}
