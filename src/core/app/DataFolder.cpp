#include "core/app/DataFolder.h"

#include <unistd.h>

#include "core/app/WorkFolder.h"

#ifndef VANTREL_DATA_FROM_BIN
#define VANTREL_DATA_FROM_BIN "../share/vantrel"
#endif

namespace vantrel {

std::string RunningProgramFolder() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "./";
    const std::string file(path, static_cast<std::size_t>(length));
    const std::size_t slash = file.find_last_of('/');
    return slash == std::string::npos ? "./" : file.substr(0, slash + 1);
}

std::string DataFolderFor(const std::string& programFolder) {
    std::string own = programFolder.empty() ? "./" : programFolder;
    if (own.back() != '/') own += '/';
    if (FolderExists(own + "Language")) return own;
    const std::string installed = own + VANTREL_DATA_FROM_BIN + "/";
    if (FolderExists(installed + "Language")) return installed;
    return own;
}

}  // namespace vantrel
