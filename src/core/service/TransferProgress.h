#pragma once
// The arithmetic of the transfer panel that needs no window: the two progress bars fed by the
// FTP client's reports, the estimate of the remaining time, and the text of the report of
// refused photos.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/imaging/SizeText.h"

namespace vantrel {

// One progress bar: a range, a position clamped to it, and the base that the current file's
// byte counts are added to.
struct ProgressMeter {
    std::int64_t range = 0;
    std::int64_t position = 0;
    std::int64_t base = 0;

    void Reset(std::int64_t newRange) { range = newRange, position = 0, base = 0; }
    // position := base + bytes, clamped to the range.
    void Work(std::int64_t bytes);
    // A file is done: what was counted stays counted.
    void WorkEnd() { base = position; }
    // An attempt at the file failed: its bytes are counted again by the next attempt (a resumed
    // one reports from its offset on).
    void WorkFailed() { position = base; }
    // Skips `bytes` (a refused photo): position and base move together.
    void Advance(std::int64_t bytes);
};

enum class EstimateKind {
    Minutes,           // above 120 s: "EstimTime" with the minutes
    AboutMinutes,      // above 60 s: "EstimTimeMin"
    LessThanAMinute,   // "EstimTimeLMin"
};
struct TimeEstimate {
    EstimateKind kind = EstimateKind::LessThanAMinute;
    double minutes = 0;  // the remaining time in minutes
};

// remaining := (range / position - 1) * elapsed, in seconds; nothing while position is 0.
std::optional<double> ProportionalSecondsLeft(std::int64_t position, std::int64_t range, double elapsedSeconds);
// The estimate of `remainingSeconds`.
TimeEstimate EstimateOfSeconds(double remainingSeconds);

// A photo named with why it stayed queued.
struct PhotoFailure {
    std::string name;
    std::string reason;
    bool operator==(const PhotoFailure&) const = default;
};

// A photo refused for its size: too small or too large for the service.
struct SizeRefusal {
    std::string name;
    std::int64_t size = 0;
    bool tooSmall = true;
    bool operator==(const SizeRefusal&) const = default;
};

// The photos that the acceptance checks refused, by cause, in the order met.
struct TransferReport {
    std::vector<SizeRefusal> refusedForSize;
    // The sizes the service accepts, both included, as the run's settings gave them.
    int smallestAcceptedKb = 0;
    int largestAcceptedMb = 0;
    std::vector<std::string> refusedForWarnings;
    // Stayed queued: a file of the package did not verify after five attempts.
    std::vector<std::string> notVerified;
    // Stayed queued because the run ended before reaching them (or during their upload).
    std::vector<std::string> leftByEarlyEnd;
    // Stayed queued: a copy of the photo could not be made (the reason says which copy and why).
    std::vector<PhotoFailure> copiesNotMade;
    // Refused or not verified: the report is due whatever the way the run ended.
    bool HasRefusals() const {
        return !refusedForSize.empty() || !refusedForWarnings.empty() || !notVerified.empty() || !copiesNotMade.empty();
    }
    // Whether `name` is listed under any cause but the early end.
    bool Names(const std::string& name) const;
    bool Empty() const { return !HasRefusals() && leftByEarlyEnd.empty(); }
};

// The language texts of the report: one heading per cause, and the patterns that say why a size
// was refused ("%s" the photo's size, then the limit it crossed).
struct ReportTexts {
    std::string becauseSize, becauseWarning, becauseNotVerified, becauseEndedEarly, becauseCopyNotMade;
    std::string smallerThanAccepted, largerThanAccepted;
    SizeTextStyle sizes;
};
// The texts under their language keys, through `translate`.
template <typename Translate>
ReportTexts ReportTextsOf(const Translate& translate, const SizeTextStyle& sizes) {
    return {translate("BecauseSize"),   translate("BecauseWarning"),      translate("BecauseNotVerified"),
            translate("BecauseEndedEarly"), translate("BecauseCopyNotMade"), translate("SmallerThanAccepted"),
            translate("LargerThanAccepted"), sizes};
}

// The text of the report memo: for each non-empty list, CR LF, two blanks, its heading, then one
// line per file: five blanks, "- ", the name (with its reason in brackets where there is one), CR LF.
// A photo refused for its size gives its size and the limit the service set.
std::string FormatTransferReport(const TransferReport& report, const ReportTexts& texts);

}  // namespace vantrel
