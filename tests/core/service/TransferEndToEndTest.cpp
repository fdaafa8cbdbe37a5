// Whole transfer runs against the stand-in service: real intake, real XML-RPC calls, real FTP.
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
#include "core/albums/TJpegPhotoImaging.h"
#include "core/albums/TMemoryContentView.h"
#include "core/albums/TPhotoIntake.h"
#include "core/albums/TransferListFile.h"
#include "core/base/AtomicFile.h"
#include "core/imaging/FileDigest.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/JpegDecoder.h"
#include "core/service/FtpClient.h"
#include "core/service/TXmlRpcService.h"
#include "core/service/TransferPreparation.h"
#include "core/service/TransferRun.h"
#include "core/service/XmlRpcTransferService.h"
#include "core/support/ReferenceCopy.h"
#include "core/support/StandinService.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kEmail = "demo@vantrel.test";
constexpr const char* kPassword = "demo";
constexpr const char* kCustomer = "1001";

std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored)) names.insert(entry.path().filename().string());
    return names;
}

std::string ReadAll(const std::string& path) {
    auto bytes = ReadWholeFile(path);
    return bytes ? *bytes : std::string();
}

class RecordingObserver : public TTransferObserver {
public:
    std::function<void()> onMessages;
    std::function<void(std::int64_t)> onPhotoProgress;
    std::function<void()> onPhotoShown;
    std::vector<std::string> photosShown;
    bool loginRefused = false;
    std::optional<TTransferReport> report;

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
    void ShowRunProgress(std::int64_t, std::int64_t) override {}
    void ShowLoginRefused() override { loginRefused = true; }
    void ShowReport(const TTransferReport& shown) override { report = shown; }
};

// Switches a fault of the shared stand-in on for one scope.
class FaultOn {
public:
    FaultOn(test::StandinService& service, std::string name) : service_(service), name_(std::move(name)) {
        EXPECT_TRUE(service_.SetFault(name_, true)) << name_;
    }
    ~FaultOn() { service_.SetFault(name_, false); }

private:
    test::StandinService& service_;
    std::string name_;
};

class TransferEndToEnd : public ::testing::Test {
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
        intake_.Hooks.Today = [] { return std::chrono::year{2008} / 7 / 14; };
        // The window saves the transfer list on every change of an album's photos.
        albums_.OnContentChanged = [this](TAlbum*) { ASSERT_TRUE(SaveTransferList(albums_, ListPath())); };
        albums_.OnMessage = [this](const TUserMessage& message) { messages_.push_back(message.key); };
    }

    // Stop is pressed as the first photo is shown (its preparation under way) or while its first
    // bytes travel (the next photos being prepared meanwhile).
    void StopDuringTheFirstPhoto(bool whileStoring) {
        Queue("Summer", Photo("one.jpg", 900, 700));
        Queue("Summer", Photo("two.jpg", 800, 600));
        Queue("Summer", Photo("three.jpg", 1000, 800));
        const auto before = UploadFolders();

        RecordingObserver observer;
        TTransferRun* running = nullptr;
        auto stop = [&] {
            if (running && !running->StopPressed()) running->Stop();
        };
        if (whileStoring) observer.onPhotoProgress = [&](std::int64_t position) { if (position > 0) stop(); };
        else observer.onPhotoShown = stop;
        EXPECT_EQ(Run(observer, kPassword, [&](TTransferRun& run) { running = &run; }), TTransferOutcome::toStopped);
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

    // A noisy photo in the user's folder, so that it does not compress below the minimum size.
    std::string Photo(const std::string& name, int width, int height) {
        Bitmap32 picture(width, height);
        std::mt19937 random(static_cast<unsigned>(std::hash<std::string>{}(name)));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) picture.SetPixel(x, y, 0xFF000000u | (random() & 0xFFFFFFu));
        const std::string path = photos_.File(name);
        EXPECT_TRUE(SaveEditedJpeg(ws_, picture, path, 90).has_value());
        return path;
    }
    // Queues a photo of the user's folder into the named album (made when missing).
    void Queue(const std::string& album, const std::string& path) {
        int index = albums_.IndexOfName(album);
        if (index < 0) index = albums_.AddAlbum(album);
        ASSERT_TRUE(intake_.AddPhotoToAlbum(index, path)) << path;
    }

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
                         std::function<void(TTransferRun&)> started = {}) {
        HttpClient settingsHttp([&] { observer.ProcessMessages(); });
        settingsHttp.SetTimeouts(timeouts_);
        settingsHttp.SetStopCheck(stopCheck_);
        remote_ = {};
        PrepareTransfer(settingsHttp, WorkFolder(), "GB", false, remote_, {},
                        SettingsBaseAddresses(service_->settingsBase()));
        HttpClient rpcHttp([&] { observer.ProcessMessages(); });
        rpcHttp.SetTimeouts(timeouts_);
        rpcHttp.SetStopCheck(stopCheck_);
        TXmlRpcService rpc(rpcHttp, remote_.script_url, WorkFolder());
        TXmlRpcTransferService calls(rpc);
        calls.OnUnreadableResponse = [this](const RpcProblem& problem) {
            unreadable_.push_back(problem.Message([](std::string_view key) { return std::string(key); }));
        };
        TTransferRun run(albums_, calls, observer, {remote_, WorkFolder(), kEmail, password, UploadImagingFor(ws_), {}});
        if (started) started(run);
        TFtpClient ftp(FtpSettingsFor(remote_), [&] { observer.ProcessMessages(); });
        ftp.SetTimeouts(timeouts_);
        sessionCode_.clear();
        TTransferOutcome outcome = run.RunTransfer(ftp, sessionCode_);
        EXPECT_TRUE(SaveTransferList(albums_, ListPath()));
        return outcome;
    }

    // The service's albums of the account, through a session of their own.
    static std::map<std::string, std::int32_t> ServiceAlbums(const std::string& workFolder) {
        HttpClient http;
        TXmlRpcService rpc(http, service_->scriptUrl(), workFolder);
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
        TMemoryContentView view;
        TAlbumList restored(view, MonthNames{});
        TPhotoIntake intake(restored, imaging_, WorkFolder(), MonthNames{});
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

    test::TempFolder work_;
    test::TempFolder photos_;
    ImageWorkspace ws_;
    TMemoryContentView view_;
    TAlbumList albums_{view_, MonthNames{}};
    int tiles_ = 0;
    TJpegPhotoImaging imaging_{ws_, [] { return 90; },
                               [this](const RgbBitmap&) -> std::expected<int, std::string> { return tiles_++; }};
    TPhotoIntake intake_{albums_, imaging_, work_.Path(), MonthNames{}};
    TRemoteSettings remote_;
    NetworkTimeouts timeouts_ = DefaultNetworkTimeouts();
    std::function<bool()> stopCheck_;  // the window's Stop for the HTTP clients
    std::string sessionCode_;
    std::vector<std::string> messages_;
    std::vector<std::string> unreadable_;
};

TEST_F(TransferEndToEnd, SendsEveryAcceptedPhotoAndKeepsTheRefusedOnes) {
    Queue("Summer", Photo("beach.jpg", 240, 160));
    Queue("Summer", Photo("tiny.jpg", 16, 16));  // far below picture_minsize
    Queue("Summer", Photo("dunes.jpg", 170, 230));
    // A photo cut in half decodes with a warning whose last message is on the refused list.
    const std::string cut = Photo("cut.jpg", 320, 240);
    fs::resize_file(cut, fs::file_size(cut) / 2);
    Queue("Winter 2008", cut);
    Queue("Winter 2008", Photo("snow.jpg", 200, 210));
    ASSERT_TRUE(messages_.empty());

    // The numbers the run gives: album by album in list order, last photo first, refused photos
    // counted too. Remember each photo's bytes before the sent ones are deleted.
    struct Expected {
        std::string album, name, bytes;
        int width, height;
    };
    std::vector<Expected> walk;
    for (int i = 0; i < albums_.Count(); ++i)
        for (int j = albums_.Items(i).Jobs().Count() - 1; j >= 0; --j) {
            const TImageJob& job = albums_.Items(i).Jobs().Items(j);
            walk.push_back({albums_.Items(i).AlbumName(), job.FileName, ReadAll(job.WorkPath), job.Width, job.Height});
        }
    ASSERT_EQ(walk.size(), 5u);
    for (const auto& photo : walk)  // only the tiny photo is below the service's minimum
        EXPECT_EQ(photo.bytes.size() < 20 * 1024, photo.name == "tiny.jpg") << photo.name;

    const auto before = UploadFolders();
    RecordingObserver observer;
    EXPECT_EQ(Run(observer), TTransferOutcome::toReported);
    EXPECT_FALSE(sessionCode_.empty());
    EXPECT_FALSE(observer.loginRefused);
    ASSERT_TRUE(observer.report);
    EXPECT_EQ(observer.report->refusedForSize, std::vector<std::string>{"tiny.jpg"});
    EXPECT_EQ(observer.report->refusedForWarnings, std::vector<std::string>{"cut.jpg"});

    // The local album "Summer" went into the service's "SUMMER"; "Winter 2008" was created.
    const auto serviceAlbums = ServiceAlbums(WorkFolder());
    ASSERT_TRUE(serviceAlbums.contains("SUMMER"));
    ASSERT_TRUE(serviceAlbums.contains("Winter 2008"));
    EXPECT_FALSE(serviceAlbums.contains("Summer"));

    const std::string folder = NewFolder(before);
    ASSERT_TRUE(folder.ends_with(std::string("_") + kCustomer)) << folder;
    const std::string remote = service_->ftpFolder() + "/" + folder + "/";
    std::set<std::string> expectedFiles;
    for (std::size_t n = 0; n < walk.size(); ++n) {
        const Expected& photo = walk[n];
        if (photo.name == "tiny.jpg" || photo.name == "cut.jpg") continue;
        const std::string base = std::to_string(n);
        SCOPED_TRACE(photo.name + " as " + base);
        for (const char* suffix : {".jpg", ".s.jpg", ".t.jpg", ".inf"}) expectedFiles.insert(base + suffix);

        const std::string sent = ReadAll(remote + base + ".jpg");
        EXPECT_TRUE(sent == photo.bytes);  // the working copy, byte for byte
        // The copies have the longer side the settings ask for, the aspect ratio kept.
        for (auto [suffix, size] : {std::pair{".s.jpg", 200}, std::pair{".t.jpg", 48}}) {
            ASSERT_TRUE(ReadImageHeader(ws_, remote + base + suffix)) << suffix;
            EXPECT_EQ(std::max(ws_.params.width, ws_.params.height), size) << suffix;
            EXPECT_EQ(ws_.params.width > ws_.params.height, photo.width > photo.height) << suffix;
            // Byte for byte the copy that one full decode of the photo makes.
            const std::string sentPhoto = photos_.Write("sent-" + base + ".jpg", sent);
            EXPECT_TRUE(ReadAll(remote + base + suffix) == test::ReferenceCopy(sentPhoto, size)) << suffix;
            fs::remove(sentPhoto);
        }
        const std::int32_t albumId = serviceAlbums.at(photo.album == "Summer" ? "SUMMER" : photo.album);
        const std::string size = std::to_string(photo.bytes.size());
        const std::string expectedSidecar =
            "serial " + folder + "\r\n" + "customer " + kCustomer + "\r\n" + "session placeholder\r\n" +
            "album " + std::to_string(albumId) + "\r\n" + "name " + photo.name + "\r\n" + "description \r\n" +
            "width " + std::to_string(photo.width) + "\r\n" + "height " + std::to_string(photo.height) + "\r\n" +
            "checksum " + DigestToHex(DigestBytes(sent)) + "\r\n" + "partner standin\r\n" + "photosize " + size +
            "\r\n" + "scaledsize " + std::to_string(DivideRoundHalfEven(photo.bytes.size(), 30)) + "\r\n" +
            "thumbsize " + std::to_string(DivideRoundHalfEven(photo.bytes.size(), 580)) + "\r\n" +
            "UploadMethod desktopPC\r\nUploadVersion 3.2.5\r\n";
        EXPECT_EQ(ReadAll(remote + base + ".inf"), expectedSidecar);
    }
    EXPECT_EQ(Entries(remote), expectedFiles);
    // The server's checksum of every file agrees with the file as it arrived.
    TFtpClient ftp(FtpSettingsFor(remote_));
    ftp.FtpConnect();
    ftp.FtpChangeDir(folder);
    for (const auto& name : expectedFiles)
        EXPECT_EQ(ftp.FtpQuote("site CHECKSUM " + name).text, DigestToHex(DigestFile(remote + name)) + " " + name);
    ftp.FtpDisconnect();

    // Only the refused photos stay queued, in the list file as well, with their working copies.
    const std::vector<std::string> left = {"Summer/tiny.jpg", "Winter 2008/cut.jpg"};
    EXPECT_EQ(QueuedNames(), left);
    EXPECT_EQ(RestoredNames(), left);
    ExpectWorkingCopies();
    EXPECT_EQ(Entries(WorkFolder()), (std::set<std::string>{"tiny.jpg", "cut.jpg", "Images.lst", "Temp.xml",
                                                             "uploader_settings.plist"}));
}

TEST_F(TransferEndToEnd, RefusedLoginTouchesNothing) {
    Queue("Summer", Photo("a.jpg", 120, 100));
    Queue("Summer", Photo("b.jpg", 100, 120));
    const auto queued = QueuedNames();
    const auto before = UploadFolders();

    struct Case {
        const char* what;
        const char* fault;
        const char* password;
    } cases[] = {{"wrong password", nullptr, "not-demo"}, {"service refuses every login", "refuse-login", kPassword}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<FaultOn> fault;
        if (c.fault) fault.emplace(*service_, c.fault);
        RecordingObserver observer;
        EXPECT_EQ(Run(observer, c.password), TTransferOutcome::toNone);
        EXPECT_TRUE(observer.loginRefused);
        EXPECT_FALSE(observer.report);
        EXPECT_TRUE(observer.photosShown.empty());
        EXPECT_FALSE(sessionCode_.empty());  // the session was opened before the login failed
        EXPECT_EQ(UploadFolders(), before);
        EXPECT_EQ(QueuedNames(), queued);
        ExpectWorkingCopies();
        // No temporary file was made.
        EXPECT_EQ(Entries(WorkFolder()),
                  (std::set<std::string>{"a.jpg", "b.jpg", "Images.lst", "Temp.xml", "uploader_settings.plist"}));
    }
}

TEST_F(TransferEndToEnd, BrokenServiceAnswers) {
    Queue("Summer", Photo("a.jpg", 120, 100));
    const auto before = UploadFolders();
    {
        // A transport failure of a call ends the run as a connection failure.
        FaultOn fault(*service_, "rpc-http-500");
        RecordingObserver observer;
        EXPECT_THROW(Run(observer), TServiceCallError);
        EXPECT_FALSE(observer.loginRefused);
    }
    {
        // An answer that is no XML-RPC document: its message, then the login counts as refused.
        FaultOn fault(*service_, "rpc-html-200");
        RecordingObserver observer;
        EXPECT_EQ(Run(observer), TTransferOutcome::toNone);
        EXPECT_TRUE(observer.loginRefused);
        ASSERT_EQ(unreadable_.size(), 1u);
        EXPECT_TRUE(unreadable_[0].starts_with("RPC_RequestErr")) << unreadable_[0];
    }
    EXPECT_EQ(UploadFolders(), before);
    EXPECT_EQ(QueuedNames(), std::vector<std::string>{"Summer/a.jpg"});
    ExpectWorkingCopies();
}

TEST_F(TransferEndToEnd, StopDuringTheFirstPhotoEndsTheRunAndKeepsEveryPhoto) { StopDuringTheFirstPhoto(true); }
TEST_F(TransferEndToEnd, StopWhileTheFirstPhotoIsPreparedEndsTheRunAndKeepsEveryPhoto) {
    StopDuringTheFirstPhoto(false);
}

TEST_F(TransferEndToEnd, SettingsAreReadAgainOnlyWhenTheStartLoadFailed) {
    const auto bases = SettingsBaseAddresses(service_->settingsBase());
    HttpClient http;
    std::vector<std::string> problems;
    auto onProblem = [&](const RemoteSettingsResult& result) {
        problems.push_back(result.Message([](std::string_view key) { return std::string(key); }));
    };

    TRemoteSettings cached;
    cached.ftp_host = "cached.invalid";
    TRemoteSettings settings = cached;
    EXPECT_FALSE(PrepareTransfer(http, WorkFolder(), "GB", true, settings, onProblem, bases));
    EXPECT_EQ(settings.ftp_host, "cached.invalid");

    EXPECT_TRUE(PrepareTransfer(http, WorkFolder(), "GB", false, settings, onProblem, bases));
    EXPECT_EQ(settings.ftp_host, "127.0.0.1:" + std::to_string(service_->ftpPort()));
    EXPECT_EQ(settings.size_scaled, 200);
    EXPECT_EQ(settings.rejected_errors, "85,123");
    EXPECT_EQ(FtpSettingsFor(settings).user, "vantrel_upload");

    // Unreachable servers: nothing shown, the cached values serve.
    settings = cached;
    EXPECT_FALSE(PrepareTransfer(http, WorkFolder(), "GB", false, settings, onProblem,
                                 {"http://127.0.0.1:9/common/"}));
    EXPECT_EQ(settings.ftp_host, "cached.invalid");
    EXPECT_TRUE(problems.empty());
    {
        // A document that does not parse: its message, and the run goes on with the cache.
        FaultOn fault(*service_, "broken-plist");
        EXPECT_FALSE(PrepareTransfer(http, WorkFolder(), "GB", false, settings, onProblem, bases));
        EXPECT_EQ(settings.ftp_host, "cached.invalid");
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_TRUE(problems[0].starts_with("Parm_")) << problems[0];
    }
    // A size that is not a whole number ends the run before the login.
    ASSERT_TRUE(service_->SetValue("picture_maxsize", "ten"));
    EXPECT_THROW(PrepareTransfer(http, WorkFolder(), "GB", false, settings, onProblem, bases), TRemoteSettingsError);
    EXPECT_TRUE(service_->SetValue("picture_maxsize", "10"));
    EXPECT_EQ(settings.ftp_host, "127.0.0.1:" + std::to_string(service_->ftpPort()));  // read before it
}

// A stalled service never holds a run: with short time-outs the run ends by itself, and Stop
// ends it within a second of the stall, at every stage. The photo under way stays queued.
TEST_F(TransferEndToEnd, StalledServiceNeverHoldsTheRunNorCostsAPhoto) {
    using namespace std::chrono_literals;
    using Clock = std::chrono::steady_clock;
    Queue("Summer", Photo("one.jpg", 800, 600));  // larger than the buffers of a data connection not read
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
        TTransferRun* running = nullptr;
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
                      [&](TTransferRun& run) {
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
    Queue("Summer", Photo("one.jpg", 200, 160));
    Queue("Summer", Photo("two.jpg", 200, 170));
    Queue("Summer", Photo("three.jpg", 200, 180));

    HttpClient settingsHttp;
    TRemoteSettings remote;
    ASSERT_TRUE(PrepareTransfer(settingsHttp, WorkFolder(), "GB", false, remote, {},
                                SettingsBaseAddresses(own->settingsBase())));
    RecordingObserver observer;
    observer.onPhotoProgress = [&](std::int64_t position) {
        if (position > 0 && observer.photosShown.size() == 2 && own) own.reset();
    };
    HttpClient rpcHttp;
    TXmlRpcService rpc(rpcHttp, remote.script_url, WorkFolder());
    TXmlRpcTransferService calls(rpc);
    TTransferRun run(albums_, calls, observer, {remote, WorkFolder(), kEmail, kPassword, UploadImagingFor(ws_), {}});
    TFtpClient ftp(FtpSettingsFor(remote), [&] { observer.ProcessMessages(); });
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
}  // namespace vantrel
