#include "sync/music_player.h"

#include "platform/sound.h"
#include "sync/demo_clock.h"
#include "tests/music_fixture/music_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

namespace {

class MusicPlayerTest : public ::testing::Test {
protected:
    void SetUp() override { musicSetVolume(100); }
    void TearDown() override { soundFree(); }

    // Start-up as the presentation does it: open, start, position 0.
    static void startModule(const TestModuleShape& shape) {
        const std::string path = writeTempFile("zd_music_test.it", makeTestModule(shape));
        musicOpen(path.c_str());
        musicStart();
        musicSetPosition(0);
    }
};

}  // namespace

TEST_F(MusicPlayerTest, ModuleAdvancesOrderAndRowAtTheRateOfItsTempo) {
    TestModuleShape shape;  // speed 2, tempo 250: 20 ms rows, 16 rows an order
    shape.orderCount = 8;
    startModule(shape);
    const TestClock::time_point start = TestClock::now();
    for (int check = 0; check < 4; ++check) {
        sleepMs(200);
        const double expected = secondsSince(start) / rowDuration_seconds(shape);
        const uint32_t raw = musicPosition();
        // What is heard lags what is rendered by the output buffers (a few rows).
        EXPECT_LE(rowsPlayed(raw, 16), expected + 1) << "check " << check;
        EXPECT_GE(rowsPlayed(raw, 16), expected - 5) << "check " << check;
        EXPECT_NEAR(demoTime(), secondsSince(start) * 1000, 20);
    }
    EXPECT_GE(musicPosition() & 0xFFFF, 2u);  // the order has moved on
}

TEST_F(MusicPlayerTest, EachLoopRestartsTheDemoClockOnce) {
    TestModuleShape shape;
    shape.orderCount = 2;
    shape.rowsPerPattern = 8;  // 320 ms a pass
    startModule(shape);
    const TestClock::time_point start = TestClock::now();
    uint32_t base = clockBase.load();
    int restarts = 0;
    int longest_ms = 0;
    while (secondsSince(start) < 1.1) {
        sleepMs(2);
        longest_ms = std::max(longest_ms, static_cast<int>(demoTime()));
        if (clockBase.load() != base) {
            base = clockBase.load();
            ++restarts;
            // The clock restarts when the start of the music is heard again.
            EXPECT_LE(rowsPlayed(musicPosition(), 8), 2);
        }
    }
    EXPECT_EQ(restarts, 3);  // at about 0.32, 0.64 and 0.96 s
    EXPECT_LT(longest_ms, 380);
}

TEST_F(MusicPlayerTest, PositionZeroRestartsTheClockAndOtherPositionsDoNot) {
    startModule({});
    sleepMs(300);
    EXPECT_GE(demoTime(), 290);
    musicSetPosition(3u | (4u << 16));
    EXPECT_EQ(musicPosition(), 3u | (4u << 16));
    EXPECT_GE(demoTime(), 290);

    musicSetPosition(0);
    EXPECT_LE(demoTime(), 2);
    EXPECT_EQ(musicPosition(), 0u);
}

TEST_F(MusicPlayerTest, VolumeSetBeforeOpeningIsUsedByTheOutput) {
    musicSetVolume(30);
    startModule({});
    int music = 0, sample = 0, stream = 0;
    soundGetGlobalVolumes(&music, &sample, &stream);
    EXPECT_EQ(music, 30);
    EXPECT_EQ(sample, 30);
    EXPECT_EQ(stream, 30);
}

TEST_F(MusicPlayerTest, FadeOutSlowsSlidesAndReleasesWithinASecond) {
    startModule({});
    sleepMs(100);
    const TestClock::time_point start = TestClock::now();
    musicFadeOut();
    // About 0.2 s of slowing down, then the half-second slide.
    EXPECT_NEAR(secondsSince(start), 0.7, 0.25);
    EXPECT_FALSE(soundIsSliding());
    int music = -1;
    soundGetGlobalVolumes(&music, nullptr, nullptr);
    EXPECT_EQ(music, 0);
    EXPECT_EQ(musicPosition(), 0u);  // no channel any more
}

TEST_F(MusicPlayerTest, WaveFilePlaysAsALoopingStream) {
    const std::string path = writeTempFile("zd_music_test.wav", makeSquareWav(22050, 0.2, 441));
    musicOpen(path.c_str());
    musicStart();
    musicSetPosition(0);
    const uint32_t base = clockBase.load();
    sleepMs(300);
    EXPECT_NE(clockBase.load(), base);  // the stream looped
    EXPECT_LT(musicPosition(), 8820u * 4);
}

namespace {

// A capture's time: the demo clock reads it, and each wait pulls that much sound.
uint32_t pulledClock_ms = 0;
std::vector<int16_t> pulledSound;

uint32_t readPulledClock() { return pulledClock_ms; }

void pullMilliseconds(int milliseconds) {
    const size_t frames = static_cast<size_t>(milliseconds) * kMusicOutputRate_hz / 1000;
    const size_t at = pulledSound.size();
    pulledSound.resize(at + 2 * frames);
    pulledClock_ms += static_cast<uint32_t>(milliseconds);  // the time once these frames are heard
    musicPull(pulledSound.data() + at, static_cast<int>(frames));
}

// Sign changes of the left channel over `ms` milliseconds from `from_ms`.
int leftCrossings(int from_ms, int ms) {
    const size_t first = static_cast<size_t>(from_ms) * kMusicOutputRate_hz / 1000;
    const size_t last = first + static_cast<size_t>(ms) * kMusicOutputRate_hz / 1000;
    int crossings = 0;
    for (size_t i = first + 1; i < last; ++i)
        crossings += (pulledSound[2 * i] >= 0) != (pulledSound[2 * i - 2] >= 0);
    return crossings;
}

class PulledMusicTest : public MusicPlayerTest {
protected:
    void SetUp() override {
        MusicPlayerTest::SetUp();
        pulledClock_ms = 1000;
        pulledSound.clear();
        setDemoClockSource(readPulledClock);
        setMusicWait(pullMilliseconds);
        musicUsePulledOutput();
    }
    void TearDown() override {
        MusicPlayerTest::TearDown();
        soundSetPulledOutput(false);
        setMusicWait(nullptr);
        setDemoClockSource(nullptr);
    }
};

}  // namespace

TEST_F(PulledMusicTest, EndOfTheMusicRestartsTheClockWithinThePullThatHearsIt) {
    TestModuleShape shape;
    shape.orderCount = 2;
    shape.rowsPerPattern = 8;  // 320 ms a pass
    startModule(shape);
    EXPECT_EQ(clockBase.load(), 1000u);
    for (int i = 0; i < 31; ++i) pullMilliseconds(10);
    EXPECT_EQ(clockBase.load(), 1000u) << "restarted before the end";
    EXPECT_EQ(musicPosition() & 0xFFFF, 1u);
    pullMilliseconds(15);  // 320 ms is the end
    EXPECT_EQ(clockBase.load(), 1325u);
    EXPECT_EQ(demoTime(), 0);
}

TEST_F(PulledMusicTest, FadeOutIsPulledLikeAStoppingTapeThenSilence) {
    startModule({});
    pullMilliseconds(100);
    musicFadeOut();
    // 39 rate steps of 5 ms, then the half-second slide in steps of 1 ms.
    const int pulled_ms = static_cast<int>(pulledClock_ms) - 1000;
    EXPECT_NEAR(pulled_ms, 100 + 39 * 5 + 500, 2);
    // The tone falls in pitch while it slows down: 220.5 Hz is 11 crossings in 25 ms.
    EXPECT_NEAR(leftCrossings(50, 25), 11, 1);
    EXPECT_LT(leftCrossings(270, 25), 4);
    EXPECT_EQ(leftCrossings(pulled_ms - 10, 10), 0) << "not silent at the end";
}

TEST(MusicPlayerFailure, MissingFileEndsWithTheLibraryMessageAndCodeOne) {
    // Standard output goes to standard error so that the message can be matched.
    EXPECT_EXIT(
        {
            dup2(2, 1);
            musicOpen("/nonexistent/tazutune.it");
        },
        ::testing::ExitedWithCode(1), "BASS Error\\(2\\): Can't play the file");
}

TEST(MusicPlayerFailure, FileThatIsNoMusicEndsWithTheFormatCode) {
    const std::string path = writeTempFile("zd_music_junk.it", std::vector<uint8_t>(400, 0x33));
    EXPECT_EXIT(
        {
            dup2(2, 1);
            musicOpen(path.c_str());
        },
        ::testing::ExitedWithCode(1), "BASS Error\\(41\\): Can't play the file");
}
