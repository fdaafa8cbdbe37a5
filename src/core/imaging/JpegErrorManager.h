#pragma once
// The libjpeg error manager shared by the decoders and encoders: a fatal error jumps back to
// the setjmp of the one function that drives the codec, warnings are counted instead of
// printed, and nothing is ever written to stderr.

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <functional>

#include <jpeglib.h>

namespace vantrel::jpeg_detail {

struct ErrorManager {
    jpeg_error_mgr pub;  // first member: libjpeg sees an ErrorManager* as a jpeg_error_mgr*
    std::jmp_buf jump;
    std::uint32_t warnings;
};

// Installs the manager into a codec object (call before jpeg_create_*).
jpeg_error_mgr* InstallErrorManager(ErrorManager& manager);

// Progress reports of a decode in whole per cent, only when the value changes.
struct ProgressMonitor {
    jpeg_progress_mgr pub;  // first member
    const std::function<void(int)>* callback;
    int lastPercent;
};

// Connects the monitor to a decompressor when `callback` holds a function.
void InstallProgressMonitor(j_decompress_ptr cinfo, ProgressMonitor& monitor,
                            const std::function<void(int)>* callback);

}  // namespace vantrel::jpeg_detail
