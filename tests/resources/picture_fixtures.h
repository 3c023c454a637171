// Pictures made in the tests: TGA and S3T files written byte by byte, JPEG
// files encoded with libjpeg, and markers spliced into a JPEG.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "tests/resources/test_support.h"

// 18-byte TGA header followed by `data`.
inline Bytes makeTga(int width, int height, int bitsPerPixel, uint8_t descriptor, const Bytes& data) {
    Bytes out(18, 0);
    out[2] = bitsPerPixel == 8 ? 1 : 2;
    out[12] = static_cast<uint8_t>(width);
    out[13] = static_cast<uint8_t>(width >> 8);
    out[14] = static_cast<uint8_t>(height);
    out[15] = static_cast<uint8_t>(height >> 8);
    out[16] = static_cast<uint8_t>(bitsPerPixel);
    out[17] = descriptor;
    out.resize(18 + data.size());
    std::copy(data.begin(), data.end(), out.begin() + 18);
    return out;
}

struct S3tBlock {
    uint8_t indexRows[4];
    uint16_t colourA;
    uint16_t colourB;
};

inline Bytes makeS3t(uint32_t width, uint32_t height, const std::vector<S3tBlock>& blocks) {
    Bytes out;
    putWord(out, 0);
    putWord(out, width);
    putWord(out, height);
    putWord(out, static_cast<uint32_t>(blocks.size()));
    for (const S3tBlock& block : blocks) {
        out.insert(out.end(), block.indexRows, block.indexRows + 4);
        for (uint16_t colour : {block.colourA, block.colourB}) {
            out.push_back(static_cast<uint8_t>(colour));
            out.push_back(static_cast<uint8_t>(colour >> 8));
        }
    }
    return out;
}

// A smooth test picture as interleaved samples (`components` per pixel).
inline Bytes gradientSamples(int width, int height, int components) {
    Bytes samples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                samples.push_back(static_cast<uint8_t>((x * 255 / width + y * 3 + c * 60) & 0xFF));
    return samples;
}

// Encodes samples (1 = grey, 3 = RGB, 4 = CMYK per pixel) with libjpeg.
inline Bytes encodeJpeg(int width, int height, int components, const Bytes& samples, int quality = 90,
                        bool progressive = false) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(samples.data() +
                                            static_cast<size_t>(info.next_scanline) * width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// Inserts a marker segment (0xFF, marker, 16-bit big-endian length, payload)
// right after the start-of-image marker.
inline Bytes withSegment(const Bytes& jpeg, uint8_t marker, const Bytes& payload) {
    Bytes segment = {0xFF, marker, static_cast<uint8_t>((payload.size() + 2) >> 8),
                     static_cast<uint8_t>(payload.size() + 2)};
    segment.insert(segment.end(), payload.begin(), payload.end());
    Bytes out(jpeg.size() + segment.size());
    std::copy(jpeg.begin(), jpeg.begin() + 2, out.begin());
    std::copy(segment.begin(), segment.end(), out.begin() + 2);
    std::copy(jpeg.begin() + 2, jpeg.end(), out.begin() + 2 + static_cast<std::ptrdiff_t>(segment.size()));
    return out;
}
