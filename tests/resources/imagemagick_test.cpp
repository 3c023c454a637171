// The decoders against pictures written by an independent tool, ImageMagick's
// convert: TGA must match its reading pixel for pixel, JPEG within rounding.
#include <gtest/gtest.h>

#include <cctype>

#include "resources/jpeg.h"
#include "resources/tga.h"
#include "tests/resources/picture_fixtures.h"

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

bool haveConvert() { return std::system("command -v convert >/dev/null 2>&1") == 0; }

bool convert(const std::string& arguments) {
    return std::system(("convert " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

// A binary PPM (P6, maxval 255) as 0x00RRGGBB pixels.
Picture readPpm(const std::string& path) {
    const Bytes bytes = readFile(path);
    size_t pos = 0;
    auto token = [&] {
        std::string text;
        while (pos < bytes.size()) {
            if (bytes[pos] == '#') {
                while (pos < bytes.size() && bytes[pos] != '\n') ++pos;
            } else if (std::isspace(bytes[pos])) {
                if (!text.empty()) break;
                ++pos;
            } else {
                text += static_cast<char>(bytes[pos++]);
            }
        }
        return text;
    };
    Picture picture;
    if (token() != "P6") return picture;
    picture.width = std::stoi(token());
    picture.height = std::stoi(token());
    if (token() != "255") return {};
    ++pos;  // the single whitespace before the samples
    if (bytes.size() < pos + 3 * static_cast<size_t>(picture.width) * picture.height) return {};
    for (int i = 0; i < picture.width * picture.height; ++i, pos += 3)
        picture.pixels.push_back((bytes[pos] << 16) | (bytes[pos + 1] << 8) | bytes[pos + 2]);
    return picture;
}

void writePpm(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels) {
    const std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes bytes(header.begin(), header.end());
    for (uint32_t p : pixels) bytes.insert(bytes.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
    writeFile(path, bytes);
}

// Colourful content with sharp edges (for lossless TGA checks).
std::vector<uint32_t> patternPixels(int width, int height) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(static_cast<uint32_t>(((x * 37 + y * 11) & 0xFF) << 16 |
                                                   ((x * y * 5) & 0xFF) << 8 | ((255 - x * 9 + y) & 0xFF)));
    return pixels;
}

// 16 x 16 pixels, all 256 colours different: a full 256-entry colour table.
std::vector<uint32_t> palettePixels() {
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < 256; ++i) pixels.push_back(((i * 7) & 0xFF) << 16 | i << 8 | (255 - i));
    return pixels;
}

// Smooth content for JPEG.
std::vector<uint32_t> smoothPixels(int width, int height) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(static_cast<uint32_t>((x * 4) << 16 | (y * 5) << 8 | ((x + y) * 2)));
    return pixels;
}

class ImageMagickTest : public ScratchFolder {
protected:
    // The folder first: TearDown runs after a skip too, and goes back to the
    // folder SetUp left.
    void SetUp() override {
        ScratchFolder::SetUp();
        if (!haveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    }

    // ImageMagick's own reading of `file`, turned by its orientation field.
    Picture referenceOf(const std::string& file) {
        EXPECT_TRUE(convert(file + " -auto-orient ref.ppm"));
        return readPpm("ref.ppm");
    }
};

void expectSamePicture(const Image& image, const Picture& reference) {
    ASSERT_EQ(image.width, reference.width);
    ASSERT_EQ(image.height, reference.height);
    EXPECT_EQ(image.pixels, reference.pixels);
}

TEST_F(ImageMagickTest, TrueColourTgaInBothRowOrders) {
    const std::vector<uint32_t> source = patternPixels(23, 17);
    writePpm("src.ppm", 23, 17, source);
    ASSERT_TRUE(convert("src.ppm -strip -type TrueColor -orient TopLeft top.tga"));
    ASSERT_TRUE(convert("src.ppm -strip -type TrueColor -flip bottom.tga"));
    const Bytes top = readFile("top.tga");
    const Bytes bottom = readFile("bottom.tga");
    ASSERT_GE(bottom.size(), 18u);
    ASSERT_GE(top.size(), 18u);
    EXPECT_EQ(top[16], 24);
    EXPECT_EQ(top[17] & 0x20, 0x20);
    EXPECT_EQ(bottom[16], 24);
    EXPECT_EQ(bottom[17] & 0x20, 0);

    expectSamePicture(decodeTga(top), referenceOf("top.tga"));
    expectSamePicture(decodeTga(bottom), referenceOf("bottom.tga"));
    EXPECT_EQ(decodeTga(bottom).pixels, source);
}

TEST_F(ImageMagickTest, PaletteTgaInBothRowOrders) {
    writePpm("src.ppm", 16, 16, palettePixels());
    ASSERT_TRUE(convert("src.ppm -strip -type Palette pal.tga"));
    ASSERT_TRUE(convert("src.ppm -strip -type Palette -orient TopLeft paltop.tga"));
    for (const char* file : {"pal.tga", "paltop.tga"}) {
        const Bytes bytes = readFile(file);
        ASSERT_GE(bytes.size(), 18u);
        EXPECT_EQ(bytes[0], 0) << "no ID field";
        EXPECT_EQ(bytes[5] | bytes[6] << 8, 256) << "256 colour-table entries";
        EXPECT_EQ(bytes[16], 8);
        expectSamePicture(decodeTga(bytes), referenceOf(file));
    }
}

// Largest difference of any channel of any pixel.
int largestChannelDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int largest = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        for (int shift : {0, 8, 16})
            largest = std::max(largest, std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF)));
    return largest;
}

TEST_F(ImageMagickTest, ColourJpegMatchesItsDecode) {
    writePpm("src.ppm", 64, 48, smoothPixels(64, 48));
    ASSERT_TRUE(convert("src.ppm -strip -quality 90 pic.jpg"));
    const Image image = decodeJpeg(readFile("pic.jpg"));
    const Picture reference = referenceOf("pic.jpg");
    ASSERT_EQ(image.width, reference.width);
    ASSERT_EQ(image.height, reference.height);
    EXPECT_LE(largestChannelDifference(image.pixels, reference.pixels), 1);
    EXPECT_LE(largestChannelDifference(image.pixels, smoothPixels(64, 48)), 16);
}

TEST_F(ImageMagickTest, GreyJpegMatchesItsDecode) {
    writePpm("src.ppm", 40, 24, smoothPixels(40, 24));
    ASSERT_TRUE(convert("src.ppm -strip -colorspace Gray -type Grayscale -quality 90 grey.jpg"));
    const Bytes bytes = readFile("grey.jpg");
    for (size_t i = 0; i + 9 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
            EXPECT_EQ(bytes[i + 9], 1) << "a one-component file";
            break;
        }
    const Image image = decodeJpeg(bytes);
    const Picture reference = referenceOf("grey.jpg");
    ASSERT_EQ(image.width, reference.width);
    EXPECT_LE(largestChannelDifference(image.pixels, reference.pixels), 1);
    for (uint32_t pixel : image.pixels) ASSERT_EQ(pixel, (pixel & 0xFF) * 0x010101u);
}

}  // namespace
