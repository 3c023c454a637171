// The pack builder's ratio on pictures and meshes next to gzip -9 and xz -9 on
// the same files, its packing speed, and the reader's unpack speed in MB/s.
// Run zedariva-content into this build folder first to measure the real content.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "resources/load_error.h"
#include "resources/pack_listing.h"
#include "resources/pack_writer.h"
#include "resources/unpack.h"
#include "platform/bit_cast.h"

namespace {

namespace fs = std::filesystem;

void putLe16(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

// An uncompressed 24-bit TGA of a dithered plasma, as a paint program saves it.
std::vector<uint8_t> plasmaTga(int width, int height, uint32_t rngState) {
    std::mt19937 rng(rngState);
    std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    putLe16(out, width);
    putLe16(out, height);
    out.push_back(24);
    out.push_back(0x20);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double v = std::sin(x * 0.031) + std::sin(y * 0.047) + std::sin((x + y) * 0.019);
            const int dither = static_cast<int>(rng() % 5) - 2;
            out.push_back(static_cast<uint8_t>(std::clamp(128 + 40 * v + dither, 0.0, 255.0)));
            out.push_back(static_cast<uint8_t>(std::clamp(100 + 60 * std::cos(v) + dither, 0.0, 255.0)));
            out.push_back(static_cast<uint8_t>(std::clamp(200 - 30 * v + dither, 0.0, 255.0)));
        }
    }
    return out;
}

// A picture of flat shapes and hard edges (a font or word picture), 32-bit.
std::vector<uint8_t> flatPicture(int width, int height) {
    std::vector<uint8_t> out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool ink = ((x / 12) % 3 == 0 && (y / 16) % 2 == 0) || (x - y) % 37 == 0;
            const uint32_t pixel = ink ? 0x00F0E0C0u : 0x00101020u + (y / 32);
            for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(pixel >> (8 * i)));
        }
    }
    return out;
}

// Block-compressed picture data: per 4x4 block two 5:6:5 colours and 2-bit indices.
std::vector<uint8_t> s3tBlocks(int width, int height) {
    std::vector<uint8_t> out = {'S', '3', 'T', 0};
    putLe16(out, width);
    putLe16(out, height);
    for (int by = 0; by < height / 4; ++by) {
        for (int bx = 0; bx < width / 4; ++bx) {
            const int r = (bx * 31) / (width / 4);
            const int g = (by * 63) / (height / 4);
            putLe16(out, (r << 11) | (g << 5) | ((bx + by) & 31));
            putLe16(out, ((r / 2) << 11) | ((g / 2) << 5) | 4);
            for (int row = 0; row < 4; ++row)
                out.push_back(static_cast<uint8_t>(0x1B * ((bx + row) % 4 + 1)));
        }
    }
    return out;
}

// A torus as float x, y, z, nx, ny, nz, u, v vertices followed by 16-bit indices.
std::vector<uint8_t> torusMesh(int rings, int sides) {
    std::vector<uint8_t> out;
    auto putFloat = [&](float f) {
        const uint32_t bits = bitCast<uint32_t>(f);
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    };
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j < sides; ++j) {
            const float a = 6.2831853f * i / rings;
            const float b = 6.2831853f * j / sides;
            const float nx = std::cos(a) * std::cos(b), ny = std::sin(a) * std::cos(b), nz = std::sin(b);
            putFloat(std::cos(a) * 40 + nx * 12);
            putFloat(std::sin(a) * 40 + ny * 12);
            putFloat(nz * 12);
            putFloat(nx);
            putFloat(ny);
            putFloat(nz);
            putFloat(static_cast<float>(i) / rings);
            putFloat(static_cast<float>(j) / sides);
        }
    }
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j < sides; ++j) {
            const int a = i * sides + j, b = ((i + 1) % rings) * sides + j;
            const int c = ((i + 1) % rings) * sides + (j + 1) % sides, d = i * sides + (j + 1) % sides;
            for (int v : {a, b, c, a, c, d}) putLe16(out, v);
        }
    }
    return out;
}

std::vector<PackInput> generatedCorpus() {
    return {
        {"plasma.tga", plasmaTga(512, 256, 1)}, {"back.tga", plasmaTga(256, 256, 2)},
        {"words.raw", flatPicture(512, 256)},   {"tex.s3t", s3tBlocks(256, 256)},
        {"torus.edo", torusMesh(96, 48)},       {"ring.edo", torusMesh(32, 16)},
    };
}

// The files of the built content's pack (ZD_BINARY_DIR/content/data.fil)
// when it exists, else representative generated pictures and meshes.
const std::vector<PackInput>& corpus() {
    static const std::vector<PackInput> files = [] {
        const fs::path packPath = fs::path(ZD_BINARY_DIR) / "content" / "data.fil";
        std::ifstream in(packPath, std::ios::binary);
        const std::vector<uint8_t> pack{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::vector<PackInput> found;
        try {
            for (const PackListing& file : listPack(pack))
                found.push_back({file.name, extractFile(pack, file)});
        } catch (const LoadError&) {
            found.clear();  // no pack, or a damaged one: use the generated files
        }
        return found.empty() ? generatedCorpus() : found;
    }();
    return files;
}

size_t corpusBytes() {
    size_t total = 0;
    for (const PackInput& file : corpus()) total += file.bytes.size();
    return total;
}

// Sum over the corpus of `command` (reading the file on stdin) output sizes.
double externalRatio(const std::string& command) {
    const fs::path temp = fs::temp_directory_path() / ("zd_bench_pack_" + std::to_string(getpid()));
    size_t packed = 0;
    for (const PackInput& file : corpus()) {
        std::ofstream(temp, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.bytes.data()),
                   static_cast<std::streamsize>(file.bytes.size()));
        std::FILE* pipe = popen((command + " < '" + temp.string() + "' | wc -c").c_str(), "r");
        unsigned long long count = 0;
        if (pipe == nullptr || std::fscanf(pipe, "%llu", &count) != 1) count = 0;
        if (pipe != nullptr) pclose(pipe);
        packed += count;
    }
    fs::remove(temp);
    return static_cast<double>(packed) / static_cast<double>(corpusBytes());
}

void BM_PackRatio(benchmark::State& state) {
    size_t packed = 0;
    for (auto _ : state) {
        packed = 0;
        for (const PackInput& file : corpus()) {
            const std::vector<uint8_t> stream = packStream(file.bytes);
            packed += std::min(stream.size(), file.bytes.size());  // stored unpacked when not smaller
            benchmark::DoNotOptimize(stream.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpusBytes()));
    state.counters["files"] = static_cast<double>(corpus().size());
    state.counters["pack"] = static_cast<double>(packed) / static_cast<double>(corpusBytes());
    state.counters["gzip9"] = externalRatio("gzip -9 -c");
    state.counters["xz9"] = externalRatio("xz -9 -c");
}
BENCHMARK(BM_PackRatio)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Unpack(benchmark::State& state) {
    std::vector<std::vector<uint8_t>> streams;
    for (const PackInput& file : corpus()) streams.push_back(packStream(file.bytes));
    for (auto _ : state) {
        for (const std::vector<uint8_t>& stream : streams) {
            std::vector<uint8_t> bytes = unpack(stream);
            benchmark::DoNotOptimize(bytes.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpusBytes()));
}
BENCHMARK(BM_Unpack)->MinTime(0.3)->Unit(benchmark::kMillisecond);

}  // namespace
