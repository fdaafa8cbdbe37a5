#pragma once
// What the pages and dialogs of the window share, handed to them in place of the window itself:
// the user's settings (with a signal when they change), the language texts, the locale, the work
// folder, the image workspace, the service's remote settings, the transfer queue with the tiles
// of its photos, the busy state and the window's actions. A page that needs the window (a help
// page, the transfer panel) asks through a signal; the window answers it.

#include <QObject>
#include <QString>
#include <array>
#include <memory>
#include <string>

#include "core/app/LanguageFile.h"
#include "core/app/LocaleInfo.h"
#include "core/app/TSettings.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/imaging/SizeText.h"
#include "core/service/TRemoteSettings.h"
#include "gui/kit/ActionIds.h"
#include "gui/kit/TileImages.h"

class QAction;
class QWidget;

namespace vantrel {
class TransferQueue;
}

namespace vantrel::gui {

class AppContext : public QObject {
    Q_OBJECT
public:
    AppContext(const LocaleInfo& locale, std::string workFolder, QObject* parent = nullptr);
    ~AppContext() override;

    TSettings& Settings() { return settings_; }
    const TSettings& Settings() const { return settings_; }
    // Tells every listener that the settings changed (the preferences dialog was accepted).
    void NotifySettingsChanged() { emit settingsChanged(); }

    LanguageFile& Language() { return language_; }
    const LanguageFile& Language() const { return language_; }
    // The text of a language key, with line breaks expanded.
    QString Translate(const char* key) const;
    const LocaleInfo& Locale() const { return locale_; }
    // Unit texts and decimal separator of size texts.
    SizeTextStyle SizeStyle() const;
    // The caption of a photo's tile from the caption settings.
    std::string CaptionFor(const std::string& path, std::int64_t size, int width, int height) const;
    // With a trailing "/".
    const std::string& WorkFolder() const { return workFolder_; }
    ImageWorkspace& Workspace() { return workspace_; }
    TRemoteSettings& Remote() { return remote_; }
    const TRemoteSettings& Remote() const { return remote_; }
    bool RemoteLoaded() const { return remoteLoaded_; }
    void SetRemoteLoaded(bool loaded) { remoteLoaded_ = loaded; }

    // The photos waiting to be sent; null until the window has made it (after a good start).
    TransferQueue* Queue() const { return queue_; }
    void SetQueue(TransferQueue* queue) { queue_ = queue; }
    // The tiles of the queued photos, by their image index.
    TileImageList& QueueTiles() { return queueTiles_; }

    // The window that message boxes and dialogs belong to, and its title.
    QWidget* DialogParent() const { return dialogParent_; }
    void SetDialogParent(QWidget* parent) { dialogParent_ = parent; }
    QString Title() const;

    // The window's commands; null until the window has made them.
    QAction* Action(ActionId id) const { return actions_[static_cast<size_t>(id)]; }
    void SetAction(ActionId id, QAction* action) { actions_[static_cast<size_t>(id)] = action; }

    // The busy counter around list filling: keeps the preferences command, selection refreshes and
    // file drops out while lists are being filled. The window shows it as a progress bar.
    void BeginBusy(int count, bool force);
    void StepProgress() { emit progressStepped(); }
    void EndBusy();
    int BusyCount() const { return busyCount_; }
    void ResetBusy() { busyCount_ = 0; }

    // Requests to the window.
    void ShowHelpTopic(const char* keywordKey) { emit helpTopicRequested(QString::fromLatin1(keywordKey)); }
    void ShowTransferPanel(bool shown) { emit transferPanelRequested(shown); }

signals:
    void settingsChanged();
    void busyBegun(int count, bool force);
    void progressStepped();
    void busyEnding();
    void busyEnded(int stillBusy);
    void helpTopicRequested(const QString& keywordKey);
    void transferPanelRequested(bool shown);

private:
    LocaleInfo locale_;
    std::string workFolder_;
    TSettings settings_;
    TRemoteSettings remote_;
    bool remoteLoaded_ = false;
    LanguageFile language_;
    ImageWorkspace workspace_;
    TransferQueue* queue_ = nullptr;
    TileImageList queueTiles_;
    QWidget* dialogParent_ = nullptr;
    std::array<QAction*, static_cast<size_t>(ActionId::Count)> actions_{};
    int busyCount_ = 0;
};

}  // namespace vantrel::gui
