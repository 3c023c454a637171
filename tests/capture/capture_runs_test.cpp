// The program capturing the generated content: the same command writes the
// same bytes, the sound is the module as the sound layer renders it, the
// presentation's end and Ctrl+C behave as live, a video is what ffprobe
// expects, and every failure is one line with no half-written file left.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <sstream>

#include "platform/sound.h"
#include "tests/capture/program_runs.h"

using namespace capture_runs;

namespace {

constexpr int kFrame_samples = 735;  // at 60 fps
constexpr size_t kWavHeader_bytes = 44;
constexpr size_t kFrame_bytes = 18 + 512 * 256 * 3;

std::vector<int16_t> wavSamples(const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = readAll(path);
    std::vector<int16_t> samples(bytes.size() > kWavHeader_bytes ? (bytes.size() - kWavHeader_bytes) / 2 : 0);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data() + kWavHeader_bytes, samples.size() * 2);
    return samples;
}

// The music from `startOrder` on, rendered by the sound layer alone and
// pulled `piece` frames at a time.
std::vector<int16_t> soundLayerAlone(int startOrder, int volume, int frames, int piece) {
    soundSetPulledOutput(true);
    soundSetGlobalVolumes(volume, volume, volume);
    EXPECT_TRUE(soundInit(kSoundOutputRate_hz));
    const uint32_t channel = soundModuleOpenFile((kContent + "/tazutune.it").c_str());
    EXPECT_NE(channel, 0u);
    soundStart();
    soundPlay(channel);
    soundSetPosition(channel, 0);
    soundSetPosition(channel, static_cast<uint32_t>(startOrder));
    std::vector<int16_t> sound(2 * static_cast<size_t>(frames));
    for (int done = 0; done < frames; done += piece)
        soundPull(sound.data() + 2 * static_cast<size_t>(done), std::min(piece, frames - done));
    soundFree();
    soundSetPulledOutput(false);
    soundSetGlobalVolumes(100, 100, 100);
    return sound;
}

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path().filename());
    std::sort(files.begin(), files.end());
    return files;
}

double rms(const std::vector<int16_t>& samples, size_t first, size_t count) {
    double sum = 0;
    for (size_t i = first; i < first + count; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(count));
}

// ffprobe's view of each stream, by codec type ("video", "audio"): key -> value.
std::map<std::string, std::map<std::string, std::string>> probeStreams(const std::filesystem::path& file) {
    const ProgramRun run = runShell(
        "ffprobe -v error -count_frames -show_entries "
        "stream=codec_type,codec_name,width,height,pix_fmt,nb_read_frames,duration -of compact " +
        file.string());
    std::map<std::string, std::map<std::string, std::string>> streams;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("stream|", 0) != 0) continue;
        std::map<std::string, std::string> fields;
        std::istringstream parts(line.substr(7));
        std::string part;
        while (std::getline(parts, part, '|')) {
            const size_t equals = part.find('=');
            if (equals != std::string::npos) fields[part.substr(0, equals)] = part.substr(equals + 1);
        }
        streams[fields["codec_type"]] = fields;
    }
    return streams;
}

// Two folder captures of 300 frames from order 20, and a quieter one.
class FolderCapture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = scratch("folder");
        for (const char* name : {"a", "b"})
            runs_[name] = runProgram("--capture=" + (root_ / name).string() + "/ --frames=300 --start=20");
        runs_["quiet"] =
            runProgram("--capture=" + (root_ / "quiet").string() + "/ --frames=60 --start=20 -v40");
        runs_["hashes"] =
            runProgram("--capture=" + (root_ / "hashes.txt").string() + " --frames=300 --start=20");
    }
    static void TearDownTestSuite() {
        if (!::testing::UnitTest::GetInstance()->current_test_suite()->Failed())
            std::filesystem::remove_all(root_);
    }

    static std::filesystem::path root_;
    static std::map<std::string, ProgramRun> runs_;
};

std::filesystem::path FolderCapture::root_;
std::map<std::string, ProgramRun> FolderCapture::runs_;

}  // namespace

TEST_F(FolderCapture, TwoRunsWriteByteIdenticalFramesAndSound) {
    for (const char* name : {"a", "b"}) {
        ASSERT_EQ(runs_[name].exitCode, 0) << runs_[name].output;
        EXPECT_NE(runs_[name].output.find("300 frames (5.00 s at 60 fps)"), std::string::npos)
            << runs_[name].output;
    }
    const auto files = filesIn(root_ / "a");
    ASSERT_EQ(files.size(), 301u);
    EXPECT_EQ(files.front(), "frame-00000.tga");
    EXPECT_EQ(files[299], "frame-00299.tga");
    EXPECT_EQ(files.back(), "music.wav");
    EXPECT_EQ(filesIn(root_ / "b"), files);
    for (const auto& file : files) {
        const std::vector<uint8_t> first = readAll(root_ / "a" / file);
        if (file != "music.wav") {
            EXPECT_EQ(first.size(), kFrame_bytes) << file;
        }
        EXPECT_TRUE(first == readAll(root_ / "b" / file)) << file << " differs between the runs";
    }
    // The music of exactly 300 frames: 300 x 735 samples of four bytes.
    EXPECT_EQ(std::filesystem::file_size(root_ / "a" / "music.wav"),
              kWavHeader_bytes + 300 * kFrame_samples * 4);
}

// The hash list names every frame the folder capture writes, with the
// FNV-1a hash of its file.
TEST_F(FolderCapture, AHashListHoldsTheHashOfEveryFramesFile) {
    ASSERT_EQ(runs_["hashes"].exitCode, 0) << runs_["hashes"].output;
    std::ifstream list(root_ / "hashes.txt");
    std::string line;
    int frame = 0;
    for (; std::getline(list, line); ++frame) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%05d ", frame);
        ASSERT_EQ(line, expected + hashOf(readAll(root_ / "a" / frameName(frame))));
    }
    EXPECT_EQ(frame, 300);
    EXPECT_FALSE(std::filesystem::exists(root_ / "hashes.txt.part"));
}

TEST_F(FolderCapture, TheSoundIsTheModuleAsTheSoundLayerAloneRendersIt) {
    ASSERT_EQ(runs_["a"].exitCode, 0) << runs_["a"].output;
    const std::vector<int16_t> captured = wavSamples(root_ / "a" / "music.wav");
    const std::vector<int16_t> alone = soundLayerAlone(20, 100, 300 * kFrame_samples, kFrame_samples);
    ASSERT_EQ(captured.size(), alone.size());
    EXPECT_GT(rms(alone, 0, alone.size()), 1000) << "the music is not heard";
    size_t firstDifference = 0;
    while (firstDifference < alone.size() && captured[firstDifference] == alone[firstDifference])
        ++firstDifference;
    EXPECT_EQ(firstDifference, alone.size())
        << "the captured sound differs from sample " << firstDifference / 2;

    // Read in one go, the tracker library rounds its floating-point mix a
    // little differently (by about a thirtieth of a 16-bit step), so a few
    // samples may be one step apart; none more: none is missing or extra.
    const std::vector<int16_t> inOneGo = soundLayerAlone(20, 100, 300 * kFrame_samples, 300 * kFrame_samples);
    int worst = 0;
    for (size_t i = 0; i < inOneGo.size(); ++i) worst = std::max(worst, std::abs(captured[i] - inOneGo[i]));
    EXPECT_LE(worst, 1);

    // -v40 is the sound layer's volume 40, sample for sample.
    ASSERT_EQ(runs_["quiet"].exitCode, 0) << runs_["quiet"].output;
    EXPECT_TRUE(wavSamples(root_ / "quiet" / "music.wav") ==
                soundLayerAlone(20, 40, 60 * kFrame_samples, kFrame_samples));
}

TEST(CaptureEnd, ThePresentationEndsByItselfAndTheMusicSlowsToSilenceOverTheLastPicture) {
    // Order 45 lasts 7.385 s: frames 0 to 74 at 10 fps are drawn, the last of
    // them at order 46, which ends the presentation. The music then slows down
    // and fades for about 0.7 s (7 more frames) over that last picture.
    const std::filesystem::path folder = scratch("end") / "frames";
    const ProgramRun run = runProgram("--capture=" + folder.string() + "/ --start=45 --fps=10");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("82 frames (8.20 s at 10 fps)"), std::string::npos) << run.output;
    const std::vector<int16_t> sound = wavSamples(folder / "music.wav");
    ASSERT_EQ(sound.size(), 2u * 82 * 4410) << "the sound does not fill the frames exactly";
    const std::vector<uint8_t> last = readAll(folder / frameName(74));
    for (int frame = 75; frame < 82; ++frame)
        EXPECT_TRUE(readAll(folder / frameName(frame)) == last)
            << frameName(frame) << " does not hold the last picture";
    EXPECT_FALSE(std::filesystem::exists(folder / "frame-00082.tga"));
    // Heard until the end, then faded: the slide's last 100 ms are far
    // quieter, and after it (the last few milliseconds) there is silence.
    const size_t endOfDrawing = 2u * 75 * 4410;
    const double heard = rms(sound, endOfDrawing - 8820, 8820);
    EXPECT_GT(heard, 1000) << "the music is not heard before the end";
    EXPECT_LT(rms(sound, sound.size() - 8820 - 400, 8820), heard / 10);
    EXPECT_EQ(rms(sound, sound.size() - 200, 200), 0) << "not silent after the fade";

    // A frame limit inside the fade-out cuts it there, pictures and sound.
    const std::filesystem::path cut = folder.parent_path() / "cut";
    const ProgramRun limited = runProgram("--capture=" + cut.string() + "/ --start=45 --fps=10 --frames=78");
    ASSERT_EQ(limited.exitCode, 0) << limited.output;
    EXPECT_NE(limited.output.find("78 frames (7.80 s at 10 fps)"), std::string::npos) << limited.output;
    EXPECT_TRUE(wavSamples(cut / "music.wav") ==
                std::vector<int16_t>(sound.begin(), sound.begin() + 2 * 78 * 4410));
    EXPECT_FALSE(std::filesystem::exists(cut / "frame-00078.tga"));
    std::filesystem::remove_all(folder.parent_path());
}

TEST(CaptureVideo, AShortMp4HasItsFrameSizeFrameCountAndSoundOfTheSameLength) {
    const std::filesystem::path file = scratch("video") / "short.mp4";
    const ProgramRun run = runProgram("--capture=" + file.string() + " --frames=45 --start=5");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".part"));
    auto streams = probeStreams(file);
    ASSERT_EQ(streams.size(), 2u) << "ffprobe (installed by the scripts) found no video and sound";
    auto &video = streams["video"], &sound = streams["audio"];
    EXPECT_EQ(video["codec_name"], "h264");
    EXPECT_EQ(video["pix_fmt"], "yuv420p");
    EXPECT_EQ(video["width"], "1024");  // scale 2 is the default for a video
    EXPECT_EQ(video["height"], "512");
    EXPECT_NEAR(std::stoi(video["nb_read_frames"]), 45, 1);
    EXPECT_NEAR(std::stod(video["duration"]), 0.75, 1.0 / 60);
    EXPECT_EQ(sound["codec_name"], "aac");
    EXPECT_NEAR(std::stod(sound["duration"]), std::stod(video["duration"]), 1.0 / 60);
    std::filesystem::remove_all(file.parent_path());
}

TEST(CaptureVideo, CtrlCEndsTheCaptureAndKeepsAPlayableFile) {
    // The whole presentation is asked for; Ctrl+C comes once it captures.
    const std::filesystem::path file = scratch("interrupted") / "whole.mp4";
    const ProgramRun run = runShell("\"$ZEDARIVA\" --capture=" + file.string() + " >" + file.string() +
                                    ".log & pid=$!; "
                                    "until grep -q ^capturing " +
                                    file.string() +
                                    ".log; do sleep 0.1; done; "
                                    "sleep 1; kill -INT $pid; wait $pid; echo exit $?; cat " +
                                    file.string() + ".log");
    EXPECT_NE(run.output.find("exit 130"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("stopped by Ctrl+C after "), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".part"));
    auto streams = probeStreams(file);
    ASSERT_EQ(streams.size(), 2u) << "the file kept is not playable";
    auto &video = streams["video"], &sound = streams["audio"];
    EXPECT_GT(std::stoi(video["nb_read_frames"]), 10);
    EXPECT_NEAR(std::stod(sound["duration"]), std::stod(video["duration"]), 1.0 / 60);
    std::filesystem::remove_all(file.parent_path());
}

TEST(CaptureFailure, EachFailureIsOneLineWithExitCodeOneAndNoFileLeft) {
    const std::filesystem::path folder = scratch("failures");
    // A stand-in for ffmpeg that reads a little, complains and ends.
    const std::filesystem::path fake = folder / "fake";
    std::filesystem::create_directories(fake);
    std::ofstream(fake / "ffmpeg") << "#!/bin/sh\nhead -c 100000 <&3 >/dev/null\n"
                                      "echo \"Unknown encoder 'libx264'\" >&2\nexit 1\n";
    std::filesystem::permissions(fake / "ffmpeg", std::filesystem::perms::owner_all);
    const std::string out = (folder / "out.mp4").string();
    const struct {
        const char* what;
        std::string command;
        std::string line;
    } cases[] = {
        {"no ffmpeg", "PATH=/nonexistent \"$ZEDARIVA\" --capture=" + out + " --frames=30",
         "cannot capture to '" + out +
             "': the ffmpeg program is not installed (apt-get install ffmpeg); --capture=DIR/ works without it"},
        {"ffmpeg ends early",
         "PATH=" + fake.string() + ":$PATH \"$ZEDARIVA\" --capture=" + out + " --frames=300",
         "ffmpeg stopped early (exit code 1): Unknown encoder 'libx264'"},
        {"no such folder",
         "\"$ZEDARIVA\" --capture=" + (folder / "missing" / "out.mp4").string() + " --frames=30",
         "cannot write '" + (folder / "missing" / "out.mp4").string() + "': No such file or directory"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = runShell(c.command);
        EXPECT_EQ(run.exitCode, 1) << c.what << "\n" << run.output;
        EXPECT_EQ(run.lastLine(), c.line) << c.what;
        EXPECT_EQ(run.output.find("frames ("), std::string::npos) << c.what << ": a summary was printed";
        EXPECT_FALSE(std::filesystem::exists(out)) << c.what;
        EXPECT_FALSE(std::filesystem::exists(out + ".part")) << c.what;
    }
    std::filesystem::remove_all(folder);
}
