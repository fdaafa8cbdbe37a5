#include "core/service/RemainingTimeModel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace vantrel {

namespace {

constexpr double kBytesPerUnit = 1e6;
enum Term { kBytes, kFiles, kStart };
// Below this many files only the bytes' cost is fitted: one file's time is as well explained
// by its bytes as by its being a file, and two points fit any two costs exactly.
constexpr int kFilesForMoreCosts = 3;
// Terms this close to proportional over the run (the determinant of their normal equations
// relative to the product of its diagonal) cannot be told apart.
constexpr double kLeastRelativeDeterminant = 1e-6;

double Determinant3(const std::array<std::array<double, 3>, 3>& m) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

}  // namespace

void RemainingTimeModel::Progress(double elapsedSeconds, std::int64_t bytesDone, int filesDone) {
    if (!std::isfinite(elapsedSeconds) || elapsedSeconds < 0 || bytesDone < 0 || filesDone < 0) return;
    const double terms[kTerms] = {static_cast<double>(bytesDone) / kBytesPerUnit, static_cast<double>(filesDone), 1};
    ++observations_;
    for (int i = 0; i < kTerms; ++i) {
        for (int j = 0; j < kTerms; ++j) termProducts_[i][j] += terms[i] * terms[j];
        termTimes_[i] += terms[i] * elapsedSeconds;
    }
    timeSquares_ += elapsedSeconds * elapsedSeconds;
    lastBytesDone_ = bytesDone;
    lastFilesDone_ = filesDone;
}

std::optional<RemainingTimeModel::Costs> RemainingTimeModel::FittedCosts() const {
    if (observations_ == 0) return std::nullopt;
    // Least squares with no cost negative: the best of the fits over each set of terms whose
    // costs all come out non-negative. Every set holds the bytes or the files: a start alone
    // says nothing of the work left.
    std::optional<Costs> best;
    double bestResidual = std::numeric_limits<double>::infinity();
    for (unsigned set = 1; set < (1u << kTerms); ++set) {
        int used[kTerms];
        int count = 0;
        for (int term = 0; term < kTerms; ++term)
            if (set & (1u << term)) used[count++] = term;
        if (!(set & ((1u << kBytes) | (1u << kFiles)))) continue;
        const bool bytesAlone = set == (1u << kBytes);
        if (!bytesAlone && (lastFilesDone_ < kFilesForMoreCosts || observations_ <= count)) continue;

        // The normal equations of the set, solved by Cramer's rule (at most 3 x 3).
        std::array<std::array<double, 3>, 3> matrix{};
        double diagonal = 1;
        for (int i = 0; i < 3; ++i) matrix[i][i] = 1;
        for (int i = 0; i < count; ++i) {
            for (int j = 0; j < count; ++j) matrix[i][j] = termProducts_[used[i]][used[j]];
            diagonal *= matrix[i][i];
        }
        const double determinant = Determinant3(matrix);
        if (!(diagonal > 0) || determinant <= kLeastRelativeDeterminant * diagonal) continue;
        double costs[kTerms] = {};
        bool negative = false;
        for (int i = 0; i < count; ++i) {
            auto replaced = matrix;
            for (int row = 0; row < count; ++row) replaced[row][i] = termTimes_[used[row]];
            costs[used[i]] = Determinant3(replaced) / determinant;
            negative = negative || costs[used[i]] < 0;
        }
        if (negative) continue;

        // The sum of the squared residuals, from the sums.
        double residual = timeSquares_;
        for (int i = 0; i < kTerms; ++i) {
            residual -= 2 * costs[i] * termTimes_[i];
            for (int j = 0; j < kTerms; ++j) residual += costs[i] * costs[j] * termProducts_[i][j];
        }
        if (residual < bestResidual) {
            bestResidual = residual;
            best = Costs{costs[kBytes] / kBytesPerUnit, costs[kFiles], costs[kStart]};
        }
    }
    return best;
}

std::optional<double> RemainingTimeModel::SecondsLeft(double elapsedSeconds, std::int64_t bytesLeft,
                                                      int filesLeft) const {
    const auto costs = FittedCosts();
    if (!costs || !std::isfinite(elapsedSeconds)) return std::nullopt;
    if (bytesLeft <= 0 && filesLeft <= 0) return 0.0;
    const double wholeBytes = static_cast<double>(lastBytesDone_ + std::max<std::int64_t>(bytesLeft, 0));
    const double wholeFiles = lastFilesDone_ + std::max(filesLeft, 0);
    const double wholeRun =
        costs->startSeconds + costs->secondsPerByte * wholeBytes + costs->secondsPerFile * wholeFiles;
    const double alone = smallFiles_ > 0 ? std::max(smallFileSeconds_ / smallFiles_ - costs->secondsPerFile, 0.0) *
                                               std::min(std::max(filesLeft, 0), kFilesAlone)
                                         : 0.0;
    return std::max(wholeRun - elapsedSeconds, 0.0) + alone;
}

void RemainingTimeModel::SmallFileTook(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) return;
    smallFileSeconds_ += seconds;
    ++smallFiles_;
}

}  // namespace vantrel
