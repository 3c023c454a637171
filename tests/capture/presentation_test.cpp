// The whole presentation captured at 4 fps against the frame hashes recorded
// in presentation_frames.txt. A changed frame is named, and its expected
// picture (a preview kept beside the hashes) and the actual one are written
// to build/capture-regression/ for a person to look at.
//
// After a deliberate change, run scripts/update-capture-hashes (it sets
// ZEDARIVA_UPDATE_CAPTURE_HASHES=1 for this test, which then rewrites the
// hashes and previews of the same frames instead of comparing).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/capture/program_runs.h"

using namespace capture_runs;

namespace {

const std::filesystem::path kExpected =
    std::filesystem::path(ZD_SOURCE_DIR) / "tests/capture/presentation_frames.txt";
const std::filesystem::path kPreviews =
    std::filesystem::path(ZD_SOURCE_DIR) / "tests/capture/presentation_frames";
const std::filesystem::path kReport = std::filesystem::path(ZD_BINARY_DIR) / "capture-regression";
constexpr int kFps = 4;

struct RecordedFrame {
    int frame = 0;
    std::string hash;
};

struct Recorded {
    std::vector<std::string> comments;  // the file's leading lines, kept as they are
    int frames = 0;
    std::vector<RecordedFrame> chosen;
};

Recorded readRecorded() {
    Recorded recorded;
    std::ifstream in(kExpected);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "frames") {
            words >> recorded.frames;
        } else if (word == "frame") {
            RecordedFrame frame;
            words >> frame.frame >> frame.hash;
            recorded.chosen.push_back(frame);
        } else if (recorded.chosen.empty()) {
            recorded.comments.push_back(line);
        }
    }
    return recorded;
}

void writeRecorded(const Recorded& recorded) {
    std::ofstream out(kExpected);
    for (const std::string& line : recorded.comments) out << line << "\n";
    out << "frames " << recorded.frames << "\n";
    for (const RecordedFrame& frame : recorded.chosen)
        out << "frame " << frame.frame << " " << frame.hash << "\n";
}

int countFrames(const std::filesystem::path& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.path().extension() == ".tga";
    return count;
}

bool convertPicture(const std::filesystem::path& from, const std::filesystem::path& to, const char* options) {
    const std::string command = "convert '" + from.string() + "' " + options + " '" + to.string() + "' 2>&1";
    return std::system(command.c_str()) == 0;
}

}  // namespace

TEST(PresentationCapture, TheChosenFramesAtFourFramesASecondAreTheRecordedOnes) {
    Recorded recorded = readRecorded();
    ASSERT_FALSE(recorded.chosen.empty()) << "no frames recorded in " << kExpected;
    const std::filesystem::path folder = scratch("presentation") / "frames";
    const ProgramRun run = runProgram("--capture=" + folder.string() + "/ --fps=" + std::to_string(kFps));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const int frames = countFrames(folder);

    if (std::getenv("ZEDARIVA_UPDATE_CAPTURE_HASHES")) {
        recorded.frames = frames;
        std::filesystem::create_directories(kPreviews);
        for (RecordedFrame& chosen : recorded.chosen) {
            const std::filesystem::path tga = folder / frameName(chosen.frame);
            chosen.hash = hashOf(readAll(tga));
            EXPECT_TRUE(convertPicture(tga, kPreviews / frameName(chosen.frame, ".jpg"), "-quality 85"))
                << "ImageMagick's convert made no preview of frame " << chosen.frame;
        }
        writeRecorded(recorded);
        std::printf("updated %s and the previews in %s\n", kExpected.c_str(), kPreviews.c_str());
        std::filesystem::remove_all(folder.parent_path());
        return;
    }

    EXPECT_EQ(frames, recorded.frames) << "the presentation no longer lasts as many frames";
    std::filesystem::create_directories(kReport);
    for (const RecordedFrame& chosen : recorded.chosen) {
        const std::filesystem::path tga = folder / frameName(chosen.frame);
        const std::string actual = std::filesystem::exists(tga) ? hashOf(readAll(tga)) : "missing";
        if (actual == chosen.hash) continue;
        const std::filesystem::path expectedPicture = kReport / frameName(chosen.frame, "-expected.jpg");
        const std::filesystem::path actualPicture = kReport / frameName(chosen.frame, "-actual.tga");
        std::filesystem::copy_file(kPreviews / frameName(chosen.frame, ".jpg"), expectedPicture,
                                   std::filesystem::copy_options::overwrite_existing);
        if (actual != "missing") {
            std::filesystem::copy_file(tga, actualPicture, std::filesystem::copy_options::overwrite_existing);
            convertPicture(tga, kReport / frameName(chosen.frame, "-actual.png"), "");  // easier to view
        }
        ADD_FAILURE() << "frame " << chosen.frame << " (at " << chosen.frame / static_cast<double>(kFps)
                      << " s) changed: hash " << actual << ", recorded " << chosen.hash
                      << "\n  expected: " << expectedPicture.string()
                      << "\n  actual:   " << actualPicture.string() << " (and .png)";
    }
    std::filesystem::remove_all(folder.parent_path());  // some 600 MB; what changed was copied
}
