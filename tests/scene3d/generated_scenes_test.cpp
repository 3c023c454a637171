// The five generated keyframe scenes, posed every 0.1 s over their sections
// with the times and viewports of the 3D sections, render within the World's
// capacities and the frame, and put 3D pixels on screen in most frames.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "resources/resource_cache.h"
#include "scene3d/world.h"
#include "tests/scene3d/generated_content.h"
#include "tools/content/music_timing.h"

namespace {

struct SectionCase {
    const char* scene;
    int firstOrder, endOrder;
    int viewportWidth;
    float (*sceneTime)(double sectionSeconds);
};

const SectionCase kSections[] = {
    {"part2.kf", 5, 9, 512, [](double t) { return static_cast<float>(t); }},
    {"part3.kf", 9, 14, 256, [](double t) { return static_cast<float>(std::fmod(t, 6.5)); }},
    {"part4.kf", 14, 21, 512, [](double t) { return static_cast<float>(t); }},
    {"part6.kf", 26, 32, 360, [](double t) { return static_cast<float>(0.5 * t); }},
    {"part7.kf", 32, 38, 512, [](double t) { return static_cast<float>(t); }},
};

constexpr int kVisiblePixels = 400;  // a frame with fewer lit pixels shows no 3D to speak of

}  // namespace

using GeneratedScenes = GeneratedContent;

TEST_F(GeneratedScenes, EverySceneRendersItsSectionWithinBoundsAndVisibly) {
    ResourceCache cache(pack());
    World world(&cache, 512, 256, 512);
    std::vector<uint32_t> frame(512 * 256);
    for (const SectionCase& section : kSections) {
        SCOPED_TRACE(section.scene);
        KfScene& scene = world.loadScene(section.scene);
        const double seconds = musictime::sectionSeconds(section.firstOrder, section.endOrder);
        int frames = 0, visibleFrames = 0;
        for (double t = 0.0; t < seconds; t += 0.1, ++frames) {
            std::fill(frame.begin(), frame.end(), 0u);
            world.clearScene();
            world.setViewport(section.viewportWidth, 256, 512);
            world.drawScene(scene, section.sceneTime(t));
            world.render(frame.data());
            ASSERT_EQ(world.drops.total(), 0) << "at t = " << t;

            int lit = 0;
            for (int y = 0; y < 256; ++y) {
                for (int x = 0; x < 512; ++x) {
                    const uint32_t pixel = frame[static_cast<size_t>(y * 512 + x)];
                    if (x >= section.viewportWidth) {
                        ASSERT_EQ(pixel, 0u) << "drawn outside the viewport at t = " << t;
                    }
                    lit += pixel != 0;
                }
            }
            visibleFrames += lit >= kVisiblePixels;
        }
        EXPECT_GE(visibleFrames, frames * 9 / 10) << "of " << frames << " frames";
    }
}
