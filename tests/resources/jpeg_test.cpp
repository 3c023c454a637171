// JPEG decoding from memory: pixel layout, skipped marker segments, grey files.
#include <gtest/gtest.h>

#include "resources/jpeg.h"
#include "tests/resources/picture_fixtures.h"

namespace {

// libjpeg's own decode of the same bytes, as 0x00RRGGBB (grey repeated).
std::vector<uint32_t> referenceDecode(const Bytes& jpeg) {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), jpeg.size());
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    std::vector<uint32_t> pixels;
    Bytes row(info.output_width * info.output_components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (JDIMENSION x = 0; x < info.output_width; ++x) {
            const uint8_t* s = row.data() + x * info.output_components;
            pixels.push_back(info.output_components == 1 ? s[0] * 0x010101u
                                                         : (s[0] << 16) | (s[1] << 8) | s[2]);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels;
}

TEST(Jpeg, ColourPictureMatchesTheLibrarysOwnDecode) {
    const Bytes jpeg = encodeJpeg(40, 24, 3, gradientSamples(40, 24, 3));
    const Image image = decodeJpeg(jpeg);
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_EQ(image.width, 40);
    EXPECT_EQ(image.height, 24);
    EXPECT_EQ(image.pixels, referenceDecode(jpeg));
}

TEST(Jpeg, PixelsAreRedGreenBlueTopRowFirst) {
    Bytes samples;
    for (int i = 0; i < 16 * 16; ++i) samples.insert(samples.end(), {255, 0, 0});
    for (int i = 0; i < 16 * 16; ++i) samples.insert(samples.end(), {0, 0, 255});
    const Image image = decodeJpeg(encodeJpeg(16, 32, 3, samples, 100));
    const uint32_t top = image.row(4)[4];
    const uint32_t bottom = image.row(28)[4];
    EXPECT_GE(top >> 16, 0xF0u);
    EXPECT_LE(top & 0xFFFF, 0x0808u);
    EXPECT_GE(bottom & 0xFF, 0xF0u);
    EXPECT_LE(bottom >> 8, 0x0808u);
}

TEST(Jpeg, ApplicationAndCommentSegmentsAreSkippedExactly) {
    const Bytes plain = encodeJpeg(24, 16, 3, gradientSamples(24, 16, 3));
    Bytes payload(300);
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i * 7);
    Bytes marked = withSegment(plain, 0xE1, payload);               // APP1
    marked = withSegment(marked, 0xFE, {'h', 'e', 'l', 'l', 'o'});  // COM
    marked = withSegment(marked, 0xEF, Bytes(5000, 0xFF));          // APP15 full of 0xFF
    EXPECT_EQ(decodeJpeg(marked).pixels, decodeJpeg(plain).pixels);
}

TEST(Jpeg, GreyPictureComesOutAsThreeEqualChannels) {
    const Bytes jpeg = encodeJpeg(16, 8, 1, gradientSamples(16, 8, 1));
    const Image image = decodeJpeg(jpeg);
    EXPECT_EQ(image.pixels, referenceDecode(jpeg));
    for (uint32_t pixel : image.pixels) EXPECT_EQ(pixel, (pixel & 0xFF) * 0x010101u);
}

TEST(Jpeg, ProgressiveFileDecodes) {
    // Many scans, each read through the one-byte source.
    const Bytes jpeg = encodeJpeg(32, 32, 3, gradientSamples(32, 32, 3), 90, true);
    EXPECT_EQ(decodeJpeg(jpeg).pixels, referenceDecode(jpeg));
}

}  // namespace
