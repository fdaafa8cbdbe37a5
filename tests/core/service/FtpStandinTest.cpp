#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "core/imaging/FileDigest.h"
#include "core/service/FtpClient.h"
#include "core/service/UploadPackage.h"
#include "core/support/StandinService.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

UploadImaging DigestOnly() {
    UploadImaging imaging;
    imaging.digestHex = [](const std::string& path) -> std::expected<std::string, std::string> {
        return DigestToHex(DigestFile(path));
    };
    return imaging;
}

class FtpStandinTest : public ::testing::Test {
protected:
    void SetUp() override {
        local_ = fs::temp_directory_path() / ("ftp-standin-" + std::to_string(::getpid()));
        fs::create_directories(local_);
        file_ = (local_ / "photo.jpg").string();
        std::ofstream out(file_, std::ios::binary);
        for (int i = 0; i < 300000; ++i) out.put(static_cast<char>(i % 251));
    }
    void TearDown() override { fs::remove_all(local_); }
    FtpClient Client(const test::StandinService& service) {
        return FtpClient({"127.0.0.1:" + std::to_string(service.ftpPort()), "vantrel_upload", "upload-pass", {}});
    }
    std::string Stored(const test::StandinService& service, const std::string& name) {
        std::ifstream in(service.ftpFolder() + "/" + name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path local_;
    std::string file_;
};

TEST_F(FtpStandinTest, UploadsAndVerifiesThroughFaults) {
    test::StandinService service({"ftp-user-230"});
    ASSERT_TRUE(service.ok()) << service.error();
    FtpClient ftp = Client(service);
    ftp.FtpConnect();
    ftp.FtpMakeDir("run1");
    ftp.FtpChangeDir("run1");
    const std::string md5 = DigestToHex(DigestFile(file_));
    EXPECT_TRUE(PutVerified(ftp, file_, "0.jpg", "run1", DigestOnly(), {}));
    EXPECT_EQ(DigestToHex(DigestBytes(Stored(service, "run1/0.jpg"))), md5);

    // A broken data connection: reconnected, stored again, verified.
    ASSERT_TRUE(service.SetFault("drop-data", true));
    EXPECT_TRUE(PutVerified(ftp, file_, "1.jpg", "run1", DigestOnly(), {}));
    EXPECT_EQ(DigestToHex(DigestBytes(Stored(service, "run1/1.jpg"))), md5);
    ASSERT_TRUE(service.SetFault("drop-data", false));

    ASSERT_TRUE(service.SetFault("426-then-226", true));
    EXPECT_TRUE(PutVerified(ftp, file_, "2.jpg", "run1", DigestOnly(), {}));
    ASSERT_TRUE(service.SetFault("426-then-226", false));

    for (const char* fault : {"checksum-upper", "checksum-wrong"}) {
        ASSERT_TRUE(service.SetFault(fault, true));
        EXPECT_FALSE(PutVerified(ftp, file_, "3.jpg", "run1", DigestOnly(), {})) << fault;
        ASSERT_TRUE(service.SetFault(fault, false));
    }
}

TEST_F(FtpStandinTest, StoreCutAtFourFifthsIsResumedWithRest) {
    test::StandinService service;
    ASSERT_TRUE(service.ok()) << service.error();
    const std::string big = (local_ / "big.jpg").string();
    {
        std::ofstream out(big, std::ios::binary);
        for (int i = 0; i < 1500000; ++i) out.put(static_cast<char>((i * 31) % 251));
    }
    FtpClient ftp = Client(service);
    ftp.FtpConnect();
    ftp.FtpMakeDir("run1");
    ftp.FtpChangeDir("run1");
    ASSERT_EQ(service.Post("/control/drop-stor?bytes=1200000").status, 200);
    EXPECT_TRUE(PutVerified(ftp, big, "0.jpg", "run1", DigestOnly(), {}));
    EXPECT_EQ(DigestToHex(DigestBytes(Stored(service, "run1/0.jpg"))), DigestToHex(DigestFile(big)));

    // Each store as the server saw it: the second began where the first one's bytes ended.
    const std::string stores = service.Get("/control/stores").body;
    const std::regex entry(R"re("rest": (\d+), "bytes": (\d+), "completed": (true|false))re");
    std::vector<std::smatch> seen(std::sregex_iterator(stores.begin(), stores.end(), entry), std::sregex_iterator());
    ASSERT_EQ(seen.size(), 2u) << stores;
    EXPECT_EQ(seen[0][1], "0");
    EXPECT_EQ(seen[0][3], "false");
    EXPECT_GE(std::stoll(seen[0][2]), 1200000);
    EXPECT_EQ(seen[1][1], seen[0][2]);
    EXPECT_EQ(std::stoll(seen[1][1]) + std::stoll(seen[1][2]), 1500000);
    EXPECT_EQ(seen[1][3], "true");
}

TEST_F(FtpStandinTest, RefusedFolder) {
    test::StandinService service({"refuse-mkd"});
    ASSERT_TRUE(service.ok()) << service.error();
    FtpClient ftp = Client(service);
    ftp.FtpConnect();
    EXPECT_THROW(ftp.FtpMakeDir("run1"), FtpError);
    EXPECT_EQ(ftp.LastReply().code / 100, 5);
}

}  // namespace
}  // namespace vantrel
