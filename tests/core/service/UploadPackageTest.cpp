#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "core/albums/TImageJob.h"
#include "core/base/AsciiText.h"
#include "core/imaging/FileDigest.h"
#include "core/service/FtpClient.h"
#include "core/service/FtpFakeServer.h"
#include "core/service/SidecarFile.h"
#include "core/service/TRemoteSettings.h"
#include "core/service/TransferProgress.h"
#include "core/service/UploadNames.h"
#include "core/service/UploadPackage.h"

namespace vantrel {
namespace {

using test::FtpFakeServer;
using test::StandardLogin;

std::filesystem::path TempFolder(const std::string& name) {
    auto folder = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

TEST(UploadNamesTest, FolderNameHasTimeTwoNumbersAndCustomer) {
    std::mt19937 random(7);
    std::string name = MakeUploadFolderName("4711", 1700000000, random);
    EXPECT_TRUE(std::regex_match(name, std::regex("1700000000[1-9][0-9]{7}[1-9][0-9]{7}_4711"))) << name;
    EXPECT_NE(MakeUploadFolderName("4711"), MakeUploadFolderName("4711"));
}

TEST(UploadNamesTest, TemporaryNamesAreFreshAndCreated) {
    auto folder = TempFolder("upload-names");
    std::string prefix = folder.string() + "/";
    auto a = MakeTempFileName(prefix, "jpg");
    auto b = MakeTempFileName(prefix, "jpg");
    auto c = MakeTempFileName(prefix, "inf");
    ASSERT_TRUE(a && b && c);
    EXPECT_NE(*a, *b);
    EXPECT_TRUE(std::regex_match(std::filesystem::path(*c).filename().string(), std::regex("[0-9]{17}\\.inf")));
    for (const auto& path : {*a, *b, *c}) EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_FALSE(MakeTempFileName(prefix + "missing/", "jpg").has_value());
    std::filesystem::remove_all(folder);
}

TEST(UploadPackageTest, PhotoSizeLimitsAreInclusive) {
    TRemoteSettings settings;
    settings.picture_minsize = 20;
    settings.picture_maxsize = 2047;  // the upper limit passes 2^31 bytes
    EXPECT_FALSE(IsPhotoSizeAccepted(20 * 1024 - 1, settings));
    EXPECT_TRUE(IsPhotoSizeAccepted(20 * 1024, settings));
    EXPECT_TRUE(IsPhotoSizeAccepted(std::int64_t(2047) * 1048576, settings));
    EXPECT_FALSE(IsPhotoSizeAccepted(std::int64_t(2047) * 1048576 + 1, settings));
}

TEST(SidecarTest, FifteenLinesWithCrLf) {
    SidecarFields fields{"1700000000123456788765432_4711", "4711", 305, "photo\r\n.jpg", 4000, 3000,
                          "d41d8cd98f00b204e9800998ecf8427e", "", "", 1234567, 41152, 2129};
    EXPECT_EQ(FormatSidecar(fields),
              "serial 1700000000123456788765432_4711\r\n"
              "customer 4711\r\n"
              "session placeholder\r\n"
              "album 305\r\n"
              "name photo  .jpg\r\n"
              "description \r\n"
              "width 4000\r\n"
              "height 3000\r\n"
              "checksum d41d8cd98f00b204e9800998ecf8427e\r\n"
              " \r\n"
              "photosize 1234567\r\n"
              "scaledsize 41152\r\n"
              "thumbsize 2129\r\n"
              "UploadMethod desktopPC\r\n"
              "UploadVersion 3.2.5\r\n");
    fields.passthruName = "partner";
    fields.passthruValue = "acme";
    EXPECT_NE(FormatSidecar(fields).find("\r\npartner acme\r\n"), std::string::npos);
}

TEST(TransferProgressTest, BarsEstimateAndReport) {
    ProgressMeter bar;
    bar.Reset(1000);
    bar.Work(300);
    bar.WorkEnd();
    bar.Work(200);  // a retried store counts again
    EXPECT_EQ(bar.position, 500);
    bar.Work(5000);
    EXPECT_EQ(bar.position, 1000);  // clamped
    bar.Reset(100);
    bar.Advance(40);
    EXPECT_EQ(bar.base, 40);

    struct Case {
        std::int64_t position, range, elapsed;
        EstimateKind kind;
        double minutes;
    };
    const Case cases[] = {{25, 100, 30, EstimateKind::AboutMinutes, 1.5},
                          {50, 100, 60, EstimateKind::LessThanAMinute, 1.0},
                          {10, 100, 60, EstimateKind::Minutes, 9.0},
                          {100, 100, 60, EstimateKind::LessThanAMinute, 0.0}};
    for (const auto& c : cases) {
        const auto seconds = ProportionalSecondsLeft(c.position, c.range, static_cast<double>(c.elapsed));
        ASSERT_TRUE(seconds);
        const TimeEstimate estimate = EstimateOfSeconds(*seconds);
        EXPECT_EQ(estimate.kind, c.kind);
        EXPECT_DOUBLE_EQ(estimate.minutes, c.minutes);
    }
    EXPECT_FALSE(ProportionalSecondsLeft(0, 100, 60));

    // Each size refusal says the photo's size and the limit it crossed.
    ReportTexts texts{"Size:\n", "Warnings:\n", "V", "E", "C", "%s, smaller than the %s the service accepts",
                      "%s, larger than the %s the service accepts", {"MB", "KB", ','}};
    TransferReport report;
    report.refusedForSize = {{"a.jpg", 12 * 1024, true}, {"b.jpg", 30 * 1024 * 1024, false}};
    report.refusedForWarnings = {"c.jpg"};
    report.smallestAcceptedKb = 20;
    report.largestAcceptedMb = 25;
    EXPECT_EQ(FormatTransferReport(report, texts),
              "\r\n  Size:\n     - a.jpg (12,00 KB, smaller than the 20 KB the service accepts)\r\n"
              "     - b.jpg (30,00 MB, larger than the 25 MB the service accepts)\r\n"
              "\r\n  Warnings:\n     - c.jpg\r\n");
    TransferReport copies;
    copies.copiesNotMade = {{"d.jpg", "thumbnail: not enough memory"}};
    EXPECT_TRUE(copies.HasRefusals());
    EXPECT_EQ(FormatTransferReport(copies, texts), "\r\n  C     - d.jpg (thumbnail: not enough memory)\r\n");
}

// A server whose checksum answers are scripted per attempt, counting stores and logins.
struct ChecksumScript {
    std::vector<std::string> answers;  // one reply per "site CHECKSUM", the last repeats
    bool dropFirstStore = false;
    bool refuseSecondLogin = false;
    int stores = 0;
    int logins = 0;
    int checksums = 0;
};

std::string ChecksumHandler(FtpFakeServer& server, const std::string& command, ChecksumScript& script) {
    if (command.rfind("USER ", 0) == 0 && ++script.logins == 2 && script.refuseSecondLogin) return "530 no\r\n";
    if (auto login = StandardLogin(command); !login.empty()) return login;
    if (command.rfind("CWD ", 0) == 0) return "250 ok\r\n";
    if (command == "PASV") return server.PassiveReply();
    if (command.rfind("STOR ", 0) == 0) {
        server.Send("150 go\r\n");
        server.ReceiveData();
        if (++script.stores == 1 && script.dropFirstStore) return "";  // the connection breaks
        return "226 stored\r\n";
    }
    if (command.rfind("site CHECKSUM ", 0) == 0) {
        std::size_t index = std::min<std::size_t>(script.checksums++, script.answers.size() - 1);
        return script.answers[index] + "\r\n";
    }
    return "502 no\r\n";
}

UploadImaging DigestOnly() {
    UploadImaging imaging;
    imaging.digestHex = [](const std::string& path) -> std::expected<std::string, std::string> {
        return DigestToHex(DigestFile(path));
    };
    return imaging;
}

TEST(UploadPackageTest, PutVerifiedComparesTheDigestExactly) {
    auto folder = TempFolder("put-verified");
    std::string empty = (folder / "empty.inf").string();
    std::ofstream(empty).close();
    const std::string md5 = "d41d8cd98f00b204e9800998ecf8427e";
    const std::string upper = ToUpperAscii(md5);
    struct Case {
        std::vector<std::string> answers;
        bool dropFirstStore;
        bool result;
        int stores;
    };
    const Case cases[] = {
        {{"200 " + md5 + " 0.inf"}, false, true, 1},
        {{"200 " + upper + " 0.inf"}, false, false, 5},
        {{"500 unknown command"}, false, false, 5},
        {{"500 " + md5}, false, false, 5},  // no blank after the digest: nothing is taken
        {{"200 00000000000000000000000000000000 x", "213 " + md5 + " x"}, false, true, 2},
        {{"250 " + md5 + " 0.inf"}, true, true, 2},  // the broken store is retried after a reconnection
    };
    for (const auto& c : cases) {
        ChecksumScript script{c.answers, c.dropFirstStore};
        FtpFakeServer server([&](FtpFakeServer& s, const std::string& command) {
            return ChecksumHandler(s, command, script);
        });
        FtpClient ftp({server.Host(), "u", "p", {}});
        ftp.FtpConnect();
        int pumps = 0;
        EXPECT_EQ(PutVerified(ftp, empty, "0.inf", "run1", DigestOnly(), [&] { ++pumps; }), c.result) << c.answers[0];
        EXPECT_EQ(script.stores, c.stores) << c.answers[0];
        EXPECT_GE(pumps, c.stores - 1);
        EXPECT_TRUE(ftp.FtpConnected());
    }
    std::filesystem::remove_all(folder);
}

TEST(UploadPackageTest, FailedReconnectionLeavesWithAnError) {
    auto folder = TempFolder("put-reconnect");
    std::string file = (folder / "a.jpg").string();
    std::ofstream(file) << "bytes";
    ChecksumScript script{{"200 x y"}, true, true};
    FtpFakeServer server([&](FtpFakeServer& s, const std::string& command) { return ChecksumHandler(s, command, script); });
    FtpClient ftp({server.Host(), "u", "p", {}});
    ftp.FtpConnect();
    try {
        PutVerified(ftp, file, "0.jpg", "run1", DigestOnly(), {});
        FAIL() << "no error";
    } catch (const UploadError& error) {
        EXPECT_STREQ(error.what(), "");
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vantrel
