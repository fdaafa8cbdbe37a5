#pragma once
// What the pages and dialogs of the window share, handed to them in place of the window itself:
// the engine that main made before any window (the user's settings, with a signal when they
// change, the image workspace, the service's remote settings, the transfer queue with the tiles
// of its photos), the language texts, the locale, the work folder, the busy state and the
// window's actions. A page that needs the window (a help page, the transfer panel) asks through
// a signal; the window answers it.

#include <QObject>
#include <QString>
#include <array>
#include <memory>
#include <string>

#include "core/app/LanguageFile.h"
#include "core/app/LocaleInfo.h"
#include "core/app/UserSettings.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/imaging/SizeText.h"
#include "core/service/TRemoteSettings.h"
#include "gui/kit/ActionIds.h"
#include "gui/kit/TileImages.h"
#include "gui/kit/WindowEngine.h"

class QAction;
class QWidget;

namespace vantrel::gui {

class AppContext : public QObject {
    Q_OBJECT
public:
    explicit AppContext(WindowEngine& engine, QObject* parent = nullptr);
    ~AppContext() override;

    // The engine itself, for what the context does not pass on (the content list it shows).
    WindowEngine& Engine() const { return engine_; }
    UserSettings& Settings() { return engine_.Core().Settings(); }
    const UserSettings& Settings() const { return engine_.Core().Settings(); }
    // Tells every listener that the settings changed (the preferences dialog was accepted).
    void NotifySettingsChanged() { emit settingsChanged(); }

    LanguageFile& Language() { return language_; }
    const LanguageFile& Language() const { return language_; }
    // The text of a language key, with line breaks expanded.
    QString Translate(const char* key) const;
    const LocaleInfo& Locale() const { return engine_.Core().Locale(); }
    // Unit texts and decimal separator of size texts.
    SizeTextStyle SizeStyle() const;
    // The caption of a photo's tile from the caption settings.
    std::string CaptionFor(const std::string& path, std::int64_t size, int width, int height) const;
    // With a trailing "/".
    const std::string& WorkFolder() const { return engine_.Core().WorkFolder(); }
    ImageWorkspace& Workspace() { return engine_.Core().Workspace(); }
    TRemoteSettings& Remote() { return engine_.Core().Remote(); }
    const TRemoteSettings& Remote() const { return engine_.Core().Remote(); }
    bool RemoteLoaded() const { return remoteLoaded_; }
    void SetRemoteLoaded(bool loaded) { remoteLoaded_ = loaded; }

    // The photos waiting to be sent: the engine's, there before any page.
    TransferQueue& Queue() const { return engine_.Queue(); }
    // The tiles of the queued photos, by their image index.
    TileImageList& QueueTiles() { return engine_.QueueTiles(); }

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

    // Loops over photos (StepLoop) say here when one starts and when one ends: an answer given
    // "to all" during a loop holds for that loop only.
    void NoteStepLoop(bool started) {
        stepLoops_ += started ? 1 : -1;
        emit stepLoopsChanged();
    }
    bool StepLoopRunning() const { return stepLoops_ > 0; }

    // Requests to the window.
    void ShowHelpTopic(const char* keywordKey) { emit helpTopicRequested(QString::fromLatin1(keywordKey)); }
    void ShowTransferPanel(bool shown) { emit transferPanelRequested(shown); }

signals:
    void settingsChanged();
    void busyBegun(int count, bool force);
    void progressStepped();
    void busyEnding();
    void busyEnded(int stillBusy);
    void stepLoopsChanged();
    void helpTopicRequested(const QString& keywordKey);
    void transferPanelRequested(bool shown);

private:
    WindowEngine& engine_;
    bool remoteLoaded_ = false;
    LanguageFile language_;
    QWidget* dialogParent_ = nullptr;
    std::array<QAction*, static_cast<size_t>(ActionId::Count)> actions_{};
    int busyCount_ = 0;
    int stepLoops_ = 0;
};

}  // namespace vantrel::gui
