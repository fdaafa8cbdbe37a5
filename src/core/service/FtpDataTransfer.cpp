// The data connection of a store: the file's bytes in blocks, at the pace of the user's rate
// limit, and the counts of what left the send buffer.
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "core/service/ExchangePace.h"
#include "core/service/FtpClient.h"
#include "core/service/UploadRateLimit.h"

namespace vantrel {
namespace {
// A wait for the rate limit is cut into slices this long, so that the pump and Stop run in time.
constexpr std::chrono::milliseconds kRateWaitSlice{25};
}  // namespace

void FtpClient::SendFileData(int file, const std::string& localPath, std::int64_t offset) {
    struct WorkEnd {
        FtpClient& client;
        ~WorkEnd() {
            if (client.handlers_.OnWorkEnd) client.handlers_.OnWorkEnd(WorkMode::wmWrite);
        }
    } workEnd{*this};
    block_.resize(kBlockSize);
    dataWritten_ = dataReported_ = offset;
    sendingData_ = true;
    if (offset > 0 && handlers_.OnWork) handlers_.OnWork(WorkMode::wmWrite, offset);
    ExchangePace pace(timeouts_, "the FTP server took", std::nullopt);
    try {
        while (true) {
            ssize_t got = ::read(file, block_.data(), kBlockSize);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) throw FtpRefusalError("cannot read " + localPath + ": " + std::strerror(errno));
            if (got == 0) break;
            SendLimited(block_.data(), static_cast<std::size_t>(got), pace);
            dataWritten_ += got;
            ReportDataTaken();
        }
    } catch (const FtpError&) {
        // A half-sent file leaves replies on the control connection that nobody will read.
        if (serial_ == activeSerial_) FtpDisconnect();
        throw;
    }
    // The end of the file goes out behind what the send buffer still holds; the connection
    // stays open until the final reply, so that the bars can follow that buffer draining.
    ::shutdown(data_, SHUT_WR);
}

void FtpClient::ReportDataTaken() {
    if (!sendingData_ || data_ < 0 || !handlers_.OnWork) return;
    // Bytes still in the socket's send buffer have not left this machine: on a slow link that
    // buffer holds seconds of the upload, which the bars would show as sent.
    int unsent = 0;
    if (::ioctl(data_, SIOCOUTQ, &unsent) < 0) unsent = 0;
    const std::int64_t taken = dataWritten_ - std::max(unsent, 0);
    if (taken <= dataReported_) return;
    dataReported_ = taken;
    handlers_.OnWork(WorkMode::wmWrite, taken);
}

void FtpClient::SendLimited(const char* data, std::size_t size, ExchangePace& pace) {
    while (size > 0) {
        std::size_t piece = size;
        if (rateLimit_) {
            // Pieces of a twentieth of a second's bytes keep each wait short, so that a new rate
            // takes hold soon.
            const std::int64_t rate = rateLimit_->BytesPerSecond();
            if (rate > 0) piece = std::min(size, std::max<std::size_t>(static_cast<std::size_t>(rate / 20), 1024));
            WaitForRate(rateLimit_->Reserve(static_cast<std::int64_t>(piece)));
        }
        SendAll(data_, data, piece, &pace);
        data += piece;
        size -= piece;
    }
}

void FtpClient::WaitForRate(std::chrono::milliseconds wait) {
    if (wait.count() <= 0) return;
    const std::int64_t rate = rateLimit_->BytesPerSecond();
    const auto until = std::chrono::steady_clock::now() + wait;
    while (true) {
        CheckAlive();
        const auto left = until - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero() || rateLimit_->BytesPerSecond() != rate) return;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, kRateWaitSlice));
        PumpIfDue();
    }
}

}  // namespace vantrel
