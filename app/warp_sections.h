// The warp and feedback scenes: the tunnel drawn into workBuffer, the row wipes that
// bring it (and then the panel) into the frame, the glow rays, and the closing swirl.
// Scene functions are called by the schedule; the pure parts serve them, the tests and the benches.
#pragma once

#include <cstdint>

struct Image;
struct WarpGrid;

// Rotation of the tunnel: 0.3 radian per second of demo time, as a 32-bit float.
float tunnelAngle(int32_t demoTimeMs);

// The tunnel grid: every point looks along a ray into a tube, rotated by `angle`
// (radians) and scrolled by t seconds (1.2 texels/s across, 0.4 along, times 50).
void fillTunnelGrid(WarpGrid& grid, float angle, float t);

// Levels 0 ... 255 of a row wipe at t seconds, one per frame row: every row rises
// at k levels per second from -356, and rows 40 to 215 get m half sine waves of
// height 256 added, so those bands lead (or trail) the others.
constexpr int kWipeRows = 256;
void rowWipeLevels(int32_t* levels, int k, int m, float t);

// Builds the panel in a 512 x 256 target: columns 0 ... 358 of each row from
// "p6back.jpg" (359 pixels wide, at least 256 rows), the rest grey 0xA5A5A5.
void buildPanel(uint32_t* target, const Image& p6back);

// Start-up checks; each throws LoadError "<file>: <problem>".
void checkPanelPicture(const Image& p6back);  // 359-pixel rows, at least 256 rows
void checkWarpSectionPictures();              // "txt5.jpg" and "p6back.jpg" from assets

// Scene functions (t: seconds since the schedule entry started).
void tunnelWarp(float t);    // draws the tunnel into workBuffer only
void wipeToTunnel(float t);  // wipes workBuffer (the tunnel) into the frame, row by row
void glowScene(float t);     // the frame := workBuffer with glow rays
void wipeToPanel(float t);   // builds the panel in workBuffer and wipes it in, band by band
void closingWarp(float t);   // the swirl warp of "txt1.jpg" with "s1.tga"
