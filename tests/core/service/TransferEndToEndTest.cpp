// Whole transfer runs against the stand-in service: what is sent, refused, stopped and read again.
#include "core/service/TransferEndToEndFixture.h"

namespace vantrel::endtoend {
namespace {

TEST_F(TransferEndToEnd, SendsEveryAcceptedPhotoAndKeepsTheRefusedOnes) {
    QueueInto("Summer", NoisyPhoto("beach.jpg", 240, 160));
    QueueInto("Summer", NoisyPhoto("tiny.jpg", 16, 16));  // far below picture_minsize
    QueueInto("Summer", NoisyPhoto("dunes.jpg", 170, 230));
    // A photo cut in half decodes with a warning whose last message is on the refused list.
    const std::string cut = NoisyPhoto("cut.jpg", 320, 240);
    fs::resize_file(cut, fs::file_size(cut) / 2);
    QueueInto("Winter 2008", cut);
    QueueInto("Winter 2008", NoisyPhoto("snow.jpg", 200, 210));
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
    ASSERT_EQ(observer.report->refusedForSize.size(), 1u);
    EXPECT_EQ(observer.report->refusedForSize[0].name, "tiny.jpg");
    EXPECT_TRUE(observer.report->refusedForSize[0].tooSmall);
    EXPECT_EQ(observer.report->smallestAcceptedKb, 20);
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
    FtpClient ftp(FtpSettingsFor(remote_));
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
    QueueInto("Summer", NoisyPhoto("a.jpg", 120, 100));
    QueueInto("Summer", NoisyPhoto("b.jpg", 100, 120));
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
    QueueInto("Summer", NoisyPhoto("a.jpg", 120, 100));
    const auto before = UploadFolders();
    {
        // A transport failure of a call ends the run as a connection failure.
        FaultOn fault(*service_, "rpc-http-500");
        RecordingObserver observer;
        EXPECT_THROW(Run(observer), ServiceCallError);
        EXPECT_FALSE(observer.loginRefused);
    }
    {
        // An answer that is no XML-RPC document: its message, then a connection failure that says
        // the answer could not be read; the login is not taken for refused.
        FaultOn fault(*service_, "rpc-html-200");
        RecordingObserver observer;
        try {
            Run(observer);
            ADD_FAILURE() << "the run went on";
        } catch (const ServiceCallError& error) {
            EXPECT_NE(std::string(error.what()).find("answer could not be read"), std::string::npos) << error.what();
            EXPECT_FALSE(error.Problem().networkFailure);
        }
        EXPECT_FALSE(observer.loginRefused);
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
    cached.script_url = "http://cached.invalid/xmlrpc";
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
    EXPECT_THROW(PrepareTransfer(http, WorkFolder(), "GB", false, settings, onProblem, bases), RemoteSettingsError);
    EXPECT_TRUE(service_->SetValue("picture_maxsize", "10"));
    EXPECT_EQ(settings.ftp_host, "127.0.0.1:" + std::to_string(service_->ftpPort()));  // read before it
}

// A stalled service never holds a run: with short time-outs the run ends by itself, and Stop
// ends it within a second of the stall, at every stage. The photo under way stays queued.

}  // namespace
}  // namespace vantrel::endtoend
