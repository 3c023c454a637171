#include "platform/sound.h"

#include "tests/music_fixture/music_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<int> endCount{0};
std::thread::id endThread;
void countEnd(uint32_t, uint32_t, uint32_t) {
    ++endCount;
    endThread = std::this_thread::get_id();
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        soundSetGlobalVolumes(100, 100, 100);
        endCount = 0;
    }
    void TearDown() override {
        soundFree();
        soundSetPulledOutput(false);
    }

    // A started, playing module of the given shape.
    uint32_t playModule(const TestModuleShape& shape) {
        const std::string path = writeTempFile("zd_sound_test.it", makeTestModule(shape));
        EXPECT_TRUE(soundInit(kSoundOutputRate_hz));
        const uint32_t channel = soundModuleOpenFile(path.c_str());
        EXPECT_NE(channel, 0u) << "error " << soundErrorCode();
        soundSetEndSync(channel, countEnd, 0);
        soundStart();
        soundPlay(channel);
        return channel;
    }
};

}  // namespace

// Under CTest the tests play sound and open windows through SDL's dummy drivers,
// never through the machine's speakers or screen: both variables reach them, or
// (a test program run by hand) neither does.
TEST(HeadlessTests, SdlGetsBothDummyDriversOrNone) {
    const char* video = std::getenv("SDL_VIDEODRIVER");
    const char* audio = std::getenv("SDL_AUDIODRIVER");
    if (!video && !audio) GTEST_SKIP() << "run by hand, without CTest's environment";
    EXPECT_STREQ(video ? video : "(not set)", "dummy");
    EXPECT_STREQ(audio ? audio : "(not set)", "dummy");
}

TEST_F(SoundTest, ReportsVersionZeroPointSix) { EXPECT_EQ(soundVersion(), 0x60000u); }

TEST_F(SoundTest, OpenFailuresGiveTheirCause) {
    EXPECT_EQ(soundModuleOpenFile("any.it"), 0u);
    EXPECT_EQ(soundErrorCode(), kSoundErrorInit);

    ASSERT_TRUE(soundInit(kSoundOutputRate_hz));
    EXPECT_FALSE(soundInit(kSoundOutputRate_hz));
    EXPECT_EQ(soundErrorCode(), kSoundErrorAlready);

    EXPECT_EQ(soundModuleOpenFile("/nonexistent/tune.it"), 0u);
    EXPECT_EQ(soundErrorCode(), kSoundErrorFileOpen);

    const std::string module = writeTempFile("zd_sound_format.it", makeTestModule({}));
    EXPECT_EQ(soundStreamOpenFile(module.c_str()), 0u);
    EXPECT_EQ(soundErrorCode(), kSoundErrorFormat);

    const std::string junk = writeTempFile("zd_sound_junk.it", std::vector<uint8_t>(500, 0x5A));
    EXPECT_EQ(soundModuleOpenFile(junk.c_str()), 0u);
    EXPECT_EQ(soundErrorCode(), kSoundErrorFormat);

    EXPECT_EQ(soundPosition(77), 0u);
    EXPECT_EQ(soundErrorCode(), kSoundErrorHandle);
}

TEST_F(SoundTest, EveryChannelCallRefusesAnUnknownHandle) {
    ASSERT_TRUE(soundInit(kSoundOutputRate_hz));
    const std::string module = writeTempFile("zd_sound_handles.it", makeTestModule({}));
    const uint32_t channel = soundModuleOpenFile(module.c_str());
    ASSERT_NE(channel, 0u);
    int rate = 0;
    for (uint32_t unknown : {0u, channel + 1}) {
        EXPECT_FALSE(soundPlay(unknown));
        EXPECT_EQ(soundErrorCode(), kSoundErrorHandle);
        EXPECT_FALSE(soundSetPosition(unknown, 1));
        EXPECT_EQ(soundErrorCode(), kSoundErrorHandle);
        EXPECT_FALSE(soundSetAttributes(unknown, 22050, 50, 0));
        EXPECT_EQ(soundErrorCode(), kSoundErrorHandle);
        EXPECT_FALSE(soundGetAttributes(unknown, &rate, nullptr, nullptr));
        EXPECT_EQ(soundErrorCode(), kSoundErrorHandle);
        EXPECT_EQ(soundSetEndSync(unknown, countEnd, 0), 0u);
        EXPECT_EQ(soundErrorCode(), kSoundErrorHandle);
    }
    // The real channel is untouched by the refused calls.
    ASSERT_TRUE(soundGetAttributes(channel, &rate, nullptr, nullptr));
    EXPECT_EQ(rate, kSoundOutputRate_hz);
}

namespace {

// Rows per second of playback over about half a second of real time, measured
// against the clock so that a busy machine sleeping longer does not matter.
double rowsPerSecond(uint32_t channel) {
    const TestClock::time_point start = TestClock::now();
    const int startRow = rowsPlayed(soundPosition(channel), 128);
    sleepMs(500);
    const int rows = rowsPlayed(soundPosition(channel), 128) - startRow;
    return rows / secondsSince(start);
}

}  // namespace

TEST_F(SoundTest, LowerPlaybackRateSlowsThePositionInProportion) {
    TestModuleShape shape;
    shape.rowsPerPattern = 128;  // 2.56 s per order: no order change needed
    const uint32_t channel = playModule(shape);
    sleepMs(100);
    const double normal = rowsPerSecond(channel);

    soundSetAttributes(channel, kSoundOutputRate_hz / 2, -1, -101);
    sleepMs(100);  // let the queued sound at the old rate pass
    const double slow = rowsPerSecond(channel);

    EXPECT_NEAR(normal, 50.0, 8.0);  // 20 ms rows
    EXPECT_NEAR(slow / normal, 0.5, 0.12);
}

TEST_F(SoundTest, AttributesKeepWhatIsNotGiven) {
    const uint32_t channel = playModule({});
    int rate = 0, volume = 0, pan = 0;
    ASSERT_TRUE(soundGetAttributes(channel, &rate, &volume, &pan));
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(pan, 0);

    soundSetAttributes(channel, 30000, 50, -20);
    soundSetAttributes(channel, 0, -1, -101);
    soundGetAttributes(channel, &rate, &volume, &pan);
    EXPECT_EQ(rate, 30000);
    EXPECT_EQ(volume, 50);
    EXPECT_EQ(pan, -20);

    soundSetAttributes(channel, 0, 150, 300);
    soundGetAttributes(channel, nullptr, &volume, &pan);
    EXPECT_EQ(volume, 100);
    EXPECT_EQ(pan, 100);
}

TEST_F(SoundTest, VolumeSlideReachesSilenceInAboutHalfASecond) {
    playModule({});
    soundSlideVolumes(0, 0, 0);
    const TestClock::time_point start = TestClock::now();
    EXPECT_TRUE(soundIsSliding());
    while (soundIsSliding() && secondsSince(start) < 3) sleepMs(1);
    EXPECT_FALSE(soundIsSliding());
    EXPECT_NEAR(secondsSince(start), 0.5, 0.15);
    int music = -1, sample = -1, stream = -1;
    soundGetGlobalVolumes(&music, &sample, &stream);
    EXPECT_EQ(music + sample + stream, 0);
}

TEST_F(SoundTest, VolumeSlideWithoutRunningOutputIsImmediate) {
    soundSlideVolumes(10, 20, 30);
    EXPECT_FALSE(soundIsSliding());
    int music = -1, sample = -1, stream = -1;
    soundGetGlobalVolumes(&music, &sample, &stream);
    EXPECT_EQ(music, 10);
    EXPECT_EQ(sample, 20);
    EXPECT_EQ(stream, 30);
}

TEST_F(SoundTest, SetPositionIsReportedAtOnce) {
    const uint32_t channel = playModule({});
    sleepMs(100);
    ASSERT_TRUE(soundSetPosition(channel, 2u | (5u << 16)));
    EXPECT_EQ(soundPosition(channel), 2u | (5u << 16));
    sleepMs(100);
    EXPECT_NEAR(rowsPlayed(soundPosition(channel), 16), 2 * 16 + 5 + 5, 3);
}

TEST_F(SoundTest, WavStreamLoopsAndReportsItsByteOffset) {
    const std::string path = writeTempFile("zd_sound_test.wav", makeSquareWav(22050, 0.2, 441));
    ASSERT_TRUE(soundInit(kSoundOutputRate_hz));
    const uint32_t channel = soundStreamOpenFile(path.c_str());
    ASSERT_NE(channel, 0u) << "error " << soundErrorCode();
    soundSetEndSync(channel, countEnd, 0);
    soundStart();
    soundPlay(channel);
    sleepMs(700);
    EXPECT_GE(endCount.load(), 2);
    EXPECT_LE(endCount.load(), 4);
    // 0.2 s at 44,100 frames of four bytes.
    EXPECT_LT(soundPosition(channel), 8820u * 4);
}

TEST_F(SoundTest, EmptyOrTruncatedWavIsAFormatError) {
    ASSERT_TRUE(soundInit(kSoundOutputRate_hz));
    const std::string empty = writeTempFile("zd_sound_empty.wav", makeSquareWav(22050, 0, 441));
    EXPECT_EQ(soundStreamOpenFile(empty.c_str()), 0u);
    EXPECT_EQ(soundErrorCode(), kSoundErrorFormat);

    std::vector<uint8_t> truncated = makeSquareWav(22050, 0.2, 441);
    truncated.resize(30);  // cut inside the format chunk
    const std::string cut = writeTempFile("zd_sound_cut.wav", truncated);
    EXPECT_EQ(soundStreamOpenFile(cut.c_str()), 0u);
    EXPECT_EQ(soundErrorCode(), kSoundErrorFormat);
}

TEST_F(SoundTest, WithoutADeviceTheMusicIsConsumedInRealTime) {
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    TestModuleShape shape;
    shape.orderCount = 2;
    shape.rowsPerPattern = 8;  // 320 ms a pass
    const uint32_t channel = playModule(shape);
    EXPECT_TRUE(soundIsSilent());
    const TestClock::time_point start = TestClock::now();
    sleepMs(200);
    const double rows = secondsSince(start) / rowDuration_seconds(shape);
    EXPECT_NEAR(rowsPlayed(soundPosition(channel), 8), rows, 2);
    sleepMs(500);
    EXPECT_EQ(endCount.load(), 2);

    // The exit's volume slide ends without a device too.
    soundSlideVolumes(0, 0, 0);
    const TestClock::time_point slide = TestClock::now();
    while (soundIsSliding() && secondsSince(slide) < 3) sleepMs(1);
    EXPECT_NEAR(secondsSince(slide), 0.5, 0.15);
    if (previous)
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
}

// A held square wave, which the tracker library renders the same in reads of
// any size (richer modules differ by float rounding far below a 16-bit step).
TEST_F(SoundTest, PulledOutputIsTheSameSoundHoweverItIsPulled) {
    TestModuleShape shape;
    shape.orderCount = 2;
    shape.rowsPerPattern = 8;             // 14,112 frames a pass: the pulls cross the loop
    const auto pulled = [&](int piece) {  // the first 20,000 frames, `piece` frames at a time
        soundSetPulledOutput(true);
        playModule(shape);
        std::vector<int16_t> sound(2 * 20000);
        for (int done = 0; done < 20000; done += piece)
            soundPull(sound.data() + 2 * done, std::min(piece, 20000 - done));
        soundFree();
        return sound;
    };
    const std::vector<int16_t> whole = pulled(20000);
    int loud = 0;
    for (int16_t s : whole) loud += s > 1000 || s < -1000;
    EXPECT_GT(loud, 10000) << "the module was not heard";
    for (int piece : {735, 64, 1, 4099}) EXPECT_EQ(pulled(piece), whole) << "pieces of " << piece;
}

TEST_F(SoundTest, PulledOutputMovesOnlyWhenPulledAndReportsEndsOnThePullingThread) {
    soundSetPulledOutput(true);
    TestModuleShape shape;
    shape.orderCount = 2;
    shape.rowsPerPattern = 8;  // rows of 882 frames, 14,112 frames a pass
    const uint32_t channel = playModule(shape);
    EXPECT_FALSE(soundIsSilent());
    sleepMs(50);
    EXPECT_EQ(soundPosition(channel), 0u) << "the output moved by itself";

    std::vector<int16_t> sound(2 * 14112);
    soundPull(sound.data(), 3 * 882 + 10);
    EXPECT_EQ(soundPosition(channel), 0u | (3u << 16)) << "no latency: the row after three rows is heard";
    soundPull(sound.data(), 8 * 882);  // into order 1, row 3
    EXPECT_EQ(soundPosition(channel), 1u | (3u << 16));
    EXPECT_EQ(endCount.load(), 0);
    soundPull(sound.data(), 5 * 882);  // past the end: the song starts over
    EXPECT_EQ(endCount.load(), 1);
    EXPECT_EQ(endThread, std::this_thread::get_id());
    EXPECT_EQ(soundPosition(channel), 0u | (0u << 16));
}

TEST_F(SoundTest, PulledOutputIsSilentAndStillUntilStarted) {
    soundSetPulledOutput(true);
    ASSERT_TRUE(soundInit(kSoundOutputRate_hz));
    const std::string path = writeTempFile("zd_sound_unstarted.it", makeTestModule({}));
    const uint32_t channel = soundModuleOpenFile(path.c_str());
    soundPlay(channel);
    std::vector<int16_t> sound(2 * 2000, 7);
    soundPull(sound.data(), 2000);
    EXPECT_EQ(sound, std::vector<int16_t>(2 * 2000, 0));
    EXPECT_EQ(soundPosition(channel), 0u);
}

// A pause holds the position heard on every kind of output, and playing goes
// on from there: after 200 ms, a pause of 300 ms, and 200 ms more, 400 ms of
// rows have been heard. Pulled, the paused pulls are silence and the sound
// after them is the sound the pulls would have given without the pause.
TEST_F(SoundTest, APauseHoldsThePositionAndLosesNothing) {
    TestModuleShape shape;
    shape.orderCount = 4;
    shape.rowsPerPattern = 16;
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = previous ? previous : "";
    for (const char* driver : {"dummy", "no-such-driver"}) {
        SCOPED_TRACE(driver);
        setenv("SDL_AUDIODRIVER", driver, 1);
        const uint32_t channel = playModule(shape);
        const TestClock::time_point start = TestClock::now();
        sleepMs(200);
        soundPause(true);
        const double beforePause = secondsSince(start);
        EXPECT_TRUE(soundIsPaused());
        const uint32_t held = soundPosition(channel);
        sleepMs(300);
        EXPECT_EQ(soundPosition(channel), held);
        soundPause(false);
        const TestClock::time_point resumed = TestClock::now();
        sleepMs(200);
        const double heard = beforePause + secondsSince(resumed);
        EXPECT_NEAR(rowsPlayed(soundPosition(channel), 16), heard / rowDuration_seconds(shape), 2);
        soundFree();
    }
    if (previous)
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");

    const auto pulled = [&](bool withPause) {
        soundSetPulledOutput(true);
        const uint32_t channel = playModule(shape);
        std::vector<int16_t> sound(2 * 20000), part(2 * 5000);
        soundPull(sound.data(), 10000);
        if (withPause) {
            soundPause(true);
            const uint32_t held = soundPosition(channel);
            soundPull(part.data(), 5000);
            EXPECT_EQ(part, std::vector<int16_t>(part.size(), 0));
            EXPECT_EQ(soundPosition(channel), held);
            soundPause(false);
        }
        soundPull(sound.data() + 2 * 10000, 10000);
        soundFree();
        return sound;
    };
    EXPECT_EQ(pulled(true), pulled(false));
}
