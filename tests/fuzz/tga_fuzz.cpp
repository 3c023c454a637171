// TGA: the input is one file. A decoded picture has the header's size, 32
// bits per pixel and no bits above the colour; its first stored pixel lands
// at the row the descriptor says. Other depths give the one fixed message.
#include "resources/tga.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const Image image = decodeTga({data, size});
        const int width = static_cast<int>(halfAt(data + 12));
        const int height = static_cast<int>(halfAt(data + 14));
        fuzz::check(image.width == width && image.height == height, "the picture has the header's size");
        fuzz::checkPicture(image);
        const bool topRowFirst = (data[17] & 0x20) != 0;
        const uint8_t* first = data[16] == 24 ? data + 18 : data + 18 + 3 * data[18 + 768];
        const uint32_t expected = first[0] | (first[1] << 8) | (static_cast<uint32_t>(first[2]) << 16);
        fuzz::check(image.row(topRowFirst ? 0 : height - 1)[0] == expected,
                    "the first stored pixel starts the top or the bottom row");
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
        const bool depthRefused = std::strcmp(error.what(), kUnsupportedTgaDepth) == 0;
        if (size >= 18) fuzz::check(depthRefused == (data[16] != 8 && data[16] != 24), "only other depths get the depth message");
    }
    return 0;
}
