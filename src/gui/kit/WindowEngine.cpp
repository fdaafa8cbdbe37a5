#include "gui/kit/WindowEngine.h"

#include "core/app/ProxySetting.h"

namespace vantrel::gui {

WindowEngine::WindowEngine(const std::string& workFolder, const std::string& settingsFile, const LocaleInfo& locale,
                           QObject* parent)
    : QObject(parent),
      core_({workFolder, settingsFile, locale, [this](const RgbBitmap& tile) -> std::expected<int, std::string> {
                 return queueTiles_.Add(TilePixmap(tile));
             }}) {
    core_.Workspace().tileSide = SharpestTileSide();
    queueSubscription_ = core_.Queue().Subscribe([this](QueueChange change, TAlbum* album) {
        if (change == QueueChange::Albums) emit albumsChanged();
        else emit photosChanged(album);
    });
}

// The engine goes first: its download thread is joined while this object can still take events.
WindowEngine::~WindowEngine() { core_.Queue().Unsubscribe(queueSubscription_); }

void WindowEngine::StartRemoteSettings() {
    core_.StartRemoteSettings(ProxyChoiceOf(core_.Settings()), {}, [this] {
        // On the download's thread: the news is taken on this object's thread.
        QMetaObject::invokeMethod(this, [this] { emit remoteSettingsArrived(); }, Qt::QueuedConnection);
    });
}

}  // namespace vantrel::gui
