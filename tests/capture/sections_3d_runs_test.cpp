// The 3D sections as the program shows them: a rehearsal capture of each
// section's start has a picture of many colours that moves within a second.
#include <gtest/gtest.h>

#include <set>

#include "tests/capture/program_runs.h"

using namespace capture_runs;

namespace {

constexpr size_t kTgaHeader_bytes = 18;

struct FrameLook {
    size_t colours = 0;
    double litShare = 0;  // pixels that are not black
};

FrameLook look(const std::vector<uint8_t>& tga) {
    FrameLook result;
    std::set<uint32_t> colours;
    size_t lit = 0, pixels = 0;
    for (size_t at = kTgaHeader_bytes; at + 3 <= tga.size(); at += 3, ++pixels) {
        const uint32_t bgr = tga[at] | (tga[at + 1] << 8) | (tga[at + 2] << 16);
        colours.insert(bgr);
        lit += bgr != 0;
    }
    result.colours = colours.size();
    result.litShare = pixels ? static_cast<double>(lit) / static_cast<double>(pixels) : 0;
    return result;
}

TEST(Sections3dRuns, EachSectionShowsAMovingPictureOfManyColours) {
    for (int order : {5, 9, 14, 26, 32, 38}) {
        SCOPED_TRACE("order " + std::to_string(order));
        const std::filesystem::path folder = scratch("section-" + std::to_string(order));
        const ProgramRun run =
            runProgram("--capture=" + folder.string() + "/ --start=" + std::to_string(order) + " --fps=2 --frames=3");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const std::vector<uint8_t> first = readAll(folder / "frame-00000.tga");
        const std::vector<uint8_t> second = readAll(folder / "frame-00002.tga");  // one second later
        const FrameLook a = look(first), b = look(second);
        EXPECT_GT(a.colours, 2000u);
        EXPECT_GT(b.colours, 2000u);
        EXPECT_GT(a.litShare, 0.1);
        EXPECT_NE(first, second);
        std::filesystem::remove_all(folder);
    }
}

}  // namespace
