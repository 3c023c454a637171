#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "render3d/span_fillers.h"
#include "test_scene.h"

namespace {

// A face turned to the camera, covering (6, 6) at depth z.
int frontFace(TestScene& scene, float z, uint32_t flags, uint32_t colour) {
    const int a = scene.worldVertex(4, 2, z), b = scene.worldVertex(12, 6, z), c = scene.worldVertex(4, 10, z);
    return scene.face(a, b, c, flags, colour);
}

}  // namespace

// Drawn frames use the stamps 0, 8, ..., 80; the twelfth finds 88, clears the
// depth buffer (entries from earlier frames go) and draws with 0 again.
TEST(Render, DepthStampCyclesThroughElevenFramesThenClears) {
    TestScene scene;
    const size_t covered = 6 * 40 + 6, elsewhere = 14 * 40 + 30;
    scene.world.depthBuffer[elsewhere] = depthOf(0, 5.0f);
    for (int frame = 0; frame < 12; ++frame) {
        const int32_t stamp = frame < 11 ? 8 * frame : 0;
        scene.reset();
        frontFace(scene, 1.0f, 0, 0xFFFFFF);
        scene.world.render(scene.frame.data());
        EXPECT_EQ(scene.world.depthBuffer[covered], depthOf(stamp, 1.0f)) << frame;
        EXPECT_EQ(scene.world.depthBuffer[elsewhere], frame < 11 ? depthOf(0, 5.0f) : 0) << frame;
        EXPECT_EQ(scene.world.depthStamp, stamp + 8) << frame;
    }
}

// Frames with nothing left to draw return early: no pixel, no stamp change.
TEST(Render, FramesWithNothingToDrawLeaveStampAndPictureAlone) {
    const std::vector<std::function<void(TestScene&)>> scenes = {
        [](TestScene&) {},                                        // empty
        [](TestScene& s) {                                        // back face only
            s.face(s.worldVertex(4, 10), s.worldVertex(12, 6), s.worldVertex(4, 2), 0);
        },
        [](TestScene& s) { frontFace(s, 0.1f, 0, 0xFFFFFF); },   // in front of the near plane
    };
    for (size_t k = 0; k < scenes.size(); ++k) {
        TestScene scene;
        scene.world.depthStamp = 16;
        scenes[k](scene);
        scene.world.render(scene.frame.data());
        EXPECT_EQ(scene.world.depthStamp, 16) << k;
        for (uint32_t pixel : scene.frame) ASSERT_EQ(pixel, TestScene::kBackground) << k;
    }
}

// Whatever the list order: the nearer opaque face shows, a translucent face in
// front blends over it, and a sprite behind the faces glows only beside them.
TEST(Render, DepthOrderAndDepthTestResolveTheVisibleSurface) {
    for (bool nearFirst : {true, false}) {
        TestScene scene;
        if (nearFirst) frontFace(scene, 1.0f, 0, 0x00FF00);
        frontFace(scene, 2.0f, 0, 0xFF0000);
        if (!nearFirst) frontFace(scene, 1.0f, 0, 0x00FF00);
        frontFace(scene, 0.5f, kSpanTranslucent, 0xFFFFFF);
        scene.world.addParticle(-30, 6, 3.0f, 0xFFFFFF, 30.0f);  // 10 pixels wide around (6, 6)
        scene.world.render(scene.frame.data());
        EXPECT_EQ(scene.pixel(6, 6), average(0x00FF00, 0xFFFFFF)) << nearFirst;
        EXPECT_NE(scene.pixel(2, 6), TestScene::kBackground) << nearFirst;
    }
}
