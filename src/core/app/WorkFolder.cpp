#include "core/app/WorkFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

#include "core/app/WorkFolderFiles.h"

namespace vantrel {

std::string WorkFolderPath() {
    std::string base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/tmp") + "/.local/share";
    }
    if (base.back() != '/') base += '/';
    return base + "SendPhoto/";
}

bool EnsureWorkFolder(const std::string& workFolder) {
    // The folder holds the remembered login and the user's photos: private to the user, also
    // when an older version made it readable by others.
    if (FolderExists(workFolder)) {
        ::chmod(workFolder.c_str(), 0700);
        return true;
    }
    // A fresh account may have no ~/.local/share yet: the data folders above are made too.
    std::error_code ignored;
    std::filesystem::create_directories(workFolder, ignored);
    ::chmod(workFolder.c_str(), 0700);
    return FolderExists(workFolder);
}

std::string SettingsFilePath(const std::string& workFolder, const std::string& programPath) {
    std::string name = programPath.substr(programPath.find_last_of('/') + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return workFolder + name + ".ini";
}

bool FolderExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void RemoveServiceAnswers(const std::string& workFolder) {
    for (std::string_view name : {kRpcResponseFileName, kRemoteSettingsFileName})
        std::remove((workFolder + std::string(name)).c_str());
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace vantrel
