// Frame hashes, a line each, in a text file renamed into place when complete.
#include "app/capture_hashes.h"

#include <cerrno>
#include <cstring>

#include "platform/files.h"

namespace {

const char* const kPartSuffix = ".part";

bool fail(CaptureHashes& capture, const std::string& path, int error) {
    capture.error = "cannot write '" + path + "': " + std::strerror(error);
    return false;
}

}  // namespace

uint64_t fnv1a64(const uint8_t* bytes, size_t count) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < count; ++i) {
        hash ^= bytes[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

bool openCaptureHashes(CaptureHashes& capture, const std::string& path, int scale) {
    capture.path = path;
    const std::string part = path + kPartSuffix;
    capture.file = std::fopen(part.c_str(), "wb");
    if (!capture.file) return fail(capture, part, errno);
    prepareTgaFrame(capture.tga, scale);
    return true;
}

bool writeHashesFrame(CaptureHashes& capture, const uint32_t* frame, int64_t index) {
    encodeTgaFrame(capture.tga, frame);
    const uint64_t hash = fnv1a64(capture.tga.file.data(), capture.tga.file.size());
    const int length = std::fprintf(capture.file, "%05lld %016llx\n", static_cast<long long>(index),
                                    static_cast<unsigned long long>(hash));
    if (length < 0) return fail(capture, capture.path + kPartSuffix, errno);
    capture.written_bytes += static_cast<uint64_t>(length);
    return true;
}

bool finishCaptureHashes(CaptureHashes& capture) {
    const std::string part = capture.path + kPartSuffix;
    std::FILE* file = capture.file;
    capture.file = nullptr;
    if (std::fclose(file) != 0) {
        const int error = errno;
        std::remove(part.c_str());
        return fail(capture, part, error);
    }
    if (!replaceFile(part.c_str(), capture.path.c_str())) {
        const int error = errno;
        std::remove(part.c_str());
        return fail(capture, capture.path, error);
    }
    return true;
}

void abandonCaptureHashes(CaptureHashes& capture) {
    if (capture.file) std::fclose(capture.file);
    capture.file = nullptr;
    std::remove((capture.path + kPartSuffix).c_str());
}
