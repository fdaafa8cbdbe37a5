#include <gtest/gtest.h>

#include <type_traits>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/app/TSingleInst.h"
#include "core/TempFolder.h"

using namespace vantrel;

// A guard of a derived class may be freed through the base.
static_assert(std::has_virtual_destructor_v<TSingleInst>);

TEST(SingleInstance, ParameterBlock) {
    const std::string block = TSingleInst::BuildParameterBlock({"a", "b"});
    EXPECT_EQ(block, std::string("a\0b\0\0", 5));
    EXPECT_EQ(TSingleInst::ParseParameterBlock(block), (std::vector<std::string>{"a", "b"}));
    // An empty parameter ends the walk early.
    EXPECT_EQ(TSingleInst::ParseParameterBlock(TSingleInst::BuildParameterBlock({"a", "", "c"})),
              std::vector<std::string>{"a"});
    EXPECT_EQ(TSingleInst::BuildParameterBlock({}), std::string(1, '\0'));
}

TEST(SingleInstance, FramesWithAnotherTagAreRefused) {
    TSingleInst guard("/nonexistent");
    std::vector<std::string> received;
    guard.OnProcessParam = [&](const std::string& p) { received.push_back(p); };
    EXPECT_EQ(guard.HandleFrame(TSingleInst::kCopyData, 0x12345678, std::string("x\0\0", 3)), 0u);
    EXPECT_EQ(guard.HandleFrame(TSingleInst::kCopyData, 0xCDCDCDCD, std::string("x\0\0", 3)), 1u);
    EXPECT_EQ(received, std::vector<std::string>{"x"});
}

TEST(SingleInstance, HandOverBetweenTwoProcesses) {
    test::TempFolder folder;
    TSingleInst first(folder.Path());
    ASSERT_TRUE(first.CanStart({}));
    ASSERT_GE(first.Listen(), 0);
    std::vector<std::string> received;
    int restores = 0;
    first.OnProcessParam = [&](const std::string& p) { received.push_back(p); };
    first.OnEnsureRestore = [&] { ++restores; };

    auto runSecond = [&](std::vector<std::string> parameters) {
        pid_t child = fork();
        if (child == 0) {
            TSingleInst guard(folder.Path());
            _exit(guard.CanStart(parameters, std::chrono::milliseconds(1500)) ? 1 : 0);
        }
        int status = 0;
        while (waitpid(child, &status, WNOHANG) == 0) {
            first.ServePending();
            usleep(2000);
        }
        return WEXITSTATUS(status);
    };

    EXPECT_EQ(runSecond({"a", "b"}), 0);  // handed over: the second process does not start
    EXPECT_EQ(received, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(runSecond({}), 0);          // no parameters: only the restore request
    EXPECT_EQ(restores, 2);
}

TEST(SingleInstance, StaleOrSilentSocketsDoNotStopAStart) {
    test::TempFolder folder;
    // A socket file left by a crashed instance: nobody listens on it.
    {
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::string path = folder.Path() + "Vantrel_Multi";
        std::copy(path.begin(), path.end(), address.sun_path);
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        close(fd);
    }
    TSingleInst next(folder.Path());
    EXPECT_TRUE(next.CanStart({"x"}));
    EXPECT_GE(next.Listen(), 0);

    // An instance that listens but never answers: the wait is bounded and the process starts.
    TSingleInst silent(folder.Path());
    EXPECT_TRUE(silent.CanStart({"x"}, std::chrono::milliseconds(200)));
}
