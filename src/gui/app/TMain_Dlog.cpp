#include "gui/app/TMain_Dlog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cstdio>

#include "core/albums/TransferQueue.h"
#include "core/albums/WorkFolderLeftovers.h"
#include "core/app/DateTime.h"
#include "core/app/HelpIndex.h"
#include "core/app/Version.h"
#include "core/app/WorkFolder.h"
#include "core/service/FileWriteError.h"
#include "core/service/SettingsFile.h"
#include "core/service/UpdateCheck.h"
#include "gui/albums/AlbumsController.h"
#include "gui/albums/OrganizePage.h"
#include "gui/app/HeldKeys.h"
#include "gui/app/HelpWindow.h"
#include "gui/app/QtTranslations.h"
#include "gui/app/ServiceStartup.h"
#include "gui/app/TAbout_Dlog.h"
#include "gui/app/TPref_Dlog.h"
#include "gui/app/TextEditCommands.h"
#include "gui/app/WindowPlacementIo.h"
#include "gui/app/WorkFolderWait.h"
#include "gui/browse/SelectPage.h"
#include "gui/browse/SelectPageController.h"
#include "gui/kit/BringToFront.h"
#include "gui/kit/MainActions.h"
#include "gui/kit/Utf8Text.h"
#include "gui/service/TransferController.h"
#include "gui/service/TransferPage.h"
#include "gui/service/TransferPanel.h"

namespace vantrel::gui {

TMain_Dlog::TMain_Dlog(WindowEngine& engine, const MainWindowPaths& paths, std::function<bool()> startStopped,
                       QWidget* parent)
    : TMain_Dlog(nullptr, &engine, paths, std::move(startStopped), parent) {}

TMain_Dlog::TMain_Dlog(const MainWindowPaths& paths, const LocaleInfo& locale, std::function<bool()> startStopped,
                       QWidget* parent)
    : TMain_Dlog(std::make_unique<WindowEngine>(paths.workFolder, paths.settingsFile, locale), nullptr, paths,
                 std::move(startStopped), parent) {}

TMain_Dlog::TMain_Dlog(std::unique_ptr<WindowEngine> ownEngine, WindowEngine* engine, const MainWindowPaths& paths,
                       std::function<bool()> startStopped, QWidget* parent)
    : QMainWindow(parent), ownEngine_(std::move(ownEngine)), engine_(engine ? *engine : *ownEngine_), paths_(paths),
      context_(new AppContext(engine_, this)), startStopped_(std::move(startStopped)) {
    context_->SetDialogParent(this);
    setObjectName("Main_Dlog");
    // No minimum of its own: the pages' layouts give it, small enough for a 960x540 screen. The
    // designed 625 x 630 is where it opens when the screen has room (ApplyLayoutSettings).
    setWindowTitle(kApplicationTitle);

    CreateActions();
    ConnectContext();
    CreateMenus();
    CreateToolBars();
    CreatePages();

    PBar3 = new QProgressBar(statusBar());
    PBar3->setObjectName("PBar3");
    PBar3->setTextVisible(false);
    PBar3->hide();
    statusBar()->addWidget(PBar3, 1);
    statusBar()->setObjectName("StatusBar1");

    firstRun_ = engine_.Core().FirstRun();  // the engine has read the settings file
    rememberedPassword_.Restore(context_->Settings());
    ApplyLayoutSettings();
    const std::string languageFolder = paths_.programFolder + "Language/";
    if (firstRun_) context_->Settings().FileName = FirstRunLanguageFileName(context_->Locale(), languageFolder);

    auto chosen = LanguageFile::Choose(languageFolder, context_->Settings().FileName, context_->Locale().country, context_->Locale().language);
    if (!chosen || !context_->Language().Open(*chosen)) {
        QMessageBox::critical(this, kApplicationTitle, QString::fromLatin1(LanguageFile::kNoLanguageMessage));
        setProperty("tag", -1);
        return;
    }
    // One writer per work folder: nothing below writes there before the lock is held.
    WorkFolderHold hold = HoldWorkFolder(paths_.workFolder, kApplicationTitle, Q(context_->Language().Translate("WorkFolderWait")));
    if (!hold.proceed) return;
    workFolderLock_ = std::move(hold.lock);
    if (workFolderLock_) SweepWorkFolderLeftovers(paths_.workFolder);
    startedWell_ = true;
    // The service's settings come on the engine's thread while the window is made and shown.
    connect(&engine_, &WindowEngine::remoteSettingsArrived, this, &TMain_Dlog::TakeRemoteSettings);
    engine_.StartRemoteSettings();
    InstallQtTranslation(*chosen);
    setWindowTitle(Q(context_->Language().ReadRaw("BrevantWindow", "BrevantForm")));
    helpFile_ = context_->Language().ReadRaw("Infos", "Helpfile");
    firstActivation_ = true;
    albums_ = new AlbumsController(*context_, *organizeSheet_, this);
    albums_->AcceptsFileDrops = [this] {
        return context_->BusyCount() == 0 && PageControl1->isVisible() && PageControl1->currentIndex() == OrganizeSheet;
    };
    // Albums came or went, photos left the content list: the summary and the commands follow.
    connect(&engine_, &WindowEngine::photosChanged, this, &TMain_Dlog::UpdateTransferSummary);
    albums_->CreateFirstAlbum();
    transfers_ = new TransferController(*context_, *transferSheet_, *TransFile_Panel, this);
    connect(transfers_, &TransferController::closeAfterRun, this, &QWidget::close, Qt::QueuedConnection);
    connect(transfers_, &TransferController::settingsToSave, this, &TMain_Dlog::SaveSettingsNow);
    transfers_->ShowRememberedLogin();
    ApplyLanguage();
    context_->Workspace().textPainter = &tilePainter_;
    context_->Workspace().badImageText = context_->Language().Translate("BadJpegErr");
    // The bar shows while a photo decodes; the decode runs without events, so a zero timer that
    // fires when it has ended hides the bar again.
    context_->Workspace().progress = [this](int percent) {
        PBar3->setValue(percent);
        if (!PBar3->isVisible()) {
            PBar3->show();
            QTimer::singleShot(0, PBar3, &QWidget::hide);
        }
        PBar3->repaint();
    };
    PBar3->setRange(0, 100);
    browse_ = std::make_unique<SelectPageController>(
        *context_, SelectPageParts{*selectSheet_, PBar3, Q(paths_.startFolder)});

    FollowActionSources();
}

TMain_Dlog::~TMain_Dlog() {
    // The engine may outlive the window (main's) or go with it (its own, a member): the pages let
    // go of it first.
    browse_.reset();
    delete transfers_;
    delete albums_;
    engine_.Core().Workspace().textPainter = nullptr;
    engine_.Core().Workspace().progress = nullptr;
}

void TMain_Dlog::TakeRemoteSettings() {
    // A run reads the service's settings while it goes on: they are taken when it has ended.
    if (!engine_.RemoteSettingsPending() || (transfers_ && transfers_->Running())) return;
    context_->SetRemoteLoaded(TakeRemoteSettingsAtStart(*context_, !closingOnSignal_));
    CheckForUpdateWhenDue();
}

void TMain_Dlog::CheckForUpdateWhenDue() {
    // The check reads the version that the service announces: it waits for the start's download.
    if (!updateCheckDue_ || engine_.RemoteSettingsPending()) return;
    updateCheckDue_ = false;
    HelpUpdate1Execute();
}

void TMain_Dlog::CreateActions() {
    for (const ActionSpec& spec : ActionSpecs()) {
        auto* action = new QAction(QString::fromUtf8(spec.caption), this);
        action->setObjectName(spec.name);
        action->setIcon(ThemedIcon(spec.icon));
        if (*spec.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(spec.shortcut)));
        context_->SetAction(spec.id, action);
    }
    Action(ActionId::ImgThumb1)->setCheckable(true);
    Action(ActionId::ImgDiapo1)->setCheckable(true);
    Action(ActionId::ImgThumb1)->setChecked(true);

    connect(Action(ActionId::FileExit1), &QAction::triggered, this, &QWidget::close);
    HeldKeys::Install();  // the preferences dialog asks whether Space is held
    connect(Action(ActionId::FileOptions1), &QAction::triggered, this, [this] {
        if (context_->BusyCount() > 0 || !startedWell_) return;
        TPref_Dlog(*context_).exec();
    });
    for (ActionId id : {ActionId::EditCut1, ActionId::EditCopy1, ActionId::EditPaste1})
        connect(Action(id), &QAction::triggered, this, [id] { RunTextEditCommand(id); });
    connect(Action(ActionId::EditSelectAll1), &QAction::triggered, this, &TMain_Dlog::SelectAll);
    connect(Action(ActionId::HelpContents1), &QAction::triggered, this, [this] {
        static const char* const keywords[] = {"H_Choisir", "H_Retouche", "H_Transfert"};
        const int page = PageControl1->currentIndex();
        if (page >= 0 && page < 3) ShowHelpTopic(keywords[page]);
    });
    connect(Action(ActionId::HelpAbout1), &QAction::triggered, this, [this] {
        if (startedWell_) TAbout_Dlog(*context_).exec();
    });
}

void TMain_Dlog::CreateMenus() {
    QMenu* file = menuBar()->addMenu("Fichier");
    file->setObjectName("File1_Menu");
    file->addAction(Action(ActionId::FileOptions1));
    file->addSeparator();
    file->addAction(Action(ActionId::FileExit1));

    QMenu* edit = menuBar()->addMenu("Edition");
    edit->setObjectName("Edit1_Menu");
    // Nothing of the main window can be undone (the retouch dialog has its own undo): no Undo
    // or Redo that would never do anything.
    Action(ActionId::EditUndo1)->setVisible(false);
    Action(ActionId::EditRedo1)->setVisible(false);
    edit->addAction(Action(ActionId::EditCut1));
    edit->addAction(Action(ActionId::EditCopy1));
    edit->addAction(Action(ActionId::EditPaste1));
    edit->addAction(Action(ActionId::EditDelete1));
    edit->addSeparator();
    edit->addAction(Action(ActionId::EditSelectAll1));

    QMenu* help = menuBar()->addMenu("&?");
    help->setObjectName("Help1_Menu");
    help->addAction(Action(ActionId::HelpContents1));
    help->addSeparator();
    help->addAction(Action(ActionId::HelpAbout1));
}

void TMain_Dlog::CreateToolBars() {
    auto makeBar = [this](const char* name, std::initializer_list<std::initializer_list<ActionId>> groups) {
        return AddCommandBar(*this, name, groups, [this](ActionId id) { return Action(id); });
    };
    using A = ActionId;
    Select_Bar = makeBar("Select_Bar", {{A::FileOptions1}, {A::ImgThumb1, A::ImgDiapo1}, {A::ImgCompare1},
                                        {A::ImgFirst1, A::ImgPrev1, A::ImgAdd1, A::ImgNext1, A::ImgLast1},
                                        {A::HelpContents1}});
    Edit_Bar = makeBar("Edit_Bar", {{A::FileOptions1}, {A::AlbumAdd1, A::AlbumEdit1, A::AlbumDel1}, {A::EditDelete1},
                                    {A::ImgRotL1, A::ImgRotR1}, {A::ImgEdit1}, {A::HelpContents1}});
    Transfer_Bar = makeBar("Transfer_Bar", {{A::FileOptions1}, {A::HelpContents1}});
    Edit_Bar->hide();
    Transfer_Bar->hide();
    setContextMenuPolicy(Qt::NoContextMenu);  // the tool bars are not the user's to hide
}

void TMain_Dlog::CreatePages() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setIconSize(QSize(20, 20));
    PageControl1->tabBar()->setMinimumHeight(24);
    selectSheet_ = new SelectPage(PageControl1);
    organizeSheet_ = new OrganizePage(PageControl1);
    // The transfer tab shows the login page, and the transfer panel while a run goes on: the
    // other pages stay at hand meanwhile.
    transferTab_ = new QStackedWidget(PageControl1);
    transferSheet_ = new TransferPage(transferTab_);
    TransFile_Panel = new TransferPanel(transferTab_);
    transferTab_->addWidget(transferSheet_);
    transferTab_->addWidget(TransFile_Panel);
    PageControl1->addTab(selectSheet_, ThemedIcon("folder-pictures"), QString("Sélection"));
    PageControl1->addTab(organizeSheet_, ThemedIcon("view-list"), QString("Organisation"));
    PageControl1->addTab(transferTab_, ThemedIcon("network-transmit"), QString("Transfert"));
    setCentralWidget(PageControl1);
    PageControl1->hide();  // until the first activation

    PBar = new QProgressBar(this);
    PBar->setObjectName("PBar");
    PBar->setTextVisible(false);
    PBar->setMaximumHeight(12);
    selectSheet_->AttachProgressBar(PBar);

    connect(PageControl1, &QTabWidget::currentChanged, this, &TMain_Dlog::ShowPage);
    connect(selectSheet_, &SelectPage::creditsRequested, this, &TMain_Dlog::ShowCredits);
}

void TMain_Dlog::ApplyLayoutSettings() {
    const UserSettings& settings = context_->Settings();
    ApplyWindowPlacement(*this, settings.PixForm, firstRun_, QSize(625, 630));
    selectSheet_->Splitter1->setSizes({std::clamp(settings.FVWidth, 200, 400), 10000});
    organizeSheet_->Splitter2->setSizes({std::clamp(settings.SVWidth, 200, 400), 10000});
}

void TMain_Dlog::ApplyLanguage() {
    for (const ActionSpec& spec : ActionSpecs())
        ApplyHint(Action(spec.id), Translate(spec.captionKey), Translate(spec.hintKey));
    const QList<QMenu*> menus = menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
    for (QMenu* menu : menus) {
        const QString text = Translate(menu->objectName().toLatin1().constData());
        if (!text.isEmpty()) menu->setTitle(text);
    }
    PageControl1->setTabText(SelectSheet, Translate("SelectTabName"));
    PageControl1->setTabText(OrganizeSheet, Translate("OrgTabName") + " (0 " + Translate("Img_Sing") + ")");
    PageControl1->setTabText(TransferSheet, Translate("TrsfrtTabName"));

    selectSheet_->SetInfoCaptions({Translate("Panel_Name"), Translate("Panel_Size"), Translate("Panel_Date"),
                                   Translate("Panel_Aperture"), Translate("Panel_Speed"), Translate("Panel_Focal"),
                                   Translate("Panel_Iso")},
                                  Translate("Panel_Info"));
    transfers_->ApplyLanguage();
}

void TMain_Dlog::ShowPage(int index) {
    if (index >= 0 && index < static_cast<int>(pageShown_.size())) pageShown_[static_cast<size_t>(index)] = true;
    Select_Bar->setVisible(index == SelectSheet);
    Edit_Bar->setVisible(index == OrganizeSheet);
    Transfer_Bar->setVisible(index == TransferSheet && transferTab_->currentWidget() == transferSheet_);
    if (index == SelectSheet) {
        Action(ActionId::ImgThumb1)->setEnabled(true);
        selectSheet_->AttachProgressBar(PBar);
    } else if (index == OrganizeSheet) {
        organizeSheet_->AttachProgressBar(PBar);
    }
    albums_->SetPageShown(index == OrganizeSheet);
}

void TMain_Dlog::ConnectContext() {
    connect(context_, &AppContext::busyBegun, this, [this](int count, bool force) {
        if (force || count > 10) {
            PBar->setMaximum(count);
            PBar->setValue(0);
        }
        Action(ActionId::FileOptions1)->setEnabled(false);
    });
    connect(context_, &AppContext::progressStepped, this, [this] { PBar->setValue(PBar->value() + 1); });
    connect(context_, &AppContext::busyEnding, this, [this] { PBar->setValue(0); });
    connect(context_, &AppContext::busyEnded, this, [this](int stillBusy) {
        Action(ActionId::FileOptions1)->setEnabled(stillBusy == 0);
        if (stillBusy == 0) selectSheet_->Thumb_View->sortItems();
    });
    connect(context_, &AppContext::helpTopicRequested, this,
            [this](const QString& key) { ShowHelpTopic(key.toLatin1().constData()); });
    connect(context_, &AppContext::transferPanelRequested, this, &TMain_Dlog::ShowTransferPanel);
    connect(context_, &AppContext::settingsChanged, this, [this] {
        if (browse_) browse_->ResetCaptions();
    });
}

void TMain_Dlog::UpdateTransferSummary() {
    if (!albums_) return;
    const int photos = albums_->Queue().QueuedCount();
    PageControl1->setTabText(OrganizeSheet, Translate("OrgTabName") + QString(" (%1 ").arg(photos) +
                                                Translate(photos > 1 ? "Img_Plur" : "Img_Sing") + ")");
    transfers_->ShowSummary();
    albums_->RefreshContentTitle();
}

void TMain_Dlog::FollowActionSources() {
    // A run takes and lets go of albums as it goes; the service's settings that came during a
    // run are taken once it has ended.
    connect(transfers_, &TransferController::heldAlbumsChanged, albums_, &AlbumsController::UpdateCommands);
    connect(transfers_, &TransferController::runStateChanged, this, [this](bool running) {
        if (!running) TakeRemoteSettings();
        albums_->UpdateCommands();
    });
    FollowTextEditCommands(*this, Action(ActionId::EditCut1), Action(ActionId::EditCopy1), Action(ActionId::EditPaste1));
}

void TMain_Dlog::SelectAll() {
    QListWidget* list = nullptr;
    if (PageControl1->currentIndex() == SelectSheet) list = selectSheet_->Thumb_View;
    else if (PageControl1->currentIndex() == OrganizeSheet) list = organizeSheet_->Content_View;
    if (!list) return;
    list->selectAll();
    list->setFocus();
}

void TMain_Dlog::ShowHelpTopic(const char* keywordKey) {
    auto page = FindHelpTopic(paths_.programFolder + "Help/", helpFile_, context_->Language().Translate(keywordKey));
    if (!page) {
        QMessageBox::warning(this, windowTitle(), Translate("H_NoHelp"));
        return;
    }
    HelpWindow::ShowPage(this, Q(*page));
}

void TMain_Dlog::ShowCredits() {
    QMessageBox::information(this, kApplicationTitle,
                             QString("Vantrel %1\nWritten by the Vantrel team.").arg(kFileVersion));
}

void TMain_Dlog::CloseOnSignal() {
    if (closing_) {
        // A signal again while the close saves: the keyring is waited for no longer.
        closingOnSignal_ = keyringStopped_ = true;
        return;
    }
    closingOnSignal_ = true;
    if (transfers_ && transfers_->StopAndCloseAfterRun()) return;
    // A modal dialog holds its own event loop: it is rejected first, and the window closes once
    // that loop has returned. A dialog that refuses to go is left after a few tries.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this && signalCloseTries_ < 20) {
        ++signalCloseTries_;
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        else modal->close();
        QTimer::singleShot(0, this, &TMain_Dlog::CloseOnSignal);
        return;
    }
    close();
}

void TMain_Dlog::EnsureRestore() { BringToFront(*this); }

void TMain_Dlog::HelpUpdate1Execute() { CheckForNewVersion(*context_); }

void TMain_Dlog::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (startedWell_ && !shownOnce_) {
        shownOnce_ = true;
        UpdateTransferSummary();
        const UserSettings& settings = context_->Settings();
        updateCheckDue_ = IsUpdateCheckDue(settings.IsUpdated, settings.FreqIdx, settings.LastCheck, NowLocal());
        QTimer::singleShot(0, this, &TMain_Dlog::CheckForUpdateWhenDue);
    }
    // Without a window manager no activation may ever come: the first-activation work then runs
    // shortly after the window is shown.
    if (firstActivation_) QTimer::singleShot(300, this, &TMain_Dlog::FirstActivation);
}

void TMain_Dlog::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FirstActivation();
}

void TMain_Dlog::FirstActivation() {
    if (!firstActivation_) return;
    firstActivation_ = false;  // first: the work below lets events run, activations among them
    context_->ResetBusy();
    if (browse_) browse_->FirstActivation();
    albums_->FirstActivation();
    PageControl1->setCurrentIndex(SelectSheet);
    ShowPage(SelectSheet);
    PageControl1->show();
}

void TMain_Dlog::CollectLayout() {
    UserSettings& settings = context_->Settings();
    settings.PixForm = CurrentWindowPlacement(*this);
    // A page that was never shown was never laid out: its columns keep the widths read at start.
    if (pageShown_[SelectSheet]) {
        settings.FVWidth = selectSheet_->TreeInfo_Panel->width();
        settings.TVWidth = selectSheet_->Thumb_View->width();
    }
    if (pageShown_[OrganizeSheet]) settings.SVWidth = organizeSheet_->Album_Panel->width();
    CollectLastTree();
}

void TMain_Dlog::CollectLastTree() {
    if (browse_ && !browse_->CurrentFolder().isEmpty()) context_->Settings().LastTree = browse_->CurrentFolder().toStdString();
}

void TMain_Dlog::ShowTransferPanel(bool shown) {
    transferTab_->setCurrentWidget(shown ? static_cast<QWidget*>(TransFile_Panel) : transferSheet_);
    if (shown) PageControl1->setCurrentIndex(TransferSheet);
    Transfer_Bar->setVisible(!shown && PageControl1->currentIndex() == TransferSheet);
}

void TMain_Dlog::SaveSettingsNow() {
    CollectLastTree();  // the layout stays as read at start; the folder is the tree's of now
    transfers_->CollectLogin();
    if (auto saved = SaveSettingsFile(paths_.settingsFile, rememberedPassword_.ForSettingsFile(context_->Settings()),
                                      context_->Remote(), context_->Locale());
        !saved)
        QMessageBox::warning(this, windowTitle(), Q(saved.error()));
}

void TMain_Dlog::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    // A run in progress is stopped first; the window closes once it has ended.
    if (transfers_ && !transfers_->ConfirmCloseDuringRun()) {
        event->ignore();
        return;
    }
    closing_ = true;
    if (albums_) albums_->SaveTransferList();
    CollectLayout();
    if (startedWell_) transfers_->CollectLogin();
    if (auto saved = SaveSettingsFile(paths_.settingsFile, rememberedPassword_.ForSettingsFile(context_->Settings()),
                                      context_->Remote(), context_->Locale());
        !saved) {
        // Said to the user, but a termination signal must not wait on a message box.
        const std::string message = WriteFailureMessage(
            {paths_.settingsFile, saved.error()}, [this](std::string_view key) { return context_->Language().Translate(std::string(key)); });
        if (closingOnSignal_ || !startedWell_) std::fprintf(stderr, "vantrel: %s\n", message.c_str());
        else QMessageBox::warning(this, windowTitle(), Q(message));
    }
    RemoveServiceAnswers(paths_.workFolder);
    closed_ = true;
    event->accept();
}

}  // namespace vantrel::gui
