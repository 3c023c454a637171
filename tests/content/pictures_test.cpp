// The warp textures, backgrounds, "s1", the ray and the font sheet: each
// decodes with the presentation's own decoders at the size its scene needs,
// and the tunnel texture feeds the glow rays.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/warp_sections.h"
#include "fx2d/warp_grid.h"
#include "resources/jpeg.h"
#include "resources/tga.h"
#include "tools/content/content.h"
#include "tools/content/image_encoders.h"
#include "tools/content/pictures.h"

namespace {

const std::map<std::string, ContentFile>& pictureFiles() {
    static const std::map<std::string, ContentFile> files = [] {
        std::map<std::string, ContentFile> byName;
        for (ContentFile& f : makePictures()) byName[f.name] = std::move(f);
        return byName;
    }();
    return files;
}

Image decodeNamed(const std::string& name) {
    const ContentFile& file = pictureFiles().at(name);
    if (name.ends_with(".jpg")) return decodeJpeg(file.bytes);
    if (name.ends_with(".s3t")) return decodeS3t(file.bytes);
    return decodeTga(file.bytes);
}

bool nearWhite(uint32_t p) { return (p & 0xF8F8F8u) == 0xF8F8F8u; }

int channelDistance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        d += std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255));
    return d;
}

}  // namespace

TEST(Pictures, EveryPictureDecodesAtTheSizeItsSceneNeeds) {
    struct Need {
        const char* name;
        int width, minHeight;
    };
    const Need needs[] = {
        {"txt1.jpg", 256, 256},   {"txt5.jpg", 256, 256},   {"s1.s3t", 512, 256},
        {"ray.tga", 256, 256},    {"p3back.jpg", 512, 796}, {"p4back.jpg", 1300, 256},
        {"p6back.jpg", 359, 256}, {"nofx.jpg", 153, 1436},  {"p8back.jpg", 1000, 256},
    };
    for (const Need& need : needs) {
        Image image = decodeNamed(need.name);
        EXPECT_EQ(image.width, need.width) << need.name;
        EXPECT_GE(image.height, need.minHeight) << need.name;
    }
    EXPECT_EQ(decodeNamed("txt1.jpg").height, 256);
    EXPECT_EQ(decodeNamed("txt5.jpg").height, 256);
    EXPECT_EQ(decodeNamed("s1.s3t").height, 256);
    EXPECT_GT(decodeNamed("font.tga").width, 0);
    EXPECT_EQ(pictureFiles().size(), 10u);
}

TEST(Pictures, S1IsStoredOnlyInItsS3tForm) {
    EXPECT_EQ(pictureFiles().count("s1.tga"), 0u);
    EXPECT_EQ(pictureFiles().count("s1.s3t"), 1u);
}

TEST(Pictures, TgaFilesUseThePaletteAndTopDownPaths) {
    const std::vector<uint8_t>& ray = pictureFiles().at("ray.tga").bytes;
    EXPECT_EQ(ray[16], 8);         // 8 bits with a colour table
    EXPECT_EQ(ray[17] & 0x20, 0);  // bottom row stored first
    EXPECT_EQ(ray.size(), 18u + 768u + 256u * 256u);
    const std::vector<uint8_t>& font = pictureFiles().at("font.tga").bytes;
    EXPECT_EQ(font[16], 24);
    EXPECT_EQ(font[17] & 0x20, 0x20);  // top row stored first
}

TEST(Pictures, RayIsFaintWithBlackEdgesAndBrightestInTheMiddle) {
    Image ray = decodeNamed("ray.tga");
    for (uint32_t p : ray.pixels) {
        // Four times the word must not carry out of a channel.
        ASSERT_LE((p >> 16) & 255, 63u);
        ASSERT_LE((p >> 8) & 255, 63u);
        ASSERT_LE(p & 255, 63u);
    }
    for (int k = 0; k < 256; ++k) {
        EXPECT_EQ(ray.row(0)[k], 0u);
        EXPECT_EQ(ray.row(255)[k], 0u);
        EXPECT_EQ(ray.row(k)[0], 0u);
        EXPECT_EQ(ray.row(k)[255], 0u);
    }
    EXPECT_GT(ray.row(128)[128] & 255, ray.row(128)[190] & 255);
    EXPECT_GT(ray.row(128)[190] & 255, 0u);
}

TEST(Pictures, S3tKeepsTheBackdropClose) {
    Image source = makeOpeningBackdrop();
    Image decoded = decodeNamed("s1.s3t");
    ASSERT_EQ(decoded.pixels.size(), source.pixels.size());
    long total = 0;
    for (size_t k = 0; k < source.pixels.size(); ++k)
        total += channelDistance(source.pixels[k], decoded.pixels[k]);
    double meanPerChannel = static_cast<double>(total) / (3.0 * source.pixels.size());
    EXPECT_LT(meanPerChannel, 4.0);
}

TEST(S3tEncoder, FlatTilesOfExpandableColoursComeBackExactly) {
    Image image(8, 4);
    uint32_t left = expandS3tColour(0xF81F), right = expandS3tColour(0x07E0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) image.row(y)[x] = x < 4 ? left : right;
    Image decoded = decodeS3t(encodeS3t(image));
    EXPECT_EQ(decoded.pixels, image.pixels);
}

TEST(S3tEncoder, TwoColourTileUsesBothEnds) {
    Image image(4, 4);
    uint32_t dark = expandS3tColour(0x0841), light = expandS3tColour(0xC618);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) image.row(y)[x] = (x + y) % 2 ? dark : light;
    Image decoded = decodeS3t(encodeS3t(image));
    EXPECT_EQ(decoded.pixels, image.pixels);
}

TEST(Pictures, WarpTexturesTileSeamlessly) {
    for (const char* name : {"txt1.jpg", "txt5.jpg"}) {
        Image texture = decodeNamed(name);
        long seam = 0, inner = 0;
        for (int y = 0; y < 256; ++y) {
            seam += channelDistance(texture.row(y)[255], texture.row(y)[0]);
            inner += channelDistance(texture.row(y)[127], texture.row(y)[128]);
        }
        for (int x = 0; x < 256; ++x) {
            seam += channelDistance(texture.row(255)[x], texture.row(0)[x]);
            inner += channelDistance(texture.row(127)[x], texture.row(128)[x]);
        }
        EXPECT_LT(seam, inner * 2 + 2000) << name;
    }
}

TEST(Pictures, TunnelTextureHoldsAFewDozenLamps) {
    Image texture = decodeNamed("txt5.jpg");
    int white = 0;
    for (uint32_t p : texture.pixels) white += nearWhite(p);
    EXPECT_GE(white, 20);      // most lamp cores stay white
    EXPECT_LE(white, 26 * 4);  // nothing else reaches white
}

TEST(Pictures, TunnelFramesShowLightsInTheGlowWindow) {
    Image texture = decodeNamed("txt5.jpg");
    std::vector<uint32_t> frame(512 * 256);
    WarpGrid grid;
    int framesWithLights = 0, totalLights = 0;
    const int frames = 40;
    for (int f = 0; f < frames; ++f) {
        float t = f * 0.75f;  // the five orders of the glow section
        fillTunnelGrid(grid, tunnelAngle(static_cast<int32_t>(f * 750 + 60000)), t);
        warpCopy(frame.data(), grid, texture);
        int lights = 0;
        for (int y = 30; y <= 219; ++y)
            for (int x = 50; x <= 467; ++x) lights += nearWhite(frame[y * 512 + x]);
        framesWithLights += lights > 0;
        totalLights += lights;
    }
    EXPECT_GE(framesWithLights, frames * 3 / 4);
    // Rays, not a sheet of light: on average well under a thousand bright pixels.
    EXPECT_LT(totalLights / frames, 1000);
}

TEST(Pictures, SameBytesEveryRun) {
    std::vector<ContentFile> again = makePictures();
    ASSERT_EQ(again.size(), pictureFiles().size());
    for (const ContentFile& f : again) EXPECT_EQ(f.bytes, pictureFiles().at(f.name).bytes) << f.name;
}
