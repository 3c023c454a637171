// The zedariva-content program: the pack it writes holds every asset the
// presentation loads and every file the scenes and meshes name, two runs write
// the same bytes, and a folder it cannot write is reported on one line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include <sys/wait.h>
#include <unistd.h>

#include "resources/pack_listing.h"
#include "tests/content/content_readers.h"

namespace {

namespace fs = std::filesystem;

const std::string kGenerator = std::string(ZD_BINARY_DIR) + "/zedariva-content";

std::vector<uint8_t> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int runGenerator(const fs::path& outdir, const fs::path& errors) {
    const std::string command =
        "'" + kGenerator + "' '" + outdir.string() + "' >/dev/null 2>'" + errors.string() + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path scratchRoot() {
    return fs::temp_directory_path() / ("zd_content_test_" + std::to_string(::getpid()));
}

fs::path scratch(const std::string& name) {
    fs::create_directories(scratchRoot());
    return scratchRoot() / name;
}

// Removes this program's scratch folder when the tests are done.
class ScratchCleanup : public ::testing::Environment {
public:
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(scratchRoot(), ignored);
    }
};
const auto* const kCleanup = ::testing::AddGlobalTestEnvironment(new ScratchCleanup);

// One generated set for the whole test program.
const fs::path& generated() {
    static const fs::path outdir = [] {
        const fs::path dir = scratch("first");
        const int code = runGenerator(dir, scratch("first.err"));
        EXPECT_EQ(code, 0);
        return dir;
    }();
    return outdir;
}

// The files the presentation fetches at start-up, in loading order.
const std::vector<std::string> kAssets = {
    "font.tga",   "part2.kf",   "part3.kf",     "part4.kf",   "part6.kf",     "part7.kf",   "s1.tga",
    "txt1.jpg",   "txt5.jpg",   "p3back.jpg",   "p4back.jpg", "p6ball.edo",   "p6back.jpg", "nofx.jpg",
    "p8back.jpg", "pelk1.jpg",  "pelk2.jpg",    "dro1.jpg",   "dro2.jpg",     "tazu1.jpg",  "tazu2.jpg",
    "kel1.jpg",   "kel2.jpg",   "we.jpg",       "are.jpg",    "bodravin.jpg", "you.jpg",    "qm.jpg",
    "takes.jpg",  "people.jpg", "theblame.jpg", "p9p1.jpg",   "p9p2.jpg",     "p9p3.jpg",   "p9p4.jpg",
    "p9p5.jpg",   "p3p1.jpg",   "p3p2.jpg",     "p8p1.jpg",   "p8p2.jpg",     "p8p3.jpg",   "logo.jpg",
    "ray.tga"};

}  // namespace

TEST(Generator, PackHoldsEveryAssetAndEveryFileTheScenesAndMeshesName) {
    const std::vector<uint8_t> pack = readAll(generated() / "data.fil");
    ASSERT_FALSE(pack.empty());
    const std::vector<PackListing> listing = listPack(pack);
    std::set<std::string> names;
    for (const PackListing& file : listing) names.insert(file.name);

    for (const std::string& asset : kAssets) {
        // "s1.tga" is stored only as its S3T twin, which the reader falls back to.
        const std::string stored = asset == "s1.tga" ? "s1.s3t" : asset;
        EXPECT_TRUE(names.count(stored)) << stored;
    }
    EXPECT_FALSE(names.count("s1.tga"));

    std::set<std::string> meshNames, textureNames;
    for (const PackListing& file : listing) {
        if (!file.name.ends_with(".kf")) continue;
        const ReadScene scene = readScene(extractFile(pack, file));
        for (const ReadNode& node : scene.nodes) {
            if (node.type == 1) meshNames.insert(node.meshName);
        }
    }
    for (const PackListing& file : listing) {
        if (!meshNames.count(file.name) && file.name != "p6ball.edo") continue;
        const ReadMesh mesh = readMesh(extractFile(pack, file));
        for (const ReadMaterial& m : mesh.materials) {
            if (m.flags & 1) textureNames.insert(m.textureName);
        }
    }
    EXPECT_GE(meshNames.size(), 8u);
    for (const std::string& name : meshNames) EXPECT_TRUE(names.count(name)) << name;
    EXPECT_GE(textureNames.size(), 4u);
    for (const std::string& name : textureNames) EXPECT_TRUE(names.count(name)) << name;
}

TEST(Generator, WritesTheMusicBesideThePack) {
    EXPECT_GT(fs::file_size(generated() / "tazutune.it"), 100000u);
}

TEST(Generator, TwoRunsWriteTheSameBytes) {
    const fs::path second = scratch("second");
    ASSERT_EQ(runGenerator(second, scratch("second.err")), 0);
    for (const char* name : {"data.fil", "tazutune.it"}) {
        EXPECT_TRUE(readAll(generated() / name) == readAll(second / name)) << name;
    }
}

TEST(Generator, AFolderItCannotWriteIsReportedOnOneLine) {
    // A path below a plain file can never become a folder.
    const fs::path blocker = scratch("blocker");
    std::ofstream(blocker) << "x";
    const fs::path errors = scratch("blocked.err");
    EXPECT_NE(runGenerator(blocker / "out", errors), 0);
    const std::vector<uint8_t> message = readAll(errors);
    ASSERT_FALSE(message.empty());
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    EXPECT_NE(std::string(message.begin(), message.end()).find("zedariva-content:"), std::string::npos);
}
