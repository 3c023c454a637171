// The capture into a video file: frames and music go through two pipes to
// Debian's ffmpeg program, which encodes H.264 (yuv420p) with AAC sound into
// .mp4 or FLAC sound into .mkv. Used by the capture loop.
//
// ffmpeg writes to the name plus ".part", renamed when it has ended well, so
// a failure never leaves a half-written file under the final name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/piped_program.h"

struct CaptureVideo {
    std::string path;
    std::string partPath;
    PipedProgram encoder;
    std::string error;  // one line saying what failed
};

// The ffmpeg command line for a capture to `outputPath` (its format named by
// `path`'s ending): raw 512 x 256 frames on pipe 3, 16-bit stereo on pipe 4,
// each pixel scaled to a scale x scale block.
std::vector<std::string> encoderArguments(const std::string& path, const std::string& outputPath, int scale,
                                          int fps, int rate_hz);

// Starts ffmpeg; false when the file cannot be made or ffmpeg cannot start.
bool openCaptureVideo(CaptureVideo& capture, const std::string& path, int scale, int fps, int rate_hz);
// frame: the 512 x 256 picture, rows back to back.
bool writeVideoFrame(CaptureVideo& capture, const uint32_t* frame);
// samples: `count` interleaved stereo 16-bit samples.
bool writeVideoSound(CaptureVideo& capture, const int16_t* samples, int count);
// Ends the input, waits for ffmpeg and renames its file into place.
bool finishCaptureVideo(CaptureVideo& capture);
// After a failure: stops ffmpeg and removes its file.
void abandonCaptureVideo(CaptureVideo& capture);
