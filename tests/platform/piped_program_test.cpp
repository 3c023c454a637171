#include "platform/piped_program.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/resources/test_support.h"

namespace {

std::vector<uint8_t> pattern(size_t count, uint8_t step) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(i * step + (i >> 12));
    return bytes;
}

class PipedProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::signal(SIGPIPE, SIG_IGN);
        ::alarm(60);  // a deadlock fails the test instead of hanging it
        dir_ = std::filesystem::temp_directory_path() / ("zd_piped_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        ::alarm(0);
        std::filesystem::remove_all(dir_);
    }
    std::string file(const char* name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

}  // namespace

TEST_F(PipedProgramTest, AProgramThatReadsItsPipesInItsOwnOrderGetsEveryByte) {
    // It takes 3 MB of pipe 4 before it reads pipe 3 at all, while we push pipe 3.
    PipedProgram program;
    int error = 0;
    ASSERT_TRUE(
        startPipedProgram(program,
                          {"sh", "-c", "head -c 3000000 <&4 >\"$2\"; cat <&3 >\"$1\"; cat <&4 >>\"$2\"", "sh",
                           file("three"), file("four")},
                          error))
        << std::strerror(error);
    EXPECT_EQ(::getpgid(program.pid), program.pid) << "not in a process group of its own";
    const std::vector<uint8_t> video = pattern(4000000, 7);
    const std::vector<uint8_t> sound = pattern(4000000, 13);
    queueForPipe(program, 1, sound.data(), sound.size());
    for (size_t at = 0; at < video.size(); at += 500000) {
        queueForPipe(program, 0, video.data() + at, 500000);
        ASSERT_TRUE(drainPipe(program, 0));
    }
    EXPECT_TRUE(finishPipedProgram(program));
    EXPECT_EQ(program.exitStatus, 0);
    EXPECT_TRUE(readFile(file("three")) == video);
    EXPECT_TRUE(readFile(file("four")) == sound);
}

TEST_F(PipedProgramTest, AProgramThatEndsEarlyFailsTheWritesAndLeavesItsLastWord) {
    PipedProgram program;
    int error = 0;
    ASSERT_TRUE(startPipedProgram(
        program, {"sh", "-c", "printf 'first\\nbroken input at byte 0\\n\\n' >&2; exit 3"}, error));
    const std::vector<uint8_t> bytes = pattern(4000000, 1);
    queueForPipe(program, 0, bytes.data(), bytes.size());
    EXPECT_FALSE(drainPipe(program, 0));
    EXPECT_FALSE(finishPipedProgram(program));
    EXPECT_EQ(program.exitStatus, 3);
    EXPECT_EQ(lastLogLine(program), "broken input at byte 0");
}

TEST_F(PipedProgramTest, AMissingProgramIsReportedAsNotFoundAndAKilledOneAsItsSignal) {
    PipedProgram missing;
    int error = 0;
    EXPECT_FALSE(startPipedProgram(missing, {"zedariva-no-such-program"}, error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(missing.pipe_fds[0], -1);

    PipedProgram sleeper;
    ASSERT_TRUE(startPipedProgram(sleeper, {"sleep", "30"}, error));
    killPipedProgram(sleeper);
    EXPECT_EQ(sleeper.exitStatus, 128 + SIGKILL);
}
