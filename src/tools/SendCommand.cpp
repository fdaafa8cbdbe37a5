// vantrel-cli send --email ADDRESS [--password-stdin] [--limit-rate KB] [--connections N] [--progress]: sends
// the photos queued in the work folder's transfer list to the service, as the transfer page of the program does,
// and prints one line per photo. Exit status: 0 every queued photo was sent, 1 photos remain
// queued, 2 the login was refused, the service could not be reached, or nothing could be
// started, 3 another process (the window or another send) is using the work folder.
#include <signal.h>

#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

#include "core/albums/TransferQueue.h"
#include "core/albums/WorkFolderLeftovers.h"
#include "core/app/FormatPattern.h"
#include "core/app/ProxySetting.h"
#include "core/app/UserSettings.h"
#include "core/app/WorkFolder.h"
#include "core/app/WorkFolderLock.h"
#include "core/base/AsciiText.h"
#include "core/service/ClientEngine.h"
#include "core/service/FileWriteError.h"
#include "core/service/RemoteSettingsReader.h"
#include "core/service/SettingsFile.h"
#include "core/service/TransferSession.h"
#include "core/service/XmlRpcResponse.h"
#include "tools/CliCommand.h"
#include "tools/ConsoleObserver.h"
#include "tools/PasswordPrompt.h"
#include "tools/TerminalTexts.h"

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

int RunSend(const std::vector<std::string>& args) {
    std::optional<std::string> email;
    bool passwordFromStdin = false;
    bool progressLines = false;
    std::optional<int> limitRate;  // KB/s for this run, instead of the settings' limit
    std::optional<int> connections;  // FTP sessions side by side for this run, instead of the settings'
    bool usable = true;
    auto readLimit = [&](const std::string& text) {
        const int value = ParseIniInteger(text, -1);
        if (value < 0 || text.empty()) usable = false;
        else limitRate = value;
    };
    auto readConnections = [&](const std::string& text) {
        const int value = ParseIniInteger(text, 0);
        if (value >= 1 && value <= TransferSession::kMaxConnections) {
            connections = value;
            return;
        }
        std::fprintf(stderr, "vantrel-cli send: --connections takes a whole number from 1 to %d, not \"%s\"\n",
                     TransferSession::kMaxConnections, text.c_str());
        usable = false;
    };
    for (std::size_t i = 0; i < args.size() && usable; ++i) {
        if (args[i] == "--email" && i + 1 < args.size()) email = args[++i];
        else if (args[i].starts_with("--email=")) email = args[i].substr(8);
        else if (args[i] == "--password-stdin") passwordFromStdin = true;
        else if (args[i] == "--progress") progressLines = true;
        else if (args[i] == "--limit-rate" && i + 1 < args.size()) readLimit(args[++i]);
        else if (args[i].starts_with("--limit-rate=")) readLimit(args[i].substr(13));
        else if (args[i] == "--connections" && i + 1 < args.size()) readConnections(args[++i]);
        else if (args[i].starts_with("--connections=")) readConnections(args[i].substr(14));
        else usable = false;
    }
    if (!email || !usable) {
        std::fprintf(stderr, "usage: vantrel-cli send --email ADDRESS [--password-stdin] [--limit-rate KB] "
                             "[--connections N] [--progress]\n");
        return kNotRun;
    }

    const std::string workFolder = WorkFolderPath();
    const LocaleInfo locale = LocaleFromEnvironment();
    const std::string settingsPath = SettingsFilePath(workFolder, kProgramName);
    // The engine as the window makes it: settings, workspace and queue; nothing shows the tiles.
    int tiles = 0;
    ClientEngine engine({workFolder, settingsPath, locale,
                         [&tiles](const RgbBitmap&) -> std::expected<int, std::string> { return tiles++; }, true});
    UserSettings& settings = engine.Settings();
    TRemoteSettings& remote = engine.Remote();
    // Without a settings file yet, the locale chooses, and the file the window later reads keeps
    // that choice.
    const Texts texts(engine.FirstRun() ? std::string() : settings.FileName, locale);
    if (engine.FirstRun() && !texts.FileName().empty()) settings.FileName = texts.FileName();
    const auto translate = [&texts](std::string_view key) { return texts(key); };
    auto fail = [&](std::string_view key) {
        std::fprintf(stderr, "%s\n", ForTerminal(texts(key)).c_str());
        return kNotRun;
    };
    if (email->empty()) return fail("MailAddrErr");
    if (!engine.WorkFolderReady()) {
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

    // The service's settings are downloaded while the list is restored and the password typed,
    // as the window does at its start (a server out of reach leaves the cached ones); the run
    // tries again only when none can be used, and then says why.
    engine.StartRemoteSettings(ProxyChoiceOf(settings), [] { return gInterrupted != 0; });

    // The transfer list as the window restores it at start: photos through intake, no copies.
    TransferQueue& queue = engine.Queue();
    queue.Albums().OnMessage = [&](const UserMessage& message) {
        auto arg = [&](std::size_t i) { return i < message.args.size() ? message.args[i] : std::string(); };
        const std::string text =
            FormatPattern(texts(message.key), {FormatArg(arg(0)), FormatArg(arg(1))}, locale.decimalSeparator);
        std::fprintf(stderr, "%s\n", ForTerminal(text).c_str());
    };
    queue.OnSaveFailed = [&](const std::string& error) {
        std::fprintf(stderr, "%s: %s\n", queue.ListPath().c_str(), error.c_str());
    };
    if (auto loaded = engine.RestoreList(); !loaded) {
        const TransferListError& problem = loaded.error();
        const std::string text =
            problem.keptAs.empty()
                ? FormatPattern(texts("ListNotMoved"), {FormatArg(problem.reason), FormatArg(queue.ListPath())})
                : FormatPattern(texts("ListSetAside"), {FormatArg(problem.reason), FormatArg(problem.keptAs)});
        std::fprintf(stderr, "%s\n", ForTerminal(text).c_str());
        return kNotRun;
    }
    // Restoring may have copied photos that the list named outside the work folder: the list is
    // written now so that it names those copies, or they are removed when it cannot be.
    if (!queue.Save()) {
        queue.RemoveCopiesMadeByRestore();
        return kNotRun;
    }
    if (gInterrupted) {
        std::fprintf(stderr, "%s\n", ForTerminal(texts("TransferAbort")).c_str());
        return queue.QueuedCount() > 0 ? kPhotosLeft : kAllSent;
    }
    if (queue.QueuedCount() == 0) {
        std::printf("%s\n", ForTerminal(texts("NoImgToTransfer")).c_str());
        return kAllSent;
    }
    const std::optional<std::string> password = ReadPassword(passwordFromStdin);
    if (!password || password->empty()) return fail("PasswordErr");

    ConsoleObserver observer(texts, [] { return gInterrupted != 0; });
    // A document that did not parse is said; a server out of reach leaves the cached settings,
    // and the run downloads them again.
    const RemoteSettingsResult downloaded = engine.TakeRemoteSettings();
    const bool remoteLoaded = downloaded.ok();
    if (downloaded.status == RemoteSettingsResult::Status::NotXml)
        std::fprintf(stderr, "%s\n", ForTerminal(downloaded.Message(translate)).c_str());
    TransferSession session(queue.Albums(), remote, engine.Workspace(), observer,
                            {workFolder, locale.country, *email, *password, ProxyChoiceOf(settings), remoteLoaded});
    session.OnSettingsProblem = [&](const RemoteSettingsResult& result) {
        std::fprintf(stderr, "%s\n", ForTerminal(result.Message(translate)).c_str());
    };
    session.OnUnreadableResponse = [&](const RpcError& problem) {
        std::fprintf(stderr, "%s\n", ForTerminal(problem.Message(translate)).c_str());
    };
    session.SetUploadLimit(limitRate.value_or(settings.LimitKBps));
    session.SetConnections(connections.value_or(settings.Connections));
    observer.Attach(&session);
    if (progressLines) observer.ShowProgressLines();
    const TransferSessionResult result = session.Run();
    observer.Attach(nullptr);

    switch (result.end) {
    case SessionEnd::Ran: break;
    case SessionEnd::NoCopySizes: std::fprintf(stderr, "%s\n", ForTerminal(texts("NoCopySizes")).c_str()); break;
    case SessionEnd::WriteFailed:
        std::fprintf(stderr, "%s\n", ForTerminal(WriteFailureMessage(result.writeFailure, translate)).c_str());
        break;
    case SessionEnd::ConnectionLost:
        std::fprintf(stderr, "%s\n(%s)\n", ForTerminal(texts("BadConnect")).c_str(), result.error.c_str());
        break;
    }
    const int left = queue.QueuedCount();
    if (result.end == SessionEnd::Ran) {
        if (result.outcome == TTransferOutcome::toStopped) {
            std::fprintf(stderr, "%s\n", ForTerminal(texts("TransferAbort")).c_str());
        } else if (result.outcome == TTransferOutcome::toCompleted && left > 0) {
            std::fprintf(stderr, "%s\n", ForTerminal(texts("RemainFiles")).c_str());
        }
    }
    if (left == 0 && observer.sent > 0) {
        const std::string word = texts(observer.sent > 1 ? "Img_Plur" : "Img_Sing");
        std::printf("%s\n", ForTerminal(FormatPattern(texts("AllPhotosSent"), {std::int64_t{observer.sent}, word})).c_str());
    }
    std::printf("sent %d, refused %d, not sent %d, still queued %d\n", observer.sent, observer.refused,
                observer.failed, left);
    queue.Save();
    RemoveServiceAnswers(workFolder);
    // As the window keeps what its login fields hold when the user asked it to remember them.
    if (settings.IsSaved) settings.Mail = *email, settings.Pass = *password;
    if (auto saved = SaveSettingsFile(settingsPath, settings, remote, locale); !saved)
        std::fprintf(stderr, "%s: %s\n", settingsPath.c_str(), saved.error().c_str());
    if (result.end != SessionEnd::Ran || result.outcome == TTransferOutcome::toNone) return kNotRun;
    return left > 0 ? kPhotosLeft : kAllSent;
}

// The settings' range of sessions is the session's own.
static_assert(UserSettings::kMaxConnections == TransferSession::kMaxConnections);

const CliCommandRegistration reg("send", {"send --email ADDRESS [--password-stdin] [--limit-rate KB] [--connections N] [--progress]",
                                          "send the queued photos to the service, at most\n"
                                          "KB kilobytes per second (0: no limit; without it\n"
                                          "the settings' limit holds), on up to N FTP\n"
                                          "sessions side by side (1..4; without it the\n"
                                          "settings' number holds); --progress prints the\n"
                                          "bytes sent and the time left every second; exit\n"
                                          "0 all sent, 1 photos left, 2 not run, 3 work\n"
                                          "folder in use",
                                          RunSend});

}  // namespace
}  // namespace vantrel::cli
