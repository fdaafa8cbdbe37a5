#include "core/app/HelpIndex.h"

#include <fstream>

#include "core/app/WorkFolder.h"
#include "core/base/AsciiText.h"

namespace vantrel {

std::optional<std::string> FindHelpTopic(const std::string& helpFolder, const std::string& helpFile,
                                         const std::string& keyword) {
    std::string name = helpFile.substr(helpFile.find_last_of("/\\") + 1);
    if (size_t dot = name.find_last_of('.'); dot != std::string::npos) name.erase(dot);
    if (name.empty()) return std::nullopt;
    std::string folder = helpFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    folder += name + "/";

    std::ifstream index(folder + "index.txt");
    for (std::string line; std::getline(index, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t equals = line.find('=');
        if (equals == std::string::npos || !EqualsIgnoringCase(line.substr(0, equals), keyword)) continue;
        std::string page = folder + line.substr(equals + 1);
        if (FileExists(page)) return page;
    }
    if (FileExists(folder + "index.html")) return folder + "index.html";
    return std::nullopt;
}

}  // namespace vantrel
