// The 3D sections: five keyframe scenes posed over their backgrounds, and the
// dented ball in a scene of its own. Scene functions called by the schedule;
// the pure parts serve them, the tests and the benches.
#pragma once

#include <cstdint>

struct Image;

// Background scroll offsets: trunc(k t), limited to 0 ... stop, so each
// background moves at a constant speed and then stands still.
int scrollOffset(float speed, float t, int stop);

// The scenes' background copies into a 512 x 256 target (rows 512 apart).
// Frame rows 0 ... 255 := picture rows s ... s + 255 (512-pixel rows).
void copyRowsFrom(uint32_t* target, const Image& picture, int s);
// Frame row i := 512 pixels of picture row i from column s.
void copyColumnsFrom(uint32_t* target, const Image& picture, int s);
// Frame row i: columns 0 ... 358 from "p6back.jpg", the rest from row s + i
// of "nofx.jpg" (153 pixels wide).
void copyPanelAndStrip(uint32_t* target, const Image& p6back, const Image& nofx, int s);

// The keyframe times: "part3.kf" loops t modulo 6.5 s (in double), "part6.kf"
// runs at half speed; the other scenes take t as it is.
float part3Time(float t);
float part6Time(float t);

// The four dents of the ball at c = 1.8 t: centres circling the origin in
// the XY and YZ planes, radius 1.8, pushed in this order.
struct BallPush {
    float x, y, z;
};
void ballPushes(float t, BallPush (&pushes)[4]);

// Start-up check of the backgrounds in assets: every row and column a scene
// copies must exist. Throws LoadError "<file>: <problem>".
void check3dSectionPictures();

// Scene functions (t: seconds since the schedule entry started).
void scenePart2(float t);  // orders 5-8: "part2.kf" under the swirl warp of "txt1.jpg"
void scenePart3(float t);  // orders 9-13: "part3.kf" in the left half over "p3back.jpg"
void scenePart4(float t);  // orders 14-20: "part4.kf" over "p4back.jpg"
void scenePart6(float t);  // orders 26-31: the dented ball in "part6.kf" beside "nofx.jpg"
void scenePart7(float t);  // orders 32-37: "part7.kf" over the previous frame
void ballScene(float t);   // orders 38-40: the dented ball alone over "p8back.jpg"
