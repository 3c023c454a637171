// The 99-record packs run through the programs a user runs: the presentation
// refuses the bomb at start-up and zedariva-pack extract refuses both, each in
// one line with a non-zero exit, before anything is unpacked, using a few MiB.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/resources/bomb_packs.h"
#include "tests/resources/test_support.h"

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int exitCode = -1;
    std::string output;  // standard output and error together
    long peakKib = -1;   // the child's peak resident memory
};

// Runs `program` with `arguments` in `dir`. A forked child starts with this
// test's pages resident (a few MiB), so its peak includes them.
ProgramRun runProgram(const fs::path& dir, const std::string& program, const std::vector<std::string>& arguments) {
    const fs::path outputPath = dir / "run.out";
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || chdir(dir.c_str()) != 0) _exit(127);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    ProgramRun run;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.peakKib = usage.ru_maxrss;
    std::ifstream in(outputPath);
    run.output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return run;
}

struct ScratchDir {
    fs::path path;
    ScratchDir() {
        char pattern[] = "/tmp/zd-bombs-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~ScratchDir() { fs::remove_all(path); }
};

// A few MiB: far below the 64 MiB a single unpacked record takes.
constexpr long kFewMibInKib = 24 * 1024;

TEST(Bombs, RefusedInOneLineBeforeAnythingIsUnpacked) {
    const std::string presentation = ZD_BINARY_DIR "/zedariva";
    const std::string packTool = ZD_BINARY_DIR "/zedariva-pack";
    const std::string limit = "more than the limit of 1073741824\n";
    const struct {
        const char* what;
        bool sameSize;
        std::string program;
        std::vector<std::string> arguments;
        int exitCode;
        std::string output;
    } cases[] = {
        {"start-up", false, presentation, {"-w"}, 255,
         "data.fil: files announce 6576668672 bytes unpacked, " + limit},
        {"extract", false, packTool, {"extract", "data.fil", "out"}, 1,
         "zedariva-pack: data.fil: files announce 6576668672 bytes unpacked, " + limit},
        {"extract, records repeating one", true, packTool, {"extract", "data.fil", "out"}, 1,
         "zedariva-pack: data.fil: extracting would write 6576668672 bytes, " + limit},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        writeFile(dir.path / "data.fil", bombs::ninetyNineRecordPack(c.sameSize));
        const ProgramRun run = runProgram(dir.path, c.program, c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what;
        EXPECT_EQ(run.output, c.output) << c.what;
        EXPECT_LT(run.peakKib, kFewMibInKib) << c.what;
        EXPECT_FALSE(fs::exists(dir.path / "out")) << c.what;
    }
}

// The regression inputs the fuzz harnesses replay are these very bombs.
TEST(Bombs, RegressionCorpusHoldsThem) {
    const fs::path regressions = ZD_SOURCE_DIR "/tests/fuzz/regressions";
    for (const char* target : {"pack", "cache"}) {
        EXPECT_EQ(readFile(regressions / target / "bomb-99-records.fil"), bombs::ninetyNineRecordPack(false))
            << target;
        EXPECT_EQ(readFile(regressions / target / "bomb-99-repeated-records.fil"),
                  bombs::ninetyNineRecordPack(true))
            << target;
    }
    EXPECT_EQ(readFile(regressions / "unpack" / "lone-10-byte-stream"), bombs::loneTenByteStream());
}

}  // namespace
