// The pack builder's tests' inputs (noise, text, runs, picture-like RGB data,
// from fixed rng states), a scratch folder and whole-file reads and writes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

inline std::vector<uint8_t> noiseBytes(size_t size, uint32_t rngState) {
    std::mt19937 rng(rngState);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(rng());
    }
    return bytes;
}

inline std::vector<uint8_t> textBytes(size_t size) {
    static const char* const words[] = {"the ",  "pack ", "holds ", "every ", "picture ", "and ",
                                        "mesh ", "of ",   "a ",     "demo, ", "read ",    "once.\n"};
    std::mt19937 rng(7);
    std::string text;
    while (text.size() < size) {
        text += words[rng() % 12];
    }
    text.resize(size);
    return {text.begin(), text.end()};
}

// Smooth RGB gradients, three bytes per pixel: what the stride-3 filter is for.
inline std::vector<uint8_t> gradientRgb(int width, int height) {
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bytes.push_back(static_cast<uint8_t>(x * 255 / width));
            bytes.push_back(static_cast<uint8_t>(y * 255 / height));
            bytes.push_back(static_cast<uint8_t>(128 + 100 * std::sin(x * 0.02 + y * 0.03)));
        }
    }
    return bytes;
}

// Runs of random lengths (some far longer than the 16-bit match length).
inline std::vector<uint8_t> runBytes(size_t size, uint32_t rngState) {
    std::mt19937 rng(rngState);
    std::vector<uint8_t> bytes;
    while (bytes.size() < size) {
        const size_t length = rng() % 4 == 0 ? rng() % 100000 : rng() % 40;
        bytes.insert(bytes.end(), std::min(length, size - bytes.size()), static_cast<uint8_t>(rng()));
    }
    return bytes;
}

// A fresh folder under the system's temporary folder, removed with its files.
struct TempDir {
    std::filesystem::path path;
    explicit TempDir(const std::string& label) {
        static int counter = 0;
        path = std::filesystem::temp_directory_path() /
               ("zd_pack_" + label + "_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
};

inline void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
