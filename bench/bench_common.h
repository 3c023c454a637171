// Shared by the pixel benchmarks: synthetic pictures like the presentation's,
// the memcpy baseline each of them reports next to, and the frame-rate counter.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "fx2d/target.h"
#include "fx2d/vector_paths.h"
#include "resources/image.h"
#include "resources/resource_cache.h"

namespace bench {

// The default content pack when it has been generated into the build folder,
// else null (the benchmarks then use synthetic pictures of the same sizes).
inline std::unique_ptr<ResourceCache> openContentPack() {
    const std::string pack = std::string(ZD_BINARY_DIR) + "/content/data.fil";
    if (!std::filesystem::exists(pack)) return nullptr;
    return std::make_unique<ResourceCache>(pack);
}

inline std::vector<uint32_t> noisyPixels(std::size_t count, unsigned start, uint32_t mask = 0x00FFFFFFu) {
    std::vector<uint32_t> pixels(count);
    std::mt19937 rng(start);
    for (uint32_t& p : pixels) p = rng() & mask;
    return pixels;
}

inline Image noisyImage(int width, int height, unsigned start, uint32_t mask = 0x00FFFFFFu) {
    Image image(width, height);
    image.pixels = noisyPixels(image.pixels.size(), start, mask);
    return image;
}

// A dim, noisy 256 x 256 texture with a few dozen near-white spots, like the
// tunnel texture: each spot becomes a light of the glow rays.
inline Image spottedTexture() {
    Image texture = noisyImage(256, 256, 99, 0x003F5F7Fu);
    std::mt19937 rng(100);
    for (int spot = 0; spot < 40; ++spot) {
        const int cx = static_cast<int>(rng() % 256), cy = static_cast<int>(rng() % 256);
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (dx * dx + dy * dy <= 4)
                    texture.pixels[((cy + dy) & 255) * 256 + ((cx + dx) & 255)] = 0x00FCFCFCu;
    }
    return texture;
}

// A soft round glow like the ray picture: faint in the middle, black at the rim.
inline Image softGlow() {
    Image ray(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const double r = std::hypot(x - 127.5, y - 127.5) / 128.0;
            const double a = r < 1.0 ? (1.0 - r) * (1.0 - r) : 0.0;
            ray.pixels[y * 256 + x] = static_cast<uint32_t>(a * 40.0) * 0x010101u;
        }
    return ray;
}

// Runs a benchmark's kernels on one path (vector_paths.h) while it lives; skips the
// benchmark when this build or CPU does not have the path.
class OnPath {
public:
    OnPath(benchmark::State& state, VectorPath path) : available_(path <= bestVectorPath()) {
        if (available_)
            limitVectorPath(path);
        else
            state.SkipWithError("this build or CPU does not have this path");
    }
    ~OnPath() { limitVectorPath(VectorPath::Avx512); }
    OnPath(const OnPath&) = delete;
    OnPath& operator=(const OnPath&) = delete;
    bool available() const { return available_; }

private:
    bool available_;
};

// Frames per second, from the iterations of a benchmark that draws one frame each.
inline void countFrames(benchmark::State& state) {
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The baseline: one memcpy of the 512 x 256 frame per iteration, in pixels and
// frames per second.
inline void memcpyFrame(benchmark::State& state) {
    const std::vector<uint32_t> source = noisyPixels(kTargetPixels, 1);
    std::vector<uint32_t> frame(kTargetPixels);
    for (auto _ : state) {
        std::memcpy(frame.data(), source.data(), kTargetPixels * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTargetPixels);
    countFrames(state);
}

}  // namespace bench
