#include "app/main_loop.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/demo.h"
#include "display/display.h"

namespace {

// Runs each test in a folder of its own with a 512 x 385 frame (the tall display).
class MainLoopKeys : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() / ("zd_keys_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        frame_.assign(512 * 385, 0x00336699);
        frameBuffer = frame_.data();
        running = 1;
    }
    void TearDown() override {
        frameBuffer = nullptr;
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

    std::filesystem::path previous_;
    std::filesystem::path dir_;
    std::vector<uint32_t> frame_;
};

}  // namespace

TEST_F(MainLoopKeys, EscapeAndBothQsEndTheLoop) {
    for (int key : {27, int('Q'), int('q')}) {
        running = 1;
        handleKey(key);
        EXPECT_EQ(running, 0) << "key " << key;
    }
}

TEST_F(MainLoopKeys, UpperCaseSWritesTheTop512x256OfTheFrame) {
    handleKey('S');
    EXPECT_EQ(running, 1);
    ASSERT_TRUE(std::filesystem::exists("zedariva.tga"));
    EXPECT_EQ(std::filesystem::file_size("zedariva.tga"), 393234u);
}

TEST_F(MainLoopKeys, OtherKeysDoNothing) {
    for (int key : {int('s'), int('x'), int(' '), -23}) {
        handleKey(key);
        EXPECT_EQ(running, 1) << "key " << key;
    }
    EXPECT_FALSE(std::filesystem::exists("zedariva.tga"));
}
