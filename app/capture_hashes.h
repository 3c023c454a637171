// The capture as a list of frame hashes: one line per frame, "NNNNN
// HHHHHHHHHHHHHHHH", the frame number and the FNV-1a 64-bit hash of the TGA
// file that --capture=DIR/ writes for it. Compares captures made by other
// builds and hosts (a browser's among them) without storing the pictures.
// Used by the capture loop; the file is written as its name plus ".part"
// and renamed when complete.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/capture_folder.h"

struct CaptureHashes {
    std::string path;
    std::FILE* file = nullptr;  // path + ".part" while the capture runs
    TgaFrame tga;
    uint64_t written_bytes = 0;
    std::string error;  // one line saying what failed
};

// FNV-1a, 64 bits.
uint64_t fnv1a64(const uint8_t* bytes, size_t count);

bool openCaptureHashes(CaptureHashes& capture, const std::string& path, int scale);
// frame: the 512 x 256 picture, rows back to back; `index` numbers the line.
bool writeHashesFrame(CaptureHashes& capture, const uint32_t* frame, int64_t index);
bool finishCaptureHashes(CaptureHashes& capture);
void abandonCaptureHashes(CaptureHashes& capture);
