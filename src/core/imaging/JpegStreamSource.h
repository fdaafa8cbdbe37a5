#pragma once
// A libjpeg data source reading a stdio stream through a large buffer. libjpeg's own stdio
// source refills 4 KB at a time, which keeps its Huffman decoder off its fast path (taken only
// while several KB of data are buffered) most of the time; 64 KB keeps it there. End of file
// and empty files are reported as libjpeg's own source reports them (the same warning codes).

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace vantrel::jpeg_detail {

// Makes `file` the decompressor's data source, read from its current position. Call after
// jpeg_create_decompress; the buffer lives in the codec's permanent pool.
void UseStreamSource(j_decompress_ptr cinfo, std::FILE* file);

}  // namespace vantrel::jpeg_detail
