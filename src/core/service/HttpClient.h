#pragma once
// The program's HTTP/1.x client: the settings document is fetched with a GET, the XML-RPC calls
// are posted. Requests block the caller, but the caller's pump runs at least every 50 ms while
// one waits, so the window stays responsive. Each client keeps its own cookies in memory for
// as long as it lives and sends them back with later requests that match them. One request
// per client at a time: a request started from the pump while another waits fails at once.
//
// No request waits forever: opening the connection may take NetworkTimeouts::connect, and an
// open connection on which nothing moved for NetworkTimeouts::inactivity, or under
// kLowSpeedBytes in NetworkTimeouts::lowSpeedWindow, fails the request, and so does an answer not
// whole within NetworkTimeouts::answerDeadline (once more for every further kMaxAnswerBytes a
// request allows). Answers are capped at kMaxAnswerBytes unless a post allows more, so that an
// endless body cannot take the memory.

#include <expected>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/app/ProxySetting.h"
#include "core/service/NetworkTimeouts.h"

namespace vantrel {

// The largest answer body a request accepts; a larger one fails with HttpError::Kind::TooLarge.
inline constexpr std::size_t kMaxAnswerBytes = 16 * 1024 * 1024;

// Why a request failed. `status` is the response status when a server answered with one
// outside the 200s, 0 otherwise.
struct HttpError {
    enum class Kind {
        Status,      // an answer with a status outside the 200s
        Transport,   // name resolution, a refused, broken or silent connection, an unsupported scheme
        Stopped,     // Abort or the stop check ended the request
        TooLarge,    // the answer's body is larger than the request's cap
        LocalWrite,  // the answer could not be written to its file; `message` is the system's reason
    };
    long status = 0;
    std::string message;
    Kind kind = Kind::Transport;
    // Transport: the network failed (no name, refused, reset, silent, too slow), not the address itself;
    // waiting for the network to come back may help.
    bool networkFailure = false;
};

class HttpClient {
public:
    // `pump` is called while a request waits (at least every 50 ms); it may be empty.
    explicit HttpClient(std::function<void()> pump = {});
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    void SetPump(std::function<void()> pump);

    // Replaces the time-outs (DefaultNetworkTimeouts() until then).
    void SetTimeouts(NetworkTimeouts timeouts) { timeouts_ = timeouts; }
    // Sends each request through the proxy that `proxy` gives its address (https through an HTTP
    // proxy in a CONNECT tunnel); direct until then, whatever the environment's variables say.
    void SetProxy(ProxyChoice proxy) { proxy_ = std::move(proxy); }
    // A request fails with Kind::Stopped as soon as `stopRequested` returns true: it is asked
    // before a request starts and after every run of the pump (Stop, a window closing, a
    // termination signal). Empty: never.
    void SetStopCheck(std::function<bool()> stopRequested) { stopRequested_ = std::move(stopRequested); }

    // Sends "GET" (HTTP/1.1) and returns the response body when the status is in the 200s.
    // Any other status (redirections are not followed) and every transport failure is an
    // error; the body of an error page is never returned.
    std::expected<std::string, HttpError> HttpGet(const std::string& url);

    // Closes a connection the client may still hold, then sends "POST" (HTTP/1.0) with the
    // body, a Content-Length and "Connection: keep-alive"; returns the response body on a
    // status in the 200s, an error otherwise as HttpGet.
    std::expected<std::string, HttpError> HttpPost(const std::string& url, std::string_view body,
                                                   std::size_t maxAnswerBytes = kMaxAnswerBytes);

    // As above, writing the body into `destPath`. The file is created or truncated first; on
    // failure it is left empty, so it never holds any part of an error page. A file that cannot
    // be created or written gives Kind::LocalWrite.
    std::expected<void, HttpError> HttpGet(const std::string& url, const std::string& destPath);
    std::expected<void, HttpError> HttpPost(const std::string& url, std::string_view body,
                                            const std::string& destPath, std::size_t maxAnswerBytes = kMaxAnswerBytes);

    // Status of the last response received (0 when none was).
    long LastStatus() const { return lastStatus_; }

    // Makes the request in progress (if any) fail with an error as soon as the client next
    // looks; meant to be called from the pump.
    void Abort() { abort_ = true; }

private:
    std::expected<std::string, HttpError> Perform(const std::string& url, const std::string_view* postBody,
                                                  std::size_t maxBytes);

    struct Handles;
    std::unique_ptr<Handles> handles_;
    std::function<void()> pump_;
    std::function<bool()> stopRequested_;
    ProxyChoice proxy_;
    NetworkTimeouts timeouts_ = DefaultNetworkTimeouts();
    long lastStatus_ = 0;
    bool abort_ = false;
    bool busy_ = false;
};

}  // namespace vantrel
