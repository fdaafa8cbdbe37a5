#pragma once
// Writing the first MCU of a cut anew. A new scan predicts DC values from zero, so the lower
// stream of a cut made by measuring the codes starts with its first MCU copied code by code, each
// component's first DC value written as an absolute value; the original's bytes follow where the
// copy ends on their byte grid.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/imaging/JpegHuffmanMeasure.h"

namespace vantrel::scan_detail {

// Bits written as entropy-coded bytes, 0xFF followed by a stuffed zero.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(std::uint32_t value, int n) {  // n <= 32
        if (n == 0) return;
        acc_ = acc_ << n | (value & ((std::uint64_t(1) << n) - 1));
        bits_ += n;
        written_ += static_cast<std::uint64_t>(n);
        while (bits_ >= 8) {
            bits_ -= 8;
            const auto byte = static_cast<std::uint8_t>(acc_ >> bits_);
            out_.push_back(byte);
            if (byte == 0xFF) out_.push_back(0);
        }
    }
    std::uint64_t Written() const { return written_; }

private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t acc_ = 0;
    int bits_ = 0;
    std::uint64_t written_ = 0;
};

// The first MCU at the reader (its blocks in coding order, `dc` the predictions before it)
// written anew into `prefix`; the offset in the file from which the original bytes follow it.
// Nothing when the rewrite does not end on the original's byte grid or cannot be written (a DC
// size category that the table lacks).
std::optional<std::size_t> RewriteFirstMcu(EntropyReader in, std::array<std::int32_t, 4> dc,
                                           std::span<const McuBlock> blocks, std::vector<std::uint8_t>& prefix);

}  // namespace vantrel::scan_detail
