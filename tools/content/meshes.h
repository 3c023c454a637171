// Names of the generated meshes, shared by the mesh builder (meshes.cpp) and
// the keyframe scenes that place them (scenes.cpp).
#pragma once

namespace meshname {
inline constexpr const char* kBall = "p6ball.edo";      // sphere, env-mapped, textured Gouraud
inline constexpr const char* kKnot = "knot.edo";        // torus knot, env-mapped, textured Gouraud
inline constexpr const char* kTorus = "torus.edo";      // marble torus, textured Gouraud
inline constexpr const char* kCube = "cube.edo";        // two-coloured cube, flat
inline constexpr const char* kFloor = "floor.edo";      // tiled floor, textured flat
inline constexpr const char* kPillar = "pillar.edo";    // cylinder, Gouraud
inline constexpr const char* kShard = "shard.edo";      // thin three-sided crystal, flat translucent
inline constexpr const char* kRing = "ring.edo";        // flat square-section ring, textured translucent
inline constexpr const char* kCrystal = "crystal.edo";  // eight-sided crystal, Gouraud translucent
inline constexpr const char* kBubble = "bubble.edo";    // sphere, env-mapped textured Gouraud translucent
}  // namespace meshname
