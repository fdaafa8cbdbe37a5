#include "core/service/HttpClient.h"

#include <curl/curl.h>

#include <cstdio>
#include <mutex>
#include <strings.h>
#include <vector>

namespace vantrel {
namespace {

constexpr const char* kUserAgent = "Mozilla/3.0 (compatible; Indy Library)";
constexpr int kPumpIntervalMs = 50;

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    std::string body;
    std::vector<std::string> cookie2;  // "Set-Cookie2" headers, which libcurl does not read itself
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    static_cast<Transfer*>(user)->body.append(data, size * count);
    return size * count;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    const size_t n = size * count;
    constexpr std::string_view prefix = "Set-Cookie2:";
    if (n > prefix.size() && strncasecmp(data, prefix.data(), prefix.size()) == 0) {
        std::string value(data + prefix.size(), n - prefix.size());
        while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.pop_back();
        static_cast<Transfer*>(user)->cookie2.push_back(value);
    }
    return n;
}

bool WriteFile(const std::string& path, std::string_view content) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

}  // namespace

struct HttpClient::Handles {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;  // kept for the client's life: it holds the cookies
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

std::expected<std::string, HttpError> HttpClient::Perform(const std::string& url, const std::string_view* postBody) {
    // The pump may run window events; one of them must not start a second request on this client.
    if (busy_) return std::unexpected(HttpError{0, "a request of this client is already in progress"});
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
    Transfer transfer;
    char errorText[CURL_ERROR_SIZE] = {};
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, "Content-Type: text/html");
    headers = curl_slist_append(headers, "Accept: text/html, */*");
    headers = curl_slist_append(headers, "Expect:");
    if (postBody) headers = curl_slist_append(headers, "Connection: keep-alive");

    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");  // no proxy, whatever the environment says
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");  // in-memory cookie engine
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
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
    CURLcode result = CURLE_OK;
    bool aborted = false;
    int running = 1;
    while (running) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) break;
        if (!running) break;
        curl_multi_poll(multi, nullptr, 0, kPumpIntervalMs, nullptr);
        if (pump_) pump_();
        if (abort_) {
            aborted = true;
            break;
        }
    }
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy) result = msg->data.result;
    }
    curl_multi_remove_handle(multi, easy);
    curl_slist_free_all(headers);

    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    lastStatus_ = status;
    for (const auto& cookie : transfer.cookie2) {
        const std::string line = "Set-Cookie:" + cookie;
        curl_easy_setopt(easy, CURLOPT_COOKIELIST, line.c_str());
    }

    if (aborted) return std::unexpected(HttpError{0, "request aborted"});
    if (result != CURLE_OK) {
        std::string text = errorText[0] ? errorText : curl_easy_strerror(result);
        return std::unexpected(HttpError{0, text});
    }
    if (status < 200 || status > 299) {
        return std::unexpected(HttpError{status, "HTTP status " + std::to_string(status)});
    }
    return std::move(transfer.body);
}

std::expected<std::string, HttpError> HttpClient::HttpGet(const std::string& url) { return Perform(url, nullptr); }

std::expected<std::string, HttpError> HttpClient::HttpPost(const std::string& url, std::string_view body) {
    return Perform(url, &body);
}

std::expected<void, HttpError> HttpClient::HttpGet(const std::string& url, const std::string& destPath) {
    if (!WriteFile(destPath, {})) return std::unexpected(HttpError{0, "cannot create " + destPath});
    auto body = HttpGet(url);
    if (!body) return std::unexpected(body.error());
    if (!WriteFile(destPath, *body)) return std::unexpected(HttpError{0, "cannot write " + destPath});
    return {};
}

std::expected<void, HttpError> HttpClient::HttpPost(const std::string& url, std::string_view body,
                                                    const std::string& destPath) {
    if (!WriteFile(destPath, {})) return std::unexpected(HttpError{0, "cannot create " + destPath});
    auto response = HttpPost(url, body);
    if (!response) return std::unexpected(response.error());
    if (!WriteFile(destPath, *response)) return std::unexpected(HttpError{0, "cannot write " + destPath});
    return {};
}

}  // namespace vantrel
