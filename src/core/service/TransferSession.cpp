#include "core/service/TransferSession.h"

#include <exception>

#include "core/service/FtpClient.h"
#include "core/service/HttpClient.h"
#include "core/service/RemoteSettingsLoader.h"
#include "core/service/XmlRpcService.h"
#include "core/service/TransferPreparation.h"
#include "core/service/XmlRpcTransferService.h"

namespace vantrel {

TransferSession::TransferSession(TAlbumList& albums, TRemoteSettings& remote, ImageWorkspace& workspace,
                                 TransferObserver& observer, TransferSessionConfig config)
    : albums_(albums), remote_(remote), workspace_(workspace), observer_(observer), config_(std::move(config)) {}

void TransferSession::Stop() {
    stopped_ = true;
    const std::lock_guard lock(runLock_);
    if (run_) run_->Stop();
}

TransferSessionResult TransferSession::Run() {
    TransferSessionResult result;
    try {
        RunOrThrow(result);
    } catch (const CopySizesMissingError&) {
        result.end = SessionEnd::NoCopySizes;
    } catch (const FileWriteError& error) {
        result.end = SessionEnd::WriteFailed;  // a full disk is no connection failure
        result.writeFailure = error.Failure();
    } catch (const std::exception& error) {
        result.end = SessionEnd::ConnectionLost;
        result.error = error.what();
    }
    return result;
}

void TransferSession::RunOrThrow(TransferSessionResult& result) {
    const auto pump = [this] { observer_.ProcessMessages(); };
    const auto stopped = [this] { return stopped_.load(); };
    // The service's parameters are made sure of before the FTP client is configured from them,
    // so that a run after a failed start-up download uses what it downloads now.
    HttpClient settingsHttp(pump);
    settingsHttp.SetStopCheck(stopped);
    settingsHttp.SetProxy(config_.proxy);
    PrepareTransfer(settingsHttp, config_.workFolder, config_.country, config_.remoteLoaded, remote_,
                    [this](const RemoteSettingsResult& problem) {
                        if (OnSettingsProblem) OnSettingsProblem(problem);
                    });
    FtpAccount ftpSettings = FtpSettingsFor(remote_);
    ftpSettings.proxy = FtpTunnelProxy(config_.proxy, ftpSettings.host);
    FtpClient ftp(ftpSettings, pump);
    ftp.SetRateLimit(&rateLimit_);
    if (OnConnected) OnConnected();

    HttpClient rpcHttp(pump);
    // The run's watchdog ends a call that keeps it waiting as Stop does.
    rpcHttp.SetStopCheck([this] { return stopped_ || (run_ && run_->WaitsEnd()); });
    rpcHttp.SetProxy(config_.proxy);
    XmlRpcService rpc(rpcHttp, remote_.script_url, config_.workFolder);
    XmlRpcTransferService service(rpc);
    service.OnUnreadableResponse = [this](const RpcError& problem) {
        if (OnUnreadableResponse) OnUnreadableResponse(problem);
    };
    TransferConfig config{remote_, config_.workFolder, config_.email, config_.password, UploadImagingFor(workspace_),
                           ReconnectScheduleFromEnvironment()};
    config.sessions = connections_;
    config.claims = config_.claims;
    // The further sessions run on threads of their own: their clients have no pump.
    config.openSession = [this, ftpSettings] {
        auto session = std::make_unique<FtpClient>(ftpSettings);
        session->SetRateLimit(&rateLimit_);
        return session;
    };
    TransferRun run(albums_, service, observer_, config);
    {
        const std::lock_guard lock(runLock_);
        run_ = &run;
    }
    // Whatever way the run ends, what it sent is counted.
    struct Reset {
        TransferSession& session;
        int& photosSent;
        ~Reset() {
            photosSent = session.run_->PhotosSent();
            session.lastReport_ = session.run_->Report();
            const std::lock_guard lock(session.runLock_);
            session.run_ = nullptr;
        }
    } reset{*this, result.photosSent};
    if (stopped_) run.Stop();  // Stop came while the settings were being made sure of
    result.outcome = run.RunTransfer(ftp, result.sessionCode);
}

}  // namespace vantrel
