// The default content, written by the zedariva-content program into a fresh
// temporary folder for the tests that render the generated scenes.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class GeneratedContent : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zd-scenes-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        const std::string command =
            std::string(ZD_BINARY_DIR) + "/zedariva-content " + folder_.string() + " > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string pack() const { return (folder_ / "data.fil").string(); }

    std::filesystem::path folder_;
};
