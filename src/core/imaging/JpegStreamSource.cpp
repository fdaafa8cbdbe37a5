#include "core/imaging/JpegStreamSource.h"

#include <jerror.h>

namespace vantrel::jpeg_detail {
namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;

struct StreamSource {
    jpeg_source_mgr pub;  // first member: libjpeg sees a StreamSource* as a jpeg_source_mgr*
    std::FILE* file;
    JOCTET* buffer;
    bool startOfFile;
};

void InitSource(j_decompress_ptr cinfo) { reinterpret_cast<StreamSource*>(cinfo->src)->startOfFile = true; }

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    auto* source = reinterpret_cast<StreamSource*>(cinfo->src);
    std::size_t got = std::fread(source->buffer, 1, kBufferBytes, source->file);
    if (got == 0) {
        if (source->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // A truncated file: a fake end-of-image marker ends the decode with a warning.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = got;
    source->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    jpeg_source_mgr* source = cinfo->src;
    if (count <= 0) return;
    while (count > static_cast<long>(source->bytes_in_buffer)) {
        count -= static_cast<long>(source->bytes_in_buffer);
        (void)(*source->fill_input_buffer)(cinfo);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

}  // namespace

void UseStreamSource(j_decompress_ptr cinfo, std::FILE* file) {
    auto* source = static_cast<StreamSource*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(StreamSource)));
    source->buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_large)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kBufferBytes));
    source->file = file;
    source->startOfFile = true;
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInputBuffer;
    source->pub.skip_input_data = SkipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->pub.bytes_in_buffer = 0;
    source->pub.next_input_byte = nullptr;
    cinfo->src = &source->pub;
}

}  // namespace vantrel::jpeg_detail
