#include "gui/app/MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QCloseEvent>
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWindow>
#include <cstdio>

#include "core/app/HelpIndex.h"
#include "core/app/Version.h"
#include "core/app/WorkFolder.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/WorkFolderLeftovers.h"
#include "core/app/FormatPattern.h"
#include "core/service/FileWriteError.h"
#include "core/service/HttpClient.h"
#include "core/service/RemoteSettingsLoader.h"
#include "core/service/SettingsFile.h"
#include "core/service/UpdateCheck.h"
#include "gui/albums/AlbumsController.h"
#include "gui/albums/OrganizePage.h"
#include "gui/app/HelpWindow.h"
#include "gui/app/HeldKeys.h"
#include "gui/app/MainActions.h"
#include "gui/app/QtTranslations.h"
#include "gui/app/TAbout_Dlog.h"
#include "gui/app/TPref_Dlog.h"
#include "gui/app/WorkFolderWait.h"
#include "gui/browse/SelectPage.h"
#include "gui/browse/SelectPageController.h"
#include "gui/service/TransferController.h"
#include "gui/service/TransferPage.h"
#include "gui/service/TransferPanel.h"
#include "gui/service/WebLinkOpener.h"

namespace vantrel::gui {

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

TMain_Dlog::TMain_Dlog(const MainWindowPaths& paths, const LocaleInfo& locale, std::function<bool()> startStopped,
                       QWidget* parent)
    : QMainWindow(parent), paths_(paths), locale_(locale), startStopped_(std::move(startStopped)) {
    setObjectName("Main_Dlog");
    setMinimumSize(625, 630);
    setWindowTitle(kApplicationTitle);

    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreatePages();

    PBar3 = new QProgressBar(statusBar());
    PBar3->setObjectName("PBar3");
    PBar3->setTextVisible(false);
    PBar3->hide();
    statusBar()->addWidget(PBar3, 1);
    statusBar()->setObjectName("StatusBar1");

    EnsureWorkFolder(paths_.workFolder);
    firstRun_ = !FileExists(paths_.settingsFile);
    settings_ = LoadSettingsFile(paths_.settingsFile, locale_, remote_);
    ApplyLayoutSettings();
    const std::string languageFolder = paths_.programFolder + "Language/";
    if (firstRun_) settings_.FileName = FirstRunLanguageFileName(locale_, languageFolder);

    auto chosen = LanguageFile::Choose(languageFolder, settings_.FileName, locale_.country, locale_.language);
    if (!chosen || !language_.Open(*chosen)) {
        QMessageBox::critical(this, kApplicationTitle, QString::fromLatin1(LanguageFile::kNoLanguageMessage));
        setProperty("tag", -1);
        remoteSettingsLoaded_ = LoadRemoteSettings();
        return;
    }
    // One writer per work folder: nothing below writes there before the lock is held.
    WorkFolderHold hold = HoldWorkFolder(paths_.workFolder, kApplicationTitle, Q(language_.Translate("WorkFolderWait")));
    if (!hold.proceed) return;
    workFolderLock_ = std::move(hold.lock);
    if (workFolderLock_) SweepWorkFolderLeftovers(paths_.workFolder);
    startedWell_ = true;
    InstallQtTranslation(*chosen);
    setWindowTitle(Q(language_.ReadRaw("BrevantWindow", "BrevantForm")));
    helpFile_ = language_.ReadRaw("Infos", "Helpfile");
    firstActivation_ = true;
    albums_ = new AlbumsController(*this, *organizeSheet_, workspace_, paths_.workFolder + "Images.lst");
    connect(albums_, &AlbumsController::contentChanged, this, &TMain_Dlog::UpdateTransferSummary);
    albums_->CreateFirstAlbum();
    ConnectAlbumCommands();
    transfers_ = new TransferController(*this, *transferSheet_, *TransFile_Panel);
    connect(transfers_, &TransferController::closeAfterRun, this, &QWidget::close, Qt::QueuedConnection);
    transferSheet_->Save_Check->setChecked(settings_.IsSaved);
    transferSheet_->Login_Edit->setText(Q(settings_.Mail));
    transferSheet_->Pass_Edit->setText(Q(settings_.Pass));
    connect(transferSheet_->Save_Check, &QCheckBox::clicked, this, [this](bool on) { settings_.IsSaved = on; });
    ApplyLanguage();
    workspace_.textPainter = &tilePainter_;
    workspace_.badImageText = language_.Translate("BadJpegErr");
    // The bar shows while a photo decodes; the decode runs without events, so a zero timer that
    // fires when it has ended hides the bar again.
    workspace_.progress = [this](int percent) {
        PBar3->setValue(percent);
        if (!PBar3->isVisible()) {
            PBar3->show();
            QTimer::singleShot(0, PBar3, &QWidget::hide);
        }
        PBar3->repaint();
    };
    PBar3->setRange(0, 100);
    browse_ = std::make_unique<SelectPageController>(*this, locale_);

    remoteSettingsLoaded_ = LoadRemoteSettings();

    actionUpdate_ = new QTimer(this);
    connect(actionUpdate_, &QTimer::timeout, this, &TMain_Dlog::UpdateActions);
    actionUpdate_->start(150);
    // Selections change what the commands may do: their enabling follows at once.
    connect(selectSheet_->Thumb_View, &QListWidget::itemSelectionChanged, this, &TMain_Dlog::UpdateActions);
    connect(organizeSheet_->Content_View, &QListWidget::itemSelectionChanged, this, &TMain_Dlog::UpdateActions);
}

TMain_Dlog::~TMain_Dlog() = default;

QString TMain_Dlog::Translate(const char* key) const { return Q(language_.Translate(key)); }

void TMain_Dlog::CreateActions() {
    for (const ActionSpec& spec : ActionSpecs()) {
        auto* action = new QAction(QString::fromUtf8(spec.caption), this);
        action->setObjectName(spec.name);
        action->setIcon(ThemedIcon(spec.icon));
        if (*spec.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(spec.shortcut)));
        actions_[static_cast<size_t>(spec.id)] = action;
    }
    Action(ActionId::ImgThumb1)->setCheckable(true);
    Action(ActionId::ImgDiapo1)->setCheckable(true);
    Action(ActionId::ImgThumb1)->setChecked(true);

    connect(Action(ActionId::FileExit1), &QAction::triggered, this, &QWidget::close);
    HeldKeys::Install();  // the preferences dialog asks whether Space is held
    connect(Action(ActionId::FileOptions1), &QAction::triggered, this, [this] {
        if (busyCount_ > 0 || !startedWell_) return;
        TPref_Dlog(*this).exec();
    });
    for (ActionId id : {ActionId::EditCut1, ActionId::EditCopy1, ActionId::EditPaste1})
        connect(Action(id), &QAction::triggered, this, [this, id] { EditCommand(id); });
    connect(Action(ActionId::EditSelectAll1), &QAction::triggered, this, &TMain_Dlog::SelectAll);
    connect(Action(ActionId::HelpContents1), &QAction::triggered, this, [this] {
        static const char* const keywords[] = {"H_Choisir", "H_Retouche", "H_Transfert"};
        const int page = PageControl1->currentIndex();
        if (page >= 0 && page < 3) ShowHelpTopic(keywords[page]);
    });
    connect(Action(ActionId::HelpAbout1), &QAction::triggered, this, [this] {
        if (startedWell_) TAbout_Dlog(*this).exec();
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
        auto* bar = addToolBar(name);
        bar->setObjectName(name);
        bar->setMovable(false);
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        bar->setIconSize(QSize(24, 24));
        bool first = true;
        for (const auto& group : groups) {
            if (!first) bar->addSeparator();
            first = false;
            for (ActionId id : group) bar->addAction(Action(id));
        }
        bar->toggleViewAction()->setVisible(false);
        return bar;
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
    central_ = new QStackedWidget(this);
    PageControl1 = new QTabWidget(central_);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setIconSize(QSize(20, 20));
    PageControl1->tabBar()->setMinimumHeight(24);
    selectSheet_ = new SelectPage(PageControl1);
    organizeSheet_ = new OrganizePage(PageControl1);
    transferSheet_ = new TransferPage(PageControl1);
    PageControl1->addTab(selectSheet_, ThemedIcon("folder-pictures"), QString("Sélection"));
    PageControl1->addTab(organizeSheet_, ThemedIcon("view-list"), QString("Organisation"));
    PageControl1->addTab(transferSheet_, ThemedIcon("network-transmit"), QString("Transfert"));
    central_->addWidget(PageControl1);

    TransFile_Panel = new TransferPanel(central_);
    central_->addWidget(TransFile_Panel);
    setCentralWidget(central_);
    central_->setCurrentWidget(PageControl1);
    PageControl1->hide();  // until the first activation

    PBar = new QProgressBar(this);
    PBar->setObjectName("PBar");
    PBar->setTextVisible(false);
    PBar->setMaximumHeight(12);
    selectSheet_->AttachProgressBar(PBar);

    connect(PageControl1, &QTabWidget::currentChanged, this, &TMain_Dlog::ShowPage);
    connect(selectSheet_, &SelectPage::CreditsRequested, this, &TMain_Dlog::ShowCredits);
}

void TMain_Dlog::ApplyLayoutSettings() {
    const WindowPlacement& p = settings_.PixForm;
    if (firstRun_) {
        // No layout kept yet: most of the screen, centred, rather than the smallest size at a corner.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QSize first = (screen.size() * 0.8).expandedTo(minimumSize());
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, first, screen));
    } else {
        move(p.Left, p.Top);
        resize(std::max(p.Right, minimumWidth()), std::max(p.Bottom, minimumHeight()));
    }
    if (p.State == WindowState::Maximised) setWindowState(Qt::WindowMaximized);
    else if (p.State == WindowState::Minimised) setWindowState(Qt::WindowMinimized);
    selectSheet_->Splitter1->setSizes({std::clamp(settings_.FVWidth, 200, 400), 10000});
    organizeSheet_->Splitter2->setSizes({std::clamp(settings_.SVWidth, 200, 400), 10000});
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
    TransferPage* t = transferSheet_;
    for (QLabel* label : {t->Login_Lbl, t->Lost_Lbl, t->Pass_Lbl, t->IdTitle_Lbl, t->Info_Lbl})
        label->setText(Translate(label->objectName().toLatin1().constData()));
    for (QLabel* link : {t->LostClic_Lbl, t->WebSite_Lbl})
        link->setText("<a href=\"#\">" + Translate(link->objectName().toLatin1().constData()).toHtmlEscaped() + "</a>");
    TransFile_Panel->SetCaptions([this](const char* key) { return Translate(key); });
    t->Save_Check->setText(Translate("Save_Check"));
    t->Start_Btn->setText(Translate("Start_Btn"));
}

void TMain_Dlog::ShowPage(int index) {
    if (index >= 0 && index < static_cast<int>(pageShown_.size())) pageShown_[static_cast<size_t>(index)] = true;
    Select_Bar->setVisible(index == SelectSheet);
    Edit_Bar->setVisible(index == OrganizeSheet);
    Transfer_Bar->setVisible(index == TransferSheet);
    if (index == SelectSheet) {
        Action(ActionId::ImgThumb1)->setEnabled(true);
        selectSheet_->AttachProgressBar(PBar);
    } else if (index == OrganizeSheet) {
        organizeSheet_->AttachProgressBar(PBar);
    }
    UpdateActions();
}

void TMain_Dlog::BeginBusy(int count, bool force) {
    ++busyCount_;
    if (force || count > 10) {
        PBar->setMaximum(count);
        PBar->setValue(0);
    }
    Action(ActionId::FileOptions1)->setEnabled(false);
    QApplication::processEvents();
}

void TMain_Dlog::EndBusy() {
    PBar->setValue(0);
    QApplication::processEvents();
    --busyCount_;
    Action(ActionId::FileOptions1)->setEnabled(busyCount_ == 0);
    if (busyCount_ == 0) selectSheet_->Thumb_View->sortItems();
}

void TMain_Dlog::StepProgress() { PBar->setValue(PBar->value() + 1); }

SizeTextStyle TMain_Dlog::SizeStyle() const {
    return {language_.Translate("Panel_Mb"), language_.Translate("Panel_Kb"), locale_.decimalSeparator};
}

void TMain_Dlog::ConnectAlbumCommands() {
    connect(Action(ActionId::AlbumAdd1), &QAction::triggered, albums_, &AlbumsController::AddAlbumCommand);
    connect(Action(ActionId::AlbumDel1), &QAction::triggered, albums_, &AlbumsController::DeleteAlbumCommand);
    connect(Action(ActionId::AlbumEdit1), &QAction::triggered, albums_, &AlbumsController::EditAlbumCommand);
    connect(Action(ActionId::EditDelete1), &QAction::triggered, albums_, &AlbumsController::RemovePhotosCommand);
    connect(Action(ActionId::ImgRotL1), &QAction::triggered, albums_, [this] { albums_->RotateCommand(false); });
    connect(Action(ActionId::ImgRotR1), &QAction::triggered, albums_, [this] { albums_->RotateCommand(true); });
    connect(Action(ActionId::ImgEdit1), &QAction::triggered, albums_, &AlbumsController::EditPhotosCommand);

    // The pop-up of the content list: one item, removing the selected photos.
    QListWidget* content = organizeSheet_->Content_View;
    auto* remove = new QAction(Translate("SupList_Menu"), content);
    remove->setObjectName("SupList_Menu");
    connect(remove, &QAction::triggered, Action(ActionId::EditDelete1), &QAction::trigger);
    content->setContextMenuPolicy(Qt::ActionsContextMenu);
    content->addAction(remove);
    connect(content, &QListWidget::itemDoubleClicked, Action(ActionId::ImgEdit1), &QAction::trigger);
}

void TMain_Dlog::UpdateTransferSummary() {
    if (!albums_) return;
    const TAlbumList& list = albums_->Albums();
    std::int64_t photos = 0, photoBytes = 0;
    for (int a = 0; a < list.Count(); ++a) {
        const TJobList& jobs = list.Items(a).Jobs();
        photos += jobs.Count();
        for (int j = 0; j < jobs.Count(); ++j) photoBytes += jobs.Items(j).PhotoSize;
    }
    if (photos == 0) {
        PageControl1->setTabText(OrganizeSheet, Translate("OrgTabName") + " (0 " + Translate("Img_Sing") + ")");
        transferSheet_->NumImage_Lbl->setText(Translate("NoImgToTransfer"));
        transferSheet_->TotalSize_Lbl->clear();
    } else {
        const std::string word = language_.Translate(photos == 1 ? "Img_Sing" : "Img_Plur");
        PageControl1->setTabText(OrganizeSheet, Translate("OrgTabName") + QString(" (%1 ").arg(photos) +
                                                    QString::fromStdString(word) + ")");
        transferSheet_->NumImage_Lbl->setText(
            Q(FormatPattern(language_.Translate("ImgWaiting"), {photos, word}, locale_.decimalSeparator)));
        double size = static_cast<double>(photoBytes) / 1048576.0;
        const char* unit = "Panel_Mb";
        if (size < 1) {
            size *= 1024;
            unit = "Panel_Kb";
        }
        transferSheet_->TotalSize_Lbl->setText(Q(FormatPattern(
            language_.Translate("SizeToTransfer") + " %f " + language_.Translate(unit), {size},
            locale_.decimalSeparator)));
    }
    albums_->RefreshContentTitle();
    transferSheet_->Start_Btn->setEnabled(photos > 0);
}

void TMain_Dlog::UpdateActions() {
    if (!startedWell_) return;
    // While a transfer runs the album list is the run's: nothing may add, remove, turn or rename.
    const bool free = !(transfers_ && transfers_->Running());
    const bool anyAlbum = albums_ && albums_->Albums().Count() > 0;
    Action(ActionId::AlbumDel1)->setEnabled(free && anyAlbum);
    Action(ActionId::AlbumEdit1)->setEnabled(free && anyAlbum);
    Action(ActionId::ImgAdd1)->setEnabled(free && !selectSheet_->Thumb_View->selectedItems().isEmpty());
    // Delete removes album photos: only where they are shown, never from a hidden page.
    Action(ActionId::EditDelete1)->setEnabled(free && PageControl1->currentIndex() == OrganizeSheet &&
                                              !organizeSheet_->Content_View->selectedItems().isEmpty());
    for (ActionId id : {ActionId::AlbumAdd1, ActionId::ImgRotL1, ActionId::ImgRotR1, ActionId::ImgEdit1})
        Action(id)->setEnabled(free);

    QWidget* focus = QApplication::focusWidget();
    bool hasSelection = false, isText = false;
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        isText = true;
        hasSelection = line->hasSelectedText() && line->echoMode() == QLineEdit::Normal;
    } else if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        isText = true;
        hasSelection = text->textCursor().hasSelection();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        isText = true;
        hasSelection = plain->textCursor().hasSelection();
    }
    Action(ActionId::EditCut1)->setEnabled(hasSelection);
    Action(ActionId::EditCopy1)->setEnabled(hasSelection);
    Action(ActionId::EditPaste1)->setEnabled(isText && !QApplication::clipboard()->text().isEmpty());
}

void TMain_Dlog::EditCommand(ActionId id) {
    QWidget* focus = QApplication::focusWidget();
    auto run = [id](auto* editor) {
        if (id == ActionId::EditCut1) editor->cut();
        else if (id == ActionId::EditCopy1) editor->copy();
        else editor->paste();
    };
    if (auto* line = qobject_cast<QLineEdit*>(focus)) run(line);
    else if (auto* text = qobject_cast<QTextEdit*>(focus)) run(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) run(plain);
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
    auto page = FindHelpTopic(paths_.programFolder + "Help/", helpFile_, language_.Translate(keywordKey));
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

void TMain_Dlog::EnsureRestore() {
    // Restored as it was before (a maximised window comes back maximised).
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    if (!isVisible()) show();
    raise();
    activateWindow();
}

bool TMain_Dlog::LoadRemoteSettings() {
    HttpClient client([] { QApplication::processEvents(); });
    client.SetStopCheck(startStopped_);
    const RemoteSettingsResult result = vantrel::LoadRemoteSettings(client, paths_.workFolder, locale_.country, remote_);
    if (!result.ok() && startedWell_) {
        const std::string message = result.Message([this](std::string_view key) {
            return language_.Translate(std::string(key));
        });
        if (!message.empty()) QMessageBox::warning(this, windowTitle(), Q(message));
    }
    return result.ok();
}

void TMain_Dlog::HelpUpdate1Execute() {
    const UpdateVerdict verdict = CheckForUpdate(remote_.current_version, kProductVersion);
    if (verdict == UpdateVerdict::Unreadable) return;
    if (verdict == UpdateVerdict::NewVersion) {
        QMessageBox::information(this, windowTitle(), Translate("NewVersion"));
        OpenWebLink(Q(remote_.update_url));  // web links only
    }
    settings_.LastCheck = NowLocal();
}

void TMain_Dlog::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (startedWell_ && !shownOnce_) {
        shownOnce_ = true;
        UpdateTransferSummary();
        if (IsUpdateCheckDue(settings_.IsUpdated, settings_.FreqIdx, settings_.LastCheck, NowLocal()))
            QTimer::singleShot(0, this, &TMain_Dlog::HelpUpdate1Execute);
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
    busyCount_ = 0;
    if (browse_) browse_->FirstActivation();
    albums_->FirstActivation();
    PageControl1->setCurrentIndex(SelectSheet);
    ShowPage(SelectSheet);
    PageControl1->show();
}

void TMain_Dlog::CollectLayout() {
    WindowPlacement& p = settings_.PixForm;
    const QRect frame = frameGeometry();
    p.Left = frame.left();
    p.Top = frame.top();
    p.Right = width();
    p.Bottom = height();
    p.State = isMinimized() ? WindowState::Minimised : isMaximized() ? WindowState::Maximised : WindowState::Normal;
    if (p.State == WindowState::Minimised) {
        const QRect normal = normalGeometry();
        p.Left = normal.left();
        p.Top = normal.top();
        p.Right = normal.width();
        p.Bottom = normal.height();
    }
    // A page that was never shown was never laid out: its columns keep the widths read at start.
    if (pageShown_[SelectSheet]) {
        settings_.FVWidth = selectSheet_->TreeInfo_Panel->width();
        settings_.TVWidth = selectSheet_->Thumb_View->width();
    }
    if (pageShown_[OrganizeSheet]) settings_.SVWidth = organizeSheet_->Album_Panel->width();
    CollectLastTree();
}

void TMain_Dlog::CollectLastTree() {
    if (browse_ && !browse_->CurrentFolder().isEmpty()) settings_.LastTree = browse_->CurrentFolder().toStdString();
}

void TMain_Dlog::ShowTransferPanel(bool shown) {
    Transfer_Bar->setVisible(!shown && PageControl1->currentIndex() == TransferSheet);
    central_->setCurrentWidget(shown ? static_cast<QWidget*>(TransFile_Panel) : PageControl1);
    PageControl1->setVisible(!shown);
}

void TMain_Dlog::SaveSettingsNow() {
    CollectLastTree();  // the layout stays as read at start; the folder is the tree's of now
    settings_.Mail = transferSheet_->Login_Edit->text().toStdString();
    settings_.Pass = transferSheet_->Pass_Edit->text().toStdString();
    if (auto saved = SaveSettingsFile(paths_.settingsFile, settings_, remote_, locale_); !saved)
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
    if (albums_) albums_->SaveTransferList();
    CollectLayout();
    if (startedWell_) {
        settings_.Mail = transferSheet_->Login_Edit->text().toStdString();
        settings_.Pass = transferSheet_->Pass_Edit->text().toStdString();
    }
    if (auto saved = SaveSettingsFile(paths_.settingsFile, settings_, remote_, locale_); !saved) {
        // Said to the user, but a termination signal must not wait on a message box.
        const std::string message = WriteFailureMessage(
            {paths_.settingsFile, saved.error()}, [this](std::string_view key) { return language_.Translate(std::string(key)); });
        if (closingOnSignal_ || !startedWell_) std::fprintf(stderr, "vantrel: %s\n", message.c_str());
        else QMessageBox::warning(this, windowTitle(), Q(message));
    }
    std::remove((paths_.workFolder + "Temp.xml").c_str());
    std::remove((paths_.workFolder + "uploader_settings.plist").c_str());
    closed_ = true;
    event->accept();
}

}  // namespace vantrel::gui
