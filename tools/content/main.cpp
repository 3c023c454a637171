// zedariva-content OUTDIR: writes the default content of the presentation,
// OUTDIR/data.fil (every picture, mesh and keyframe scene, packed) and
// OUTDIR/tazutune.it (the music). zedariva-content --icons OUTDIR: the
// program's icons, OUTDIR/zedariva-48.png, -128.png and -256.png. The same
// bytes on every run.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "resources/pack_writer.h"
#include "tools/content/content.h"
#include "tools/content/icons.h"

namespace {

void append(std::vector<PackInput>& pack, std::vector<ContentFile> files) {
    for (ContentFile& file : files) pack.push_back({std::move(file.name), std::move(file.bytes)});
}

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void makeDirectory(const std::filesystem::path& directory) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error || !std::filesystem::is_directory(directory)) {
        throw std::runtime_error("cannot create the folder " + directory.string());
    }
}

int writeIcons(const std::filesystem::path& directory) {
    try {
        makeDirectory(directory);
        for (const ContentFile& icon : makeIcons()) writeFile(directory / icon.name, icon.bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zedariva-content: %s\n", e.what());
        return 1;
    }
    std::printf("wrote the icons into %s\n", directory.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool icons = argc == 3 && std::string(argv[1]) == "--icons";
    if ((argc != 2 && !icons) || argv[argc - 1][0] == '\0') {
        std::fprintf(stderr, "usage: zedariva-content OUTDIR\n       zedariva-content --icons OUTDIR\n");
        return 2;
    }
    const std::filesystem::path directory = argv[argc - 1];
    if (icons) return writeIcons(directory);
    try {
        makeDirectory(directory);
        std::vector<PackInput> pack;
        append(pack, makePictures());
        append(pack, makeFadePictures());
        append(pack, makeMeshes());
        append(pack, makeScenes());
        writePack((directory / "data.fil").string(), pack);
        writeFile(directory / "tazutune.it", makeMusic());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zedariva-content: %s\n", e.what());
        return 1;
    }
    std::printf("wrote %s and %s\n", (directory / "data.fil").c_str(), (directory / "tazutune.it").c_str());
    return 0;
}
