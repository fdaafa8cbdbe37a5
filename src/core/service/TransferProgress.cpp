#include "core/service/TransferProgress.h"

#include <algorithm>

namespace vantrel {

void ProgressMeter::Work(std::int64_t bytes) { position = std::clamp<std::int64_t>(base + bytes, 0, std::max<std::int64_t>(range, 0)); }

void ProgressMeter::Advance(std::int64_t bytes) {
    Work(bytes);
    base = position;
}

std::optional<double> ProportionalSecondsLeft(std::int64_t position, std::int64_t range, double elapsedSeconds) {
    if (position <= 0) return std::nullopt;
    return (static_cast<double>(range) / static_cast<double>(position) - 1.0) * elapsedSeconds;
}

TimeEstimate EstimateOfSeconds(double remainingSeconds) {
    TimeEstimate estimate;
    estimate.minutes = remainingSeconds / 60.0;
    estimate.kind = remainingSeconds > 120  ? EstimateKind::Minutes
                    : remainingSeconds > 60 ? EstimateKind::AboutMinutes
                                            : EstimateKind::LessThanAMinute;
    return estimate;
}

bool TransferReport::Names(const std::string& name) const {
    auto listed = [&](const std::vector<std::string>& names) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    return listed(refusedForSize) || listed(refusedForWarnings) || listed(notVerified) ||
           std::any_of(copiesNotMade.begin(), copiesNotMade.end(),
                       [&](const PhotoFailure& failure) { return failure.name == name; });
}

std::string FormatTransferReport(const TransferReport& report, const std::string& becauseSize,
                                 const std::string& becauseWarning, const std::string& becauseNotVerified,
                                 const std::string& becauseEndedEarly, const std::string& becauseCopyNotMade) {
    std::string text;
    auto section = [&](const std::vector<std::string>& names, const std::string& heading) {
        if (names.empty()) return;
        text += "\r\n  " + heading;
        for (const auto& name : names) text += "     - " + name + "\r\n";
    };
    section(report.refusedForSize, becauseSize);
    section(report.refusedForWarnings, becauseWarning);
    section(report.notVerified, becauseNotVerified);
    if (!report.copiesNotMade.empty()) {
        text += "\r\n  " + becauseCopyNotMade;
        for (const auto& failure : report.copiesNotMade)
            text += "     - " + failure.name + " (" + failure.reason + ")\r\n";
    }
    section(report.leftByEarlyEnd, becauseEndedEarly);
    return text;
}

}  // namespace vantrel
