// libFuzzer entry: arbitrary bytes as the transfer list. The list is restored, written out and
// restored again: the second restore must give the same albums and working copies as the first
// (the written list is a fixed point, up to album order), and the quote escaping must
// round-trip every field.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "core/albums/MemoryContentView.h"
#include "core/albums/TransferListFile.h"

namespace {

// Photos that always decode and copy, without touching any file.
class FakeImaging : public vantrel::PhotoImaging {
public:
    std::uint32_t FileSizeOf(const std::string&) override { return 1; }
    vantrel::PhotoLoad LoadPhoto(const std::string&) override {
        return {vantrel::PhotoLoad::Status::Decoded, 10, 10, {}};
    }
    std::expected<void, std::string> StoreWorkingCopy(const std::string&, const std::string&) override { return {}; }
    std::expected<int, std::string> AddContentTile() override { return 0; }
};

// What a restore keeps of a written list: each album line with the working copies under it,
// as a sorted collection (album order follows the names, which the writer may have cleaned).
std::vector<std::vector<std::string>> Kept(const std::string& text) {
    std::vector<std::vector<std::string>> albums;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const auto fields = vantrel::SplitTransferFields(std::string_view(text).substr(start, end - start));
        if (!fields.empty() && fields[0] == "[Album]") albums.push_back({text.substr(start, end - start)});
        else if (fields.size() >= 2 && !albums.empty()) albums.back().push_back(fields.back());
        start = end + 2;
    }
    std::sort(albums.begin(), albums.end());
    return albums;
}

std::string Restore(const std::string& path) {
    static const std::string work = [] {
        char pattern[] = "/tmp/vantrel-fuzz-XXXXXX";
        return std::string(mkdtemp(pattern)) + "/";
    }();
    vantrel::MemoryContentView view;
    vantrel::TAlbumList albums(view, vantrel::MonthNames{});
    FakeImaging imaging;
    vantrel::PhotoIntake intake(albums, imaging, work, vantrel::MonthNames{});
    (void)vantrel::LoadTransferList(albums, intake, path);
    return vantrel::FormatTransferList(albums);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (vantrel::UnescapeQuotes(vantrel::EscapeQuotes(input)) != input) __builtin_trap();

    static vantrel::fuzz::MemoryFile file;
    const std::string first = Restore(file.Write(data, size));
    const std::string second = Restore(file.Write(reinterpret_cast<const std::uint8_t*>(first.data()), first.size()));
    if (Kept(first) != Kept(second)) __builtin_trap();
    return 0;
}
