#include "core/base/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {
std::string Describe(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}
}  // namespace

std::expected<void, std::string> WriteFileAtomically(const std::string& path, std::string_view content,
                                                     mode_t mode) {
    std::string temp = path + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return std::unexpected(Describe("cannot create a temporary file beside", path));
    auto fail = [&](const std::string& what) {
        std::string message = Describe(what, temp);
        close(fd);
        unlink(temp.c_str());
        return std::unexpected(message);
    };
    if (fchmod(fd, mode) != 0) return fail("cannot set permissions of");
    const char* data = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t written = write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return fail("cannot write");
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    if (fsync(fd) != 0) return fail("cannot flush");
    if (close(fd) != 0) {
        std::string message = Describe("cannot close", temp);
        unlink(temp.c_str());
        return std::unexpected(message);
    }
    if (rename(temp.c_str(), path.c_str()) != 0) {
        std::string message = Describe("cannot replace", path);
        unlink(temp.c_str());
        return std::unexpected(message);
    }
    return {};
}

std::expected<std::string, std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::unexpected("cannot open " + path + ": " + std::strerror(errno));
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return std::unexpected("cannot read " + path);
    return buffer.str();
}

}  // namespace vantrel
