#include "core/service/TransferProgress.h"

#include <algorithm>

namespace vantrel {

void TProgressBar::Work(std::int64_t bytes) { position = std::clamp<std::int64_t>(base + bytes, 0, std::max<std::int64_t>(range, 0)); }

void TProgressBar::Advance(std::int64_t bytes) {
    Work(bytes);
    base = position;
}

bool EstimateRemaining(std::int64_t position, std::int64_t range, std::int64_t elapsedSeconds,
                       TTimeEstimate& estimate) {
    if (position <= 0) return false;
    double remaining = (static_cast<double>(range) / static_cast<double>(position) - 1.0) *
                       static_cast<double>(elapsedSeconds);
    estimate.minutes = remaining / 60.0;
    estimate.kind = remaining > 120   ? TEstimateKind::Minutes
                    : remaining > 60 ? TEstimateKind::AboutMinutes
                                     : TEstimateKind::LessThanAMinute;
    return true;
}

std::string FormatTransferReport(const TTransferReport& report, const std::string& becauseSize,
                                 const std::string& becauseWarning, const std::string& becauseNotVerified,
                                 const std::string& becauseEndedEarly) {
    std::string text;
    auto section = [&](const std::vector<std::string>& names, const std::string& heading) {
        if (names.empty()) return;
        text += "\r\n  " + heading;
        for (const auto& name : names) text += "     - " + name + "\r\n";
    };
    section(report.refusedForSize, becauseSize);
    section(report.refusedForWarnings, becauseWarning);
    section(report.notVerified, becauseNotVerified);
    section(report.leftByEarlyEnd, becauseEndedEarly);
    return text;
}

}  // namespace vantrel
