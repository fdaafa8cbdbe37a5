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

FtpClient::FtpClient(FtpAccount settings, std::function<void()> pump)
    : settings_(std::move(settings)), pump_(std::move(pump)) {}

FtpClient::~FtpClient() {
    CloseData();
    if (control_ >= 0) ::close(control_);
}

void FtpClient::FtpDisconnect() {
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

void FtpClient::CloseData() {
    sendingData_ = false;
    if (data_ >= 0) {
        ::close(data_);
        data_ = -1;
    }
}

void FtpClient::FailConnection(const std::string& message) {
    FtpDisconnect();
    throw FtpError(message);
}

void FtpClient::FailProtocol(const std::string& detail) {
    FtpDisconnect();
    throw FtpProtocolError(detail);
}

void FtpClient::CheckAlive() {
    if (stopRequested_ && stopRequested_()) {
        if (serial_ == activeSerial_) FtpDisconnect();
        throw FtpError("FTP transfer stopped");
    }
    if (serial_ != activeSerial_ || control_ < 0) throw FtpError("FTP connection closed");
}

void FtpClient::PumpIfDue() {
    if (!pump_) return;
    auto now = NowMs();
    if (now - lastPumpMs_ < kPollMs) return;
    lastPumpMs_ = now;
    pump_();
}

void FtpClient::WaitReady(int fd, short events, std::chrono::milliseconds limit, std::string_view what,
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

void FtpClient::WaitConnected(int fd, std::string_view what) {
    WaitReady(fd, POLLOUT, timeouts_.connect, std::string(what) + " not opened");
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
    if (error != 0) throw FtpError(std::string(what) + " failed: " + ErrnoText(error));
}

void FtpClient::SendAll(int fd, const char* data, std::size_t size, ExchangePace* pace) {
    while (size > 0) {
        ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                WaitReady(fd, POLLOUT, pace);
                continue;
            }
            throw FtpError("FTP send failed: " + ErrnoText(errno));
        }
        if (pace) pace->Moved(static_cast<std::size_t>(sent));
        data += sent;
        size -= static_cast<std::size_t>(sent);
        PumpIfDue();
        CheckAlive();
    }
}

void FtpClient::SendLines(std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines)
        if (!IsSafeFtpCommandLine(line)) throw FtpRefusalError("FTP command refused: it holds a line break or NUL");
    if (control_ < 0) throw FtpError("FTP not connected");
    // The lines go in one write, so that no segment of a line waits for the one before's ACK.
    std::string wire;
    for (std::string_view line : lines)
        if (!line.empty()) wire.append(line).append("\r\n");
    try {
        SendAll(control_, wire.data(), wire.size());
    } catch (const FtpError& error) {
        if (serial_ == activeSerial_) FtpDisconnect();
        throw;
    }
}

std::string FtpClient::ReadLine(ExchangePace& pace) {
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

FtpReply FtpClient::ReadReply() {
    FtpReplyAssembler assembler;
    ExchangePace pace(timeouts_, "the FTP server sent", timeouts_.answerDeadline);
    while (true) {
        auto done = assembler.AddLine(ReadLine(pace));
        if (!done) FailProtocol(done.error());
        if (*done) break;
    }
    lastReply_ = assembler.Reply();
    return lastReply_;
}

void FtpClient::Expect(const FtpReply& reply, std::initializer_list<int> accepted, std::string_view what) {
    if (!IsFtpCodeIn(reply.code, accepted))
        throw FtpRefusalError(std::string(what) + " refused: " + std::to_string(reply.code) + " " + reply.text);
}

FtpReply FtpClient::Command(std::string_view line, std::initializer_list<int> accepted) {
    SendLines({line});
    FtpReply reply = ReadReply();
    Expect(reply, accepted, line.substr(0, line.find(' ')));
    return reply;
}

int FtpClient::OpenSocket(const sockaddr* address, unsigned addressLength) {
    int fd = ::socket(address->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) throw FtpError("FTP socket failed: " + ErrnoText(errno));
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    EnableKeepalive(fd);
    if (::connect(fd, address, addressLength) < 0 && errno != EINPROGRESS) {
        int error = errno;
        ::close(fd);
        throw FtpError("FTP connection failed: " + ErrnoText(error));
    }
    return fd;
}

void FtpClient::FtpConnect() {
    FtpDisconnect();
    activeSerial_ = serial_;
    if (stopRequested_ && stopRequested_()) throw FtpError("FTP transfer stopped");
    auto endpoint = ParseFtpHost(settings_.host);
    if (!endpoint) throw FtpError(endpoint.error());
    if (!settings_.proxy.empty()) {
        OpenConnection(control_, endpoint->host, endpoint->port, "FTP connection");
    } else {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int status = ::getaddrinfo(endpoint->host.c_str(), std::to_string(endpoint->port).c_str(), &hints, &found);
    if (status != 0) throw FtpError("FTP host not found: " + endpoint->host + ": " + ::gai_strerror(status));
    std::string lastError = "FTP connection failed";
    for (addrinfo* candidate = found; candidate && control_ < 0; candidate = candidate->ai_next) {
        try {
            control_ = OpenSocket(candidate->ai_addr, candidate->ai_addrlen);
            WaitConnected(control_, "FTP connection");
        } catch (const FtpError& failure) {
            lastError = failure.what();
            if (control_ >= 0) ::close(control_);
            control_ = -1;
            // Closed from the pump, stopped, or out of time: give up at once.
            if (serial_ != activeSerial_ || (stopRequested_ && stopRequested_())) break;
        }
    }
    ::freeaddrinfo(found);
    if (control_ < 0) throw FtpError(lastError);
    }
    try {
        Expect(ReadReply(), {220}, "FTP greeting");
        FtpReply user = Command("USER " + settings_.user, {230, 331});
        if (user.code == 331) Command("PASS " + settings_.password, {230});
        Command("TYPE I", {200});
        Command("SYST", {200, 215, 500});
    } catch (const FtpError&) {
        if (serial_ == activeSerial_) FtpDisconnect();
        throw;
    }
}

void FtpClient::FtpMakeDir(std::string_view name) {
    activeSerial_ = serial_;
    CheckAlive();
    Command("MKD " + std::string(name), {257});
}

void FtpClient::FtpMakeAndChangeDir(std::string_view name, bool& made) {
    activeSerial_ = serial_;
    CheckAlive();
    passiveAhead_.reset();
    const std::string make = "MKD " + std::string(name), change = "CWD " + std::string(name);
    SendLines({make, change, "PASV"});
    const FtpReply madeReply = ReadReply();
    const FtpReply changedReply = ReadReply();
    FtpReply passive = ReadReply();
    made = madeReply.code == 257;
    Expect(madeReply, {257}, "MKD");
    Expect(changedReply, {200, 250}, "CWD");
    if (passive.code == 227) passiveAhead_ = PassiveAhead{std::move(passive), std::chrono::steady_clock::now()};
    lastReply_ = changedReply;
}

void FtpClient::FtpChangeDir(std::string_view name, bool passiveAfter) {
    activeSerial_ = serial_;
    CheckAlive();
    if (!passiveAfter) {
        Command("CWD " + std::string(name), {200, 250});
        return;
    }
    Expect(FtpQuote("CWD " + std::string(name), true), {200, 250}, "CWD");
}

FtpReply FtpClient::FtpQuote(std::string_view line, bool passiveAfter) {
    activeSerial_ = serial_;
    CheckAlive();
    passiveAhead_.reset();
    SendLines({line, passiveAfter ? "PASV" : ""});
    if (!passiveAfter) return ReadReply();
    const FtpReply reply = ReadReply();
    FtpReply passive = ReadReply();
    if (passive.code == 227) passiveAhead_ = PassiveAhead{std::move(passive), std::chrono::steady_clock::now()};
    lastReply_ = reply;
    return reply;
}

FtpReply FtpClient::Passive() {
    // A data port opened ahead is used while the server surely still listens on it.
    constexpr auto kFresh = std::chrono::seconds(10);
    if (auto ahead = std::exchange(passiveAhead_, std::nullopt);
        ahead && std::chrono::steady_clock::now() - ahead->at < kFresh)
        return ahead->reply;
    return Command("PASV", {227});
}

bool FtpClient::FtpResumeOffered() {
    activeSerial_ = serial_;
    CheckAlive();
    if (!resumeOffered_) {
        SendLines({"FEAT"});
        const FtpReply reply = ReadReply();
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

std::optional<std::int64_t> FtpClient::FtpSize(std::string_view name) {
    activeSerial_ = serial_;
    CheckAlive();
    SendLines({"SIZE " + std::string(name)});
    const FtpReply reply = ReadReply();
    if (reply.code != 213) return std::nullopt;
    const std::string digits(TrimAscii(reply.text));
    std::int64_t size = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), size);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() || size < 0)
        return std::nullopt;
    return size;
}

void FtpClient::FtpStore(const std::string& localPath, std::string_view remoteName, std::int64_t offset) {
    activeSerial_ = serial_;
    CheckAlive();
    const std::string storeLine = "STOR " + std::string(remoteName);
    if (!IsSafeFtpCommandLine(storeLine)) throw FtpRefusalError("FTP command refused: it holds a line break or NUL");
    if (control_ < 0) throw FtpError("FTP not connected");
    brokenStore_.clear();
    FileHandle file(::open(localPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) throw FtpRefusalError("cannot open " + localPath + ": " + ErrnoText(errno));
    struct stat info{};
    if (::fstat(file.get(), &info) < 0) throw FtpRefusalError("cannot read " + localPath + ": " + ErrnoText(errno));
    if (offset < 0 || offset > info.st_size || ::lseek(file.get(), offset, SEEK_SET) != offset)
        throw FtpRefusalError("cannot resume " + localPath + " at byte " + std::to_string(offset));

    FtpReply pasv = Passive();
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
    } catch (const FtpError&) {
        // The server waits for a data connection that will not come: this conversation is lost.
        if (serial_ == activeSerial_) FtpDisconnect();
        throw;
    }
    FtpReply first = ReadReply();
    if (!IsFtpCodeIn(first.code, {110, 125, 150})) {
        CloseData();
        Expect(first, {110, 125, 150}, "STOR");
    }

    try {
        if (handlers_.OnWorkBegin) handlers_.OnWorkBegin(WorkMode::wmWrite, info.st_size);
        SendFileData(file.get(), localPath, offset);
        struct CloseDataAfter {
            FtpClient& client;
            ~CloseDataAfter() { client.CloseData(); }
        } closeData{*this};
        FtpReply last = ReadReply();
        Expect(last, {225, 226, 250, 426, 450}, "STOR");
        if (last.code == 426 || last.code == 450) Expect(ReadReply(), {225, 226}, "STOR");
        // The server has the whole file.
        if (handlers_.OnWork && dataReported_ < info.st_size) handlers_.OnWork(WorkMode::wmWrite, info.st_size);
    } catch (const FtpRefusalError&) {
        throw;
    } catch (const FtpError& error) {
        brokenStore_ = remoteName;
        throw FtpStoreBrokenOffError(error.what());
    }
}

}  // namespace vantrel
