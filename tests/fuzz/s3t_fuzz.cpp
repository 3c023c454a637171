// S3T: the input is one file. A decoded picture has the header's size, and
// every pixel's channels lie between those of its tile's two colours.
#include <algorithm>

#include "resources/tga.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Red, green, blue of a 16-bit colour as the decoder expands it.
void expand(uint32_t colour, int channels[3]) {
    channels[0] = (colour >> 8) & 0xFF;
    channels[1] = (colour >> 3) & 0xFF;
    channels[2] = (colour << 3) & 0xFF;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const Image image = decodeS3t({data, size});
        fuzz::check(image.width == static_cast<int>(wordAt(data + 4)) &&
                        image.height == static_cast<int>(wordAt(data + 8)),
                    "the picture has the header's size");
        fuzz::checkPicture(image);
        const uint8_t* block = data + 16;
        for (int tileY = 0; tileY < image.height; tileY += 4) {
            for (int tileX = 0; tileX < image.width; tileX += 4, block += 8) {
                int a[3], b[3];
                expand(halfAt(block + 4), a);
                expand(halfAt(block + 6), b);
                for (int y = tileY; y < tileY + 4; ++y) {
                    for (int x = tileX; x < tileX + 4; ++x) {
                        const uint32_t pixel = image.row(y)[x];
                        for (int c = 0; c < 3; ++c) {
                            const int value = static_cast<int>((pixel >> (16 - 8 * c)) & 0xFF);
                            fuzz::check(value >= std::min(a[c], b[c]) && value <= std::max(a[c], b[c]),
                                        "a pixel lies between its tile's two colours");
                        }
                    }
                }
            }
        }
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
    }
    return 0;
}
