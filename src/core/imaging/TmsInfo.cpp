#include "core/imaging/TmsInfo.h"

#include <algorithm>
#include <optional>
#include <span>

#include "core/base/AsciiText.h"
#include "core/imaging/TImageInfo.h"
#include "core/imaging/ExifValueText.h"
#include "core/imaging/MakerNoteTables.h"

namespace vantrel {
namespace {

// Where the value offsets of a maker directory count from.
enum class OffsetBase { TiffHeader, MakerNote, MakerNotePlus10 };

struct MakerLayout {
    std::size_t start;  // where the directory begins, in bytes from the maker note's first byte
    OffsetBase base;
    bool intel;         // read in Intel order whatever the EXIF block's order
    bool olympus;       // values outside the maker note come from the TIFF header, not the segment start
    std::span<const TagRow> table;
};

std::optional<MakerLayout> ChooseLayout(const std::string& prefix, const TImageInfo& info) {
    if (prefix == "NIKON") {
        if (info.ExifVersion() > "0210") return MakerLayout{18, OffsetBase::MakerNotePlus10, false, false, MakerNoteNikon2Table()};
        if (info.MakerNote().starts_with("Nikon"))
            return MakerLayout{8, OffsetBase::TiffHeader, false, false, MakerNoteNikon1Table()};
        return MakerLayout{0, OffsetBase::TiffHeader, false, false, MakerNoteNikon2Table()};
    }
    if (prefix == "OLYMP") return MakerLayout{8, OffsetBase::TiffHeader, false, true, MakerNoteOlympusTable()};
    if (prefix == "CASIO") return MakerLayout{0, OffsetBase::TiffHeader, false, false, MakerNoteCasioTable()};
    if (prefix == "FUJIF") return MakerLayout{12, OffsetBase::MakerNote, true, false, MakerNoteFujifilmTable()};
    if (prefix == "CANON") return MakerLayout{0, OffsetBase::TiffHeader, false, false, MakerNoteCanonTable()};
    if (prefix == "SEIKO") return MakerLayout{8, OffsetBase::TiffHeader, false, false, MakerNoteEpsonTable()};
    if (prefix == "SANYO") return MakerLayout{8, OffsetBase::TiffHeader, false, false, MakerNoteSanyoTable()};
    if (prefix == "MINOL") return MakerLayout{0, OffsetBase::TiffHeader, false, false, MakerNoteMinoltaTable()};
    return std::nullopt;
}

// Bytes [from, from + size) of `bytes`, cut at its end; empty when `from` lies outside.
std::string_view Cut(std::string_view bytes, std::int64_t from, std::uint64_t size) {
    if (from < 0 || std::uint64_t(from) >= bytes.size()) return {};
    return bytes.substr(std::size_t(from), std::size_t(std::min<std::uint64_t>(size, bytes.size() - std::uint64_t(from))));
}

}  // namespace

TmsInfo::TmsInfo(TImageInfo& info) : info_(info), position_(info.MakerNotePosition()) {}

bool TmsInfo::Decode() {
    const std::string prefix = ToUpperAscii(info_.CameraMake().substr(0, 5));
    const std::optional<MakerLayout> layout = ChooseLayout(prefix, info_);
    if (!layout) return false;

    const std::string& note = info_.MakerNote();
    const std::string& segment = info_.Bytes();
    const auto* data = reinterpret_cast<const unsigned char*>(note.data());
    const bool motorola = layout->intel ? false : info_.Motorola();
    const std::int64_t base = layout->base == OffsetBase::TiffHeader ? std::int64_t(TImageInfo::kTiffHeader)
                              : layout->base == OffsetBase::MakerNote ? std::int64_t(position_)
                                                                      : std::int64_t(position_) + 10;

    auto fail = [&](const char* cause) { info_.AppendError(std::string("Error Detected = ") + cause); };
    if (layout->start + 2 > note.size()) {
        fail("maker directory outside the maker note");
    } else {
        const std::size_t count = ExifReadUnsigned(data + layout->start, 2, motorola);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = layout->start + 2 + 12 * i;
            if (at + 12 > note.size()) {
                fail("maker entry outside the maker note");
                break;
            }
            if (!info_.SpendEntry()) break;
            const auto tag = static_cast<std::uint16_t>(ExifReadUnsigned(data + at, 2, motorola));
            const auto format = static_cast<std::uint16_t>(ExifReadUnsigned(data + at + 2, 2, motorola));
            const std::uint64_t size = std::uint64_t(ExifReadUnsigned(data + at + 4, 4, motorola)) * ExifComponentSize(format);
            if (size == 0) continue;

            const TagRow* row = FindTagRow(layout->table, tag);
            if (row && ToUpperAscii(row->name) == "SKIP") continue;

            std::string_view raw;
            std::int64_t position;
            if (size <= 4) {
                position = std::int64_t(position_) + std::int64_t(at) + 8;
                raw = std::string_view(note).substr(at + 8, std::size_t(size));
            } else {
                const std::uint32_t offset = ExifReadUnsigned(data + at + 8, 4, motorola);
                position = base + std::int64_t(offset);
                const std::int64_t inNote = position - std::int64_t(position_);
                if (inNote >= 0 && std::uint64_t(inNote) + size <= note.size()) {
                    raw = std::string_view(note).substr(std::size_t(inNote), std::size_t(size));
                } else {
                    // Past the end of the maker note the bytes come from the EXIF segment itself.
                    position = layout->olympus ? std::int64_t(TImageInfo::kTiffHeader) + offset : std::int64_t(offset) - 1;
                    raw = Cut(segment, position, size);
                }
            }

            TagEntry entry = TagEntry::FromRow(row ? *row : TagRow{tag, "Unknown"});
            entry.format = format;
            entry.valueSize = static_cast<std::uint32_t>(size);
            entry.valuePosition = static_cast<std::uint32_t>(position);
            entry.isMakerEntry = true;
            entry.displayText = ExifDisplayText(entry, raw, motorola, /*quoteAscii=*/true);
            info_.KeepWithinBudget(entry, raw);

            // The first row of each table is never listed.
            if (row && row != &layout->table.front()) info_.AppendEntry(std::move(entry));
        }
    }
    make_ = prefix;
    return true;
}

bool DecodeMakerNote(TImageInfo& info) {
    TmsInfo decoder(info);
    return decoder.Decode();
}

}  // namespace vantrel
