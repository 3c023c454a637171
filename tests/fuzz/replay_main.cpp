// Replays fuzz inputs through one harness without libFuzzer: each argument is
// an input file or a folder of them (its files in name order). Any broken
// rule aborts; otherwise it prints how many inputs ran.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/fuzz_support.h"

namespace {

namespace fs = std::filesystem;

void replay(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) fuzz::fail("an input can be read", path.string());
    std::fprintf(stderr, "replaying %s (%zu bytes)\n", path.c_str(), bytes.size());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    // Every path is made absolute first: harnesses work in a folder of their own.
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path argument = fs::absolute(argv[i]);
        if (!fs::is_directory(argument)) {
            inputs.push_back(argument);
            continue;
        }
        std::vector<fs::path> folder;
        for (const fs::directory_entry& entry : fs::directory_iterator(argument))
            if (entry.is_regular_file()) folder.push_back(entry.path());
        std::sort(folder.begin(), folder.end());
        inputs.insert(inputs.end(), folder.begin(), folder.end());
    }
    for (const fs::path& input : inputs) replay(input);
    std::fprintf(stderr, "replayed %zu inputs\n", inputs.size());
    return inputs.empty() ? 1 : 0;
}
