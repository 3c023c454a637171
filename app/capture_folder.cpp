// Frames as TGA files and the music as a WAV file, each renamed into place
// when complete.
#include "app/capture_folder.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "display/screenshot.h"
#include "fx2d/target.h"
#include "platform/files.h"

static_assert(std::endian::native == std::endian::little, "WAV samples are written as they lie in memory");

namespace {

constexpr size_t kWavHeader_bytes = 44;
constexpr int kSampleBytes = 4;  // 16-bit stereo
const char* const kPartSuffix = ".part";

std::string frameName(const std::string& folder, int64_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05lld.tga", static_cast<long long>(index));
    return folder + name;
}

std::string wavName(const std::string& folder) { return folder + "music.wav"; }

bool fail(CaptureFolder& capture, const std::string& path, int error) {
    capture.error = "cannot write '" + path + "': " + std::strerror(error);
    return false;
}

void putU32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void putU16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

// A canonical 16-bit stereo PCM header; sizes beyond 4 GB are clamped.
void wavHeader(uint8_t* h, int rate_hz, uint64_t sound_bytes) {
    const uint32_t data = static_cast<uint32_t>(std::min<uint64_t>(sound_bytes, 0xFFFFFFFFu - 36));
    std::memcpy(h, "RIFF", 4);
    putU32(h + 4, 36 + data);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    putU32(h + 16, 16);
    putU16(h + 20, 1);  // PCM
    putU16(h + 22, 2);  // channels
    putU32(h + 24, static_cast<uint32_t>(rate_hz));
    putU32(h + 28, static_cast<uint32_t>(rate_hz) * kSampleBytes);
    putU16(h + 32, kSampleBytes);
    putU16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    putU32(h + 40, data);
}

// Closes a file written as `name` plus ".part" and renames it to `name`; on
// any failure the part is removed. `written`: whether the writes went well
// (if not, errno says why).
bool closeIntoPlace(CaptureFolder& capture, int fd, bool written, const std::string& name) {
    int error = written ? 0 : errno;
    if (closeFile(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    const std::string part = name + kPartSuffix;
    if (written && !replaceFile(part.c_str(), name.c_str())) {
        written = false;
        error = errno;
    }
    if (written) return true;
    removeFile(part.c_str());
    return fail(capture, name, error);
}

}  // namespace

void scalePixels(const uint32_t* source, int width, int height, int pitch, int factor, uint32_t* target) {
    const size_t targetWidth = static_cast<size_t>(width) * static_cast<size_t>(factor);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = source + static_cast<size_t>(y) * static_cast<size_t>(pitch);
        uint32_t* first = target + static_cast<size_t>(y) * static_cast<size_t>(factor) * targetWidth;
        uint32_t* out = first;
        for (int x = 0; x < width; ++x)
            for (int i = 0; i < factor; ++i) *out++ = row[x];
        for (int copy = 1; copy < factor; ++copy)
            std::memcpy(first + static_cast<size_t>(copy) * targetWidth, first,
                        targetWidth * sizeof(uint32_t));
    }
}

void prepareTgaFrame(TgaFrame& tga, int scale) {
    tga.scale = scale;
    const size_t pixels = static_cast<size_t>(kTargetPixels) * static_cast<size_t>(scale * scale);
    if (scale > 1) tga.scaled.resize(pixels);
    tga.file.resize(tgaFileSize(kTargetWidth * scale, kTargetHeight * scale));
}

void encodeTgaFrame(TgaFrame& tga, const uint32_t* frame) {
    const uint32_t* pixels = frame;
    if (tga.scale > 1) {
        scalePixels(frame, kTargetWidth, kTargetHeight, kTargetWidth, tga.scale, tga.scaled.data());
        pixels = tga.scaled.data();
    }
    encodeTga(pixels, kTargetWidth * tga.scale, kTargetHeight * tga.scale, tga.file.data());
}

bool openCaptureFolder(CaptureFolder& capture, const std::string& folder, int scale, int rate_hz) {
    capture.folder = folder;
    capture.rate_hz = rate_hz;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        capture.error = "cannot make the folder '" + folder + "': " + error.message();
        return false;
    }
    const std::string wav = wavName(folder) + kPartSuffix;
    capture.wav_fd = createFileForWriting(wav.c_str());
    if (capture.wav_fd < 0) return fail(capture, wav, errno);
    uint8_t header[kWavHeader_bytes];
    wavHeader(header, rate_hz, 0);
    if (!writeAllTo(capture.wav_fd, header, sizeof header)) return fail(capture, wav, errno);
    prepareTgaFrame(capture.tga, scale);
    return true;
}

bool writeFolderFrame(CaptureFolder& capture, const uint32_t* frame, int64_t index) {
    encodeTgaFrame(capture.tga, frame);
    const std::vector<uint8_t>& file = capture.tga.file;
    const std::string name = frameName(capture.folder, index);
    const std::string part = name + kPartSuffix;
    const int fd = createFileForWriting(part.c_str());
    if (fd < 0) return fail(capture, part, errno);
    const bool written = writeAllTo(fd, file.data(), file.size());
    if (!closeIntoPlace(capture, fd, written, name)) return false;
    capture.written_bytes += file.size();
    return true;
}

bool writeFolderSound(CaptureFolder& capture, const int16_t* samples, int count) {
    const size_t bytes = static_cast<size_t>(count) * kSampleBytes;
    if (!writeAllTo(capture.wav_fd, samples, bytes)) return fail(capture, wavName(capture.folder), errno);
    capture.sound_bytes += bytes;
    return true;
}

bool finishCaptureFolder(CaptureFolder& capture) {
    uint8_t header[kWavHeader_bytes];
    wavHeader(header, capture.rate_hz, capture.sound_bytes);
    const bool written = seekToStart(capture.wav_fd) && writeAllTo(capture.wav_fd, header, sizeof header);
    const int fd = capture.wav_fd;
    capture.wav_fd = -1;
    if (!closeIntoPlace(capture, fd, written, wavName(capture.folder))) return false;
    capture.written_bytes += kWavHeader_bytes + capture.sound_bytes;
    return true;
}

void abandonCaptureFolder(CaptureFolder& capture) {
    if (capture.wav_fd >= 0) closeFile(capture.wav_fd);
    capture.wav_fd = -1;
    removeFile((wavName(capture.folder) + kPartSuffix).c_str());
}
