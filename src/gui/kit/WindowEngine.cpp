#include "gui/kit/WindowEngine.h"

namespace vantrel::gui {

WindowEngine::WindowEngine(const std::string& workFolder, const std::string& settingsFile, const LocaleInfo& locale,
                           QObject* parent)
    : QObject(parent),
      core_({workFolder, settingsFile, locale, [this](const RgbBitmap& tile) -> std::expected<int, std::string> {
                 return queueTiles_.Add(QPixmap::fromImage(ToQImage(tile)));
             }}) {}

// The engine goes first: its download thread is joined while this object can still take events.
WindowEngine::~WindowEngine() = default;

void WindowEngine::StartRemoteSettings() {
    core_.StartRemoteSettings({}, {}, [this] {
        // On the download's thread: the news is taken on this object's thread.
        QMetaObject::invokeMethod(this, [this] { emit remoteSettingsArrived(); }, Qt::QueuedConnection);
    });
}

}  // namespace vantrel::gui
