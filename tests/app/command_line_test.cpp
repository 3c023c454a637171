#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

std::vector<int> volumeCalls;

void recordVolume(int volume) { volumeCalls.push_back(volume); }

struct Parsed {
    CommandLine commandLine;
    std::string output;
};

Parsed parse(std::initializer_list<const char*> arguments) {
    std::vector<std::string> storage = {"zedariva"};
    storage.insert(storage.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& s : storage) argv.push_back(s.data());
    volumeCalls.clear();
    ::testing::internal::CaptureStdout();
    Parsed parsed;
    parsed.commandLine = readCommandLine(static_cast<int>(argv.size()), argv.data(), recordVolume);
    std::fflush(stdout);
    parsed.output = ::testing::internal::GetCapturedStdout();
    return parsed;
}

}  // namespace

TEST(CommandLine, NoArgumentsMeanFullScreen256RowsAndVolumeUntouched) {
    const Parsed p = parse({});
    EXPECT_FALSE(p.commandLine.windowed);
    EXPECT_EQ(p.commandLine.displayHeight, 256);
    EXPECT_EQ(p.commandLine.volume, 100);
    EXPECT_FALSE(p.commandLine.exitNow);
    EXPECT_TRUE(volumeCalls.empty());
    EXPECT_EQ(p.output, "");
}

TEST(CommandLine, ALoneDashAndAnEmptyArgumentAreSkippedSilently) {
    const Parsed p = parse({"-", "", "w"});
    EXPECT_EQ(p.output, "");
    EXPECT_FALSE(p.commandLine.windowed);
}

TEST(CommandLine, VolumeIsClampedAndEachValueGoesToTheMusicAtOnce) {
    const Parsed p = parse({"-v", "-v250", "-v-7", "-V42"});
    EXPECT_EQ(p.output,
              "setting volume to 0\n"
              "setting volume to 100\n"
              "setting volume to 0\n"
              "setting volume to 42\n");
    EXPECT_EQ(volumeCalls, (std::vector<int>{0, 100, 0, 42}));
    EXPECT_EQ(p.commandLine.volume, 42);
}

TEST(CommandLine, VolumeReadsLeadingDigitsAndSurvivesHugeNumbers) {
    EXPECT_EQ(parse({"-v37abc"}).commandLine.volume, 37);
    EXPECT_EQ(parse({"-vabc"}).commandLine.volume, 0);
    EXPECT_EQ(parse({"-v99999999999999999999999"}).commandLine.volume, 100);
    EXPECT_EQ(parse({"-v-99999999999999999999999"}).commandLine.volume, 0);
}

TEST(CommandLine, OnlyTheSecondCharacterCounts) {
    const Parsed wd = parse({"-wd"});
    EXPECT_TRUE(wd.commandLine.windowed);
    EXPECT_EQ(wd.output, "starting in windowed mode\n");
    EXPECT_TRUE(parse({"/w"}).commandLine.windowed);
    EXPECT_TRUE(parse({"xW"}).commandLine.windowed);
}

TEST(CommandLine, TheLaterOfWindowAndFullScreenWins) {
    const Parsed p = parse({"-w", "-d"});
    EXPECT_FALSE(p.commandLine.windowed);
    EXPECT_EQ(p.output, "starting in windowed mode\nstarting with ddraw screen\n");
    EXPECT_TRUE(parse({"-D", "-w"}).commandLine.windowed);
}

TEST(CommandLine, SixMakesTheDisplay385RowsSilently) {
    const Parsed p = parse({"-6"});
    EXPECT_EQ(p.commandLine.displayHeight, 385);
    EXPECT_EQ(p.output, "");
}

TEST(CommandLine, AnUnknownOptionIsReportedAndReadingGoesOn) {
    const Parsed p = parse({"-x", "-w"});
    EXPECT_EQ(p.output, "Errornous parameter '-x'\nstarting in windowed mode\n");
    EXPECT_TRUE(p.commandLine.windowed);
    EXPECT_FALSE(p.commandLine.exitNow);
}

TEST(CommandLine, HelpPrintsUsageAndEndsWithZero) {
    const Parsed p = parse({"--help", "-w"});
    EXPECT_TRUE(p.commandLine.exitNow);
    EXPECT_EQ(p.commandLine.exitCode, 0);
    EXPECT_EQ(p.output.rfind("usage: zedariva", 0), 0u) << p.output;
    EXPECT_EQ(p.output.find("starting in windowed mode"), std::string::npos);
}

TEST(CommandLine, VersionPrintsTheVersionAndEndsWithZero) {
    const Parsed p = parse({"--version"});
    EXPECT_TRUE(p.commandLine.exitNow);
    EXPECT_EQ(p.commandLine.exitCode, 0);
    EXPECT_EQ(p.output, std::string("zedariva ") + ZEDARIVA_VERSION + "\n");
}

TEST(CommandLine, UnknownOrMisusedLongOptionsAreBadParameters) {
    const Parsed p = parse({"--bogus", "--help=now", "--", "--versions"});
    EXPECT_FALSE(p.commandLine.exitNow);
    EXPECT_EQ(p.output,
              "Errornous parameter '--bogus'\n"
              "Errornous parameter '--help=now'\n"
              "Errornous parameter '--'\n"
              "Errornous parameter '--versions'\n");
}

TEST(CommandLine, StartTakesAnOrderOfTheMusic) {
    const Parsed p = parse({"--start=45", "-w"});
    EXPECT_EQ(p.commandLine.startOrder, 45);
    EXPECT_FALSE(p.commandLine.exitNow);
    EXPECT_EQ(parse({}).commandLine.startOrder, 0);
}

TEST(CommandLine, StartWithoutAUsableOrderIsABadParameterAndKeepsZero) {
    const Parsed p = parse({"--start", "--start=", "--start=4x", "--start=-1", "--start=256"});
    EXPECT_EQ(p.commandLine.startOrder, 0);
    EXPECT_EQ(p.output,
              "Errornous parameter '--start'\n"
              "Errornous parameter '--start='\n"
              "Errornous parameter '--start=4x'\n"
              "Errornous parameter '--start=-1'\n"
              "Errornous parameter '--start=256'\n");
}

TEST(CommandLine, ScaledPresentationOptionsAreReadSilentlyBesideTheWindowChoice) {
    const Parsed p = parse({"--scale=2", "-w", "--desktop", "--smooth"});
    EXPECT_EQ(p.commandLine.scale, 2);
    EXPECT_TRUE(p.commandLine.desktop);
    EXPECT_TRUE(p.commandLine.smooth);
    EXPECT_TRUE(p.commandLine.windowed);
    EXPECT_EQ(p.output, "starting in windowed mode\n");

    const Parsed none = parse({"-w"});
    EXPECT_EQ(none.commandLine.scale, 0);
    EXPECT_FALSE(none.commandLine.desktop);
    EXPECT_FALSE(none.commandLine.smooth);
    EXPECT_EQ(parse({"--scale=8", "--scale=1"}).commandLine.scale, 1);  // the later one wins
}

TEST(CommandLine, ScaleOutside1To8OrMisusedFlagsAreBadParameters) {
    const Parsed p = parse({"--scale", "--scale=", "--scale=0", "--scale=9", "--scale=2x", "--scale=12",
                            "--desktop=yes", "--smooth=1"});
    EXPECT_EQ(p.commandLine.scale, 0);
    EXPECT_FALSE(p.commandLine.desktop);
    EXPECT_FALSE(p.commandLine.smooth);
    EXPECT_EQ(p.output,
              "Errornous parameter '--scale'\n"
              "Errornous parameter '--scale='\n"
              "Errornous parameter '--scale=0'\n"
              "Errornous parameter '--scale=9'\n"
              "Errornous parameter '--scale=2x'\n"
              "Errornous parameter '--scale=12'\n"
              "Errornous parameter '--desktop=yes'\n"
              "Errornous parameter '--smooth=1'\n");
}

TEST(CommandLine, CaptureTakesAVideoFileOrAFolderWithItsSettings) {
    const Parsed video = parse({"--capture=out/demo.MP4", "--fps=30", "--frames=300", "--capture-scale=3"});
    EXPECT_EQ(video.output, "");
    EXPECT_FALSE(video.commandLine.exitNow);
    EXPECT_EQ(video.commandLine.capturePath, "out/demo.MP4");
    EXPECT_EQ(video.commandLine.captureFps, 30);
    EXPECT_EQ(video.commandLine.captureFrames, 300);
    EXPECT_EQ(video.commandLine.captureScale, 3);

    const Parsed folder = parse({"--capture=frames/", "--start=20", "-v40"});
    EXPECT_EQ(folder.commandLine.capturePath, "frames/");
    EXPECT_EQ(folder.commandLine.startOrder, 20);
    EXPECT_EQ(folder.commandLine.captureFps, 60);    // the defaults
    EXPECT_EQ(folder.commandLine.captureFrames, 0);  // until the end
    EXPECT_EQ(folder.commandLine.captureScale, 0);   // the output kind's own
    EXPECT_EQ(parse({"--capture=x.mkv"}).commandLine.capturePath, "x.mkv");
    EXPECT_EQ(parse({}).commandLine.capturePath, "");
}

TEST(CommandLine, ABadCaptureOptionSaysWhyAndEndsStartUpWithTwo) {
    const struct {
        std::vector<const char*> arguments;
        std::string reason;
    } cases[] = {
        {{"--capture=out.avi", "--capture=.mp4", "--capture"},
         "capture to FILE.mp4, FILE.mkv, FILE.txt or a folder written as DIR/"},
        {{"--fps=0", "--fps=241", "--fps=6O"}, "frames per second are a whole number from 1 to 240"},
        {{"--frames=", "--frames=-5", "--frames=99999999999999999999"},
         "the frame count is a whole number from 1 up"},
        {{"--capture-scale=5"}, "the scale is 1, 2, 3 or 4"},
    };
    for (const auto& c : cases) {
        for (const char* argument : c.arguments) {
            const Parsed p = parse({argument, "-w"});
            EXPECT_TRUE(p.commandLine.exitNow) << argument;
            EXPECT_EQ(p.commandLine.exitCode, 2) << argument;
            EXPECT_EQ(p.output, "Errornous parameter '" + std::string(argument) + "': " + c.reason + "\n")
                << "reading stops at the bad option";
        }
    }
}

TEST(CommandLine, CaptureSettingsWithoutACaptureAreNotedAndTheLiveShowGoesOn) {
    const Parsed p = parse({"--fps=30", "-w"});
    EXPECT_FALSE(p.commandLine.exitNow);
    EXPECT_EQ(p.output,
              "starting in windowed mode\n--fps, --frames and --capture-scale apply only with --capture\n");
}
