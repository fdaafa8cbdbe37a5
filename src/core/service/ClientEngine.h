#pragma once
// The program's engine as the window and vantrel-cli both make it, before anything shows it: the
// settings read from the settings file, the image workspace, the service's settings and the
// transfer queue of the work folder. The service's settings are downloaded on a thread of their
// own, beside whatever the caller does meanwhile (restoring the list, making the window), and
// taken over by the caller's thread when it asks.

#include <atomic>
#include <expected>
#include <functional>
#include <memory>
#include <string>

#include "core/albums/ContentViewRelay.h"
#include "core/albums/JpegPhotoImaging.h"
#include "core/albums/TransferQueue.h"
#include "core/app/LocaleInfo.h"
#include "core/app/ProxySetting.h"
#include "core/app/UserSettings.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/service/TRemoteSettings.h"

namespace vantrel {

struct RemoteSettingsResult;

struct EngineSetup {
    std::string workFolder;    // with a trailing "/"
    std::string settingsFile;
    LocaleInfo locale;
    // Keeps the tile of a queued photo and gives its index (the window's tile list).
    JpegPhotoImaging::AddTileFn addTile;
    // Nothing shows the tiles (the command-line tool): photos are judged by a cheaper decode.
    bool tilesUnused = false;
};

class ClientEngine {
public:
    // Makes the work folder when it is missing and reads the settings file (defaults without one).
    explicit ClientEngine(EngineSetup setup);
    // Gives up a download still on its way and waits for its thread (at once: it is stopped).
    ~ClientEngine();
    ClientEngine(const ClientEngine&) = delete;
    ClientEngine& operator=(const ClientEngine&) = delete;

    const std::string& WorkFolder() const { return setup_.workFolder; }
    const std::string& SettingsFile() const { return setup_.settingsFile; }
    const LocaleInfo& Locale() const { return setup_.locale; }
    // Whether the work folder exists (it could not be made otherwise).
    bool WorkFolderReady() const { return workFolderReady_; }
    // Whether there was no settings file at start.
    bool FirstRun() const { return firstRun_; }

    UserSettings& Settings() { return settings_; }
    const UserSettings& Settings() const { return settings_; }
    TRemoteSettings& Remote() { return remote_; }
    const TRemoteSettings& Remote() const { return remote_; }
    ImageWorkspace& Workspace() { return workspace_; }
    TransferQueue& Queue() { return *queue_; }
    // The queue's content list until a window's list is attached to it.
    ContentViewRelay& ContentView() { return contentView_; }

    // Restores the transfer list file into the queue; nothing is saved (see TransferQueue::Load).
    std::expected<void, TransferListError> RestoreList() { return queue_->Load(); }

    // Starts downloading the service's settings document into the work folder on a thread of its
    // own, through `proxy`, into a copy of Remote(). The download keeps to the
    // network time-outs and ends early when StopRemoteSettings is called or `stopped` (called on
    // that thread) returns true. `done` is called on that thread when it has ended. The work
    // folder must be the caller's alone (its lock held). Nothing happens when one was started.
    void StartRemoteSettings(ProxyChoice proxy, std::function<bool()> stopped = {}, std::function<void()> done = {});
    // Ends a download on its way as soon as it can (any thread).
    void StopRemoteSettings() { remoteStop_ = true; }
    // Whether a download was started and its result not taken yet.
    bool RemoteSettingsPending() const;
    // Waits for the download to end and puts what it read into Remote(). NotDownloaded when none
    // was started or it was stopped before a server answered.
    RemoteSettingsResult TakeRemoteSettings();

private:
    EngineSetup setup_;
    bool workFolderReady_ = false;
    bool firstRun_ = false;
    UserSettings settings_;
    TRemoteSettings remote_;
    ImageWorkspace workspace_;
    ContentViewRelay contentView_;
    std::unique_ptr<JpegPhotoImaging> imaging_;
    std::unique_ptr<TransferQueue> queue_;

    struct RemoteDownload;
    std::atomic<bool> remoteStop_{false};
    std::unique_ptr<RemoteDownload> download_;  // once one was started
};

}  // namespace vantrel
