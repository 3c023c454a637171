// Plays a module through the music player on SDL's disk audio driver and
// reads back the samples it wrote: the module is heard, and the exit slows it
// down and fades it to silence.
#include "sync/music_player.h"

#include "tests/music_fixture/music_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

constexpr int kWindow_frames = 2205;  // 50 ms at 44.1 kHz

struct Window {
    double rms = 0;
    int crossings = 0;  // sign changes of the left channel
};

// Root mean square of the left channel over `frames` frames from frame `start`.
double leftRms(const std::vector<float>& stereo, size_t start, size_t frames) {
    double sum = 0;
    for (size_t i = start; i < start + frames; ++i) sum += stereo[2 * i] * stereo[2 * i];
    return std::sqrt(sum / static_cast<double>(frames));
}

std::vector<Window> analyse(const std::vector<float>& stereo) {
    std::vector<Window> windows;
    const size_t frames = stereo.size() / 2;
    for (size_t start = 0; start + kWindow_frames <= frames; start += kWindow_frames) {
        Window w;
        w.rms = leftRms(stereo, start, kWindow_frames);
        for (size_t i = start + 1; i < start + kWindow_frames; ++i)
            if ((stereo[2 * i] >= 0) != (stereo[2 * i - 2] >= 0)) ++w.crossings;
        windows.push_back(w);
    }
    return windows;
}

std::vector<float> readFloats(const std::string& path) {
    std::vector<float> samples;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return samples;
    float buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, sizeof(float), 4096, f)) > 0)
        samples.insert(samples.end(), buffer, buffer + got);
    std::fclose(f);
    return samples;
}

}  // namespace

TEST(MusicOutput, TheModuleIsHeardAndTheExitSlowsAndFadesIt) {
    const std::string out = (std::filesystem::temp_directory_path() / "zd_music_output.raw").string();
    std::remove(out.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);

    TestModuleShape shape;
    shape.orderCount = 16;
    const std::string module = writeTempFile("zd_music_output.it", makeTestModule(shape));
    musicOpen(module.c_str());
    musicStart();
    musicSetPosition(0);
    sleepMs(500);
    musicFadeOut();

    const std::vector<float> samples = readFloats(out);
    const std::vector<Window> windows = analyse(samples);
    ASSERT_GE(windows.size(), 16u) << "the disk driver wrote too little";

    // The tone: a square wave of 220.5 Hz, about 22 sign changes per window.
    size_t first = 0;
    while (first < windows.size() && windows[first].rms < 0.01) ++first;
    ASSERT_LT(first + 3, windows.size()) << "nothing was heard";
    const Window& playing = windows[first + 2];
    EXPECT_GT(playing.rms, 0.05);
    EXPECT_NEAR(playing.crossings, 22, 3);

    // While slowing down the tone falls in pitch but is still heard.
    bool slowedDown = false;
    for (const Window& w : windows)
        if (w.rms > 0.02 && w.crossings > 0 && w.crossings < 11) slowedDown = true;
    EXPECT_TRUE(slowedDown);

    // The volume slide takes it down to silence.
    const size_t n = windows.size();
    EXPECT_LT(windows[n - 2].rms, windows[n - 6].rms);
    // The last device buffer: 512 frames.
    EXPECT_LT(leftRms(samples, samples.size() / 2 - 512, 512), playing.rms * 0.05);
    std::remove(out.c_str());
}
