#include "core/service/FtpClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <utility>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>

#include "core/base/AsciiText.h"
#include "core/service/ExchangePace.h"

namespace vantrel {

namespace {

// Waits on a socket never last longer than this, so that the pump runs in time.
constexpr int kPollMs = 25;

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string ErrnoText(int error) { return std::strerror(error); }

class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

TFtpClient::TFtpClient(TFtpSettings settings, std::function<void()> pump)
    : settings_(std::move(settings)), pump_(std::move(pump)) {}

TFtpClient::~TFtpClient() {
    CloseData();
    if (control_ >= 0) ::close(control_);
}

void TFtpClient::FtpDisconnect() {
    CloseData();
    if (control_ >= 0) {
        ::close(control_);
        control_ = -1;
    }
    input_.clear();
    resumeOffered_.reset();
    passiveAhead_.reset();
    ++serial_;
}

void TFtpClient::CloseData() {
    sendingData_ = false;
    if (data_ >= 0) {
        ::close(data_);
        data_ = -1;
    }
}

void TFtpClient::FailConnection(const std::string& message) {
    FtpDisconnect();
    throw TFtpError(message);
}

void TFtpClient::FailProtocol(const std::string& detail) {
    FtpDisconnect();
    throw FtpProtocolError(detail);
}

void TFtpClient::CheckAlive() {
    if (stopRequested_ && stopRequested_()) {
        if (serial_ == activeSerial_) FtpDisconnect();
        throw TFtpError("FTP transfer stopped");
    }
    if (serial_ != activeSerial_ || control_ < 0) throw TFtpError("FTP connection closed");
}

void TFtpClient::PumpIfDue() {
    if (!pump_) return;
    auto now = NowMs();
    if (now - lastPumpMs_ < kPollMs) return;
    lastPumpMs_ = now;
    pump_();
}

void TFtpClient::WaitReady(int fd, short events, std::chrono::milliseconds limit, std::string_view what,
                           ExchangePace* pace) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
        CheckAlive();
        if (pace)
            if (auto tooSlow = pace->Check()) FailConnection(*tooSlow);
        pollfd entry{fd, events, 0};
        int ready = ::poll(&entry, 1, kPollMs);
        if (ready < 0 && errno != EINTR) FailConnection("FTP wait failed: " + ErrnoText(errno));
        PumpIfDue();
        CheckAlive();
        // Errors and hang-ups count as ready: the call that follows reports them.
        if (ready > 0) return;
        ReportDataTaken();  // a file's bytes in the send buffer go out meanwhile
        if (std::chrono::steady_clock::now() >= deadline)
            FailConnection(std::string(what) + " for " + DescribeSeconds(limit));
    }
}

void TFtpClient::WaitConnected(int fd, std::string_view what) {
    WaitReady(fd, POLLOUT, timeouts_.connect, std::string(what) + " not opened");
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
    if (error != 0) throw TFtpError(std::string(what) + " failed: " + ErrnoText(error));
}

void TFtpClient::SendAll(int fd, const char* data, std::size_t size, ExchangePace* pace) {
    while (size > 0) {
        ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                WaitReady(fd, POLLOUT, pace);
                continue;
            }
            throw TFtpError("FTP send failed: " + ErrnoText(errno));
        }
        if (pace) pace->Moved(static_cast<std::size_t>(sent));
        data += sent;
        size -= static_cast<std::size_t>(sent);
        PumpIfDue();
        CheckAlive();
    }
}

void TFtpClient::SendLines(std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines)
        if (!IsSafeFtpCommandLine(line)) throw TFtpRefusal("FTP command refused: it holds a line break or NUL");
    if (control_ < 0) throw TFtpError("FTP not connected");
    // The lines go in one write, so that no segment of a line waits for the one before's ACK.
    std::string wire;
    for (std::string_view line : lines)
        if (!line.empty()) wire.append(line).append("\r\n");
    try {
        SendAll(control_, wire.data(), wire.size());
    } catch (const TFtpError& error) {
        if (serial_ == activeSerial_) FtpDisconnect();
        throw;
    }
}

std::string TFtpClient::ReadLine(ExchangePace& pace) {
    char buffer[4096];
    const std::string tooLong = "a reply line longer than " + std::to_string(kFtpMaxReplyLine) + " bytes";
    while (true) {
        auto end = input_.find('\n');
        if (end != std::string::npos) {
            if (end > kFtpMaxReplyLine) FailProtocol(tooLong);
            std::string line = input_.substr(0, end);
            input_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        if (input_.size() > kFtpMaxReplyLine) FailProtocol(tooLong);
        WaitReady(control_, POLLIN, &pace);
        ssize_t got = ::recv(control_, buffer, sizeof buffer, 0);
        if (got == 0) FailConnection("FTP connection closed by the server");
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            FailConnection("FTP receive failed: " + ErrnoText(errno));
        }
        input_.append(buffer, static_cast<std::size_t>(got));
        pace.Moved(static_cast<std::size_t>(got));
    }
}

TFtpReply TFtpClient::ReadReply() {
    TFtpReplyAssembler assembler;
    ExchangePace pace(timeouts_, "the FTP server sent", timeouts_.answerDeadline);
    while (true) {
        auto done = assembler.AddLine(ReadLine(pace));
        if (!done) FailProtocol(done.error());
        if (*done) break;
    }
    lastReply_ = assembler.Reply();
    return lastReply_;
}

void TFtpClient::Expect(const TFtpReply& reply, std::initializer_list<int> accepted, std::string_view what) {
    if (!IsFtpCodeIn(reply.code, accepted))
        throw TFtpRefusal(std::string(what) + " refused: " + std::to_string(reply.code) + " " + reply.text);
}

TFtpReply TFtpClient::Command(std::string_view line, std::initializer_list<int> accepted) {
    SendLines({line});
    TFtpReply reply = ReadReply();
    Expect(reply, accepted, line.substr(0, line.find(' ')));
    return reply;
}

int TFtpClient::OpenSocket(const sockaddr* address, unsigned addressLength) {
    int fd = ::socket(address->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) throw TFtpError("FTP socket failed: " + ErrnoText(errno));
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    EnableKeepalive(fd);
    if (::connect(fd, address, addressLength) < 0 && errno != EINPROGRESS) {
        int error = errno;
        ::close(fd);
        throw TFtpError("FTP connection failed: " + ErrnoText(error));
    }
    return fd;
}

void TFtpClient::FtpConnect() {
    FtpDisconnect();
    activeSerial_ = serial_;
    if (stopRequested_ && stopRequested_()) throw TFtpError("FTP transfer stopped");
    auto endpoint = ParseFtpHost(settings_.host);
    if (!endpoint) throw TFtpError(endpoint.error());
    if (!settings_.proxy.empty()) {
        OpenConnection(control_, endpoint->host, endpoint->port, "FTP connection");
    } else {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int status = ::getaddrinfo(endpoint->host.c_str(), std::to_string(endpoint->port).c_str(), &hints, &found);
    if (status != 0) throw TFtpError("FTP host not found: " + endpoint->host + ": " + ::gai_strerror(status));
    std::string lastError = "FTP connection failed";
    for (addrinfo* candidate = found; candidate && control_ < 0; candidate = candidate->ai_next) {
        try {
            control_ = OpenSocket(candidate->ai_addr, candidate->ai_addrlen);
            WaitConnected(control_, "FTP connection");
        } catch (const TFtpError& failure) {
            lastError = failure.what();
            if (control_ >= 0) ::close(control_);
            control_ = -1;
            // Closed from the pump, stopped, or out of time: give up at once.
            if (serial_ != activeSerial_ || (stopRequested_ && stopRequested_())) break;
        }
    }
    ::freeaddrinfo(found);
    if (control_ < 0) throw TFtpError(lastError);
    }
    try {
        Expect(ReadReply(), {220}, "FTP greeting");
        TFtpReply user = Command("USER " + settings_.user, {230, 331});
        if (user.code == 331) Command("PASS " + settings_.password, {230});
        Command("TYPE I", {200});
        Command("SYST", {200, 215, 500});
    } catch (const TFtpError&) {
        if (serial_ == activeSerial_) FtpDisconnect();
        throw;
    }
}

void TFtpClient::FtpMakeDir(std::string_view name) {
    activeSerial_ = serial_;
    CheckAlive();
    Command("MKD " + std::string(name), {257});
}

void TFtpClient::FtpMakeAndChangeDir(std::string_view name, bool& made) {
    activeSerial_ = serial_;
    CheckAlive();
    passiveAhead_.reset();
    const std::string make = "MKD " + std::string(name), change = "CWD " + std::string(name);
    SendLines({make, change, "PASV"});
    const TFtpReply madeReply = ReadReply();
    const TFtpReply changedReply = ReadReply();
    TFtpReply passive = ReadReply();
    made = madeReply.code == 257;
    Expect(madeReply, {257}, "MKD");
    Expect(changedReply, {200, 250}, "CWD");
    if (passive.code == 227) passiveAhead_ = PassiveAhead{std::move(passive), std::chrono::steady_clock::now()};
    lastReply_ = changedReply;
}

void TFtpClient::FtpChangeDir(std::string_view name, bool passiveAfter) {
    activeSerial_ = serial_;
    CheckAlive();
    if (!passiveAfter) {
        Command("CWD " + std::string(name), {200, 250});
        return;
    }
    Expect(FtpQuote("CWD " + std::string(name), true), {200, 250}, "CWD");
}

TFtpReply TFtpClient::FtpQuote(std::string_view line, bool passiveAfter) {
    activeSerial_ = serial_;
    CheckAlive();
    passiveAhead_.reset();
    SendLines({line, passiveAfter ? "PASV" : ""});
    if (!passiveAfter) return ReadReply();
    const TFtpReply reply = ReadReply();
    TFtpReply passive = ReadReply();
    if (passive.code == 227) passiveAhead_ = PassiveAhead{std::move(passive), std::chrono::steady_clock::now()};
    lastReply_ = reply;
    return reply;
}

TFtpReply TFtpClient::Passive() {
    // A data port opened ahead is used while the server surely still listens on it.
    constexpr auto kFresh = std::chrono::seconds(10);
    if (auto ahead = std::exchange(passiveAhead_, std::nullopt);
        ahead && std::chrono::steady_clock::now() - ahead->at < kFresh)
        return ahead->reply;
    return Command("PASV", {227});
}

bool TFtpClient::FtpResumeOffered() {
    activeSerial_ = serial_;
    CheckAlive();
    if (!resumeOffered_) {
        SendLines({"FEAT"});
        const TFtpReply reply = ReadReply();
        bool size = false, rest = false;
        if (reply.code == 211) {
            std::size_t from = 0;
            while (from <= reply.text.size()) {
                auto to = reply.text.find('\n', from);
                if (to == std::string::npos) to = reply.text.size();
                const std::string feature = ToUpperAscii(TrimAscii(std::string_view(reply.text).substr(from, to - from)));
                size = size || feature == "SIZE";
                rest = rest || feature == "REST STREAM";
                from = to + 1;
            }
        }
        resumeOffered_ = size && rest;
    }
    return *resumeOffered_;
}

std::optional<std::int64_t> TFtpClient::FtpSize(std::string_view name) {
    activeSerial_ = serial_;
    CheckAlive();
    SendLines({"SIZE " + std::string(name)});
    const TFtpReply reply = ReadReply();
    if (reply.code != 213) return std::nullopt;
    const std::string digits(TrimAscii(reply.text));
    std::int64_t size = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), size);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() || size < 0)
        return std::nullopt;
    return size;
}

void TFtpClient::FtpStore(const std::string& localPath, std::string_view remoteName, std::int64_t offset) {
    activeSerial_ = serial_;
    CheckAlive();
    const std::string storeLine = "STOR " + std::string(remoteName);
    if (!IsSafeFtpCommandLine(storeLine)) throw TFtpRefusal("FTP command refused: it holds a line break or NUL");
    if (control_ < 0) throw TFtpError("FTP not connected");
    brokenStore_.clear();
    FileHandle file(::open(localPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) throw TFtpRefusal("cannot open " + localPath + ": " + ErrnoText(errno));
    struct stat info{};
    if (::fstat(file.get(), &info) < 0) throw TFtpRefusal("cannot read " + localPath + ": " + ErrnoText(errno));
    if (offset < 0 || offset > info.st_size || ::lseek(file.get(), offset, SEEK_SET) != offset)
        throw TFtpRefusal("cannot resume " + localPath + " at byte " + std::to_string(offset));

    TFtpReply pasv = Passive();
    auto address = ParsePasvReply(pasv.text);
    if (!address) FailProtocol(address.error());
    // The data connection goes to the server we are talking to, whatever host the reply names:
    // following another address would let the server send our files anywhere.
    sockaddr_storage peer{};
    socklen_t peerLength = sizeof peer;
    if (::getpeername(control_, reinterpret_cast<sockaddr*>(&peer), &peerLength) < 0)
        FailConnection("FTP connection lost: " + ErrnoText(errno));
    if (peer.ss_family == AF_INET)
        reinterpret_cast<sockaddr_in*>(&peer)->sin_port = htons(static_cast<uint16_t>(address->port));
    else
        reinterpret_cast<sockaddr_in6*>(&peer)->sin6_port = htons(static_cast<uint16_t>(address->port));

    if (offset > 0) Command("REST " + std::to_string(offset), {350});
    SendLines({storeLine});
    try {
        if (!settings_.proxy.empty()) {
            // Through the proxy the data connection goes to the host named in the settings.
            OpenConnection(data_, ParseFtpHost(settings_.host)->host, address->port, "FTP data connection");
        } else {
            data_ = OpenSocket(reinterpret_cast<sockaddr*>(&peer), peerLength);
            WaitConnected(data_, "FTP data connection");
        }
    } catch (const TFtpError&) {
        // The server waits for a data connection that will not come: this conversation is lost.
        if (serial_ == activeSerial_) FtpDisconnect();
        throw;
    }
    TFtpReply first = ReadReply();
    if (!IsFtpCodeIn(first.code, {110, 125, 150})) {
        CloseData();
        Expect(first, {110, 125, 150}, "STOR");
    }

    try {
        if (handlers_.OnWorkBegin) handlers_.OnWorkBegin(TWorkMode::wmWrite, info.st_size);
        SendFileData(file.get(), localPath, offset);
        struct CloseDataAfter {
            TFtpClient& client;
            ~CloseDataAfter() { client.CloseData(); }
        } closeData{*this};
        TFtpReply last = ReadReply();
        Expect(last, {225, 226, 250, 426, 450}, "STOR");
        if (last.code == 426 || last.code == 450) Expect(ReadReply(), {225, 226}, "STOR");
        // The server has the whole file.
        if (handlers_.OnWork && dataReported_ < info.st_size) handlers_.OnWork(TWorkMode::wmWrite, info.st_size);
    } catch (const TFtpRefusal&) {
        throw;
    } catch (const TFtpError& error) {
        brokenStore_ = remoteName;
        throw FtpStoreBrokenOff(error.what());
    }
}

}  // namespace vantrel
