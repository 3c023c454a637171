// The 27 fade pictures: each lies inside the 512 x 256 frame at every moment
// of its scene, and its black stays transparent after JPEG coding.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "resources/jpeg.h"
#include "tools/content/content.h"
#include "tools/content/fade_layout.h"
#include "tools/content/fade_pictures.h"

namespace {

struct Rect {
    int x, y, w, h;
};

bool insideFrame(const Rect& r) { return r.x >= 0 && r.y >= 0 && r.x + r.w <= 512 && r.y + r.h <= 256; }

Rect zoomed(int x, int y, const Image& image, float zoom) {
    return {x, y, static_cast<int>(static_cast<float>(image.width) * zoom),
            static_cast<int>(static_cast<float>(image.height) * zoom)};
}

// The word flashes: picture, x0, dx, y0, dy, k.
struct Flash {
    const char* name;
    double x0, dx, y0, dy, k;
};
const Flash kFlashes[] = {
    {"we.jpg", 10, 50, 20, 20, 0.7},         {"are.jpg", 100, 60, 80, 30, 0.7},
    {"bodravin.jpg", 200, 70, 140, 40, 0.7}, {"bodravin.jpg", 300, -40, 20, 20, 0.7},
    {"people.jpg", 200, 45, 60, 20, 0.7},    {"takes.jpg", 270, -50, 100, 20, 0.65},
    {"theblame.jpg", 100, 55, 140, 20, 0.6}, {"are.jpg", 300, -40, 20, 20, 0.7},
    {"you.jpg", 280, -45, 60, 20, 0.7},      {"bodravin.jpg", 260, -50, 100, 20, 0.65},
    {"qm.jpg", 240, -55, 140, 20, 0.6},
};

// Portrait pairs: y = trunc(y0 - dy L), zoom 0.5 + 0.5 L; A while L < 0.9, B while L > 0.15.
struct Pair {
    const char* a;
    const char* b;
    double y0, dy;
};
const Pair kPairs[] = {
    {"pelk1.jpg", "pelk2.jpg", 0, 0},
    {"dro1.jpg", "dro2.jpg", 40, 0},
    {"tazu1.jpg", "tazu2.jpg", 126, 60},
    {"kel1.jpg", "kel2.jpg", 186, 70},
};

// Pulses: drawn 1:1 at (x, 0).
const std::map<std::string, int> kPulseX = {
    {"logo.jpg", 0}, {"p8p1.jpg", 0}, {"p8p2.jpg", 0}, {"p8p3.jpg", 0}, {"p3p1.jpg", 256}, {"p3p2.jpg", 256},
    {"p9p1.jpg", 0}, {"p9p2.jpg", 0}, {"p9p3.jpg", 0}, {"p9p4.jpg", 0}, {"p9p5.jpg", 0},
};

const std::vector<NamedImage>& fadeImages() {
    static const std::vector<NamedImage> images = makeFadeImages();
    return images;
}

const std::vector<ContentFile>& fadeFiles() {
    static const std::vector<ContentFile> files = makeFadePictures();
    return files;
}

const Image& imageNamed(const std::string& name) {
    for (const NamedImage& n : fadeImages())
        if (n.name == name) return n.image;
    throw std::runtime_error("no fade picture " + name);
}

}  // namespace

TEST(FadePictures, AllTwentySevenAreMadeInLoadOrder) {
    const char* const order[] = {
        "pelk1.jpg",  "pelk2.jpg",    "dro1.jpg", "dro2.jpg",     "tazu1.jpg", "tazu2.jpg", "kel1.jpg",
        "kel2.jpg",   "we.jpg",       "are.jpg",  "bodravin.jpg", "you.jpg",   "qm.jpg",    "takes.jpg",
        "people.jpg", "theblame.jpg", "p9p1.jpg", "p9p2.jpg",     "p9p3.jpg",  "p9p4.jpg",  "p9p5.jpg",
        "p3p1.jpg",   "p3p2.jpg",     "p8p1.jpg", "p8p2.jpg",     "p8p3.jpg",  "logo.jpg",
    };
    ASSERT_EQ(fadeImages().size(), 27u);
    for (size_t i = 0; i < 27; ++i) EXPECT_EQ(fadeImages()[i].name, order[i]);
}

TEST(FadePictures, WordFlashesStayInsideTheFrameForEveryT) {
    for (const Flash& f : kFlashes) {
        const Image& image = imageNamed(f.name);
        for (int i = 0; i <= 4000; ++i) {
            double t = i / 4000.0;
            Rect r = zoomed(static_cast<int>(f.x0 + f.dx * t), static_cast<int>(f.y0 + f.dy * t), image,
                            static_cast<float>(0.5 + f.k * t));
            ASSERT_TRUE(insideFrame(r))
                << f.name << " at t=" << t << ": " << r.x << "," << r.y << " " << r.w << "x" << r.h;
        }
    }
}

TEST(FadePictures, PortraitsStayInsideTheFrameAtEveryLevel) {
    for (const Pair& p : kPairs) {
        const Image& a = imageNamed(p.a);
        const Image& b = imageNamed(p.b);
        EXPECT_EQ(a.width, b.width) << p.a << " and " << p.b << " cross-fade in one place";
        EXPECT_EQ(a.height, b.height) << p.a << " and " << p.b;
        for (int i = 0; i <= 4000; ++i) {
            float level = i == 4000 ? 0.99999994f : i / 4000.0f;
            int y = static_cast<int>(p.y0 - p.dy * level);
            float zoom = static_cast<float>(0.5 + 0.5 * level);
            if (level < 0.9f) {
                ASSERT_TRUE(insideFrame(zoomed(0, y, a, zoom))) << p.a << " at level " << level;
            }
            if (level > 0.15f) {
                ASSERT_TRUE(insideFrame(zoomed(0, y, b, zoom))) << p.b << " at level " << level;
            }
        }
    }
}

TEST(FadePictures, PulsePanelsFitWhereTheyAreDrawn) {
    for (const auto& [name, x] : kPulseX) {
        const Image& image = imageNamed(name);
        EXPECT_TRUE(insideFrame({x, 0, image.width, image.height})) << name;
    }
}

TEST(FadePictures, LayoutLimitsMatchTheHandWorkedCases) {
    // "we" ends its flash at (60, 40) at 1.2 times its size: 377 x 180 is the
    // most (377 * 1.2 = 452.4 truncates to 452, and 60 + 452 = 512).
    EXPECT_EQ(maxFadeSize("we.jpg").width, 377);
    EXPECT_EQ(maxFadeSize("we.jpg").height, 180);
    // "bodravin" is tightest in its first flash, ending at (270, 180).
    EXPECT_EQ(maxFadeSize("bodravin.jpg").width, 202);
    EXPECT_EQ(maxFadeSize("bodravin.jpg").height, 64);
    // The fourth portrait rises 70 rows as it doubles: 140 rows at either end.
    EXPECT_EQ(maxFadeSize("kel2.jpg").height, 140);
    EXPECT_EQ(maxFadeSize("p3p1.jpg").width, 256);
    EXPECT_FALSE(fadePictureFits("nothing.jpg", 1, 1));
}

TEST(FadePictures, BlackStaysTransparentAfterJpegCoding) {
    const std::vector<ContentFile>& files = fadeFiles();
    ASSERT_EQ(files.size(), fadeImages().size());
    for (size_t i = 0; i < files.size(); ++i) {
        const Image& source = fadeImages()[i].image;
        Image decoded = decodeJpeg(files[i].bytes);
        ASSERT_EQ(files[i].name, fadeImages()[i].name);
        ASSERT_EQ(decoded.width, source.width) << files[i].name;
        ASSERT_EQ(decoded.height, source.height) << files[i].name;
        // Pulses are drawn 1:1 (transparent below 4), the rest zoomed (below 8).
        uint32_t mask = kPulseX.count(files[i].name) ? 0xFCFCFCu : 0xF8F8F8u;
        size_t leaks = 0, opaque = 0;
        for (size_t k = 0; k < source.pixels.size(); ++k) {
            if (source.pixels[k] == 0 && (decoded.pixels[k] & mask) != 0) ++leaks;
            if ((decoded.pixels[k] & mask) != 0) ++opaque;
        }
        EXPECT_EQ(leaks, 0u) << files[i].name;
        EXPECT_GT(opaque, source.pixels.size() / 50) << files[i].name << " is nearly empty";
        EXPECT_LT(opaque, source.pixels.size() * 9 / 10) << files[i].name << " has little transparent black";
    }
}

TEST(FadePictures, PairsDifferBetweenCalmAndAwake) {
    for (const Pair& p : kPairs) {
        const Image& a = imageNamed(p.a);
        const Image& b = imageNamed(p.b);
        size_t different = 0;
        for (size_t k = 0; k < a.pixels.size(); ++k) different += a.pixels[k] != b.pixels[k];
        EXPECT_GT(different, a.pixels.size() / 10) << p.a << " vs " << p.b;
    }
}

TEST(FadePictures, SameBytesEveryRun) {
    const std::vector<ContentFile>& first = fadeFiles();
    const std::vector<ContentFile> second = makeFadePictures();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i].bytes, second[i].bytes) << first[i].name;
}
