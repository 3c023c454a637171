// The lossless capture into a folder: every frame as frame-00000.tga, ...
// (exact 24-bit TGA, encoded by the screenshot writer) and the music as
// music.wav (16-bit stereo PCM). Used by the capture loop.
//
// Every file is written under its name plus ".part" and renamed when it is
// complete, so a failure never leaves a half-written file under a final name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One frame encoded as its TGA file, each pixel a scale x scale block;
// the buffers are sized once by prepareTgaFrame.
struct TgaFrame {
    int scale = 1;
    std::vector<uint32_t> scaled;  // the frame at its scale (scale > 1 only)
    std::vector<uint8_t> file;     // the encoded file
};
void prepareTgaFrame(TgaFrame& tga, int scale);
// frame: the 512 x 256 picture, rows back to back; the file goes to tga.file.
void encodeTgaFrame(TgaFrame& tga, const uint32_t* frame);

struct CaptureFolder {
    std::string folder;  // ends in "/"
    int rate_hz = 44100;
    TgaFrame tga;
    int wav_fd = -1;  // music.wav.part while the capture runs
    uint64_t sound_bytes = 0;
    uint64_t written_bytes = 0;  // of every file, for the summary
    std::string error;           // one line saying what failed
};

// Makes the folder (and its parents) and starts music.wav. Buffers are sized
// here, once.
bool openCaptureFolder(CaptureFolder& capture, const std::string& folder, int scale, int rate_hz);
// frame: the 512 x 256 picture, rows back to back; `index` numbers the file.
bool writeFolderFrame(CaptureFolder& capture, const uint32_t* frame, int64_t index);
// samples: `count` interleaved stereo 16-bit samples.
bool writeFolderSound(CaptureFolder& capture, const int16_t* samples, int count);
// Completes music.wav's header and gives it its name.
bool finishCaptureFolder(CaptureFolder& capture);
// After a failure: removes music.wav.part.
void abandonCaptureFolder(CaptureFolder& capture);

// Pixel kernel: each pixel of source (width x height, rows `pitch` pixels
// apart) becomes a factor x factor block of target (width * factor pixels a
// row, rows back to back).
void scalePixels(const uint32_t* source, int width, int height, int pitch, int factor, uint32_t* target);
