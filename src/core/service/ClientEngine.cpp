#include "core/service/ClientEngine.h"

#include <future>

#include "core/app/WorkFolder.h"
#include "core/service/HttpClient.h"
#include "core/service/RemoteSettingsLoader.h"
#include "core/service/RemoteSettingsReader.h"
#include "core/service/SettingsFile.h"

namespace vantrel {

struct ClientEngine::RemoteDownload {
    TRemoteSettings settings;  // the copy the download's thread writes
    std::future<RemoteSettingsResult> result;
};

ClientEngine::ClientEngine(EngineSetup setup) : setup_(std::move(setup)) {
    workFolderReady_ = EnsureWorkFolder(setup_.workFolder);
    firstRun_ = !FileExists(setup_.settingsFile);
    settings_ = LoadSettingsFile(setup_.settingsFile, setup_.locale, remote_);
    imaging_ = std::make_unique<JpegPhotoImaging>(workspace_, [this] { return settings_.CompRate; }, setup_.addTile);
    imaging_->SetTilesUnused(setup_.tilesUnused);
    queue_ = std::make_unique<TransferQueue>(contentView_, *imaging_, setup_.workFolder, setup_.locale.systemMonthNames,
                                             setup_.locale.monthNames);
}

ClientEngine::~ClientEngine() {
    StopRemoteSettings();
    if (download_ && download_->result.valid()) download_->result.wait();
    queue_.reset();  // before the content list and the imaging it uses
}

void ClientEngine::StartRemoteSettings(ProxyChoice proxy, std::function<bool()> stopped, std::function<void()> done) {
    if (download_) return;
    download_ = std::make_unique<RemoteDownload>(remote_);
    download_->result = std::async(std::launch::async, [this, proxy = std::move(proxy), stopped = std::move(stopped),
                                                      done = std::move(done)] {
        RemoteSettingsResult result;
        {
            HttpClient client;
            client.SetStopCheck([this, &stopped] { return remoteStop_.load() || (stopped && stopped()); });
            client.SetProxy(proxy);
            try {
                result = LoadRemoteSettings(client, setup_.workFolder, setup_.locale.country, download_->settings);
            } catch (const std::exception& error) {
                result.status = RemoteSettingsResult::Status::NotDownloaded;
                result.error = error.what();
            }
        }
        if (done) done();
        return result;
    });
}

bool ClientEngine::RemoteSettingsPending() const { return download_ && download_->result.valid(); }

RemoteSettingsResult ClientEngine::TakeRemoteSettings() {
    if (!RemoteSettingsPending()) return {};
    RemoteSettingsResult result = download_->result.get();
    // A download that no server answered leaves the record untouched; what it did read (up to a
    // conversion error, too) is the record's now.
    remote_ = download_->settings;
    return result;
}

}  // namespace vantrel
