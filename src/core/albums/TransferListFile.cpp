#include "core/albums/TransferListFile.h"

#include <filesystem>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "core/app/AtomicFile.h"

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
            text += EscapeQuotes(WithoutControls(job.SourcePath, '_')) + "\t" + EscapeQuotes(job.WorkPath) + "\r\n";
        }
    }
    return text;
}

std::expected<void, std::string> SaveTransferList(const TAlbumList& albums, const std::string& path) {
    return WriteFileAtomically(path, FormatTransferList(albums));
}

std::expected<void, std::string> LoadTransferList(TAlbumList& albums, TPhotoIntake& intake, const std::string& path) {
    struct stat info{};
    if (stat(path.c_str(), &info) != 0 && errno == ENOENT) return {};
    auto text = ReadWholeFile(path);
    if (!text) return std::unexpected(text.error());
    // Every restored photo rewrites the file, so all lines are read before the first one.
    std::vector<std::string> lines = SplitLines(*text);
    const TIntakeHooks& hooks = intake.Hooks;
    if (hooks.BeginBusy) hooks.BeginBusy(static_cast<int>(lines.size()));
    // The target is held by address: adding an album re-sorts the list and moves indices. It is
    // looked up again before each photo, since the user may delete albums between two photos.
    int start = albums.DefaultAlbumIndex;
    TAlbum* target = (start >= 0 && start < albums.Count()) ? &albums.Items(start) : nullptr;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> fields = SplitTransferFields(lines[i]);
        if (!fields.empty() && fields[0] == "[Album]") {
            // An album the user renamed to nothing is written with an empty name field.
            std::string name = fields.size() >= 2 ? fields[1] : std::string();
            int index = albums.IndexOfName(name);
            if (index < 0) index = albums.AddAlbum(name, 0);
            target = index >= 0 ? &albums.Items(index) : nullptr;
        } else if (fields.size() >= 2 && target != nullptr && albums.IndexOfAlbum(target) >= 0) {
            std::string workPath = UnescapeQuotes(fields[1]);
            // A working copy is ours to delete once the photo is sent or removed. A list that names
            // a file elsewhere (edited by hand, or from another work folder) gets a copy made here,
            // so that the file it names is never deleted.
            if (IsInFolder(workPath, intake.WorkFolder()))
                intake.IntakePhoto(workPath, workPath, false, *target);
            else
                intake.IntakePhoto(workPath, intake.MakeWorkingName(workPath), true, *target);
        }
        if (hooks.StepProgress) hooks.StepProgress();
    }
    if (hooks.EndBusy) hooks.EndBusy();
    return {};
}

}  // namespace vantrel
