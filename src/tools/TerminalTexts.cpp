#include "tools/TerminalTexts.h"

#include <unistd.h>

#include <cstdlib>

#include "core/app/DataFolder.h"
#include "core/base/AsciiText.h"

namespace vantrel::cli {
namespace {

// The folder of the running executable, where "Language/" lies.
std::string ProgramFolder() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    std::string folder(path, static_cast<std::size_t>(length));
    return folder.substr(0, folder.find_last_of('/'));
}

}  // namespace

std::string CountryFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        std::string text(value);
        const std::size_t underscore = text.find('_');
        if (underscore == std::string::npos || underscore + 3 > text.size()) return "GB";
        return ToUpperAscii(text.substr(underscore + 1, 2));
    }
    return "GB";
}

std::string ForTerminal(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

Texts::Texts(const std::string& settingsName, const std::string& country) {
    if (auto path = LanguageFile::Choose(DataFolderFor(ProgramFolder()) + "Language/", settingsName, country))
        file_.Open(*path);
}

std::string Texts::operator()(std::string_view key) const {
    std::string text = file_.IsOpen() ? file_.Translate(std::string(key)) : std::string();
    return text.empty() ? std::string(key) : text;
}

}  // namespace vantrel::cli
