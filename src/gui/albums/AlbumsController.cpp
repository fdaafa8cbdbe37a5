#include "gui/albums/AlbumsController.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/albums/TransferListFile.h"
#include "core/app/FormatPattern.h"
#include "core/imaging/ExifOrientation.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/SizeText.h"
#include "gui/albums/AlbumPanel.h"
#include "gui/albums/OrganizePage.h"
#include "gui/kit/AppContext.h"
#include "gui/kit/StepLoop.h"
#include "gui/kit/Utf8Text.h"
#include "gui/retouch/TEdit_Dlog.h"

static void InitIconResources() { Q_INIT_RESOURCE(icons); }

namespace vantrel::gui {

AlbumsController::AlbumsController(AppContext& context, OrganizePage& page, QObject* parent)
    : QObject(parent), context_(context), page_(page), queue_(&context.Queue()) {
    InitIconResources();
    auto* list = static_cast<ContentListWidget*>(page_.Content_View);
    contentView_ = std::make_unique<ContentListView>(*list, ContentImages());
    contentView_->PhotoSizeOf = [this](int imageIndex) { return QueuedPhotoSize(imageIndex); };
    contentView_->AdviceText = [this](std::string_view key) { return context_.Language().Translate(std::string(key)); };
    // The engine's queue shows its current album here from now on.
    context_.Engine().Core().ContentView().Attach(contentView_.get());
    steps_ = new StepLoop(context_, this);
    TAlbumList& albums = queue_->Albums();
    albums.AlbumView = this;
    albums.OnMessage = [this](const UserMessage& message) { ShowMessage(message); };
    queue_->OnSaveFailed = [this](const std::string& error) {
        ShowWarning(QString("The transfer list could not be saved:\n%1").arg(Q(error)));
    };
    connect(&context_.Engine(), &WindowEngine::albumsChanged, this, [this] {
        RefreshAlbumTitles();
        UpdateCommands();
    });
    connect(&context_.Engine(), &WindowEngine::photosChanged, this, &AlbumsController::UpdateCommands);
    connect(page_.Content_View, &QListWidget::itemSelectionChanged, this, &AlbumsController::UpdateCommands);

    IntakeHooks& hooks = queue_->Intake().Hooks;
    hooks.FormatCaption = [this](const std::string& path, std::int64_t size, int width, int height) {
        // The queue keeps the stored dimensions (the service is sent those); the caption gives
        // them upright, as the selection page and retouch show the photo.
        if (SwapsSides(ExifOrientationOfFile(path))) std::swap(width, height);
        return context_.CaptionFor(path, size, width, height);
    };
    hooks.BeginBusy = [this](int count) { context_.BeginBusy(count, false); };
    hooks.StepProgress = [this] { context_.StepProgress(); };
    hooks.EndBusy = [this] { context_.EndBusy(); };
    hooks.SaveTransferList = [this] { SaveTransferList(); };
    hooks.ConfirmSameContent = [this](const std::string& name) { return ConfirmSameContent(name); };
    // A "to all" answer is forgotten as soon as its loop ends, or another one starts.
    connect(&context_, &AppContext::stepLoopsChanged, this, [this] { sameContentForAll_.reset(); });
    // New caption settings give every queued photo its new caption.
    connect(&context_, &AppContext::settingsChanged, this, [this] { queue_->ResetCaptions(); });

    panelHolder_ = new QWidget;
    panelHolder_->setObjectName("Album_Holder");
    panelHolder_->setAutoFillBackground(true);
    panelHolder_->setPalette(AlbumPanel::HolderPalette(panelHolder_->palette()));
    panelLayout_ = new QVBoxLayout(panelHolder_);
    panelLayout_->setContentsMargins(0, 0, 0, 0);
    panelLayout_->setSpacing(1);
    panelLayout_->addStretch();
    page_.Album_Scroll->setWidget(panelHolder_);

    list->AcceptsFileDrops = [this] { return AcceptsFileDrops && AcceptsFileDrops(); };
    connect(list, &ContentListWidget::filesDropped, this, &AlbumsController::DropFilesOnContent);
    ConnectCommands();
}

void AlbumsController::ConnectCommands() {
    auto on = [this](ActionId id, auto command) { connect(context_.Action(id), &QAction::triggered, this, command); };
    on(ActionId::AlbumAdd1, &AlbumsController::AddAlbumCommand);
    on(ActionId::AlbumDel1, &AlbumsController::DeleteAlbumCommand);
    on(ActionId::AlbumEdit1, &AlbumsController::EditAlbumCommand);
    on(ActionId::EditDelete1, &AlbumsController::RemovePhotosCommand);
    on(ActionId::ImgRotL1, [this] { RotateCommand(false); });
    on(ActionId::ImgRotR1, [this] { RotateCommand(true); });
    on(ActionId::ImgEdit1, &AlbumsController::EditPhotosCommand);

    // The pop-up of the content list: one item, removing the selected photos.
    QListWidget* content = page_.Content_View;
    auto* remove = new QAction(context_.Translate("SupList_Menu"), content);
    remove->setObjectName("SupList_Menu");
    connect(remove, &QAction::triggered, context_.Action(ActionId::EditDelete1), &QAction::trigger);
    content->setContextMenuPolicy(Qt::ActionsContextMenu);
    content->addAction(remove);
    connect(content, &QListWidget::itemDoubleClicked, context_.Action(ActionId::ImgEdit1), &QAction::trigger);
}

AlbumsController::~AlbumsController() {
    // The panels go with their widgets; the engine's queue, which stays, must not call back into
    // this page.
    queue_->Albums().AlbumView = nullptr;
    queue_->Albums().OnMessage = nullptr;
    queue_->OnSaveFailed = nullptr;
    queue_->Intake().Hooks = {};
    context_.Engine().Core().ContentView().Attach(nullptr);
}

TileImageList& AlbumsController::ContentImages() { return context_.QueueTiles(); }

std::optional<std::pair<int, int>> AlbumsController::QueuedPhotoSize(int imageIndex) {
    TAlbumList& albums = queue_->Albums();
    const auto sizeIn = [imageIndex](const TAlbum& album) -> std::optional<std::pair<int, int>> {
        const int job = album.IndexOfImage(imageIndex);
        if (job < 0) return std::nullopt;
        const TImageJob& photo = album.Jobs().Items(job);
        return std::pair{photo.Width, photo.Height};
    };
    if (const TAlbum* current = albums.CurrentAlbum())
        if (auto size = sizeIn(*current)) return size;
    for (int i = 0; i < albums.Count(); ++i)
        if (auto size = sizeIn(albums.Items(i))) return size;
    return std::nullopt;
}

bool AlbumsController::ConfirmSameContent(const std::string& name) {
    if (sameContentForAll_) return *sameContentForAll_;
    // Inside a loop over photos the answer may stand for the loop's other photos too.
    const bool inLoop = context_.StepLoopRunning();
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (inLoop) buttons |= QMessageBox::YesToAll | QMessageBox::NoToAll;
    const auto answer =
        QMessageBox::question(context_.DialogParent(), context_.Title(),
                              Q(FormatPattern(context_.Language().Translate("SamePhotoAgain"), {name})), buttons);
    if (inLoop && (answer == QMessageBox::YesToAll || answer == QMessageBox::NoToAll))
        sameContentForAll_ = answer == QMessageBox::YesToAll;
    return answer == QMessageBox::Yes || answer == QMessageBox::YesToAll;
}

void AlbumsController::CreateFirstAlbum() { queue_->DefaultAlbum(); }

void AlbumsController::FirstActivation() {
    TAlbumList& albums = queue_->Albums();
    albums.SelectAlbum(albums.DefaultAlbumIndex);
    if (auto loaded = queue_->Load(); !loaded) {
        const TransferListError& problem = loaded.error();
        const std::string text =
            problem.keptAs.empty()
                ? FormatPattern(context_.Language().Translate("ListNotMoved"), {problem.reason, queue_->ListPath()})
                : FormatPattern(context_.Language().Translate("ListSetAside"), {problem.reason, problem.keptAs});
        ShowWarning(Q(text));
    }
    // The list is written once, whole, after loading: a crash while photos are being restored
    // leaves the previous file as it was.
    SaveTransferList();
    RefreshContentTitle();
}

bool AlbumsController::SaveTransferList() {
    return queue_->Save().has_value();  // a failure is shown through the queue's OnSaveFailed
}

void AlbumsController::ShowWarning(const QString& text) {
    QMessageBox::warning(context_.DialogParent(), context_.Title(), text);
}

void AlbumsController::ShowMessage(const UserMessage& message) {
    const std::string pattern = context_.Language().Translate(message.key);
    std::string text = pattern;
    switch (message.args.size()) {
    case 0: break;
    case 1: text = FormatPattern(pattern, {message.args[0]}); break;
    case 2: text = FormatPattern(pattern, {message.args[0], message.args[1]}); break;
    default: text = FormatPattern(pattern, {message.args[0], message.args[1], message.args[2]}); break;
    }
    ShowWarning(Q(text));  // a refusal or a failure
}

void AlbumsController::RefreshAlbumTitles() {
    const int count = queue_->Albums().Count();
    page_.AlbumTitle_Panel->setText(QString("%1 %2").arg(count).arg(
        context_.Translate(count < 2 ? "Album_Sing" : "Album_Plur")));
    RefreshContentTitle();
}

void AlbumsController::RefreshContentTitle() {
    TAlbum* album = queue_->Albums().CurrentAlbum();
    if (!album) return;
    const auto count = static_cast<std::int64_t>(album->Jobs().Count());
    const std::string word = context_.Language().Translate(count < 2 ? "Img_Sing" : "Img_Plur");
    page_.ContentTitle_Panel->setText(
        Q(FormatPattern(context_.Language().Translate("ImgInAlbum"), {count, word, album->AlbumName()})));
}

AlbumPanel* AlbumsController::PanelOf(const TAlbum& album) const {
    auto found = panels_.find(&album);
    return found == panels_.end() ? nullptr : found->second;
}

void AlbumsController::AlbumCreated(TAlbum& album) {
    auto* panel = new AlbumPanel(album, panelHolder_);
    panels_[&album] = panel;
    panelLayout_->insertWidget(panelLayout_->count() - 1, panel);
    AlbumCountChanged(album);
    connect(panel, &AlbumPanel::clicked, this, [this](AlbumPanel* p) {
        queue_->Albums().SelectAlbum(queue_->Albums().IndexOfAlbum(&p->Album()));
    });
    connect(panel, &AlbumPanel::nameEditBegun, this, [this](AlbumPanel* p) {
        queue_->Albums().SelectAlbum(queue_->Albums().IndexOfAlbum(&p->Album()));
    });
    connect(panel, &AlbumPanel::nameEditEnded, this, &AlbumsController::OnNameEditEnded);
    connect(panel, &AlbumPanel::dragEntered, this, [this](AlbumPanel* p, bool) { queue_->Albums().Highlight(&p->Album()); });
    connect(panel, &AlbumPanel::dragLeft, this, [this](AlbumPanel* p) { queue_->Albums().RemoveHighlight(p->Album()); });
    connect(panel, &AlbumPanel::tilesDropped, this, [this](AlbumPanel* p) {
        queue_->Albums().RemoveHighlight(p->Album());
        TAlbum* source = queue_->Albums().CurrentAlbum();
        // A photo moved during a run waits for the next one in its new album.
        if (source && &p->Album() != source && WithdrawFromRun(*source, SelectedPaths(*source)))
            queue_->Albums().MoveSelectedJobs(p->Album());
    });
    connect(panel, &AlbumPanel::filesDropped, this, [this](AlbumPanel* p, const QStringList& files) {
        queue_->Albums().RemoveHighlight(p->Album());
        queue_->Albums().SelectAlbum(queue_->Albums().IndexOfAlbum(&p->Album()));
        DropFilesOnContent(files);
    });
}

void AlbumsController::AlbumDestroying(TAlbum& album) {
    auto found = panels_.find(&album);
    if (found == panels_.end()) return;
    found->second->hide();
    found->second->deleteLater();
    panels_.erase(found);
}

void AlbumsController::AlbumsRestacked(TAlbumList& list) {
    // The layout is emptied and refilled in list order. Moving or re-adding each panel as a widget
    // would make the layout search itself per panel (seconds for ten thousand albums); the panels
    // stay children of the holder, so plain items are enough.
    while (QLayoutItem* item = panelLayout_->takeAt(panelLayout_->count() - 1)) delete item;
    for (int i = 0; i < list.Count(); ++i)
        if (AlbumPanel* panel = PanelOf(list.Items(i))) panelLayout_->addItem(new QWidgetItem(panel));
    panelLayout_->addStretch();
}

void AlbumsController::AlbumCurrentChanged(TAlbum& album) {
    if (AlbumPanel* panel = PanelOf(album)) panel->ShowCurrent(album.IsCurrent());
}

void AlbumsController::AlbumCountChanged(TAlbum& album) {
    AlbumPanel* panel = PanelOf(album);
    if (!panel) return;
    const auto count = static_cast<std::int64_t>(album.Jobs().Count());
    const std::string word = context_.Language().Translate(count < 2 ? "Img_Sing" : "Img_Plur");
    panel->ShowCount(Q(FormatPattern(context_.Language().Translate("ToTransfer"), {count, word})));
}

void AlbumsController::AlbumNameChanged(TAlbum& album) {
    if (AlbumPanel* panel = PanelOf(album)) panel->ShowName();
}

void AlbumsController::AlbumHighlightChanged(TAlbum& album) {
    if (AlbumPanel* panel = PanelOf(album)) panel->ShowHighlight(album.IsHighlighted());
}

void AlbumsController::OnNameEditEnded(AlbumPanel* panel, const QString& text) {
    const std::string before = panel->Album().AlbumName();
    const NameEditOutcome outcome = queue_->Albums().EndNameEdit(panel->Album(), text.toStdString());
    // A run going on sends the album under its new name.
    if (panel->Album().AlbumName() != before) queue_->Claims().Renamed(before, panel->Album().AlbumName());
    if (outcome != NameEditOutcome::Duplicate) panel->ShowName();  // a refused text stays to be corrected
    if (outcome == NameEditOutcome::Accepted) return;
    // A refused name keeps the field in edit until the user gives an acceptable one.
    panel->ResumeNameEdit();
}

void AlbumsController::AddAlbumCommand() {
    bool ok = false;
    const QString answer = QInputDialog::getText(context_.DialogParent(), context_.Translate("NewAlbum"),
                                                 context_.Translate("TypeAlbumName"), QLineEdit::Normal, QString(), &ok);
    if (!ok) return;
    queue_->Albums().AddAlbumFromUser(answer.toStdString());
}

void AlbumsController::DeleteAlbumCommand() {
    TAlbum* album = queue_->Albums().CurrentAlbum();
    if (!album || !MayChangeAlbum(*album)) return;
    if (context_.Settings().AskAlbum) {
        const QString question =
            Q(FormatPattern(context_.Language().Translate("DelAlbum"), {album->AlbumName()}));
        if (QMessageBox::question(context_.DialogParent(), context_.Title(), question) != QMessageBox::Yes) return;
    }
    if (queue_->Albums().CurrentAlbum() != album || !WithdrawFromRun(*album, album->WorkPaths())) return;
    queue_->Albums().DeleteCurrentAlbum();
}

void AlbumsController::EditAlbumCommand() {
    if (TAlbum* album = queue_->Albums().CurrentAlbum(); album && MayChangeAlbum(*album))
        if (AlbumPanel* panel = PanelOf(*album)) panel->BeginNameEdit();
}

void AlbumsController::RemovePhotosCommand() {
    TAlbum* album = queue_->Albums().CurrentAlbum();
    if (!album || contentView_->SelectedCount() == 0 || !MayChangeAlbum(*album)) return;
    if (context_.Settings().AskImage &&
        QMessageBox::question(context_.DialogParent(), context_.Title(), context_.Translate("SureToDelete")) != QMessageBox::Yes)
        return;
    // The run may have reached the album while the question was open.
    if (queue_->Albums().CurrentAlbum() != album || !WithdrawFromRun(*album, SelectedPaths(*album))) return;
    album->RemoveSelectedJobs();
}

void AlbumsController::RotateCommand(bool clockwise) {
    if (context_.BusyCount() > 0 || steps_->Running()) return;
    // The photos are named by their tiles: the list may change between two turns.
    auto selected = std::make_shared<std::vector<int>>();
    for (int item = 0; item < contentView_->ItemCount(); ++item)
        if (contentView_->ItemSelected(item)) selected->push_back(contentView_->ItemImageIndex(item));
    const TurnDirection direction = clockwise ? TurnDirection::Clockwise : TurnDirection::CounterClockwise;
    steps_->Start(
        static_cast<int>(selected->size()), true,
        [this, selected, direction](int step) { RotateJob((*selected)[static_cast<std::size_t>(step)], direction); },
        [this] { page_.Content_View->setFocus(); });
}

void AlbumsController::RotateJob(int imageIndex, TurnDirection direction) {
    // The album that holds the photo now (another may have become current); a photo removed
    // since the command is not turned.
    TAlbumList& albums = queue_->Albums();
    TAlbum* album = nullptr;
    for (int a = 0; a < albums.Count() && !album; ++a)
        if (albums.Items(a).IndexOfImage(imageIndex) >= 0) album = &albums.Items(a);
    if (!album) return;
    const int index = album->IndexOfImage(imageIndex);
    TImageJob& job = album->Jobs().Items(index);
    // A run that reaches the album meanwhile leaves it out rather than send a half-turned photo.
    const RewriteHold hold(*queue_, *album, {job.WorkPath});
    if (!hold.Held()) {
        steps_->Cancel();  // the other photos of the album are the run's too: one message
        return ShowAlbumBeingSent(*album);
    }
    ImageWorkspace& workspace = context_.Workspace();
    auto turned = RotateImageFile(workspace, job.WorkPath, direction, context_.Settings().CompRate);
    if (!turned) {
        ShowMessage({"BadPictErr", {FileNameOf(job.WorkPath)}});
        return;
    }
    ContentImages().Replace(imageIndex, TilePixmap(workspace.workBitmap));
    queue_->PhotoRewritten(*album, index, turned->size.width, turned->size.height);
}

void AlbumsController::EditPhotosCommand() {
    TAlbum* album = queue_->Albums().CurrentAlbum();
    if (!album || contentView_->SelectedCount() == 0) return;
    // A run leaves the album out while the dialog may rewrite its photos.
    const RewriteHold hold(*queue_, *album);
    if (!hold.Held()) return ShowAlbumBeingSent(*album);
    // The dialog opens on the first chosen photo; the queue tells the window of what it saves.
    int first = 0;
    while (!contentView_->ItemSelected(first)) ++first;
    TEdit_Dlog dialog(context_, *album, album->IndexOfImage(contentView_->ItemImageIndex(first)));
    dialog.exec();
}

void AlbumsController::UpdateCommands() {
    TAlbum* current = queue_->Albums().CurrentAlbum();
    const bool free = !current || queue_->MayChange(*current);
    const bool anyAlbum = queue_->Albums().Count() > 0;
    context_.Action(ActionId::AlbumDel1)->setEnabled(free && anyAlbum);
    context_.Action(ActionId::AlbumEdit1)->setEnabled(free && anyAlbum);
    context_.Action(ActionId::EditDelete1)->setEnabled(free && pageShown_ && contentView_->SelectedCount() > 0);
    for (ActionId id : {ActionId::ImgRotL1, ActionId::ImgRotR1, ActionId::ImgEdit1}) context_.Action(id)->setEnabled(free);
}

void AlbumsController::SetPageShown(bool shown) {
    pageShown_ = shown;
    UpdateCommands();
}

bool AlbumsController::MayChangeAlbum(const TAlbum& album) {
    if (queue_->MayChange(album)) return true;
    ShowAlbumBeingSent(album);
    return false;
}

bool AlbumsController::WithdrawFromRun(const TAlbum& album, const std::vector<std::string>& paths) {
    if (queue_->Claims().Withdraw(album.WorkPaths(), paths)) return true;
    ShowAlbumBeingSent(album);
    return false;
}

void AlbumsController::ShowAlbumBeingSent(const TAlbum& album) {
    ShowWarning(Q(FormatPattern(context_.Language().Translate("AlbumBeingSent"), {album.AlbumName()})));
}

std::vector<std::string> AlbumsController::SelectedPaths(const TAlbum& album) const {
    std::vector<std::string> paths;
    for (int item = 0; item < contentView_->ItemCount(); ++item)
        if (contentView_->ItemSelected(item))
            if (const int index = album.IndexOfImage(contentView_->ItemImageIndex(item)); index >= 0)
                paths.push_back(album.Jobs().Items(index).WorkPath);
    return paths;
}

void AlbumsController::DropFilesOnContent(const QStringList& files) {
    if (steps_->Running()) return;
    auto names = std::make_shared<std::vector<std::string>>();
    for (const QString& file : files) names->push_back(file.toStdString());
    // The files go into the album current at the drop, even when another one is chosen meanwhile.
    TAlbum* target = queue_->Albums().CurrentAlbum();
    steps_->Start(
        static_cast<int>(names->size()), false,
        [this, names, target](int step) {
            if (queue_->Albums().IndexOfAlbum(target) < 0) {  // the album was deleted meanwhile
                steps_->Cancel();
                return;
            }
            queue_->Intake().DropFile((*names)[static_cast<std::size_t>(step)], target);
        },
        [this] { SaveTransferList(); });
}

}  // namespace vantrel::gui

