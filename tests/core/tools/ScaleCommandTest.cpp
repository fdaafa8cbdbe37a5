// "vantrel-cli scale" run as a user runs it: a copy that cannot be made is a message and a
// non-zero status, never a file without bytes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "core/TempFolder.h"
#include "core/imaging/JpegFixtures.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::string CliPath() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    return fs::path(std::string(path, static_cast<std::size_t>(length))).parent_path() / "vantrel-cli";
}

// The exit status and what the command wrote to both outputs.
std::pair<int, std::string> RunCli(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return {-1, output};
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(ScaleCommand, SizesOutsideTheRangeAreRefusedWithAMessage) {
    const std::string cli = CliPath();
    ASSERT_TRUE(fs::exists(cli)) << cli;
    test::TempFolder dir;
    const std::string photo = dir.Write("p.jpg", test::MakeSolidJpeg(64, 48, 0x3366CC));
    struct Case {
        const char* size;
        bool made;
    };
    for (const Case& c : {Case{"50", true}, Case{"1", true}, Case{"10001", false}, Case{"1000000", false},
                          Case{"2147483647", false}, Case{"0", false}, Case{"-3", false}, Case{"big", false}}) {
        SCOPED_TRACE(c.size);
        const std::string out = dir.File(std::string("out") + c.size + ".jpg");
        const auto [status, output] = RunCli("'" + cli + "' scale '" + photo + "' '" + out + "' " + c.size);
        if (c.made) {
            EXPECT_EQ(status, 0) << output;
            EXPECT_GT(fs::file_size(out), 0u);
        } else {
            EXPECT_NE(status, 0);
            EXPECT_NE(output.find("1..10000"), std::string::npos) << output;
            EXPECT_FALSE(fs::exists(out));
        }
    }
}

}  // namespace
}  // namespace vantrel
