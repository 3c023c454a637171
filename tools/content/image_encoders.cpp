// Picture writers for the content generator: JPEG through libjpeg's compressor,
// TGA by hand, S3T with a small endpoint search per tile.
#include "tools/content/image_encoders.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

#include "tools/content/byte_writer.h"

namespace {

std::vector<uint8_t> tgaHeader(int width, int height, int bits, uint8_t descriptor) {
    std::vector<uint8_t> out;
    out.push_back(0);                   // no ID field
    out.push_back(bits == 8 ? 1 : 0);   // colour map present
    out.push_back(bits == 8 ? 1 : 2);   // uncompressed colour-mapped / true colour
    putU16(out, 0);                     // first colour-map entry
    putU16(out, bits == 8 ? 256 : 0);   // colour-map length
    out.push_back(bits == 8 ? 24 : 0);  // colour-map entry size
    putU16(out, 0);                     // x origin
    putU16(out, 0);                     // y origin
    putU16(out, static_cast<uint32_t>(width));
    putU16(out, static_cast<uint32_t>(height));
    out.push_back(static_cast<uint8_t>(bits));
    out.push_back(descriptor);
    return out;
}

void putBgr(std::vector<uint8_t>& out, uint32_t rgb) {
    out.push_back(static_cast<uint8_t>(rgb));
    out.push_back(static_cast<uint8_t>(rgb >> 8));
    out.push_back(static_cast<uint8_t>(rgb >> 16));
}

// --- S3T ---------------------------------------------------------------------

struct Channels {
    int c[3];  // red, green, blue
};

Channels channelsOf(uint32_t rgb) {
    return {{static_cast<int>((rgb >> 16) & 255), static_cast<int>((rgb >> 8) & 255),
             static_cast<int>(rgb & 255)}};
}

// The decoder's four-entry table for one pair of colours, channel by channel.
void s3tTable(uint16_t a, uint16_t b, Channels table[4]) {
    Channels ca = channelsOf(expandS3tColour(a));
    Channels cb = channelsOf(expandS3tColour(b));
    for (int k = 0; k < 3; ++k) {
        int d = cb.c[k] - ca.c[k];
        table[0].c[k] = ca.c[k];
        table[1].c[k] = ca.c[k] + static_cast<int>(d * 0.3333333);
        table[2].c[k] = ca.c[k] + static_cast<int>(d * 0.6666666);
        table[3].c[k] = cb.c[k];
    }
}

int distance2(const Channels& p, const Channels& q) {
    int dr = p.c[0] - q.c[0], dg = p.c[1] - q.c[1], db = p.c[2] - q.c[2];
    return dr * dr + dg * dg + db * db;
}

// Total squared error of a tile with colours (a, b); writes the best indices.
int tileError(const Channels tile[16], uint16_t a, uint16_t b, uint8_t indices[16]) {
    Channels table[4];
    s3tTable(a, b, table);
    int total = 0;
    for (int i = 0; i < 16; ++i) {
        int best = distance2(tile[i], table[0]);
        int bestIndex = 0;
        for (int k = 1; k < 4; ++k) {
            int e = distance2(tile[i], table[k]);
            if (e < best) {
                best = e;
                bestIndex = k;
            }
        }
        indices[i] = static_cast<uint8_t>(bestIndex);
        total += best;
    }
    return total;
}

int clampByte(float v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(v + 0.5f); }

// The 16-bit colour whose expansion lies nearest to (r, g, b). Red's low 3
// bits are green's top bits and green's low 2 bits are blue's top bits, so the
// fields are chosen in turn, blue first, each among its nearest few values.
uint16_t nearestS3tColour(int r, int g, int b) {
    Channels want{{r, g, b}};
    int best = 1 << 30;
    uint16_t bestColour = 0;
    int b5Centre = (b + 4) >> 3;
    for (int b5 = b5Centre - 2; b5 <= b5Centre + 2; ++b5) {
        if (b5 < 0 || b5 > 31) continue;
        int g6Centre = (g - (b5 >> 3) + 2) >> 2;
        for (int g6 = g6Centre - 2; g6 <= g6Centre + 2; ++g6) {
            if (g6 < 0 || g6 > 63) continue;
            int r5Centre = (r - (g6 >> 3) + 4) >> 3;
            for (int r5 = r5Centre - 1; r5 <= r5Centre + 1; ++r5) {
                if (r5 < 0 || r5 > 31) continue;
                uint16_t c = static_cast<uint16_t>((r5 << 11) | (g6 << 5) | b5);
                int e = distance2(want, channelsOf(expandS3tColour(c)));
                if (e < best) {
                    best = e;
                    bestColour = c;
                }
            }
        }
    }
    return bestColour;
}

// Least-squares end colours for fixed indices (weights 0, 1/3, 2/3, 1).
bool refitEnds(const Channels tile[16], const uint8_t indices[16], float endA[3], float endB[3]) {
    float aa = 0, ab = 0, bb = 0, ax[3] = {0, 0, 0}, bx[3] = {0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        float wb = indices[i] / 3.0f, wa = 1.0f - wb;
        aa += wa * wa;
        ab += wa * wb;
        bb += wb * wb;
        for (int k = 0; k < 3; ++k) {
            ax[k] += wa * tile[i].c[k];
            bx[k] += wb * tile[i].c[k];
        }
    }
    float det = aa * bb - ab * ab;
    if (det < 1e-6f) return false;
    for (int k = 0; k < 3; ++k) {
        endA[k] = (ax[k] * bb - bx[k] * ab) / det;
        endB[k] = (bx[k] * aa - ax[k] * ab) / det;
    }
    return true;
}

struct Block {
    uint16_t a = 0, b = 0;
    uint8_t indices[16] = {};
    int error = 1 << 30;
};

void tryPair(const Channels tile[16], uint16_t a, uint16_t b, Block& best) {
    Block candidate;
    candidate.a = a;
    candidate.b = b;
    candidate.error = tileError(tile, a, b, candidate.indices);
    if (candidate.error < best.error) best = candidate;
}

Block encodeTile(const Channels tile[16]) {
    // Start from the two pixels furthest apart along the tile's widest channel spread.
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (int i = 0; i < 16; ++i)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], tile[i].c[k]);
            hi[k] = std::max(hi[k], tile[i].c[k]);
        }
    int axis = 0;
    for (int k = 1; k < 3; ++k)
        if (hi[k] - lo[k] > hi[axis] - lo[axis]) axis = k;
    int minI = 0, maxI = 0;
    for (int i = 1; i < 16; ++i) {
        int s = tile[i].c[0] + tile[i].c[1] + tile[i].c[2] + 4 * tile[i].c[axis];
        int sMin = tile[minI].c[0] + tile[minI].c[1] + tile[minI].c[2] + 4 * tile[minI].c[axis];
        int sMax = tile[maxI].c[0] + tile[maxI].c[1] + tile[maxI].c[2] + 4 * tile[maxI].c[axis];
        if (s < sMin) minI = i;
        if (s > sMax) maxI = i;
    }
    Block best;
    uint16_t a = nearestS3tColour(tile[minI].c[0], tile[minI].c[1], tile[minI].c[2]);
    uint16_t b = nearestS3tColour(tile[maxI].c[0], tile[maxI].c[1], tile[maxI].c[2]);
    tryPair(tile, a, b, best);
    if (best.error == 0) return best;

    // Two rounds of least-squares refinement of the ends.
    for (int round = 0; round < 2; ++round) {
        float endA[3], endB[3];
        if (!refitEnds(tile, best.indices, endA, endB)) break;
        uint16_t ra = nearestS3tColour(clampByte(endA[0]), clampByte(endA[1]), clampByte(endA[2]));
        uint16_t rb = nearestS3tColour(clampByte(endB[0]), clampByte(endB[1]), clampByte(endB[2]));
        tryPair(tile, ra, rb, best);
    }

    // Local search: nudge each end by single steps of its fields.
    static const int kSteps[] = {1 << 11, -(1 << 11), 1 << 5, -(1 << 5), 1, -1};
    for (int pass = 0; pass < 2; ++pass) {
        bool improved = false;
        for (int end = 0; end < 2; ++end)
            for (int step : kSteps) {
                int c = (end == 0 ? best.a : best.b) + step;
                if (c < 0 || c > 0xFFFF) continue;
                int before = best.error;
                if (end == 0)
                    tryPair(tile, static_cast<uint16_t>(c), best.b, best);
                else
                    tryPair(tile, best.a, static_cast<uint16_t>(c), best);
                improved = improved || best.error < before;
            }
        if (!improved) break;
    }
    return best;
}

}  // namespace

uint32_t expandS3tColour(uint16_t c) {
    uint32_t red = (c >> 8) & 0xFF, green = (c >> 3) & 0xFF, blue = (c << 3) & 0xFF;
    return (red << 16) | (green << 8) | blue;
}

std::vector<uint8_t> encodeJpeg(const Image& image, int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    for (int i = 0; i < cinfo.num_components; ++i) {
        cinfo.comp_info[i].h_samp_factor = 1;  // full-resolution colour: no smeared edges
        cinfo.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(image.width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint32_t* src = image.row(static_cast<int>(cinfo.next_scanline));
        for (int x = 0; x < image.width; ++x) {
            row[3 * x] = static_cast<uint8_t>(src[x] >> 16);
            row[3 * x + 1] = static_cast<uint8_t>(src[x] >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(src[x]);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

std::vector<uint8_t> encodeTga24(const Image& image) {
    std::vector<uint8_t> out = tgaHeader(image.width, image.height, 24, 0x20);
    out.reserve(out.size() + image.pixels.size() * 3);
    for (uint32_t p : image.pixels) putBgr(out, p);
    return out;
}

std::vector<uint8_t> encodeTga8(int width, int height, const std::array<uint32_t, 256>& palette,
                                const std::vector<uint8_t>& indices) {
    if (indices.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        throw std::invalid_argument("encodeTga8: index count does not match the size");
    std::vector<uint8_t> out = tgaHeader(width, height, 8, 0x00);
    for (uint32_t colour : palette) putBgr(out, colour);
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* row = indices.data() + static_cast<size_t>(y) * width;
        out.insert(out.end(), row, row + width);
    }
    return out;
}

std::vector<uint8_t> encodeS3t(const Image& image) {
    if (image.width % 4 != 0 || image.height % 4 != 0)
        throw std::invalid_argument("encodeS3t: size is not a multiple of 4");
    std::vector<uint8_t> out;
    uint32_t blocks = static_cast<uint32_t>(image.width / 4) * static_cast<uint32_t>(image.height / 4);
    out.reserve(16 + blocks * 8);
    putU32(out, 0);
    putU32(out, static_cast<uint32_t>(image.width));
    putU32(out, static_cast<uint32_t>(image.height));
    putU32(out, blocks);
    for (int ty = 0; ty < image.height; ty += 4)
        for (int tx = 0; tx < image.width; tx += 4) {
            Channels tile[16];
            for (int r = 0; r < 4; ++r)
                for (int x = 0; x < 4; ++x) tile[r * 4 + x] = channelsOf(image.row(ty + r)[tx + x]);
            Block block = encodeTile(tile);
            for (int r = 0; r < 4; ++r) {
                uint8_t bits = 0;
                for (int x = 0; x < 4; ++x) bits |= static_cast<uint8_t>(block.indices[r * 4 + x] << (2 * x));
                out.push_back(bits);
            }
            putU16(out, block.a);
            putU16(out, block.b);
        }
    return out;
}
