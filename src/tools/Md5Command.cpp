// vantrel-cli md5 FILE...: the MD5 of each file, printed like md5sum.
#include <cstdio>

#include "core/imaging/FileDigest.h"
#include "tools/CliCommand.h"

namespace vantrel::cli {
namespace {

int RunMd5(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::fprintf(stderr, "usage: vantrel-cli md5 FILE...\n");
        return 2;
    }
    for (const std::string& path : args) std::printf("%s  %s\n", DigestToHex(DigestFile(path)).c_str(), path.c_str());
    return 0;
}

const CliCommandRegistration reg("md5", {"md5 FILE...             MD5 digests, as md5sum prints them", RunMd5});

}  // namespace
}  // namespace vantrel::cli
