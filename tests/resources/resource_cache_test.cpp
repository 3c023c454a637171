// The resource cache: decode once, case-blind names, the ".TGA" to ".S3T"
// fallback, raw files and replacement by put().
#include "resources/resource_cache.h"

#include <gtest/gtest.h>

#include "tests/resources/bomb_packs.h"
#include "tests/resources/picture_fixtures.h"

namespace {

using ResourceCacheTest = ScratchFolder;

const Bytes kFont = makeTga(1, 2, 24, 0x20, {1, 2, 3, 4, 5, 6});
const Bytes kBall = {'e', 'd', 'o', 0, 1, 2};
const Bytes kPicS3t = makeS3t(4, 4, {{{0, 0, 0, 0}, 0xFFFF, 0}});

void writeDemoPack() {
    writeFile("data.fil",
              makePack({{"font.tga", kFont}, {"p6ball.edo", kBall}, {"pic.s3t", kPicS3t}, {"end", {}}}));
}

TEST_F(ResourceCacheTest, SecondRequestReturnsTheSamePictureWithoutReading) {
    writeDemoPack();
    ResourceCache cache("data.fil");
    ::testing::internal::CaptureStdout();
    Image* first = &cache.getImage("font.tga");
    Image* second = &cache.getImage("FONT.TGA");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Loading [FONT.TGA]\n");
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->pixels, (std::vector<uint32_t>{0x030201, 0x060504}));
    EXPECT_EQ(cache.count(), 1);
}

TEST_F(ResourceCacheTest, TgaNameFallsBackToS3tAndFilesBoth) {
    writeDemoPack();
    ResourceCache cache("data.fil");
    ::testing::internal::CaptureStdout();
    Image* asTga = &cache.getImage("Pic.Tga");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Loading [PIC.S3T]\n");
    EXPECT_EQ(cache.find("pic.s3t"), 0);
    EXPECT_EQ(cache.find("PIC.TGA"), 1);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(&cache.getImage("pic.s3t"), asTga);
    EXPECT_EQ(&cache.getImage("PIC.tga"), asTga);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(asTga->pixels[0], 0xFFFFF8u);
}

TEST_F(ResourceCacheTest, OtherFilesKeepTheirRawBytes) {
    writeDemoPack();
    ResourceCache cache("data.fil");
    ::testing::internal::CaptureStdout();
    const std::span<uint8_t> bytes = cache.getBytes("p6ball.edo");
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), kBall);
    EXPECT_EQ(cache.get("P6BALL.EDO").image, nullptr);
}

// A loose ".S3T" stands in for a ".TGA" name under the name ending in
// ".S3T" first, then under the name with its own letters' case kept.
TEST_F(ResourceCacheTest, LooseS3tFallbackTriesTheS3tNameThenTheNamesOwnCase) {
    writeFile("pic.s3t", kPicS3t);
    writeFile("PIC2.S3T", kPicS3t);
    writeFile("pic4.S3T", kPicS3t);
    writeFile("PIC3.s3t", kPicS3t);
    ResourceCache cache("data.fil");
    EXPECT_EQ(cache.getImage("pic.tga").width, 4);
    EXPECT_EQ(cache.getImage("PIC2.TGA").width, 4);
    EXPECT_EQ(cache.getImage("pic4.tga").width, 4);
    EXPECT_EQ(loadErrorOf([&] { cache.get("pic3.tga"); }), "file not included exit");
}

TEST_F(ResourceCacheTest, LooseFilesFillInForAMissingPack) {
    writeFile("font.tga", kFont);
    ResourceCache cache("data.fil");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(cache.getImage("font.tga").width, 1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

TEST_F(ResourceCacheTest, FindNeverLoadsAndIndexOfDoes) {
    writeDemoPack();
    ResourceCache cache("data.fil");
    EXPECT_EQ(cache.find("p6ball.edo"), -1);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(cache.indexOf("p6ball.edo"), 0);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(cache.find("P6Ball.EDO"), 0);
}

TEST_F(ResourceCacheTest, PutReplacesAFiledResourceAndKeepsTheOldOneAlive) {
    writeDemoPack();
    ResourceCache cache("data.fil");
    ::testing::internal::CaptureStdout();
    Image& old = cache.getImage("font.tga");
    ::testing::internal::GetCapturedStdout();
    auto copy = std::make_shared<Resource>();
    copy->image = std::make_shared<Image>(2, 2);
    cache.put("FONT.tga", copy);
    EXPECT_EQ(&cache.getImage("font.tga"), copy->image.get());
    EXPECT_EQ(cache.count(), 1);
    EXPECT_EQ(old.pixels[0], 0x030201u);  // still valid memory
}

TEST_F(ResourceCacheTest, PutFilesANewNameInTheNextSlot) {
    ResourceCache cache("data.fil");
    auto made = std::make_shared<Resource>();
    made->bytes = {7};
    cache.put("made.bin", made);
    EXPECT_EQ(cache.indexOf("MADE.BIN"), 0);
    EXPECT_EQ(cache.getBytes("made.bin")[0], 7);
}

TEST_F(ResourceCacheTest, MissingNameEndsWithFileNotIncluded) {
    writeDemoPack();
    ResourceCache cache("data.fil");
    EXPECT_EQ(loadErrorOf([&] { cache.get("nothere.jpg"); }), "file not included exit");
    EXPECT_EQ(loadErrorOf([&] { cache.get("nothere.tga"); }), "file not included exit");
    EXPECT_EQ(cache.count(), 0);
}

TEST_F(ResourceCacheTest, AskingForTheWrongKindIsAClearError) {
    writeDemoPack();
    ResourceCache cache("data.fil");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(loadErrorOf([&] { cache.getImage("p6ball.edo"); }), "p6ball.edo: not a picture");
    EXPECT_EQ(loadErrorOf([&] { cache.getBytes("font.tga"); }), "font.tga: a picture, not raw bytes");
    ::testing::internal::GetCapturedStdout();
}

// Records repeating one stored range are read once and share one resource
// of each kind: 98 names of the 64 MiB stream cost 64 MiB, not 6 GiB.
TEST_F(ResourceCacheTest, RecordsRepeatingTheSameStoredBytesShareOneCopy) {
    writeFile("data.fil", bombs::ninetyNineRecordPack(true));
    ResourceCache cache("data.fil");
    ::testing::internal::CaptureStdout();
    const uint8_t* first = cache.getBytes("bomb0.bin").data();
    for (int k = 1; k < 98; ++k) EXPECT_EQ(cache.getBytes("bomb" + std::to_string(k) + ".bin").data(), first) << k;
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Loading [BOMB0.BIN]\n");
    EXPECT_EQ(cache.getBytes("BOMB5.BIN").size(), bombs::kStreamBytes);

    writeFile("data.fil", makePack({{"a.tga", kFont}, {"b.tga", kFont}, {"end", {}}}));
    Bytes twoNames = readFile("data.fil");
    for (int i = 0; i < 8; ++i) twoNames[4 + 32 + 4 + i] = twoNames[4 + 4 + i];  // b.tga: a.tga's offset and size
    writeFile("data.fil", twoNames);
    ResourceCache pictures("data.fil");
    ::testing::internal::CaptureStdout();
    const Image* a = &pictures.getImage("a.tga");
    EXPECT_EQ(&pictures.getImage("b.tga"), a);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Loading [A.TGA]\n");
}

// The cache holds at most its limit of decoded pictures and raw bytes; the
// load that would pass it fails in one line naming the file.
TEST_F(ResourceCacheTest, LoadPassingTheHeldLimitIsRefused) {
    writeDemoPack();
    ResourceCache cache("data.fil", 8 + kBall.size());  // font.tga's two pixels and the ball
    ::testing::internal::CaptureStdout();
    cache.getImage("font.tga");
    cache.getBytes("p6ball.edo");
    EXPECT_EQ(loadErrorOf([&] { cache.getImage("pic.s3t"); }),
              "pic.s3t: the resources read pass the cache's limit of 14 bytes");
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(cache.count(), 2);
}

}  // namespace
