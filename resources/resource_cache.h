// The one source of resources by file name: pictures decoded once into Images,
// every other file kept as its raw (unpacked) bytes. Used by main and the scenes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "resources/image.h"
#include "resources/pack_file.h"

// What one cache slot holds: a picture, or the raw bytes of any other file.
// Two slots may share one Resource (a ".S3T" picture filed under ".TGA" too).
struct Resource {
    std::shared_ptr<Image> image;  // set for ".JPG", ".TGA", ".S3T" names
    std::vector<uint8_t> bytes;    // set for every other name
};

class ResourceCache {
public:
    static constexpr int kMaxSlots = 4000;
    static constexpr int kMaxNameLength = 47;
    // Most bytes of decoded pictures and raw files the cache holds in all: a
    // few small packed files can decode into far larger pictures.
    static constexpr uint64_t kMaxHeldBytes = uint64_t{1} << 30;

    // Opens the pack; a pack that cannot be opened leaves only loose files.
    // Throws LoadError for a pack whose directory is damaged or that announces
    // more than pack::kMaxAnnouncedBytes. `maxHeldBytes` bounds what the cache
    // holds (tests and the fuzz harness take less).
    explicit ResourceCache(const std::string& packPath, uint64_t maxHeldBytes = kMaxHeldBytes);

    // The resource filed under `name` (any letter case), loading and decoding
    // it on first use. A name found nowhere throws LoadError "file not included
    // exit"; a damaged file throws LoadError "<name>: <problem>" (a TGA of
    // another depth: "Error, unsupported TGA type!(bitdepth problem)"). main
    // prints the message and exits with -1; so does a load that would take
    // the cache past kMaxHeldBytes. Names whose pack records repeat the same
    // stored bytes share one Resource (per kind: picture or raw), read once.
    // References stay valid for the cache's lifetime: nothing filed is ever
    // released, not even by put().
    Resource& get(const std::string& name);
    Image& getImage(const std::string& name);              // throws LoadError if not a picture
    std::span<uint8_t> getBytes(const std::string& name);  // throws LoadError for a picture

    // Files `resource` under `name`: replaces the slot's resource when the name
    // is filed (the old one stays alive), else takes the next slot.
    void put(const std::string& name, std::shared_ptr<Resource> resource);
    int find(const std::string& name) const;  // slot index or -1; never loads
    int indexOf(const std::string& name);     // slot index, loading if needed
    int count() const { return static_cast<int>(slots_.size()); }

private:
    void load(const std::string& name);
    std::shared_ptr<Resource> readResource(const std::string& name, const std::string& upperName);
    void addSlot(const std::string& upperName, std::shared_ptr<Resource> resource);

    // A pack record's stored bytes and how they are decoded (the extension).
    using StoredKey = std::tuple<uint32_t, uint32_t, bool, std::string>;

    struct Slot {
        std::string upperName;
        std::shared_ptr<Resource> resource;
    };
    PackFile pack_;
    std::vector<Slot> slots_;
    std::vector<std::shared_ptr<Resource>> replaced_;  // kept alive for earlier callers
    std::map<StoredKey, std::shared_ptr<Resource>> byStoredBytes_;
    uint64_t maxHeldBytes_;
    uint64_t heldBytes_ = 0;  // decoded pictures and raw files read so far
};
