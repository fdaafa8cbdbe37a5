#pragma once
// The window's engine, made by main before any window: the engine that vantrel-cli makes too
// (settings, image workspace, service settings, transfer queue), the tiles of the queued photos
// that the pages show, and the engine's news turned into signals on the window's thread.

#include <QObject>
#include <string>

#include "core/albums/TAlbum.h"
#include "core/app/LocaleInfo.h"
#include "core/service/ClientEngine.h"
#include "gui/kit/TileImages.h"

namespace vantrel::gui {

class WindowEngine : public QObject {
    Q_OBJECT
public:
    // Makes the work folder when it is missing and reads the settings file.
    WindowEngine(const std::string& workFolder, const std::string& settingsFile, const LocaleInfo& locale,
                 QObject* parent = nullptr);
    ~WindowEngine() override;

    ClientEngine& Core() { return core_; }
    const ClientEngine& Core() const { return core_; }
    TransferQueue& Queue() { return core_.Queue(); }
    // The tiles of the queued photos, by their image index.
    TileImageList& QueueTiles() { return queueTiles_; }

    // Starts the start-up download of the service's settings on its own thread (through the proxy
    // of the options, else the environment's, within the network time-outs); remoteSettingsArrived follows on this object's thread. The
    // work folder's lock must be held.
    void StartRemoteSettings();
    // Ends that download at once (a termination signal during the start); any thread.
    void StopRemoteSettings() { core_.StopRemoteSettings(); }
    bool RemoteSettingsPending() const { return core_.RemoteSettingsPending(); }

signals:
    // The start-up download has ended: Core().TakeRemoteSettings() gives its result at once.
    void remoteSettingsArrived();
    // The queue changed (told at once, on the window's thread): an album was added, deleted,
    // renamed, re-sorted or made current; a photo of `album` (null after a deletion) was added,
    // removed or rewritten.
    void albumsChanged();
    void photosChanged(TAlbum* album);

private:
    TileImageList queueTiles_;  // before the engine, whose intake adds to it
    ClientEngine core_;
    int queueSubscription_ = -1;
};

}  // namespace vantrel::gui
