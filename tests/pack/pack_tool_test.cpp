// zedariva-pack run as a program: create, list and extract round trip, and
// bad arguments or damaged packs give one line naming the file and exit != 0.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "pack_test_data.h"
#include "resources/pack_writer.h"
#include "tests/resources/bomb_packs.h"

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the tool with `arguments` inside `dir`, capturing both outputs.
ToolRun runTool(const std::filesystem::path& dir, const std::string& arguments) {
    const std::string command = "cd '" + dir.string() + "' && '" ZD_BINARY_DIR "/zedariva-pack' " +
                                arguments + " > tool.out 2> tool.err";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::vector<uint8_t> out = readBytes(dir / "tool.out");
    const std::vector<uint8_t> err = readBytes(dir / "tool.err");
    run.out.assign(out.begin(), out.end());
    run.err.assign(err.begin(), err.end());
    std::filesystem::remove(dir / "tool.out");
    std::filesystem::remove(dir / "tool.err");
    return run;
}

int lineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

TEST(PackTool, CreateListExtractRoundTrip) {
    TempDir dir("tool");
    std::filesystem::create_directories(dir.path / "in");
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
        {"words.txt", textBytes(20000)},
        {"pic.tga", gradientRgb(200, 100)},
        {"empty.bin", {}},
        {"big.raw", runBytes(1200000, 9)},
    };
    std::string arguments = "create data.fil";
    for (const auto& [name, bytes] : files) {
        writeBytes(dir.path / "in" / name, bytes);
        arguments += " in/" + name;
    }
    ToolRun created = runTool(dir.path, arguments);
    ASSERT_EQ(created.exitCode, 0) << created.err;

    ToolRun listed = runTool(dir.path, "list data.fil");
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    for (const auto& [name, bytes] : files) {
        EXPECT_NE(listed.out.find(name), std::string::npos) << listed.out;
        EXPECT_NE(listed.out.find(std::to_string(bytes.size())), std::string::npos) << name;
    }

    ToolRun extracted = runTool(dir.path, "extract data.fil out");
    ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
    std::filesystem::create_directories(dir.path / "here");
    ASSERT_EQ(runTool(dir.path / "here", "extract ../data.fil").exitCode, 0);
    for (const auto& [name, bytes] : files) {
        EXPECT_TRUE(readBytes(dir.path / "out" / name) == bytes) << name;
        EXPECT_TRUE(readBytes(dir.path / "here" / name) == bytes) << name;
    }
}

TEST(PackTool, BadArgumentsPrintUsage) {
    TempDir dir("usage");
    for (const char* arguments : {"", "create data.fil", "frobnicate x", "list", "extract a b c"}) {
        ToolRun run = runTool(dir.path, arguments);
        EXPECT_NE(run.exitCode, 0) << arguments;
        EXPECT_NE(run.err.find("usage"), std::string::npos) << arguments;
    }
}

TEST(PackTool, ProblemsNameTheFileInOneLine) {
    TempDir dir("errors");
    ToolRun missing = runTool(dir.path, "create data.fil nothere.bin");
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.err.find("nothere.bin"), std::string::npos);
    EXPECT_EQ(lineCount(missing.err), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "data.fil"));

    writeBytes(dir.path / "garbage.fil", textBytes(3000));
    ToolRun garbage = runTool(dir.path, "list garbage.fil");
    EXPECT_NE(garbage.exitCode, 0);
    EXPECT_NE(garbage.err.find("garbage.fil"), std::string::npos);
    EXPECT_EQ(lineCount(garbage.err), 1);

    writeBytes(dir.path / "long_name_of_twenty1", {1});
    ToolRun tooLong = runTool(dir.path, "create data.fil long_name_of_twenty1");
    EXPECT_NE(tooLong.exitCode, 0);
    EXPECT_NE(tooLong.err.find("long_name_of_twenty1"), std::string::npos);
}

TEST(PackTool, ExtractNamesAFolderItCannotMake) {
    TempDir dir("nofolder");
    writePack((dir.path / "data.fil").string(), {{"a.txt", {1}}});
    writeBytes(dir.path / "out", {0});  // a file where the folder should be
    ToolRun run = runTool(dir.path, "extract data.fil out");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.err, "zedariva-pack: out: cannot create the folder\n");
}

TEST(PackTool, DamagedStreamIsReportedNotCrashed) {
    TempDir dir("damaged");
    std::vector<uint8_t> bytes = buildPack({{"words.txt", textBytes(20000)}});
    const size_t streamStart = 4 + 2 * 32;
    for (size_t i = streamStart + 40; i < bytes.size(); ++i) bytes[i] = 0xFF;  // codes and bits
    writeBytes(dir.path / "data.fil", bytes);
    ToolRun run = runTool(dir.path, "extract data.fil out");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("data.fil"), std::string::npos);
    EXPECT_EQ(lineCount(run.err), 1);
}

TEST(PackTool, ExtractRefusesNamesThatEscapeTheFolder) {
    TempDir dir("escape");
    for (const std::string& evil : {std::string("../x.txt"), std::string("/tmp/zz")}) {
        std::vector<uint8_t> bytes = buildPack({{std::string(evil.size(), 'a'), {1, 2, 3}}});
        std::copy(evil.begin(), evil.end(), bytes.begin() + 4 + 12);
        writeBytes(dir.path / "evil.fil", bytes);
        std::filesystem::create_directories(dir.path / "out");
        ToolRun run = runTool(dir.path, "extract evil.fil out");
        EXPECT_NE(run.exitCode, 0) << evil;
        EXPECT_NE(run.err.find(evil), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.path / "x.txt"));
    }
}

TEST(PackTool, ExtractKeepsOnlyTheFirstOfTwoEqualNames) {
    TempDir dir("twins");
    std::vector<uint8_t> bytes = buildPack({{"twin.txt", {1}}, {"next.txt", {2}}});
    const std::string upper = "TWIN.TXT";
    std::copy(upper.begin(), upper.end(), bytes.begin() + 4 + 32 + 12);  // rename the second record
    writeBytes(dir.path / "data.fil", bytes);
    ToolRun run = runTool(dir.path, "extract data.fil out");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("skipped \"TWIN.TXT\""), std::string::npos) << run.err;
    EXPECT_EQ(lineCount(run.err), 1);
    EXPECT_EQ(readBytes(dir.path / "out" / "twin.txt"), std::vector<uint8_t>{1});
    EXPECT_FALSE(std::filesystem::exists(dir.path / "out" / "TWIN.TXT"));
}

// Extract checks the target folder's free space before it writes anything
// (/proc has none), and list still shows what a refused pack announces.
TEST(PackTool, ExtractNeedsTheRoomFirstAndListOnlyShows) {
    TempDir dir("room");
    writePack((dir.path / "data.fil").string(), {{"a.txt", textBytes(3000)}});
    ToolRun noRoom = runTool(dir.path, "extract data.fil /proc/self/zd");
    EXPECT_NE(noRoom.exitCode, 0);
    EXPECT_EQ(noRoom.err, "zedariva-pack: /proc/self/zd: extracting data.fil needs 3000 bytes, the folder has 0 bytes free\n");

    writeBytes(dir.path / "bomb.fil", bombs::ninetyNineRecordPack(false));
    ToolRun listed = runTool(dir.path, "list bomb.fil");
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(lineCount(listed.out), 1 + 98);
    EXPECT_NE(listed.out.find("bomb97.bin                 107   67108864"), std::string::npos) << listed.out;
}

// The largest file one record may announce, 64 MiB of one byte, packs to a
// few bytes and comes back whole: an honest pack like the 10-byte stream's.
TEST(PackTool, SixtyFourMebibytesOfOneByteRoundTrip) {
    TempDir dir("honest");
    const std::vector<uint8_t> big(64u << 20, 0x41);
    writeBytes(dir.path / "big.raw", big);
    ASSERT_EQ(runTool(dir.path, "create data.fil big.raw").exitCode, 0);
    EXPECT_LT(std::filesystem::file_size(dir.path / "data.fil"), 200u);
    ToolRun extracted = runTool(dir.path, "extract data.fil out");
    ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
    EXPECT_TRUE(readBytes(dir.path / "out" / "big.raw") == big);
}

// Control characters in a pack's names: list shows them as \xHH, extract
// refuses to make such a file, and the builder never writes such a name.
TEST(PackTool, NamesWithControlCharactersAreShownEscapedAndNotExtracted) {
    TempDir dir("control");
    std::vector<uint8_t> bytes = buildPack({{"abc.txt", {1, 2, 3}}});
    bytes[4 + 12 + 1] = '\n';  // "a\nc.txt"
    writeBytes(dir.path / "data.fil", bytes);
    ToolRun listed = runTool(dir.path, "list data.fil");
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_NE(listed.out.find("a\\x0Ac.txt"), std::string::npos) << listed.out;
    EXPECT_EQ(lineCount(listed.out), 2);
    ToolRun extracted = runTool(dir.path, "extract data.fil out");
    EXPECT_NE(extracted.exitCode, 0);
    EXPECT_EQ(extracted.err, "zedariva-pack: data.fil: file name \"a\\x0Ac.txt\" holds a control character\n");
    EXPECT_THROW(buildPack({{"a\tb", {1}}}), std::invalid_argument);
}
