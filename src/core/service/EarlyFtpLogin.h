#pragma once
// Logs a run's first FTP session in on a thread of its own while the run talks to the service
// over XML-RPC, so that on a slow link the round trips of the two are not waited for one after
// the other. The FTP login needs nothing of the service's answers; the upload folder is made
// and entered there too, once the run names it (after the service's login and album list).

#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <string>

namespace vantrel {

class FtpClient;

class EarlyFtpLogin {
public:
    // Starts FtpConnect on `ftp` (configured, not connected). Until the login is waited for, the
    // client is the thread's: its pump does nothing, and its stop check is `stopped` (which must
    // be safe to call from another thread) or the giving up of the destructor.
    EarlyFtpLogin(FtpClient& ftp, std::function<bool()> stopped);
    // A login not waited for is given up and its connection closed; the client is given back.
    ~EarlyFtpLogin();
    EarlyFtpLogin(const EarlyFtpLogin&) = delete;
    EarlyFtpLogin& operator=(const EarlyFtpLogin&) = delete;

    // Once logged in, the thread makes the folder `name` and changes into it. Before Wait.
    void EnterFolder(std::string name);

    struct Outcome {
        bool loggedIn = false;
        bool folderMade = false;
        bool inFolder = false;
    };
    // Waits for the thread, running `pump` at least every 50 ms, and gives the client back. What
    // failed is for the caller to do again under its own rules. Call once.
    Outcome Wait(const std::function<void()>& pump);

private:
    Outcome Run();
    void GiveBack();

    FtpClient& ftp_;
    std::function<void()> callerPump_;
    std::function<bool()> callerStopCheck_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool givenUp_ = false;
    bool waited_ = false;  // no folder will be named any more
    std::optional<std::string> folder_;
    std::future<Outcome> outcome_;
    bool givenBack_ = false;
};

}  // namespace vantrel
