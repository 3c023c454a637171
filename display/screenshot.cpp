// The TGA screenshot writer.
#include "display/screenshot.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int kHeaderBytes = 18;

void writeTgaHeader(int width, int height, uint8_t* h) {
    std::fill(h, h + kHeaderBytes, 0);
    h[2] = 2;   // uncompressed true-colour
    h[7] = 18;  // colour map entry size; meaningless without a colour map
    h[12] = static_cast<uint8_t>(width & 0xFF);
    h[13] = static_cast<uint8_t>((width >> 8) & 0xFF);
    h[14] = static_cast<uint8_t>(height & 0xFF);
    h[15] = static_cast<uint8_t>((height >> 8) & 0xFF);
    h[16] = 24;    // bits per pixel
    h[17] = 0x20;  // first row is the top row, no alpha bits
}

std::size_t pixelCount(int width, int height) {
    return (width > 0 && height > 0) ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height) : 0;
}

// Names the folder too: the screenshot goes to the working folder, which an
// installed program started from a menu may not be allowed to write.
void reportFailure(const char* fileName, int error) {
    std::error_code unknown;
    const std::string folder = std::filesystem::current_path(unknown).string();
    std::printf("cannot write screenshot '%s' in '%s': %s\n", fileName, folder.c_str(), std::strerror(error));
}

}  // namespace

std::size_t tgaFileSize(int width, int height) { return kHeaderBytes + 3 * pixelCount(width, height); }

void encodeTga(const uint32_t* pixels, int width, int height, uint8_t* out) {
    writeTgaHeader(width, height, out);
    uint8_t* bytes = out + kHeaderBytes;
    const std::size_t count = pixelCount(width, height);
    for (std::size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        bytes[3 * i] = static_cast<uint8_t>(p);            // blue
        bytes[3 * i + 1] = static_cast<uint8_t>(p >> 8);   // green
        bytes[3 * i + 2] = static_cast<uint8_t>(p >> 16);  // red
    }
}

int writeTga24(const char* fileName, const uint32_t* pixels, int width, int height) {
    std::vector<uint8_t> bytes(tgaFileSize(width, height));
    encodeTga(pixels, width, height, bytes.data());

    std::FILE* file = std::fopen(fileName, "wb");
    if (!file) return errno != 0 ? errno : EIO;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int error = errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written) return 0;
    return error != 0 ? error : EIO;
}

void saveScreenshotTga(const char* fileName, const uint32_t* pixels, int width, int height) {
    const int error = writeTga24(fileName, pixels, width, height);
    if (error != 0) reportFailure(fileName, error);
}
