#pragma once
// Whole transfer runs against the stand-in service: real intake, real XML-RPC calls, real FTP.
// The fixture of the end-to-end tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>

#include "core/TempFolder.h"
#include "core/albums/TAlbum.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/JpegPhotoImaging.h"
#include "core/albums/MemoryContentView.h"
#include "core/albums/PhotoIntake.h"
#include "core/albums/TransferListFile.h"
#include "core/base/AtomicFile.h"
#include "core/imaging/FileDigest.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/JpegDecoder.h"
#include "core/service/FtpClient.h"
#include "core/service/XmlRpcService.h"
#include "core/service/TransferPreparation.h"
#include "core/service/TransferRun.h"
#include "core/service/UploadRateLimit.h"
#include "core/service/XmlRpcTransferService.h"
#include "core/support/LocalPhotoQueue.h"
#include "core/support/ReferenceCopy.h"
#include "core/support/StandinFault.h"
#include "core/support/StandinService.h"

namespace vantrel::endtoend {

namespace fs = std::filesystem;
using test::FaultOn;

constexpr const char* kEmail = "demo@vantrel.test";
constexpr const char* kPassword = "demo";
constexpr const char* kCustomer = "1001";

inline std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored)) names.insert(entry.path().filename().string());
    return names;
}

inline std::string ReadAll(const std::string& path) {
    auto bytes = ReadWholeFile(path);
    return bytes ? *bytes : std::string();
}

class RecordingObserver : public TransferObserver {
public:
    std::function<void()> onMessages;
    std::function<void(std::int64_t)> onPhotoProgress;
    std::function<void()> onPhotoShown;
    std::vector<std::string> photosShown;
    bool loginRefused = false;
    std::optional<TransferReport> report;

    void ProcessMessages() override {
        if (onMessages) onMessages();
    }
    void SetTimerRunning(bool) override {}
    void ShowAlbum(const TAlbum&) override {}
    void ShowPhoto(const TImageJob& job) override {
        photosShown.push_back(job.FileName);
        if (onPhotoShown) onPhotoShown();
    }
    void ShowPhotosLeft(int) override {}
    void ShowPhotoProgress(std::int64_t position, std::int64_t) override {
        if (onPhotoProgress) onPhotoProgress(position);
    }
    void ShowRunProgress(std::int64_t position, std::int64_t) override { runPositions.push_back(position); }
    std::vector<std::int64_t> runPositions;
    void ShowLoginRefused() override { loginRefused = true; }
    void ShowReport(const TransferReport& shown) override { report = shown; }
};

class TransferEndToEnd : public ::testing::Test, protected test::LocalPhotoQueue {
protected:
    // One stand-in for the suite: the account owns the album "SUMMER"; a cut JPEG's last decoder
    // message (85) is on the list of refused warnings; the copies are kept small.
    static void SetUpTestSuite() {
        accounts_ = new test::TempFolder;
        const std::string path = accounts_->Write(
            "accounts.json", R"([{"email": "demo@vantrel.test", "password": "demo", "member_id": "1001", "albums": ["SUMMER"]}])");
        service_ = new test::StandinService({}, {"--accounts", path, "--set", "rejected_errors=85,123", "--set",
                                                 "size_scaled=200", "--set", "size_thumbnail=48"});
    }
    static void TearDownTestSuite() {
        delete service_;
        delete accounts_;
        service_ = nullptr;
        accounts_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(service_->ok()) << service_->error();
        // The window saves the transfer list on every change of an album's photos.
        albums_.OnContentChanged = [this](TAlbum*) { ASSERT_TRUE(SaveTransferList(albums_, ListPath())); };
        albums_.OnMessage = [this](const UserMessage& message) { messages_.push_back(message.key); };
    }

    // Stop is pressed as the first photo is shown (its preparation under way) or while its first
    // bytes travel (the next photos being prepared meanwhile).
    void StopDuringTheFirstPhoto(bool whileStoring) {
        QueueInto("Summer", NoisyPhoto("one.jpg", 900, 700));
        QueueInto("Summer", NoisyPhoto("two.jpg", 800, 600));
        QueueInto("Summer", NoisyPhoto("three.jpg", 1000, 800));
        const auto before = UploadFolders();

        RecordingObserver observer;
        TransferRun* running = nullptr;
        auto stop = [&] {
            if (running && !running->StopPressed()) running->Stop();
        };
        if (whileStoring) observer.onPhotoProgress = [&](std::int64_t position) { if (position > 0) stop(); };
        else observer.onPhotoShown = stop;
        EXPECT_EQ(Run(observer, kPassword, [&](TransferRun& run) { running = &run; }), TTransferOutcome::toStopped);
        EXPECT_EQ(observer.photosShown, std::vector<std::string>{"three.jpg"});

        // The store under way was cut: no sidecar reached the server, so the service ignores the rest.
        const std::string folder = NewFolder(before);
        EXPECT_FALSE(Entries(service_->ftpFolder() + "/" + folder).contains("0.inf"));
        EXPECT_EQ(QueuedNames(), (std::vector<std::string>{"Summer/one.jpg", "Summer/three.jpg", "Summer/two.jpg"}));
        EXPECT_EQ(RestoredNames(), QueuedNames());
        ExpectWorkingCopies();
        // The copies prepared ahead are gone with the run's other temporary files.
        EXPECT_EQ(Entries(WorkFolder()), (std::set<std::string>{"one.jpg", "two.jpg", "three.jpg", "Images.lst",
                                                                 "Temp.xml", "uploader_settings.plist"}));
    }

    std::string WorkFolder() const { return work_.Path(); }
    std::string ListPath() const { return work_.File(std::string(kTransferListName)); }

    // The FTP folders of the account's start folder.
    static std::set<std::string> UploadFolders() { return Entries(service_->ftpFolder()); }
    static std::string NewFolder(const std::set<std::string>& before) {
        std::string found;
        for (const auto& name : UploadFolders())
            if (!before.contains(name)) {
                EXPECT_TRUE(found.empty()) << "two new folders";
                found = name;
            }
        return found;
    }

    // What the window does for a run: reload the settings, bind the calls, run. Throws what the
    // run throws.
    TTransferOutcome Run(RecordingObserver& observer, const std::string& password = kPassword,
                         std::function<void(TransferRun&)> started = {}) {
        HttpClient settingsHttp([&] { observer.ProcessMessages(); });
        settingsHttp.SetTimeouts(timeouts_);
        settingsHttp.SetStopCheck(stopCheck_);
        remote_ = {};
        PrepareTransfer(settingsHttp, WorkFolder(), "GB", false, remote_, {},
                        SettingsBaseAddresses(service_->settingsBase()));
        HttpClient rpcHttp([&] { observer.ProcessMessages(); });
        rpcHttp.SetTimeouts(timeouts_);
        rpcHttp.SetStopCheck(stopCheck_);
        XmlRpcService rpc(rpcHttp, remote_.script_url, WorkFolder());
        XmlRpcTransferService calls(rpc);
        calls.OnUnreadableResponse = [this](const RpcError& problem) {
            unreadable_.push_back(problem.Message([](std::string_view key) { return std::string(key); }));
        };
        UploadImaging imaging = UploadImagingFor(ws_);
        if (adjustImaging_) adjustImaging_(imaging);
        TransferConfig config{remote_, WorkFolder(), kEmail, password, imaging, {}};
        config.sessions = sessions_;
        config.openSession = [this] {
            auto session = std::make_unique<FtpClient>(FtpSettingsFor(remote_));
            session->SetTimeouts(timeouts_);
            session->SetRateLimit(rateLimit_);
            return session;
        };
        TransferRun run(albums_, calls, observer, config);
        if (started) started(run);
        FtpClient ftp(FtpSettingsFor(remote_), [&] { observer.ProcessMessages(); });
        ftp.SetTimeouts(timeouts_);
        ftp.SetRateLimit(rateLimit_);
        sessionCode_.clear();
        TTransferOutcome outcome = run.RunTransfer(ftp, sessionCode_);
        EXPECT_TRUE(SaveTransferList(albums_, ListPath()));
        return outcome;
    }

    // The service's albums of the account, through a session of their own.
    static std::map<std::string, std::int32_t> ServiceAlbums(const std::string& workFolder) {
        HttpClient http;
        XmlRpcService rpc(http, service_->scriptUrl(), workFolder);
        auto session = rpc.SessionNew();
        EXPECT_TRUE(session);
        auto member = rpc.SessionLogin(session->objectId, session->code, kEmail, kPassword);
        EXPECT_TRUE(member);
        auto listed = rpc.MemberGetAlbumList(*member, session->code);
        EXPECT_TRUE(listed);
        std::map<std::string, std::int32_t> albums;
        for (const auto& album : *listed) albums.emplace(album.name, album.id);
        return albums;
    }

    // Names of the photos queued in the transfer list file, restored as at the next start.
    std::vector<std::string> RestoredNames() {
        MemoryContentView view;
        TAlbumList restored(view, MonthNames{});
        PhotoIntake intake(restored, imaging_, WorkFolder(), MonthNames{});
        EXPECT_TRUE(LoadTransferList(restored, intake, ListPath()));
        std::vector<std::string> names;
        for (int i = 0; i < restored.Count(); ++i)
            for (int j = 0; j < restored.Items(i).Jobs().Count(); ++j)
                names.push_back(restored.Items(i).AlbumName() + "/" + restored.Items(i).Jobs().Items(j).FileName);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> QueuedNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < albums_.Count(); ++i)
            for (int j = 0; j < albums_.Items(i).Jobs().Count(); ++j)
                names.push_back(albums_.Items(i).AlbumName() + "/" + albums_.Items(i).Jobs().Items(j).FileName);
        std::sort(names.begin(), names.end());
        return names;
    }
    // Every queued photo's working copy is in the work folder.
    void ExpectWorkingCopies() const {
        for (int i = 0; i < albums_.Count(); ++i)
            for (int j = 0; j < albums_.Items(i).Jobs().Count(); ++j)
                EXPECT_TRUE(fs::exists(albums_.Items(i).Jobs().Items(j).WorkPath)) << albums_.Items(i).Jobs().Items(j).WorkPath;
    }

    static inline test::TempFolder* accounts_ = nullptr;
    static inline test::StandinService* service_ = nullptr;

    TRemoteSettings remote_;
    NetworkTimeouts timeouts_ = DefaultNetworkTimeouts();
    std::function<bool()> stopCheck_;  // the window's Stop for the HTTP clients
    std::function<void(UploadImaging&)> adjustImaging_;  // changes the image work of the next runs
    int sessions_ = 1;                          // FTP sessions side by side in the next runs
    UploadRateLimit* rateLimit_ = nullptr;      // the upload limit of the next runs
    std::string sessionCode_;
    std::vector<std::string> messages_;
    std::vector<std::string> unreadable_;
};

}  // namespace vantrel::endtoend
