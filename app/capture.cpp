// The capture loop. Frame k is drawn at demo time k * 1000 / fps ms, with the
// music heard up to its first sample; then its own samples are pulled (an end
// of the music among them restarts the demo clock at the next frame's time).
#include "app/capture.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/capture_folder.h"
#include "app/capture_hashes.h"
#include "app/capture_progress.h"
#include "app/capture_timing.h"
#include "app/capture_video.h"
#include "app/data_files.h"
#include "app/demo.h"
#include "app/schedule.h"
#include "app/startup.h"
#include "display/display.h"
#include "platform/module_info.h"
#include "platform/stop_request.h"
#include "sync/demo_clock.h"
#include "sync/music_player.h"
#include "sync/sync_table.h"

namespace {

// The music's slow-down and volume slide after the last frame, about 0.7 s.
constexpr double kFadeOut_seconds = 0.7;

struct Capture {
    CaptureTiming timing;
    int64_t frameLimit = 0;  // 0: until the presentation ends
    int64_t frames = 0;      // written so far
    int64_t samples = 0;     // of the music, pulled and written so far
    uint32_t clock_ms = 0;   // what the demo clock reads
    CaptureKind kind = CaptureKind::Video;
    std::string path;
    CaptureFolder folder;
    CaptureVideo video;
    CaptureHashes hashes;
    std::vector<int16_t> sound;  // one frame's samples at most, stereo
    CaptureProgress progress;
    bool failed = false;
    int exitCode = 0;  // once ended
    // The fade-out: where it started and how long it has waited so far.
    int64_t fadeFirstSample = 0;
    int64_t fadeStart_ms = 0;
    int64_t faded_ms = 0;
};

// Process-wide: the demo clock and the music's waits reach it through plain
// function pointers.
Capture capture;

uint32_t captureClock() { return capture.clock_ms; }

bool limitReached() { return capture.frameLimit > 0 && capture.frames >= capture.frameLimit; }

int64_t firstSample(int64_t frame) { return firstSampleOf(capture.timing, frame); }

// frameBuffer's top 512 x 256 pixels as the next frame.
bool writeOutputFrame() {
    switch (capture.kind) {
        case CaptureKind::Folder:
            return writeFolderFrame(capture.folder, frameBuffer, capture.frames);
        case CaptureKind::Hashes:
            return writeHashesFrame(capture.hashes, frameBuffer, capture.frames);
        case CaptureKind::Video:
            break;
    }
    return writeVideoFrame(capture.video, frameBuffer);
}

// The music's samples: a frame-hash list keeps none.
bool writeOutputSound(const int16_t* samples, int count) {
    switch (capture.kind) {
        case CaptureKind::Folder:
            return writeFolderSound(capture.folder, samples, count);
        case CaptureKind::Hashes:
            return true;
        case CaptureKind::Video:
            break;
    }
    return writeVideoSound(capture.video, samples, count);
}

void writeFrame() {
    if (capture.failed) return;
    const bool written = writeOutputFrame();
    if (written)
        ++capture.frames;
    else
        capture.failed = true;
}

// Pulls the music up to `sample` and writes it, except what lies beyond a
// frame limit or comes after a failure: that is pulled all the same (the
// fade-out's volume slide moves only as its sound is pulled) and dropped.
void pullSoundTo(int64_t sample) {
    const int64_t most = static_cast<int64_t>(capture.sound.size() / 2);
    const int64_t writtenEnd = capture.frameLimit > 0 ? firstSample(capture.frameLimit) : INT64_MAX;
    while (capture.samples < sample) {
        const int count = static_cast<int>(std::min(sample - capture.samples, most));
        musicPull(capture.sound.data(), count);
        const int kept = static_cast<int>(std::clamp<int64_t>(writtenEnd - capture.samples, 0, count));
        if (kept > 0 && !capture.failed && !writeOutputSound(capture.sound.data(), kept))
            capture.failed = true;
        capture.samples += count;
    }
}

// The music's fade-out waits through this: its sound is pulled, and every
// frame whose sound begins meanwhile holds the last picture (until a frame
// limit or a failure, after which the sound is only pulled).
void waitInCapture(int milliseconds) {
    capture.faded_ms += milliseconds;
    capture.clock_ms = static_cast<uint32_t>(capture.fadeStart_ms + capture.faded_ms);
    const int64_t target = capture.fadeFirstSample + samplesIn_ms(capture.timing, capture.faded_ms);
    while (capture.samples < target) {
        const bool framesGoOn = !capture.failed && !limitReached();
        if (framesGoOn && capture.samples == firstSample(capture.frames)) writeFrame();
        const int64_t frameEnd = firstSample(capture.frames);
        pullSoundTo(framesGoOn && frameEnd > capture.samples ? std::min(target, frameEnd) : target);
    }
}

// The music slows down and fades as it does live; the last frame's sound is
// then filled up with silence.
void fadeOut() {
    capture.fadeFirstSample = capture.samples;
    capture.fadeStart_ms = frameTime_ms(capture.timing, capture.frames);
    setMusicWait(waitInCapture);
    musicFadeOut();
    setMusicWait(nullptr);
    if (!capture.failed && !limitReached()) pullSoundTo(firstSample(capture.frames));
}

// How many frames the capture will take, foreseen from the music; 0 when
// it cannot be foreseen (the time left is then not shown).
int64_t expectedFrames(const CommandLine& commandLine) {
    std::ifstream in(dataFilePath(kMusicFileName), std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const ModuleInfo info = probeModule(bytes.data(), bytes.size());
    const int end = presentationEndOrder();
    const auto& starts = info.orderStart_seconds;
    int64_t frames = 0;
    if (end >= 0 && static_cast<size_t>(end) < starts.size() &&
        static_cast<size_t>(commandLine.startOrder) < starts.size()) {
        const double seconds =
            starts[static_cast<size_t>(end)] - starts[static_cast<size_t>(commandLine.startOrder)];
        if (seconds > 0)
            frames = static_cast<int64_t>(std::ceil((seconds + kFadeOut_seconds) * commandLine.captureFps));
    }
    if (commandLine.captureFrames > 0 && (frames == 0 || frames > commandLine.captureFrames))
        frames = commandLine.captureFrames;
    return frames;
}

bool openOutput(int scale) {
    const std::string& path = capture.path;
    switch (capture.kind) {
        case CaptureKind::Folder:
            return openCaptureFolder(capture.folder, path, scale, capture.timing.rate_hz);
        case CaptureKind::Hashes:
            return openCaptureHashes(capture.hashes, path, scale);
        case CaptureKind::Video:
            break;
    }
    return openCaptureVideo(capture.video, path, scale, capture.timing.fps, capture.timing.rate_hz);
}

bool finishOutput() {
    switch (capture.kind) {
        case CaptureKind::Folder:
            return finishCaptureFolder(capture.folder);
        case CaptureKind::Hashes:
            return finishCaptureHashes(capture.hashes);
        case CaptureKind::Video:
            break;
    }
    return finishCaptureVideo(capture.video);
}

void abandonOutput() {
    switch (capture.kind) {
        case CaptureKind::Folder:
            return abandonCaptureFolder(capture.folder);
        case CaptureKind::Hashes:
            return abandonCaptureHashes(capture.hashes);
        case CaptureKind::Video:
            break;
    }
    abandonCaptureVideo(capture.video);
}

const std::string& outputError() {
    switch (capture.kind) {
        case CaptureKind::Folder:
            return capture.folder.error;
        case CaptureKind::Hashes:
            return capture.hashes.error;
        case CaptureKind::Video:
            break;
    }
    return capture.video.error;
}

uint64_t outputBytes() {
    switch (capture.kind) {
        case CaptureKind::Folder:
            return capture.folder.written_bytes;
        case CaptureKind::Hashes:
            return capture.hashes.written_bytes;
        case CaptureKind::Video:
            break;
    }
    std::ifstream file(capture.path, std::ios::binary | std::ios::ate);
    return file ? static_cast<uint64_t>(file.tellg()) : 0;
}

void showCaptureProgress() {
    const MusicPosition position = currentMusicPosition();
    showProgress(capture.progress, capture.frames, position >> 16, position & 0xFFFF);
}

}  // namespace

void prepareCapture() {
    setOffscreen(1);
    musicUsePulledOutput();
    capture.clock_ms = 0;
    setDemoClockSource(captureClock);
}

CaptureKind captureKindOf(const std::string& path) {
    if (!path.empty() && path.back() == '/') return CaptureKind::Folder;
    if (path.size() >= 4 && strcasecmp(path.c_str() + path.size() - 4, ".txt") == 0)
        return CaptureKind::Hashes;
    return CaptureKind::Video;
}

bool beginCapture(const CommandLine& commandLine) {
    catchStopRequests();
    capture.path = commandLine.capturePath;
    capture.kind = captureKindOf(capture.path);
    capture.timing = CaptureTiming{commandLine.captureFps, kMusicOutputRate_hz};
    capture.frameLimit = commandLine.captureFrames;
    const int defaultScale = capture.kind == CaptureKind::Video ? 2 : 1;
    const int scale = commandLine.captureScale > 0 ? commandLine.captureScale : defaultScale;
    capture.sound.resize(2 * static_cast<size_t>(longestFrame_samples(capture.timing)));
    if (!openOutput(scale)) {
        std::printf("%s\n", outputError().c_str());
        return false;
    }
    std::printf("capturing '%s': %d x %d, %d fps; Ctrl+C stops and keeps what is written\n",
                capture.path.c_str(), kTargetWidth * scale, kTargetHeight * scale, capture.timing.fps);
    startProgress(capture.progress, expectedFrames(commandLine));
    return true;
}

namespace {

// After the last frame: the fade-out, the output completed, the summary.
int endCapture() {
    // The presentation ended, or was stopped as by a quit key: the music
    // slows down as it does live. A frame limit cuts the capture there.
    if (!capture.failed && !limitReached()) fadeOut();
    displayClose();
    endProgress(capture.progress);

    if (capture.failed || !finishOutput()) {
        if (capture.failed) abandonOutput();
        std::printf("%s\n", outputError().c_str());
        return 1;
    }
    const double seconds = secondsSinceStart(capture.progress);
    std::printf(
        "%s\n",
        summaryText(capture.frames, capture.timing.fps, capture.path, outputBytes(), seconds).c_str());
    if (stopWasRequested()) {
        std::printf("stopped by Ctrl+C after %lld frames; what was written is complete\n",
                    static_cast<long long>(capture.frames));
        return 130;
    }
    return 0;
}

}  // namespace

bool captureFrame() {
    if (running && !stopWasRequested() && !limitReached() && !capture.failed) {
        const int64_t frame = capture.frames;
        capture.clock_ms = static_cast<uint32_t>(frameTime_ms(capture.timing, frame));
        runSchedule();
        writeFrame();
        capture.clock_ms = static_cast<uint32_t>(frameTime_ms(capture.timing, frame + 1));
        pullSoundTo(firstSample(frame + 1));
        showCaptureProgress();
        return true;
    }
    capture.exitCode = endCapture();
    return false;
}

int captureExitCode() { return capture.exitCode; }
