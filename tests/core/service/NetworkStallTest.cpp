// Hostile peers: servers that go silent, drip, never end an answer or never take a connection.
// Every wait ends by itself through the time-outs, or within a second of a stop.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "core/TempFolder.h"
#include "core/base/AtomicFile.h"
#include "core/service/FtpClient.h"
#include "core/service/HttpClient.h"
#include "core/service/RemoteSettingsLoader.h"
#include "core/service/XmlRpcService.h"
#include "core/support/StandinFault.h"
#include "core/support/StandinService.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::FaultOn;

// Short enough for tests, long enough for a loaded machine to answer a healthy request.
constexpr NetworkTimeouts kQuick{5000ms, 1000ms};

test::StandinService& Service() {
    static test::StandinService service;  // shared by the tests of this file; stopped at exit
    return service;
}

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A pump that presses "stop" once the stand-in reports that the client is caught in a stall.
class StopWhenStalled {
public:
    explicit StopWhenStalled(const test::StandinService& service) : service_(service), before_(service.Stalls()) {}
    void operator()() {
        if (stopped_ || Clock::now() - lastLook_ < 50ms) return;
        lastLook_ = Clock::now();
        if (service_.Stalls() > before_) {
            stopped_ = true;
            stoppedAt_ = Clock::now();
        }
    }
    bool Stopped() const { return stopped_; }
    double SecondsSinceStop() const { return SecondsSince(stoppedAt_); }

private:
    const test::StandinService& service_;
    int before_;
    bool stopped_ = false;
    Clock::time_point stoppedAt_;
    Clock::time_point lastLook_;
};

TEST(NetworkStall, HttpRequestsEndByThemselvesOrWithinASecondOfStop) {
    ASSERT_TRUE(Service().ok()) << Service().error();
    struct Case {
        const char* fault;
        bool post;
        bool endsByItself;  // a drip outlasts these limits (DripsFailByTheLowSpeedRuleOrTheAnswerDeadline)
    } cases[] = {{"silent-settings", false, true}, {"drip-settings", false, false}, {"silent-rpc", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        FaultOn fault(Service(), c.fault);
        const std::string url = Service().httpBase() + (c.post ? "/xmlrpc" : "/common/uploader_settings.plist");
        auto request = [&](HttpClient& client) { return c.post ? client.HttpPost(url, "<methodCall/>") : client.HttpGet(url); };
        if (c.endsByItself) {
            HttpClient client;
            client.SetTimeouts(kQuick);
            const auto start = Clock::now();
            auto got = request(client);
            ASSERT_FALSE(got);
            EXPECT_EQ(got.error().kind, HttpError::Kind::Transport);
            EXPECT_NE(got.error().message.find("no answer"), std::string::npos) << got.error().message;
            EXPECT_LT(SecondsSince(start), 10);
        }
        StopWhenStalled stopper(Service());
        HttpClient client([&] { stopper(); });  // the default time-outs: only the stop can end it
        client.SetStopCheck([&] { return stopper.Stopped(); });
        auto got = request(client);
        ASSERT_FALSE(got);
        EXPECT_EQ(got.error().kind, HttpError::Kind::Stopped);
        ASSERT_TRUE(stopper.Stopped());
        EXPECT_LT(stopper.SecondsSinceStop(), 1.0);
        // A stopped client starts no other request.
        EXPECT_EQ(client.HttpGet(Service().httpBase() + "/test/empty").error().kind, HttpError::Kind::Stopped);
    }
}

TEST(NetworkStall, AnswersOverTheCapAreBrokenAnswers) {
    ASSERT_TRUE(Service().ok()) << Service().error();
    test::TempFolder work;
    {
        FaultOn fault(Service(), "endless-settings");
        HttpClient client;
        ASSERT_TRUE(WriteFileAtomically(work.File("old.plist"), "old"));
        auto got = client.HttpGet(Service().httpBase() + "/common/uploader_settings.plist", work.File("old.plist"));
        ASSERT_FALSE(got);
        EXPECT_EQ(got.error().kind, HttpError::Kind::TooLarge);
        EXPECT_EQ(ReadWholeFile(work.File("old.plist")).value_or("?"), "");
        // The settings download reads it as a document that does not parse.
        TRemoteSettings settings;
        settings.ftp_host = "cached.invalid";
        auto result = LoadRemoteSettings(client, work.Path(), "GB", settings,
                                         SettingsBaseAddresses(Service().settingsBase()));
        EXPECT_EQ(result.status, RemoteSettingsResult::Status::NotXml);
        EXPECT_NE(result.Message([](std::string_view key) { return std::string(key); }).find("larger than 16 MB"),
                  std::string::npos);
        EXPECT_EQ(settings.ftp_host, "cached.invalid");
    }
    {
        FaultOn fault(Service(), "endless-rpc");
        HttpClient client;
        XmlRpcService rpc(client, Service().scriptUrl(), work.Path());
        auto session = rpc.SessionNew();
        ASSERT_FALSE(session);
        EXPECT_EQ(session.error().kind, RpcError::Kind::NotXml);
        EXPECT_EQ(ReadWholeFile(rpc.ResponsePath()).value_or("?"), "");
        EXPECT_EQ(session.error().problem.reason, "the answer is larger than 16 MB");
        // The album list may be larger: 100,000 albums take about 18 MB.
        auto albums = rpc.MemberGetAlbumList("1001", "code");
        ASSERT_FALSE(albums);
        EXPECT_EQ(albums.error().kind, RpcError::Kind::NotXml);
        EXPECT_EQ(albums.error().problem.reason, "the answer is larger than 64 MB");
    }
}

// A listener whose backlog is full: the kernel drops further connection attempts, which then hang.
class FullListener {
public:
    FullListener() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 0);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        for (int& fd : fillers_) {
            fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        }
        ::usleep(100000);
    }
    ~FullListener() {
        for (int fd : fillers_) ::close(fd);
        ::close(listener_);
    }
    int Port() const { return port_; }

private:
    int listener_ = -1;
    int port_ = 0;
    int fillers_[4] = {};
};

TEST(NetworkStall, ConnectionsThatDoNotOpenTimeOut) {
    FullListener full;
    const NetworkTimeouts timeouts{1000ms, 60000ms};
    const std::string host = "127.0.0.1:" + std::to_string(full.Port());
    {
        HttpClient client;
        client.SetTimeouts(timeouts);
        const auto start = Clock::now();
        auto got = client.HttpGet("http://" + host + "/");
        ASSERT_FALSE(got);
        EXPECT_EQ(got.error().kind, HttpError::Kind::Transport);
        EXPECT_LT(SecondsSince(start), 5);
    }
    {
        FtpClient ftp({host, "user", "pass", {}});
        ftp.SetTimeouts(timeouts);
        const auto start = Clock::now();
        EXPECT_THROW(ftp.FtpConnect(), FtpError);
        EXPECT_FALSE(ftp.FtpConnected());
        EXPECT_LT(SecondsSince(start), 5);
    }
}

TEST(NetworkStall, FtpWaitsEndByThemselvesOrWithinASecondOfStop) {
    ASSERT_TRUE(Service().ok()) << Service().error();
    test::TempFolder local;
    // Random bytes, more than the socket buffers of a data connection that is no longer read.
    std::string bytes(4 << 20, '\0');
    std::mt19937 random(7);
    for (char& b : bytes) b = static_cast<char>(random());
    ASSERT_TRUE(WriteFileAtomically(local.File("big.bin"), bytes));
    const FtpAccount settings{"127.0.0.1:" + std::to_string(Service().ftpPort()), "vantrel_upload", "upload-pass", {}};

    struct Case {
        const char* fault;
        bool inStore;       // the stall comes during a store; otherwise at the greeting
        bool endsByItself;  // a drip outlasts these limits (DripsFailByTheLowSpeedRuleOrTheAnswerDeadline)
    } cases[] = {{"silent-ftp-greeting", false, true},
                 {"silent-stor-reply", true, true},
                 {"stall-stor-data", true, true},
                 {"drip-stor-reply", true, false}};
    int folder = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        FaultOn fault(Service(), c.fault);
        auto stall = [&](FtpClient& ftp) {
            if (!c.inStore) return ftp.FtpConnect();
            ftp.FtpConnect();
            const std::string name = std::string("stall") + std::to_string(folder++);
            ftp.FtpMakeDir(name);
            ftp.FtpChangeDir(name);
            ftp.FtpStore(local.File("big.bin"), "big.bin");
        };
        if (c.endsByItself) {
            FtpClient ftp(settings);
            ftp.SetTimeouts(kQuick);
            const auto start = Clock::now();
            EXPECT_THROW(stall(ftp), FtpError);
            EXPECT_FALSE(ftp.FtpConnected());
            EXPECT_LT(SecondsSince(start), 10);
        }
        StopWhenStalled stopper(Service());
        FtpClient ftp(settings, [&] { stopper(); });
        ftp.SetStopCheck([&] { return stopper.Stopped(); });
        EXPECT_THROW(stall(ftp), FtpError);
        EXPECT_FALSE(ftp.FtpConnected());
        ASSERT_TRUE(stopper.Stopped());
        EXPECT_LT(stopper.SecondsSinceStop(), 1.0);
        // Stopped, the client does not connect again.
        EXPECT_THROW(ftp.FtpConnect(), FtpError);
    }
}

// A peer that drips its answer keeps every connection busy: the low-speed rule or the deadline of a
// small answer ends it, as a network failure that names what happened.
TEST(NetworkStall, DripsFailByTheLowSpeedRuleOrTheAnswerDeadline) {
    ASSERT_TRUE(Service().ok()) << Service().error();
    test::TempFolder local;
    ASSERT_TRUE(WriteFileAtomically(local.File("small.bin"), std::string(3000, 's')));
    const FtpAccount settings{"127.0.0.1:" + std::to_string(Service().ftpPort()), "vantrel_upload", "upload-pass", {}};
    const NetworkTimeouts lowSpeed{5000ms, 1000ms, 1000ms, 600000ms};
    const NetworkTimeouts deadline{5000ms, 1000ms, 600000ms, 2000ms};
    const struct Case {
        const char* fault;
        NetworkTimeouts timeouts;
        const char* says;
    } cases[] = {{"drip-settings", lowSpeed, "the server sent under 1 KB in 1 s"},
                 {"drip-settings", deadline, "no complete answer within 2 s"},
                 {"drip-stor-reply", lowSpeed, "the FTP server sent under 1 KB in 1 s"},
                 {"drip-stor-reply", deadline, "no complete answer within 2 s"}};
    int folder = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fault) + ": " + c.says);
        FaultOn fault(Service(), c.fault);
        const auto start = Clock::now();
        if (std::string_view(c.fault) == "drip-settings") {
            HttpClient client;
            client.SetTimeouts(c.timeouts);
            auto got = client.HttpGet(Service().httpBase() + "/common/uploader_settings.plist");
            ASSERT_FALSE(got);
            EXPECT_EQ(got.error().kind, HttpError::Kind::Transport);
            EXPECT_TRUE(got.error().networkFailure);
            EXPECT_EQ(got.error().message, c.says);
        } else {
            FtpClient ftp(settings);
            ftp.SetTimeouts(c.timeouts);
            ftp.FtpConnect();
            const std::string name = "drip" + std::to_string(folder++);
            ftp.FtpMakeDir(name);
            ftp.FtpChangeDir(name);
            try {
                ftp.FtpStore(local.File("small.bin"), "small.bin");
                ADD_FAILURE() << "the store went through";
            } catch (const FtpRefusalError& error) {
                ADD_FAILURE() << "taken for a refusal: " << error.what();
            } catch (const FtpError& error) {
                EXPECT_EQ(std::string(error.what()), c.says);
            }
            EXPECT_FALSE(ftp.FtpConnected());
        }
        EXPECT_LT(SecondsSince(start), 30);
    }
}

TEST(NetworkStall, TimeoutsFromTheEnvironment) {
    struct Case {
        const char* text;
        long long connectMs, inactivityMs, lowSpeedMs, deadlineMs;  // connectMs 0: refused
    } cases[] = {{"30,60", 30000, 60000, 60000, 120000}, {"1.5, 2", 1500, 2000, 60000, 120000},
                 {"0.2,0.25", 200, 250, 60000, 120000},  {"1,2,3", 1000, 2000, 3000, 120000},
                 {"1,2,3,4.5", 1000, 2000, 3000, 4500},  {"", 0, 0, 0, 0},
                 {"5", 0, 0, 0, 0},                      {"0,1", 0, 0, 0, 0},
                 {"-1,2", 0, 0, 0, 0},                   {"1,x", 0, 0, 0, 0},
                 {"1,2,,4", 0, 0, 0, 0},                 {"1,2,3,0", 0, 0, 0, 0},
                 {"1,2,3,4,5", 0, 0, 0, 0},              {"1,2,", 0, 0, 0, 0}};
    for (const auto& c : cases) {
        auto parsed = ParseNetworkTimeouts(c.text);
        EXPECT_EQ(parsed.has_value(), c.connectMs != 0) << c.text;
        if (!parsed || !c.connectMs) continue;
        EXPECT_EQ(parsed->connect.count(), c.connectMs) << c.text;
        EXPECT_EQ(parsed->inactivity.count(), c.inactivityMs) << c.text;
        EXPECT_EQ(parsed->lowSpeedWindow.count(), c.lowSpeedMs) << c.text;
        EXPECT_EQ(parsed->answerDeadline.count(), c.deadlineMs) << c.text;
    }
    EXPECT_EQ(DescribeSeconds(60000ms), "60 s");
    EXPECT_EQ(DescribeSeconds(1500ms), "1.5 s");
    EXPECT_EQ(DescribeDuration(120000ms), "2 minutes");
    EXPECT_EQ(DescribeDuration(60000ms), "1 minute");
    EXPECT_EQ(DescribeDuration(90000ms), "90 s");
}

}  // namespace
}  // namespace vantrel
