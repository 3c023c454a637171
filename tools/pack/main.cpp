// zedariva-pack: creates pack files from loose files, lists them and extracts
// them again. Every problem is one line naming the file, and a non-zero exit.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "resources/load_error.h"
#include "resources/pack_format.h"
#include "resources/pack_listing.h"
#include "resources/pack_writer.h"
#include "resources/upper_case.h"

namespace {

namespace fs = std::filesystem;

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

// A problem with one named file: reported as "zedariva-pack: FILE: problem".
struct ToolError : std::runtime_error {
    ToolError(const std::string& file, const std::string& problem)
        : std::runtime_error(printable(file + ": " + problem)) {}
};

int usage() {
    std::fprintf(stderr,
                 "usage: zedariva-pack create OUT.fil FILE...\n"
                 "       zedariva-pack list PACK\n"
                 "       zedariva-pack extract PACK [DIR]\n");
    return kExitUsage;
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        throw ToolError(path, fs::exists(path, error) ? "not a regular file" : "no such file");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw ToolError(path, "cannot open for reading");
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw ToolError(path, "read failed");
    }
    return bytes;
}

void writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw ToolError(path, "cannot open for writing");
    }
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw ToolError(path, "write failed");
    }
}

std::vector<PackListing> listOrFail(const std::string& packPath, const std::vector<uint8_t>& pack) {
    try {
        return listPack(pack);
    } catch (const LoadError& error) {
        throw ToolError(packPath, error.what());
    }
}

int create(const std::string& outPath, const std::vector<std::string>& inputs) {
    std::vector<PackInput> files;
    for (const std::string& input : inputs) {
        files.push_back({fs::path(input).filename().string(), readWholeFile(input)});
    }
    try {
        writePack(outPath, files);
    } catch (const std::invalid_argument& error) {
        throw ToolError(outPath, error.what());
    } catch (const std::length_error& error) {
        throw ToolError(outPath, error.what());
    }
    return 0;
}

int list(const std::string& packPath) {
    const std::vector<uint8_t> pack = readWholeFile(packPath);
    const std::vector<PackListing> files = listOrFail(packPath, pack);
    std::printf("%-19s %10s %10s\n", "name", "stored", "unpacked");
    for (const PackListing& file : files) {
        std::printf("%-19s %10u %10u%s\n", printable(file.name).c_str(), file.storedSize, file.unpackedSize,
                    file.packed ? "" : "  (not packed)");
    }
    return 0;
}

// A pack name is written only as a plain file name inside the target folder.
bool isSafeName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

// Control characters make file names no one can type or list safely.
bool isPrintableName(const std::string& name) { return printable(name) == name; }

// The files extract writes: the first record of each name (without regard
// to case, as the reader serves it); later ones are skipped with a note.
std::vector<PackListing> filesToWrite(const std::string& packPath, const std::vector<PackListing>& files) {
    std::vector<PackListing> chosen;
    std::vector<std::string> names;  // upper case
    for (const PackListing& file : files) {
        const std::string upper = upperCase(file.name);
        if (std::find(names.begin(), names.end(), upper) != names.end()) {
            std::fprintf(stderr,
                         "zedariva-pack: %s: skipped \"%s\", a later record of a name already extracted\n",
                         printable(packPath).c_str(), printable(file.name).c_str());
            continue;
        }
        names.push_back(upper);
        chosen.push_back(file);
    }
    return chosen;
}

// Free bytes for an unprivileged writer in `dir`, or in the nearest folder
// above it that exists when it is still to be made.
uint64_t freeBytes(const fs::path& dir) {
    fs::path at = fs::absolute(dir);
    std::error_code error;
    while (!fs::exists(at, error) && at.has_parent_path() && at != at.parent_path()) {
        at = at.parent_path();
    }
    const fs::space_info space = fs::space(at, error);
    return error ? 0 : space.available;
}

// Refuses, before anything is written, an extraction larger than the limit
// every reader keeps or than the target folder's free space.
void checkRoomToWrite(const std::string& packPath, const std::string& dir, const std::vector<PackListing>& files) {
    uint64_t total = 0;
    for (const PackListing& file : files) {
        total += file.unpackedSize;
    }
    if (total > pack::kMaxAnnouncedBytes) {
        throw ToolError(packPath, "extracting would write " + std::to_string(total) +
                                      " bytes, more than the limit of " + std::to_string(pack::kMaxAnnouncedBytes));
    }
    const uint64_t available = freeBytes(dir);
    if (total > available) {
        throw ToolError(dir, "extracting " + packPath + " needs " + std::to_string(total) + " bytes, the folder has " +
                                 std::to_string(available) + " bytes free");
    }
}

int extract(const std::string& packPath, const std::string& dir) {
    const std::vector<uint8_t> pack = readWholeFile(packPath);
    const std::vector<PackListing> listed = listOrFail(packPath, pack);
    checkAnnouncedBytes(packPath, listed);
    for (const PackListing& file : listed) {
        if (!isSafeName(file.name)) {
            throw ToolError(packPath, "file name \"" + file.name + "\" would escape the folder");
        }
        if (!isPrintableName(file.name)) {
            throw ToolError(packPath, "file name \"" + file.name + "\" holds a control character");
        }
    }
    const std::vector<PackListing> files = filesToWrite(packPath, listed);
    checkRoomToWrite(packPath, dir, files);
    std::error_code error;
    fs::create_directories(dir, error);
    if (!fs::is_directory(dir, error)) {
        throw ToolError(dir, "cannot create the folder");
    }
    for (const PackListing& file : files) {
        std::vector<uint8_t> bytes;
        try {
            bytes = extractFile(pack, file);
        } catch (const LoadError& error) {
            throw ToolError(packPath, "\"" + file.name + "\": " + error.what());
        }
        writeWholeFile((fs::path(dir) / file.name).string(), bytes);
    }
    return 0;
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) {
        return usage();
    }
    const std::string& command = args[0];
    if (command == "create" && args.size() >= 3) {
        return create(args[1], {args.begin() + 2, args.end()});
    }
    if (command == "list" && args.size() == 2) {
        return list(args[1]);
    }
    if (command == "extract" && (args.size() == 2 || args.size() == 3)) {
        return extract(args[1], args.size() == 3 ? args[2] : ".");
    }
    return usage();
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run({argv + 1, argv + argc});
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zedariva-pack: %s\n", error.what());
        return kExitError;
    }
}
