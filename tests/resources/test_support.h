// Helpers of the resource tests: a scratch folder to work in, files written
// by hand, packs and packed streams assembled bit by bit.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "resources/load_error.h"
#include "resources/pack_format.h"

using Bytes = std::vector<uint8_t>;

inline void putWord(Bytes& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    if (!bytes.empty()) {
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    std::fclose(file);
}

inline Bytes readFile(const std::string& path) {
    Bytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
    return bytes;
}

// Runs each test inside a fresh temporary folder, so loose files and packs
// are found relative to the working directory as at run time.
class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        char pattern[] = "/tmp/zd-res-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }
    std::filesystem::path folder_;

private:
    std::filesystem::path previous_;
};

// One file of a hand-made pack.
struct PackItem {
    std::string name;
    Bytes stored;
    uint32_t flags = 0;  // pack::kPackedFlags bits mark `stored` as a packed stream
};

// Directory (one record per item; readers never match the last one), then
// the stored bytes in order.
inline Bytes makePack(const std::vector<PackItem>& items) {
    Bytes out;
    putWord(out, static_cast<uint32_t>(items.size()));
    uint32_t offset = 4 + pack::kRecordSize * static_cast<uint32_t>(items.size());
    for (const PackItem& item : items) {
        putWord(out, item.flags);
        putWord(out, offset);
        putWord(out, static_cast<uint32_t>(item.stored.size()));
        char name[pack::kNameSize] = {};
        item.name.copy(name, pack::kNameSize - 1);
        out.insert(out.end(), name, name + pack::kNameSize);
        offset += static_cast<uint32_t>(item.stored.size());
    }
    for (const PackItem& item : items) out.insert(out.end(), item.stored.begin(), item.stored.end());
    return out;
}

// Assembles a packed stream: header word, escape byte, code table entries,
// end mark, then bits least significant first.
class StreamBuilder {
public:
    StreamBuilder(uint32_t header, uint8_t escape) : escape_(escape) {
        putWord(bytes_, header);
        bytes_.push_back(escape);
    }

    // A table entry: symbol, code length, then the code bytes (bit 0 first).
    StreamBuilder& code(int symbol, int length, uint64_t bits) {
        if (symbol < 256 && symbol != escape_) {
            bytes_.push_back(static_cast<uint8_t>(symbol));
        } else {
            const int word = symbol == escape_ ? pack::kEscapedLiteral : symbol;
            bytes_.push_back(escape_);
            bytes_.push_back(static_cast<uint8_t>(word));
            bytes_.push_back(static_cast<uint8_t>(word >> 8));
        }
        bytes_.push_back(static_cast<uint8_t>(length));
        const int count = length == 0 ? 1 : (length + 7) / 8;
        for (int i = 0; i < count; ++i) bytes_.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        return *this;
    }

    StreamBuilder& endTable() {
        bytes_.push_back(escape_);
        bytes_.push_back(pack::kTableEnd);
        return *this;
    }

    // n bits of value, least significant first.
    StreamBuilder& bits(uint64_t value, int n) {
        for (int i = 0; i < n; ++i) {
            if (bitCount_ % 8 == 0) bytes_.push_back(0);
            bytes_.back() |= static_cast<uint8_t>(((value >> i) & 1) << (bitCount_ % 8));
            ++bitCount_;
        }
        return *this;
    }

    Bytes bytes() const { return bytes_; }

private:
    Bytes bytes_;
    uint8_t escape_;
    int bitCount_ = 0;
};

// The one-line message of the LoadError that `action` throws, or a note that
// it threw none.
template <typename Action>
std::string loadErrorOf(Action&& action) {
    try {
        action();
    } catch (const LoadError& error) {
        return error.what();
    }
    return "(no LoadError)";
}

// The process's peak resident memory so far (VmHWM), in KiB.
inline long peakResidentKib() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = -1;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> value;
            break;
        }
    }
    return value;
}

// Runs `action` in a forked child and returns how far the child's peak
// resident memory rose above what it started with, in KiB (-1 when the child
// could not report). A child starts with its parent's pages resident, so only
// what `action` itself touches counts.
template <typename Action>
long peakGrowthKib(Action&& action) {
    int ends[2];
    if (pipe(ends) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        const long before = peakResidentKib();
        try {
            action();
        } catch (...) {
        }
        const long growth = peakResidentKib() - before;
        const ssize_t written = write(ends[1], &growth, sizeof growth);
        _exit(written == sizeof growth ? 0 : 1);
    }
    close(ends[1]);
    long growth = -1;
    if (read(ends[0], &growth, sizeof growth) != sizeof growth) growth = -1;
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return growth;
}
