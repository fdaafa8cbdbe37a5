#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/albums/TAlbum.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/MemoryContentView.h"
#include "core/imaging/FileDigest.h"
#include "core/imaging/ImageFileOps.h"
#include "core/service/FtpClient.h"
#include "core/service/FtpMemoryServer.h"
#include "core/service/ServiceIds.h"
#include "core/service/TransferRun.h"
#include "core/service/TransferService.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

class FakeService : public TransferService {
public:
    std::vector<ServiceAlbum> albums = {{"SUMMER", 11}, {"Other", 12}};
    bool refuseLogin = false;
    std::string customerId = "4711";
    std::int32_t firstCreatedId = 101;
    std::vector<std::string> created;

    ServiceResult<std::string> SessionNew() override { return "S-1"; }
    ServiceResult<std::string> SessionLogin(const std::string& email, const std::string& password) override {
        if (refuseLogin || email != "anna@example.org" || password != "secret")
            return std::unexpected(ServiceRefusalError{"wrong login"});
        return customerId;
    }
    ServiceResult<std::vector<ServiceAlbum>> MemberGetAlbumList() override { return albums; }
    ServiceResult<std::int32_t> MemberCreateAlbum(const std::string& name) override {
        created.push_back(name);
        const std::int32_t id = firstCreatedId - 1 + static_cast<std::int32_t>(created.size());
        albums.push_back({name, id});
        return id;
    }
    std::string SessionCode() const override { return "S-1"; }
    std::string CustomerId() const override { return customerId; }
};

class RecordingObserver : public TransferObserver {
public:
    std::function<void()> onMessages;
    std::vector<int> photosLeft;
    std::vector<std::string> albumsShown;
    bool loginRefused = false;
    std::optional<TransferReport> report;
    std::int64_t lastRunPosition = 0;

    void ProcessMessages() override {
        if (onMessages) onMessages();
    }
    void SetTimerRunning(bool) override {}
    void ShowAlbum(const TAlbum& album) override { albumsShown.push_back(album.AlbumName()); }
    void ShowPhoto(const TImageJob&) override {}
    void ShowPhotosLeft(int left) override { photosLeft.push_back(left); }
    void ShowPhotoProgress(std::int64_t position, std::int64_t) override { photoPositions.push_back(position); }
    void ShowRunProgress(std::int64_t position, std::int64_t) override { lastRunPosition = position; }
    std::vector<std::int64_t> photoPositions;
    void ShowLoginRefused() override { loginRefused = true; }
    void ShowReport(const TransferReport& shown) override { report = shown; }
};

// The run logs in to the FTP server beside the service's login; nothing more may have happened
// there: no folder made or entered, no file stored.
bool OnlyLoggedIn(test::FtpMemoryServer& server) {
    const auto commands = server.Commands();
    return std::all_of(commands.begin(), commands.end(), [](const std::string& command) {
        return command.starts_with("USER ") || command.starts_with("PASS ") || command == "TYPE I" || command == "SYST";
    });
}

class TransferRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        work_ = fs::temp_directory_path() / ("transfer-run-" + std::to_string(::getpid()));
        fs::remove_all(work_);
        fs::create_directories(work_);
        settings_.picture_minsize = 2;  // KiB
        settings_.picture_maxsize = 10;
        settings_.size_scaled = 120;
        settings_.size_thumbnail = 40;
        // A cut file ends its decoding with the "End Of Image" message after its warning.
        settings_.rejected_errors = "123,85";
        settings_.passthru_name = "partner";
        settings_.passthru_value = "acme";
    }
    void TearDown() override { fs::remove_all(work_); }

    // A noisy photo of the given size, so that it does not compress below the minimum.
    std::string MakePhoto(const std::string& name, int width, int height) {
        Bitmap32 picture(width, height);
        std::mt19937 random(static_cast<unsigned>(name.size() * 131 + width));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) picture.SetPixel(x, y, 0xFF000000u | (random() & 0xFFFFFFu));
        std::string path = (work_ / name).string();
        EXPECT_TRUE(SaveEditedJpeg(ws_, picture, path, 90).has_value());
        return path;
    }
    void Queue(TAlbum& album, const std::string& path, int width, int height) {
        album.AddJob(path, path, nextIndex_++, static_cast<std::int32_t>(fs::file_size(path)), height, width,
                     fs::path(path).filename().string(), "");
    }
    TransferConfig Config() {
        return {settings_, work_.string() + "/", "anna@example.org", "secret", UploadImagingFor(ws_), {}};
    }
    FtpAccount FtpSettings(const test::FtpMemoryServer& server) { return {server.Host(), "up", "pw", {}}; }

    fs::path work_;
    TRemoteSettings settings_;
    ImageWorkspace ws_;
    MemoryContentView view_;
    TAlbumList albums_{view_, MonthNames{}};
    int nextIndex_ = 0;
};

TEST_F(TransferRunTest, SendsAcceptedPhotosAndReportsRefusedOnes) {
    TAlbum& summer = albums_.Items(albums_.AddAlbum("Summer"));
    std::vector<std::string> summerPhotos;
    for (int i = 0; i < 3; ++i) {
        summerPhotos.push_back(MakePhoto("s" + std::to_string(i) + ".jpg", 160 + i * 8, 120));
        Queue(summer, summerPhotos.back(), 160 + i * 8, 120);
    }
    std::string small = MakePhoto("small.jpg", 8, 8);
    Queue(summer, small, 8, 8);
    TAlbum& winter = albums_.Items(albums_.AddAlbum("Winter"));
    std::string damaged = MakePhoto("damaged.jpg", 300, 200);
    fs::resize_file(damaged, fs::file_size(damaged) / 2);
    Queue(winter, damaged, 300, 200);
    std::string w1 = MakePhoto("w1.jpg", 90, 140);
    Queue(winter, w1, 90, 140);
    albums_.AddAlbum("Empty");

    test::FtpMemoryServer server;
    FakeService service;
    RecordingObserver observer;
    TransferRun run(albums_, service, observer, Config());
    FtpClient ftp(FtpSettings(server), [&] { observer.ProcessMessages(); });
    std::string session;
    EXPECT_EQ(run.RunTransfer(ftp, session), TTransferOutcome::toReported);
    EXPECT_EQ(session, "S-1");
    EXPECT_EQ(service.created, std::vector<std::string>{"Winter"});  // "Summer" matched "SUMMER"
    EXPECT_EQ(observer.albumsShown, (std::vector<std::string>{"Summer", "Winter"}));
    EXPECT_EQ(observer.photosLeft, (std::vector<int>{6, 5, 4, 3, 2, 1}));
    ASSERT_TRUE(observer.report);
    ASSERT_EQ(observer.report->refusedForSize.size(), 1u);
    EXPECT_EQ(observer.report->refusedForSize[0].name, "small.jpg");
    EXPECT_EQ(observer.report->refusedForWarnings, std::vector<std::string>{"damaged.jpg"});
    EXPECT_FALSE(ftp.FtpConnected());

    // Numbers follow the walk: last photo of each album first, refused photos counted too.
    ASSERT_EQ(server.folders.size(), 1u);
    const std::string folder = *server.folders.begin();
    EXPECT_TRUE(folder.ends_with("_4711"));
    struct Sent {
        int n;
        std::string path;
        int album;
    };
    const Sent sent[] = {{1, summerPhotos[2], 11}, {2, summerPhotos[1], 11}, {3, summerPhotos[0], 11}, {4, w1, 101}};
    EXPECT_EQ(server.files.size(), 16u);
    for (const auto& s : sent) {
        const std::string n = std::to_string(s.n);
        auto file = [&](const std::string& suffix) { return server.files.at(folder + "/" + n + suffix); };
        EXPECT_GT(file(".s.jpg").size(), 0u);
        EXPECT_GT(file(".t.jpg").size(), 0u);
        std::string inf = file(".inf");
        EXPECT_EQ(std::count(inf.begin(), inf.end(), '\n'), 15);
        EXPECT_NE(inf.find("customer 4711\r\n"), std::string::npos);
        EXPECT_NE(inf.find("serial " + folder + "\r\n"), std::string::npos);
        EXPECT_NE(inf.find("album " + std::to_string(s.album) + "\r\n"), std::string::npos) << n;
        EXPECT_NE(inf.find("checksum " + DigestToHex(DigestBytes(file(".jpg"))) + "\r\n"), std::string::npos);
        EXPECT_NE(inf.find("\r\npartner acme\r\n"), std::string::npos);
        EXPECT_FALSE(fs::exists(s.path)) << s.path;  // the sent photo's working copy is gone
    }
    // What is left queued: the two refused photos, with their working copies.
    ASSERT_EQ(summer.Jobs().Count(), 1);
    EXPECT_EQ(summer.Jobs().Items(0).FileName, "small.jpg");
    ASSERT_EQ(winter.Jobs().Count(), 1);
    EXPECT_EQ(winter.Jobs().Items(0).FileName, "damaged.jpg");
    EXPECT_TRUE(fs::exists(small) && fs::exists(damaged));
    // No temporary file is left in the work folder.
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(work_)) left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"small.jpg", "damaged.jpg"}));
}

TEST_F(TransferRunTest, DroppedDataIsRetriedAndWrongChecksumsKeepThePhoto) {
    TAlbum& album = albums_.Items(albums_.AddAlbum("Summer"));
    std::string a = MakePhoto("a.jpg", 100, 80);
    Queue(album, a, 100, 80);
    test::FtpMemoryServer server;
    server.dropDataStores = 1;
    FakeService service;
    RecordingObserver observer;
    {
        TransferRun run(albums_, service, observer, Config());
        FtpClient ftp(FtpSettings(server));
        std::string session;
        EXPECT_EQ(run.RunTransfer(ftp, session), TTransferOutcome::toCompleted);
    }
    const std::string folder = *server.folders.begin();
    EXPECT_EQ(server.storeCounts.at(folder + "/0.jpg"), 2);
    EXPECT_EQ(server.files.count(folder + "/0.inf"), 1u);
    EXPECT_EQ(album.Jobs().Count(), 0);

    std::string b = MakePhoto("b.jpg", 100, 80);
    Queue(album, b, 100, 80);
    server.wrongChecksum = true;
    TransferRun run(albums_, service, observer, Config());
    FtpClient ftp(FtpSettings(server));
    std::string session;
    // The photo whose checksum never matched stays queued and is named in the report.
    EXPECT_EQ(run.RunTransfer(ftp, session), TTransferOutcome::toReported);
    ASSERT_TRUE(observer.report);
    EXPECT_EQ(observer.report->notVerified, std::vector<std::string>{"b.jpg"});
    ASSERT_EQ(server.folders.size(), 2u);
    std::string second = *server.folders.begin() == folder ? *server.folders.rbegin() : *server.folders.begin();
    EXPECT_EQ(server.storeCounts.at(second + "/0.jpg"), 5);
    EXPECT_EQ(server.files.count(second + "/0.s.jpg"), 0u);
    ASSERT_EQ(album.Jobs().Count(), 1);
    EXPECT_TRUE(fs::exists(b));
}

TEST_F(TransferRunTest, ResumedPhotoContinuesItsBarAndTheRunCountsEveryByteOnce) {
    TAlbum& album = albums_.Items(albums_.AddAlbum("Summer"));
    std::string a = MakePhoto("a.jpg", 1400, 1000);
    const auto size = static_cast<std::int64_t>(fs::file_size(a));
    ASSERT_GE(size, 1 << 20);
    Queue(album, a, 1400, 1000);
    test::FtpMemoryServer server;
    server.dropStoreAt = size * 4 / 5;
    FakeService service;
    RecordingObserver observer;
    TransferRun run(albums_, service, observer, Config());
    FtpClient ftp(FtpSettings(server));
    std::string session;
    EXPECT_EQ(run.RunTransfer(ftp, session), TTransferOutcome::toCompleted);

    const std::string folder = *server.folders.begin();
    std::int64_t stored = 0;
    for (const char* name : {"/0.jpg", "/0.s.jpg", "/0.t.jpg", "/0.inf"})
        stored += static_cast<std::int64_t>(server.files.at(folder + name).size());
    EXPECT_EQ(observer.lastRunPosition, stored);
    // After the break the photo's bar goes on from what the server kept, not from nothing.
    const auto& shown = observer.photoPositions;
    const auto resumed = std::is_sorted_until(shown.begin(), shown.end());
    if (resumed != shown.end()) {
        EXPECT_GE(*resumed, size * 4 / 5);
    }
    EXPECT_TRUE(std::is_sorted(resumed, shown.end()));
    EXPECT_EQ(shown.back(), stored);
    ASSERT_GE(server.bytesReceived.size(), 2u);
    EXPECT_EQ(server.bytesReceived[1], static_cast<std::size_t>(size - size * 4 / 5));
}

TEST_F(TransferRunTest, RefusedLoginTouchesNothing) {
    TAlbum& album = albums_.Items(albums_.AddAlbum("Summer"));
    std::string a = MakePhoto("a.jpg", 100, 80);
    Queue(album, a, 100, 80);
    test::FtpMemoryServer server;
    FakeService service;
    service.refuseLogin = true;
    RecordingObserver observer;
    TransferRun run(albums_, service, observer, Config());
    FtpClient ftp(FtpSettings(server));
    std::string session;
    EXPECT_EQ(run.RunTransfer(ftp, session), TTransferOutcome::toNone);
    EXPECT_TRUE(observer.loginRefused);
    EXPECT_TRUE(OnlyLoggedIn(server));
    EXPECT_EQ(album.Jobs().Count(), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(work_), fs::directory_iterator()), 1);
}

// Ids of the service become the FTP folder's name and sidecar lines: one that could lead
// elsewhere ends the run before any command reaches the FTP server, every photo still queued.
TEST_F(TransferRunTest, UnsafeServiceIdsEndTheRunBeforeAnythingIsSent) {
    struct Case {
        const char* what;
        std::string customerId;
        std::string albumName;  // "SUMMER" is listed with id 11, a new name is created
        std::int32_t listedId;
        std::int32_t createdId;
    };
    const Case cases[] = {
        {"climbing member id", "../../../../escape5", "Summer", 11, 101},
        {"member id with a NUL", std::string("47\0../x", 7), "Summer", 11, 101},
        {"member id with a slash", "47/11", "Summer", 11, 101},
        {"member id with a line break", "4711\r\nDELE x", "Summer", 11, 101},
        {"member id of two dots", "..", "Summer", 11, 101},
        {"empty member id", "", "Summer", 11, 101},
        {"listed album id below zero", "4711", "Summer", -5, 101},
        {"created album id of zero", "4711", "Winter", 11, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryContentView view;
        TAlbumList albums(view, MonthNames{});
        TAlbum& album = albums.Items(albums.AddAlbum(c.albumName));
        Queue(album, MakePhoto("a.jpg", 100, 80), 100, 80);
        test::FtpMemoryServer server;
        FakeService service;
        service.customerId = c.customerId;
        service.albums = {{"SUMMER", c.listedId}};
        service.firstCreatedId = c.createdId;
        RecordingObserver observer;
        TransferRun run(albums, service, observer, Config());
        FtpClient ftp(FtpSettings(server));
        std::string session;
        EXPECT_THROW(run.RunTransfer(ftp, session), UnsafeServiceIdError);
        {
            std::lock_guard lock(server.mutex);
            EXPECT_TRUE(server.files.empty());
        }
        EXPECT_EQ(album.Jobs().Count(), 1);
        if (c.createdId > 0) {
            EXPECT_TRUE(OnlyLoggedIn(server));
        }
    }
}

TEST_F(TransferRunTest, RefusedFolderEndsTheRunWithAnError) {
    TAlbum& album = albums_.Items(albums_.AddAlbum("Summer"));
    std::string a = MakePhoto("a.jpg", 100, 80);
    Queue(album, a, 100, 80);
    test::FtpMemoryServer server;
    server.refuseMkd = true;
    FakeService service;
    RecordingObserver observer;
    TransferRun run(albums_, service, observer, Config());
    FtpClient ftp(FtpSettings(server));
    std::string session;
    EXPECT_THROW(run.RunTransfer(ftp, session), FtpError);
    EXPECT_FALSE(ftp.FtpConnected());
    EXPECT_EQ(album.Jobs().Count(), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(work_), fs::directory_iterator()), 1);  // temporaries gone
}

TEST_F(TransferRunTest, StopEndsTheRunAtOnceAndKeepsThePhotoUnderWay) {
    TAlbum& album = albums_.Items(albums_.AddAlbum("Summer"));
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) Queue(album, MakePhoto(name, 400, 300), 400, 300);
    test::FtpMemoryServer server;
    FakeService service;
    RecordingObserver observer;
    TransferRun run(albums_, service, observer, Config());
    // Stop is pressed as soon as the first bytes of the first photo went out.
    observer.onMessages = [&] {
        if (observer.lastRunPosition > 0 && !run.StopPressed()) run.Stop();
    };
    FtpClient ftp(FtpSettings(server), [&] { observer.ProcessMessages(); });
    std::string session;
    EXPECT_EQ(run.RunTransfer(ftp, session), TTransferOutcome::toStopped);
    EXPECT_FALSE(ftp.FtpConnected());
    // The cut store was neither retried nor followed by the rest of the package.
    const auto commands = server.Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "STOR 0.jpg"), 1);
    EXPECT_EQ(std::count_if(commands.begin(), commands.end(), [](const std::string& c) { return c.starts_with("STOR"); }), 1);
    EXPECT_EQ(album.Jobs().Count(), 3);
    EXPECT_EQ(std::distance(fs::directory_iterator(work_), fs::directory_iterator()), 3);  // temporaries gone
}

TEST_F(TransferRunTest, TemporaryFilesThatCannotBeMadeAreNamedWithTheReason) {
    TAlbum& album = albums_.Items(albums_.AddAlbum("Summer"));
    Queue(album, MakePhoto("a.jpg", 100, 80), 100, 80);
    test::FtpMemoryServer server;
    FakeService service;
    RecordingObserver observer;
    TransferConfig config = Config();
    config.workFolder = (work_ / "gone").string() + "/";
    TransferRun run(albums_, service, observer, config);
    FtpClient ftp(FtpSettings(server));
    std::string session;
    try {
        run.RunTransfer(ftp, session);
        ADD_FAILURE() << "no error";
    } catch (const FileWriteError& error) {
        EXPECT_TRUE(error.Failure().path.starts_with(config.workFolder)) << error.Failure().path;
        EXPECT_EQ(error.Failure().reason, "No such file or directory");
    }
    EXPECT_TRUE(OnlyLoggedIn(server));
    EXPECT_EQ(album.Jobs().Count(), 1);
}

TEST_F(TransferRunTest, StopPressedBeforeTheRunStartedSendsNothing) {
    TAlbum& album = albums_.Items(albums_.AddAlbum("Summer"));
    for (const char* name : {"a.jpg", "b.jpg"}) Queue(album, MakePhoto(name, 100, 80), 100, 80);
    test::FtpMemoryServer server;
    FakeService service;
    RecordingObserver observer;
    TransferRun run(albums_, service, observer, Config());
    run.Stop();  // pressed while the panel came up
    FtpClient ftp(FtpSettings(server));
    std::string session;
    EXPECT_EQ(run.RunTransfer(ftp, session), TTransferOutcome::toStopped);
    EXPECT_TRUE(session.empty());
    EXPECT_TRUE(server.Commands().empty());
    EXPECT_EQ(album.Jobs().Count(), 2);
}

}  // namespace
}  // namespace vantrel
