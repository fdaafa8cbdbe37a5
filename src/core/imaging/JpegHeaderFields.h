#pragma once
// Copying what a parsed JPEG header says into the image parameters; shared by the decoders.

#include <cstdio>

#include <jpeglib.h>

#include "core/imaging/ImageParams.h"

namespace vantrel::jpeg_detail {

ColourModel ColourModelOf(J_COLOR_SPACE space);

// Asks the decompressor to keep every COM and APPn segment (call before jpeg_read_header).
void KeepMetadataSegments(j_decompress_ptr cinfo);

// Width, height, colour model, progressive flag and the kept segments (the first APP0 left out).
void CopyHeaderFields(j_decompress_ptr cinfo, ImageParams& params);

// Sets the header fields for a file of unknown format.
void SetUnknownHeader(ImageParams& params);

}  // namespace vantrel::jpeg_detail
