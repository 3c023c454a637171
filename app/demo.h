// Process-wide state of the presentation: set up once by main, read by the
// scene functions. frameBuffer itself belongs to the display (display/display.h).
#pragma once

#include <cstdint>

#include "fx2d/target.h"  // the frame size: kTargetWidth x kTargetHeight

class MeshObject;
class ResourceCache;
class World;

extern int running;               // the main loop runs while this is nonzero
extern uint32_t* workBuffer;      // second 512 x 256 picture of the warp scenes
extern ResourceCache* resources;  // the one source of every asset
extern World* world;              // the 3D world of the 3D scenes
