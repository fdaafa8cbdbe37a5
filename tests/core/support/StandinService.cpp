#include "core/support/StandinService.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

namespace vantrel::test {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

std::string MakeTempRoot() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantrel-standin-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) return {};
    return buf.data();
}

size_t AppendBody(char* data, size_t size, size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

StandinService::Reply Request(const std::string& url, const std::string* postBody) {
    StandinService::Reply reply;
    CURL* curl = curl_easy_init();
    if (!curl) return reply;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    if (postBody) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, postBody->data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(postBody->size()));
    }
    if (curl_easy_perform(curl) == CURLE_OK) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    curl_easy_cleanup(curl);
    return reply;
}

}  // namespace

StandinService::StandinService(const std::vector<std::string>& faults,
                               const std::vector<std::string>& extraArgs) {
    root_ = MakeTempRoot();
    if (root_.empty()) {
        error_ = "cannot make a temporary folder";
        return;
    }
    std::vector<std::string> args = {kPython, std::string(VANTREL_SOURCE_DIR) + "/tools/standin-service/standin.py",
                                      "--root", root_};
    for (const auto& f : faults) {
        args.push_back("--fault");
        args.push_back(f);
    }
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());

    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        error_ = "pipe failed";
        return;
    }
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string logPath = root_ + "/standin.log";

    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) dup2(log, 2);
        execv(kPython, argv.data());
        _exit(127);
    }
    close(out[1]);
    if (pid < 0) {
        close(out[0]);
        error_ = "fork failed";
        return;
    }
    pid_ = pid;

    // Wait for "READY http=<port> ftp=<port>", bounded.
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (line.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            error_ = "stand-in did not become ready within 10 s";
            break;
        }
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buf[256];
        ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0) {
            error_ = "stand-in ended before it was ready";
            break;
        }
        line.append(buf, static_cast<size_t>(n));
    }
    close(out[0]);
    int http = 0, ftp = 0;
    if (error_.empty() && std::sscanf(line.c_str(), "READY http=%d ftp=%d", &http, &ftp) == 2) {
        httpPort_ = http;
        ftpPort_ = ftp;
    } else if (error_.empty()) {
        error_ = "unexpected first line from the stand-in: " + line;
    }
    if (!error_.empty()) {
        std::error_code ec;
        auto size = std::filesystem::file_size(logPath, ec);
        if (!ec && size > 0) {
            std::string log(size, '\0');
            if (FILE* f = std::fopen(logPath.c_str(), "rb")) {
                log.resize(std::fread(log.data(), 1, size, f));
                std::fclose(f);
            }
            error_ += "\n" + log;
        }
    }
}

StandinService::~StandinService() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    if (!root_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
}

std::string StandinService::httpBase() const {
    return "http://127.0.0.1:" + std::to_string(httpPort_);
}

std::string StandinService::settingsBase() const {
    return httpBase() + "/common/," + httpBase() + "/sg/common/";
}

bool StandinService::SetFault(const std::string& name, bool on) {
    return Post("/control/fault?name=" + name + "&on=" + (on ? "1" : "0")).status == 200;
}

bool StandinService::SetValue(const std::string& key, const std::string& value) {
    char* escaped = curl_escape(value.c_str(), static_cast<int>(value.size()));
    std::string v = escaped ? escaped : "";
    curl_free(escaped);
    return Post("/control/set?key=" + key + "&value=" + v).status == 200;
}

bool StandinService::ExpireSessions() {
    return Post("/control/expire-sessions").status == 200;
}

int StandinService::Stalls() const {
    const Reply reply = Get("/control/stalls");
    return reply.status == 200 ? std::atoi(reply.body.c_str()) : -1;
}

std::string StandinToolPath(const std::string& name) {
    return std::string(VANTREL_SOURCE_DIR) + "/tools/standin-service/" + name;
}

bool StandinService::StartOutage(double seconds, const std::string& mode, int atStore) {
    return Post("/control/outage?seconds=" + std::to_string(seconds) + "&mode=" + mode +
                "&at-stor=" + std::to_string(atStore)).status == 200;
}

int StandinService::ConnectionsCut() const {
    const Reply reply = Get("/control/cut");
    return reply.status == 200 ? std::atoi(reply.body.c_str()) : -1;
}

StandinService::Reply StandinService::Get(const std::string& path) const {
    return Request(httpBase() + path, nullptr);
}

StandinService::Reply StandinService::Post(const std::string& path, const std::string& body) const {
    return Request(httpBase() + path, &body);
}

}  // namespace vantrel::test
