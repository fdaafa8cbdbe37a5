#include "core/service/TransferProgress.h"

#include <algorithm>

#include "core/app/FormatPattern.h"

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
    return std::any_of(refusedForSize.begin(), refusedForSize.end(),
                       [&](const SizeRefusal& refusal) { return refusal.name == name; }) ||
           listed(refusedForWarnings) || listed(notVerified) ||
           std::any_of(copiesNotMade.begin(), copiesNotMade.end(),
                       [&](const PhotoFailure& failure) { return failure.name == name; });
}

std::string FormatTransferReport(const TransferReport& report, const ReportTexts& texts) {
    std::string text;
    auto heading = [&](const std::string& words) { text += "\r\n  " + words; };
    auto line = [&](const std::string& name, const std::string& reason) {
        text += "     - " + name + (reason.empty() ? "" : " (" + reason + ")") + "\r\n";
    };
    auto section = [&](const std::vector<std::string>& names, const std::string& words) {
        if (names.empty()) return;
        heading(words);
        for (const auto& name : names) line(name, {});
    };
    if (!report.refusedForSize.empty()) {
        heading(texts.becauseSize);
        for (const auto& refusal : report.refusedForSize) {
            const std::string& pattern = refusal.tooSmall ? texts.smallerThanAccepted : texts.largerThanAccepted;
            // The limit as the service set it, in whole units: "20 Kb", "25 Mb".
            const std::string limit = refusal.tooSmall
                                          ? std::to_string(report.smallestAcceptedKb) + " " + texts.sizes.kilobytes
                                          : std::to_string(report.largestAcceptedMb) + " " + texts.sizes.megabytes;
            line(refusal.name,
                 pattern.empty() ? std::string()
                                 : FormatPattern(pattern, {FormatFileSize(refusal.size, texts.sizes), limit}));
        }
    }
    section(report.refusedForWarnings, texts.becauseWarning);
    section(report.notVerified, texts.becauseNotVerified);
    if (!report.copiesNotMade.empty()) {
        heading(texts.becauseCopyNotMade);
        for (const auto& failure : report.copiesNotMade) line(failure.name, failure.reason);
    }
    section(report.leftByEarlyEnd, texts.becauseEndedEarly);
    return text;
}

}  // namespace vantrel
