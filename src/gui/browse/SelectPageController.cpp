#include "gui/browse/SelectPageController.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QStackedWidget>
#include <QThread>
#include <QTreeView>

#include "core/albums/TransferQueue.h"
#include "core/app/FormatPattern.h"
#include "core/imaging/ExifOrientation.h"
#include "core/imaging/FileBytes.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/Tiles.h"
#include "gui/browse/AlbumsPhotoAdder.h"
#include "gui/browse/FolderTree.h"
#include "gui/browse/PhotoAdder.h"
#include "gui/browse/PhotoInfoPanel.h"
#include "gui/browse/SelectPage.h"
#include "gui/browse/SlideshowView.h"
#include "gui/browse/ThumbItem.h"
#include "gui/browse/ThumbListTiles.h"
#include "gui/kit/AppContext.h"
#include "gui/kit/StepLoop.h"

namespace vantrel::gui {

SelectPageController::SelectPageController(AppContext& context, const SelectPageParts& parts, int decoders)
    : context_(context), page_(parts.page), startFolder_(parts.startFolder),
      locale_(context.Locale()), pbar3_(parts.decodeProgress) {
    sizeStyle_.megabytes = context_.Translate("Panel_Mb").toStdString();
    sizeStyle_.kilobytes = context_.Translate("Panel_Kb").toStdString();
    sizeStyle_.decimalSeparator = locale_.decimalSeparator;
    ws_.textPainter = &painter_;
    ws_.badImageText = context_.Translate("BadJpegErr").toStdString();
    ws_.progress = [this](int percent) {
        if (!pbar3_) return;
        pbar3_->setVisible(true);
        pbar3_->setValue(percent);
        pbar3_->repaint();
    };

    ShowMessage = [this](const QString& text) { QMessageBox::warning(context_.DialogParent(), context_.Title(), text); };

    tree_ = new FolderTree(page_.Shell_Tree);
    connect(tree_, &FolderTree::folderSelected, this, [this](const QString& path) { worker_->RequestFolder(path); });
    BuildMenus();
    ConnectActions();
    AlignInfoCaptions(page_);
    page_.Thumb_View->installEventFilter(this);
    page_.Thumb_View->viewport()->installEventFilter(this);  // double clicks, on a tile or beside
    page_.installEventFilter(this);  // the slideshow's keys, from wherever in the page they come
    tiles_ = new ThumbListTiles(*page_.Thumb_View, [this](std::size_t first, std::size_t last,
                                                           const std::vector<std::size_t>& missing) {
        if (worker_) worker_->ShowRows(first, last, missing);
    });

    queue_ = &context_.Queue();
    ownAdder_ = std::make_unique<AlbumsPhotoAdder>(*queue_);
    adder_ = ownAdder_.get();
    connect(&context_.Engine(), &WindowEngine::albumsChanged, this, &SelectPageController::RebuildAlbumMenu);
    addSteps_ = new StepLoop(context_, this);
    connect(addSteps_, &StepLoop::ended, this, &SelectPageController::UpdateAddAction);
    StartWorker(decoders);
    ShowThumbnails();
    ShowPhotoInfo(page_, PhotoInfoTexts{});
}

SelectPageController::~SelectPageController() {
    page_.removeEventFilter(this);
    worker_.reset();  // stops and waits for the worker before the page goes
}

void SelectPageController::StartWorker(int decoders) {
    if (decoders <= 0) decoders = QThread::idealThreadCount() >= 2 ? 2 : 1;
    const QString requested = worker_ ? worker_->RequestedFolder() : QString();
    worker_.reset();
    if (listingBusy_) {
        // The stopped worker never ends the listing it had begun: its busy state is closed here.
        listingBusy_ = false;
        context_.EndBusy();
    }
    const std::uint64_t cacheBytes = std::uint64_t(context_.Settings().TileCacheMB) * 1024 * 1024;
    worker_ = std::make_unique<TThumbnailThread>(
        this, static_cast<ThumbnailSink&>(*this),
        ThumbnailSetup{decoders, &painter_, ws_.badImageText, tiles_->TileSide(), cacheBytes});
    if (!requested.isEmpty()) worker_->RequestFolder(requested);
}

void SelectPageController::SetDecoderCount(int decoders) { StartWorker(decoders); }

void SelectPageController::SetPhotoAdder(PhotoAdder* adder) {
    adder_ = adder;
    RebuildAlbumMenu();
}

void SelectPageController::FirstActivation() {
    const QString last = QString::fromStdString(context_.Settings().LastTree);
    if (last.isEmpty() || !SelectFolder(last)) SelectFolder(startFolder_);
    RebuildAlbumMenu();
}

QString SelectPageController::FirstFolder() {
    // The user's Pictures folder (XDG user folders) when it exists, else home: photos are there.
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && pictures != QDir::homePath() && QFileInfo(pictures).isDir()) return pictures;
    return QDir::homePath();
}

QString SelectPageController::CurrentFolder() const { return tree_->CurrentPath(); }

bool SelectPageController::SelectFolder(const QString& path) { return tree_->SelectPath(path); }

bool SelectPageController::SlideshowMode() const { return context_.Action(ActionId::ImgDiapo1)->isChecked(); }

void SelectPageController::ConnectActions() {
    auto on = [this](ActionId id, void (SelectPageController::*command)()) {
        connect(context_.Action(id), &QAction::triggered, this, command);
    };
    on(ActionId::ImgThumb1, &SelectPageController::ShowThumbnails);
    on(ActionId::ImgDiapo1, &SelectPageController::ShowSlideshow);
    on(ActionId::ImgFirst1, &SelectPageController::GoFirst);
    on(ActionId::ImgPrev1, &SelectPageController::GoPrevious);
    on(ActionId::ImgNext1, &SelectPageController::GoNext);
    on(ActionId::ImgLast1, &SelectPageController::GoLast);
    on(ActionId::ImgCompare1, &SelectPageController::OpenCompare);
    connect(context_.Action(ActionId::ImgAdd1), &QAction::triggered, this, [this] {
        const int index = AlbumIndexForAdd();
        if (index >= 0) AddSelectionToAlbum(index);
    });
    connect(page_.Thumb_View, &QListWidget::itemSelectionChanged, this, [this] {
        UpdateAddAction();  // even while lists fill: it reads nothing but the selection
        if (context_.BusyCount() > 0) return;
        UpdateInfoPanel();
        UpdateBrowseActions();
    });
}

void SelectPageController::BuildMenus() {
    selectMenu_ = new QMenu(&page_);
    selectMenu_->setObjectName("Select_Menu");
    changeViewMode_ = selectMenu_->addAction(context_.Translate("Show_Slide"));
    changeViewMode_->setObjectName("ChangeViewMode1");
    connect(changeViewMode_, &QAction::triggered, this, &SelectPageController::ChangeViewMode);
    selectMenu_->addSeparator();
    albumMenu_ = selectMenu_->addMenu(context_.Translate("AddList_Menu"));
    albumMenu_->setObjectName("AddTransferList1");
    albumMenu_->menuAction()->setEnabled(false);
    auto popup = [this](const QPoint& global) { selectMenu_->popup(global); };
    page_.Thumb_View->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(page_.Thumb_View, &QWidget::customContextMenuRequested, this,
            [this, popup](const QPoint& pos) { popup(page_.Thumb_View->viewport()->mapToGlobal(pos)); });
    connect(page_.Cur_Img, &SlideshowView::contextMenuRequested, this, popup);
}

// ---- the worker's steps, on this thread ----

void SelectPageController::StartFolderScan(int fileCount) {
    if (!SlideshowMode()) {
        SetHeader(fileCount == 0 ? " " + context_.Translate("NoImgInAlbum") : CountHeader(false));
    } else {
        page_.Cur_Img->hide();
        SetHeader(" " + context_.Translate("NoImgInAlbum"));
    }
    context_.BeginBusy(fileCount, false);
    page_.Thumb_View->clearSelection();
    page_.Thumb_View->clear();
    tiles_->Clear();
    context_.EndBusy();
    UpdateBrowseActions();
    if (fileCount == 0) emit listingFinished();
}

void SelectPageController::BeginListing(const QStringList& paths) {
    listingBusy_ = true;
    context_.BeginBusy(static_cast<int>(paths.size()), false);
    // Every row at once, in its final place, with its name; tiles and sizes follow.
    const CaptionParts nameOnly{context_.Settings().ShowName, false, false};
    QListWidget* list = page_.Thumb_View;
    list->setUpdatesEnabled(false);
    for (int row = 0; row < paths.size(); ++row) {
        const std::string caption = FormatThumbCaption(paths[row].toStdString(), 0, 0, 0, nameOnly, sizeStyle_);
        list->addItem(new ThumbItem(DisplayCaption(caption), tiles_->Blank(), row, paths[row]));
    }
    list->setUpdatesEnabled(true);
    tiles_->Schedule();
    if (SlideshowMode()) ShowSlideshow();
}

void SelectPageController::AddThumbnail(int row, const BrowserTile& tile, const QImage& picture) {
    auto* item = static_cast<ThumbItem*>(page_.Thumb_View->item(row));
    const QString path = QString::fromStdString(tile.path);
    if (item == nullptr || item->Path() != path) return;
    if (!item->Listed()) {
        // The row's first tile: its caption data, and the message about a file that cannot be read.
        if (tile.badPicture && ShowMessage) ShowMessage(BadPictureText(path));
        const UserSettings& settings = context_.Settings();
        const CaptionParts parts{settings.ShowName, settings.ShowLen, settings.ShowSize};
        item->setData(WidthRole, tile.width);
        item->setData(HeightRole, tile.height);
        item->setData(ListedRole, true);
        item->setText(DisplayCaption(FormatThumbCaption(tile.path, tile.size, tile.width, tile.height, parts, sizeStyle_)));
        StepProgress();
    }
    tiles_->Place(row, picture);
}

QPixmap SelectPageController::TileOf(int row) const { return tiles_->TileOf(row); }

std::size_t SelectPageController::TilesHeld() const { return tiles_->Held(); }

void SelectPageController::SetTileCapacity(std::size_t tiles) { tiles_->SetCapacity(tiles); }

void SelectPageController::EndListing() {
    listingBusy_ = false;
    context_.EndBusy();
    emit listingFinished();
}

void SelectPageController::StepProgress() { context_.StepProgress(); }

// ---- modes and the slideshow ----

QString SelectPageController::CountHeader(bool) const {
    const int n = worker_->FileCount();
    return " " + QString::number(n) + " " + context_.Translate(n > 1 ? "Img_Plur" : "Img_Sing");
}

void SelectPageController::SetHeader(const QString& text) { page_.Tool_Panel->setText(text); }

QString SelectPageController::BadPictureText(const QString& path) const {
    const std::string pattern = context_.Translate("BadPictErr").toStdString();
    return QString::fromStdString(
        FormatPattern(pattern, {QFileInfo(path).fileName().toStdString()}, locale_.decimalSeparator));
}

void SelectPageController::ShowThumbnails() {
    context_.Action(ActionId::ImgThumb1)->setChecked(true);
    context_.Action(ActionId::ImgDiapo1)->setChecked(false);
    page_.ShowStack->setCurrentWidget(page_.Thumb_Panel);
    SetHeader(CountHeader(false));
    page_.Thumb_View->doItemsLayout();
    UpdateBrowseActions();
}

void SelectPageController::ShowSlideshow() {
    context_.Action(ActionId::ImgThumb1)->setChecked(false);
    context_.Action(ActionId::ImgDiapo1)->setChecked(true);
    if (page_.Thumb_View->count() == 0) {
        page_.Cur_Img->hide();
    } else {
        const QList<int> rows = SelectedRows();
        SelectOnly(rows.isEmpty() ? 0 : rows.front());
        page_.Cur_Img->show();
    }
    ShowCurrentImage();
    page_.ShowStack->setCurrentWidget(page_.Diapo_Panel);
    page_.Cur_Img->setFocus();
}

void SelectPageController::ChangeViewMode() {
    if (!SlideshowMode()) {
        changeViewMode_->setText(context_.Translate("Show_Thumb"));
        ShowSlideshow();
    } else {
        changeViewMode_->setText(context_.Translate("Show_Slide"));
        ShowThumbnails();
    }
}

void SelectPageController::GoFirst() {
    if (page_.Thumb_View->count() > 0) SelectOnly(0);
    ShowCurrentImage();
}

void SelectPageController::GoPrevious() {
    const QList<int> rows = SelectedRows();
    const int i = rows.isEmpty() ? -1 : rows.front();
    if (page_.Thumb_View->count() > 0 && i > 0) SelectOnly(i - 1);
    ShowCurrentImage();
}

void SelectPageController::GoNext() {
    const QList<int> rows = SelectedRows();
    const int i = rows.isEmpty() ? -1 : rows.front();
    if (page_.Thumb_View->count() > 0 && i < page_.Thumb_View->count() - 1) SelectOnly(i + 1);
    ShowCurrentImage();
}

void SelectPageController::GoLast() {
    if (page_.Thumb_View->count() > 0) SelectOnly(page_.Thumb_View->count() - 1);
    ShowCurrentImage();
}

QImage SelectPageController::DecodeWhole(const QString& path) {
    const std::string file = path.toStdString();
    ReadImageHeader(ws_, file);
    const auto loaded = LoadImage(ws_, file);
    if (pbar3_) {
        pbar3_->setValue(0);
        pbar3_->hide();
    }
    if (loaded.outcome == DecodeOutcome::Unreadable) return {};
    if (!loaded.HasPicture()) DrawBadImageTile(ws_, ws_.workBitmap);
    else TurnUpright(ws_);
    return ToQImage(ws_.workBitmap);
}

void SelectPageController::ShowCurrentImage() {
    if (decoding_) return;  // a decode is running: the window's image objects are busy
    const QList<int> rows = SelectedRows();
    if (!rows.isEmpty()) {
        auto* item = static_cast<ThumbItem*>(page_.Thumb_View->item(rows.front()));
        decoding_ = true;
        QImage picture, fitted;
        if (auto slide = slidesAhead_->Take(item->Path())) {
            if (slide->undecodable) {
                DrawBadImageTile(ws_, ws_.workBitmap);
                picture = ToQImage(ws_.workBitmap);
            }
            if (!slide->unreadable && !slide->undecodable) {
                picture = slide->picture;
                fitted = slide->fitted;
            }
        } else {
            picture = DecodeWhole(item->Path());
        }
        decoding_ = false;
        if (picture.isNull()) {
            if (ShowMessage) ShowMessage(BadPictureText(item->Path()));
        } else {
            page_.Cur_Img->SetPicture(picture, fitted);
        }
        if (SlideshowMode()) {
            // The photos a step shows next are decoded meanwhile.
            QStringList around;
            for (int row : {rows.front() + 1, rows.front() - 1})
                if (row >= 0 && row < page_.Thumb_View->count())
                    around.append(static_cast<ThumbItem*>(page_.Thumb_View->item(row))->Path());
            slidesAhead_->Want(around, page_.Cur_Img->PixelSize());
        }
        SetHeader(" " + context_.Translate("Cap_Image") + " " + QString::number(rows.front() + 1) + " " +
                  context_.Translate("OutOf") + " " + QString::number(worker_->FileCount()));
    } else {
        SetHeader(" " + context_.Translate("NoImgInAlbum"));
    }
    UpdateInfoPanel();
    UpdateBrowseActions();
}

QList<int> SelectPageController::SelectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : page_.Thumb_View->selectionModel()->selectedIndexes()) rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void SelectPageController::SelectOnly(int row) {
    page_.Thumb_View->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    page_.Thumb_View->scrollToItem(page_.Thumb_View->item(row));
}

void SelectPageController::UpdateInfoPanel() {
    QList<SelectedPhoto> selection;
    for (int row : SelectedRows()) {
        auto* item = static_cast<ThumbItem*>(page_.Thumb_View->item(row));
        selection.append({item->Path(), item->PhotoWidth(), item->PhotoHeight()});
    }
    ShowPhotoInfo(page_, DescribeSelection(selection, sizeStyle_, context_.Translate("Img_Plur"),
                                           [this](std::string_view key) { return context_.Language().Translate(std::string(key)); }));
}

void SelectPageController::UpdateAddAction() {
    // The command adds the selected photos, in both modes: without a selection it has nothing to
    // add, and while an add runs it waits for that add to end.
    const bool adding = addSteps_ && addSteps_->Running();
    context_.Action(ActionId::ImgAdd1)->setEnabled(!adding && page_.Thumb_View->selectionModel()->hasSelection());
}

void SelectPageController::UpdateBrowseActions() {
    auto set = [this](ActionId id, bool on) { context_.Action(id)->setEnabled(on); };
    UpdateAddAction();
    const QList<int> rows = SelectedRows();
    if (!SlideshowMode()) {
        set(ActionId::ImgCompare1, rows.size() == 2);
        for (ActionId id : {ActionId::ImgFirst1, ActionId::ImgPrev1, ActionId::ImgNext1, ActionId::ImgLast1})
            set(id, false);
        return;
    }
    const int i = rows.isEmpty() ? -1 : rows.front();
    const int n = worker_->FileCount();
    set(ActionId::ImgFirst1, n > 0 && i > 0);
    set(ActionId::ImgPrev1, i > 0);
    set(ActionId::ImgNext1, n > 1 && i < n - 1);
    set(ActionId::ImgLast1, n >= 2 && i + 1 != n);
}

// ---- keys ----

bool SelectPageController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == page_.Thumb_View->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        ShowSlideshow();
    } else if (watched == page_.Thumb_View && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const bool enter = keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter;
        if (event->type() == QEvent::KeyPress) {
            if (enter) enterPressedInList_ = true;
        } else if (enter && !keyEvent->isAutoRepeat()) {
            // Only a press that began in the list counts: the release of the Enter that closed a
            // dialog (the notice among them) arrives here too and must not add the photos again.
            const bool pressedHere = enterPressedInList_;
            enterPressedInList_ = false;
            if (pressedHere && !SelectedRows().isEmpty()) context_.Action(ActionId::ImgAdd1)->trigger();
        }
    } else if (watched == &page_ && event->type() == QEvent::KeyPress && page_.Diapo_Panel->isVisible()) {
        if (HandleSlideshowKey(static_cast<QKeyEvent*>(event)->key())) return true;
    }
    return QObject::eventFilter(watched, event);
}

bool SelectPageController::HandleSlideshowKey(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Insert:
        if (adder_) AddSelectionToAlbum(adder_->DefaultAlbumIndex());
        return true;
    case Qt::Key_Escape:
        if (SlideshowMode()) ShowThumbnails();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_Left:
        GoPrevious();
        return true;
    case Qt::Key_PageDown:
    case Qt::Key_Right:
        GoNext();
        return true;
    case Qt::Key_Home:
        if (page_.Thumb_View->count() > 0) {
            SelectOnly(0);
            ShowCurrentImage();
        }
        return true;
    case Qt::Key_End:
        if (page_.Thumb_View->count() > 0) {
            SelectOnly(page_.Thumb_View->count() - 1);
            ShowCurrentImage();
        }
        return true;
    default:
        return false;
    }
}

}  // namespace vantrel::gui

namespace vantrel::gui {

void SelectPageController::ResetCaptions() {
    const UserSettings& settings = context_.Settings();
    const CaptionParts parts{settings.ShowName, settings.ShowLen, settings.ShowSize};
    const CaptionParts nameOnly{settings.ShowName, false, false};
    QListWidget* list = page_.Thumb_View;
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        const std::string path = item->data(PathRole).toString().toStdString();
        const bool listed = item->data(ListedRole).toBool();
        const std::string caption =
            listed ? FormatThumbCaption(path, FileSizeOf(path), item->data(WidthRole).toInt(),
                                        item->data(HeightRole).toInt(), parts, sizeStyle_)
                   : FormatThumbCaption(path, 0, 0, 0, nameOnly, sizeStyle_);
        item->setText(DisplayCaption(caption));
    }
}

}  // namespace vantrel::gui
