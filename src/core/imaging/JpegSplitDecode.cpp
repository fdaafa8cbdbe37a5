#include "core/imaging/JpegSplitDecode.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <new>
#include <span>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "core/imaging/JpegErrorManager.h"
#include "core/imaging/JpegMemoryBudget.h"
#include "core/imaging/ImageEndFinder.h"
#include "core/imaging/JpegScanCut.h"
#include "core/imaging/JpegStreamSource.h"

namespace vantrel::jpeg_detail {
namespace {

// The cut is looked for from this share of the rows on. The upper decoder decodes the rows above
// it; the other thread reads the file, measures the codes up to the cut (well under half the work
// of decoding them) and decodes the rows below, so both finish at about the same time. Chosen by
// measuring on 24 MP photos: 0.65 did better than 0.71 and as well as 0.60.
constexpr double kCutShare = 0.65;
// With restart markers nothing is measured: the markers are counted, and the rows are halved.
constexpr double kRestartCutShare = 0.5;

// Reads the header from the job's stream (which it leaves moved on) or bytes; false (with
// `layout` unusable) unless the photo can be cut: one baseline Huffman scan of all its
// components, one or three of them, 8-bit, at least `minPixels`, within the decode budget, no
// warning. No object with a destructor lives here across the codec's jumps.
bool ReadCuttableLayout(const DecodeJob& source, long start, std::size_t minPixels, JpegScanLayout* layout) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = InstallErrorManager(err);
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    if (source.file != nullptr)
        UseStreamSource(&cinfo, source.file);
    else
        jpeg_mem_src(&cinfo, source.data, static_cast<unsigned long>(source.size));
    jpeg_read_header(&cinfo, TRUE);
    const std::uint64_t pixels = std::uint64_t(cinfo.image_width) * cinfo.image_height;
    bool cuttable = err.warnings == 0 && !cinfo.progressive_mode && !cinfo.arith_code && cinfo.data_precision == 8 &&
                    cinfo.comps_in_scan == cinfo.num_components &&
                    (cinfo.num_components == 1 || cinfo.num_components == 3) && cinfo.Ss == 0 && cinfo.Se == 63 &&
                    cinfo.Ah == 0 && cinfo.Al == 0 && pixels >= minPixels &&
                    CodecMemoryLimit(BudgetOf(source), pixels * 3) > 0;
    if (cuttable) {
        layout->width = static_cast<int>(cinfo.image_width);
        layout->height = static_cast<int>(cinfo.image_height);
        layout->restartInterval = static_cast<int>(cinfo.restart_interval);
        // What the codec has taken from its source, less what it holds unread.
        const long taken = source.file != nullptr ? std::ftell(source.file) - start : static_cast<long>(source.size);
        layout->dataOffset = static_cast<std::size_t>(taken) - cinfo.src->bytes_in_buffer;
        for (int i = 0; i < cinfo.comps_in_scan; ++i) {
            const jpeg_component_info* c = cinfo.cur_comp_info[i];
            layout->components.push_back({c->h_samp_factor, c->v_samp_factor, c->dc_tbl_no, c->ac_tbl_no});
        }
        for (std::size_t t = 0; t < 4; ++t) {
            for (auto [from, to] : {std::pair{cinfo.dc_huff_tbl_ptrs[t], &layout->dcTables[t]},
                                    std::pair{cinfo.ac_huff_tbl_ptrs[t], &layout->acTables[t]}}) {
                if (from == nullptr) continue;
                HuffmanSpec& spec = to->emplace();
                std::copy(std::begin(from->bits), std::end(from->bits), spec.counts.begin());
                std::copy(std::begin(from->huffval), std::end(from->huffval), spec.symbols.begin());
            }
        }
    }
    jpeg_destroy_decompress(&cinfo);
    return cuttable;
}

// The photo's bytes from `start` to just past its end-of-image marker (or to the end of a file
// cut short), read without moving the stream: what follows the photo is never read. False when
// they cannot be read or are more than `maxBytes`. `dataOffset` is where the scan's data starts,
// counted from `start`.
bool ReadPhotoFrom(std::FILE* file, long start, std::size_t dataOffset, std::size_t maxBytes,
                   std::vector<std::uint8_t>& bytes) {
    constexpr std::size_t kChunk = std::size_t(1) << 20;
    struct stat info {};
    const int fd = fileno(file);
    if (fstat(fd, &info) != 0 || info.st_size < start) return false;
    const auto available = static_cast<std::size_t>(info.st_size - start);
    // Only the pages read are touched: the reservation costs no memory of its own.
    bytes.clear();
    bytes.reserve(std::min(available, maxBytes));
    ImageEndFinder end(dataOffset);
    while (bytes.size() < available) {
        const std::size_t have = bytes.size(), more = std::min(kChunk, available - have);
        if (have + more > maxBytes) return false;
        bytes.resize(have + more);
        for (std::size_t done = 0; done < more;) {
            const auto at = static_cast<off_t>(static_cast<std::size_t>(start) + have + done);
            const ssize_t got = pread(fd, bytes.data() + have + done, more - done, at);
            if (got <= 0) return false;
            done += static_cast<std::size_t>(got);
        }
        if (const auto found = end.Find(bytes)) {
            bytes.resize(*found);
            return true;
        }
    }
    return true;
}

// Whether `row` of `target` holds the bytes of `decoded`.
bool RowsAgree(std::span<const std::uint8_t> decoded, const RgbBitmap& target, int row) {
    return row >= 0 && row < target.Height() && decoded.size() == target.Stride() &&
           std::equal(decoded.begin(), decoded.end(), target.Row(row));
}

}  // namespace

bool SplitDecodeEnabled() {
#if VANTREL_SPLIT_DECODE
    const char* setting = std::getenv("VANTREL_SPLIT_DECODE");
    return setting == nullptr || std::string_view(setting) != "0";
#else
    return false;
#endif
}

SplitOutcome RunSplitDecode(DecodeJob& job, std::size_t minPixels, bool upperWaits,
                            const std::function<void(std::vector<std::uint8_t>&)>& alterLowerStream) {
    const long start = job.file != nullptr ? std::ftell(job.file) : 0;
    JpegScanLayout layout;
    if ((job.file == nullptr && job.data == nullptr) || job.rowsNeeded == nullptr || start < 0 ||
        !ReadCuttableLayout(job, start, minPixels, &layout) ||
        (job.file != nullptr && std::fseek(job.file, start, SEEK_SET) != 0) ||
        !job.target->Resize(layout.width, layout.height))
        return SplitOutcome::DecodeAsOne;
    const int earliest = static_cast<int>(layout.height * (layout.restartInterval > 0 ? kRestartCutShare : kCutShare));
    RowCut cut(earliest, upperWaits);
    bool claimed = false;
    ImageParams lowerParams;
    DecodeJob lower;  // stays not ok unless the rows below the cut are decoded
    // The lower decoder's own decode of the row above the cut, to be compared with the upper's.
    std::vector<std::uint8_t> checkRow(static_cast<std::size_t>(layout.width) * 3);
    // The second thread reads the file itself (the upper decoder reads the stream meanwhile),
    // finds the cut and decodes the rows below it.
    const auto findAndDecodeLower = [&] {
        try {
            std::vector<std::uint8_t> read;
            // Read up to the photo's end only. Its bytes are fewer than its raw pixels, metadata
            // aside: more is mostly something else, not worth holding twice (here and below the cut).
            const auto maxBytes = static_cast<std::size_t>(
                std::min(256LL << 20, 3LL * layout.width * layout.height + (16LL << 20)));
            if (job.file != nullptr && !ReadPhotoFrom(job.file, start, layout.dataOffset, maxBytes, read)) {
                cut.GiveUp();
                return;
            }
            const std::span<const std::uint8_t> file =
                job.file != nullptr ? std::span<const std::uint8_t>(read) : std::span(job.data, job.size);
            auto found = CutScan(file, layout, earliest, [&](int row) { return claimed = cut.Claim(row); });
            if (!found) {
                cut.GiveUp();
                return;
            }
            if (alterLowerStream) alterLowerStream(found->lowerStream);
            lower.data = found->lowerStream.data();
            lower.size = found->lowerStream.size();
            lower.params = &lowerParams;
            lower.target = job.target;
            lower.budget = job.budget;
            lower.rowsNeeded = job.rowsNeeded;
            lower.rowOffset = found->streamFirstRow;
            lower.firstRow = found->firstRow;
            lower.checkRowIndex = found->firstRow - 1;
            lower.checkRow = checkRow.data();
            lower.targetReady = true;
            RunDecode(&lower);
        } catch (const std::bad_alloc&) {
            cut.GiveUp();  // the upper decoder goes on alone unless the cut was already claimed
        }
    };
    std::thread helper;
    try {
        helper = std::thread(findAndDecodeLower);
    } catch (const std::system_error&) {
        return SplitOutcome::DecodeAsOne;  // no thread to be had
    }
    DecodeJob upper = job;
    upper.cut = &cut;
    upper.targetReady = true;
    RunDecode(&upper);
    helper.join();
    const bool clean = upper.ok && upper.warnings == 0 && (!claimed || (lower.ok && lower.warnings == 0));
    if (!clean) return SplitOutcome::DecodeAsOne;
    // Both decoded the row above the cut: any difference means the lower stream is not what one
    // decode would have seen, and the photo is decoded as one.
    if (claimed && (upper.checkRowIndex != lower.checkRowIndex ||
                    !RowsAgree(checkRow, *job.target, lower.checkRowIndex)))
        return SplitOutcome::DecodeAsOne;
    job.ok = true;
    job.warnings = 0;
    job.lastCode = 0;
    return claimed ? SplitOutcome::TwoParts : SplitOutcome::OnePart;
}

}  // namespace vantrel::jpeg_detail
