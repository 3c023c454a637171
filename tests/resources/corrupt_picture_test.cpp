// Damaged pictures and cache limits: each gives one clear line, never a crash
// or an out-of-bounds access.
#include <gtest/gtest.h>

#include "resources/jpeg.h"
#include "resources/resource_cache.h"
#include "resources/tga.h"
#include "tests/resources/picture_fixtures.h"

namespace {

std::string tgaError(const Bytes& bytes) {
    return loadErrorOf([&] { decodeTga(bytes); });
}
std::string s3tError(const Bytes& bytes) {
    return loadErrorOf([&] { decodeS3t(bytes); });
}
std::string jpegError(const Bytes& bytes) {
    return loadErrorOf([&] { decodeJpeg(bytes); });
}

TEST(CorruptTga, HeaderCutShort) { EXPECT_EQ(tgaError(Bytes(17, 0)), "TGA header cut short (17 bytes)"); }

TEST(CorruptTga, DepthOtherThan8Or24) {
    for (int bits : {0, 15, 16, 32})
        EXPECT_EQ(tgaError(makeTga(1, 1, bits, 0, Bytes(4, 0))),
                  "Error, unsupported TGA type!(bitdepth problem)");
}

TEST(CorruptTga, EmptyPicture) {
    EXPECT_EQ(tgaError(makeTga(0, 5, 24, 0, {})), "TGA picture of 0 x 5 pixels is empty");
}

TEST(CorruptTga, HugeSides) {
    EXPECT_EQ(tgaError(makeTga(65535, 65535, 24, 0, {})),
              "TGA picture of 65535 x 65535 pixels is larger than the limit of 16777216 pixels");
}

TEST(CorruptTga, PixelDataShorterThanTheHeaderPromises) {
    EXPECT_EQ(tgaError(makeTga(2, 2, 24, 0, Bytes(11, 0))),
              "TGA pixel data ends early: 2 x 2 at 24 bits needs 30 bytes, the file has 29");
    EXPECT_EQ(tgaError(makeTga(2, 2, 8, 0, Bytes(768 + 3, 0))),
              "TGA pixel data ends early: 2 x 2 at 8 bits needs 790 bytes, the file has 789");
    EXPECT_EQ(tgaError(makeTga(2, 2, 8, 0, Bytes(100, 0))),
              "TGA pixel data ends early: 2 x 2 at 8 bits needs 790 bytes, the file has 118");
}

TEST(CorruptS3t, HeaderCutShort) { EXPECT_EQ(s3tError(Bytes(15, 0)), "S3T header cut short (15 bytes)"); }

TEST(CorruptS3t, SidesNotMultiplesOfFour) {
    EXPECT_EQ(s3tError(makeS3t(6, 4, {})), "S3T sides 6 x 4 are not multiples of 4");
    EXPECT_EQ(s3tError(makeS3t(4, 2, {})), "S3T sides 4 x 2 are not multiples of 4");
}

TEST(CorruptS3t, EmptyAndHugePictures) {
    EXPECT_EQ(s3tError(makeS3t(0, 4, {})), "S3T picture of 0 x 4 pixels is empty");
    EXPECT_EQ(s3tError(makeS3t(0xFFFFFFFC, 0xFFFFFFFC, {})),
              "S3T picture of 4294967292 x 4294967292 pixels is larger than the limit of 16777216 pixels");
}

TEST(CorruptS3t, BlockCountNotMatchingTheSides) {
    EXPECT_EQ(s3tError(makeS3t(8, 4, {{}})), "S3T block count 1 does not match 8 x 4 (needs 2)");
}

TEST(CorruptS3t, BlockDataShorterThanTheCount) {
    Bytes bytes = makeS3t(8, 4, {{}, {}});
    bytes.pop_back();
    EXPECT_EQ(s3tError(bytes), "S3T block data ends early: 2 blocks need 32 bytes, the file has 31");
}

const Bytes& sampleJpeg() {
    static const Bytes jpeg = encodeJpeg(32, 16, 3, gradientSamples(32, 16, 3));
    return jpeg;
}

TEST(CorruptJpeg, EndingEarlyIsReportedNotReadPast) {
    const Bytes& whole = sampleJpeg();
    for (size_t size : {size_t{0}, size_t{1}, size_t{40}, whole.size() / 2, whole.size() - 3}) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(jpegError(cut), "JPEG data ends early (the file has " + std::to_string(size) + " bytes)");
    }
}

TEST(CorruptJpeg, MissingEndMarkerAloneIsAccepted) {
    const Bytes& whole = sampleJpeg();
    const Bytes withoutEnd(whole.begin(), whole.end() - 2);
    EXPECT_EQ(decodeJpeg(withoutEnd).pixels, decodeJpeg(whole).pixels);
}

TEST(CorruptJpeg, NotAJpegGivesTheLibrarysMessage) {
    EXPECT_EQ(jpegError({'G', 'I', 'F', '8', '9', 'a', 0, 0}), "Not a JPEG file: starts with 0x47 0x49");
}

TEST(CorruptJpeg, DamagedTablesGiveTheLibrarysMessage) {
    Bytes bytes = sampleJpeg();
    // The first quantisation table's segment follows the JFIF header; claim a
    // table with a bad precision/index byte.
    for (size_t i = 2; i + 4 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDB) {
            bytes[i + 4] = 0x0F;  // table index 15
            break;
        }
    }
    const std::string error = jpegError(bytes);
    EXPECT_NE(error, "(no LoadError)");
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

TEST(CorruptJpeg, FourComponentFileIsRefused) {
    const Bytes cmyk = encodeJpeg(8, 8, 4, gradientSamples(8, 8, 4));
    EXPECT_EQ(jpegError(cmyk), "JPEG with 4 colour components is not supported");
}

TEST(CorruptJpeg, HugeSidesAreRefusedBeforeDecoding) {
    Bytes bytes = sampleJpeg();
    for (size_t i = 2; i + 8 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {  // baseline frame header: height, width at +5
            bytes[i + 5] = 0xEA;
            bytes[i + 6] = 0x60;
            bytes[i + 7] = 0xEA;
            bytes[i + 8] = 0x60;
            break;
        }
    }
    EXPECT_EQ(jpegError(bytes),
              "JPEG picture of 60000 x 60000 pixels is larger than the limit of 16777216 pixels");
}

TEST(CorruptJpeg, EndlessScansAreCutOff) {
    // A progressive file whose last scan is repeated 600 times: the library
    // would only warn about the bogus progression and go through them all.
    const Bytes jpeg = encodeJpeg(16, 16, 3, gradientSamples(16, 16, 3), 90, true);
    size_t lastScan = 0;
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) lastScan = i;
    ASSERT_GT(lastScan, 0u);
    const Bytes scan(jpeg.begin() + static_cast<std::ptrdiff_t>(lastScan), jpeg.end() - 2);
    Bytes many(jpeg.begin(), jpeg.end() - 2);
    for (int i = 0; i < 600; ++i) many.insert(many.end(), scan.begin(), scan.end());
    many.insert(many.end(), {0xFF, 0xD9});
    EXPECT_EQ(jpegError(many), "JPEG has more than 500 scans");
}

using CorruptCacheInput = ScratchFolder;

TEST_F(CorruptCacheInput, DecoderProblemsNameTheFile) {
    writeFile("short.tga", makeTga(2, 2, 24, 0x20, Bytes(3, 0)));
    writeFile("bad.s3t", makeS3t(6, 4, {}));
    writeFile("cut.jpg", Bytes(sampleJpeg().begin(), sampleJpeg().begin() + 100));
    writeFile("deep.tga", makeTga(1, 1, 32, 0x20, Bytes(4, 0)));
    ResourceCache cache("data.fil");
    EXPECT_EQ(loadErrorOf([&] { cache.get("short.tga"); }),
              "short.tga: TGA pixel data ends early: 2 x 2 at 24 bits needs 30 bytes, the file has 21");
    EXPECT_EQ(loadErrorOf([&] { cache.get("bad.tga"); }), "bad.s3t: S3T sides 6 x 4 are not multiples of 4");
    EXPECT_EQ(loadErrorOf([&] { cache.get("cut.jpg"); }),
              "cut.jpg: JPEG data ends early (the file has 100 bytes)");
    EXPECT_EQ(loadErrorOf([&] { cache.get("deep.tga"); }), "Error, unsupported TGA type!(bitdepth problem)");
    EXPECT_EQ(cache.count(), 0);
}

TEST_F(CorruptCacheInput, NameLongerThan47Characters) {
    ResourceCache cache("data.fil");
    const std::string longName = std::string(44, 'x') + ".tga";
    EXPECT_EQ(loadErrorOf([&] { cache.get(longName); }), longName + ": name longer than 47 characters");
    EXPECT_EQ(loadErrorOf([&] { cache.put(longName, std::make_shared<Resource>()); }),
              longName + ": name longer than 47 characters");
    EXPECT_EQ(cache.find(longName), -1);
    const std::string longest = std::string(43, 'x') + ".bin";
    cache.put(longest, std::make_shared<Resource>());
    EXPECT_EQ(cache.find(longest), 0);
}

TEST_F(CorruptCacheInput, MoreThan4000Files) {
    writeFile("pic.s3t", makeS3t(4, 4, {{}}));
    writeFile("raw.bin", {1});
    ResourceCache cache("data.fil");
    for (int i = 0; i < ResourceCache::kMaxSlots - 1; ++i)
        cache.put(std::to_string(i) + ".n", std::make_shared<Resource>());
    // One slot left: an S3T picture needs two, refused under the first name tried.
    EXPECT_EQ(loadErrorOf([&] { cache.get("pic.tga"); }), "pic.S3T: resource cache is full (4000 files)");
    cache.get("raw.bin");
    EXPECT_EQ(cache.count(), ResourceCache::kMaxSlots);
    EXPECT_EQ(loadErrorOf([&] { cache.put("one.more", std::make_shared<Resource>()); }),
              "ONE.MORE: resource cache is full (4000 files)");
    EXPECT_NO_THROW(cache.put("7.N", std::make_shared<Resource>()));  // replacing still works
    EXPECT_EQ(cache.count(), ResourceCache::kMaxSlots);
}

}  // namespace
