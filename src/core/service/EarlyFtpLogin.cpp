#include "core/service/EarlyFtpLogin.h"

#include <chrono>

#include "core/service/FtpClient.h"

namespace vantrel {

EarlyFtpLogin::EarlyFtpLogin(FtpClient& ftp, std::function<bool()> stopped)
    : ftp_(ftp), callerPump_(ftp.Pump()), callerStopCheck_(ftp.StopCheck()) {
    ftp_.SetPump({});
    ftp_.SetStopCheck([this, stopped = std::move(stopped)] {
        {
            std::lock_guard lock(mutex_);
            if (givenUp_) return true;
        }
        return stopped && stopped();
    });
    outcome_ = std::async(std::launch::async, [this] { return Run(); });
}

EarlyFtpLogin::~EarlyFtpLogin() {
    if (givenBack_) return;
    {
        std::lock_guard lock(mutex_);
        givenUp_ = true;
    }
    changed_.notify_all();
    outcome_.wait();
    ftp_.FtpDisconnect();
    GiveBack();
}

EarlyFtpLogin::Outcome EarlyFtpLogin::Run() {
    Outcome outcome;
    try {
        ftp_.FtpConnect();
        outcome.loggedIn = true;
        std::string folder;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return folder_ || givenUp_ || waited_; });
            if (!folder_ || givenUp_) return outcome;
            folder = *folder_;
        }
        ftp_.FtpMakeAndChangeDir(folder, outcome.folderMade);
        outcome.inFolder = true;
    } catch (const std::exception&) {
    }
    return outcome;
}

void EarlyFtpLogin::EnterFolder(std::string name) {
    {
        std::lock_guard lock(mutex_);
        folder_ = std::move(name);
    }
    changed_.notify_all();
}

EarlyFtpLogin::Outcome EarlyFtpLogin::Wait(const std::function<void()>& pump) {
    {
        std::lock_guard lock(mutex_);
        waited_ = true;
    }
    changed_.notify_all();
    while (outcome_.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        if (pump) pump();
    const Outcome outcome = outcome_.get();
    GiveBack();
    return outcome;
}

void EarlyFtpLogin::GiveBack() {
    ftp_.SetPump(callerPump_);
    ftp_.SetStopCheck(callerStopCheck_);
    givenBack_ = true;
}

}  // namespace vantrel
