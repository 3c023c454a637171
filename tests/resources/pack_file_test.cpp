// The pack reader: lookup rules, progress lines and loose-file fallback.
#include "resources/pack_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/resources/bomb_packs.h"
#include "tests/resources/test_support.h"

namespace {

using PackFileTest = ScratchFolder;

const Bytes kHello = {'h', 'e', 'l', 'l', 'o'};
const Bytes kLast = {'l', 'a', 's', 't'};

std::string readCapturingStdout(PackFile& pack, const std::string& name, std::optional<Bytes>& result) {
    ::testing::internal::CaptureStdout();
    result = pack.read(name);
    return ::testing::internal::GetCapturedStdout();
}

TEST_F(PackFileTest, FindsNamesWithoutRegardToCaseAndPrintsThemInCapitals) {
    writeFile("data.fil", makePack({{"P3back.JPG", kHello}, {"end", kLast}}));
    PackFile pack;
    ASSERT_EQ(pack.open("data.fil"), 0);
    std::optional<Bytes> bytes;
    EXPECT_EQ(readCapturingStdout(pack, "p3back.jpg", bytes), "Loading [P3BACK.JPG]\n");
    EXPECT_EQ(bytes, kHello);
    EXPECT_EQ(pack.entrySize("P3BACK.jpg"), 5u);
}

TEST_F(PackFileTest, LastRecordIsNeverFound) {
    writeFile("data.fil", makePack({{"a.kf", kHello}, {"last.kf", kLast}}));
    PackFile pack;
    ASSERT_EQ(pack.open("data.fil"), 0);
    EXPECT_EQ(pack.findEntry("last.kf"), nullptr);
    std::optional<Bytes> bytes;
    EXPECT_EQ(readCapturingStdout(pack, "last.kf", bytes), "");
    EXPECT_FALSE(bytes.has_value());
}

TEST_F(PackFileTest, SingleRecordPackOffersNoFile) {
    writeFile("data.fil", makePack({{"a.kf", kHello}}));
    PackFile pack;
    ASSERT_EQ(pack.open("data.fil"), 0);
    EXPECT_EQ(pack.findEntry("a.kf"), nullptr);
}

TEST_F(PackFileTest, EmptyDirectoryOffersNoFile) {
    writeFile("data.fil", makePack({}));
    PackFile pack;
    ASSERT_EQ(pack.open("data.fil"), 0);
    EXPECT_EQ(pack.findEntry("a.kf"), nullptr);
}

TEST_F(PackFileTest, EarlierOfTwoEqualNamesWins) {
    writeFile("data.fil", makePack({{"twin.edo", kHello}, {"TWIN.EDO", kLast}, {"end", {}}}));
    PackFile pack;
    ASSERT_EQ(pack.open("data.fil"), 0);
    std::optional<Bytes> bytes;
    readCapturingStdout(pack, "twin.edo", bytes);
    EXPECT_EQ(bytes, kHello);
}

TEST_F(PackFileTest, LooseFilesAreReadWithoutProgressLine) {
    writeFile("data.fil", makePack({{"a.kf", kHello}, {"last.kf", kLast}}));
    writeFile("last.kf", {1, 2, 3});
    writeFile("empty.kf", {});
    PackFile pack;
    ASSERT_EQ(pack.open("data.fil"), 0);
    std::optional<Bytes> bytes;
    EXPECT_EQ(readCapturingStdout(pack, "last.kf", bytes), "");
    EXPECT_EQ(bytes, (Bytes{1, 2, 3}));
    EXPECT_EQ(readCapturingStdout(pack, "empty.kf", bytes), "");
    EXPECT_EQ(bytes, Bytes{});
}

TEST_F(PackFileTest, MissingPackFallsThroughToLooseFiles) {
    writeFile("a.kf", kHello);
    PackFile pack;
    EXPECT_EQ(pack.open("data.fil"), -1);
    std::optional<Bytes> bytes;
    EXPECT_EQ(readCapturingStdout(pack, "a.kf", bytes), "");
    EXPECT_EQ(bytes, kHello);
    EXPECT_FALSE(pack.read("b.kf").has_value());
}

TEST_F(PackFileTest, EmptyFileAtTheVeryEndOfThePackIsRead) {
    // The stored bytes of the first record end exactly where the pack ends.
    writeFile("data.fil", makePack({{"empty.kf", {}}, {"end", {}}}));
    PackFile pack;
    ASSERT_EQ(pack.open("data.fil"), 0);
    std::optional<Bytes> bytes;
    EXPECT_EQ(readCapturingStdout(pack, "empty.kf", bytes), "Loading [EMPTY.KF]\n");
    EXPECT_EQ(bytes, Bytes{});
}

TEST_F(PackFileTest, PackedRecordIsUnpacked) {
    const Bytes packed = {0x03, 0x00, 0x00, 0x00, 0x01, 0x61, 0x01, 0x00, 0x01,
                          0x02, 0x01, 0x01, 0x01, 0x01, 0xFF, 0x06, 0x08, 0x00};
    writeFile("data.fil", makePack({{"aaa.txt", packed, 0x10000000}, {"end", {}}}));
    PackFile pack;
    ASSERT_EQ(pack.open("data.fil"), 0);
    std::optional<Bytes> bytes;
    EXPECT_EQ(readCapturingStdout(pack, "AAA.TXT", bytes), "Loading [AAA.TXT]\n");
    EXPECT_EQ(bytes, (Bytes{0x61, 0x61, 0x61}));
}

// `count` records, each its own copy of the 64 MiB stream, and the end record.
Bytes distinctStreams(int count) {
    std::vector<PackItem> items;
    for (int i = 0; i < count; ++i) {
        std::string name = "f";  // (GCC 12 warns falsely about "f" + std::to_string)
        name += std::to_string(i);
        items.push_back({name, bombs::loneTenByteStream(), 0x80000000});
    }
    items.push_back({"end", {}});
    return makePack(items);
}

// Record `k`'s size field set to `size`.
Bytes withRecordSize(Bytes pack, int k, uint32_t size) {
    for (int i = 0; i < 4; ++i) pack[4 + 32 * k + 8 + i] = static_cast<uint8_t>(size >> (8 * i));
    return pack;
}

// At open the announced sizes are summed, a repeated record counted once; a
// pack past the limit is refused in one line before anything is unpacked,
// and nothing of it can be read afterwards.
TEST_F(PackFileTest, PacksAnnouncingMoreThanTheLimitAreRefusedAtOpen) {
    const uint64_t stream = bombs::kStreamBytes;
    const struct {
        const char* what;
        Bytes pack;
        uint64_t refusedAt;  // the announced total in the message; 0: the pack opens
    } cases[] = {
        {"99 records at one stream, each its own size", bombs::ninetyNineRecordPack(false), 98 * stream},
        {"99 records repeating one", bombs::ninetyNineRecordPack(true), 0},
        {"16 distinct streams, exactly 1 GiB", distinctStreams(16), 0},
        {"17 distinct streams", distinctStreams(17), 17 * stream},
        {"the never-matched last record announces nothing",
         makePack({{"f0", bombs::loneTenByteStream(), 0x80000000}, {"end", Bytes(4, 0xFF), 0x80000000}}), 0},
        {"a 3 GiB stored record past the end announces nothing (reading it fails)",
         withRecordSize(makePack({{"f0", {1}}, {"end", {}}}), 0, 3u << 30), 0},
    };
    for (const auto& c : cases) {
        writeFile("data.fil", c.pack);
        PackFile file;
        ::testing::internal::CaptureStdout();
        const std::string error = loadErrorOf([&] { file.open("data.fil"); });
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << c.what;
        if (c.refusedAt == 0) {
            EXPECT_EQ(error, "(no LoadError)") << c.what;
            continue;
        }
        EXPECT_EQ(error, "data.fil: files announce " + std::to_string(c.refusedAt) +
                             " bytes unpacked, more than the limit of 1073741824")
            << c.what;
        EXPECT_EQ(file.findEntry("bomb0.bin"), nullptr) << c.what;
        EXPECT_EQ(file.findEntry("f0"), nullptr) << c.what;
    }
}

// Honest packs of the largest single file still read: the 10-byte stream in
// a pack of its own, and 99 records repeating it, unpack to 64 MiB of its byte.
TEST_F(PackFileTest, HonestSixtyFourMebibyteFilesStillRead) {
    for (const Bytes& pack : {makePack({{"a.bin", bombs::loneTenByteStream(), 0x80000000}, {"end", {}}}),
                              bombs::ninetyNineRecordPack(true)}) {
        writeFile("data.fil", pack);
        PackFile file;
        ASSERT_EQ(file.open("data.fil"), 0);
        std::optional<Bytes> bytes;
        readCapturingStdout(file, file.findEntry("a.bin") ? "a.bin" : "bomb97.bin", bytes);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(bytes->size(), bombs::kStreamBytes);
        EXPECT_EQ(std::count(bytes->begin(), bytes->end(), bombs::kStreamByte),
                  static_cast<long>(bombs::kStreamBytes));
    }
}

}  // namespace
