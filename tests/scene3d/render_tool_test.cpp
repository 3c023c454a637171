// The zedariva-render program: it renders a generated scene to TGA files that
// the presentation's own reader (and ImageMagick, where present) decodes, and
// refuses damaged scenes and bad arguments with one line and a non-zero exit.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "resources/tga.h"
#include "tests/resources/test_support.h"
#include "tests/scene3d/generated_content.h"
#include "tests/scene3d/scene_files.h"

using namespace scenefiles;

namespace {

struct ToolRun {
    int exitCode;
    std::string errors;
};

}  // namespace

class RenderTool : public GeneratedContent {
protected:
    // Runs the tool inside the content folder.
    ToolRun render(const std::string& arguments) {
        const std::string errors = (folder_ / "errors.txt").string();
        const std::string command = "cd " + folder_.string() + " && " + ZD_BINARY_DIR + "/zedariva-render " +
                                    arguments + " > /dev/null 2> " + errors;
        const int status = std::system(command.c_str());
        const Bytes text = readFile(errors);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(text.begin(), text.end())};
    }
    Image picture(const std::string& name) { return decodeTga(readFile((folder_ / name).string())); }
};

TEST_F(RenderTool, WritesPicturesThatDecodeAtTheChosenSizeOverTheBackground) {
    ASSERT_EQ(render("--pack data.fil part2.kf shot.tga 1 2.5").exitCode, 0);
    const Image shot = picture("shot.tga");
    ASSERT_EQ(shot.width, 512);
    ASSERT_EQ(shot.height, 256);
    EXPECT_GT(std::count_if(shot.pixels.begin(), shot.pixels.end(), [](uint32_t p) { return p != 0; }), 2000);
    if (std::system("command -v identify > /dev/null") == 0) {
        const std::string command = "identify -format %wx%h " + (folder_ / "shot.tga").string() + " > " +
                                    (folder_ / "size.txt").string();
        ASSERT_EQ(std::system(command.c_str()), 0);
        const Bytes size = readFile((folder_ / "size.txt").string());
        EXPECT_EQ(std::string(size.begin(), size.end()), "512x256");
    }

    ASSERT_EQ(render("--pack=data.fil --size 160x100 --background 0x102030 --every=0.5 part7.kf run.tga 3 4")
                  .exitCode,
              0);
    for (const char* name : {"run-0000.tga", "run-0001.tga", "run-0002.tga"}) {
        SCOPED_TRACE(name);
        const Image step = picture(name);
        ASSERT_EQ(step.width, 160);
        ASSERT_EQ(step.height, 100);
        const auto background = std::count(step.pixels.begin(), step.pixels.end(), 0x102030u);
        EXPECT_GT(background, 160 * 100 / 4);
        EXPECT_LT(background, 160 * 100);
    }
    EXPECT_FALSE(std::filesystem::exists(folder_ / "run-0003.tga"));
}

TEST_F(RenderTool, RefusesDamagedScenesAndBadArgumentsWithOneLine) {
    writeFile((folder_ / "cut.kf").string(), Bytes{5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0});
    writeFile((folder_ / "nomesh.kf").string(),
              sceneFile(0, {meshNode("nowhere.edo", 0, 1)}, {key(0, 1, 0, 0, 0)}));
    const struct {
        const char* arguments;
        int exitCode;
        const char* message;
    } cases[] = {
        {"cut.kf out.tga 1", 1,
         "zedariva-render: cut.kf: scene file of 14 bytes is too short for its 5 nodes\n"},
        {"nomesh.kf out.tga 1", 1,
         "zedariva-render: nomesh.kf: a mesh or texture it names is neither in the pack"},
        {"gone.kf out.tga 1", 1, "zedariva-render: gone.kf: neither in the pack nor a loose file\n"},
        {"--pack none.fil part2.kf out.tga 1", 1, "zedariva-render: none.fil: cannot open the pack"},
        {"--pack data.fil part2.kf nofolder/out.tga 1", 1, "zedariva-render: nofolder/out.tga: cannot write"},
        {"--size 512 part2.kf out.tga 1", 2, "zedariva-render: size '512' is not WxH"},
        {"--background red part2.kf out.tga 1", 2, "zedariva-render: background 'red' is not a colour"},
        {"--every=0.1 part2.kf out.tga 1", 2, "zedariva-render: --every needs two times"},
        {"part2.kf out.tga soon", 2, "zedariva-render: time 'soon' is not a number\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = render(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.errors.rfind(c.message, 0), 0u) << run.errors;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    }
    EXPECT_FALSE(std::filesystem::exists(folder_ / "out.tga"));
}
