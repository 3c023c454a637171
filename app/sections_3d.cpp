// The 3D sections of orders 5-14, 14-21, 26-41.
#include "app/sections_3d.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/assets.h"
#include "app/demo.h"
#include "app/opening.h"
#include "app/scene_math.h"
#include "display/display.h"
#include "fx2d/mul_table.h"
#include "fx2d/target.h"
#include "fx2d/warp_grid.h"
#include "resources/image.h"
#include "resources/load_error.h"
#include "scene3d/mesh_object.h"
#include "scene3d/world.h"
#include "sync/demo_clock.h"

namespace {

WarpGrid grid;  // scenePart2's swirl, refilled every frame

// The backgrounds and what the scenes read of them.
constexpr int kP3backWidth = 512, kP3backStop = 540;
constexpr int kP4backWidth = 1300, kP4backStop = 780;
constexpr int kPanelWidth = 359;  // columns of "p6back.jpg" beside the strip
constexpr int kNofxWidth = 153, kNofxStop = 1180;
constexpr int kP8backWidth = 1000, kP8backStop = 485;
constexpr float kBallRadius = 1.8f;

void checkPicture(const Image& picture, const char* name, int width, int minRows) {
    if (picture.width != width || picture.height < minRows)
        throw LoadError(std::string(name) + ": needs " + std::to_string(width) + "-pixel rows and at least " +
                        std::to_string(minRows) + " rows, is " + std::to_string(picture.width) + " x " +
                        std::to_string(picture.height));
}

// Poses a keyframe scene at `time` in a fresh frame of the World and draws it.
void renderScene(KfScene& scene, int viewportWidth, float time) {
    world->clearScene();
    world->setViewport(viewportWidth, kTargetHeight, kTargetWidth);
    world->drawScene(scene, time);
    world->render(frameBuffer);
}

void dentBall(float t) {
    BallPush pushes[4];
    ballPushes(t, pushes);
    assets.ball->reset();
    for (const BallPush& p : pushes) assets.ball->push(p.x, p.y, p.z, kBallRadius);
}

}  // namespace

int scrollOffset(float speed, float t, int stop) {
    const int s = truncToInt(speed * t);
    return s < 0 ? 0 : (s > stop ? stop : s);
}

void copyRowsFrom(uint32_t* target, const Image& picture, int s) {
    for (int y = 0; y < kTargetHeight; ++y) {
        const uint32_t* source = picture.row(s + y);
        std::copy(source, source + kTargetWidth, target + y * kTargetWidth);
    }
}

void copyColumnsFrom(uint32_t* target, const Image& picture, int s) {
    for (int y = 0; y < kTargetHeight; ++y) {
        const uint32_t* source = picture.row(y) + s;
        std::copy(source, source + kTargetWidth, target + y * kTargetWidth);
    }
}

void copyPanelAndStrip(uint32_t* target, const Image& p6back, const Image& nofx, int s) {
    for (int y = 0; y < kTargetHeight; ++y) {
        uint32_t* row = target + y * kTargetWidth;
        std::copy(p6back.row(y), p6back.row(y) + kPanelWidth, row);
        std::copy(nofx.row(s + y), nofx.row(s + y) + kNofxWidth, row + kPanelWidth);
    }
}

float part3Time(float t) { return static_cast<float>(std::fmod(static_cast<double>(t), 6.5)); }

float part6Time(float t) { return 0.5f * t; }

void ballPushes(float t, BallPush (&pushes)[4]) {
    const double c = 1.8 * static_cast<double>(t);
    const float cosine = static_cast<float>(2.0 * std::cos(c));
    const float sine = static_cast<float>(2.0 * std::sin(c));
    pushes[0] = {cosine, sine, 0.0f};
    pushes[1] = {-cosine, -sine, 0.0f};
    pushes[2] = {0.0f, sine, cosine};
    pushes[3] = {0.0f, -sine, -cosine};
}

void check3dSectionPictures() {
    checkPicture(*assets.p3back, "p3back.jpg", kP3backWidth, kP3backStop + kTargetHeight);
    checkPicture(*assets.p4back, "p4back.jpg", kP4backWidth, kTargetHeight);
    checkPicture(*assets.nofx, "nofx.jpg", kNofxWidth, kNofxStop + kTargetHeight);
    checkPicture(*assets.p8back, "p8back.jpg", kP8backWidth, kTargetHeight);
}

void scenePart2(float t) {
    const int32_t d0 = demoTime();  // the swirl's angle: read before anything is drawn
    clearFrame(frameBuffer, 0);
    renderScene(*assets.part2, kTargetWidth, t);
    fillSwirlGrid(grid, d0, demoTime);
    warpBlend(frameBuffer, grid, *assets.txt1);
}

void scenePart3(float t) {
    copyRowsFrom(frameBuffer, *assets.p3back, scrollOffset(17.0f, t, kP3backStop));
    renderScene(*assets.part3, 256, part3Time(t));
}

void scenePart4(float t) {
    copyColumnsFrom(frameBuffer, *assets.p4back, scrollOffset(20.0f, t, kP4backStop));
    renderScene(*assets.part4, kTargetWidth, t);
}

void scenePart6(float t) {
    copyPanelAndStrip(frameBuffer, *assets.p6back, *assets.nofx, scrollOffset(36.0f, t, kNofxStop));
    dentBall(t);
    renderScene(*assets.part6, 360, part6Time(t));
}

void scenePart7(float t) { renderScene(*assets.part7, kTargetWidth, t); }

void ballScene(float t) {
    copyColumnsFrom(frameBuffer, *assets.p8back, scrollOffset(23.0f, t, kP8backStop));
    dentBall(t);
    world->clearScene();
    world->setViewport(kTargetWidth, kTargetHeight, kTargetWidth);
    world->addMesh(assets.ball->mesh, 0.0f, 60.0f * t, 90.0f * t, 0, 0, 0, 1, 1, 1, 0, 0, 0);
    world->setAmbient(0x404040);
    world->addLight(0, 0, -20, 0xFFFFFF, 1.0f, 40.0f);
    world->setCamera(0, 0, 0, 0, 0, -10, static_cast<float>(2.0 * std::sin(static_cast<double>(t)) + 3.0));
    world->render(frameBuffer);
}
