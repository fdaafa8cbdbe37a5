#include "gui/albums/AlbumsController.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/albums/TransferListFile.h"
#include "core/app/FormatPattern.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/SizeText.h"
#include "gui/albums/AlbumPanel.h"
#include "gui/albums/OrganizePage.h"
#include "gui/app/MainWindow.h"
#include "gui/retouch/TEdit_Dlog.h"

static void InitIconResources() { Q_INIT_RESOURCE(icons); }

namespace vantrel::gui {

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

AlbumsController::AlbumsController(TMain_Dlog& window, OrganizePage& page, ImageWorkspace& workspace,
                                   std::string transferListFile)
    : QObject(&window), window_(window), page_(page), workspace_(workspace),
      transferListFile_(std::move(transferListFile)) {
    InitIconResources();
    auto* list = static_cast<ContentListWidget*>(page_.Content_View);
    contentView_ = std::make_unique<ContentListView>(*list, contentImages_);
    imaging_ = std::make_unique<TJpegPhotoImaging>(
        workspace_, [this] { return window_.Settings().CompRate; },
        [this](const RgbBitmap& tile) -> std::expected<int, std::string> {
            return contentImages_.Add(QPixmap::fromImage(ToQImage(tile)));
        });
    albums_ = std::make_unique<TAlbumList>(*contentView_, window_.Locale().systemMonthNames);
    albums_->AlbumView = this;
    albums_->OnMessage = [this](const TUserMessage& message) { ShowMessage(message); };
    albums_->OnAlbumsChanged = [this](TAlbumList&) {
        RefreshAlbumTitles();
        emit albumsChanged();
    };
    albums_->OnContentChanged = [this](TAlbum*) {
        emit contentChanged();
        if (!loading_) SaveTransferList();
    };

    intake_ = std::make_unique<TPhotoIntake>(*albums_, *imaging_, window_.WorkFolder(), window_.Locale().monthNames);
    TIntakeHooks& hooks = intake_->Hooks;
    hooks.FormatCaption = [this](const std::string& path, std::int64_t size, int width, int height) {
        return CaptionFor(path, size, width, height);
    };
    hooks.BeginBusy = [this](int count) { window_.BeginBusy(count, false); };
    hooks.StepProgress = [this] { window_.StepProgress(); };
    hooks.EndBusy = [this] { window_.EndBusy(); };
    hooks.Pump = [] { QApplication::processEvents(); };
    hooks.SaveTransferList = [this] { SaveTransferList(); };

    panelHolder_ = new QWidget;
    panelHolder_->setObjectName("Album_Holder");
    panelHolder_->setAutoFillBackground(true);
    panelHolder_->setPalette(AlbumPanel::HolderPalette(panelHolder_->palette()));
    panelLayout_ = new QVBoxLayout(panelHolder_);
    panelLayout_->setContentsMargins(0, 0, 0, 0);
    panelLayout_->setSpacing(1);
    panelLayout_->addStretch();
    page_.Album_Scroll->setWidget(panelHolder_);

    list->AcceptsFileDrops = [this] {
        return window_.BusyCount() == 0 && window_.PageControl()->isVisible() &&
               window_.PageControl()->currentIndex() == TMain_Dlog::OrganizeSheet;
    };
    connect(list, &ContentListWidget::filesDropped, this, &AlbumsController::DropFilesOnContent);
}

AlbumsController::~AlbumsController() {
    // The panels go with their widgets; the list must not call back into a half-destroyed view.
    albums_->AlbumView = nullptr;
    albums_->OnAlbumsChanged = nullptr;
    albums_->OnContentChanged = nullptr;
}

std::string AlbumsController::CaptionFor(const std::string& path, std::int64_t size, int width, int height) const {
    const TSettings& s = window_.Settings();
    return FormatThumbCaption(path, static_cast<std::uint64_t>(size), width, height,
                              {s.ShowName, s.ShowLen, s.ShowSize}, window_.SizeStyle());
}

void AlbumsController::CreateFirstAlbum() {
    const int index = albums_->AddAlbum(DefaultAlbumName(window_.Locale().monthNames, LocalToday()));
    albums_->DefaultAlbumIndex = index;
}

void AlbumsController::FirstActivation() {
    albums_->SelectAlbum(albums_->DefaultAlbumIndex);
    loading_ = true;
    auto loaded = LoadTransferList(*albums_, *intake_, transferListFile_);
    loading_ = false;
    if (!loaded) {
        // The unreadable file is kept, never overwritten: moved aside, or left alone when it cannot be.
        const TransferListProblem& problem = loaded.error();
        listWritable_ = !problem.keptAs.empty();
        const std::string text =
            listWritable_ ? FormatPattern(window_.Language().Translate("ListSetAside"), {problem.reason, problem.keptAs})
                          : FormatPattern(window_.Language().Translate("ListNotMoved"), {problem.reason, transferListFile_});
        QMessageBox::warning(&window_, window_.windowTitle(), Q(text));
    }
    // The list is written once, whole, after loading: a crash while photos are being restored
    // leaves the previous file as it was.
    SaveTransferList();
    RefreshContentTitle();
}

bool AlbumsController::SaveTransferList() {
    if (loading_ || !listWritable_) return false;  // the file on disk still holds the whole list
    auto saved = ::vantrel::SaveTransferList(*albums_, transferListFile_);
    if (!saved) {
        QMessageBox::warning(&window_, window_.windowTitle(),
                             QString("The transfer list could not be saved:\n%1").arg(Q(saved.error())));
        return false;
    }
    return true;
}

void AlbumsController::ShowMessage(const TUserMessage& message) {
    const std::string pattern = window_.Language().Translate(message.key);
    std::string text = pattern;
    switch (message.args.size()) {
    case 0: break;
    case 1: text = FormatPattern(pattern, {message.args[0]}); break;
    case 2: text = FormatPattern(pattern, {message.args[0], message.args[1]}); break;
    default: text = FormatPattern(pattern, {message.args[0], message.args[1], message.args[2]}); break;
    }
    QMessageBox::information(&window_, window_.windowTitle(), Q(text));
}

void AlbumsController::RefreshAlbumTitles() {
    const int count = albums_->Count();
    page_.AlbumTitle_Panel->setText(QString("%1 %2").arg(count).arg(
        window_.Translate(count < 2 ? "Album_Sing" : "Album_Plur")));
    RefreshContentTitle();
}

void AlbumsController::RefreshContentTitle() {
    TAlbum* album = albums_->CurrentAlbum();
    if (!album) return;
    const auto count = static_cast<std::int64_t>(album->Jobs().Count());
    const std::string word = window_.Language().Translate(count < 2 ? "Img_Sing" : "Img_Plur");
    page_.ContentTitle_Panel->setText(
        Q(FormatPattern(window_.Language().Translate("ImgInAlbum"), {count, word, album->AlbumName()})));
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
        albums_->SelectAlbum(albums_->IndexOfAlbum(&p->Album()));
    });
    connect(panel, &AlbumPanel::nameEditBegun, this, [this](AlbumPanel* p) {
        albums_->SelectAlbum(albums_->IndexOfAlbum(&p->Album()));
    });
    connect(panel, &AlbumPanel::nameEditEnded, this, &AlbumsController::OnNameEditEnded);
    connect(panel, &AlbumPanel::dragEntered, this, [this](AlbumPanel* p, bool) { albums_->Highlight(&p->Album()); });
    connect(panel, &AlbumPanel::dragLeft, this, [this](AlbumPanel* p) { albums_->RemoveHighlight(p->Album()); });
    connect(panel, &AlbumPanel::tilesDropped, this, [this](AlbumPanel* p) {
        albums_->RemoveHighlight(p->Album());
        albums_->MoveSelectedJobs(p->Album());
    });
    connect(panel, &AlbumPanel::filesDropped, this, [this](AlbumPanel* p, const QStringList& files) {
        albums_->RemoveHighlight(p->Album());
        albums_->SelectAlbum(albums_->IndexOfAlbum(&p->Album()));
        std::vector<std::string> names;
        for (const QString& file : files) names.push_back(file.toStdString());
        intake_->DropFiles(names);
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
    const std::string word = window_.Language().Translate(count < 2 ? "Img_Sing" : "Img_Plur");
    panel->ShowCount(Q(FormatPattern(window_.Language().Translate("ToTransfer"), {count, word})));
}

void AlbumsController::AlbumNameChanged(TAlbum& album) {
    if (AlbumPanel* panel = PanelOf(album)) panel->ShowName();
}

void AlbumsController::AlbumHighlightChanged(TAlbum& album) {
    if (AlbumPanel* panel = PanelOf(album)) panel->ShowHighlight(album.IsHighlighted());
}

void AlbumsController::OnNameEditEnded(AlbumPanel* panel, const QString& text) {
    const TNameEditOutcome outcome = albums_->EndNameEdit(panel->Album(), text.toStdString());
    if (outcome != TNameEditOutcome::Duplicate) panel->ShowName();  // a refused text stays to be corrected
    if (outcome == TNameEditOutcome::Accepted) {
        emit albumsChanged();
        return;
    }
    // A refused name keeps the field in edit until the user gives an acceptable one.
    panel->ResumeNameEdit();
}

void AlbumsController::AddAlbumCommand() {
    bool ok = false;
    const QString answer = QInputDialog::getText(&window_, window_.Translate("NewAlbum"),
                                                 window_.Translate("TypeAlbumName"), QLineEdit::Normal, QString(), &ok);
    if (!ok) return;
    albums_->AddAlbumFromUser(answer.toStdString());
    emit albumsChanged();
}

void AlbumsController::DeleteAlbumCommand() {
    TAlbum* album = albums_->CurrentAlbum();
    if (!album) return;
    if (window_.Settings().AskAlbum) {
        const QString question =
            Q(FormatPattern(window_.Language().Translate("DelAlbum"), {album->AlbumName()}));
        if (QMessageBox::question(&window_, window_.windowTitle(), question) != QMessageBox::Yes) return;
    }
    albums_->DeleteCurrentAlbum();
    emit albumsChanged();
}

void AlbumsController::EditAlbumCommand() {
    if (TAlbum* album = albums_->CurrentAlbum())
        if (AlbumPanel* panel = PanelOf(*album)) panel->BeginNameEdit();
}

void AlbumsController::RemovePhotosCommand() {
    TAlbum* album = albums_->CurrentAlbum();
    if (!album || contentView_->SelectedCount() == 0) return;
    if (window_.Settings().AskImage &&
        QMessageBox::question(&window_, window_.windowTitle(), window_.Translate("SureToDelete")) != QMessageBox::Yes)
        return;
    album->RemoveSelectedJobs();
}

void AlbumsController::RotateCommand(bool clockwise) {
    if (window_.BusyCount() > 0) return;
    QList<int> selected;
    for (int item = 0; item < contentView_->ItemCount(); ++item)
        if (contentView_->ItemSelected(item)) selected << item;
    window_.BeginBusy(static_cast<int>(selected.size()), true);
    for (int item : selected) {
        RotateJob(item, clockwise ? TurnDirection::Clockwise : TurnDirection::CounterClockwise);
        window_.StepProgress();
        QApplication::processEvents();
    }
    window_.EndBusy();
    page_.Content_View->setFocus();
}

void AlbumsController::RotateJob(int item, TurnDirection direction) {
    TAlbum* album = albums_->CurrentAlbum();
    if (!album || item >= contentView_->ItemCount()) return;
    const int imageIndex = contentView_->ItemImageIndex(item);
    const int index = album->IndexOfImage(imageIndex);
    if (index < 0) return;
    TImageJob& job = album->Jobs().Items(index);
    auto turned = RotateImageFile(workspace_, job.WorkPath, direction, window_.Settings().CompRate);
    if (!turned) {
        ShowMessage({"BadPictErr", {FileNameOf(job.WorkPath)}});
        return;
    }
    job.Width = turned->width;
    job.Height = turned->height;
    album->SetJobCaption(index, CaptionFor(job.WorkPath, job.PhotoSize, job.Width, job.Height));
    contentImages_.Replace(imageIndex, QPixmap::fromImage(ToQImage(workspace_.workBitmap)));
    contentView_->RefreshTile(imageIndex);
}

void AlbumsController::EditPhotosCommand() {
    TAlbum* album = albums_->CurrentAlbum();
    if (!album || contentView_->SelectedCount() == 0) return;
    {
        TEdit_Dlog dialog(window_, *album);
        dialog.exec();
    }
    window_.UpdateTransferSummary();
}

void AlbumsController::DropFilesOnContent(const QStringList& files) {
    std::vector<std::string> names;
    for (const QString& file : files) names.push_back(file.toStdString());
    intake_->DropFiles(names);
}

}  // namespace vantrel::gui

namespace vantrel::gui {

void AlbumsController::ResetCaptions() {
    for (int a = 0; a < albums_->Count(); ++a) {
        TAlbum& album = albums_->Items(a);
        for (int j = 0; j < album.Jobs().Count(); ++j) {
            const TImageJob& job = album.Jobs().Items(j);
            album.SetJobCaption(j, CaptionFor(job.WorkPath, job.PhotoSize, job.Width, job.Height));
        }
    }
}

}  // namespace vantrel::gui
