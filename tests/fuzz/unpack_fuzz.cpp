// Raw unpack: the input is one packed stream. It restores exactly the size
// its header announces, or is refused in one line.
#include "resources/unpack.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint32_t announced = size >= 4 ? wordAt(data) & pack::kSizeMask : 0;
    // Honest streams of many MiB are legal but slow to fill; the unit tests
    // cover the largest.
    if (announced > fuzz::kMaxAnnouncedToRead) return 0;
    try {
        const std::vector<uint8_t> out = unpack({data, size});
        fuzz::check(out.size() == announced, "the output has the announced size");
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
    }
    return 0;
}
