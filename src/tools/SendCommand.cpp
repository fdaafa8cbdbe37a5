// vantrel-cli send --email ADDRESS [--password-stdin]: sends the photos queued in the work
// folder's transfer list to the service, as the transfer page of the program does, and prints
// one line per photo. Exit status: 0 every queued photo was sent, 1 photos remain queued, 2 the
// login was refused, the service could not be reached, or nothing could be started, 3 another
// process (the window or another send) is using the work folder.
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <optional>
#include <string>

#include "core/app/ProxySetting.h"
#include "core/albums/TAlbum.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/TImageJob.h"
#include "core/albums/TJpegPhotoImaging.h"
#include "core/albums/TMemoryContentView.h"
#include "core/albums/TPhotoIntake.h"
#include "core/albums/TransferListFile.h"
#include "core/albums/WorkFolderLeftovers.h"
#include "core/app/FormatPattern.h"
#include "core/app/DataFolder.h"
#include "core/app/LanguageFile.h"
#include "core/app/TSettings.h"
#include "core/app/WorkFolder.h"
#include "core/app/WorkFolderLock.h"
#include "core/base/AsciiText.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/service/FileWriteError.h"
#include "core/service/FtpClient.h"
#include "core/service/HttpClient.h"
#include "core/service/SettingsFile.h"
#include "core/service/TXmlRpcService.h"
#include "core/service/TransferPreparation.h"
#include "core/service/TransferRun.h"
#include "core/service/XmlRpcTransferService.h"
#include "tools/CliCommand.h"

namespace vantrel::cli {
namespace {

constexpr int kAllSent = 0;
constexpr int kPhotosLeft = 1;
constexpr int kNotRun = 2;
constexpr int kWorkFolderBusy = 3;

// The program's settings file is named after the window's program, which the tool stands in for.
constexpr const char* kProgramName = "vantrel";

volatile std::sig_atomic_t gInterrupted = 0;
extern "C" void OnInterrupt(int) { gInterrupted = 1; }

// The folder of the running executable, where "Language/" lies.
std::string ProgramFolder() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    std::string folder(path, static_cast<std::size_t>(length));
    return folder.substr(0, folder.find_last_of('/'));
}

// The user's country from the locale variables ("fr_FR.UTF-8" gives FR); GB when none tells.
std::string CountryFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        std::string text(value);
        const std::size_t underscore = text.find('_');
        if (underscore == std::string::npos || underscore + 3 > text.size()) return "GB";
        return ToUpperAscii(text.substr(underscore + 1, 2));
    }
    return "GB";
}

// CR LF line breaks of the language texts become plain line breaks on the terminal.
std::string ForTerminal(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

class Texts {
public:
    Texts(const std::string& settingsName, const std::string& country) {
        if (auto path = LanguageFile::Choose(DataFolderFor(ProgramFolder()) + "Language/", settingsName, country)) file_.Open(*path);
    }
    // The language text of `key`, or the key itself when no language file has it.
    std::string operator()(std::string_view key) const {
        std::string text = file_.IsOpen() ? file_.Translate(std::string(key)) : std::string();
        return text.empty() ? std::string(key) : text;
    }

private:
    LanguageFile file_;
};

// Reads the password: one line of standard input, or typed at the terminal without echo.
std::optional<std::string> ReadPassword(bool fromStdin) {
    std::string password;
    if (fromStdin) {
        if (!std::getline(std::cin, password) && password.empty()) return std::nullopt;
    } else {
        const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
        if (tty < 0) return std::nullopt;
        termios saved{};
        const bool isTerminal = ::tcgetattr(tty, &saved) == 0;
        if (isTerminal) {
            termios quiet = saved;
            quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
            quiet.c_lflag |= ECHONL;
            ::tcsetattr(tty, TCSAFLUSH, &quiet);
        }
        static constexpr char prompt[] = "Password: ";
        [[maybe_unused]] auto written = ::write(tty, prompt, sizeof prompt - 1);
        char c;
        while (::read(tty, &c, 1) == 1 && c != '\n') password += c;
        if (isTerminal) ::tcsetattr(tty, TCSAFLUSH, &saved);
        ::close(tty);
    }
    if (!password.empty() && password.back() == '\r') password.pop_back();
    return password;
}

// The transfer panel on the terminal: one line per photo once its fate is known, the messages
// on standard error, Ctrl-C as the Stop button.
class ConsoleObserver : public TTransferObserver {
public:
    ConsoleObserver(const Texts& texts, const TAlbumList& albums) : texts_(texts), albums_(albums) {}
    void Attach(TTransferRun* run) { run_ = run; }

    int sent = 0, refused = 0, failed = 0;

    void ProcessMessages() override {
        if (gInterrupted && run_ && !run_->StopPressed()) {
            std::fprintf(stderr, "stopping\n");
            run_->Stop();
        }
    }
    void SetTimerRunning(bool) override {}
    void ShowAlbum(const TAlbum& album) override { album_ = &album; }
    void ShowPhoto(const TImageJob& job) override {
        Finish();
        const TTransferReport& report = run_->Report();
        pending_ = Pending{album_ ? album_->AlbumName() : std::string(), job.FileName, job.ImageIndex,
                           report.refusedForSize.size(), report.refusedForWarnings.size()};
    }
    void ShowPhotosLeft(int) override {}
    void ShowPhotoProgress(std::int64_t, std::int64_t) override {}
    void ShowRunProgress(std::int64_t, std::int64_t) override {}
    void ShowLoginRefused() override { std::fprintf(stderr, "%s\n", ForTerminal(texts_("BadLoginErr")).c_str()); }
    void ShowReport(const TTransferReport& report) override {
        Finish();
        std::printf("%s\n%s%s\n", ForTerminal(texts_("TransferReport")).c_str(),
                    ForTerminal(texts_("BadFileTransfer")).c_str(),
                    ForTerminal(FormatTransferReport(report, texts_("BecauseSize"), texts_("BecauseWarning"),
                                                     texts_("BecauseNotVerified"), texts_("BecauseEndedEarly")))
                        .c_str());
    }
    // Each wait is announced once, with its length.
    void ShowConnectionWait(int secondsLeft) override {
        if (secondsLeft > 0 && !waiting_)
            std::fprintf(stderr, "%s\n",
                         ForTerminal(FormatPattern(texts_("ConnectionWait"), {std::int64_t{secondsLeft}})).c_str());
        waiting_ = secondsLeft > 0;
    }

    // Prints the line of the photo shown last, now that the run has dealt with it.
    void Finish() {
        if (!pending_ || !run_) return;
        const TTransferReport& report = run_->Report();
        const char* fate = "sent";
        if (report.refusedForSize.size() > pending_->sizeRefusals) {
            fate = "refused (size)", ++refused;
        } else if (report.refusedForWarnings.size() > pending_->warningRefusals) {
            fate = "refused (damaged)", ++refused;
        } else if (StillQueued(pending_->imageIndex)) {
            fate = "not sent", ++failed;
        } else {
            ++sent;
        }
        std::printf("%s\t%s\t%s\n", pending_->album.c_str(), pending_->name.c_str(), fate);
        std::fflush(stdout);
        pending_.reset();
    }

private:
    struct Pending {
        std::string album, name;
        int imageIndex;
        std::size_t sizeRefusals, warningRefusals;
    };
    bool StillQueued(int imageIndex) const {
        for (int i = 0; i < albums_.Count(); ++i)
            if (albums_.Items(i).IndexOfImage(imageIndex) >= 0) return true;
        return false;
    }

    const Texts& texts_;
    const TAlbumList& albums_;
    TTransferRun* run_ = nullptr;
    const TAlbum* album_ = nullptr;
    std::optional<Pending> pending_;
    bool waiting_ = false;
};

int QueuedPhotos(const TAlbumList& albums) {
    int count = 0;
    for (int i = 0; i < albums.Count(); ++i) count += albums.Items(i).Jobs().Count();
    return count;
}

int RunSend(const std::vector<std::string>& args) {
    std::optional<std::string> email;
    bool passwordFromStdin = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--email" && i + 1 < args.size()) email = args[++i];
        else if (args[i].starts_with("--email=")) email = args[i].substr(8);
        else if (args[i] == "--password-stdin") passwordFromStdin = true;
        else email.reset(), i = args.size();
    }
    if (!email) {
        std::fprintf(stderr, "usage: vantrel-cli send --email ADDRESS [--password-stdin]\n");
        return kNotRun;
    }

    const std::string workFolder = WorkFolderPath();
    LocaleInfo locale;
    locale.country = CountryFromEnvironment();
    TRemoteSettings remote;
    const std::string settingsPath = SettingsFilePath(workFolder, kProgramName);
    TSettings settings = LoadSettingsFile(settingsPath, locale, remote);
    const Texts texts(settings.FileName, locale.country);
    const auto translate = [&texts](std::string_view key) { return texts(key); };
    auto fail = [&](std::string_view key) {
        std::fprintf(stderr, "%s\n", ForTerminal(texts(key)).c_str());
        return kNotRun;
    };
    if (email->empty()) return fail("MailAddrErr");
    if (!EnsureWorkFolder(workFolder)) {
        std::fprintf(stderr, "cannot make the work folder %s\n", workFolder.c_str());
        return kNotRun;
    }

    // One writer per work folder: a window or another send holding it means refusing at once.
    auto lock = WorkFolderLock::TryAcquire(workFolder);
    if (!lock) {
        if (lock.error().busy) {
            std::fprintf(stderr, "%s\n", ForTerminal(texts("WorkFolderBusy")).c_str());
            return kWorkFolderBusy;
        }
        std::fprintf(stderr, "%s\n", lock.error().message.c_str());
        return kNotRun;
    }
    SweepWorkFolderLeftovers(workFolder);
    // Ctrl-C is the Stop button from here on; before the run it ends the tool once the list is saved.
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;  // a second Ctrl-C ends the tool at once; the list file is always whole
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);

    // The transfer list as the window restores it at start: photos through intake, no copies.
    TMemoryContentView view;
    TAlbumList albums(view, locale.systemMonthNames);
    ImageWorkspace workspace;
    int tiles = 0;
    TJpegPhotoImaging imaging(workspace, [&] { return settings.CompRate; },
                              [&](const RgbBitmap&) -> std::expected<int, std::string> { return tiles++; });
    imaging.SetTilesUnused(true);  // nothing shows tiles here: the restore's check needs no full decode
    TPhotoIntake intake(albums, imaging, workFolder, locale.monthNames);
    albums.OnMessage = [&](const TUserMessage& message) {
        auto arg = [&](std::size_t i) { return i < message.args.size() ? message.args[i] : std::string(); };
        const std::string text =
            FormatPattern(texts(message.key), {FormatArg(arg(0)), FormatArg(arg(1))}, locale.decimalSeparator);
        std::fprintf(stderr, "%s\n", ForTerminal(text).c_str());
    };
    const std::string listPath = workFolder + std::string(kTransferListName);
    if (auto loaded = LoadTransferList(albums, intake, listPath); !loaded) {
        const TransferListProblem& problem = loaded.error();
        const std::string text =
            problem.keptAs.empty()
                ? FormatPattern(texts("ListNotMoved"), {FormatArg(problem.reason), FormatArg(listPath)})
                : FormatPattern(texts("ListSetAside"), {FormatArg(problem.reason), FormatArg(problem.keptAs)});
        std::fprintf(stderr, "%s\n", ForTerminal(text).c_str());
        return kNotRun;
    }
    auto saveList = [&] {
        auto saved = SaveTransferList(albums, listPath);
        if (!saved) std::fprintf(stderr, "%s: %s\n", listPath.c_str(), saved.error().c_str());
        return saved.has_value();
    };
    auto saveSettings = [&] {
        if (auto saved = SaveSettingsFile(settingsPath, settings, remote, locale); !saved)
            std::fprintf(stderr, "%s: %s\n", settingsPath.c_str(), saved.error().c_str());
    };
    // Restoring may have copied photos that the list named outside the work folder: the list is
    // written now so that it names those copies, or they are removed when it cannot be.
    if (!saveList()) {
        for (int a = 0; a < albums.Count(); ++a)
            for (int j = 0; j < albums.Items(a).Jobs().Count(); ++j) {
                const TImageJob& job = albums.Items(a).Jobs().Items(j);
                if (job.SourcePath != job.WorkPath) std::remove(job.WorkPath.c_str());
            }
        return kNotRun;
    }
    if (gInterrupted) {
        std::fprintf(stderr, "%s\n", ForTerminal(texts("TransferAbort")).c_str());
        return QueuedPhotos(albums) > 0 ? kPhotosLeft : kAllSent;
    }
    if (QueuedPhotos(albums) == 0) {
        std::printf("%s\n", ForTerminal(texts("NoImgToTransfer")).c_str());
        return kAllSent;
    }
    const std::optional<std::string> password = ReadPassword(passwordFromStdin);
    if (!password || password->empty()) return fail("PasswordErr");
    // Every sent photo leaves the list file at once, as in the window.
    albums.OnContentChanged = [&](TAlbum*) { saveList(); };

    ConsoleObserver observer(texts, albums);

    TTransferOutcome outcome = TTransferOutcome::toNone;
    bool connectionFailed = false;
    bool noCopySizes = false;
    std::string sessionCode;
    // Ctrl-C and SIGTERM end whatever request waits, within one turn of the pump.
    const auto interrupted = [] { return gInterrupted != 0; };
    try {
        const std::string proxy = ProxyAddressOf(settings);
        HttpClient settingsHttp([&] { observer.ProcessMessages(); });
        settingsHttp.SetStopCheck(interrupted);
        settingsHttp.SetProxy(proxy);
        PrepareTransfer(settingsHttp, workFolder, locale.country, false, remote,
                        [&](const RemoteSettingsResult& result) {
                            std::fprintf(stderr, "%s\n", ForTerminal(result.Message(translate)).c_str());
                        });
        HttpClient rpcHttp([&] { observer.ProcessMessages(); });
        rpcHttp.SetStopCheck(interrupted);
        rpcHttp.SetProxy(proxy);
        TXmlRpcService rpc(rpcHttp, remote.script_url, workFolder);
        TXmlRpcTransferService calls(rpc);
        calls.OnUnreadableResponse = [&](const RpcProblem& problem) {
            std::fprintf(stderr, "%s\n", ForTerminal(problem.Message(translate)).c_str());
        };
        TTransferConfig config{remote, workFolder, *email, *password, UploadImagingFor(workspace), {}};
        config.reconnect = ReconnectScheduleFromEnvironment();
        TTransferRun run(albums, calls, observer, config);
        observer.Attach(&run);
        TFtpSettings ftpSettings = FtpSettingsFor(remote);
        ftpSettings.proxy = proxy;
        TFtpClient ftp(ftpSettings, [&] { observer.ProcessMessages(); });
        try {
            outcome = run.RunTransfer(ftp, sessionCode);
        } catch (...) {
            observer.Finish();
            observer.Attach(nullptr);
            throw;
        }
        observer.Finish();
        observer.Attach(nullptr);
    } catch (const TCopySizesMissing&) {
        noCopySizes = true;
        std::fprintf(stderr, "%s\n", ForTerminal(texts("NoCopySizes")).c_str());
    } catch (const TFileWriteError& error) {
        connectionFailed = true;
        std::fprintf(stderr, "%s\n", ForTerminal(WriteFailureMessage(error.Failure(), translate)).c_str());
    } catch (const std::exception& error) {
        connectionFailed = true;
        std::fprintf(stderr, "%s\n(%s)\n", ForTerminal(texts("BadConnect")).c_str(), error.what());
    }

    const int left = QueuedPhotos(albums);
    if (!connectionFailed) {
        if (outcome == TTransferOutcome::toStopped) {
            std::fprintf(stderr, "%s\n", ForTerminal(texts("TransferAbort")).c_str());
        } else if (outcome == TTransferOutcome::toCompleted && left > 0) {
            std::fprintf(stderr, "%s\n", ForTerminal(texts("RemainFiles")).c_str());
        }
    }
    if (left == 0 && observer.sent > 0) {
        const std::string word = texts(observer.sent > 1 ? "Img_Plur" : "Img_Sing");
        std::printf("%s\n", ForTerminal(FormatPattern(texts("AllPhotosSent"), {std::int64_t{observer.sent}, word})).c_str());
    }
    std::printf("sent %d, refused %d, not sent %d, still queued %d\n", observer.sent, observer.refused,
                observer.failed, left);
    saveList();
    // As the window keeps what its login fields hold when the user asked it to remember them.
    if (settings.IsSaved) settings.Mail = *email, settings.Pass = *password;
    saveSettings();
    if (connectionFailed || noCopySizes || outcome == TTransferOutcome::toNone) return kNotRun;
    return left > 0 ? kPhotosLeft : kAllSent;
}

const CliCommandRegistration reg("send", {"send --email ADDRESS [--password-stdin]  send the queued photos to the service\n"
                                          "      exit 0 all sent, 1 photos left, 2 not run, 3 work folder in use",
                                          RunSend});

}  // namespace
}  // namespace vantrel::cli
