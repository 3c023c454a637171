// Reads the pack's directory once, then hands out one file's bytes per call,
// unpacking packed ones; names missing from the pack come from loose files.
// Sizes and offsets from the directory are checked against the real file, and
// a pack whose files announce more than kMaxAnnouncedBytes is refused at open.
#include "resources/pack_file.h"

#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/files.h"
#include "resources/byte_fields.h"
#include "resources/load_error.h"
#include "resources/pack_listing.h"
#include "resources/unpack.h"
#include "resources/upper_case.h"

namespace {

// Loose files are read whole; none of the presentation's is near this size.
constexpr uint64_t kMaxLooseFileBytes = 256u << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The name field is meant to hold a NUL; a full field is taken as 20 characters.
std::string entryName(const PackEntry& entry) {
    return std::string(entry.name, strnlen(entry.name, pack::kNameSize));
}

// Length of an open file, by seeking to its end; leaves it at the start.
int64_t fileLength(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long length = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) return -1;
    return length;
}

void readExactly(std::FILE* file, uint8_t* into, size_t count, const std::string& what) {
    if (count != 0 && std::fread(into, 1, count, file) != count)
        throw LoadError(what + ": reading the file failed");
}

// `count` bytes at `offset` by positioned reads: no seek, and no stream buffer
// filled for the few bytes of a header (records are read in any order).
bool readAt(std::FILE* file, uint64_t offset, uint8_t* into, size_t count) {
    return readFileAt(file, offset, into, count);
}

std::optional<std::vector<uint8_t>> readLooseFile(const std::string& name) {
    FileHandle file(std::fopen(name.c_str(), "rb"));
    if (!file) return std::nullopt;
    if (!isRegularFile(file.get())) throw LoadError(name + ": not a regular file");
    const int64_t length = fileLength(file.get());
    if (length < 0) throw LoadError(name + ": cannot take the file's length");
    if (static_cast<uint64_t>(length) > kMaxLooseFileBytes)
        throw LoadError(name + ": file of " + std::to_string(length) + " bytes is larger than the limit of " +
                        std::to_string(kMaxLooseFileBytes));
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    readExactly(file.get(), bytes.data(), bytes.size(), name);
    return bytes;
}

}  // namespace

PackFile::~PackFile() { close(); }

void PackFile::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    entries_.clear();
    upperNames_.clear();
    searchable_ = 0;
    announced_ = 0;
}

int PackFile::open(const std::string& path) {
    close();
    path_ = path;

    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) return -1;
    const int64_t length = fileLength(file.get());
    if (length < 0) throw LoadError(path + ": cannot take the file's length");
    fileSize_ = static_cast<uint64_t>(length);

    uint8_t countBytes[4];
    if (fileSize_ < sizeof countBytes) throw LoadError(path + ": file too short for a directory");
    readExactly(file.get(), countBytes, sizeof countBytes, path);
    const uint32_t count = wordAt(countBytes);
    if (count > pack::kMaxRecords)
        throw LoadError(path + ": directory of " + std::to_string(count) + " records, more than 100");
    if (4 + uint64_t{count} * pack::kRecordSize > fileSize_)
        throw LoadError(path + ": directory of " + std::to_string(count) +
                        " records is larger than the file");

    entries_.resize(count);
    for (PackEntry& entry : entries_) {
        uint8_t record[pack::kRecordSize];
        readExactly(file.get(), record, sizeof record, path);
        entry.flags = wordAt(record);
        entry.offset = wordAt(record + 4);
        entry.size = wordAt(record + 8);
        std::memcpy(entry.name, record + 12, pack::kNameSize);
    }
    // The last record is read but never matched by name.
    searchable_ = count > 0 ? static_cast<int>(count) - 1 : 0;
    for (int i = 0; i < searchable_; ++i) upperNames_.push_back(upperCase(entryName(entries_[i])));
    file_ = file.release();
    try {
        const std::vector<PackListing> files = listSearchable();
        announced_ = ::announcedBytes(files);
        checkAnnouncedBytes(path, files);
    } catch (const LoadError&) {
        close();  // refused: nothing of this pack may be read
        throw;
    }
    return 0;
}

std::vector<PackListing> PackFile::listSearchable() {
    std::vector<PackListing> files;
    for (int i = 0; i < searchable_; ++i) {
        const PackEntry& entry = entries_[i];
        // A record that runs past the end or is too short for its header
        // announces nothing: reading it fails with its own message.
        if (uint64_t{entry.offset} + entry.size > fileSize_) continue;
        const bool packed = (entry.flags & pack::kPackedFlags) != 0;
        uint32_t unpacked = entry.size;
        if (packed) {
            uint8_t header[4];
            if (entry.size < sizeof header) continue;
            if (!readAt(file_, entry.offset, header, sizeof header))
                throw LoadError(path_ + ": reading the header of " + entryName(entry) + " failed");
            unpacked = wordAt(header) & pack::kSizeMask;
        }
        files.push_back({entryName(entry), packed, entry.offset, entry.size, unpacked});
    }
    return files;
}

const PackEntry* PackFile::findEntry(const std::string& name) const {
    const std::string wanted = upperCase(name);
    for (int i = 0; i < searchable_; ++i)
        if (upperNames_[i] == wanted) return &entries_[i];
    return nullptr;
}

uint32_t PackFile::entrySize(const std::string& name) const {
    const PackEntry* entry = findEntry(name);
    return entry ? entry->size : 0;
}

std::optional<std::vector<uint8_t>> PackFile::read(const std::string& name) {
    const PackEntry* entry = findEntry(name);
    if (!entry) {
        // A loose file of the working folder wins, then one beside the pack.
        std::optional<std::vector<uint8_t>> loose = readLooseFile(name);
        const std::string folder = std::filesystem::path(path_).parent_path().string();
        if (!loose && !folder.empty()) loose = readLooseFile((std::filesystem::path(folder) / name).string());
        return loose;
    }

    if (uint64_t{entry->offset} + entry->size > fileSize_)
        throw LoadError(path_ + ": " + name + " (offset " + std::to_string(entry->offset) + ", " +
                        std::to_string(entry->size) + " bytes) runs past the end of the pack");
    std::vector<uint8_t> stored(entry->size);
    std::printf("Loading [%s]\n", printable(upperCase(entryName(*entry))).c_str());
    if (!readAt(file_, entry->offset, stored.data(), stored.size()))
        throw LoadError(path_ + ": " + name + ": reading the file failed");

    if ((entry->flags & pack::kPackedFlags) == 0) return stored;
    try {
        return unpack(stored);
    } catch (const LoadError& problem) {
        throw LoadError(name + ": " + problem.what());
    }
}
