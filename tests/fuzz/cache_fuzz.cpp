// The resource cache over a whole pack: the input is the pack. Every name is
// asked for twice; a picture name gives a well-formed picture, any other name
// its raw bytes, the second request the very same resource, and a failure is
// one line.
#include <set>
#include <tuple>

#include "resources/pack_file.h"
#include "resources/resource_cache.h"
#include "resources/upper_case.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// What the cache may hold here: small packs can still decode to large
// pictures, and the harness keeps each run quick.
constexpr uint64_t kMaxHeldBytes = 64u << 20;

bool isPictureName(const std::string& name) {
    if (name.size() < 4) return false;
    const std::string extension = upperCase(name.substr(name.size() - 4));
    return extension == ".JPG" || extension == ".TGA" || extension == ".S3T";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const std::string& path = fuzz::writeScratchFile(data, size);
    PackFile pack;  // the records behind the names, as the cache sees them
    std::unique_ptr<ResourceCache> cache;
    try {
        pack.open(path);
        if (pack.announcedBytes() > fuzz::kMaxAnnouncedToRead) return 0;
        cache = std::make_unique<ResourceCache>(path, kMaxHeldBytes);
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
        return 0;
    }
    // A record that failed to load as one kind fails again under every name
    // of that kind: it is tried once (99 damaged copies would otherwise
    // spend the run in errors).
    std::set<std::tuple<uint32_t, uint32_t, uint32_t, std::string>> failed;
    for (const std::string& name : fuzz::searchableNames(bytes)) {
        if (name.empty() || name.size() > static_cast<size_t>(ResourceCache::kMaxNameLength)) continue;
        const PackEntry* entry = pack.findEntry(name);
        fuzz::check(entry != nullptr, "every searchable name is found", name);
        const auto key = std::make_tuple(entry->offset, entry->size, entry->flags & pack::kPackedFlags,
                                         upperCase(name.substr(name.size() < 4 ? 0 : name.size() - 4)));
        if (failed.count(key)) continue;
        try {
            Resource& first = cache->get(name);
            fuzz::check(&cache->get(name) == &first, "a second request returns the same resource", name);
            fuzz::check(cache->find(name) >= 0, "a loaded name is filed", name);
            fuzz::check((first.image != nullptr) == isPictureName(name), "pictures by name, raw bytes otherwise",
                        name);
            if (first.image) {
                fuzz::check(first.image->width > 0 && first.image->height > 0, "a picture has a size", name);
                fuzz::checkPicture(*first.image, name);
            }
        } catch (const LoadError& error) {
            fuzz::checkOneLine(error);
            failed.insert(key);
        }
    }
    return 0;
}
