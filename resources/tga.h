// Decoders of uncompressed TGA pictures (8 bits with a 256-colour table, or 24
// bits) and of the block-compressed ".S3T" pictures. Used by ResourceCache.
#pragma once

#include <cstdint>
#include <span>

#include "resources/image.h"

// The whole message of a TGA whose bits per pixel are neither 8 nor 24; the
// cache passes it on without a file name.
inline constexpr char kUnsupportedTgaDepth[] = "Error, unsupported TGA type!(bitdepth problem)";

// Both decoders read only `bytes` (the caller keeps them) and throw LoadError
// with a short problem text, without the file name, when the data does not
// hold the picture its header describes.
Image decodeTga(std::span<const uint8_t> bytes);
Image decodeS3t(std::span<const uint8_t> bytes);
