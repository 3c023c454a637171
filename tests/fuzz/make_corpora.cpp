// zedariva-fuzz-corpora PACK OUTDIR: writes the initial corpus of every fuzz
// harness into OUTDIR/<target>/, made from the files of PACK (the generated
// content): small crops of its pictures in each picture format, its meshes
// and scenes, packed streams of all of these, and small packs of them.
// Inputs stay small, so that each run of a harness is quick.
#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "resources/jpeg.h"
#include "resources/pack_listing.h"
#include "resources/pack_writer.h"
#include "resources/tga.h"
#include "resources/upper_case.h"
#include "tools/content/image_encoders.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Files of the content larger than this are not taken whole.
constexpr size_t kMaxWholeFileBytes = 16384;

struct Corpus {
    fs::path root;
    int written = 0;

    void add(const std::string& target, const std::string& name, const Bytes& bytes) {
        fs::create_directories(root / target);
        std::ofstream out(root / target / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + (root / target / name).string());
        ++written;
    }
};

std::string extensionOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : upperCase(name.substr(dot));
}

Image decodePicture(const std::string& name, const Bytes& bytes) {
    const std::string extension = extensionOf(name);
    if (extension == ".JPG") return decodeJpeg(bytes);
    if (extension == ".TGA") return decodeTga(bytes);
    return decodeS3t(bytes);
}

Image crop(const Image& picture, int x0, int y0, int width, int height) {
    Image out(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.row(y)[x] = picture.row((y0 + y) % picture.height)[(x0 + x) % picture.width];
    return out;
}

// An 8-bit TGA of the picture over a 3-3-2 colour table.
Bytes tga8(const Image& picture) {
    std::array<uint32_t, 256> palette{};
    for (uint32_t i = 0; i < 256; ++i)
        palette[i] = (((i >> 5) * 255 / 7) << 16) | ((((i >> 2) & 7) * 255 / 7) << 8) | ((i & 3) * 255 / 3);
    std::vector<uint8_t> indices;
    for (uint32_t pixel : picture.pixels)
        indices.push_back(static_cast<uint8_t>(((pixel >> 16) & 0xE0) | ((pixel >> 11) & 0x1C) | ((pixel >> 6) & 3)));
    return encodeTga8(picture.width, picture.height, palette, indices);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zedariva-fuzz-corpora PACK OUTDIR\n");
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        const Bytes pack((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.eof() && in.fail()) throw std::runtime_error(std::string("cannot read ") + argv[1]);
        Corpus corpus{argv[2]};
        const std::vector<PackListing> listed = listPack(pack);

        std::vector<PackInput> smallFiles;  // everything small enough to pack and round-trip
        int pictureIndex = 0;
        for (const PackListing& file : listed) {
            const Bytes bytes = extractFile(pack, file);
            const std::string extension = extensionOf(file.name);
            if (file.packed && file.storedSize <= kMaxWholeFileBytes)
                corpus.add("unpack", file.name, Bytes(pack.begin() + file.offset,
                                                      pack.begin() + file.offset + file.storedSize));
            if (extension == ".EDO" || extension == ".KF") {
                if (bytes.size() > kMaxWholeFileBytes) continue;
                corpus.add(extension == ".EDO" ? "mesh" : "scene", file.name, bytes);
                smallFiles.push_back({file.name, bytes});
                continue;
            }
            if (extension == ".JPG" && bytes.size() <= kMaxWholeFileBytes) corpus.add("jpeg", file.name, bytes);

            // Crops of each picture at a few sizes, in every picture format.
            const Image picture = decodePicture(file.name, bytes);
            const int sizes[][2] = {{4, 4}, {8, 8}, {16, 8}, {32, 16}};
            for (const auto& size : sizes) {
                const int index = pictureIndex++;
                const Image piece = crop(picture, index * 37, index * 23, size[0], size[1]);
                const std::string stem = file.name.substr(0, file.name.rfind('.')) + "-" +
                                         std::to_string(size[0]) + "x" + std::to_string(size[1]);
                const std::vector<PackInput> encoded = {
                    {stem + ".tga", index % 2 ? tga8(piece) : encodeTga24(piece)},
                    {stem + ".s3t", encodeS3t(piece)},
                    {stem + ".jpg", encodeJpeg(piece, 40 + 15 * (index % 4))},
                };
                corpus.add("tga", stem + ".tga", encoded[0].bytes);
                corpus.add("s3t", stem + ".s3t", encoded[1].bytes);
                corpus.add("jpeg", stem + ".jpg", encoded[2].bytes);
                if (size[0] == 8) smallFiles.insert(smallFiles.end(), encoded.begin(), encoded.end());
            }
        }

        // Streams, packs and round trips of the small files, one and two at a time.
        for (size_t i = 0; i < smallFiles.size(); ++i) {
            const PackInput& file = smallFiles[i];
            corpus.add("unpack", file.name + ".packed", packStream(file.bytes));
            const PackInput& next = smallFiles[(i + 1) % smallFiles.size()];
            const Bytes one = buildPack({file});
            const Bytes two = buildPack({file, next});
            for (const char* target : {"pack", "cache"}) {
                corpus.add(target, file.name + ".fil", one);
                if (two.size() <= kMaxWholeFileBytes) corpus.add(target, file.name + "+" + next.name + ".fil", two);
            }
            if (file.bytes.size() <= 2048) {
                Bytes cut(1 + file.bytes.size(), 0);  // a first byte of 0: one file, the rest of the input
                std::copy(file.bytes.begin(), file.bytes.end(), cut.begin() + 1);
                corpus.add("round_trip", file.name, cut);
            }
        }
        std::printf("wrote %d inputs into %s\n", corpus.written, argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zedariva-fuzz-corpora: %s\n", error.what());
        return 1;
    }
    return 0;
}
