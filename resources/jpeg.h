// JPEG decoding from memory through libjpeg (API 62), fed by MemorySource, a
// source that hands the library one byte per refill. Used by ResourceCache.
#pragma once

#include <cstdint>
#include <span>

#include "resources/image.h"

// Decodes a colour or greyscale JPEG held in `bytes` (the caller keeps them).
// Never reads past the end of `bytes`. Throws LoadError with libjpeg's own
// message, or a short problem text, without the file name, when the data is
// damaged, cut short or too large.
Image decodeJpeg(std::span<const uint8_t> bytes);
