#pragma once
// A fresh temporary folder for one test, removed with everything in it at the end.

#include <filesystem>
#include <fstream>
#include <string>

#include <stdlib.h>

namespace vantrel::test {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path with a trailing "/".
    std::string Path() const { return path_ + "/"; }
    std::string File(const std::string& name) const { return Path() + name; }
    // Writes a file below the folder and returns its path.
    std::string Write(const std::string& name, const std::string& content) const {
        std::ofstream(File(name), std::ios::binary) << content;
        return File(name);
    }

private:
    std::string path_;
};

}  // namespace vantrel::test
