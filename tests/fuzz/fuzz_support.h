// What every fuzz harness shares: checks that stop the run with the broken
// rule, a scratch file (readers that take a path get the input through it),
// and the names a pack's directory offers. Each harness
// defines LLVMFuzzerTestOneInput; libFuzzer or the replay driver calls it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "resources/byte_fields.h"
#include "resources/image.h"
#include "resources/load_error.h"
#include "resources/pack_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

// A rule the reader broke: libFuzzer saves the input as a crash reproducer.
[[noreturn]] inline void fail(const char* rule, std::string_view detail = {}) {
    std::fprintf(stderr, "fuzz check failed: %s %.*s\n", rule, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline void check(bool holds, const char* rule, std::string_view detail = {}) {
    if (!holds) fail(rule, detail);
}

// A decoded picture holds width x height pixels of 32 bits, and no pixel has
// bits above 0x00RRGGBB.
inline void checkPicture(const Image& image, std::string_view detail = {}) {
    check(image.bitsPerPixel == 32 &&
              image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height),
          "a picture holds width x height pixels of 32 bits", detail);
    uint32_t all = 0;
    for (const uint32_t pixel : image.pixels) all |= pixel;
    check(all >> 24 == 0, "pixels are 0x00RRGGBB", detail);
}

// Every refusal is one line of printable text, whatever names the file holds.
inline void checkOneLine(const LoadError& error) {
    const std::string message = error.what();
    check(!message.empty(), "an error says something");
    for (const char c : message)
        check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F, "an error is one line of printable text", message);
}

// Packs and streams announcing more than this are only opened, not read: a
// legal 64 MiB record takes tens of milliseconds, which would starve the
// search (the unit tests read the largest).
constexpr uint64_t kMaxAnnouncedToRead = 256u << 10;

struct ScratchFile {
    int descriptor;
    std::string path;  // opens the same file for readers that take a path
};

// The scratch file lives in memory: rewriting a file on disk costs more than
// reading it. Standard output, where readers print their progress lines, is
// discarded. (The working folder stays: libFuzzer reads its corpus through
// relative paths. Harnesses ask only for names the pack holds, so no loose
// file is ever looked for.)
inline const ScratchFile& scratchFile() {
    static const ScratchFile file = [] {
        if (std::freopen("/dev/null", "w", stdout) == nullptr) fail("standard output can be discarded");
        const int descriptor = memfd_create("zd-fuzz-input", 0);
        if (descriptor < 0) fail("a file in memory can be made");
        return ScratchFile{descriptor, "/proc/self/fd/" + std::to_string(descriptor)};
    }();
    return file;
}

// Replaces the scratch file's content by the input; returns its path.
inline const std::string& writeScratchFile(const uint8_t* data, size_t size) {
    const ScratchFile& file = scratchFile();
    if (ftruncate(file.descriptor, 0) != 0 ||
        (size > 0 && pwrite(file.descriptor, data, size, 0) != static_cast<ssize_t>(size)))
        fail("the scratch file can be written");
    return file.path;
}

// The names of the records a reader searches (all but the last), as far as
// the directory lies inside `bytes`; a full 20-byte name field counts whole.
inline std::vector<std::string> searchableNames(std::span<const uint8_t> bytes) {
    std::vector<std::string> names;
    if (bytes.size() < 4) return names;
    const uint32_t count = wordAt(bytes.data());
    for (uint32_t k = 0; k + 1 < count && k < pack::kMaxRecords; ++k) {
        const size_t at = 4 + size_t{k} * pack::kRecordSize + 12;
        if (at + pack::kNameSize > bytes.size()) break;
        const char* name = reinterpret_cast<const char*>(bytes.data() + at);
        names.emplace_back(name, strnlen(name, pack::kNameSize));
    }
    return names;
}

}  // namespace fuzz
