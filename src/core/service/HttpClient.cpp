#include "core/service/HttpClient.h"

#include "core/base/AsciiText.h"

#include <cstdlib>

#include "core/service/ExchangePace.h"
#include "core/service/FileWriteError.h"

#include <curl/curl.h>

#include <strings.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <mutex>
#include <vector>

namespace vantrel {
namespace {

constexpr const char* kUserAgent = "Mozilla/3.0 (compatible; Indy Library)";
constexpr int kPumpIntervalMs = 50;

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

using Clock = std::chrono::steady_clock;

struct Transfer {
    std::string body;
    std::vector<std::string> cookie2;  // "Set-Cookie2" headers, which libcurl does not read itself
    bool connected = false;            // the connection is open: the inactivity clock runs
    bool tooLarge = false;
    std::size_t maxBytes = kMaxAnswerBytes;
    Clock::time_point lastActivity = Clock::now();
    curl_off_t uploaded = 0;
    std::optional<ExchangePace> pace;  // from the moment the connection is open
};

// "16 MB": the cap as the error names it.
std::string DescribeBytes(std::size_t bytes) { return std::to_string(bytes / (1024 * 1024)) + " MB"; }

// libcurl's failures that mean the server's answer broke HTTP itself: no drop of the network.
bool IsProtocolBreach(CURLcode result) {
    return result == CURLE_WEIRD_SERVER_REPLY || result == CURLE_BAD_CONTENT_ENCODING || result == CURLE_HTTP2 ||
           result == CURLE_HTTP2_STREAM || result == CURLE_TOO_MANY_REDIRECTS;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t n = size * count;
    transfer->lastActivity = Clock::now();
    if (transfer->pace) transfer->pace->Moved(n);
    if (n > transfer->maxBytes - transfer->body.size()) {
        transfer->tooLarge = true;
        return 0;  // libcurl ends the transfer with a write error
    }
    transfer->body.append(data, n);
    return n;
}

int OnConnected(void* user, char*, char*, int, int) {
    auto* transfer = static_cast<Transfer*>(user);
    transfer->connected = true;
    transfer->lastActivity = Clock::now();
    return CURL_PREREQFUNC_OK;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
    auto* transfer = static_cast<Transfer*>(user);
    if (uploaded != transfer->uploaded) {
        if (transfer->pace && uploaded > transfer->uploaded)
            transfer->pace->Moved(static_cast<std::size_t>(uploaded - transfer->uploaded));
        transfer->uploaded = uploaded;
        transfer->lastActivity = Clock::now();
    }
    return 0;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    const size_t n = size * count;
    static_cast<Transfer*>(user)->lastActivity = Clock::now();
    if (auto& pace = static_cast<Transfer*>(user)->pace) pace->Moved(n);
    constexpr std::string_view prefix = "Set-Cookie2:";
    if (n > prefix.size() && strncasecmp(data, prefix.data(), prefix.size()) == 0) {
        std::string value(data + prefix.size(), n - prefix.size());
        while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.pop_back();
        static_cast<Transfer*>(user)->cookie2.push_back(value);
    }
    return n;
}

// Replaces the file's content; the system's reason when it cannot.
std::expected<void, HttpError> WriteFile(const std::string& path, std::string_view content) {
    auto written = WriteWholeFile(path, content);
    if (!written) return std::unexpected(HttpError{0, written.error().reason, HttpError::Kind::LocalWrite});
    return {};
}

}  // namespace

struct HttpClient::Handles {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;  // kept for the client's life: it holds the cookies
    bool cookieEngineOn = false;
    ~Handles() {
        if (easy) curl_easy_cleanup(easy);
        if (multi) curl_multi_cleanup(multi);
    }
};

HttpClient::HttpClient(std::function<void()> pump) : handles_(std::make_unique<Handles>()), pump_(std::move(pump)) {
    GlobalInit();
    handles_->multi = curl_multi_init();
    handles_->easy = curl_easy_init();
}

HttpClient::~HttpClient() = default;

void HttpClient::SetPump(std::function<void()> pump) { pump_ = std::move(pump); }

std::expected<std::string, HttpError> HttpClient::Perform(const std::string& url, const std::string_view* postBody,
                                                          std::size_t maxBytes) {
    // The pump may run window events; one of them must not start a second request on this client.
    if (busy_) return std::unexpected(HttpError{0, "a request of this client is already in progress"});
    if (stopRequested_ && stopRequested_()) return std::unexpected(HttpError{0, "request stopped", HttpError::Kind::Stopped});
    busy_ = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{busy_};
    lastStatus_ = 0;
    abort_ = false;
    CURL* easy = handles_->easy;
    CURLM* multi = handles_->multi;
    if (!easy || !multi) return std::unexpected(HttpError{0, "the network library could not be initialised"});

    curl_easy_reset(easy);  // keeps the cookies and the connection cache
    // The in-memory cookie engine is switched on once: it outlives the reset, and each switching-on
    // would add an entry to a list that the reset forgets without freeing.
    if (!handles_->cookieEngineOn) {
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
        handles_->cookieEngineOn = true;
    }
    Transfer transfer;
    transfer.maxBytes = maxBytes;
    // An answer may take the deadline once for every kMaxAnswerBytes it is allowed to hold.
    const auto deadline = timeouts_.answerDeadline * static_cast<long>(std::max<std::size_t>(1, maxBytes / kMaxAnswerBytes));
    char errorText[CURL_ERROR_SIZE] = {};
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Content-Type: text/html");
    headers = curl_slist_append(headers, "Accept: text/html, */*");
    headers = curl_slist_append(headers, "Expect:");
    if (postBody) headers = curl_slist_append(headers, "Connection: keep-alive");

    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    // https where the service offers it, with the system's certificate check; tests may name a
    // certificate authority of their own.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    if (const char* authority = std::getenv("VANTREL_TLS_CA_FILE"); authority && *authority)
        curl_easy_setopt(easy, CURLOPT_CAINFO, authority);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    // The proxy is always named, "" for none, so that curl never reads the environment itself: the
    // choice (the preferences', else the environment's, as curl would read it) is made in one
    // place. A plain http request is handed to an HTTP proxy as it is, as every HTTP proxy takes
    // one (many refuse a CONNECT tunnel to any port but 443, and a tunnel costs a round trip
    // more); https goes through a tunnel.
    const std::optional<ProxyServer> proxy = proxy_.ForUrl(url);
    const std::string proxyUrl = proxy ? proxy->Url() : std::string();
    curl_easy_setopt(easy, CURLOPT_PROXY, proxyUrl.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPPROXYTUNNEL, proxy && StartsWithIgnoringCase(url, "https:") ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, OnConnected);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts_.connect.count()));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes));
    curl_easy_setopt(easy, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(easy, CURLOPT_TCP_KEEPIDLE, 30L);
    curl_easy_setopt(easy, CURLOPT_TCP_KEEPINTVL, 10L);
    if (postBody) {
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, postBody->data());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(postBody->size()));
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }

    curl_multi_add_handle(multi, easy);
    // The pump may throw (a window closing mid-request): the handle and the header list are let go
    // on every way out, so that the next request starts clean.
    struct Detach {
        CURLM* multi;
        CURL* easy;
        curl_slist* headers;
        bool done = false;
        void Now() {
            if (done) return;
            done = true;
            curl_multi_remove_handle(multi, easy);
            curl_slist_free_all(headers);
        }
        ~Detach() { Now(); }
    } detach{multi, easy, headers};
    CURLcode result = CURLE_OK;
    bool aborted = false;
    bool silent = false;
    std::optional<std::string> tooSlow;
    const auto start = Clock::now();
    int running = 1;
    while (running) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) break;
        if (!running) break;
        curl_multi_poll(multi, nullptr, 0, kPumpIntervalMs, nullptr);
        if (pump_) pump_();
        if (abort_ || (stopRequested_ && stopRequested_())) {
            aborted = true;
            break;
        }
        if (transfer.connected && Clock::now() - transfer.lastActivity > timeouts_.inactivity) {
            silent = true;
            break;
        }
        if (transfer.connected && !transfer.pace) transfer.pace.emplace(timeouts_, "the server sent", std::nullopt);
        if (transfer.pace && (tooSlow = transfer.pace->Check())) break;
        if (Clock::now() - start >= deadline) {
            tooSlow = "no complete answer within " + DescribeDuration(deadline);
            break;
        }
    }
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy) result = msg->data.result;
    }
    detach.Now();

    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    lastStatus_ = status;
    for (const auto& cookie : transfer.cookie2) {
        const std::string line = "Set-Cookie:" + cookie;
        curl_easy_setopt(easy, CURLOPT_COOKIELIST, line.c_str());
    }

    if (aborted) return std::unexpected(HttpError{0, "request stopped", HttpError::Kind::Stopped});
    if (silent) {
        return std::unexpected(HttpError{0, "no answer from the server for " + DescribeSeconds(timeouts_.inactivity),
                                         HttpError::Kind::Transport, true});
    }
    if (tooSlow) return std::unexpected(HttpError{0, *tooSlow, HttpError::Kind::Transport, true});
    if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        return std::unexpected(
            HttpError{0, "the answer is larger than " + DescribeBytes(maxBytes), HttpError::Kind::TooLarge});
    }
    if (result != CURLE_OK) {
        std::string text = errorText[0] ? errorText : curl_easy_strerror(result);
        if (IsProtocolBreach(result)) text = "the server's answer could not be understood (" + text + ")";
        const bool network = result == CURLE_COULDNT_RESOLVE_HOST || result == CURLE_COULDNT_RESOLVE_PROXY ||
                             result == CURLE_COULDNT_CONNECT || result == CURLE_OPERATION_TIMEDOUT ||
                             result == CURLE_RECV_ERROR || result == CURLE_SEND_ERROR || result == CURLE_GOT_NOTHING ||
                             result == CURLE_PARTIAL_FILE || result == CURLE_SSL_CONNECT_ERROR;
        return std::unexpected(HttpError{0, text, HttpError::Kind::Transport, network});
    }
    if (status < 200 || status > 299) {
        std::string text = "HTTP " + std::to_string(status);
        char* location = nullptr;
        if (curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location && *location)
            text += ", a redirection to " + std::string(location).substr(0, 200) + " that is not followed";
        return std::unexpected(HttpError{status, text, HttpError::Kind::Status});
    }
    return std::move(transfer.body);
}

std::expected<std::string, HttpError> HttpClient::HttpGet(const std::string& url) {
    return Perform(url, nullptr, kMaxAnswerBytes);
}

std::expected<std::string, HttpError> HttpClient::HttpPost(const std::string& url, std::string_view body,
                                                           std::size_t maxAnswerBytes) {
    return Perform(url, &body, maxAnswerBytes);
}

std::expected<void, HttpError> HttpClient::HttpGet(const std::string& url, const std::string& destPath) {
    if (auto created = WriteFile(destPath, {}); !created) return created;
    auto body = HttpGet(url);
    if (!body) return std::unexpected(body.error());
    if (auto written = WriteFile(destPath, *body); !written) {
        (void)WriteFile(destPath, {});  // never half a body
        return written;
    }
    return {};
}

std::expected<void, HttpError> HttpClient::HttpPost(const std::string& url, std::string_view body,
                                                    const std::string& destPath, std::size_t maxAnswerBytes) {
    if (auto created = WriteFile(destPath, {}); !created) return created;
    auto response = HttpPost(url, body, maxAnswerBytes);
    if (!response) return std::unexpected(response.error());
    if (auto written = WriteFile(destPath, *response); !written) {
        (void)WriteFile(destPath, {});
        return written;
    }
    return {};
}

}  // namespace vantrel
