#pragma once
// The remaining time of an upload run, learnt from the run itself.
//
// On a home link every file costs a fixed time besides its bytes: the round trips of PASV, STOR,
// the final reply, the checksum command and the data connection's set-up. A photo's package is
// four files of very different sizes (the photo, a scaled copy, a thumbnail, a sidecar), so a
// time proportional to the bytes is far off while the small files go. The model takes the time
// at which the run has sent B bytes and verified F files as
//     start + secondsPerByte * B + secondsPerFile * F
// where `start` is what the run waited for before its bytes went (logins, the first copies).
// The costs are fitted by least squares to what the run reports every few hundred milliseconds
// and at every verification, kept as sums rather than points. With several sessions side by
// side the files' costs overlap; the fit simply measures what they cost this run together, and
// the last files, which go alone, are added from the measured time of small files.
// No cost comes out negative: whenever the full fit would make one so, the best of the fits that
// leave one or two costs out is taken. Costs that the run cannot tell apart yet (fewer than
// three files, files all of one size) are not fitted: the bytes alone stand until then.

#include <cstdint>
#include <optional>

namespace vantrel {

class RemainingTimeModel {
public:
    // How far the run got `elapsedSeconds` after the upload began: `bytesDone` bytes sent (the
    // files verified, those under way, and photos skipped as refused) and `filesDone` files
    // verified. Counts that are negative or not finite are ignored.
    void Progress(double elapsedSeconds, std::int64_t bytesDone, int filesDone);

    // The seconds still needed for `bytesLeft` more bytes in `filesLeft` more files, at
    // `elapsedSeconds`; nothing while the run has not measured enough to say. With the counts of
    // the last Progress they make the run's whole. The estimate is the fitted time of the whole
    // run less the time elapsed, so between two reports it counts down with the clock; never
    // negative.
    std::optional<double> SecondsLeft(double elapsedSeconds, std::int64_t bytesLeft, int filesLeft) const;

    // A file of under kSmallFile bytes took `seconds` from its store to its verification: on a
    // slow link nearly all of it round trips. With several sessions side by side the fit sees
    // little of those (another session's bytes go meanwhile), but the last files of a run go
    // alone: SecondsLeft adds what they cost beyond the fitted cost per file.
    void SmallFileTook(double seconds);
    static constexpr std::int64_t kSmallFile = 64 * 1024;
    static constexpr int kFilesAlone = 3;  // a photo's copies and sidecar, after its own bytes

    // The fitted costs; nothing before the first report.
    struct Costs {
        double secondsPerByte = 0;
        double secondsPerFile = 0;
        double startSeconds = 0;
    };
    std::optional<Costs> FittedCosts() const;

private:
    // The terms of the fit: bytes (in megabytes, to keep the sums well scaled), files, start.
    static constexpr int kTerms = 3;
    // Least-squares sums over the reports: the products of the terms with each other and
    // with the time, and the squares of the times.
    int observations_ = 0;
    double termProducts_[kTerms][kTerms] = {};
    double termTimes_[kTerms] = {};
    double timeSquares_ = 0;
    std::int64_t lastBytesDone_ = 0;
    int lastFilesDone_ = 0;
    double smallFileSeconds_ = 0;
    int smallFiles_ = 0;
};

}  // namespace vantrel
