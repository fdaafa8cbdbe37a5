#include "core/service/ConnectionRecovery.h"

#include <algorithm>
#include <thread>

#include "core/service/FtpClient.h"
#include "core/service/UploadPackage.h"
#include "core/service/XmlRpcTransferService.h"

namespace vantrel {

bool IsConnectionFailure(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const FtpRefusalError&) {
        return false;
    } catch (const FtpError&) {
        return true;
    } catch (const UploadError& error) {
        // The package upload says "the reconnection failed" with an empty text.
        return std::string_view(error.what()).empty();
    } catch (const ServiceCallError& error) {
        return error.Problem().networkFailure;
    } catch (...) {
        return false;
    }
}

ConnectionRecovery::ConnectionRecovery(ReconnectSchedule schedule, RecoveryHooks hooks)
    : schedule_(std::move(schedule)), hooks_(std::move(hooks)) {}

bool ConnectionRecovery::WaitAfterFailure() {
    using namespace std::chrono;
    if (!schedule_.Enabled() || Stopped()) return false;
    const auto now = steady_clock::now();
    if (failures_ == 0) outageStart_ = now;
    ++failures_;
    const auto spent = duration_cast<milliseconds>(now - outageStart_);
    if (spent >= schedule_.limit) {
        gaveUp_ = true;
        return false;
    }
    const auto end = now + std::min(schedule_.PauseAfter(failures_), schedule_.limit - spent);
    int shown = -1;
    for (auto at = now; at < end; at = steady_clock::now()) {
        if (Stopped()) return false;
        const int secondsLeft = static_cast<int>(ceil<seconds>(end - at).count());
        if (secondsLeft != shown && hooks_.showWait) hooks_.showWait(shown = std::max(secondsLeft, 1));
        if (hooks_.pump) hooks_.pump();
        if (Stopped()) return false;
        std::this_thread::sleep_for(std::min<steady_clock::duration>(milliseconds(50), end - steady_clock::now()));
    }
    if (Stopped()) return false;
    if (hooks_.showWait) hooks_.showWait(0);
    if (hooks_.beforeRetry) hooks_.beforeRetry();
    return true;
}

}  // namespace vantrel
