// Whole runs against the stand-in while the network goes away: the run waits with growing pauses
// and goes on where it was, Stop ends a wait at once, and what stays queued is named.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>

#include "core/TempFolder.h"
#include "core/albums/TAlbum.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/JpegPhotoImaging.h"
#include "core/albums/MemoryContentView.h"
#include "core/albums/PhotoIntake.h"
#include "core/base/AtomicFile.h"
#include "core/imaging/FileDigest.h"
#include "core/imaging/ImageFileOps.h"
#include "core/service/FtpClient.h"
#include "core/service/XmlRpcService.h"
#include "core/service/TransferPreparation.h"
#include "core/service/TransferRun.h"
#include "core/service/XmlRpcTransferService.h"
#include "core/support/ConnectProxy.h"
#include "core/support/LocalPhotoQueue.h"
#include "core/support/StandinService.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class WaitingObserver : public TransferObserver {
public:
    std::function<void()> onMessages;
    std::function<void(int)> onWait;
    std::vector<std::string> photosShown;
    std::vector<int> waits;  // every second shown during the pauses, 0 when an attempt starts
    std::optional<TransferReport> report;

    void ProcessMessages() override {
        if (onMessages) onMessages();
    }
    void SetTimerRunning(bool) override {}
    void ShowAlbum(const TAlbum&) override {}
    void ShowPhoto(const TImageJob& job) override { photosShown.push_back(job.FileName); }
    void ShowPhotosLeft(int) override {}
    void ShowPhotoProgress(std::int64_t, std::int64_t) override {}
    void ShowRunProgress(std::int64_t, std::int64_t) override {}
    void ShowLoginRefused() override { ADD_FAILURE() << "login refused"; }
    void ShowReport(const TransferReport& shown) override { report = shown; }
    void ShowConnectionWait(int secondsLeft) override {
        waits.push_back(secondsLeft);
        if (onWait) onWait(secondsLeft);
    }
};

class ReconnectEndToEnd : public ::testing::Test, protected test::LocalPhotoQueue {
protected:
    void SetUp() override {
        ASSERT_TRUE(service_.ok()) << service_.error();
    }

    // A noisy photo, queued into "Summer"; returns the MD5 of its working copy.
    std::string Queue(const std::string& name, int width, int height) {
        const int index = QueueInto("Summer", NoisyPhoto(name, width, height));
        const TJobList& jobs = albums_.Items(index).Jobs();
        return DigestToHex(DigestFile(jobs.Items(jobs.Count() - 1).WorkPath));
    }

    int Queued() const {
        int count = 0;
        for (int i = 0; i < albums_.Count(); ++i) count += albums_.Items(i).Jobs().Count();
        return count;
    }

    // A run as the window makes it, with short time-outs and the given reconnect schedule.
    TTransferOutcome Run(WaitingObserver& observer, const std::string& schedule, TransferRun** running = nullptr) {
        const NetworkTimeouts timeouts{2000ms, 3000ms};
        HttpClient settingsHttp([&] { observer.ProcessMessages(); });
        settingsHttp.SetTimeouts(timeouts);
        settingsHttp.SetProxy(ProxyChoice::Fixed(proxy_));
        TRemoteSettings remote;
        EXPECT_TRUE(PrepareTransfer(settingsHttp, work_.Path(), "GB", false, remote, {},
                                    SettingsBaseAddresses(service_.settingsBase())));
        HttpClient rpcHttp([&] { observer.ProcessMessages(); });
        rpcHttp.SetTimeouts(timeouts);
        rpcHttp.SetProxy(ProxyChoice::Fixed(proxy_));
        XmlRpcService rpc(rpcHttp, remote.script_url, work_.Path());
        XmlRpcTransferService calls(rpc);
        TransferConfig config{remote, work_.Path(), "demo@vantrel.test", "demo", UploadImagingFor(ws_), {}};
        config.reconnect = *ParseReconnectSchedule(schedule);
        TransferRun run(albums_, calls, observer, config);
        if (running) *running = &run;
        rpcHttp.SetStopCheck([&] { return run.StopPressed(); });
        FtpAccount ftpSettings = FtpSettingsFor(remote);
        ftpSettings.proxy = proxy_;
        FtpClient ftp(ftpSettings, [&] { observer.ProcessMessages(); });
        ftp.SetTimeouts(timeouts);
        std::string session;
        struct Forget {
            TransferRun** running;
            ~Forget() {
                if (running) *running = nullptr;
            }
        } forget{running};
        return run.RunTransfer(ftp, session);
    }

    // The photos of the upload folders as number -> MD5, each folder's "n.jpg" files.
    std::map<std::string, std::string> StoredPhotos(int& folders) const {
        std::map<std::string, std::string> stored;
        folders = 0;
        for (const auto& folder : fs::directory_iterator(service_.ftpFolder())) {
            ++folders;
            for (const auto& file : fs::directory_iterator(folder.path())) {
                const std::string name = file.path().filename().string();
                if (name.ends_with(".jpg") && name.find('.') == name.rfind('.'))
                    stored[name] = DigestToHex(DigestFile(file.path().string()));
            }
        }
        return stored;
    }

    std::string proxy_;  // "host:port" of an HTTP proxy for every connection, or none
    test::StandinService service_;
};

// The network goes away for 30 s while the second photo's bytes move: the run waits, starts that
// photo again from its first file and sends everything, each photo once, in one folder.
TEST_F(ReconnectEndToEnd, ThirtySecondsWithoutNetworkCostNothing) {
    std::multiset<std::string> digests;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) digests.insert(Queue(name, 600, 400));
    WaitingObserver observer;
    // The sixth store is the second photo's scaled copy: its photo was already verified.
    ASSERT_TRUE(service_.StartOutage(30, "reset", 6));
    const auto start = Clock::now();
    EXPECT_EQ(Run(observer, "1,2,4;120"), TTransferOutcome::toCompleted);
    EXPECT_GE(Clock::now() - start, 30s);
    EXPECT_GT(service_.ConnectionsCut(), 0);
    EXPECT_EQ(Queued(), 0);
    EXPECT_FALSE(observer.report) << "nothing to report";
    // The waits counted down and ended with a new attempt.
    ASSERT_FALSE(observer.waits.empty());
    EXPECT_EQ(observer.waits.front(), 1);
    EXPECT_EQ(observer.waits.back(), 0);
    EXPECT_NE(std::find(observer.waits.begin(), observer.waits.end(), 4), observer.waits.end());
    int folders = 0;
    const auto stored = StoredPhotos(folders);
    EXPECT_EQ(folders, 1);
    std::multiset<std::string> sent;
    for (const auto& [name, digest] : stored) sent.insert(digest);
    EXPECT_EQ(sent, digests);
    EXPECT_EQ(stored.size(), 4u);
    EXPECT_TRUE(stored.contains("0.jpg") && stored.contains("3.jpg"));
}

// Down before the run starts (connections refused): the login waits for the network.
TEST_F(ReconnectEndToEnd, ARunStartedWithoutNetworkBeginsWhenItReturns) {
    Queue("a.jpg", 300, 200);
    WaitingObserver observer;
    // The settings are fetched first, so the outage begins just before the login.
    bool down = false;
    observer.onMessages = [&] {
        if (!down) down = service_.StartOutage(2, "refuse");
    };
    EXPECT_EQ(Run(observer, "0.5;30"), TTransferOutcome::toCompleted);
    EXPECT_TRUE(down);
    EXPECT_FALSE(observer.waits.empty());
    EXPECT_EQ(Queued(), 0);
}

// Stop during a wait ends the run at once; the photo under way and the rest stay queued.
TEST_F(ReconnectEndToEnd, StopDuringAWaitEndsTheRunAtOnce) {
    Queue("a.jpg", 600, 400);
    Queue("b.jpg", 600, 400);
    WaitingObserver observer;
    TransferRun* running = nullptr;
    Clock::time_point stoppedAt;
    int queuedAtStop = -1;
    ASSERT_TRUE(service_.StartOutage(60, "reset", 1));
    observer.onWait = [&](int secondsLeft) {
        if (secondsLeft > 0 && running && !running->StopPressed()) {
            stoppedAt = Clock::now();
            queuedAtStop = Queued();
            running->Stop();
        }
    };
    EXPECT_EQ(Run(observer, "30;600", &running), TTransferOutcome::toStopped);
    EXPECT_LT(Clock::now() - stoppedAt, 1s);
    EXPECT_EQ(queuedAtStop, 2);
    EXPECT_EQ(Queued(), 2);
    const TJobList& jobs = albums_.Items(0).Jobs();
    bool underWayQueued = false;
    for (int j = 0; j < jobs.Count(); ++j) {
        EXPECT_TRUE(fs::exists(jobs.Items(j).WorkPath));
        underWayQueued |= jobs.Items(j).FileName == observer.photosShown.back();
    }
    EXPECT_TRUE(underWayQueued);
    // Stop is the user's choice: no report for what it leaves.
    EXPECT_FALSE(observer.report);
}

// What stays queued is named with its reason: a checksum that never matches, and a network that
// does not come back within the schedule (the run then fails as a connection failure).
TEST_F(ReconnectEndToEnd, TheReportNamesWhatStayedQueued) {
    Queue("a.jpg", 300, 200);
    {
        ASSERT_TRUE(service_.SetFault("checksum-wrong", true));
        WaitingObserver observer;
        EXPECT_EQ(Run(observer, "1;10"), TTransferOutcome::toReported);
        service_.SetFault("checksum-wrong", false);
        ASSERT_TRUE(observer.report);
        EXPECT_EQ(observer.report->notVerified, std::vector<std::string>{"a.jpg"});
        EXPECT_TRUE(observer.report->leftByEarlyEnd.empty());
        EXPECT_EQ(Queued(), 1);
    }
    Queue("b.jpg", 300, 200);
    WaitingObserver observer;
    ASSERT_TRUE(service_.StartOutage(20, "reset", 1));
    const auto start = Clock::now();
    EXPECT_THROW(Run(observer, "0.5;2"), std::exception);
    EXPECT_LT(Clock::now() - start, 15s);
    ASSERT_TRUE(observer.report);
    EXPECT_EQ(observer.report->leftByEarlyEnd, (std::vector<std::string>{"b.jpg", "a.jpg"}));
    EXPECT_EQ(Queued(), 2);
}

// With a proxy, the whole run goes through its tunnels: the settings, the XML-RPC calls, the FTP
// control connection and every data connection.
TEST_F(ReconnectEndToEnd, TheWholeRunGoesThroughTheProxy) {
    Queue("a.jpg", 300, 200);
    Queue("b.jpg", 200, 300);
    const std::string log = work_.File("proxy.log");
    test::ConnectProxy proxy(log);
    ASSERT_GT(proxy.port(), 0);
    proxy_ = "127.0.0.1:" + std::to_string(proxy.port());
    WaitingObserver observer;
    EXPECT_EQ(Run(observer, "0.5;5"), TTransferOutcome::toCompleted);
    EXPECT_EQ(Queued(), 0);
    std::map<std::string, int> tunnels = test::ProxyTargets(log);
    const std::string http = "127.0.0.1:" + std::to_string(service_.httpPort());
    const std::string ftp = "127.0.0.1:" + std::to_string(service_.ftpPort());
    // Settings, then new session, login and album list (the album exists already or is made).
    EXPECT_GE(tunnels[http], 4);
    EXPECT_EQ(tunnels[ftp], 1);
    int data = 0;
    for (const auto& [target, count] : tunnels)
        if (target != http && target != ftp) data += count;
    EXPECT_EQ(data, 8);  // four stores for each photo
}

TEST(ReconnectSchedule, ReadsPausesAndLimit) {
    const struct {
        const char* text;
        std::vector<std::chrono::milliseconds> pauses;  // empty: refused
        std::chrono::milliseconds limit;
    } cases[] = {{"5,15,45,60;600", {5s, 15s, 45s, 60s}, 600s},
                 {" 0.2 ;1.5", {200ms}, 1500ms},
                 {"1,2", {}, 0ms},
                 {"1,,2;5", {}, 0ms},
                 {"1;0", {}, 0ms},
                 {"-1;5", {}, 0ms},
                 {"x;5", {}, 0ms},
                 {";5", {}, 0ms}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto parsed = ParseReconnectSchedule(c.text);
        if (c.pauses.empty()) {
            EXPECT_FALSE(parsed);
            continue;
        }
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->pauses, c.pauses);
        EXPECT_EQ(parsed->limit, c.limit);
    }
    const ReconnectSchedule standard = StandardReconnectSchedule();
    const std::vector<std::chrono::milliseconds> expected = {5s, 15s, 45s, 60s, 60s, 60s};
    for (int failures = 1; failures <= 6; ++failures)
        EXPECT_EQ(standard.PauseAfter(failures), expected[failures - 1]) << failures;
    EXPECT_EQ(standard.limit, 600s);
    EXPECT_FALSE(ReconnectSchedule{}.Enabled());
}

}  // namespace
}  // namespace vantrel
