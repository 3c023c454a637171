#include "tests/music_fixture/music_fixture.h"

#include "tools/itwriter/it_writer.h"

#include <cstdio>
#include <filesystem>
#include <thread>

std::vector<uint8_t> makeTestModule(const TestModuleShape& shape) {
    ItSample square;
    square.name = "square";
    square.c5Speed_hz = 22050;
    for (int i = 0; i < 100; ++i) square.pcm.push_back(i < 50 ? 12000 : -12000);
    square.loopStart = 0;
    square.loopEnd = 100;

    ItPattern pattern(shape.rowsPerPattern, 1);
    pattern.at(0, 0).note = 60;
    pattern.at(0, 0).sample = 1;
    pattern.at(0, 0).volume = 64;

    ItModule module;
    module.songName = "test tone";
    module.initialSpeed = shape.speed;
    module.initialTempo = shape.tempo;
    module.channels = 1;
    module.samples.push_back(square);
    module.patterns.push_back(pattern);
    module.orders.assign(shape.orderCount, 0);
    return writeItModule(module);
}

double rowDuration_seconds(const TestModuleShape& shape) { return shape.speed * 2.5 / shape.tempo; }

int rowsPlayed(uint32_t position, int rows) {
    return static_cast<int>(position & 0xFFFF) * rows + static_cast<int>(position >> 16);
}

double secondsSince(TestClock::time_point start) {
    return std::chrono::duration<double>(TestClock::now() - start).count();
}

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

namespace {
void put16(std::vector<uint8_t>& out, int v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, static_cast<int>(v & 0xFFFF));
    put16(out, static_cast<int>(v >> 16));
}
void putTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}
}  // namespace

std::vector<uint8_t> makeSquareWav(int rate_hz, double duration_seconds, double tone_hz) {
    const uint32_t frames = static_cast<uint32_t>(rate_hz * duration_seconds);
    std::vector<uint8_t> out;
    putTag(out, "RIFF");
    put32(out, 36 + frames * 2);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, static_cast<uint32_t>(rate_hz));
    put32(out, static_cast<uint32_t>(rate_hz) * 2);
    put16(out, 2);
    put16(out, 16);
    putTag(out, "data");
    put32(out, frames * 2);
    const double half = rate_hz / tone_hz / 2;
    for (uint32_t i = 0; i < frames; ++i) put16(out, static_cast<int>(i / half) % 2 == 0 ? 12000 : -12000);
    return out;
}

std::string writeTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path.string();
}
