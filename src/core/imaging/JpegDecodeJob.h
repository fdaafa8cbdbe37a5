#pragma once
// One run of the codec over one JPEG stream, shared by the whole-photo decoder and the decoder
// that splits a photo in two: what it reads, where the rows go, and how it ended.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "core/imaging/ImageParams.h"
#include "core/imaging/RgbBitmap.h"

namespace vantrel::jpeg_detail {

// Where the two decoders of a split photo meet. The upper decoder decodes from the top; before it
// reads rows at or after `earliest` it asks where to stop. The lower decoder claims the row where
// its own stream takes over, or gives up. Whichever comes first decides, so the two never write
// the same row. With `upperWaits` the upper decoder waits at `earliest` for the lower one to
// decide, which makes the outcome independent of timing (for tests).
class RowCut {
public:
    explicit RowCut(int earliest, bool upperWaits = false) : earliest_(earliest), upperWaits_(upperWaits) {}

    // The lower decoder: takes over from `row` (at or after `earliest`) unless the upper decoder
    // has already gone on alone.
    bool Claim(int row) { return Decide(row); }
    void GiveUp() { Decide(kAlone); }
    // The upper decoder, about to read up to (not including) row `end`: the row where it stops,
    // `height` when there is no cut.
    int StopRow(int end, int height) {
        if (end <= earliest_) return height;
        if (upperWaits_) state_.wait(kOpen);
        Decide(kAlone);
        const int state = state_.load();
        return state == kAlone ? height : state;
    }

private:
    static constexpr int kOpen = -1, kAlone = -2;
    bool Decide(int state) {
        int open = kOpen;
        if (!state_.compare_exchange_strong(open, state)) return false;
        state_.notify_all();
        return true;
    }
    const int earliest_;
    const bool upperWaits_;
    std::atomic<int> state_{kOpen};
};

// Everything the codec-driving function reads and writes, so that it holds no object with a
// destructor across setjmp.
struct DecodeJob {
    // The stream: a file at its current position, or bytes in memory.
    std::FILE* file = nullptr;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    bool headerOnly = false;
    ImageParams* params = nullptr;  // header fields are copied here
    RgbBitmap* target = nullptr;
    const std::function<void(int)>* progress = nullptr;
    std::uint64_t budget = 0;  // the bytes the decode may use in all; 0: DecodeMemoryBudget()
    // Rows of the target that are wanted (null: every row); see LoadImage.
    const std::vector<bool>* rowsNeeded = nullptr;
    // Row y of the stream goes to row y + rowOffset of the target; target rows before firstRow
    // are not wanted. With targetReady the target already has the whole picture's size.
    int rowOffset = 0;
    int firstRow = 0;
    bool targetReady = false;
    RowCut* cut = nullptr;  // the upper decoder of a split photo
    // The row of the target decoded in full whatever `rowsNeeded` says (-1: none), into `checkRow`
    // instead of the target when that is given: the row above a split photo's cut, which both
    // decoders decode so that their results can be compared. The upper decoder sets it itself
    // once it knows where it stops.
    int checkRowIndex = -1;
    std::uint8_t* checkRow = nullptr;
    // The outcome.
    bool ok = false;
    std::uint32_t warnings = 0;
    int lastCode = 0;
};

void RunDecode(DecodeJob* job);

// The job's budget: its own, or DecodeMemoryBudget() when it has none.
std::uint64_t BudgetOf(const DecodeJob& job);

}  // namespace vantrel::jpeg_detail
