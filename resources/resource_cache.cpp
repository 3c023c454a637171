// Files every resource under its upper-case name: pictures decoded once into
// Images (".S3T" ones under their ".TGA" name too), other files as raw bytes.
// Lookups are linear over the filed names, in filing order. Names whose pack
// records repeat one stored range share one resource, and the whole cache
// holds at most its limit of bytes.
#include "resources/resource_cache.h"

#include <cstring>

#include "resources/jpeg.h"
#include "resources/load_error.h"
#include "resources/tga.h"
#include "resources/upper_case.h"

namespace {

bool hasExtension(const std::string& upperName, const char* extension) {
    return upperName.size() >= 4 && upperName.compare(upperName.size() - 4, 4, extension) == 0;
}

// The name with its last three letters replaced by `extension` (upper case),
// each letter taking the case of the one it replaces: "pic.tga" becomes
// "pic.s3t", the name a loose file found by its exact name may have.
std::string withExtension(const std::string& name, const char* extension) {
    std::string result = name;
    for (size_t i = 0; i < 3; ++i) {
        const char original = name[name.size() - 3 + i];
        char replacement = extension[i + 1];
        if (original >= 'a' && original <= 'z' && replacement >= 'A' && replacement <= 'Z')
            replacement = static_cast<char>(replacement - 'A' + 'a');
        result[result.size() - 3 + i] = replacement;
    }
    return result;
}

void checkNameLength(const std::string& name) {
    if (name.size() > static_cast<size_t>(ResourceCache::kMaxNameLength))
        throw LoadError(name + ": name longer than 47 characters");
}

// Runs a decoder and puts the file's name in front of its problem text; the
// unsupported-depth message of TGA stays exactly as it is.
std::shared_ptr<Image> decodeNamed(const std::string& name, Image (*decoder)(std::span<const uint8_t>),
                                   const std::vector<uint8_t>& bytes) {
    try {
        return std::make_shared<Image>(decoder(bytes));
    } catch (const LoadError& problem) {
        if (std::strcmp(problem.what(), kUnsupportedTgaDepth) == 0) throw;
        throw LoadError(name + ": " + problem.what());
    }
}

}  // namespace

ResourceCache::ResourceCache(const std::string& packPath, uint64_t maxHeldBytes)
    : maxHeldBytes_(maxHeldBytes) {
    slots_.reserve(kMaxSlots);
    pack_.open(packPath);
}

Resource& ResourceCache::get(const std::string& name) { return *slots_[indexOf(name)].resource; }

Image& ResourceCache::getImage(const std::string& name) {
    Resource& resource = get(name);
    if (!resource.image) throw LoadError(name + ": not a picture");
    return *resource.image;
}

std::span<uint8_t> ResourceCache::getBytes(const std::string& name) {
    Resource& resource = get(name);
    if (resource.image) throw LoadError(name + ": a picture, not raw bytes");
    return resource.bytes;
}

void ResourceCache::put(const std::string& name, std::shared_ptr<Resource> resource) {
    checkNameLength(name);
    const int index = find(name);
    if (index < 0) {
        addSlot(upperCase(name), std::move(resource));
        return;
    }
    replaced_.push_back(std::move(slots_[index].resource));
    slots_[index].resource = std::move(resource);
}

int ResourceCache::find(const std::string& name) const {
    const std::string wanted = upperCase(name);
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].upperName == wanted) return static_cast<int>(i);
    return -1;
}

int ResourceCache::indexOf(const std::string& name) {
    int index = find(name);
    if (index >= 0) return index;
    load(name);
    index = find(name);
    if (index < 0 && hasExtension(upperCase(name), ".TGA")) {
        // The ".S3T" name first; then, for a loose file on a file system that
        // minds case, the same with the letters' case of the name kept.
        const std::string s3t = name.substr(0, name.size() - 4) + ".S3T";
        load(s3t);
        index = find(name);
        const std::string caseKept = withExtension(name, ".S3T");
        if (index < 0 && caseKept != s3t) {
            load(caseKept);
            index = find(name);
        }
    }
    if (index < 0) throw LoadError("file not included exit");
    return index;
}

void ResourceCache::addSlot(const std::string& upperName, std::shared_ptr<Resource> resource) {
    if (slots_.size() >= static_cast<size_t>(kMaxSlots))
        throw LoadError(upperName + ": resource cache is full (4000 files)");
    slots_.push_back({upperName, std::move(resource)});
}

void ResourceCache::load(const std::string& name) {
    checkNameLength(name);
    const std::string upperName = upperCase(name);
    const bool s3t = hasExtension(upperName, ".S3T");
    // An S3T picture takes two slots; refuse before reading rather than after.
    if (slots_.size() + (s3t ? 2 : 1) > static_cast<size_t>(kMaxSlots))
        throw LoadError(name + ": resource cache is full (4000 files)");

    std::shared_ptr<Resource> resource;
    const PackEntry* entry = pack_.findEntry(name);
    if (entry) {
        // Records repeating one stored range share what was made of it.
        const StoredKey key{entry->offset, entry->size, (entry->flags & pack::kPackedFlags) != 0,
                            upperName.substr(upperName.size() >= 4 ? upperName.size() - 4 : 0)};
        std::shared_ptr<Resource>& shared = byStoredBytes_[key];
        if (!shared) shared = readResource(name, upperName);
        resource = shared;
    } else {
        resource = readResource(name, upperName);
    }
    if (!resource) return;

    addSlot(upperName, resource);
    if (s3t) addSlot(withExtension(upperName, ".TGA"), resource);
}

// Reads one file and decodes it by its extension; nothing when neither the
// pack nor a loose file has it.
std::shared_ptr<Resource> ResourceCache::readResource(const std::string& name, const std::string& upperName) {
    std::optional<std::vector<uint8_t>> bytes = pack_.read(name);
    if (!bytes) return nullptr;

    auto resource = std::make_shared<Resource>();
    if (hasExtension(upperName, ".S3T"))
        resource->image = decodeNamed(name, decodeS3t, *bytes);
    else if (hasExtension(upperName, ".TGA"))
        resource->image = decodeNamed(name, decodeTga, *bytes);
    else if (hasExtension(upperName, ".JPG"))
        resource->image = decodeNamed(name, decodeJpeg, *bytes);
    else
        resource->bytes = std::move(*bytes);

    const uint64_t held =
        resource->image ? resource->image->pixels.size() * sizeof(uint32_t) : resource->bytes.size();
    if (heldBytes_ + held > maxHeldBytes_)
        throw LoadError(name + ": the resources read pass the cache's limit of " +
                        std::to_string(maxHeldBytes_) + " bytes");
    heldBytes_ += held;
    return resource;
}
