#include "core/app/LanguageFile.h"

#include <sys/stat.h>

#include "core/app/WorkFolder.h"
#include "core/base/AsciiText.h"

namespace vantrel {

std::string LanguageFile::FileNameForLanguage(const std::string& language) {
    if (language.empty()) return {};
    // English is the British file; other languages share their code with their main country.
    const std::string code = ToLowerAscii(language);
    return code == "en" ? "GB.lng" : ToUpperAscii(code) + ".lng";
}

std::string LanguageFile::LanguageOfFile(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos || dot == 0) return {};
    name = ToLowerAscii(name.substr(0, dot));
    if (name.size() != 2 || !IsAsciiLetter(name[0]) || !IsAsciiLetter(name[1]))
        return {};
    return name == "gb" ? "en" : name;
}

std::optional<std::string> LanguageFile::Choose(const std::string& languageFolder, const std::string& settingsName,
                                                const std::string& country, const std::string& language) {
    std::string folder = languageFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    for (const std::string& name :
         {settingsName, ToUpperAscii(country) + ".lng", FileNameForLanguage(language), std::string("GB.lng")}) {
        if (!name.empty() && FileExists(folder + name)) return folder + name;
    }
    return std::nullopt;
}

bool LanguageFile::Open(const std::string& path) {
    if (!FileExists(path)) return false;
    path_ = path;
    size_ = -1;
    RefreshIfChanged();
    return true;
}

void LanguageFile::RefreshIfChanged() const {
    struct stat info {};
    if (stat(path_.c_str(), &info) != 0) return;  // keep the texts already read
    if (info.st_size == size_ && info.st_mtim.tv_sec == modified_.tv_sec && info.st_mtim.tv_nsec == modified_.tv_nsec)
        return;
    document_ = IniDocument::Load(path_);
    translated_.clear();
    size_ = info.st_size;
    modified_ = info.st_mtim;
}

std::string LanguageFile::Translate(const std::string& key) const {
    if (!IsOpen()) return {};
    RefreshIfChanged();
    if (auto known = translated_.find(key); known != translated_.end()) return known->second;
    std::string text = ExpandLineBreaks(document_.Get("Strings", key).value_or(""));
    translated_.emplace(key, text);
    return text;
}

std::string LanguageFile::ReadRaw(const std::string& section, const std::string& key) const {
    if (!IsOpen()) return {};
    RefreshIfChanged();
    return document_.Get(section, key).value_or("");
}

std::string ExpandLineBreaks(std::string text) {
    for (size_t at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at + 2))
        text.replace(at, 2, "\r\n");
    return text;
}

}  // namespace vantrel
