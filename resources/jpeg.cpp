// The glue to libjpeg: an error manager that turns the library's fatal errors
// into a long jump back here (never exit()), the in-memory source, and the
// conversion of RGB or grey scanlines into 0x00RRGGBB pixels.
#include "resources/jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

#include "resources/load_error.h"
#include "resources/picture_limits.h"

namespace {

// A progressive file may hold many scans, each a pass over the whole
// picture; more than this is taken as damage rather than waited out.
constexpr int kMaxScans = 500;

struct ErrorTrap {
    jpeg_error_mgr manager;  // first: libjpeg sees only this part
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpBack(j_common_ptr info) {
    ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(info->err);
    std::longjmp(trap->jump, 1);
}

// Replaces libjpeg's error_exit, which would end the process.
[[noreturn]] void trapError(j_common_ptr info) {
    ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(info->err);
    (*info->err->format_message)(info, trap->message);
    jumpBack(info);
}

void limitScans(j_common_ptr info) {
    const j_decompress_ptr decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans) {
        ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(info->err);
        std::snprintf(trap->message, sizeof trap->message, "JPEG has more than %d scans", kMaxScans);
        jumpBack(info);
    }
}

// The source over the bytes in memory: one byte per refill, and past the
// known end an end-of-image marker instead of reading on.
struct MemorySource {
    jpeg_source_mgr manager;  // first: libjpeg sees only this part
    const JOCTET* data;
    size_t size;
    size_t position;
    bool ranOut;  // the end was reached and a marker supplied
};

MemorySource* memorySource(j_decompress_ptr info) { return reinterpret_cast<MemorySource*>(info->src); }

void initSource(j_decompress_ptr info) { memorySource(info)->position = 0; }

boolean fillInputBuffer(j_decompress_ptr info) {
    static const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};
    MemorySource* source = memorySource(info);
    if (source->position < source->size) {
        source->manager.next_input_byte = source->data + source->position;
        source->manager.bytes_in_buffer = 1;
        ++source->position;
    } else {
        source->manager.next_input_byte = kEndOfImage;
        source->manager.bytes_in_buffer = sizeof kEndOfImage;
        source->ranOut = true;
    }
    return TRUE;
}

// Normally called with the one-byte buffer used up, so the skip starts at the
// position; bytes still buffered are skipped first, and the position stops at
// the end.
void skipInputData(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    MemorySource* source = memorySource(info);
    size_t remaining = static_cast<size_t>(count);
    const size_t buffered = source->manager.bytes_in_buffer;
    if (remaining <= buffered) {
        source->manager.next_input_byte += remaining;
        source->manager.bytes_in_buffer -= remaining;
        return;
    }
    remaining -= buffered;
    source->manager.bytes_in_buffer = 0;
    source->position += std::min(remaining, source->size - source->position);
}

void termSource(j_decompress_ptr) {}

void installMemorySource(j_decompress_ptr info, std::span<const uint8_t> bytes) {
    void* record = (*info->mem->alloc_small)(reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT,
                                             sizeof(MemorySource));
    MemorySource* source = static_cast<MemorySource*>(record);
    source->manager.init_source = initSource;
    source->manager.fill_input_buffer = fillInputBuffer;
    source->manager.skip_input_data = skipInputData;
    source->manager.resync_to_restart = jpeg_resync_to_restart;
    source->manager.term_source = termSource;
    source->manager.bytes_in_buffer = 0;
    source->manager.next_input_byte = nullptr;
    source->data = bytes.data();
    source->size = bytes.size();
    source->position = 0;
    source->ranOut = false;
    info->src = &source->manager;
}

// Everything libjpeg works on during one decode.
struct JpegDecoder {
    jpeg_decompress_struct info;
    ErrorTrap errors;
    jpeg_progress_mgr progress;
};

bool fail(JpegDecoder& decoder, const std::string& problem) {
    std::snprintf(decoder.errors.message, sizeof decoder.errors.message, "%s", problem.c_str());
    return false;
}

std::string endedEarly(size_t size) {
    return "JPEG data ends early (the file has " + std::to_string(size) + " bytes)";
}

void storeRow(const JSAMPLE* samples, uint32_t* row, int width, bool grey) {
    if (grey) {
        for (int x = 0; x < width; ++x) row[x] = samples[x] * 0x010101u;
    } else {
        for (int x = 0; x < width; ++x, samples += 3)
            row[x] = (static_cast<uint32_t>(samples[0]) << 16) + (samples[1] << 8) + samples[2];
    }
}

// Runs the library from header to last scanline. Returns false with the
// problem in decoder.errors.message. libjpeg's fatal errors long-jump back to
// the setjmp below; no object with a destructor is alive in this frame when
// that happens (the Image lives in the caller's).
bool runDecoder(JpegDecoder& decoder, std::span<const uint8_t> bytes, Image& image) {
    jpeg_decompress_struct& info = decoder.info;
    info.err = jpeg_std_error(&decoder.errors.manager);
    decoder.errors.manager.error_exit = trapError;
    if (setjmp(decoder.errors.jump)) {
        if (info.src && memorySource(&info)->ranOut) return fail(decoder, endedEarly(bytes.size()));
        return false;
    }
    jpeg_create_decompress(&info);
    decoder.progress.progress_monitor = limitScans;
    info.progress = &decoder.progress;
    installMemorySource(&info, bytes);

    jpeg_read_header(&info, TRUE);
    const bool grey = info.out_color_space == JCS_GRAYSCALE;
    if (!grey && !(info.out_color_space == JCS_RGB && info.num_components == 3))
        return fail(decoder, "JPEG with " + std::to_string(info.num_components) +
                                 " colour components is not supported");
    checkPictureSize("JPEG", info.image_width, info.image_height);
    jpeg_start_decompress(&info);

    image = Image(static_cast<int32_t>(info.output_width), static_cast<int32_t>(info.output_height));
    JSAMPARRAY rowBuffer = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                     info.output_width * 4, 1);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        jpeg_read_scanlines(&info, rowBuffer, 1);
        storeRow(rowBuffer[0], image.row(y), image.width, grey);
    }
    // Every scanline is in. The library reads ahead, so reaching the end may
    // only mean a missing end-of-image marker; data cut short shows as a
    // warning (the library then filled the rest with grey).
    if (memorySource(&info)->ranOut && info.err->num_warnings > 0)
        return fail(decoder, endedEarly(bytes.size()));
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

Image decodeJpeg(std::span<const uint8_t> bytes) {
    JpegDecoder decoder{};
    Image image;
    bool decoded = false;
    try {
        decoded = runDecoder(decoder, bytes, image);
    } catch (...) {
        jpeg_destroy_decompress(&decoder.info);
        throw;
    }
    jpeg_destroy_decompress(&decoder.info);
    if (!decoded) throw LoadError(decoder.errors.message);
    return image;
}
