#include "core/albums/TransferListFile.h"

#include <filesystem>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "core/base/AtomicFile.h"

namespace vantrel {

namespace {
// Whether `path` names a file directly inside `folder`.
bool IsInFolder(const std::string& path, const std::string& folder) {
    std::string bare = folder;
    while (bare.size() > 1 && bare.back() == '/') bare.pop_back();
    return std::filesystem::path(path).lexically_normal().parent_path() == std::filesystem::path(bare).lexically_normal();
}
}  // namespace

namespace {

// A line break or TAB inside a field would cut its record in two.
std::string WithoutControls(std::string_view text, char replacement) {
    std::string result(text);
    for (char& c : result)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = replacement;
    return result;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::string EscapeQuotes(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        result += c;
        if (c == '"' || c == '\'') result += c;
    }
    return result;
}

std::string UnescapeQuotes(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if ((text[i] == '"' || text[i] == '\'') && i + 1 < text.size() && text[i + 1] == text[i]) ++i;
    }
    return result;
}

std::vector<std::string> SplitTransferFields(std::string_view line) {
    std::vector<std::string> fields;
    std::string field;
    char quote = 0;
    for (char c : line) {
        if (quote != 0) {
            field += c;
            if (c == quote) quote = 0;
        } else if (c == '\t') {
            if (!field.empty()) fields.push_back(std::move(field));
            field.clear();
        } else {
            if (c == '"' || c == '\'') quote = c;
            field += c;
        }
    }
    if (!field.empty()) fields.push_back(std::move(field));
    return fields;
}

std::string FormatTransferList(const TAlbumList& albums) {
    std::string text = "0\r\n";
    for (int a = 0; a < albums.Count(); ++a) {
        const TAlbum& album = albums.Items(a);
        text += "[Album]\t" + WithoutControls(album.AlbumName(), ' ') + "\r\n";
        for (int j = 0; j < album.Jobs().Count(); ++j) {
            const TImageJob& job = album.Jobs().Items(j);
            // The source path is only informative (a restore uses the work path), so a control
            // character in it is replaced rather than allowed to break the line.
            std::string source = EscapeQuotes(WithoutControls(job.SourcePath, '_'));
            // Nor may it pass for an album line: "[Album]" becomes "./[Album]", the same file.
            if (source == "[Album]") source.insert(0, "./");
            text += source + "\t" + EscapeQuotes(job.WorkPath) + "\r\n";
        }
    }
    return text;
}

std::expected<void, std::string> SaveTransferList(const TAlbumList& albums, const std::string& path) {
    return WriteFileAtomically(path, FormatTransferList(albums));
}

namespace {

bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

// Why `text` is not a list this program wrote, or nothing when it is one.
std::optional<std::string> ListFormatProblem(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return "it holds binary data";
    if (!IsUtf8(text)) return "it is not UTF-8 text";
    const std::string_view first = text.substr(0, text.find_first_of("\r\n"));
    if (first != "0") return "its first line is not \"0\"";
    return std::nullopt;
}

}  // namespace

std::expected<std::string, std::string> SetFileAside(const std::string& path) {
    const std::filesystem::path original(path);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = (original.parent_path() / original.stem()).string() + "-unreadable-" + stamp;
    const std::string extension = original.extension().string();
    std::string target = base + extension;
    for (int n = 2; ::access(target.c_str(), F_OK) == 0; ++n) target = base + "-" + std::to_string(n) + extension;
    if (::rename(path.c_str(), target.c_str()) != 0)
        return std::unexpected("cannot move " + path + " to " + target + ": " + std::strerror(errno));
    return target;
}

std::expected<void, TransferListError> LoadTransferList(TAlbumList& albums, PhotoIntake& intake,
                                                        const std::string& path) {
    struct stat info{};
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return {};
    std::expected<std::string, std::string> text =
        S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) > kLargestTransferList
            ? std::unexpected(path + " is too large for a transfer list")
            : ReadWholeFile(path);
    if (text && !text->empty())
        if (auto problem = ListFormatProblem(*text)) text = std::unexpected(path + ": " + *problem);
    if (!text) {
        auto moved = SetFileAside(path);
        return std::unexpected(TransferListError{text.error(), moved ? *moved : std::string()});
    }
    // Every restored photo rewrites the file, so all lines are read before the first one.
    std::vector<std::string> lines = SplitLines(*text);
    const IntakeHooks& hooks = intake.Hooks;
    if (hooks.BeginBusy) hooks.BeginBusy(static_cast<int>(lines.size()));
    // The albums are found or made in one batch first: one sort for the whole list. The target
    // is held by address and looked up again before each photo, since the user may delete albums
    // between two photos.
    const int start = albums.DefaultAlbumIndex;
    TAlbum* defaultAlbum = (start >= 0 && start < albums.Count()) ? &albums.Items(start) : nullptr;
    std::vector<std::vector<std::string>> records;
    records.reserve(lines.size());
    std::vector<std::string> albumNames;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        records.push_back(SplitTransferFields(lines[i]));
        const std::vector<std::string>& fields = records.back();
        // An album the user renamed to nothing is written with an empty name field.
        // Read as the writer writes it, so that names differing only in control characters are one album.
        if (!fields.empty() && fields[0] == "[Album]")
            albumNames.push_back(fields.size() >= 2 ? WithoutControls(fields[1], ' ') : "");
    }
    const std::vector<TAlbum*> namedAlbums = albums.FindOrAddAlbums(albumNames);
    std::vector<std::string> inWorkFolder;
    for (const std::vector<std::string>& fields : records)
        if (fields.size() >= 2 && fields[0] != "[Album]" && IsInFolder(UnescapeQuotes(fields[1]), intake.WorkFolder()))
            inWorkFolder.push_back(UnescapeQuotes(fields[1]));
    intake.LookAhead(inWorkFolder);
    std::size_t nextAlbum = 0;
    TAlbum* target = nullptr;
    bool albumLineSeen = false;
    for (const std::vector<std::string>& fields : records) {
        if (!fields.empty() && fields[0] == "[Album]") {
            target = namedAlbums[nextAlbum++];
            albumLineSeen = true;
        } else if (fields.size() >= 2) {
            if (!albumLineSeen && target == nullptr) target = defaultAlbum ? defaultAlbum : intake.DefaultAlbum();
            if (target != nullptr && albums.IndexOfAlbum(target) >= 0) {
                std::string workPath = UnescapeQuotes(fields[1]);
                // A working copy is ours to delete once the photo is sent or removed. A list that
                // names a file elsewhere (edited by hand, or from another work folder) gets a copy
                // made here, so that the file it names is never deleted.
                if (IsInFolder(workPath, intake.WorkFolder()))
                    intake.IntakePhoto(workPath, workPath, false, *target);
                else
                    intake.IntakePhoto(workPath, intake.MakeWorkingName(workPath), true, *target);
            }
        }
        if (hooks.StepProgress) hooks.StepProgress();
    }
    if (hooks.EndBusy) hooks.EndBusy();
    return {};
}

}  // namespace vantrel
