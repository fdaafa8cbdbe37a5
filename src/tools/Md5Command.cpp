// vantrel-cli md5 FILE...: the MD5 of each file, printed like md5sum. A file that cannot be
// read is named on standard error and makes the exit status 1, as with md5sum.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/imaging/FileDigest.h"
#include "tools/CliCommand.h"

namespace vantrel::cli {
namespace {

// Why `path` cannot be digested, or 0 when it can be opened and read as a file.
int UnreadableReason(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    struct stat info {};
    // A pipe, socket or device is no file to digest, as the digest routine itself refuses it.
    int reason = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : !S_ISREG(info.st_mode) ? ENODEV : 0;
    char byte;
    if (reason == 0 && S_ISREG(info.st_mode) && ::read(fd, &byte, 1) < 0) reason = errno;
    ::close(fd);
    return reason;
}

int RunMd5(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::fprintf(stderr, "usage: vantrel-cli md5 FILE...\n");
        return 2;
    }
    int status = 0;
    for (const std::string& path : args) {
        if (const int reason = UnreadableReason(path)) {
            std::fprintf(stderr, "vantrel-cli: %s: %s\n", path.c_str(), std::strerror(reason));
            status = 1;
            continue;
        }
        std::printf("%s  %s\n", DigestToHex(DigestFile(path)).c_str(), path.c_str());
    }
    return status;
}

const CliCommandRegistration reg("md5", {"md5 FILE...", "MD5 digests, as md5sum prints them", RunMd5});

}  // namespace
}  // namespace vantrel::cli
