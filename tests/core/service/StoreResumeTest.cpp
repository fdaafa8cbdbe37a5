// A store that breaks off goes on where the server's copy ends, and the upload keeps to the
// user's rate limit; both against the in-memory FTP server.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "core/TempFolder.h"
#include "core/imaging/FileDigest.h"
#include "core/service/FtpClient.h"
#include "core/service/FtpMemoryServer.h"
#include "core/service/UploadPackage.h"
#include "core/service/UploadRateLimit.h"

namespace vantrel {
namespace {

std::string WriteFile(test::TempFolder& folder, const std::string& name, std::size_t size) {
    const std::string path = folder.File(name);
    std::ofstream out(path, std::ios::binary);
    for (std::size_t i = 0; i < size; ++i) out.put(static_cast<char>((i * 7919) % 253));
    return path;
}

std::vector<std::string> CommandsStartingWith(test::FtpMemoryServer& server, const std::string& prefix) {
    std::vector<std::string> found;
    for (const auto& command : server.Commands())
        if (command.rfind(prefix, 0) == 0) found.push_back(command);
    return found;
}

struct ResumeCase {
    const char* what;
    std::size_t fileSize;
    bool offerResume;
    bool corruptPartial;
    std::vector<std::size_t> bytesReceived;  // by each store of the file
    std::vector<std::string> restCommands;
    // Where each store's bar starts: its first OnWork is this offset, or for a whole file a
    // count of the first blocks.
    std::vector<std::int64_t> barStarts;
};

TEST(StoreResume, BrokenStoreGoesOnFromTheServersCopyOnlyWhenSafe) {
    constexpr std::size_t kBig = 1500000, kSmall = 600000;
    const std::vector<ResumeCase> cases = {
        {"resumed at the byte where the server's copy ends", kBig, true, false, {kBig, kBig - 1200000},
         {"REST 1200000"}, {0, 1200000}},
        {"a resumed file whose checksum is wrong goes again whole", kBig, true, true,
         {kBig, kBig - 1200000, kBig}, {"REST 1200000"}, {0, 1200000, 0}},
        {"a server without SIZE and REST gets the whole file", kBig, false, false, {kBig, kBig}, {}, {0, 0}},
        {"a file under 1 MB goes whole", kSmall, true, false, {kSmall, kSmall}, {}, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder folder;
        const std::string path = WriteFile(folder, "photo.jpg", c.fileSize);
        test::FtpMemoryServer server;
        server.offerResume = c.offerResume;
        server.corruptDroppedStore = c.corruptPartial;
        server.dropStoreAt = c.fileSize * 4 / 5;
        FtpClient ftp({server.Host(), "up", "pw", {}});
        std::vector<std::int64_t> firstReports;
        bool storeBegun = false;
        ftp.SetWorkHandlers({[&](WorkMode, std::int64_t) { storeBegun = true; },
                             [&](WorkMode, std::int64_t bytes) {
                                 if (storeBegun) firstReports.push_back(bytes);
                                 storeBegun = false;
                             },
                             {}});
        ftp.FtpConnect();
        ftp.FtpMakeDir("run");
        ftp.FtpChangeDir("run");
        const std::string digest = DigestToHex(DigestFile(path));
        EXPECT_TRUE(PutVerifiedDigest(ftp, path, "0.jpg", "run", digest, {}));

        std::lock_guard lock(server.mutex);
        EXPECT_EQ(DigestToHex(DigestBytes(server.files.at("run/0.jpg"))), digest);
        EXPECT_EQ(server.bytesReceived, c.bytesReceived);
        EXPECT_EQ(CommandsStartingWith(server, "REST "), c.restCommands);
        ASSERT_EQ(firstReports.size(), c.barStarts.size());
        for (std::size_t i = 0; i < firstReports.size(); ++i) {
            EXPECT_GE(firstReports[i], c.barStarts[i]) << i;
            EXPECT_LT(firstReports[i], c.barStarts[i] + (1 << 20)) << i;
        }
        if (!c.offerResume) {
            EXPECT_TRUE(CommandsStartingWith(server, "SIZE ").empty());
        }
    }
}

// The limit is checked through what the client does, never through an upper bound on time.
class RateLimitedStore : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = WriteFile(folder_, "photo.jpg", 200000);
        ftp_.SetRateLimit(&limit_);
        ftp_.SetStopCheck([this] { return stop_; });
        ftp_.FtpConnect();
    }
    test::TempFolder folder_;
    std::string path_;
    test::FtpMemoryServer server_;
    UploadRateLimit limit_;
    bool stop_ = false;
    int pumps_ = 0;
    std::function<void()> onPump_;
    FtpClient ftp_{{server_.Host(), "up", "pw", {}}, [this] {
                        ++pumps_;
                        if (onPump_) onPump_();
                    }};
};

TEST_F(RateLimitedStore, TakesAtLeastTheTimeTheRateAllows) {
    limit_.SetBytesPerSecond(100000);
    const auto start = std::chrono::steady_clock::now();
    ftp_.FtpStore(path_, "0.jpg");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500)) << "200 KB at 100 KB/s";
    std::lock_guard lock(server_.mutex);
    EXPECT_EQ(server_.bytesReceived, std::vector<std::size_t>{200000});
}

TEST_F(RateLimitedStore, ANewRateEndsAWaitAndStopEndsItToo) {
    // Another session has taken the next thousand seconds of the rate: the store must wait.
    limit_.SetBytesPerSecond(100000);
    limit_.Reserve(100000000);
    // Lifting the limit during the wait lets the store finish; the stop is only a guard.
    onPump_ = [this] {
        if (pumps_ == 5) limit_.SetBytesPerSecond(0);
        if (pumps_ > 4000) stop_ = true;
    };
    EXPECT_NO_THROW(ftp_.FtpStore(path_, "0.jpg"));

    limit_.SetBytesPerSecond(100000);
    limit_.Reserve(100000000);
    pumps_ = 0;
    onPump_ = [this] {
        if (pumps_ == 5) stop_ = true;
    };
    EXPECT_THROW(ftp_.FtpStore(path_, "1.jpg"), FtpError);
    EXPECT_LT(pumps_, 40) << "the stop ended the wait at its next slice";
    EXPECT_FALSE(ftp_.FtpConnected());
}

}  // namespace
}  // namespace vantrel
