// JPEG: the input is one file. A decoded picture has a size within the
// limits, 0x00RRGGBB pixels, and decoding it again gives the same pixels (a
// read of memory never written would show here).
#include "resources/jpeg.h"
#include "resources/picture_limits.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Pictures above this many pixels are legal but take milliseconds each; the
// unit tests cover the limit.
constexpr uint64_t kMaxPixelsToDecode = 1u << 16;

// True when any frame header (SOF0..SOF15 but DHT, JPG and DAC) anywhere in
// the bytes announces more pixels than that. The library can only take a
// size from such bytes, so a false alarm merely skips an input.
bool announcesLargePicture(const uint8_t* data, size_t size) {
    for (size_t i = 0; i + 9 <= size; ++i) {
        const uint8_t marker = data[i + 1];
        if (data[i] != 0xFF || marker < 0xC0 || marker > 0xCF || marker == 0xC4 || marker == 0xC8 || marker == 0xCC)
            continue;
        const uint64_t height = (data[i + 5] << 8) | data[i + 6];
        const uint64_t width = (data[i + 7] << 8) | data[i + 8];
        if (width * height > kMaxPixelsToDecode) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (announcesLargePicture(data, size)) return 0;
    try {
        const Image image = decodeJpeg({data, size});
        fuzz::check(
            image.width > 0 && image.height > 0 && int64_t{image.width} * image.height <= kMaxPicturePixels,
            "the picture's size is within the limits");
        fuzz::checkPicture(image);
        const Image again = decodeJpeg({data, size});
        fuzz::check(again.width == image.width && again.height == image.height && again.pixels == image.pixels,
                    "decoding twice gives the same picture");
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
    }
    return 0;
}
