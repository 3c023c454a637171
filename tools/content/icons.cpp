// The icons: the first awake portrait mask, centred on a square whose black
// (the portraits' transparent parts) becomes transparent, averaged down to
// each side.
#include "tools/content/icons.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "tools/content/fade_pictures.h"

namespace {

void putBig32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void putChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    putBig32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBig32(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

bool isTransparent(uint32_t pixel) {
    const float r = static_cast<float>((pixel >> 16) & 0xFF), g = static_cast<float>((pixel >> 8) & 0xFF),
                b = static_cast<float>(pixel & 0xFF);
    return std::max({r, g, b}) < kFadeBlackCut;
}

// The portrait on a square `side` pixels wide, as 0xAARRGGBB, averaged from
// the picture over each target pixel's square (colours weighted by opacity).
std::vector<uint32_t> iconOf(const Image& picture, int side) {
    const int square = std::max(picture.width, picture.height);
    const int left = (square - picture.width) / 2, top = (square - picture.height) / 2;
    std::vector<uint32_t> icon(static_cast<size_t>(side) * static_cast<size_t>(side));
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int x0 = x * square / side, x1 = std::max(x0 + 1, (x + 1) * square / side);
            const int y0 = y * square / side, y1 = std::max(y0 + 1, (y + 1) * square / side);
            double r = 0, g = 0, b = 0, opaque = 0;
            for (int sy = y0; sy < y1; ++sy) {
                for (int sx = x0; sx < x1; ++sx) {
                    const int px = sx - left, py = sy - top;
                    if (px < 0 || py < 0 || px >= picture.width || py >= picture.height) continue;
                    const uint32_t p = picture.row(py)[px];
                    if (isTransparent(p)) continue;
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                    opaque += 1;
                }
            }
            const double count = static_cast<double>((x1 - x0) * (y1 - y0));
            if (opaque == 0) continue;
            const auto channel = [&](double sum) { return static_cast<uint32_t>(sum / opaque + 0.5); };
            const uint32_t alpha = static_cast<uint32_t>(255.0 * opaque / count + 0.5);
            icon[static_cast<size_t>(y) * side + x] =
                alpha << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
        }
    }
    return icon;
}

}  // namespace

std::vector<uint8_t> encodePng(const std::vector<uint32_t>& argb, int width, int height) {
    // Each row: filter type 0, then red, green, blue, alpha.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (1 + 4 * static_cast<size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = argb[static_cast<size_t>(y) * width + x];
            for (int shift : {16, 8, 0, 24}) raw.push_back(static_cast<uint8_t>(p >> shift));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        throw std::runtime_error("cannot compress a PNG picture");
    packed.resize(packedSize);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putBig32(header, static_cast<uint32_t>(width));
    putBig32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter choice, no interlace
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", packed);
    putChunk(png, "IEND", {});
    return png;
}

std::vector<ContentFile> makeIcons() {
    const std::vector<NamedImage> portraits = makePortraitImages();
    const Image& mask = portraits.at(1).image;  // the first awake one
    std::vector<ContentFile> icons;
    for (int side : kIconSides)
        icons.push_back(
            {"zedariva-" + std::to_string(side) + ".png", encodePng(iconOf(mask, side), side, side)});
    return icons;
}
