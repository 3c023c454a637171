// The pieces of a capture on their own: frame times and sound spans, the
// pixel scaler, the folder writer and the progress texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/capture_folder.h"
#include "app/capture_progress.h"
#include "app/capture_timing.h"
#include "fx2d/target.h"
#include "resources/byte_fields.h"
#include "tests/capture/program_runs.h"

using capture_runs::readAll;

namespace {

class CaptureFolderTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = capture_runs::scratch("pieces"); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string folder() const { return (dir_ / "frames").string() + "/"; }

    std::filesystem::path dir_;
};

}  // namespace

TEST(CaptureTiming, FramesTakeWholeSamplesWithoutGapsAndStartAtTheirMillisecond) {
    const struct {
        int fps;
        int64_t frame;
        int64_t time_ms;
        int64_t firstSample;
    } cases[] = {
        {60, 1, 16, 735},  {60, 3, 50, 2205},           {60, 60, 1000, 44100},
        {240, 1, 4, 184},   // 183.75 rounds up
        {240, 2, 8, 368},   // 367.5: halves go up
        {240, 3, 12, 551},  // 551.25 rounds down
        {7, 1, 142, 6300}, {4, 1359, 339750, 14982975}, {1, 2, 2000, 88200},
    };
    for (const auto& c : cases) {
        const CaptureTiming timing{c.fps, 44100};
        EXPECT_EQ(frameTime_ms(timing, c.frame), c.time_ms) << c.fps << " fps, frame " << c.frame;
        EXPECT_EQ(firstSampleOf(timing, c.frame), c.firstSample) << c.fps << " fps, frame " << c.frame;
    }
    // A second of frames at any rate is exactly a second of sound, and no
    // frame is longer than the buffer sized for the longest.
    for (int fps = 1; fps <= 240; ++fps) {
        const CaptureTiming timing{fps, 44100};
        EXPECT_EQ(firstSampleOf(timing, fps), 44100) << fps;
        for (int64_t k = 0; k < fps; ++k)
            EXPECT_LE(firstSampleOf(timing, k + 1) - firstSampleOf(timing, k), longestFrame_samples(timing));
    }
    EXPECT_EQ(samplesIn_ms(CaptureTiming{}, 5), 221);  // 220.5 rounds up
    EXPECT_EQ(samplesIn_ms(CaptureTiming{}, 695), 30650);
}

TEST(CaptureScale, EachPixelBecomesABlockAndThePitchIsHonoured) {
    // A 2 x 2 picture in rows 3 pixels apart (the third pixel is not part of it).
    const std::vector<uint32_t> source = {1, 2, 99, 3, 4, 99};
    std::vector<uint32_t> target(2 * 3 * 2 * 3);
    scalePixels(source.data(), 2, 2, 3, 3, target.data());
    const std::vector<uint32_t> expected = {1, 1, 1, 2, 2, 2,  //
                                            1, 1, 1, 2, 2, 2,  //
                                            1, 1, 1, 2, 2, 2,  //
                                            3, 3, 3, 4, 4, 4,  //
                                            3, 3, 3, 4, 4, 4,  //
                                            3, 3, 3, 4, 4, 4};
    EXPECT_EQ(target, expected);
}

TEST_F(CaptureFolderTest, WritesNumberedFramesAndAWavThatKnowsItsLength) {
    CaptureFolder capture;
    ASSERT_TRUE(openCaptureFolder(capture, folder(), 2, 44100)) << capture.error;
    std::vector<uint32_t> frame(kTargetPixels, 0x00102030);
    frame[kTargetWidth + 1] = 0x00FFEEDD;  // pixel (1, 1)
    const std::vector<int16_t> sound = {1, -1, 2, -2, 3, -3};
    for (int64_t k = 0; k < 2; ++k) {
        ASSERT_TRUE(writeFolderFrame(capture, frame.data(), k)) << capture.error;
        ASSERT_TRUE(writeFolderSound(capture, sound.data(), 3)) << capture.error;
    }
    EXPECT_FALSE(std::filesystem::exists(folder() + "music.wav")) << "named before it is complete";
    ASSERT_TRUE(finishCaptureFolder(capture)) << capture.error;

    const std::vector<uint8_t> tga = readAll(folder() + "frame-00001.tga");
    ASSERT_EQ(tga.size(), 18u + 1024 * 512 * 3);
    EXPECT_EQ(tga[12] | tga[13] << 8, 1024);
    EXPECT_EQ(tga[14] | tga[15] << 8, 512);
    // Pixel (1, 1) covers (2..3, 2..3) at scale 2; (1, 1) there is the background.
    const auto at = [&](int x, int y) { return 18 + 3 * (static_cast<size_t>(y) * 1024 + x); };
    EXPECT_EQ(tga[at(3, 3)], 0xDD);
    EXPECT_EQ(tga[at(3, 3) + 2], 0xFF);
    EXPECT_EQ(tga[at(1, 1)], 0x30);
    EXPECT_TRUE(readAll(folder() + "frame-00000.tga") == tga);

    const std::vector<uint8_t> wav = readAll(folder() + "music.wav");
    ASSERT_EQ(wav.size(), 44u + 6 * 4);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(wordAt(&wav[4]), 36u + 24);
    EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(wordAt(&wav[20]), 1u | 2u << 16);   // PCM, stereo
    EXPECT_EQ(wordAt(&wav[24]), 44100u);          // frames per second
    EXPECT_EQ(wordAt(&wav[28]), 44100u * 4);      // bytes per second
    EXPECT_EQ(wordAt(&wav[32]), 4u | 16u << 16);  // 4 bytes a frame, 16 bits
    EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
    EXPECT_EQ(wordAt(&wav[40]), 24u);
    EXPECT_EQ(wav[44], 1);
    EXPECT_EQ(wav[46], 0xFF);  // -1, little-endian
    for (const auto& entry : std::filesystem::directory_iterator(folder()))
        EXPECT_NE(entry.path().extension(), ".part") << entry.path();
}

TEST_F(CaptureFolderTest, AFrameThatCannotBeWrittenIsNamedAndLeavesNothingHalfWritten) {
    CaptureFolder capture;
    ASSERT_TRUE(openCaptureFolder(capture, folder(), 1, 44100)) << capture.error;
    std::filesystem::create_directories(folder() + "frame-00001.tga");  // in the way of the rename
    const std::vector<uint32_t> frame(kTargetPixels, 0);
    EXPECT_TRUE(writeFolderFrame(capture, frame.data(), 0));
    EXPECT_FALSE(writeFolderFrame(capture, frame.data(), 1));
    EXPECT_EQ(capture.error, "cannot write '" + folder() + "frame-00001.tga': Is a directory");
    abandonCaptureFolder(capture);
    EXPECT_FALSE(std::filesystem::exists(folder() + "frame-00001.tga.part"));
    EXPECT_FALSE(std::filesystem::exists(folder() + "music.wav.part"));
    EXPECT_FALSE(std::filesystem::exists(folder() + "music.wav"));

    std::ofstream(dir_ / "plain-file") << "x";
    CaptureFolder blocked;
    EXPECT_FALSE(openCaptureFolder(blocked, (dir_ / "plain-file").string() + "/", 1, 44100));
    EXPECT_EQ(blocked.error.rfind("cannot make the folder '" + (dir_ / "plain-file").string() + "/': ", 0),
              0u)
        << blocked.error;
}

TEST(CaptureProgress, LinesSayWhereTheCaptureIsAndWhatItTook) {
    EXPECT_EQ(progressText(1234, 12, 64, 312.44, 42.4), "frame 1234, order 12 row 64, 312.4 fps, 0:42 left");
    EXPECT_EQ(progressText(7, 0, 3, 80, 3725), "frame 7, order 0 row 3, 80.0 fps, 62:05 left");
    EXPECT_EQ(progressText(7, 0, 3, 80, -1), "frame 7, order 0 row 3, 80.0 fps, time left unknown");
    EXPECT_EQ(
        summaryText(1234, 60, "out.mp4", 12345678, 6.17),
        "1234 frames (20.57 s at 60 fps) in 'out.mp4', 12.3 MB, captured in 6.2 s (3.3 times real time)");
}
