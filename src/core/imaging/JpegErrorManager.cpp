#include "core/imaging/JpegErrorManager.h"

namespace vantrel::jpeg_detail {
namespace {

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(manager->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
    // The codec has already set msg_code for this message; only warnings are counted.
    if (level < 0) {
        auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
        ++manager->warnings;
        ++cinfo->err->num_warnings;
    }
}

void OutputMessage(j_common_ptr) {}

void ReportProgress(j_common_ptr cinfo) {
    auto* monitor = reinterpret_cast<ProgressMonitor*>(cinfo->progress);
    const jpeg_progress_mgr& p = monitor->pub;
    if (p.pass_limit <= 0 || p.total_passes <= 0) return;
    const long long done = static_cast<long long>(p.completed_passes) * p.pass_limit + p.pass_counter;
    const long long total = static_cast<long long>(p.total_passes) * p.pass_limit;
    int percent = static_cast<int>(done * 100 / total);
    if (percent > 100) percent = 100;
    if (percent != monitor->lastPercent) {
        monitor->lastPercent = percent;
        (*monitor->callback)(percent);
    }
}

}  // namespace

jpeg_error_mgr* InstallErrorManager(ErrorManager& manager) {
    jpeg_std_error(&manager.pub);
    manager.pub.error_exit = ErrorExit;
    manager.pub.emit_message = EmitMessage;
    manager.pub.output_message = OutputMessage;
    manager.warnings = 0;
    return &manager.pub;
}

void InstallProgressMonitor(j_decompress_ptr cinfo, ProgressMonitor& monitor,
                            const std::function<void(int)>* callback) {
    if (callback == nullptr || !*callback) return;
    monitor.pub.progress_monitor = ReportProgress;
    monitor.callback = callback;
    monitor.lastPercent = -1;
    cinfo->progress = &monitor.pub;
}

}  // namespace vantrel::jpeg_detail
