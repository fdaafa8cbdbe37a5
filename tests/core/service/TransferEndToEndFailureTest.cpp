// Whole transfer runs against a stand-in service that stalls or goes away mid-run.
#include "core/service/TransferEndToEndFixture.h"

namespace vantrel::endtoend {
namespace {

TEST_F(TransferEndToEnd, StalledServiceNeverHoldsTheRunNorCostsAPhoto) {
    using namespace std::chrono_literals;
    using Clock = std::chrono::steady_clock;
    QueueInto("Summer", NoisyPhoto("one.jpg", 800, 600));  // larger than the buffers of a data connection not read
    const auto queued = QueuedNames();
    enum class Alone { Throws, EndsWithThePhotoQueued, Never };
    const struct Case {
        const char* fault;
        Alone alone;
    } cases[] = {{"silent-settings", Alone::Throws},    {"silent-rpc", Alone::Throws},
                 {"silent-ftp-greeting", Alone::Throws}, {"silent-stor-reply", Alone::EndsWithThePhotoQueued},
                 {"stall-stor-data", Alone::EndsWithThePhotoQueued}, {"drip-stor-reply", Alone::Never}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        FaultOn fault(*service_, c.fault);
        if (c.alone != Alone::Never) {
            timeouts_ = {5000ms, 1000ms};
            stopCheck_ = {};
            RecordingObserver observer;
            if (c.alone == Alone::Throws) EXPECT_ANY_THROW(Run(observer));
            else {
                // The stalled store times out five times: the photo is named as not verified.
                EXPECT_EQ(Run(observer), TTransferOutcome::toReported);
                ASSERT_TRUE(observer.report);
                EXPECT_EQ(observer.report->notVerified, std::vector<std::string>{"one.jpg"});
            }
            EXPECT_EQ(QueuedNames(), queued);
            ExpectWorkingCopies();
        }
        // Stop once the stand-in has the client caught, with the default time-outs.
        timeouts_ = DefaultNetworkTimeouts();
        const int before = service_->Stalls();
        bool stop = false;
        Clock::time_point stoppedAt;
        TransferRun* running = nullptr;
        stopCheck_ = [&] { return stop; };
        RecordingObserver observer;
        observer.onMessages = [&] {
            if (!stop && service_->Stalls() > before) {
                stop = true;
                stoppedAt = Clock::now();
            }
            if (stop && running && !running->StopPressed()) running->Stop();
        };
        EXPECT_EQ(Run(observer, kPassword,
                      [&](TransferRun& run) {
                          running = &run;
                          if (stop) run.Stop();  // pressed while the settings were being fetched
                      }),
                  TTransferOutcome::toStopped);
        ASSERT_TRUE(stop);
        EXPECT_LT(std::chrono::duration<double>(Clock::now() - stoppedAt).count(), 1.0);
        EXPECT_EQ(QueuedNames(), queued);
        EXPECT_EQ(RestoredNames(), queued);
        ExpectWorkingCopies();
    }
    stopCheck_ = {};
}

// A network failure in the middle of a run never costs a queued photo: the stand-in goes away
// while the second photo is being stored.
TEST_F(TransferEndToEnd, ServiceGoneMidRunKeepsEveryPhotoNotVerified) {
    auto own = std::make_unique<test::StandinService>();
    ASSERT_TRUE(own->ok()) << own->error();
    QueueInto("Summer", NoisyPhoto("one.jpg", 200, 160));
    QueueInto("Summer", NoisyPhoto("two.jpg", 200, 170));
    QueueInto("Summer", NoisyPhoto("three.jpg", 200, 180));

    HttpClient settingsHttp;
    TRemoteSettings remote;
    ASSERT_TRUE(PrepareTransfer(settingsHttp, WorkFolder(), "GB", false, remote, {},
                                SettingsBaseAddresses(own->settingsBase())));
    RecordingObserver observer;
    observer.onPhotoProgress = [&](std::int64_t position) {
        if (position > 0 && observer.photosShown.size() == 2 && own) own.reset();
    };
    HttpClient rpcHttp;
    XmlRpcService rpc(rpcHttp, remote.script_url, WorkFolder());
    XmlRpcTransferService calls(rpc);
    TransferRun run(albums_, calls, observer, {remote, WorkFolder(), kEmail, kPassword, UploadImagingFor(ws_), {}});
    FtpClient ftp(FtpSettingsFor(remote), [&] { observer.ProcessMessages(); });
    std::string session;
    // The reconnection fails: an upload error that ends the walk.
    EXPECT_EQ(run.RunTransfer(ftp, session), TTransferOutcome::toStopped);
    EXPECT_FALSE(own);
    EXPECT_EQ(observer.photosShown, (std::vector<std::string>{"three.jpg", "two.jpg"}));
    ASSERT_TRUE(SaveTransferList(albums_, ListPath()));
    EXPECT_EQ(QueuedNames(), (std::vector<std::string>{"Summer/one.jpg", "Summer/two.jpg"}));
    EXPECT_EQ(RestoredNames(), QueuedNames());
    ExpectWorkingCopies();
    EXPECT_EQ(Entries(WorkFolder()), (std::set<std::string>{"one.jpg", "two.jpg", "Images.lst", "Temp.xml",
                                                             "uploader_settings.plist"}));
}

}  // namespace
}  // namespace vantrel::endtoend
