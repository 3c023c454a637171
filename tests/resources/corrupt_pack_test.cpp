// Damaged packs and packed streams: each gives one clear line, never a crash,
// an out-of-bounds access or a hang.
#include <gtest/gtest.h>

#include "resources/pack_file.h"
#include "resources/unpack.h"
#include "tests/resources/test_support.h"

namespace {

std::string unpackError(const Bytes& packed) {
    return loadErrorOf([&] { unpack(packed); });
}

TEST(CorruptStream, HeaderCutShort) {
    EXPECT_EQ(unpackError({3, 0, 0, 0}), "packed stream ends inside its header");
}

TEST(CorruptStream, EscapeByteAbove127) {
    StreamBuilder s(1, 0x80);
    EXPECT_EQ(unpackError(s.bytes()), "packed escape byte 128 is above 127");
}

TEST(CorruptStream, TableWithoutEndMark) {
    StreamBuilder s(1, 0x01);
    s.code('a', 1, 0);
    EXPECT_EQ(unpackError(s.bytes()), "packed code table runs off the end of the stream");
    Bytes cut = s.bytes();
    cut.pop_back();  // inside the code bytes
    EXPECT_EQ(unpackError(cut), "packed code table runs off the end of the stream");
}

TEST(CorruptStream, CodeLongerThan32Bits) {
    StreamBuilder s(1, 0x01);
    s.code('a', 33, 0).endTable();
    EXPECT_EQ(unpackError(s.bytes()), "packed code of 33 bits is longer than 32");
}

TEST(CorruptStream, TableOverrunningTheNodePool) {
    StreamBuilder s(1, 0x01);
    for (int i = 0; i < 64; ++i) s.code(i + 2, 32, static_cast<uint64_t>(i));
    s.endTable();
    EXPECT_EQ(unpackError(s.bytes()), "code table needs more than 1000 tree nodes");
}

TEST(CorruptStream, BitStreamEndingEarly) {
    StreamBuilder s(5, 0x01);
    s.code('a', 8, 0).endTable().bits(0, 8).bits(0, 8);
    EXPECT_EQ(unpackError(s.bytes()), "packed bit stream ends early");
}

TEST(CorruptStream, FieldCutByTheEndOfTheStream) {
    StreamBuilder s(5, 0x01);
    s.code('a', 1, 0).code(pack::kLongMatch, 1, 1).endTable().bits(0, 1).bits(1, 1).bits(1, 6);
    EXPECT_EQ(unpackError(s.bytes()), "packed bit stream ends early");
}

TEST(CorruptStream, CodeMissingFromTheTable) {
    StreamBuilder s(2, 0x01);
    s.code('a', 1, 0).endTable().bits(0b10, 2);
    EXPECT_EQ(unpackError(s.bytes()), "packed bit stream holds a code missing from the table");
}

// A 4-byte stream: the literal 'a' (code 0), then a short match (code 1).
Bytes letterThenShortMatch(uint32_t distance, uint32_t length) {
    StreamBuilder s(4, 0x01);
    s.code('a', 1, 0).code(pack::kShortMatch, 1, 1).endTable();
    s.bits(0, 1).bits(1, 1).bits(distance, 8).bits(length, 8);
    return s.bytes();
}

TEST(CorruptStream, MatchReachingBeforeTheStart) {
    EXPECT_EQ(unpackError(letterThenShortMatch(2, 3)), "packed match reaches before the start of the output");
}

TEST(CorruptStream, MatchAtDistanceZero) {
    EXPECT_EQ(unpackError(letterThenShortMatch(0, 3)), "packed match has distance 0");
}

TEST(CorruptStream, MatchWritingPastTheEnd) {
    StreamBuilder s(3, 0x01);
    s.code('a', 1, 0).code(pack::kLongMatch, 1, 1).endTable();
    s.bits(0, 1).bits(1, 1).bits(1, 16).bits(5, 16);
    EXPECT_EQ(unpackError(s.bytes()), "packed match writes past the unpacked size");
}

TEST(CorruptStream, RunWritingPastTheEnd) {
    StreamBuilder s(3, 0x01);
    s.code(pack::kRun, 0, 0).endTable().bits(7, 8).bits(0xFFFFFF, 24);
    EXPECT_EQ(unpackError(s.bytes()), "packed run writes past the unpacked size");
}

TEST(CorruptStream, AbsurdUnpackedSize) {
    StreamBuilder s(pack::kSizeMask, 0x01);
    s.endTable();
    EXPECT_EQ(unpackError(s.bytes()),
              "packed stream announces 1073741823 bytes, more than the limit of 67108864");
}

TEST(CorruptStream, RootHoldingAnEmptySymbolDoesNotHang) {
    StreamBuilder s(3, 0x01);
    s.code(300, 0, 0).endTable();
    EXPECT_EQ(unpackError(s.bytes()), "packed code table gives every token an empty symbol");
}

using CorruptPack = ScratchFolder;

std::string openError(const Bytes& packBytes) {
    writeFile("data.fil", packBytes);
    PackFile pack;
    return loadErrorOf([&] { pack.open("data.fil"); });
}

TEST_F(CorruptPack, FileTooShortForADirectory) {
    EXPECT_EQ(openError({1, 0}), "data.fil: file too short for a directory");
}

TEST_F(CorruptPack, MoreThan100Records) {
    Bytes bytes;
    putWord(bytes, 101);
    bytes.resize(4 + 101 * 32);
    EXPECT_EQ(openError(bytes), "data.fil: directory of 101 records, more than 100");
}

TEST_F(CorruptPack, DirectoryLargerThanTheFile) {
    Bytes bytes = makePack({{"a", {1}}, {"b", {2}}});
    bytes[0] = 3;
    bytes.resize(4 + 2 * 32);
    EXPECT_EQ(openError(bytes), "data.fil: directory of 3 records is larger than the file");
}

// Writes `packBytes` as "data.fil", opens it (the directory is sound) and
// returns the error of reading `name` from it; its progress line is dropped.
std::string readError(const Bytes& packBytes, const std::string& name) {
    writeFile("data.fil", packBytes);
    PackFile pack;
    EXPECT_EQ(pack.open("data.fil"), 0);
    ::testing::internal::CaptureStdout();
    const std::string error = loadErrorOf([&] { pack.read(name); });
    ::testing::internal::GetCapturedStdout();
    return error;
}

TEST_F(CorruptPack, StoredBytesPastTheEnd) {
    Bytes bytes = makePack({{"a.kf", {1, 2, 3}}, {"end", {}}});
    bytes.pop_back();
    EXPECT_EQ(readError(bytes, "a.kf"), "data.fil: a.kf (offset 68, 3 bytes) runs past the end of the pack");
}

TEST_F(CorruptPack, HugeOffsetAndSize) {
    Bytes bytes = makePack({{"a.kf", {1}}, {"end", {}}});
    for (int i = 0; i < 8; ++i) bytes[8 + i] = 0xFF;  // offset and size of record 0
    EXPECT_EQ(readError(bytes, "a.kf"),
              "data.fil: a.kf (offset 4294967295, 4294967295 bytes) runs past the end of the pack");
}

TEST_F(CorruptPack, DamagedPackedStreamNamesTheFile) {
    StreamBuilder s(5, 0x01);
    s.code('a', 8, 0).endTable().bits(0, 8);
    EXPECT_EQ(readError(makePack({{"p6ball.edo", s.bytes(), pack::kPackedFlags}, {"end", {}}}), "p6ball.edo"),
              "p6ball.edo: packed bit stream ends early");
}

TEST_F(CorruptPack, NameFillingTheWholeFieldStaysInside) {
    Bytes bytes = makePack({{"x", {9}}, {"end", {}}});
    for (int i = 0; i < 20; ++i) bytes[4 + 12 + i] = 'N';
    writeFile("data.fil", bytes);
    PackFile pack;
    ASSERT_EQ(pack.open("data.fil"), 0);
    EXPECT_NE(pack.findEntry(std::string(20, 'n')), nullptr);
}

TEST_F(CorruptPack, LooseFolderInsteadOfAFile) {
    std::filesystem::create_directory("a.kf");
    PackFile pack;
    EXPECT_EQ(loadErrorOf([&] { pack.read("a.kf"); }), "a.kf: not a regular file");
}

// Names come from the file: control characters in them are shown as \xHH,
// so the error stays one line and cannot steer the terminal.
TEST_F(CorruptPack, ControlCharactersInANameAreShownEscaped) {
    const std::string name = "a\nb\x1b[2J\x7f";
    Bytes bytes = makePack({{name, {1, 2, 3}}, {"end", {}}});
    bytes.pop_back();
    EXPECT_EQ(readError(bytes, name),
              "data.fil: a\\x0Ab\\x1B[2J\\x7F (offset 68, 3 bytes) runs past the end of the pack");
}

}  // namespace
