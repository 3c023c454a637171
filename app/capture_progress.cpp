// Progress and summary lines of a capture.
#include "app/capture_progress.h"

#include <cstdio>

#include "platform/files.h"

namespace {

constexpr double kTerminalEvery_seconds = 0.25;
constexpr double kLogEvery_seconds = 5.0;

std::string formatted(const char* format, auto... values) {
    char text[512];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

double since(CaptureProgress::Clock::time_point then) {
    return std::chrono::duration<double>(CaptureProgress::Clock::now() - then).count();
}

}  // namespace

void startProgress(CaptureProgress& progress, int64_t expectedFrames) {
    progress.terminal = standardOutputIsTerminal();
    progress.start = CaptureProgress::Clock::now();
    progress.lastShown = progress.start;
    progress.expectedFrames = expectedFrames;
    progress.lineOpen = false;
}

void showProgress(CaptureProgress& progress, int64_t frames, int order, int row) {
    const double every = progress.terminal ? kTerminalEvery_seconds : kLogEvery_seconds;
    if (since(progress.lastShown) < every) return;
    progress.lastShown = CaptureProgress::Clock::now();
    const double elapsed = secondsSinceStart(progress);
    const double speed = elapsed > 0 ? static_cast<double>(frames) / elapsed : 0;
    const double left =
        progress.expectedFrames > 0 && speed > 0
            ? static_cast<double>(progress.expectedFrames > frames ? progress.expectedFrames - frames : 0) /
                  speed
            : -1;
    const std::string text = progressText(frames, order, row, speed, left);
    if (progress.terminal) {
        std::printf("\r%s\033[K", text.c_str());
        std::fflush(stdout);
        progress.lineOpen = true;
    } else {
        std::printf("%s\n", text.c_str());
    }
}

void endProgress(CaptureProgress& progress) {
    if (progress.lineOpen) std::printf("\n");
    progress.lineOpen = false;
}

double secondsSinceStart(const CaptureProgress& progress) { return since(progress.start); }

std::string progressText(int64_t frames, int order, int row, double framesPerSecond, double secondsLeft) {
    std::string text = formatted("frame %lld, order %d row %d, %.1f fps, ", static_cast<long long>(frames),
                                 order, row, framesPerSecond);
    if (secondsLeft < 0) return text + "time left unknown";
    const long long whole = static_cast<long long>(secondsLeft + 0.5);
    return text + formatted("%lld:%02lld left", whole / 60, whole % 60);
}

std::string summaryText(int64_t frames, int fps, const std::string& path, uint64_t bytes, double seconds) {
    const double duration = static_cast<double>(frames) / fps;
    const double speed = seconds > 0 ? duration / seconds : 0;
    return formatted(
        "%lld frames (%.2f s at %d fps) in '%s', %.1f MB, captured in %.1f s (%.1f times real time)",
        static_cast<long long>(frames), duration, fps, path.c_str(), static_cast<double>(bytes) / 1e6,
        seconds, speed);
}
