#pragma once
// The main window: shows the engine that main made before it (settings, workspace, remote
// settings, transfer queue), opens the language file, runs the start-up, first-activation and
// close sequences, and presents the three pages with their tool bars, menus and actions.

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/app/WorkFolderLock.h"
#include "gui/app/RememberedPassword.h"
#include "gui/kit/ActionIds.h"
#include "gui/kit/AppContext.h"
#include "gui/kit/TileImages.h"
#include "gui/kit/WindowEngine.h"

class QAction;
class QProgressBar;
class QStackedWidget;
class QTabWidget;
class QToolBar;

namespace vantrel::gui {

class AlbumsController;
class OrganizePage;
class SelectPage;
class SelectPageController;
class TransferController;
class TransferPage;
class TransferPanel;

// Where the window finds and keeps its files; tests point these at temporary folders.
struct MainWindowPaths {
    std::string workFolder;      // with a trailing "/"
    std::string settingsFile;
    std::string programFolder;   // holds Language/ and Help/, with a trailing "/"
    std::string startFolder;     // the tree's folder when none was kept (Pictures, else home); empty: none
};

class TMain_Dlog : public QMainWindow {
    Q_OBJECT
public:
    enum Page { SelectSheet = 0, OrganizeSheet = 1, TransferSheet = 2 };

    // The window on `engine`, which main made before it and which outlives it. `startStopped`
    // ends the start's waits (the keyring) as soon as it returns true (a termination signal came
    // while the window was being made); main stops the engine's start-up download itself.
    TMain_Dlog(WindowEngine& engine, const MainWindowPaths& paths, std::function<bool()> startStopped = {},
               QWidget* parent = nullptr);
    // The window on an engine of its own, made first from `paths` and `locale` as main makes one.
    TMain_Dlog(const MainWindowPaths& paths, const LocaleInfo& locale, std::function<bool()> startStopped = {},
               QWidget* parent = nullptr);
    ~TMain_Dlog() override;

    WindowEngine& Engine() { return engine_; }

    // False when no language file was found: the pages stay hidden and nothing else is set up.
    bool StartedWell() const { return startedWell_; }

    // What the pages and dialogs share.
    AppContext& Context() { return *context_; }

    // The text of a language key, with line breaks expanded.
    QString Translate(const char* key) const { return context_->Translate(key); }

    // A termination signal: closes as the close command does, without questions. A running
    // transfer is stopped first (the window closes when it has ended); open dialogs are closed.
    void CloseOnSignal();

    // Restores a minimised window, shows a hidden one, raises and activates it.
    void EnsureRestore();

    QAction* Action(ActionId id) const { return context_->Action(id); }
    QTabWidget* PageControl() const { return PageControl1; }
    SelectPage* Select() const { return selectSheet_; }
    SelectPageController* Browse() const { return browse_.get(); }
    OrganizePage* Organize() const { return organizeSheet_; }
    TransferPage* Transfer() const { return transferSheet_; }
    // The album list and its page; null after a failed start.
    AlbumsController* Albums() const { return albums_; }

    // Photo counts and sizes of the transfer page and the organisation tab caption.
    void UpdateTransferSummary();
    // The update check: tells the user when the service announces a newer version.
    void HelpUpdate1Execute();
    bool FirstActivationPending() const { return firstActivation_; }

    // Shows the transfer panel in place of the pages, or the pages again.
    void ShowTransferPanel(bool shown);
    // Shows the help topic whose keyword is the text of `keywordKey`.
    void ShowHelpTopic(const char* keywordKey);
    // Saves the settings file now (after a transfer run), with the layout read at start.
    void SaveSettingsNow();
    TransferController* Transfers() const { return transfers_; }


    // Runs the first-activation work if it has not run yet.
    void FirstActivation();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    TMain_Dlog(std::unique_ptr<WindowEngine> ownEngine, WindowEngine* engine, const MainWindowPaths& paths,
               std::function<bool()> startStopped, QWidget* parent);
    // Takes the engine's start-up download of the service's settings once it has ended (and no
    // transfer is reading them), with a message for a document that did not read.
    void TakeRemoteSettings();
    // The update check, once the window is shown and the service's settings have come.
    void CheckForUpdateWhenDue();
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreatePages();
    void ApplyLayoutSettings();
    void ApplyLanguage();
    void ShowPage(int index);
    void SelectAll();
    void ShowCredits();
    void CollectLayout();
    // LastTree := the folder tree's current path (kept when the tree shows none).
    void CollectLastTree();

    void ConnectContext();
    // Connects the album commands to the run's news and the text commands to the focus.
    void FollowActionSources();

    std::unique_ptr<WindowEngine> ownEngine_;  // only when the window was not given one
    WindowEngine& engine_;
    MainWindowPaths paths_;
    AppContext* context_;
    bool updateCheckDue_ = false;
    std::string helpFile_;
    bool startedWell_ = false;
    std::optional<WorkFolderLock> workFolderLock_;  // held from start to the end of the close
    std::function<bool()> startStopped_;
    bool shownOnce_ = false;
    int signalCloseTries_ = 0;
    bool closingOnSignal_ = false;  // no message box may hold up a close on a termination signal
    bool closing_ = false;          // the close is saving: a termination signal now ends its waits
    bool keyringStopped_ = false;
    // The password of a remembered login in the desktop's keyring. A signal during the start ends
    // its waits; a signal that closes the window does not, since the keyring must then take what
    // the user chose (a logout), but a further signal during that close does.
    RememberedPassword rememberedPassword_{[this] { return keyringStopped_ || (startStopped_ && startStopped_()); }};
    bool firstRun_ = false;
    bool firstActivation_ = false;
    bool closed_ = false;
    std::array<bool, 3> pageShown_{};  // by page: shown at least once since the first activation
    QtTileTextPainter tilePainter_;
    AlbumsController* albums_ = nullptr;

    QToolBar* Select_Bar = nullptr;
    QToolBar* Edit_Bar = nullptr;
    QToolBar* Transfer_Bar = nullptr;
    QStackedWidget* transferTab_ = nullptr;  // the login page or the transfer panel
    QTabWidget* PageControl1 = nullptr;
    TransferPanel* TransFile_Panel = nullptr;
    TransferController* transfers_ = nullptr;
    SelectPage* selectSheet_ = nullptr;
    OrganizePage* organizeSheet_ = nullptr;
    TransferPage* transferSheet_ = nullptr;
    QProgressBar* PBar = nullptr;
    QProgressBar* PBar3 = nullptr;
    // Last member: the selection page's worker stops before any control goes.
    std::unique_ptr<SelectPageController> browse_;
};

}  // namespace vantrel::gui
