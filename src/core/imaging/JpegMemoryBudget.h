#pragma once
// How much memory one JPEG decode may take. A file of a few hundred bytes can declare a picture
// of 65500 x 65500; decoding it would ask for tens of gigabytes (the whole-picture coefficient
// store of a progressive file, then the bitmap). The decoders refuse such a picture up front,
// and libjpeg's memory manager is bounded for what they cannot foresee.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

namespace vantrel {

// The bytes one decode may use in all: a quarter of the machine's memory, at most 1 GiB. Enough
// for a 170-megapixel progressive photo or a 350-megapixel baseline one.
std::uint64_t DecodeMemoryBudget();

// The share of `budget` left for the codec's own buffers once the decoded picture of
// `outputBytes` is set aside; 0 when the picture alone does not fit (the decode is refused).
std::uint64_t CodecMemoryLimit(std::uint64_t budget, std::uint64_t outputBytes);

namespace jpeg_detail {

// Bounds the decompressor's memory manager to `limit` bytes with no backing store, so that a
// picture whose buffers would not fit ends in a fatal error instead of an allocation.
// Call after jpeg_create_decompress, before jpeg_start_decompress.
void LimitDecoderMemory(j_decompress_ptr cinfo, std::uint64_t limit);

}  // namespace jpeg_detail
}  // namespace vantrel
