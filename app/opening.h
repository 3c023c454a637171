// The opening section (orders 0 to 5): the swirl warp of "txt1.jpg" with "s1.tga",
// four portrait pairs that grow and cross-fade on the music, and the smear waves. Called by the schedule.
#pragma once

#include <cstdint>

struct WarpGrid;

// Reads the demo clock in milliseconds (demoTime in the presentation).
using DemoClockReader = int32_t (*)();

// The swirl grid, also used by the second and closing sections: the straight grid
// centred on (0, 0), swayed by cosines of the demo time and turned by 0.1 radian per
// second. The clock is read once for the angle and again for every cosine term.
void fillSwirlGrid(WarpGrid& grid, DemoClockReader readClock);
// The same with the angle's clock reading d0 taken earlier by the caller.
void fillSwirlGrid(WarpGrid& grid, int32_t d0, DemoClockReader readClock);

// Levels of the four portrait pairs, [0] for pair 1 ... [3] for pair 4; 0 at start,
// written by the level setters, read by openingScene.
extern float portraitLevel[4];

// Start-up check of the two opening pictures in assets (throws LoadError "<file>: <problem>").
void checkOpeningPictures();

// Scene functions (t: seconds since the schedule entry started).
void openingScene(float t);  // ignores t; follows the demo clock
void raiseLevel1(float t);   // portraitLevel 1 := 2 t
void dropLevel1(float t);    // portraitLevel 1 := max(0, 1 - 2.3 t)
void raiseLevel2(float t);
void dropLevel2(float t);
void raiseLevel3(float t);
void dropLevel3(float t);
void raiseLevel4(float t);
void dropLevel4(float t);
void smearWave(float t);  // smears rows 40 to 215 of the frame by a swelling radius
