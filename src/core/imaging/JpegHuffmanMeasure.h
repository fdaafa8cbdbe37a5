#pragma once
// Reading the Huffman codes of a baseline scan without decoding them: the tables in the forms the
// reading needs, the entropy-coded bytes as a stream of bits and the reading of one block (each
// code handed to a sink). The cut of a scan (see JpegScanCut.h) measures the codes up to the cut
// with these; JpegFirstMcuRewrite.h writes the first MCU after it anew.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <tuple>
#include <utility>

#include "core/imaging/JpegScanCut.h"

namespace vantrel::scan_detail {

constexpr int kLookBits = 11;

// A Huffman table in the forms the reading needs. Codes are derived as libjpeg derives them and
// a table libjpeg refuses is refused here, so both read the same symbols from the same bits.
struct CodeTable {
    std::array<std::uint16_t, 1 << kLookBits> fast{};  // (length << 8) | symbol; 0: a longer code
    std::array<std::int32_t, 18> maxCode{};             // per length; -1 when there is none
    std::array<std::int32_t, 18> valueOffset{};
    std::array<std::uint8_t, 256> symbols{};
    // AC only: per look-ahead, the step of one coefficient (see AcStep), with the step of a second
    // one in bits 12..23 when its code and value lie within the look-ahead after the first and
    // the first does not end the block, and the bits of both in bits 24..; 0 when the code is
    // longer than the look-ahead.
    std::array<std::uint32_t, 1 << kLookBits> acPair{};
    // DC only: the code of each size category, for writing values; length 0 when absent.
    std::array<std::uint16_t, 16> dcCode{};
    std::array<std::uint8_t, 16> dcLength{};
};

// The bits one coefficient takes (code and value) | (the positions it advances << 5); an end of
// block advances 64.
inline std::uint32_t AcStep(int length, int symbol) {
    const int size = symbol & 15, run = symbol >> 4;
    const int advance = size != 0 ? run + 1 : (run == 15 ? 16 : 64);
    return static_cast<std::uint32_t>((length + size) | advance << 5);
}

// The entropy-coded bytes as a stream of bits: stuffed zero bytes are dropped, and a marker or
// the end of the file ends the data (zeros are read after it).
class EntropyReader {
public:
    EntropyReader(std::span<const std::uint8_t> data, std::size_t offset)
        : data_(data), start_(offset), pos_(offset) {}

    // At least 32 bits ahead, enough for one code and its value.
    void Fill() {
        if (bits_ < 32) Refill();
    }
    std::uint32_t Peek(int n) const { return static_cast<std::uint32_t>(acc_ >> (64 - n)); }  // 1 <= n <= 32
    void Skip(int n) {
        acc_ <<= n;
        bits_ -= n;
        consumed_ += n;
    }
    std::uint64_t Consumed() const { return consumed_; }
    bool Ended() const { return ended_; }

    // The offset in the file of the byte that holds the next bit to read.
    std::size_t NextByteOffset() const {
        std::uint64_t back = loaded_ - consumed_ / 8;
        std::size_t p = pos_;
        while (back-- > 0) {
            --p;
            if (data_[p] == 0 && p > start_ && data_[p - 1] == 0xFF) --p;
        }
        return p;
    }

private:
    static bool HasFF(std::uint64_t w) {
        return ((~w - 0x0101010101010101ULL) & w & 0x8080808080808080ULL) != 0;
    }

    void Refill() {
        while (bits_ <= 56) {
            if (pos_ + 8 <= data_.size()) {
                std::uint64_t w;
                std::memcpy(&w, data_.data() + pos_, 8);
                if constexpr (std::endian::native == std::endian::little) w = std::byteswap(w);
                if (!HasFF(w)) {
                    const int n = (64 - bits_) >> 3;
                    acc_ |= (w >> (64 - 8 * n)) << (64 - bits_ - 8 * n);
                    bits_ += 8 * n;
                    pos_ += static_cast<std::size_t>(n);
                    loaded_ += static_cast<std::uint64_t>(n);
                    return;
                }
            }
            std::uint8_t byte = 0;
            if (!ended_ && pos_ < data_.size()) {
                byte = data_[pos_];
                if (byte != 0xFF) {
                    ++pos_;
                } else if (pos_ + 1 < data_.size() && data_[pos_ + 1] == 0) {
                    pos_ += 2;
                } else {
                    ended_ = true;
                    byte = 0;
                }
            } else {
                ended_ = true;
            }
            if (!ended_) ++loaded_;
            acc_ |= std::uint64_t(byte) << (56 - bits_);
            bits_ += 8;
        }
    }

    std::span<const std::uint8_t> data_;
    std::size_t start_;
    std::size_t pos_;
    std::uint64_t acc_ = 0;  // the next bits, first bit highest
    int bits_ = 0;
    std::uint64_t consumed_ = 0;
    std::uint64_t loaded_ = 0;  // data bytes taken into acc_
    bool ended_ = false;
};

// A code longer than the look-ahead: length and symbol as libjpeg finds them; length 0 for bits
// that are no code of the table.
inline std::pair<int, int> DecodeLong(const EntropyReader& in, const CodeTable& table) {
    const std::uint32_t bits = in.Peek(16);
    for (int l = kLookBits + 1; l <= 16; ++l) {
        const std::int32_t code = static_cast<std::int32_t>(bits >> (16 - l));
        if (code <= table.maxCode[l]) return {l, table.symbols[static_cast<std::uint8_t>(code + table.valueOffset[l])]};
    }
    return {0, 0};
}

inline std::int32_t Extend(std::uint32_t value, int size) {
    const std::int32_t v = static_cast<std::int32_t>(value);
    return v < (1 << (size - 1)) ? v - (1 << size) + 1 : v;
}

// Reads one block, adding its DC difference to `dc` as libjpeg does (wrapping). The sink sees
// every code read: Dc(code, codeLength, valueBits, size, newDc) and Ac(bits, count).
template <class Sink>
bool ReadBlock(EntropyReader& in, const CodeTable& dcTable, const CodeTable& acTable, std::int32_t& dc, Sink& sink) {
    in.Fill();
    std::uint32_t entry = dcTable.fast[in.Peek(kLookBits)];
    int length = static_cast<int>(entry >> 8), size = static_cast<int>(entry & 0xFF);
    if (entry == 0) {
        std::tie(length, size) = DecodeLong(in, dcTable);
        if (length == 0) return false;
    }
    const std::uint32_t code = in.Peek(length);
    in.Skip(length);
    std::uint32_t value = 0;
    std::int32_t diff = 0;
    if (size != 0) {
        value = in.Peek(size);
        in.Skip(size);
        diff = Extend(value, size);
    }
    dc = static_cast<std::int32_t>(static_cast<std::uint32_t>(dc) + static_cast<std::uint32_t>(diff));
    sink.Dc(code, length, value, size, dc);
    for (int k = 1; k < 64;) {
        in.Fill();
        std::uint32_t step = acTable.acPair[in.Peek(kLookBits)];
        if (step == 0) {
            const auto [l, symbol] = DecodeLong(in, acTable);
            if (l == 0) return false;
            step = AcStep(l, symbol);
            step |= (step & 31) << 24;
        }
        k += static_cast<int>((step >> 5) & 127);
        if (k >= 64) {  // the first coefficient ends the block: a second one is the next block's
            const int bits = static_cast<int>(step & 31);
            sink.Ac(in.Peek(bits), bits);
            in.Skip(bits);
            break;
        }
        // Both coefficients' bits straight from the table: the next look-up need not wait for
        // the count of positions.
        const int bits = static_cast<int>(step >> 24);
        sink.Ac(in.Peek(bits), bits);
        in.Skip(bits);
        k += static_cast<int>((step >> 17) & 127);
    }
    return true;
}

// One block of an MCU as the scan reads it: its component and the tables of that component.
struct McuBlock {
    std::size_t component;
    bool firstOfComponent;
    const CodeTable* dc;
    const CodeTable* ac;
};

struct SkipSink {
    void Dc(std::uint32_t, int, std::uint32_t, int, std::int32_t) {}
    void Ac(std::uint32_t, int) {}
};

// Fills `table` from `spec`; false for a table libjpeg refuses.
bool BuildTable(const HuffmanSpec& spec, bool dc, CodeTable& table);

}  // namespace vantrel::scan_detail
