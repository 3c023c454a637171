// The pack reader: lookup rules, progress lines and loose-file fallback.
#include "resources/pack_file.h"

#include <gtest/gtest.h>

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

}  // namespace
