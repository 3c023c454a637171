// Whole packs from buildPack: read back by PackFile byte for byte, with the
// directory the reader expects, and limits refused with the file's name.
#include <gtest/gtest.h>

#include "pack_test_data.h"
#include "resources/load_error.h"
#include "resources/pack_file.h"
#include "resources/pack_listing.h"
#include "resources/pack_writer.h"

namespace {

uint32_t wordAt(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (uint32_t{bytes[at + 3]} << 24);
}

std::vector<PackInput> mixedFiles() {
    std::vector<uint8_t> large = gradientRgb(640, 400);  // over 1 MiB with the text below
    const std::vector<uint8_t> text = textBytes(300000);
    large.insert(large.end(), text.begin(), text.end());
    return {
        {"empty.bin", {}},
        {"one.bin", {0x42}},
        {"runs.raw", runBytes(200000, 1)},
        {"readme.txt", textBytes(50000)},
        {"noise.jpg", noiseBytes(40000, 2)},
        {"p3back.tga", gradientRgb(256, 256)},
        {"large.s3t", large},
    };
}

// The pack of mixedFiles, built once for the tests that only read it.
const std::vector<uint8_t>& mixedPack() {
    static const std::vector<uint8_t> bytes = buildPack(mixedFiles());
    return bytes;
}

std::string expectThrowText(const std::vector<PackInput>& files) {
    try {
        buildPack(files);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    ADD_FAILURE() << "buildPack accepted the files";
    return {};
}

}  // namespace

TEST(PackBuild, EveryFileReadsBackThroughPackFile) {
    const std::vector<PackInput> files = mixedFiles();
    ASSERT_GT(files.back().bytes.size(), size_t{1} << 20);
    TempDir dir("build");
    writePack((dir.path / "data.fil").string(), files);

    PackFile pack;
    ASSERT_EQ(pack.open((dir.path / "data.fil").string()), 0);
    for (const PackInput& file : files) {
        std::optional<std::vector<uint8_t>> bytes = pack.read(file.name);
        ASSERT_TRUE(bytes.has_value()) << file.name;
        EXPECT_TRUE(*bytes == file.bytes) << file.name;
    }
    // Names match regardless of case.
    EXPECT_EQ(pack.read("P3BACK.TGA"), files[5].bytes);
}

TEST(PackBuild, DirectoryEndsWithTheRecordReadersNeverMatch) {
    const std::vector<PackInput> files = mixedFiles();
    const std::vector<uint8_t>& bytes = mixedPack();
    ASSERT_EQ(wordAt(bytes, 0), files.size() + 1);
    const size_t last = 4 + files.size() * 32;
    EXPECT_EQ(bytes[last + 12], 0) << "empty name";
    EXPECT_EQ(wordAt(bytes, last + 8), 0u) << "nothing stored";
    EXPECT_EQ(wordAt(bytes, last + 4), bytes.size());
    for (size_t k = 0; k < files.size(); ++k) {
        const size_t record = 4 + k * 32;
        EXPECT_LE(uint64_t{wordAt(bytes, record + 4)} + wordAt(bytes, record + 8), bytes.size());
        EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[record + 12]), files[k].name.c_str());
    }
}

TEST(PackBuild, StoresAFileUnpackedWhenPackingDoesNotHelp) {
    const std::vector<PackInput> files = mixedFiles();
    const std::vector<PackListing> listed = listPack(mixedPack());
    ASSERT_EQ(listed.size(), files.size());
    for (size_t k = 0; k < files.size(); ++k) {
        EXPECT_EQ(listed[k].name, files[k].name);
        EXPECT_EQ(listed[k].unpackedSize, files[k].bytes.size()) << files[k].name;
        EXPECT_LE(listed[k].storedSize, files[k].bytes.size()) << files[k].name;
    }
    EXPECT_FALSE(listed[0].packed) << "empty";
    EXPECT_FALSE(listed[1].packed) << "one byte";
    EXPECT_FALSE(listed[4].packed) << "noise";
    EXPECT_TRUE(listed[2].packed) << "runs";
    EXPECT_TRUE(listed[5].packed) << "picture";
}

TEST(PackBuild, AnEmptyPackOffersNoFile) {
    const std::vector<uint8_t> bytes = buildPack({});
    EXPECT_EQ(bytes.size(), 4u + 32u);
    EXPECT_EQ(wordAt(bytes, 0), 1u);
    EXPECT_TRUE(listPack(bytes).empty());
}

TEST(PackBuild, RefusesNamesAndCountsTheFormatCannotHold) {
    EXPECT_NO_THROW(buildPack({{std::string(19, 'n'), {1}}}));
    EXPECT_NE(expectThrowText({{std::string(20, 'n'), {1}}}).find(std::string(20, 'n')), std::string::npos);
    EXPECT_NE(expectThrowText({{"a.tga", {1}}, {"A.TGA", {2}}}).find("A.TGA"), std::string::npos);
    EXPECT_NE(expectThrowText({{"dir/a.tga", {1}}}).find("dir/a.tga"), std::string::npos);
    EXPECT_NE(expectThrowText({{"", {1}}}).find("empty"), std::string::npos);
    EXPECT_NE(expectThrowText({{"..", {1}}}).find(".."), std::string::npos);

    std::vector<PackInput> many;
    for (int i = 0; i < 99; ++i) many.push_back({std::to_string(i) + ".f", {}});
    EXPECT_EQ(listPack(buildPack(many)).size(), 99u);
    many.push_back({"f99", {}});
    EXPECT_NE(expectThrowText(many).find("99"), std::string::npos);
}

TEST(PackBuild, WritePackNamesAPathItCannotWrite) {
    TempDir dir("unwritable");
    const std::string path = (dir.path / "missing" / "data.fil").string();
    try {
        writePack(path, {{"a", {1}}});
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
    }
}

TEST(PackListing, DamagedDirectoriesAreRefused) {
    const std::vector<uint8_t> good = buildPack({{"a.txt", textBytes(1000)}, {"b.bin", {1, 2, 3}}});
    auto expectRefused = [](std::vector<uint8_t> bytes, const char* what) {
        EXPECT_THROW(listPack(bytes), LoadError) << what;
    };
    expectRefused({1, 0}, "shorter than the count");
    std::vector<uint8_t> bytes = good;
    bytes[0] = 101;
    expectRefused(bytes, "101 records");
    expectRefused({good.begin(), good.begin() + 4 + 32 * 2}, "directory cut short");
    bytes = good;
    bytes[4 + 32 + 4] = 0xFF;  // offset of b.bin far past the end
    bytes[4 + 32 + 7] = 0x7F;
    expectRefused(bytes, "offset past the end");
    bytes = good;
    std::fill(bytes.begin() + 4 + 12, bytes.begin() + 4 + 32, 'x');
    expectRefused(bytes, "name without NUL");
    bytes = good;
    bytes[4 + 3] = 0x80;  // a.txt marked packed
    bytes[4 + 8] = 3;     // with 3 stored bytes, too few for the header word
    bytes[4 + 9] = bytes[4 + 10] = bytes[4 + 11] = 0;
    expectRefused(bytes, "packed stream shorter than its header");
}

TEST(PackListing, ExtractRestoresEachFile) {
    const std::vector<PackInput> files = mixedFiles();
    const std::vector<uint8_t>& bytes = mixedPack();
    const std::vector<PackListing> listed = listPack(bytes);
    for (size_t k = 0; k < files.size(); ++k) {
        EXPECT_TRUE(extractFile(bytes, listed[k]) == files[k].bytes) << files[k].name;
    }
}

TEST(PackListing, RandomDamageGivesAnErrorOrBytesNeverACrash) {
    const std::vector<uint8_t> good = buildPack(
        {{"words.txt", textBytes(3000)}, {"pic.tga", gradientRgb(40, 30)}, {"raw.bin", noiseBytes(500, 3)}});
    std::mt19937 rng(99);
    int refused = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> bytes = good;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < flips; ++i) bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
        if (rng() % 4 == 0) bytes.resize(rng() % bytes.size());
        try {
            for (const PackListing& file : listPack(bytes)) {
                extractFile(bytes, file);
            }
        } catch (const LoadError&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}
