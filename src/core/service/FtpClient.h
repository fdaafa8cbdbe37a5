#pragma once
// The FTP client of a transfer run: one control connection with a user login, binary stores in
// passive mode, making and entering one folder, one site command, and closing.
//
// Every operation blocks, and while it waits on the network it calls the pump at least every
// 50 ms, so that a window keeps working. The pump may call FtpDisconnect (the Stop button): the
// operation in progress then fails with FtpError. No wait lasts for ever: a connection (control
// or data) that does not open within NetworkTimeouts::connect, or on which nothing can be
// received or sent for NetworkTimeouts::inactivity, or under kLowSpeedBytes in
// NetworkTimeouts::lowSpeedWindow, fails the operation and is closed; so does a reply that is not
// whole within NetworkTimeouts::answerDeadline. Both connections carry TCP keepalive.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/app/ProxySetting.h"
#include "core/service/FtpReply.h"
#include "core/service/NetworkTimeouts.h"

struct sockaddr;

namespace vantrel {

class ExchangePace;
class UploadRateLimit;

// A failed FTP operation: the connection failed or a reply code outside the accepted set came.
class FtpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure that a new connection would not cure: the server refused a command with its reply
// code, a command line was unsafe, or the local file could not be read.
class FtpRefusalError : public FtpError {
public:
    using FtpError::FtpError;
};

// A store that the server had accepted (its first reply came) lost its connection or ran out of
// time: part of the file may be on the server, and a later store may resume it.
class FtpStoreBrokenOffError : public FtpError {
public:
    using FtpError::FtpError;
};

// The server's reply broke the protocol (a line or a reply over its bound, no three-digit code,
// an unreadable passive address): talking to it again would not help, so the run ends at once.
// The connection is closed.
class FtpProtocolError : public FtpRefusalError {
public:
    explicit FtpProtocolError(const std::string& detail)
        : FtpRefusalError("the server's answer could not be understood (" + detail + ")") {}
};

enum class WorkMode { wmRead, wmWrite };

// Progress reports of a store. OnWorkBegin carries the file size, OnWork the bytes of this file
// that left the send buffer so far (after blocks of at most 32 768 bytes, and every 50 ms while
// the buffer drains; a store resumed at an offset reports the offset first, a store that
// completed ends with the file size), OnWorkEnd comes once the file's bytes are handed to the
// data connection, also when the store failed. Empty handlers are skipped.
struct FtpWorkHandlers {
    std::function<void(WorkMode, std::int64_t)> OnWorkBegin;
    std::function<void(WorkMode, std::int64_t)> OnWork;
    std::function<void(WorkMode)> OnWorkEnd;
};

struct FtpAccount {
    std::string host;  // ftp_host, may carry ":port" (21 when none)
    std::string user;
    std::string password;
    // An HTTP proxy ("host:port") through which the control and data connections are tunnelled
    // with CONNECT; empty: direct connections.
    std::string proxy;
};

// The HTTP proxy ("host:port") through which FTP connections to `ftpHost` ("host[:port]") are
// tunnelled, empty for direct ones: the preferences' proxy, else the environment's for ftp://
// addresses (ftp_proxy, FTP_PROXY, all_proxy, ALL_PROXY, with no_proxy). Only an HTTP proxy can
// open the tunnels; a SOCKS or https one of the environment leaves FTP direct.
std::string FtpTunnelProxy(const ProxyChoice& proxy, const std::string& ftpHost);

class FtpClient {
public:
    // Size of the blocks written to the data connection.
    static constexpr std::size_t kBlockSize = 32768;

    explicit FtpClient(FtpAccount settings, std::function<void()> pump = {});
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    // Opens the control connection (closing an open one first), reads the greeting (220), logs
    // in (USER: 230, or 331 then PASS: 230), sets binary mode (TYPE I: 200) and asks SYST (200,
    // 215 or 500). Throws FtpError; the connection is closed when it fails.
    void FtpConnect();

    // MKD name, reply 257. Throws FtpError.
    void FtpMakeDir(std::string_view name);

    // MKD name (257) and CWD name (200 or 250) in one round trip, with the next store's PASV.
    // `made` tells whether MKD succeeded, also when CWD then failed. Throws FtpError.
    void FtpMakeAndChangeDir(std::string_view name, bool& made);

    // CWD name, reply 200 or 250. Throws FtpError. `passiveAfter`: see FtpQuote.
    void FtpChangeDir(std::string_view name, bool passiveAfter = false);

    // Stores the local file under the remote name, replacing a file of that name: PASV (227),
    // STOR (first reply 110, 125 or 150), the bytes over the data connection, then the final
    // reply 225, 226, 250, 426 or 450, and after 426 or 450 one more, 225 or 226. The data
    // connection goes to the control connection's peer at the port of the PASV reply: an
    // address naming another host is not followed. Throws FtpError; FtpStoreBrokenOffError when the
    // connection failed after the server accepted the store.
    // `offset` > 0 resumes: "REST offset" (350) comes before STOR and the data connection
    // carries the file from that byte on (an offset past the file's end is a refusal).
    void FtpStore(const std::string& localPath, std::string_view remoteName, std::int64_t offset = 0);

    // True when the last store broke off (FtpStoreBrokenOffError) and stored under `remoteName`: part
    // of it may be on the server. Survives reconnections; the next store forgets it.
    bool LastStoreBrokeOff(std::string_view remoteName) const { return !brokenStore_.empty() && brokenStore_ == remoteName; }

    // True when the server can resume a store: its FEAT reply lists SIZE and "REST STREAM".
    // FEAT is asked once per connection, the first time this is called on it. Throws FtpError
    // when the connection fails.
    bool FtpResumeOffered();

    // SIZE name: the size of a remote file (reply 213 and a whole number), or nothing when the
    // server refuses or answers something else. Throws FtpError when the connection fails.
    std::optional<std::int64_t> FtpSize(std::string_view name);

    // Sends the line unchanged and returns its reply, whatever its code. Throws FtpError when
    // the connection fails or the line holds a CR, LF or NUL. `passiveAfter` sends PASV right
    // behind the line, so that the next store's data port comes with this reply instead of
    // costing a round trip of its own (it is used by a store within 10 seconds).
    FtpReply FtpQuote(std::string_view line, bool passiveAfter = false);

    // True while the control connection is open.
    bool FtpConnected() const { return control_ >= 0; }

    // Closes the control connection (and a data connection) without sending QUIT. Safe to call
    // from the pump during any operation, which then fails.
    void FtpDisconnect();

    // The last complete reply (code 0 before the first).
    const FtpReply& LastReply() const { return lastReply_; }

    // Replaces the time-outs (DefaultNetworkTimeouts() until then).
    void SetTimeouts(NetworkTimeouts timeouts) { timeouts_ = timeouts; }
    // While `stopRequested` returns true, every operation fails with FtpError and closes the
    // connection: it is asked when an operation starts and whenever a wait ends or the pump ran,
    // so a stop ends a pending store or reply at once and a reconnection is not attempted.
    // Empty: never.
    void SetStopCheck(std::function<bool()> stopRequested) { stopRequested_ = std::move(stopRequested); }

    // The user's limit on the upload rate, shared with the other sessions of the run; null: none.
    // Before each piece of a file is sent the client waits what the limit says, in slices of at
    // most 50 ms that run the pump and ask the stop check; a change of the rate ends a wait.
    void SetRateLimit(UploadRateLimit* limit) { rateLimit_ = limit; }

    // The pump of the waits (see above); a client handed to another thread gets that thread's.
    void SetPump(std::function<void()> pump) { pump_ = std::move(pump); }
    const std::function<void()>& Pump() const { return pump_; }
    const std::function<bool()>& StopCheck() const { return stopRequested_; }

    void SetWorkHandlers(FtpWorkHandlers handlers) { handlers_ = std::move(handlers); }
    void ClearWorkHandlers() { handlers_ = {}; }

private:
    FtpReply Command(std::string_view line, std::initializer_list<int> accepted);
    // The passive reply for a store: the one asked ahead (FtpQuote), else PASV now.
    FtpReply Passive();
    // Sends the lines (empty ones left out) in one write.
    void SendLines(std::initializer_list<std::string_view> lines);
    FtpReply ReadReply();
    std::string ReadLine(ExchangePace& pace);
    // Closes the connection and throws FtpProtocolError.
    [[noreturn]] void FailProtocol(const std::string& detail);
    void Expect(const FtpReply& reply, std::initializer_list<int> accepted, std::string_view what);
    int OpenSocket(const ::sockaddr* address, unsigned addressLength);
    // Waits until `fd` is ready for `events`, for at most `limit`; `what` names the wait in the
    // error of a time-out.
    // `pace`, when given, fails the wait once the exchange is too slow.
    void WaitReady(int fd, short events, std::chrono::milliseconds limit, std::string_view what,
                   ExchangePace* pace = nullptr);
    void WaitReady(int fd, short events, ExchangePace* pace = nullptr) {
        WaitReady(fd, events, timeouts_.inactivity, "no answer from the FTP server", pace);
    }
    void WaitConnected(int fd, std::string_view what);
    // Opens `slot` (control_ or data_) to `host`:`port` through the proxy's tunnel (FtpTunnel.cpp).
    void OpenConnection(int& slot, const std::string& host, int port, std::string_view what);
    void OpenTunnel(int fd, const std::string& host, int port);
    void SendAll(int fd, const char* data, std::size_t size, ExchangePace* pace = nullptr);
    // SendAll on the data connection in pieces that the rate limit allows.
    void SendLimited(const char* data, std::size_t size, ExchangePace& pace);
    void WaitForRate(std::chrono::milliseconds wait);
    // The data transfer of FtpStore, from the file's current position.
    void SendFileData(int file, const std::string& localPath, std::int64_t offset);
    // OnWork with the bytes of the file that left the data connection's send buffer, when more.
    void ReportDataTaken();
    void CheckAlive();
    void PumpIfDue();
    void CloseData();
    [[noreturn]] void FailConnection(const std::string& message);

    FtpAccount settings_;
    std::function<void()> pump_;
    std::function<bool()> stopRequested_;
    NetworkTimeouts timeouts_ = DefaultNetworkTimeouts();
    FtpWorkHandlers handlers_;
    int control_ = -1;
    int data_ = -1;
    unsigned serial_ = 0;        // changes whenever the connection is closed
    unsigned activeSerial_ = 0;  // serial_ when the running operation began; a change ends it
    std::string input_;    // bytes received on the control connection and not yet taken as lines
    FtpReply lastReply_;
    std::int64_t lastPumpMs_ = 0;
    std::string block_;  // one block of file bytes on its way to the data connection
    std::int64_t dataWritten_ = 0;   // of the file being stored, handed to the data connection
    std::int64_t dataReported_ = 0;  // of those, reported by OnWork
    bool sendingData_ = false;       // from SendFileData to the final reply: the counts above are this file's
    UploadRateLimit* rateLimit_ = nullptr;
    std::string brokenStore_;  // the remote name of the last store, when it broke off
    std::optional<bool> resumeOffered_;  // the FEAT answer of the open connection, once asked
    struct PassiveAhead {
        FtpReply reply;
        std::chrono::steady_clock::time_point at;
    };
    std::optional<PassiveAhead> passiveAhead_;  // a 227 reply not used by a store yet
};

}  // namespace vantrel
