// Reader of the pack file "data.fil": a directory of named files, some stored
// packed. Files missing from the pack are read as loose files. Used by ResourceCache.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "resources/pack_format.h"
#include "resources/pack_listing.h"

struct PackEntry {
    uint32_t flags = 0;
    uint32_t offset = 0;
    uint32_t size = 0;
    char name[pack::kNameSize] = {};
};

class PackFile {
public:
    PackFile() = default;
    ~PackFile();
    PackFile(const PackFile&) = delete;
    PackFile& operator=(const PackFile&) = delete;

    // 0 on success, -1 when the file cannot be opened (every read then falls
    // through to loose files). Throws LoadError "<path>: <problem>" for a
    // malformed directory, or when the files announce more than
    // pack::kMaxAnnouncedBytes unpacked (checked before anything is unpacked).
    int open(const std::string& path);
    const PackEntry* findEntry(const std::string& name) const;
    // What the searchable records inside the pack announce unpacked, a
    // repeated record counted once (0 when no pack is open).
    uint64_t announcedBytes() const { return announced_; }
    uint32_t entrySize(const std::string& name) const;
    // The file's bytes (unpacked), or nothing when neither the pack nor a loose
    // file has the name. Prints "Loading [NAME]" for files taken from the pack.
    // Throws LoadError naming the file when its record points past the end of
    // the pack, its packed stream is damaged, or a loose file cannot be read.
    std::optional<std::vector<uint8_t>> read(const std::string& name);

private:
    void close();
    // The searchable records whose bytes lie inside the pack, with the size
    // each announces (a packed stream's header is read for it).
    std::vector<PackListing> listSearchable();

    std::FILE* file_ = nullptr;
    std::string path_;
    uint64_t fileSize_ = 0;
    std::vector<PackEntry> entries_;
    std::vector<std::string> upperNames_;  // of the searchable records, for lookups
    int searchable_ = 0;  // records 0 .. N-2; the last one is never matched
    uint64_t announced_ = 0;
};
