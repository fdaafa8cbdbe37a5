// Addresses may be https: the answer comes over TLS when the server's certificate checks out,
// and a certificate that nobody vouches for is refused. The server is openssl's own test server
// with a certificate made for the test.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "core/TempFolder.h"
#include "core/service/HttpClient.h"
#include "core/service/TransferPreparation.h"

namespace vantrel {
namespace {

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

class TlsServer {
public:
    explicit TlsServer(const test::TempFolder& folder) {
        cert_ = folder.File("cert.pem");
        const std::string key = folder.File("key.pem");
        const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
                                 "-addext subjectAltName=IP:127.0.0.1 -keyout '" + key + "' -out '" + cert_ +
                                 "' >/dev/null 2>&1";
        if (std::system(make.c_str()) != 0) return;
        port_ = FreePort();
        pid_ = ::fork();
        if (pid_ == 0) {
            const std::string accept = "127.0.0.1:" + std::to_string(port_);
            ::execlp("openssl", "openssl", "s_server", "-quiet", "-www", "-accept", accept.c_str(), "-cert",
                     cert_.c_str(), "-key", key.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~TlsServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    std::string Url() const { return "https://127.0.0.1:" + std::to_string(port_) + "/"; }
    const std::string& Certificate() const { return cert_; }
    bool ok() const { return pid_ > 0; }

private:
    std::string cert_;
    int port_ = 0;
    pid_t pid_ = -1;
};

TEST(Https, AnswersComeOverTlsOnlyFromAVouchedServer) {
    test::TempFolder folder;
    TlsServer server(folder);
    ASSERT_TRUE(server.ok());
    HttpClient client;
    // The server may take a moment to listen.
    std::expected<std::string, HttpError> got = std::unexpected(HttpError{});
    ::setenv("VANTREL_TLS_CA_FILE", server.Certificate().c_str(), 1);
    for (int i = 0; i < 100 && !got; ++i) {
        got = client.HttpGet(server.Url());
        if (!got) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(got) << got.error().message;
    EXPECT_NE(got->find("s_server"), std::string::npos);
    // Without the test's authority the certificate is unknown: no answer is taken.
    ::unsetenv("VANTREL_TLS_CA_FILE");
    auto refused = client.HttpGet(server.Url());
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().kind, HttpError::Kind::Transport);
    EXPECT_FALSE(refused.error().networkFailure);
    EXPECT_NE(refused.error().message.find("certificate"), std::string::npos) << refused.error().message;

    // A first run whose settings come from such a server says what was wrong with it.
    test::TempFolder work;
    TRemoteSettings settings;
    try {
        PrepareTransfer(client, work.Path(), "GB", false, settings, {}, {server.Url()});
        ADD_FAILURE() << "no error";
    } catch (const RemoteSettingsError& error) {
        EXPECT_NE(std::string(error.what()).find("could not be downloaded: " + server.Url() +
                                                 "uploader_settings.plist: SSL certificate problem"),
                  std::string::npos)
            << error.what();
    }
}

}  // namespace
}  // namespace vantrel
