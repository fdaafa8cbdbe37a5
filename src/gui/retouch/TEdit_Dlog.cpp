#include "gui/retouch/TEdit_Dlog.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QToolBar>
#include <QVBoxLayout>
#include <utility>

#include "core/albums/TAlbum.h"
#include "core/albums/PhotoIntake.h"
#include "core/albums/TransferQueue.h"
#include "core/app/FormatPattern.h"
#include "gui/kit/AppContext.h"
#include "gui/kit/MainActions.h"
#include "gui/kit/PageWidgets.h"
#include "gui/kit/PaletteIcon.h"
#include "gui/kit/Utf8Text.h"
#include "gui/retouch/LayeredImageView.h"
#include "gui/retouch/RetouchPhotoList.h"
#include "gui/retouch/ToolPanel.h"
#include "gui/retouch/WorkingCopy.h"
#include "gui/retouch/ZoomCombo.h"

static void InitRetouchIcons() { Q_INIT_RESOURCE(icons); }

namespace vantrel::gui {

namespace {

struct CommandSpec {
    const char* name;
    const char* caption;  // built-in caption, replaced from the language file
    const char* icon;     // a themed icon name, or a resource path starting with ":"
};

// The dialog's own commands before and after the retouch operations; an empty name is a separator.
constexpr CommandSpec kLeadingCommands[] = {
    {"ImgHelp1", "Aide édition", "help-browser"},
    {"", "", ""},
    {"EditUndo1", "&Défaire", "edit-undo"},
    {"EditRedo1", "Refaire", "edit-redo"},
    {"", "", ""},
};
constexpr CommandSpec kTrailingCommands[] = {
    {"", "", ""},
    {"ZoomMoins1", "Zoom arrière", "zoom-out"},
    {"ZoomFull1", "Image entière", "zoom-fit-best"},
    {"ZoomPlus1", "Zoom avant", "zoom-in"},
};

}  // namespace

TEdit_Dlog::TEdit_Dlog(AppContext& context, TAlbum& album, int startJob, QWidget* parent)
    : QDialog(parent ? parent : context.DialogParent()), context_(context), album_(album), startJob_(startJob) {
    InitRetouchIcons();
    setObjectName("TEdit_Dlog");
    setWindowTitle("Retouche d'image");
    // At (30, 30), the size of the work area less 60 in each direction; no minimum of its own
    // (the tool panels scroll sideways), so that it fits a small screen.
    QWidget* owner = parentWidget();
    if (QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry().adjusted(30, 30, -30, -30));
    undo_ = new RetouchUndo(photo_, this);
    CreateCommands();
    CreateLayout();
    Current_View->Fill(album_, context_.QueueTiles());
    CloseTool();
    ApplyLanguage();
}

TEdit_Dlog::~TEdit_Dlog() = default;

QAction* TEdit_Dlog::Command(const QString& name) const {
    auto found = commands_.find(name);
    return found == commands_.end() ? nullptr : found->second;
}

QAction* TEdit_Dlog::AddCommand(const char* name, const char* caption, const char* icon) {
    if (!*name) {
        Tools_Bar->addSeparator();
        return nullptr;
    }
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    if (*icon == ':') action->setIcon(InkedIcon(QString::fromLatin1(icon)));
    else if (*icon) action->setIcon(ThemedIcon(icon));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    Tools_Bar->addAction(action);
    commands_[name] = action;
    return action;
}

void TEdit_Dlog::CreateCommands() {
    Tools_Bar = Named(new QToolBar(this), "Tools_Bar");
    Tools_Bar->setFixedHeight(40);
    Tools_Bar->setIconSize(QSize(30, 30));
    for (const CommandSpec& spec : kLeadingCommands) AddCommand(spec.name, spec.caption, spec.icon);
    for (const RetouchOperation& operation : RetouchOperations()) AddOperation(operation);
    for (const CommandSpec& spec : kTrailingCommands) AddCommand(spec.name, spec.caption, spec.icon);
    QAction* undo = Command("EditUndo1");
    QAction* redo = Command("EditRedo1");
    undo->setShortcut(QKeySequence("Ctrl+Z"));
    redo->setShortcut(QKeySequence("Ctrl+Y"));
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(&undo_->Stack(), &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&undo_->Stack(), &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);

    Zoom_Combo = new ZoomCombo(this);
    Tools_Bar->addWidget(Zoom_Combo);
    connect(Zoom_Combo, &ZoomCombo::scaleChosen, this, [this](double scale) {
        if (HasPhoto()) SetZoom(scale);
    });

    auto on = [this](const char* name, auto handler) {
        connect(Command(name), &QAction::triggered, this, handler);
    };
    on("ImgHelp1", [this] { context_.ShowHelpTopic("H_Retouche"); });
    on("EditUndo1", &TEdit_Dlog::EditUndo);
    on("EditRedo1", &TEdit_Dlog::EditRedo);
    on("ZoomFull1", [this] {
        if (HasPhoto()) ZoomFit();
    });
    on("ZoomPlus1", [this] {
        if (HasPhoto() && ZoomScale() < 5) SetZoom(ZoomScale() * 1.5);
    });
    on("ZoomMoins1", [this] {
        if (HasPhoto() && ZoomScale() > 0.1) SetZoom(ZoomScale() * 2 / 3);
    });
}

void TEdit_Dlog::AddOperation(const RetouchOperation& operation) {
    if (operation.startsGroup) AddCommand("", "", "");
    QAction* action = AddCommand(operation.name, operation.caption, operation.icon);
    if (operation.apply) {
        connect(action, &QAction::triggered, this, [this, apply = operation.apply] { ApplyOneStep(apply); });
        return;
    }
    auto& [id, tool] = tools_.emplace_back(operation.id, operation.makeTool(*this, this));
    tool->SetCommand(action);
    connect(action, &QAction::triggered, tool.get(), &RetouchTool::Triggered);
}

void TEdit_Dlog::CreateLayout() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(Tools_Bar);
    Close_Btn = Named(new QPushButton(this), "Close_Btn");
    Close_Btn->hide();
    connect(Close_Btn, &QPushButton::clicked, this, &QDialog::accept);

    auto* body = new QHBoxLayout;
    body->setSpacing(2);
    outer->addLayout(body, 1);
    Current_View = new RetouchPhotoList(this);
    body->addWidget(Current_View);
    connect(Current_View, &QListWidget::itemSelectionChanged, this, &TEdit_Dlog::CurrentSelectionChanged);

    auto* editing = new QVBoxLayout;
    editing->setSpacing(0);
    body->addLayout(editing, 1);
    for (const auto& [id, tool] : tools_) {
        ToolPanel* panel = tool->Panel();
        if (!panel) continue;
        editing->addWidget(panel);
        connect(panel, &ToolPanel::accepted, this, &TEdit_Dlog::AcceptTool);
        connect(panel, &ToolPanel::cancelled, this, &TEdit_Dlog::CancelTool);
    }
    auto* views = new QHBoxLayout;
    views->setSpacing(2);
    editing->addLayout(views, 1);
    Src_Img = Named(new LayeredImageView(QColor(0xE6, 0xFF, 0xFF), this), "Src_Img");
    Dst_Img = Named(new LayeredImageView(QColor(0xFF, 0xE6, 0xE6), this), "Dst_Img");
    views->addWidget(Src_Img, 1);
    views->addWidget(Dst_Img, 1);
    Dst_Img->hide();
    Src_Img->SetBitmap(&photo_);
    connect(Src_Img, &LayeredImageView::scaleChanged, this, &TEdit_Dlog::ScaleChanged);
    // While the light tool shows both views, they scroll together.
    connect(Src_Img, &LayeredImageView::scrolled, this, [this](QPoint at) {
        if (Dst_Img->isVisible()) Dst_Img->SetScrollPosition(at);
    });
    connect(Dst_Img, &LayeredImageView::scrolled, this, [this](QPoint at) {
        if (Dst_Img->isVisible()) Src_Img->SetScrollPosition(at);
    });
    // Presses on layers, frame drags and mouse work on the photo go to the open tool.
    connect(Src_Img, &LayeredImageView::layerPressed, this, [this](int id) {
        if (openTool_) openTool_->LayerPressed(id);
    });
    Src_Img->FrameCorrector = [this](FrameHandle handle, QRectF rect) {
        return openTool_ ? openTool_->CorrectFrame(handle, rect) : rect;
    };
    connect(Src_Img, &LayeredImageView::imagePressed, this, [this](QPointF at) {
        if (openTool_) openTool_->ImagePressed(at);
    });
    connect(Src_Img, &LayeredImageView::imageDragged, this, [this](QPointF at) {
        if (openTool_) openTool_->ImageDragged(at);
    });
}

void TEdit_Dlog::ApplyLanguage() {
    for (auto& [name, action] : commands_) {
        const std::string stem = name.left(name.size() - 1).toStdString();
        ApplyHint(action, Q(context_.Language().Translate(stem + "C")), Q(context_.Language().Translate(stem + "H")));
    }
    for (const auto& [id, tool] : tools_) tool->ApplyLanguage();
}

void TEdit_Dlog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    setWindowTitle(Q(FormatPattern(context_.Language().Translate("ImgFromAlbum"), {album_.AlbumName()})));
    const int selected = Current_View->count() == 1 ? 0 : startJob_;
    if (selected >= 0 && selected < Current_View->count()) {
        QSignalBlocker quiet(Current_View);
        Current_View->setCurrentRow(selected);
    }
    if (QListWidgetItem* item = Current_View->currentItem(); item && item->isSelected()) LoadPhoto(item);
    else jobIndex_ = -1;
    modified_ = false;
    Current_View->setFocus();
}

void TEdit_Dlog::CurrentSelectionChanged() {
    QList<QListWidgetItem*> selected = Current_View->selectedItems();
    QListWidgetItem* now = selected.isEmpty() ? nullptr : selected.first();
    if (now == loadedItem_) return;
    // Leaving a photo: its changes are saved back first, then the stores are emptied.
    if (loadedItem_ && modified_) SaveBack(loadedItem_);
    undo_->Clear();
    loadedItem_ = nullptr;
    if (now) {
        LoadPhoto(now);
        return;
    }
    // No photo chosen (its item was deselected): nothing is left to edit, since a change made
    // now could never be saved back.
    jobIndex_ = -1;
    photo_ = Bitmap32();
    Src_Img->BitmapChanged();
}

void TEdit_Dlog::LoadPhoto(QListWidgetItem* item) {
    jobIndex_ = album_.IndexOfImage(RetouchPhotoList::ImageIndexOf(item));
    loadedItem_ = item;
    if (jobIndex_ < 0) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    photo_ = ReadWorkingCopy(context_.Workspace(), album_.Jobs().Items(jobIndex_).WorkPath);
    QApplication::restoreOverrideCursor();
    modified_ = false;
    Src_Img->BitmapChanged();
    ZoomFit();
    Current_View->scrollToItem(item);
}

void TEdit_Dlog::SaveBack(QListWidgetItem* item) {
    modified_ = false;  // in every case: answering No discards the changes
    if (context_.Settings().AskModif &&
        QMessageBox::question(this, windowTitle(), Translate("WantSaveModif"), QMessageBox::Yes | QMessageBox::No) !=
            QMessageBox::Yes)
        return;
    WriteBack(item);
}

void TEdit_Dlog::WriteBack(QListWidgetItem* item) {
    const int imageIndex = RetouchPhotoList::ImageIndexOf(item);
    const int index = album_.IndexOfImage(imageIndex);
    if (index < 0) return;
    jobIndex_ = index;
    const std::string path = album_.Jobs().Items(index).WorkPath;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const std::optional<QPixmap> tile = WriteWorkingCopy(context_.Workspace(), photo_, path, context_.Settings().CompRate);
    QApplication::restoreOverrideCursor();
    if (!tile) {
        ShowError(Q(FormatPattern(context_.Language().Translate("BadPictErr"), {FileNameOf(path)})));
        return;
    }
    // The new tile first: the queue's listeners show it when told of the rewrite.
    context_.QueueTiles().Replace(imageIndex, *tile);
    context_.Queue().PhotoRewritten(album_, index, photo_.Width(), photo_.Height());
    RetouchPhotoList::ShowPhoto(item, album_.Jobs().Items(index).Caption, *tile);
}

QMessageBox::StandardButton TEdit_Dlog::AskBeforeClosing() {
    if (!context_.Settings().AskModif) return QMessageBox::Save;
    QMessageBox box(QMessageBox::Question, windowTitle(), Translate("WantSaveModif"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    // A box closed by the program rather than answered (a termination signal) saves nothing
    // unasked and lets the dialog go.
    QAbstractButton* answer = box.clickedButton();
    return answer ? box.standardButton(answer) : QMessageBox::Discard;
}

void TEdit_Dlog::ShowError(const QString& text) { QMessageBox::critical(this, windowTitle(), text); }

QString TEdit_Dlog::Translate(const char* key) const { return context_.Translate(key); }

void TEdit_Dlog::done(int result) {
    // Every way out (Escape, the close box, Close) asks the same about a changed photo: saved,
    // dropped, or the dialog stays open.
    if (isVisible()) {
        CancelTool();
        QList<QListWidgetItem*> selected = Current_View->selectedItems();
        if (!selected.isEmpty() && modified_) {
            const QMessageBox::StandardButton answer = AskBeforeClosing();
            if (answer == QMessageBox::Cancel) return;
            modified_ = false;
            if (answer == QMessageBox::Save) WriteBack(selected.first());
        }
    }
    QDialog::done(result);
}

void TEdit_Dlog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && openTool_) {
        CancelTool();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Zoom

double TEdit_Dlog::ZoomScale() const { return Src_Img->Scale(); }

void TEdit_Dlog::SetZoom(double scale) { Src_Img->SetScale(scale); }

void TEdit_Dlog::ZoomFit() { SetZoom(Src_Img->FitScale()); }

void TEdit_Dlog::ScaleChanged(double scale) {
    Dst_Img->SetScale(scale);
    Dst_Img->SetScrollPosition(Src_Img->ScrollPosition());
    Zoom_Combo->ShowScale(scale);
}

// Tool framework

void TEdit_Dlog::PhotoChanged() {
    modified_ = true;
    Src_Img->BitmapChanged();
}

void TEdit_Dlog::ApplyOneStep(ApplyFunction operation) {
    if (!HasPhoto()) return;
    CancelTool();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool changed = operation(photo_, [this] { undo_->SaveStep(); });
    QApplication::restoreOverrideCursor();
    if (changed) PhotoChanged();
}

void TEdit_Dlog::OpenTool(RetouchTool& tool) {
    if (!HasPhoto()) return;
    CancelTool();
    openTool_ = &tool;
    tool.Panel()->show();
    Current_View->setEnabled(false);
    Src_Img->SetCaptureMouse(tool.CapturesMouse());
    Src_Img->SetCaptureCursor(Qt::CrossCursor);
    tool.Opened();
}

void TEdit_Dlog::CloseTool() {
    for (const auto& [id, tool] : tools_)
        if (ToolPanel* panel = tool->Panel()) panel->hide();
    RetouchTool* closing = std::exchange(openTool_, nullptr);
    Current_View->setEnabled(true);
    Src_Img->SetCaptureMouse(false);
    Src_Img->AttachFrame(-1, false);
    if (closing) closing->Closing();
    Src_Img->SetScale(Src_Img->Scale());  // cursor back to the pan cursor
}

void TEdit_Dlog::CancelTool() {
    if (openTool_) openTool_->Cancel();
}

void TEdit_Dlog::AcceptTool() {
    if (openTool_) openTool_->Accept();
}

std::optional<RetouchOp> TEdit_Dlog::OpenOperation() const {
    for (const auto& [id, tool] : tools_)
        if (tool.get() == openTool_) return id;
    return std::nullopt;
}

QRectF TEdit_Dlog::FrameRect() const { return openTool_ ? openTool_->FrameRect() : QRectF(); }

void TEdit_Dlog::ProposeFrame(int handle, QRectF rect) {
    if (openTool_) openTool_->ProposeFrame(static_cast<FrameHandle>(handle), rect);
}

void TEdit_Dlog::EditUndo() {
    if (openTool_ && openTool_->UndoCancels()) {
        openTool_->Cancel();
        return;
    }
    if (!undo_->Stack().canUndo()) return;
    CancelTool();
    undo_->Undo();
    Src_Img->BitmapChanged();
}

void TEdit_Dlog::EditRedo() {
    if (!undo_->Stack().canRedo()) return;
    CancelTool();
    undo_->Redo();
    Src_Img->BitmapChanged();
}

}  // namespace vantrel::gui
