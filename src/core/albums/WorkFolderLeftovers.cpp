#include "core/albums/WorkFolderLeftovers.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "core/albums/TransferListFile.h"
#include "core/base/AsciiText.h"
#include "core/base/AtomicFile.h"
#include "core/imaging/JpegNamePattern.h"

namespace vantrel {

namespace {

namespace fs = std::filesystem;

bool AllLettersOrDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return IsAsciiLetterOrDigit(c); });
}

bool IsRunTemporary(std::string_view name) {
    return name.size() == 21 && AllAsciiDigits(name.substr(0, 17)) &&
           (name.ends_with(".jpg") || name.ends_with(".inf"));
}

bool IsSaveTemporary(std::string_view name) {
    if (name.size() < 8 || name[name.size() - 7] != '.' || !AllLettersOrDigits(name.substr(name.size() - 6)))
        return false;
    const std::string_view saved = name.substr(0, name.size() - 7);
    if (HasJpegExtension(saved)) return true;  // a working copy
    for (std::string_view extension : {".lst", ".ini"})
        if (EndsWithIgnoringCase(saved, extension)) return true;
    return false;
}

}  // namespace

int SweepWorkFolderLeftovers(const std::string& workFolder) {
    const std::string listPath = workFolder + std::string(kTransferListName);
    std::string listText;
    bool listKnown = true;
    std::error_code error;
    if (fs::exists(listPath, error)) {
        const bool readable = fs::is_regular_file(listPath, error) && fs::file_size(listPath, error) <= kLargestTransferList;
        auto text = readable ? ReadWholeFile(listPath) : std::unexpected(std::string());
        if (text) listText = std::move(*text);
        else listKnown = false;
    }
    int removed = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(workFolder, error)) {
        if (!entry.is_regular_file(error)) continue;
        const std::string name = entry.path().filename().string();
        const bool leftover = name == kRpcResponseFileName || IsRunTemporary(name) || IsSaveTemporary(name);
        if (!leftover) continue;
        // A working copy may carry any name the user's photo had; the list's text tells.
        if (!listKnown || listText.find(name) != std::string::npos) continue;
        if (fs::remove(entry.path(), error)) ++removed;
    }
    return removed;
}

}  // namespace vantrel
