#include "display/screenshot.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Each test writes into a folder of its own that is removed afterwards.
class Screenshot : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("zd_shot_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path tempFile(const std::string& name) const { return dir_ / name; }

    std::filesystem::path dir_;
};

}  // namespace

TEST_F(Screenshot, A512x256FrameIs393234BytesWithTheFixedHeader) {
    std::vector<uint32_t> frame(512 * 256, 0x00102030);
    const auto path = tempFile("full.tga");
    saveScreenshotTga(path.c_str(), frame.data(), 512, 256);
    const std::vector<uint8_t> bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 393234u);
    const std::vector<uint8_t> header(bytes.begin(), bytes.begin() + 18);
    const std::vector<uint8_t> expected = {0, 0, 2, 0,    0,    0,    0,    18, 0,
                                           0, 0, 0, 0x00, 0x02, 0x00, 0x01, 24, 0x20};
    EXPECT_EQ(header, expected);
}

TEST_F(Screenshot, PixelsAreBlueGreenRedTopRowFirst) {
    const std::vector<uint32_t> frame = {0xFF112233, 0x00445566,  // top row; the top byte is dropped
                                         0x00778899, 0x00AABBCC};
    const auto path = tempFile("order.tga");
    saveScreenshotTga(path.c_str(), frame.data(), 2, 2);
    const std::vector<uint8_t> bytes = readAll(path);
    const std::vector<uint8_t> pixels(bytes.begin() + 18, bytes.end());
    const std::vector<uint8_t> expected = {0x33, 0x22, 0x11, 0x66, 0x55, 0x44,
                                           0x99, 0x88, 0x77, 0xCC, 0xBB, 0xAA};
    EXPECT_EQ(pixels, expected);
}

TEST_F(Screenshot, ASecondScreenshotReplacesTheFirst) {
    std::vector<uint32_t> frame(512 * 256, 0);
    const auto path = tempFile("again.tga");
    saveScreenshotTga(path.c_str(), frame.data(), 512, 256);
    saveScreenshotTga(path.c_str(), frame.data(), 2, 1);
    EXPECT_EQ(std::filesystem::file_size(path), 18u + 6u);
}

TEST_F(Screenshot, AnUnwritableFileIsReportedOnOneLineAndNothingElseHappens) {
    std::vector<uint32_t> frame(4, 0);
    const std::string path = "/nonexistent-zedariva-dir/zedariva.tga";
    ::testing::internal::CaptureStdout();
    saveScreenshotTga(path.c_str(), frame.data(), 2, 2);
    std::fflush(stdout);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("cannot write screenshot '" + path + "'"), std::string::npos) << out;
    EXPECT_EQ(out.back(), '\n');
    EXPECT_EQ(out.find('\n'), out.size() - 1);
    EXPECT_FALSE(std::filesystem::exists(path));
}
