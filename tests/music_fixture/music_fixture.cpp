#include "tests/music_fixture/music_fixture.h"

#include "tools/itwriter/it_writer.h"

#include <cstdio>
#include <filesystem>

std::vector<uint8_t> makeTestModule(const TestModuleShape& shape)
{
    ItSample square;
    square.name = "square";
    square.c5Speed_hz = 22050;
    for (int i = 0; i < 100; ++i)
        square.pcm.push_back(i < 50 ? 12000 : -12000);
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

double rowDuration_seconds(const TestModuleShape& shape)
{
    return shape.speed * 2.5 / shape.tempo;
}

std::string writeTempFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path.string();
}
