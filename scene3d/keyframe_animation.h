// Keyframe animation: sampling a node's keys at a time, the spline blend, and
// the particle emitters' random numbers. Used by World::drawScene.
#pragma once

#include <cstdint>
#include <span>

#include "scene3d/kf_scene.h"

// The node's nine values at `t` seconds (keys are in tenths of a second). From
// the last key on, a copy of it; between keys, linear or spline by the later
// key's interp. Linear motion extrapolates before the second key's frame; a
// spline holds the first key there. `keys` must not be empty.
KfKey sampleTrack(std::span<const KfKey> keys, float t);

// The blend of p1 (u = 0) to p2 (u = 1) with p0 and p3 as the neighbours that
// set the tangents; u is limited to 0 ... 1.
float splineBlend(float u, float p0, float p1, float p2, float p3);

// The next value in [0, 1) of the emitters' generator; `state` starts at 127.
float randomUnit(int32_t& state);
