// ffmpeg fed through pipes: raw pictures in, an encoded video out.
#include "app/capture_video.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "fx2d/target.h"
#include "platform/files.h"

namespace {

constexpr int kVideoPipe = 0;
constexpr int kSoundPipe = 1;
constexpr int kSampleBytes = 4;  // 16-bit stereo

// H.264 at a quality that looks lossless at these sizes, fast enough to
// capture faster than real time next to the drawing on two cores. Without
// CABAC and the deblocking filter (fastdecode) the file is about a tenth
// larger at the same quality, and encoding takes little more than half as long.
const char* const kVideoCodec = "-c:v libx264 -preset superfast -tune fastdecode -crf 16";

// Appends the words of `words`, which are separated by single spaces.
void add(std::vector<std::string>& arguments, const std::string& words) {
    size_t start = 0;
    while (start <= words.size()) {
        const size_t space = std::min(words.find(' ', start), words.size());
        arguments.push_back(words.substr(start, space - start));
        start = space + 1;
    }
}

bool isMatroska(const std::string& path) {
    return path.size() >= 4 && strcasecmp(path.c_str() + path.size() - 4, ".mkv") == 0;
}

// After the pipes broke or ffmpeg ended badly: what it said, if anything.
bool encoderStopped(CaptureVideo& capture, const char* when) {
    const std::string said = lastLogLine(capture.encoder);
    capture.error = std::string("ffmpeg ") + when + " (exit code " +
                    std::to_string(capture.encoder.exitStatus) + ")" + (said.empty() ? "" : ": " + said);
    removeFile(capture.partPath.c_str());
    return false;
}

bool stoppedEarly(CaptureVideo& capture) {
    finishPipedProgram(capture.encoder);
    return encoderStopped(capture, "stopped early");
}

}  // namespace

std::vector<std::string> encoderArguments(const std::string& path, const std::string& outputPath, int scale,
                                          int fps, int rate_hz) {
    std::vector<std::string> arguments;
    add(arguments, "ffmpeg -hide_banner -nostdin -nostats -loglevel error");
    // Both inputs are raw and fully described: no probing, which would read
    // seconds of one pipe before the other is looked at. Pixels 0x00RRGGBB
    // lie in memory as blue, green, red, unused.
    const char* rawInput = "-probesize 32 -analyzeduration 0 -thread_queue_size 64";
    add(arguments, rawInput);
    add(arguments, "-f rawvideo -pixel_format bgr0 -video_size " + std::to_string(kTargetWidth) + "x" +
                       std::to_string(kTargetHeight) + " -framerate " + std::to_string(fps) + " -i pipe:3");
    add(arguments, rawInput);
    add(arguments, "-f s16le -ar " + std::to_string(rate_hz) + " -ac 2 -i pipe:4");
    // Nearest-neighbour blocks, then BT.709 limited range, as the file says.
    const std::string factor = std::to_string(scale);
    add(arguments, "-map 0:v:0 -map 1:a:0 -vf scale=iw*" + factor + ":ih*" + factor +
                       ":flags=neighbor:out_color_matrix=bt709:out_range=tv,format=yuv420p");
    add(arguments, kVideoCodec);
    add(arguments, "-colorspace bt709 -color_primaries bt709 -color_trc bt709 -color_range tv");
    add(arguments,
        isMatroska(path) ? "-c:a flac -f matroska" : "-c:a aac -b:a 256k -movflags +faststart -f mp4");
    arguments.push_back("-y");
    // "file:" keeps a name with a colon or a leading dash a plain file name.
    arguments.push_back("file:" + outputPath);  // the one argument that may hold spaces
    return arguments;
}

bool openCaptureVideo(CaptureVideo& capture, const std::string& path, int scale, int fps, int rate_hz) {
    capture.path = path;
    capture.partPath = path + ".part";
    // Made here first, so that an unwritable place is reported as such.
    const int fd = createFileForWriting(capture.partPath.c_str());
    if (fd < 0) {
        capture.error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    closeFile(fd);
    int error = 0;
    if (!startPipedProgram(capture.encoder, encoderArguments(path, capture.partPath, scale, fps, rate_hz),
                           error)) {
        removeFile(capture.partPath.c_str());
        capture.error = error == ENOENT || error == ENOSYS
                            ? "cannot capture to '" + path + "': the ffmpeg program is not installed (" +
                                  installHint("ffmpeg") + "); --capture=DIR/ works without it"
                            : "cannot start ffmpeg: " + std::string(std::strerror(error));
        return false;
    }
    return true;
}

bool writeVideoFrame(CaptureVideo& capture, const uint32_t* frame) {
    queueForPipe(capture.encoder, kVideoPipe, frame, static_cast<size_t>(kTargetPixels) * sizeof(uint32_t));
    return drainPipe(capture.encoder, kVideoPipe) || stoppedEarly(capture);
}

bool writeVideoSound(CaptureVideo& capture, const int16_t* samples, int count) {
    queueForPipe(capture.encoder, kSoundPipe, samples, static_cast<size_t>(count) * kSampleBytes);
    return true;  // written while the next frame is drained
}

bool finishCaptureVideo(CaptureVideo& capture) {
    const bool taken = finishPipedProgram(capture.encoder);
    if (!taken || capture.encoder.exitStatus != 0)
        return encoderStopped(capture, taken ? "failed" : "stopped early");
    if (!replaceFile(capture.partPath.c_str(), capture.path.c_str())) {
        capture.error = "cannot write '" + capture.path + "': " + std::strerror(errno);
        removeFile(capture.partPath.c_str());
        return false;
    }
    return true;
}

void abandonCaptureVideo(CaptureVideo& capture) {
    killPipedProgram(capture.encoder);
    removeFile(capture.partPath.c_str());
}
