// Builder to reader: the input is cut into up to four files, packed by the
// builder and read back by PackFile, and one file is packed under a filter
// the input picks and unpacked; every file comes back byte for byte.
#include <algorithm>

#include "resources/pack_file.h"
#include "resources/pack_format.h"
#include "resources/pack_writer.h"
#include "resources/unpack.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The first byte gives the number of files (1..4); each file then takes as
// many bytes as the next byte says, the last one the rest.
std::vector<PackInput> cutIntoFiles(const uint8_t* data, size_t size) {
    std::vector<PackInput> files;
    if (size == 0) return files;
    const int count = 1 + data[0] % 4;
    size_t at = 1;
    for (int i = 0; i < count; ++i) {
        size_t length = size - at;
        if (i + 1 < count && at < size) {
            const size_t wanted = data[at];
            ++at;
            length = std::min(wanted, size - at);
        }
        std::string name = "file";
        name += std::to_string(i);
        name += i % 2 ? ".tga" : ".bin";  // names matter to no reader here
        files.push_back({name, {data + at, data + at + length}});
        at += length;
    }
    return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<PackInput> files = cutIntoFiles(data, size);
    if (files.empty()) return 0;
    // The pack keeps each file's smallest stream; the first file also goes
    // through a filter the input picks, so that every filter is tried.
    const uint32_t filters[] = {0, pack::kFilterStride1, pack::kFilterStride3};
    fuzz::check(unpack(packStreamFiltered(files[0].bytes, filters[data[0] / 4 % 3])) == files[0].bytes,
                "unpack restores a packed stream under every filter");

    const std::vector<uint8_t> built = buildPack(files);
    PackFile pack;
    fuzz::check(pack.open(fuzz::writeScratchFile(built.data(), built.size())) == 0, "a built pack opens");
    for (const PackInput& file : files)
        fuzz::check(pack.read(file.name) == file.bytes, "every file reads back byte for byte", file.name);
    return 0;
}
