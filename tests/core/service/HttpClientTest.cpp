#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/service/HttpClient.h"
#include "core/support/StandinService.h"

using vantrel::HttpClient;
using vantrel::test::StandinService;

namespace {

StandinService& Service() {
    static StandinService service;  // shared by the tests of this file; stopped at exit
    return service;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct TempFile {
    std::string path = (std::filesystem::temp_directory_path() /
                         ("vantrel-http-" + std::to_string(::getpid()) + "-" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                           .string();
    ~TempFile() { std::filesystem::remove(path); }
};

}  // namespace

TEST(HttpClient, EmptyBodyWithStatus200) {
    ASSERT_TRUE(Service().ok()) << Service().error();
    HttpClient client;
    TempFile file;
    { std::ofstream(file.path) << "old content"; }
    auto got = client.HttpGet(Service().httpBase() + "/test/empty", file.path);
    ASSERT_TRUE(got) << got.error().message;
    EXPECT_EQ(client.LastStatus(), 200);
    EXPECT_EQ(ReadFile(file.path), "");
}

TEST(HttpClient, StatusOutside2xxIsAnErrorAndLeavesNoErrorPage) {
    ASSERT_TRUE(Service().ok()) << Service().error();
    HttpClient client;
    TempFile file;
    for (long status : {301L, 302L, 401L, 404L, 500L}) {
        { std::ofstream(file.path) << "old content"; }
        auto got = client.HttpGet(Service().httpBase() + "/test/status/" + std::to_string(status), file.path);
        ASSERT_FALSE(got) << status;
        EXPECT_EQ(got.error().status, status);
        EXPECT_EQ(ReadFile(file.path), "") << status;
        auto posted = client.HttpPost(Service().httpBase() + "/test/status/" + std::to_string(status), "x", file.path);
        ASSERT_FALSE(posted) << status;
        EXPECT_EQ(ReadFile(file.path), "") << status;
    }
}

TEST(HttpClient, TransportFailuresAreErrors) {
    ASSERT_TRUE(Service().ok()) << Service().error();
    HttpClient client;
    TempFile file;
    const std::string urls[] = {
        Service().httpBase() + "/test/cut",                                   // connection closed mid-body
        "https://127.0.0.1:" + std::to_string(Service().httpPort()) + "/",   // no TLS on the other side
        "ftp://127.0.0.1:" + std::to_string(Service().httpPort()) + "/",     // scheme not offered
        "http://127.0.0.1:1/",                                                // nobody listens
    };
    for (const auto& url : urls) {
        auto got = client.HttpGet(url, file.path);
        ASSERT_FALSE(got) << url;
        EXPECT_EQ(got.error().status, 0) << url;
        EXPECT_EQ(ReadFile(file.path), "") << url;
    }
}

TEST(HttpClient, RequestLinesAndHeaders) {
    ASSERT_TRUE(Service().ok()) << Service().error();
    HttpClient client;
    const std::string host = "Host: 127.0.0.1:" + std::to_string(Service().httpPort()) + "\r\n";

    auto get = client.HttpGet(Service().httpBase() + "/test/echo");
    ASSERT_TRUE(get) << get.error().message;
    EXPECT_EQ(get->rfind("GET /test/echo HTTP/1.1\r\n", 0), 0u) << *get;
    for (const std::string& header : {host, std::string("Content-Type: text/html\r\n"),
                                      std::string("Accept: text/html, */*\r\n"),
                                      std::string("User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n")}) {
        EXPECT_NE(get->find(header), std::string::npos) << header << *get;
    }

    const std::string body = "<?xml version=\"1.0\"?>\n<methodCall/>\n";
    auto post = client.HttpPost(Service().httpBase() + "/test/echo", body);
    ASSERT_TRUE(post) << post.error().message;
    EXPECT_EQ(post->rfind("POST /test/echo HTTP/1.0\r\n", 0), 0u) << *post;
    for (const std::string& header : {host, std::string("Content-Type: text/html\r\n"),
                                      std::string("Connection: keep-alive\r\n"),
                                      "Content-Length: " + std::to_string(body.size()) + "\r\n"}) {
        EXPECT_NE(post->find(header), std::string::npos) << header << *post;
    }
    EXPECT_EQ(post->substr(post->size() - body.size()), body);
    EXPECT_EQ(post->find("Expect:"), std::string::npos);
}

TEST(HttpClient, CookiesAreKeptPerClientAndSentBack) {
    ASSERT_TRUE(Service().ok()) << Service().error();
    HttpClient client, other;
    ASSERT_TRUE(client.HttpGet(Service().httpBase() + "/test/setcookie?sid=abc123"));
    for (int i = 0; i < 3; ++i) {
        auto echo = i % 2 ? client.HttpGet(Service().httpBase() + "/test/echo")
                          : client.HttpPost(Service().httpBase() + "/test/echo", "x");
        ASSERT_TRUE(echo);
        EXPECT_NE(echo->find("Cookie: sid=abc123\r\n"), std::string::npos) << *echo;
    }
    auto foreign = other.HttpGet(Service().httpBase() + "/test/echo");
    ASSERT_TRUE(foreign);
    EXPECT_EQ(foreign->find("Cookie:"), std::string::npos);
}

TEST(HttpClient, PumpRunsWhileWaitingAndCanAbort) {
    ASSERT_TRUE(Service().ok()) << Service().error();
    int pumped = 0;
    HttpClient client([&] { ++pumped; });
    auto slow = client.HttpGet(Service().httpBase() + "/test/slow?ms=500");
    ASSERT_TRUE(slow) << slow.error().message;
    EXPECT_NE(slow->find("slow piece 9"), std::string::npos);
    EXPECT_GT(pumped, 0);

    // A request started from the pump while one waits is refused, the waiting one goes on.
    bool nestedRefused = false;
    client.SetPump([&] { nestedRefused = nestedRefused || !client.HttpGet(Service().httpBase() + "/test/empty"); });
    EXPECT_TRUE(client.HttpGet(Service().httpBase() + "/test/slow?ms=300"));
    EXPECT_TRUE(nestedRefused);

    // The pump may stop the request (the Stop button); the client then fails and stays usable.
    client.SetPump([&] { client.Abort(); });
    auto aborted = client.HttpGet(Service().httpBase() + "/test/slow?ms=2000");
    ASSERT_FALSE(aborted);
    EXPECT_EQ(aborted.error().status, 0);
    client.SetPump({});
    EXPECT_TRUE(client.HttpGet(Service().httpBase() + "/test/empty"));
}
